#pragma once

#include "imagemagick/resize.h"
#include "toolarea.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace kadrano {

// The area "Bildgröße & Format ändern": resize and convert.
class ResizeArea : public ToolArea {
    Q_OBJECT
public:
    ResizeArea(QWidget* window, AreaHost& host);

    // Its controls. A member's objectName is its own name unless the comment gives it: the
    // settings, the English table and the tests find controls by objectName.
    struct Controls {
        QGroupBox* resizePanel = nullptr;  // "Frame8"
        QLabel* SizeLabel = nullptr;       // "Ziel-Größe (Pixel):"
        QLineEdit* MaxPixel = nullptr;
        QLabel* SizeHintLabel = nullptr;  // "(Querformat = Breite, Hochformat = Höhe)"
        QLabel* QualityLabel = nullptr;   // "JPG-Qualität:"
        QScrollBar* Qualitaet = nullptr;  // objectName "Qualität"
        QCheckBox* Resize_Change_To_JPG_Check = nullptr;
        QComboBox* FormatConvertCombo = nullptr;
        QCheckBox* Konvertieren_Keep_Size_Check = nullptr;
        QCheckBox* Delete_Old_Format_File = nullptr;
        QLabel* ResizeWarning = nullptr;  // "Original-Dateien werden ersetzt (!)"
        QPushButton* StartResizeBtn = nullptr;
        QPushButton* runKeptScript = nullptr;  // "Command17"
    };
    const Controls& controls() const { return c_; }

    void refillLists() override;

    // What the controls hold, for the tool.
    ResizeOptions resizeOptions() const;
    // Leaving the format field: the list entry the typed text matches, or "JPEG" and the
    // error box when none does.
    void MatchOutputFormat();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void convertToggled(bool on);
    void keepSizeToggled(bool on);
    void showQuality(int value);

    Controls c_;
};

}  // namespace kadrano
