#pragma once

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QWidget;

namespace kadrano {

class ClickableLabel;
class AlwaysOnTop;

// The controls of the window shell (strips, previews, picker), by the name each has in the
// window design (also its objectName). The tool areas hold their own controls. Controls are
// created by Form1::buildControls; a pointer stays null until its control exists.
struct Form1Controls {
    // Top strip
    QFrame* Frame5 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command4 = nullptr;
    QComboBox* Drive1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QCheckBox* DubDir_Check = nullptr;
    QPushButton* SwitchLAnguage_Label = nullptr;
    QLabel* DE_Flag = nullptr;
    QPushButton* Command11 = nullptr;
    ClickableLabel* Label42 = nullptr;  // "Homepage"
    ClickableLabel* Label13 = nullptr;  // "Update"

    // Name strip and previews
    QFrame* Frame7 = nullptr;
    QLineEdit* ImageMagicPath = nullptr;
    ClickableLabel* Vorschau = nullptr;
    ClickableLabel* VorschauPic = nullptr;
    ClickableLabel* DragDropPic = nullptr;
    ClickableLabel* FileStatus = nullptr;

    // Bottom strip, and the link that shows the camera numbers below it
    QFrame* BeendenFrame = nullptr;
    QCheckBox* KeineNachfragen = nullptr;
    QCheckBox* BatPAuse = nullptr;
    QPushButton* SaveIniBtn = nullptr;
    QPushButton* IniBtn = nullptr;
    QPushButton* ExitBtn = nullptr;
    QPushButton* UndoBtn = nullptr;    // "Rückgängig"
    ClickableLabel* Label6 = nullptr;  // "Kamera Nummern >>"

    // Directory picker
    QFrame* VerzBaum_Frame = nullptr;
    QTreeView* VerzBaum = nullptr;
    QPushButton* Command16 = nullptr;

    // Hidden helpers
    QLabel* Picture1 = nullptr;  // loads a picture to measure it

    AlwaysOnTop* AlwaysOnTop1 = nullptr;
};

}  // namespace kadrano
