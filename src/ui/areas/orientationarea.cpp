#include "orientationarea.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "imagemagick/exifrotate.h"
#include "ui/controlfactory.h"

namespace kadrano {

namespace {

constexpr EnglishText kOrientationEnglish[] = {
    {"OrientationHeader", "Picture Orientation (Landscape / Portrait)",
     "Change, detect or fix picture-orientation", nullptr},
    {"Frame10", "Fix Orientation", nullptr, nullptr},
    {"ExifLabel", "Rotation of JPGs, based on the EXIF-data (if existing)", nullptr, nullptr},
    {"ImageWarning2", "This function needs ImageMagic(!)", nullptr, nullptr},
    {"OrientationWarning", "Original files will get replaced!!", nullptr, nullptr},
    {"Frame2", "Add format-tag to filename", nullptr, nullptr},
    {"LinksAnfügen_LAndscape", "Add right side", "Add Tag on the right side of the Filename",
     nullptr},
    {"RestoreOrigin", "Restore", nullptr, nullptr},
    {"LAndscaptTxt", nullptr, nullptr, "[LS]"},
    {"PortraitTxt", nullptr, nullptr, "[PT]"},
};

constexpr AreaInfo kExifRotateInfo{
    "Wenn das, von der Kamera angegebene Forma (Hoch/Quer) nicht zum tatsächlichen Format "
    "passt, wird das Bild gedreht.\n\n"
    "Dies funktioniert nur, wenn EXIF-Informationen für das Bild vorhanden und gesetzt sind."
    "\n\n"
    "Für das Umwandeln wird ImageMagic benutzt und muss vorhanden sein.\n"
    "Es werden eine Ini und eine Dateiliste ersellt denen ImageMagic gestartet wird.\n\n"
    "Der Vorgang kann ja nach Anzahl der Bilder etwas dauern",
    "When the orientation the camera noted (portrait / landscape) does not fit the picture's "
    "real format, the picture is turned.\n\n"
    "This works only for pictures whose EXIF information holds the orientation.\n\n"
    "ImageMagick does the turning and has to be installed.\n"
    "A script is written that runs ImageMagick for every picture to be turned.\n\n"
    "Depending on the number of pictures this can take a while"};

constexpr AreaInfo kOrientationTagsInfo{
    "Dieser Bereich dient zum sortieren von Fotos nach Format.\n"
    "Die einzelnen Bilder werden dazu eingeladen und vermessen anschl. wird dem Dateinamen ein "
    "entsprechendes Kürzel ([HF] bzw. [QF] voran gestellt.\n\n"
    "    Beispiele:\n"
    "       'File1.jpg' -> '[HF]File1.jpg'\n"
    "       'File2.jpg' -> '[HQ]File2.jpg'\n\n\n"
    "Der Prozess ist recht langsam und kann je nach Anzahl der Bilder und PC-Leistung mehrere "
    "Stunden dauern.\n\n"
    "Bilder werde nicht nach Inhalten bewertet.\n"
    "Falsch ausgerichtet Bilder werden also auch falsch erkannt.",
    "This part sorts photos by format.\n"
    "Every picture is measured, and the tag of its format (the texts in the boxes: [PT] "
    "portrait, [LS] landscape) is put in front of its file name.\n\n"
    "    Examples:\n"
    "       'File1.jpg' -> '[PT]File1.jpg'\n"
    "       'File2.jpg' -> '[LS]File2.jpg'\n\n\n"
    "Only the head of each picture file is read, so even many pictures take little time."
    "\n\n"
    "Pictures are not judged by what they show:\n"
    "a picture stored the wrong way round is tagged the wrong way too."};

AreaLook orientationLook() {
    return AreaLook{
        "Frame4",
        "Picture6",
        "OrientationHeader",
        "Command3",
        QStringLiteral("Bildausrichtung (Hoch- && Querformat)"),
        QStringLiteral("Bildausrichtung korrigieren / Ausrichtung ermitteln und Namen hinzufügen"),
        AreaPicture::Orientation,
        3135,
        true,
        {"Wenn das, von der Kamera angegebene Format (Hoch/Quer) nicht mit der tatsächlichen "
         "Ausrichtung des JPGs übereinstimmt kann dies hier korrigiert werden (Das JPG, wird "
         "dann ggf. gedreht).\n"
         "Im 2. Schritt kann das Format zum Dateinahmen hinzugefügt werden (um die Bilder nach "
         "Format sortieren zu können)",
         "When the orientation the camera noted (portrait / landscape) does not fit the JPG's "
         "real orientation, it can be corrected here (the JPG is turned where needed).\n"
         "In a second step the format can be added to the file names (to sort the pictures by "
         "format)"},
        kOrientationEnglish};
}

}  // namespace

OrientationArea::OrientationArea(QWidget* window, AreaHost& host)
    : ToolArea(window, host, orientationLook()), tagger_(std::make_unique<OrientationTagger>()) {
    // Kept or not, the EXIF script may lie in the folder after a run.
    declareOwnFiles({kExifRotateScript});
    c_.exifPanel = addPanel("Frame10", QStringLiteral("Ausrichtung-Korrektur"));
    {
        QWidget* p = c_.exifPanel;
        QGridLayout* g = grid(p);
        c_.ExifLabel = label(p, "ExifLabel",
                             QStringLiteral("Drehen / Ausrichten von JPGs auf Basis der "
                                            "EXIF-Daten (wenn im Bild vorhanden)"));
        c_.ExifLabel->setWordWrap(true);
        c_.ImageWarning2 =
            warningLabel(p, "ImageWarning2", QStringLiteral(" ImageMagic wird benötigt!"));
        c_.OrientationWarning = warningLabel(p, "OrientationWarning",
                                             QStringLiteral("Original-Dateien werden ersetzt (!)"));
        c_.ImageMagic_Btn_Drehen =
            addStartButton(p, "ImageMagic_Btn_Drehen", QStringLiteral("Start"), QString(), [this] {
                ExifRotateOptions o;
                o.magickCommand = host_.magickPaths().MagickCommand;
                runExifRotate(toolHost(), o);
            });
        c_.exifInfo = addInfoButton(p, "Command12", kExifRotateInfo);
        g->addWidget(c_.ExifLabel, 0, 0, 1, 3);
        g->addWidget(c_.ImageWarning2, 1, 0, 1, 3);
        g->addWidget(c_.OrientationWarning, 2, 0, 1, 3);
        g->addWidget(c_.exifInfo, 3, 0, Qt::AlignLeft | Qt::AlignBottom);
        g->addWidget(c_.ImageMagic_Btn_Drehen, 3, 2, Qt::AlignRight | Qt::AlignBottom);
        g->setColumnStretch(1, 1);
        g->setRowStretch(3, 1);
    }
    c_.tagsPanel = addPanel("Frame2", QStringLiteral("Format an Datei-Namen anfügen"));
    {
        QWidget* p = c_.tagsPanel;
        QGridLayout* g = grid(p);
        c_.PortraitLabel = label(p, "PortraitLabel", QStringLiteral("Hochformat:"));
        c_.PortraitTxt = lineEdit(p, "PortraitTxt", QStringLiteral("[HF]"), 64);
        c_.LandscapeLabel = label(p, "LandscapeLabel", QStringLiteral("Querformat:"));
        c_.LAndscaptTxt = lineEdit(p, "LAndscaptTxt", QStringLiteral("[QF]"), 64);
        c_.LinksAnfuegen_LAndscape =
            make<QCheckBox>(p, "LinksAnfügen_LAndscape", QStringLiteral("Rechts anfügen"));
        c_.LinksAnfuegen_LAndscape->setToolTip(
            QStringLiteral("Tag auf der linken / rechten Seite des Dateinamens einfügen"));
        c_.Btn_FileAttrib = button(p, "Btn_FileAttrib", QStringLiteral("Start "));
        connect(c_.Btn_FileAttrib, &QPushButton::clicked, this, &OrientationArea::tagClicked);
        c_.runKeptTagScript = addKeptScriptButton(p, kOrientationTagKept);
        c_.RestoreOrigin = button(p, "RestoreOrigin", QStringLiteral("Wiederherstellen"));
        connect(c_.RestoreOrigin, &QPushButton::clicked, this, &OrientationArea::removeClicked);
        c_.RestoreOrigin_BAT = addKeptScriptButton(p, kOrientationRemoveKept);
        c_.tagsInfo = addInfoButton(p, "Command6", kOrientationTagsInfo);
        g->addWidget(c_.PortraitLabel, 0, 0);
        g->addWidget(c_.PortraitTxt, 0, 1);
        g->addWidget(c_.LandscapeLabel, 0, 2, Qt::AlignRight);
        g->addWidget(c_.LAndscaptTxt, 0, 3);
        g->addWidget(c_.LinksAnfuegen_LAndscape, 1, 0, 1, 4);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(4);
        buttons->addWidget(c_.tagsInfo);
        buttons->addStretch(1);
        buttons->addWidget(c_.runKeptTagScript);
        buttons->addWidget(c_.Btn_FileAttrib);
        buttons->addWidget(c_.RestoreOrigin_BAT);
        buttons->addWidget(c_.RestoreOrigin);
        g->addLayout(buttons, 2, 0, 1, 4, Qt::AlignBottom);
        g->setColumnStretch(2, 1);
        g->setRowStretch(2, 1);
    }
    static_cast<QHBoxLayout*>(body()->layout())->setStretch(0, 4);
    static_cast<QHBoxLayout*>(body()->layout())->setStretch(1, 5);
}

OrientationArea::~OrientationArea() = default;

OrientationTagOptions OrientationArea::tagOptions() const {
    OrientationTagOptions o;
    o.portraitTag = c_.PortraitTxt->text();
    o.landscapeTag = c_.LAndscaptTxt->text();
    o.beforeExtension = c_.LinksAnfuegen_LAndscape->isChecked();
    return o;
}

void OrientationArea::tagClicked() {
    auto start = [this] { tagger_->startClicked(toolHost(), *this, tagOptions()); };
    // A click while the pictures are measured is the Stop question, not a second tool.
    if (tagger_->isRunning())
        start();
    else
        runTool(start);
}

void OrientationArea::removeClicked() {
    runTool([this] { runRemoveOrientationTags(toolHost(), tagOptions()); });
}

QString OrientationArea::startButtonText() const {
    return c_.Btn_FileAttrib->text();
}

void OrientationArea::setStartButtonText(const QString& text) {
    c_.Btn_FileAttrib->setText(text);
}

}  // namespace kadrano
