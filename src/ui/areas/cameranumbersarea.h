#pragma once

#include "rename/cameranumbers.h"
#include "toolarea.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

// The area "Kamera-Nummern aus Dateinamen entfernen / umwandeln": it is not part of the
// stack but hangs below the bottom strip, shown by the link "Kamera Nummern >>".
class CameraNumbersArea : public ToolArea {
    Q_OBJECT
public:
    CameraNumbersArea(QWidget* window, AreaHost& host);

    // Its controls. A member's objectName is its own name unless the comment gives it: the
    // settings, the English table and the tests find controls by objectName.
    struct Controls {
        QGroupBox* panel = nullptr;  // "Frame1"
        QLabel* CameraStartLabel = nullptr;
        QComboBox* CameraNr_Combo = nullptr;
        QLabel* CameraCountLabel = nullptr;
        QComboBox* CameraNr_NrCombo = nullptr;
        QPushButton* info = nullptr;  // "Command7", "?"
        QLabel* CameraReplaceLabel = nullptr;
        QLineEdit* REplaceText = nullptr;
        QCheckBox* NoNumbers = nullptr;
        QCheckBox* ChangeToDate = nullptr;
        QCheckBox* PutOnRightSide = nullptr;
        QPushButton* Remove_Camera_Nr = nullptr;
    };
    const Controls& controls() const { return c_; }

    // Shown at the given top, or hidden again.
    void showAt(int top, int width);
    void hide();

    void fillLists() override;

    // The options as the controls hold them.
    CameraNumberOptions options() const;

private:
    // The digit count was left: eight digits are a date block, so the date is offered.
    void digitCountLeft();

    Controls c_;
};

}  // namespace kadrano
