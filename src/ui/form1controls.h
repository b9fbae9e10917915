#pragma once

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTreeView;
class QWidget;

namespace kadrano {

class ClickableLabel;
class AlwaysOnTop;

// Every control of the main window that the program's logic touches, by the name it has
// in the window design (also its objectName). Controls are created by Form1::buildControls;
// a pointer stays null until its control exists.
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

    // Tool areas (frame, icon, header label, inner panels)
    QFrame* Frame14 = nullptr;  // resize
    QFrame* Frame4 = nullptr;   // orientation
    QFrame* Frame12 = nullptr;  // rename
    QFrame* IrfanFrame = nullptr;  // text
    QFrame* Frame13 = nullptr;  // shuffle
    QFrame* DoppelteFrame = nullptr;  // duplicates
    QFrame* DatumFrame = nullptr;  // date
    QFrame* BeendenFrame = nullptr;  // bottom strip
    QFrame* Frame6 = nullptr;  // camera numbers
    QFrame* Frame1 = nullptr;  // camera numbers, inner

    QFrame* Frame8 = nullptr;   // resize inner
    QFrame* Frame10 = nullptr;  // EXIF orientation inner
    QFrame* Frame2 = nullptr;   // orientation tags inner
    QFrame* Frame11 = nullptr;  // rename inner
    QFrame* Frame9 = nullptr;   // text inner
    QFrame* Frame3 = nullptr;   // shuffle names inner
    QFrame* Frame15 = nullptr;  // shuffle dates inner
    QFrame* DoppelteInnenFrame = nullptr;
    QFrame* Frame18 = nullptr;  // date into names inner
    QFrame* Frame17 = nullptr;  // set dates inner

    // Resize and convert
    QLineEdit* MaxPixel = nullptr;
    QScrollBar* Qualitaet = nullptr;  // objectName "Qualität"
    QCheckBox* Resize_Change_To_JPG_Check = nullptr;
    QComboBox* FormatConvertCombo = nullptr;
    QCheckBox* Konvertieren_Keep_Size_Check = nullptr;
    QCheckBox* Delete_Old_Format_File = nullptr;
    QPushButton* StartResizeBtn = nullptr;

    // Orientation
    QPushButton* ImageMagic_Btn_Drehen = nullptr;
    QLabel* ImageWarning2 = nullptr;
    QPushButton* Btn_FileAttrib = nullptr;
    QPushButton* RestoreOrigin = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* RestoreOrigin_BAT = nullptr;
    QLineEdit* PortraitTxt = nullptr;
    QLineEdit* LAndscaptTxt = nullptr;
    QCheckBox* LinksAnfuegen_LAndscape = nullptr;  // objectName "LinksAnfügen_LAndscape"

    // Custom rename
    QLineEdit* Umben_LinksAnf = nullptr;
    QLineEdit* Umben_RechtsAnf = nullptr;
    QLineEdit* Umben_ErsetzenVon = nullptr;
    QLineEdit* Umben_ErsetzenMit = nullptr;
    QCheckBox* Umben_VerzLinksAnf = nullptr;
    QCheckBox* Umben_VerzRechtsAnf = nullptr;
    QCheckBox* Rename_UnwantedChars = nullptr;
    QPushButton* Umben_Start = nullptr;
    QLabel* UmbOrig_Lab = nullptr;
    QLabel* UmbNeu_Lab = nullptr;

    // Text into pictures and fonts
    QPushButton* ImageMagic_Btn_Text = nullptr;
    QPushButton* SchriftenAktBtn = nullptr;
    QComboBox* TextfarbeCOmbo = nullptr;
    QComboBox* SchriftartCombo = nullptr;
    QComboBox* SchriftGr = nullptr;
    QCheckBox* FettCheck = nullptr;
    QCheckBox* KursivCheck = nullptr;
    QLineEdit* FreiText_Bild = nullptr;
    QCheckBox* FreiTextLinksCheck = nullptr;
    QCheckBox* KeinDAteinameText = nullptr;
    QCheckBox* REmoveNumbers = nullptr;
    QCheckBox* OriginalNamen = nullptr;
    QLineEdit* ErsetzenVon = nullptr;
    QLineEdit* ErsetzenMit = nullptr;
    QLabel* NamensVorschau = nullptr;
    QLabel* ImageWarning1 = nullptr;

    // Shuffle names and dates
    QPushButton* Command1 = nullptr;   // shuffle "Start"
    QPushButton* Command2 = nullptr;   // "Wiederherstellen"
    QPushButton* Command9 = nullptr;   // run kept shuffle script
    QPushButton* Command10 = nullptr;  // run kept restore script
    QLineEdit* TrennzeichenTxt = nullptr;
    QPushButton* Mix_FileDate_Btn = nullptr;
    QLineEdit* DateFieldTxt = nullptr;

    // Duplicates
    QPushButton* DoppelteStart = nullptr;
    QLineEdit* DoppelteTxt = nullptr;
    QCheckBox* DoublettenCheck = nullptr;
    QLabel* DoppelteWarnung = nullptr;   // "ACHTUNG: Original-Dateien werden gelöscht (!)"
    QLabel* DoppelteAbbruch = nullptr;   // "Abbruch = ESC"

    // Dates
    QPushButton* AddDateToNameBtn = nullptr;
    QPushButton* Command28 = nullptr;
    QComboBox* DateFormatCOmbo = nullptr;
    QLineEdit* TrennzDatetxt = nullptr;
    QPushButton* SetDateBtn = nullptr;
    QCheckBox* DatumDateinameNutzen = nullptr;
    QCheckBox* DatumAusVerzNamen = nullptr;
    QCheckBox* FixDatumWennKeinsGefundenCheck = nullptr;
    QLineEdit* DatumSetzenTxt = nullptr;
    QLabel* Warnung2 = nullptr;

    // Camera numbers
    QComboBox* CameraNr_Combo = nullptr;
    QComboBox* CameraNr_NrCombo = nullptr;
    QLineEdit* REplaceText = nullptr;
    QCheckBox* NoNumbers = nullptr;
    QCheckBox* PutOnRightSide = nullptr;
    QCheckBox* ChangeToDate = nullptr;
    QPushButton* Remove_Camera_Nr = nullptr;

    // Bottom strip
    QCheckBox* KeineNachfragen = nullptr;
    QCheckBox* BatPAuse = nullptr;
    QPushButton* SaveIniBtn = nullptr;
    QPushButton* IniBtn = nullptr;
    QPushButton* ExitBtn = nullptr;
    ClickableLabel* Label6 = nullptr;  // "Kamera Nummern >>"

    // Directory picker
    QFrame* VerzBaum_Frame = nullptr;
    QTreeView* VerzBaum = nullptr;
    QPushButton* Command16 = nullptr;

    AlwaysOnTop* AlwaysOnTop1 = nullptr;
};

}  // namespace kadrano
