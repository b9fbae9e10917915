#include "textarea.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "core/mtimekeeper.h"
#include "core/pathhelpers.h"
#include "core/toolsequence.h"
#include "ui/controlfactory.h"
#include "ui/englishtexts.h"
#include "ui/fontfamilybox.h"

namespace kadrano {

namespace {

constexpr EnglishText kTextEnglish[] = {
    {"TextHeader", "Add Text Into Picture", "Add text into the picture", nullptr},
    {"Frame9", "Add Text or Filename to Picture", nullptr, nullptr},
    {"REmoveNumbers", "No filename optimization",
     "Shorten filname by cutting all numers, double-spaces by trying to keeping the Date and "
     "important infos",
     nullptr},
    {"OriginalNamen", "If result is empty, add original filename",
     "If the filanme only has numbers and the result is empty add the original filename (eg: "
     "IMG1234.jpg -> IMG1234)",
     nullptr},
    {"CopyNoticeLabel", "Originals are save - Files get copied", nullptr, nullptr},
    {"KeinDAteinameText", "Don't use Filenames", "Don't add filenames - only use the free text",
     nullptr},
    {"SchriftGr", nullptr,
     "The Size depends on the resolution - for best results all Pictures should have almost the "
     "same size",
     nullptr},
    {"ErsetzenVon", nullptr, "This text gets replaced if found in the Filename", nullptr},
    {"ErsetzenMit", nullptr, "This is the replacement text", nullptr},
    {"TextPreviewLabel", "Text preview:", nullptr, nullptr},
    {"ImageWarning1", "This Function needs ImageMagic(!)", nullptr, nullptr},
    {"FreeTextLabel", "Add free Text:", nullptr, nullptr},
    {"FreiText_Bild", nullptr, "Enter Additional text here..", nullptr},
    {"FreiTextLinksCheck", "Add on the left", nullptr, nullptr},
    {"KursivCheck", "Italic", nullptr, nullptr},
    {"FettCheck", "Bold", nullptr, nullptr},
    {"SchriftenAktBtn", "Reload fonts", "Re-import Image-Magick Fontlist", nullptr},
};

AreaLook textLook() {
    return AreaLook{"IrfanFrame",
                    "Picture5",
                    "TextHeader",
                    "Command13",
                    QStringLiteral("Text in Bild einfügen"),
                    QStringLiteral("Dateinamen als Text ins Bild einfügen"),
                    AreaPicture::Text,
                    4455,
                    true,
                    {"Dieser Bereich dient dazu den Dateinamen in Bilder unten rechts "
                     "einzufügen.\n"
                     "Der Dateityp (.jpg) wird dabei abgeschnitten.\n\n"
                     "       '23_2019_Urlaub_Rom.jpg' -> fügt: '23_2019_Urlaub_Rom' ins Bild "
                     "ein.",
                     "This part writes the file name into the lower right corner of copies of "
                     "the pictures.\n"
                     "The file type (.jpg) is left off.\n\n"
                     "       '23_2019_Holiday_Rome.jpg' -> writes: '23_2019_Holiday_Rome' into "
                     "the picture."},
                    kTextEnglish};
}

}  // namespace

TextArea::TextArea(QWidget* window, AreaHost& host) : ToolArea(window, host, textLook()) {
    c_.textPanel = addPanel("Frame9", QStringLiteral("Dateinamen / Text in Bild einfügen"));
    QWidget* p = c_.textPanel;
    QGridLayout* g = grid(p);

    c_.ColourLabel = label(p, "ColourLabel", QStringLiteral("Textfarbe:"));
    c_.TextfarbeCOmbo = comboBox(p, "TextfarbeCOmbo", 120);
    c_.FontLabel = label(p, "FontLabel", QStringLiteral("Schriftart:"));
    c_.SchriftartCombo = comboBox(p, "SchriftartCombo", 190);
    c_.FontSizeLabel = label(p, "FontSizeLabel", QStringLiteral("Größe:"));
    c_.SchriftGr = comboBox(p, "SchriftGr", 64);
    c_.SchriftGr->setToolTip(QStringLiteral(
        "Die Größe hängt von der Auflösung ab - für gute Ergebnisse sollten alle Bilder "
        "etwa gleich groß sein"));
    c_.FettCheck = make<QCheckBox>(p, "FettCheck", QStringLiteral("Fett"));
    c_.KursivCheck = make<QCheckBox>(p, "KursivCheck", QStringLiteral("Kursiv"));
    c_.SchriftenAktBtn = button(p, "SchriftenAktBtn", QStringLiteral("Schriften neu laden"),
                                QStringLiteral("Schriften neu importieren"));
    auto* colourRow = new QHBoxLayout;
    colourRow->setSpacing(6);
    colourRow->addWidget(c_.TextfarbeCOmbo);
    colourRow->addSpacing(12);
    colourRow->addWidget(c_.FontLabel);
    colourRow->addWidget(c_.SchriftartCombo);
    colourRow->addStretch(1);
    colourRow->addWidget(c_.SchriftenAktBtn);
    g->addWidget(c_.ColourLabel, 0, 0);
    g->addLayout(colourRow, 0, 1, 1, 3);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(12);
    sizeRow->addWidget(c_.SchriftGr);
    sizeRow->addWidget(c_.FettCheck);
    sizeRow->addWidget(c_.KursivCheck);
    sizeRow->addStretch(1);
    g->addWidget(c_.FontSizeLabel, 1, 0);
    g->addLayout(sizeRow, 1, 1, 1, 3);

    c_.FreeTextLabel = label(p, "FreeTextLabel", QStringLiteral("Text-Zusatz:"));
    c_.FreiText_Bild = lineEdit(p, "FreiText_Bild", QString());
    c_.FreiText_Bild->setToolTip(QStringLiteral("Zusätzlichen Text hier eingeben.."));
    c_.FreiTextLinksCheck =
        make<QCheckBox>(p, "FreiTextLinksCheck", QStringLiteral("Text Links anfügen"));
    g->addWidget(c_.FreeTextLabel, 2, 0);
    g->addWidget(c_.FreiText_Bild, 2, 1, 1, 2);
    g->addWidget(c_.FreiTextLinksCheck, 2, 3);

    c_.ReplaceTextLabel = label(p, "ReplaceTextLabel", QStringLiteral("Text ersetzen"));
    c_.ErsetzenVon = lineEdit(p, "ErsetzenVon", QString());
    c_.ErsetzenVon->setToolTip(
        QStringLiteral("Dieser Text wird ersetzt, wenn er im Dateinamen vorkommt"));
    c_.ReplaceArrowLabel = label(p, "ReplaceArrowLabel", QStringLiteral("=>"));
    c_.ErsetzenMit = lineEdit(p, "ErsetzenMit", QString());
    c_.ErsetzenMit->setToolTip(QStringLiteral("Durch diesen Text wird ersetzt"));
    g->addWidget(c_.ReplaceTextLabel, 3, 0);
    g->addWidget(c_.ErsetzenVon, 3, 1);
    g->addWidget(c_.ReplaceArrowLabel, 3, 2, Qt::AlignCenter);
    g->addWidget(c_.ErsetzenMit, 3, 3);

    c_.KeinDAteinameText =
        make<QCheckBox>(p, "KeinDAteinameText", QStringLiteral("Keine Dateinamen verwenden"));
    c_.KeinDAteinameText->setToolTip(
        QStringLiteral("Keine Dateinamen einfügen - nur den freien Text verwenden"));
    c_.REmoveNumbers =
        make<QCheckBox>(p, "REmoveNumbers", QStringLiteral("Dateinamen nicht optimieren"));
    c_.REmoveNumbers->setToolTip(QStringLiteral(
        "Dateinamen nicht kürzen (sonst werden alle Nummern und doppelten Leerzeichen "
        "entfernt, Datum und wichtige Infos bleiben möglichst erhalten)"));
    c_.OriginalNamen = make<QCheckBox>(p, "OriginalNamen",
                                       QStringLiteral("Wenn Ergebnis leer, Dateinamen einfügen"));
    c_.OriginalNamen->setToolTip(QStringLiteral(
        "Wenn kein Text extrahiert werden kann (z.B: IMG1234.jpg), den orignal-Dateinamen "
        "einfügen (\"IMG1234\")"));
    auto* optionRow = new QHBoxLayout;
    optionRow->setSpacing(16);
    optionRow->addWidget(c_.KeinDAteinameText);
    optionRow->addWidget(c_.REmoveNumbers);
    optionRow->addWidget(c_.OriginalNamen);
    optionRow->addStretch(1);
    g->addLayout(optionRow, 4, 0, 1, 4);

    c_.TextPreviewLabel = label(p, "TextPreviewLabel", QStringLiteral("Text-Vorschau:"));
    c_.NamensVorschau =
        make<QLabel>(p, "NamensVorschau", QStringLiteral("Vorschau des Dateinamens"));
    c_.NamensVorschau->setAutoFillBackground(true);
    QPalette white = c_.NamensVorschau->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    c_.NamensVorschau->setPalette(white);
    QFont previewFont = c_.NamensVorschau->font();
    previewFont.setPointSize(12);
    previewFont.setBold(true);
    c_.NamensVorschau->setFont(previewFont);
    c_.NamensVorschau->setFrameShape(QFrame::StyledPanel);
    c_.NamensVorschau->setFrameShadow(QFrame::Sunken);
    c_.NamensVorschau->setMargin(2);
    c_.NamensVorschau->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    g->addWidget(c_.TextPreviewLabel, 5, 0);
    g->addWidget(c_.NamensVorschau, 5, 1, 1, 3);

    c_.ImageWarning1 = warningLabel(
        p, "ImageWarning1", QStringLiteral("Für diese Funktionen wird ImageMagic benötigt!"));
    c_.CopyNoticeLabel =
        label(p, "CopyNoticeLabel", QStringLiteral("Es wird eine Kopie der Bilder erstellt"));
    c_.ImageMagic_Btn_Text = addStartButton(p, "ImageMagic_Btn_Text", QStringLiteral("Start"),
                                            QString(), [this] { runAddText(); });
    c_.runKeptScript = addKeptScriptButton(p, kAddTextKept, [this] { runKeptScript(); });
    auto* lastRow = new QHBoxLayout;
    lastRow->addWidget(c_.ImageWarning1);
    lastRow->addSpacing(12);
    lastRow->addWidget(c_.CopyNoticeLabel);
    lastRow->addStretch(1);
    lastRow->addWidget(c_.runKeptScript);
    lastRow->addWidget(c_.ImageMagic_Btn_Text);
    g->addLayout(lastRow, 6, 0, 1, 4);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setRowStretch(7, 1);

    for (QLineEdit* e : {c_.ErsetzenVon, c_.ErsetzenMit, c_.FreiText_Bild})
        connect(e, &QLineEdit::textChanged, this, &TextArea::refreshCaptionPreview);
    connect(c_.FreiTextLinksCheck, &QCheckBox::toggled, this, &TextArea::refreshCaptionPreview);
    // Settings that tick the box at start-up arrive through the same signal.
    connect(c_.KeinDAteinameText, &QCheckBox::toggled, this, &TextArea::freeTextOnlyToggled);
    // Inserting the file name in place of an empty caption only means something when the
    // name is optimised (and so may come out empty).
    connect(c_.REmoveNumbers, &QCheckBox::toggled, this, [this](bool keepName) {
        refreshCaptionPreview();
        c_.OriginalNamen->setEnabled(!keepName);
    });

    familyBox_ =
        new FontFamilyBox(c_.SchriftartCombo, c_.NamensVorschau, c_.FettCheck, c_.KursivCheck);
    connect(c_.TextfarbeCOmbo, &QComboBox::activated, this, [this] { ApplyTextColour(); });
    connect(c_.SchriftenAktBtn, &QPushButton::clicked, this,
            [this] { runTool([this] { ReimportFonts(); }); });
}

TextArea::~TextArea() = default;

void TextArea::startUpFinishing() {
    ApplyTextColour();
    familyBox_->showBold();
    familyBox_->showItalic();
    // Without ImageMagick there is nothing to list the fonts with, and no caption to
    // preview (a light colour has just shown the preview); the family keeps its stored name.
    if (magickPaths().MagickDir.isEmpty()) {
        c_.NamensVorschau->hide();
        return;
    }
    LoadFontList();
}

MagickPaths TextArea::magickPaths() const {
    return host_.magickPaths();
}

MagickPaths TextArea::fontPaths() const {
    MagickPaths p = magickPaths();
    // The program's folder may be a shared one the person cannot write (/usr/bin); the
    // settings folder is ours in any case, and is the program's folder when that takes files.
    const QString folder = host_.settingsFolder();
    p.FontListPath = fontListLocation(p.MagickDir, folder);
    p.FontScriptPath = folder + QLatin1String(kFontScriptName);
    p.FontExportPath = folder + QLatin1String(kFontExportName);
    return p;
}

FontList& TextArea::fonts() {
    // The paths are those of this run of the program: ImageMagick is looked for once.
    if (!fonts_)
        fonts_ = std::make_unique<FontList>(toolHost(), fontPaths());
    return *fonts_;
}

const FontTable& TextArea::fontTable() const {
    static const FontTable none;
    return fonts_ ? fonts_->table() : none;
}

void TextArea::LoadFontList() {
    const QString wanted = c_.SchriftartCombo->currentText();
    fonts().LoadFontList();
    showFamilies(wanted);
}

void TextArea::ReimportFonts() {
    const QString wanted = c_.SchriftartCombo->currentText();
    fonts().ReimportFonts();
    showFamilies(wanted);
}

void TextArea::showFamilies(const QString& wanted) {
    const QStringList& families = fontTable().families();
    QComboBox* box = c_.SchriftartCombo;
    box->clear();
    box->addItems(families);
    // A family this system's ImageMagick does not know (the stored "Arial" on Linux) would
    // leave the captions without a font file; show the one that will be drawn with.
    const QString chosen = chooseFontFamily(wanted, families, desktopFontFamily);
    const QString shown = chosen.isEmpty() ? wanted : chosen;
    const int i = box->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0)
        box->setCurrentIndex(i);
    else
        box->setEditText(shown);
    familyBox_->showFamily();
}

QString TextArea::ApplyTextColour() {
    const TextColourLook look = lookUpTextColour(colours_, c_.TextfarbeCOmbo->currentText());
    showTextColour(c_.SchriftartCombo, c_.NamensVorschau, look);
    return look.magickColour;
}

void TextArea::freeTextOnlyToggled(bool on) {
    c_.REmoveNumbers->setEnabled(!on);
    c_.REmoveNumbers->setVisible(!on);
    const Language lang = toolHost().language();
    c_.FreeTextLabel->setText(
        on ? pick(lang, QStringLiteral("Bild-Text:"), QStringLiteral("Picture text:"))
           : pick(lang, QStringLiteral("Text-Zusatz:"), QStringLiteral("Text extension:")));
    const bool nameOptions = c_.REmoveNumbers->isEnabled();
    for (QWidget* w : std::initializer_list<QWidget*>{c_.OriginalNamen, c_.ErsetzenVon,
                                                      c_.ErsetzenMit, c_.ReplaceArrowLabel,
                                                      c_.FreiTextLinksCheck, c_.ReplaceTextLabel})
        w->setVisible(nameOptions);
    refreshCaptionPreview();
}

AddTextOptions TextArea::addTextOptions() {
    AddTextOptions o;
    o.magickCommand = magickPaths().MagickCommand;
    o.colour = ApplyTextColour();
    o.fontFile = fontTable().pickFontFile(c_.SchriftartCombo->currentText(),
                                          c_.FettCheck->isChecked(), c_.KursivCheck->isChecked());
    o.pointSize = c_.SchriftGr->currentText();
    // Out of sight (only the free text is drawn) it asks for nothing.
    o.fileNameWhenEmpty = !c_.OriginalNamen->isHidden() && c_.OriginalNamen->isEnabled() &&
                          c_.OriginalNamen->isChecked();
    o.caption = captionOptions();
    return o;
}

void TextArea::runAddText() {
    kadrano::runAddText(toolHost(), addTextOptions());
    ScriptTools(toolHost()).ShowKeptScriptButtons({&kAddTextKept, 1});
}

void TextArea::runKeptScript() {
    // The copies take their originals' dates, as after the Start button's run. The script
    // was written for the files collected then; the list now is the nearest we know.
    MtimeKeeper keeper;
    const FileList& files = toolHost().fileList();
    for (int i = 0; i < files.count(); ++i)
        keeper.keep(files.fullPath(i),
                    AddSeparator(files.FileDirs.at(i) + QLatin1String(kTextFolder)) +
                        files.FileNames.at(i));
    ScriptTools(toolHost()).RunKeptScript(kAddTextKept);
    keeper.restore();
}

void TextArea::fillLists() {
    c_.SchriftGr->clear();
    for (int i = 6; i <= 200; ++i)
        c_.SchriftGr->addItem(QString::number(i));
    c_.SchriftGr->setEditText(QStringLiteral("60"));
    // The families come with the font list; until then the box holds Arial, which the list
    // replaces by the desktop's own family where it has no Arial.
    c_.SchriftartCombo->clear();
    c_.SchriftartCombo->setEditText(QStringLiteral("Arial"));
    c_.TextfarbeCOmbo->clear();
    c_.TextfarbeCOmbo->addItems(colours_.listNames());
}

void TextArea::previewsCleared(Language language) {
    c_.NamensVorschau->setText(
        pick(language, QStringLiteral("Datei Vorschau..."), QStringLiteral("File Preview...")));
}

void TextArea::namePageShown() {
    if (c_.ImageWarning1->isHidden())
        c_.NamensVorschau->show();
}

void TextArea::previewChanged() {
    refreshCaptionPreview();
}

CaptionOptions TextArea::captionOptions() const {
    CaptionOptions o;
    o.freeText = c_.FreiText_Bild->text();
    o.freeTextLeft = c_.FreiTextLinksCheck->isChecked();
    o.freeTextOnly = c_.KeinDAteinameText->isChecked();
    o.replaceFrom = c_.ErsetzenVon->text();
    o.replaceWith = c_.ErsetzenMit->text();
    o.keepName = c_.REmoveNumbers->isChecked();
    o.tags = host_.nameTagTexts();
    return o;
}

void TextArea::refreshCaptionPreview() {
    const QString name = host_.previewName();
    // Without a picture (or before the names are shown, ".") the label stays as it is.
    if (name.isEmpty() || name == QLatin1String("."))
        return;
    c_.NamensVorschau->setText(captionPreviewText(MakePictureText(name, captionOptions())));
}

void TextArea::switchedToEnglish() {
    useEnglishColourNames(colours_, *c_.TextfarbeCOmbo);
}

}  // namespace kadrano
