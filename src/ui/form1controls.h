#pragma once

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTreeView;
class QWidget;

namespace kadrano {

class ClickableLabel;
class AlwaysOnTop;
class AreaIcon;
class FieldCheckBox;

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
    QGroupBox* Frame1 = nullptr;  // camera numbers, inner

    QGroupBox* Frame8 = nullptr;   // resize inner
    QGroupBox* Frame10 = nullptr;  // EXIF orientation inner
    QGroupBox* Frame2 = nullptr;   // orientation tags inner
    QGroupBox* Frame11 = nullptr;  // rename inner
    QGroupBox* Frame9 = nullptr;   // text inner
    QGroupBox* Frame3 = nullptr;   // shuffle names inner
    QGroupBox* Frame15 = nullptr;  // shuffle dates inner
    QGroupBox* DoppelteInnenFrame = nullptr;
    QGroupBox* Frame18 = nullptr;  // date into names inner
    QGroupBox* Frame17 = nullptr;  // set dates inner

    // Area icons, header labels and info buttons, in stack order
    AreaIcon* Picture7 = nullptr;         // resize
    AreaIcon* Picture6 = nullptr;         // orientation
    AreaIcon* Picture8 = nullptr;         // rename
    AreaIcon* Picture5 = nullptr;         // text
    AreaIcon* WuerfelBild = nullptr;      // shuffle; objectName "WÜrfelBild"
    AreaIcon* DoppeltePicture = nullptr;  // duplicates
    AreaIcon* DatumPic = nullptr;         // date
    ClickableLabel* ResizeHeader = nullptr;
    ClickableLabel* OrientationHeader = nullptr;
    ClickableLabel* RenameHeader = nullptr;
    ClickableLabel* TextHeader = nullptr;
    ClickableLabel* ShuffleHeader = nullptr;
    ClickableLabel* DoppelteHeader = nullptr;
    ClickableLabel* DatumHeader = nullptr;
    QPushButton* Command14 = nullptr;  // "?" resize
    QPushButton* Command3 = nullptr;   // "?" orientation
    QPushButton* Command12 = nullptr;  // "?" EXIF orientation
    QPushButton* Command6 = nullptr;   // "?" orientation tags
    QPushButton* Command15 = nullptr;  // "?" rename
    QPushButton* Command13 = nullptr;  // "?" text
    QPushButton* Command5 = nullptr;   // "?" shuffle
    QPushButton* Command21 = nullptr;  // "?" duplicates
    QPushButton* Command25 = nullptr;  // "?" date (no text)
    QPushButton* Command7 = nullptr;   // "?" camera numbers

    // Run-script buttons that nothing shows (one per area that writes a script)
    QPushButton* Command17 = nullptr;  // resize
    QPushButton* Command18 = nullptr;  // rename
    QPushButton* Command19 = nullptr;  // text
    QPushButton* Command23 = nullptr;  // duplicates
    QPushButton* Command26 = nullptr;  // date into names
    QPushButton* Command27 = nullptr;  // set dates

    // Resize and convert
    QLineEdit* MaxPixel = nullptr;
    QScrollBar* Qualitaet = nullptr;  // objectName "Qualität"
    QCheckBox* Resize_Change_To_JPG_Check = nullptr;
    QComboBox* FormatConvertCombo = nullptr;
    QCheckBox* Konvertieren_Keep_Size_Check = nullptr;
    QCheckBox* Delete_Old_Format_File = nullptr;
    QPushButton* StartResizeBtn = nullptr;
    QLabel* SizeLabel = nullptr;      // "Ziel-Größe (Pixel):"
    QLabel* SizeHintLabel = nullptr;  // "(Querformat = Breite, Hochformat = Höhe)"
    QLabel* QualityLabel = nullptr;   // "JPG-Qualität:"
    QLabel* ResizeWarning = nullptr;  // "Original-Dateien werden ersetzt (!)"

    // Orientation
    QPushButton* ImageMagic_Btn_Drehen = nullptr;
    QLabel* ImageWarning2 = nullptr;
    QLabel* ExifLabel = nullptr;
    QLabel* OrientationWarning = nullptr;  // "Original-Dateien werden ersetzt (!)"
    QLabel* PortraitLabel = nullptr;
    QLabel* LandscapeLabel = nullptr;
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
    QLabel* RenameLeftLabel = nullptr;     // "Links anfügen:"
    QLabel* RenameRightLabel = nullptr;    // "Rechts anfügen:"
    QLabel* RenameReplaceLabel = nullptr;  // "Ersetze:"
    QLabel* RenameWithLabel = nullptr;     // "durch:"

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
    QLabel* ColourLabel = nullptr;
    QLabel* FontLabel = nullptr;
    QLabel* FontSizeLabel = nullptr;
    QLabel* FreeTextLabel = nullptr;     // "Text-Zusatz:" / "Bild-Text:"
    QLabel* ReplaceTextLabel = nullptr;  // "Text ersetzen"
    QLabel* ReplaceArrowLabel = nullptr; // "=>"
    QLabel* TextPreviewLabel = nullptr;  // "Text-Vorschau:"
    QLabel* CopyNoticeLabel = nullptr;   // "Es wird eine Kopie der Bilder erstellt"

    // Shuffle names and dates
    QPushButton* Command1 = nullptr;   // shuffle "Start"
    QPushButton* Command2 = nullptr;   // "Wiederherstellen"
    QPushButton* Command9 = nullptr;   // run kept shuffle script
    QPushButton* Command10 = nullptr;  // run kept restore script
    QLineEdit* TrennzeichenTxt = nullptr;
    QPushButton* Mix_FileDate_Btn = nullptr;
    QLineEdit* DateFieldTxt = nullptr;
    QLabel* RandomNumberLabel = nullptr;
    QLabel* SeparatorLabel = nullptr;
    QLabel* DateShuffleTitleLabel = nullptr;
    QLabel* BaseDateLabel = nullptr;
    QLabel* DateShuffleWarning = nullptr;

    // Duplicates
    QPushButton* DoppelteStart = nullptr;
    QLineEdit* DoppelteTxt = nullptr;
    QCheckBox* DoublettenCheck = nullptr;
    QLabel* DoppelteWarnung = nullptr;   // "ACHTUNG: Original-Dateien werden gelöscht (!)"
    QLabel* DoppelteAbbruch = nullptr;   // "Abbruch = ESC"
    QLabel* DoppelteMethodLabel = nullptr;
    QLabel* DoppelteMarkLabel = nullptr;

    // Dates
    QPushButton* AddDateToNameBtn = nullptr;
    QPushButton* Command28 = nullptr;
    QComboBox* DateFormatCOmbo = nullptr;
    QLineEdit* TrennzDatetxt = nullptr;
    QPushButton* SetDateBtn = nullptr;
    QCheckBox* DatumDateinameNutzen = nullptr;
    QCheckBox* DatumAusVerzNamen = nullptr;
    FieldCheckBox* FixDatumWennKeinsGefundenCheck = nullptr;  // DatumSetzenTxt sits in its caption
    QLineEdit* DatumSetzenTxt = nullptr;
    QLabel* Warnung2 = nullptr;
    QLabel* DateToNameLabel = nullptr;
    QLabel* DateFormatLabel = nullptr;
    QLabel* DateSeparatorLabel = nullptr;
    QLabel* SetDateLabel = nullptr;

    // Camera numbers
    QComboBox* CameraNr_Combo = nullptr;
    QComboBox* CameraNr_NrCombo = nullptr;
    QLineEdit* REplaceText = nullptr;
    QCheckBox* NoNumbers = nullptr;
    QCheckBox* PutOnRightSide = nullptr;
    QCheckBox* ChangeToDate = nullptr;
    QPushButton* Remove_Camera_Nr = nullptr;
    QLabel* CameraStartLabel = nullptr;
    QLabel* CameraCountLabel = nullptr;
    QLabel* CameraReplaceLabel = nullptr;

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

    // Hidden helpers
    QLabel* Picture1 = nullptr;  // loads a picture to measure it

    AlwaysOnTop* AlwaysOnTop1 = nullptr;
};

}  // namespace kadrano
