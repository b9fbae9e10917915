#pragma once

#include "imagemagick/colours.h"
#include "toolarea.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

// The area "Text in Bild einfügen": text into pictures.
class TextArea : public ToolArea {
    Q_OBJECT
public:
    TextArea(QWidget* window, AreaHost& host);

    // Its controls, by their names in the window design (also their objectNames).
    struct Controls {
        QGroupBox* Frame9 = nullptr;  // text inner
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
        QPushButton* Command19 = nullptr;  // text
    };
    const Controls& controls() const { return c_; }

    void switchedToEnglish() override;
    void fillLists() override;
    void previewsCleared(Language language) override;
    void namePageShown() override;
    void previewChanged() override;

    // The text options of the caption as the controls hold them.
    CaptionOptions captionOptions() const;

private:
    // NamensVorschau shows the caption of the previewed picture.
    void refreshCaptionPreview();

    Controls c_;
    ColourTable colours_;
};

}  // namespace kadrano
