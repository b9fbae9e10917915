#include "duplicatesarea.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "analysis/duplicates.h"
#include "ui/controlfactory.h"

namespace kadrano {

namespace {

constexpr EnglishText kDuplicatesEnglish[] = {
    {"DoppelteHeader", "Detect Doubles", "Detect double pictures and mark / delete them", nullptr},
    {"DoppelteInnenFrame", "Find, mark or delete double existing Files", nullptr, nullptr},
    {"DoppelteMethodLabel", "Detect doubles using Checksum (slow!)", nullptr, nullptr},
    {"DoppelteMarkLabel", "Mark doubles:", nullptr, nullptr},
    {"DoppelteAbbruch", "Cancel = ESC", nullptr, nullptr},
    {"DoppelteWarnung", "Warning: Original Files will be deleted (!)", nullptr, nullptr},
    {"DoublettenCheck", "Delete file-doubles (Careful!)", nullptr, nullptr},
};

AreaLook duplicatesLook() {
    return AreaLook{"DoppelteFrame",
                    "DoppeltePicture",
                    "DoppelteHeader",
                    "Command21",
                    QStringLiteral("Doppelte Fotos"),
                    QStringLiteral("Doppelte Fotos markieren oder löschen"),
                    AreaPicture::Duplicates,
                    3015,
                    false,
                    {"Ermittelt anhand der Checksummen der Dateien mehrfach vorhandene Bilder.\n"
                     "Dieser Vorgang ist recht langsam, da alle Bilder eingelesen werden müssen\n"
                     "Bilder in verschiedenenen Auflösungen oder Kompressionen werden nicht "
                     "erkannt",
                     "Finds pictures that exist more than once, by the checksums of the files.\n"
                     "This takes a while, as every picture has to be read\n"
                     "Pictures in different resolutions or compressions are not found"},
                    kDuplicatesEnglish};
}

}  // namespace

DuplicatesArea::DuplicatesArea(QWidget* window, AreaHost& host)
    : ToolArea(window, host, duplicatesLook()), finder_(std::make_unique<DuplicateFinder>()) {
    // The script and the list of checksums stay in the folder when the person keeps them.
    declareOwnFiles({kDuplicatesScriptName, kChecksumListName});
    c_.DoppelteInnenFrame =
        addPanel("DoppelteInnenFrame", QStringLiteral("Doppelte Dateien markieren / löschen"));
    QWidget* p = c_.DoppelteInnenFrame;
    QGridLayout* g = grid(p);
    c_.DoppelteMethodLabel =
        label(p, "DoppelteMethodLabel",
              QStringLiteral("Doppelte anhand der Checksummen ermitteln (langsam!)"));
    c_.DoppelteMarkLabel = label(p, "DoppelteMarkLabel", QStringLiteral("Doppelte markieren:"));
    c_.DoppelteTxt = lineEdit(p, "DoppelteTxt", QStringLiteral("[Doppelt]"), 110);
    c_.DoublettenCheck =
        make<QCheckBox>(p, "DoublettenCheck", QStringLiteral("Doppelte löschen (vorsicht!)"));
    c_.DoppelteWarnung = warningLabel(
        p, "DoppelteWarnung", QStringLiteral("ACHTUNG: Original-Dateien werden gelöscht (!)"));
    c_.DoppelteWarnung->hide();
    c_.DoppelteAbbruch = label(p, "DoppelteAbbruch", QStringLiteral("Abbruch = ESC"));
    c_.DoppelteAbbruch->hide();
    c_.DoppelteStart = button(p, "DoppelteStart", QStringLiteral("Start"));
    connect(c_.DoppelteStart, &QPushButton::clicked, this, &DuplicatesArea::startClicked);
    c_.scriptButton = runScriptButton(p, "Command23");
    g->addWidget(c_.DoppelteMethodLabel, 0, 0, 1, 4);
    g->addWidget(c_.DoppelteMarkLabel, 1, 0);
    g->addWidget(c_.DoppelteTxt, 1, 1);
    g->addWidget(c_.DoublettenCheck, 1, 3);
    g->addWidget(c_.DoppelteWarnung, 2, 0, 1, 4);
    g->addWidget(c_.DoppelteAbbruch, 3, 0, 1, 2, Qt::AlignBottom);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c_.scriptButton);
    buttons->addWidget(c_.DoppelteStart);
    g->addLayout(buttons, 3, 3, Qt::AlignRight | Qt::AlignBottom);
    g->setColumnStretch(2, 1);
    g->setRowStretch(3, 1);

    connect(c_.DoublettenCheck, &QCheckBox::toggled, this, [this](bool deleting) {
        c_.DoppelteTxt->setEnabled(!deleting);
        c_.DoppelteWarnung->setVisible(deleting);
    });
}

DuplicatesArea::~DuplicatesArea() = default;

DuplicatesOptions DuplicatesArea::options() const {
    return DuplicatesOptions{c_.DoppelteTxt->text(), c_.DoublettenCheck->isChecked()};
}

void DuplicatesArea::startClicked() {
    auto start = [this] { finder_->startClicked(toolHost(), *this, options()); };
    // A click while the search runs is its Stop question, not a second tool.
    if (finder_->isRunning())
        start();
    else
        runTool(start);
}

void DuplicatesArea::setStartButtonText(const QString& text) {
    c_.DoppelteStart->setText(text);
}

void DuplicatesArea::setCancelHintVisible(bool visible) {
    c_.DoppelteAbbruch->setVisible(visible);
}

}  // namespace kadrano
