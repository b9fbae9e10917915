#pragma once

#include <QObject>
#include <QString>

#include "imagemagick/colours.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace kadrano {

// The family the desktop's font matching gives for a family name (fontconfig on Linux:
// Arial → Liberation Sans). Needs a running QGuiApplication.
QString desktopFontFamily(const QString& family);

// The colour box's choice shown on the family box and the caption preview. A light
// colour is shown on dark grey; the preview, whose background is white, then shows black
// and is made visible. Nothing changes for a name the table does not hold.
void showTextColour(QComboBox* familyBox, QLabel* preview, const TextColourLook& look);

// The family box of the text area and what it drives: the family box and the caption
// preview show the chosen family, bold and italic as the check boxes say. Typing a
// character jumps to the first family that starts with it in upper case; the character
// itself is not written into the box ("&", "(" and Backspace are left to the box).
class FontFamilyBox : public QObject {
    Q_OBJECT
public:
    FontFamilyBox(QComboBox* box, QLabel* preview, QCheckBox* bold, QCheckBox* italic);

    // The box's text became the family: both show it.
    void showFamily();
    void showBold();
    void showItalic();

Q_SIGNALS:
    // A family was picked from the list or by a typed letter.
    void familyPicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void leaveCaretAtEnd();

    QComboBox* box_;
    QLabel* preview_;
    QCheckBox* bold_;
    QCheckBox* italic_;
};

}  // namespace kadrano
