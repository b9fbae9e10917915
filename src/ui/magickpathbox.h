#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

namespace kadrano {

// The behaviour of the ImageMagick path box: the whole text is selected when the box gets
// the focus; while typing, the background turns green when the text (or the program folder
// followed by it) names a file and dark red when not; leaving the box asks for the check.
class MagickPathBox : public QObject {
    Q_OBJECT
public:
    MagickPathBox(QLineEdit* box, QString programDir);

    // Recolours the background by the text.
    void colourByText();

Q_SIGNALS:
    // The box was left: its path is to be checked.
    void left();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* box_;
    QString programDir_;
};

}  // namespace kadrano
