#pragma once

#include <QObject>
#include <QString>

#include "imagemagick/magickpath.h"

class QLineEdit;
class QMimeData;
class QWidget;

namespace kadrano {

class ToolHost;

// The ImageMagick path box of the name strip. At start-up it takes what the search finds
// and shows only while nothing was found. While the person types, the background turns green
// when the text (or the program folder followed by it) names a file and dark red when not;
// leaving the box or dropping a program on it checks the path. The whole text is selected
// when the box gets the focus.
class MagickPathBox : public QObject {
    Q_OBJECT
public:
    // Builds the box into the strip.
    MagickPathBox(QWidget* window, QWidget* strip, const ToolHost& host, QString programDir);

    QLineEdit* box() const { return box_; }
    // What start-up found out; it holds for the whole run, also when the person enters
    // another path later (that one counts from the next start).
    const MagickPaths& paths() const { return found_.paths; }

    // At start-up, after the settings are read: the stored path, else the usual places.
    void lookForImageMagick();
    // A drop on the box: the dropped program's path (the last one of several) is checked.
    void takeDrop(const QMimeData& data);
    // The hint turns English; a path that names a file stays.
    void switchToEnglish();

    // Recolours the background by the text.
    void colourByText();

Q_SIGNALS:
    // A path was dropped on the box (and checked).
    void dropped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void check();
    // The warnings of the areas that need ImageMagick, and the caption preview that cannot
    // be drawn without it.
    void setWarningsVisible(bool visible);
    void setCaptionPreviewVisible(bool visible);

    QWidget* window_;
    const ToolHost& host_;
    QString programDir_;
    QLineEdit* box_ = nullptr;
    MagickDiscovery found_;
};

}  // namespace kadrano
