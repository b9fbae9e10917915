#pragma once

#include <memory>
#include <optional>

#include "imagemagick/addtext.h"
#include "imagemagick/colours.h"
#include "imagemagick/fonts.h"
#include "toolarea.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

class FontFamilyBox;

// The area "Text in Bild einfügen": text into pictures.
class TextArea : public ToolArea {
    Q_OBJECT
public:
    TextArea(QWidget* window, AreaHost& host);
    ~TextArea() override;

    // Its controls. A member's objectName is its own name unless the comment gives it: the
    // settings, the English table and the tests find controls by objectName.
    struct Controls {
        QGroupBox* textPanel = nullptr;  // "Frame9"
        QLabel* ColourLabel = nullptr;
        QComboBox* TextfarbeCOmbo = nullptr;
        QLabel* FontLabel = nullptr;
        QComboBox* SchriftartCombo = nullptr;
        QLabel* FontSizeLabel = nullptr;
        QComboBox* SchriftGr = nullptr;
        QCheckBox* FettCheck = nullptr;
        QCheckBox* KursivCheck = nullptr;
        QPushButton* SchriftenAktBtn = nullptr;
        QLabel* FreeTextLabel = nullptr;  // "Text-Zusatz:" / "Bild-Text:"
        QLineEdit* FreiText_Bild = nullptr;
        QCheckBox* FreiTextLinksCheck = nullptr;
        QLabel* ReplaceTextLabel = nullptr;  // "Text ersetzen"
        QLineEdit* ErsetzenVon = nullptr;
        QLabel* ReplaceArrowLabel = nullptr;  // "=>"
        QLineEdit* ErsetzenMit = nullptr;
        QCheckBox* KeinDAteinameText = nullptr;
        QCheckBox* REmoveNumbers = nullptr;
        QCheckBox* OriginalNamen = nullptr;
        QLabel* TextPreviewLabel = nullptr;  // "Text-Vorschau:"
        QLabel* NamensVorschau = nullptr;
        QLabel* ImageWarning1 = nullptr;
        QLabel* CopyNoticeLabel = nullptr;  // "Es wird eine Kopie der Bilder erstellt"
        QPushButton* ImageMagic_Btn_Text = nullptr;
        QPushButton* runKeptScript = nullptr;  // "Command19"
    };
    const Controls& controls() const { return c_; }

    void switchedToEnglish() override;
    void fillLists() override;
    void previewsCleared(Language language) override;
    void namePageShown() override;
    void previewChanged() override;
    void startUpFinishing() override;

    // The text options of the caption as the controls hold them.
    CaptionOptions captionOptions() const;
    // Everything the Start button's run takes from the window. Shows the colour as a
    // colour choice does.
    AddTextOptions addTextOptions();

    // The colour box's choice: the family box and the caption preview show it; the
    // colour ImageMagick is given (empty for a name the table does not hold).
    QString ApplyTextColour();
    // The font list is read (asking to import it when there is none yet), or imported
    // again; the family box then lists its families.
    void LoadFontList();
    void ReimportFonts();
    // The fonts read last (empty before the first reading).
    const FontTable& fontTable() const;
    // Where the font list, the font script and its export lie.
    MagickPaths fontPaths() const;

private:
    // NamensVorschau shows the caption of the previewed picture.
    void refreshCaptionPreview();
    // "Keine Dateinamen verwenden": only the free text is drawn, so the options that work
    // on the file name go out of sight.
    void freeTextOnlyToggled(bool on);
    // The family box lists the families of the font list and shows the wanted family, or
    // the nearest the list holds.
    void showFamilies(const QString& wanted);
    void runAddText();
    void runKeptScript();
    // What start-up found out about ImageMagick.
    MagickPaths magickPaths() const;
    FontList& fonts();

    Controls c_;
    ColourTable colours_;
    FontFamilyBox* familyBox_ = nullptr;
    std::unique_ptr<FontList> fonts_;
};

}  // namespace kadrano
