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
        true};
}

}  // namespace

OrientationArea::OrientationArea(QWidget* window, AreaHost& host)
    : ToolArea(window, host, orientationLook()), tagger_(std::make_unique<OrientationTagger>()) {
    c_.Frame10 = addPanel("Frame10", QStringLiteral("Ausrichtung-Korrektur"));
    {
        QWidget* p = c_.Frame10;
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
                RunExifRotate(toolHost(), o);
            });
        c_.Command12 = infoButton(p, "Command12");
        g->addWidget(c_.ExifLabel, 0, 0, 1, 3);
        g->addWidget(c_.ImageWarning2, 1, 0, 1, 3);
        g->addWidget(c_.OrientationWarning, 2, 0, 1, 3);
        g->addWidget(c_.Command12, 3, 0, Qt::AlignLeft | Qt::AlignBottom);
        g->addWidget(c_.ImageMagic_Btn_Drehen, 3, 2, Qt::AlignRight | Qt::AlignBottom);
        g->setColumnStretch(1, 1);
        g->setRowStretch(3, 1);
    }
    c_.Frame2 = addPanel("Frame2", QStringLiteral("Format an Datei-Namen anfügen"));
    {
        QWidget* p = c_.Frame2;
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
        c_.Command8 = addKeptScriptButton(p, kOrientationTagKept);
        c_.RestoreOrigin = button(p, "RestoreOrigin", QStringLiteral("Wiederherstellen"));
        connect(c_.RestoreOrigin, &QPushButton::clicked, this, &OrientationArea::removeClicked);
        c_.RestoreOrigin_BAT = addKeptScriptButton(p, kOrientationRemoveKept);
        c_.Command6 = infoButton(p, "Command6");
        g->addWidget(c_.PortraitLabel, 0, 0);
        g->addWidget(c_.PortraitTxt, 0, 1);
        g->addWidget(c_.LandscapeLabel, 0, 2, Qt::AlignRight);
        g->addWidget(c_.LAndscaptTxt, 0, 3);
        g->addWidget(c_.LinksAnfuegen_LAndscape, 1, 0, 1, 4);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(4);
        buttons->addWidget(c_.Command6);
        buttons->addStretch(1);
        buttons->addWidget(c_.Command8);
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
    auto start = [this] { tagger_->StartClicked(toolHost(), *this, tagOptions()); };
    // A click while the pictures are measured is the Stop question, not a second tool.
    if (tagger_->isRunning())
        start();
    else
        runTool(start);
}

void OrientationArea::removeClicked() {
    runTool([this] { RunRemoveOrientationTags(toolHost(), tagOptions()); });
}

QString OrientationArea::startButtonText() const {
    return c_.Btn_FileAttrib->text();
}

void OrientationArea::setStartButtonText(const QString& text) {
    c_.Btn_FileAttrib->setText(text);
}

}  // namespace kadrano
