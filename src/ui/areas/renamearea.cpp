#include "renamearea.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "ui/controlfactory.h"

namespace kadrano {

namespace {

constexpr EnglishText kRenameEnglish[] = {
    {"RenameHeader", "Rename Pictures", "Different file-renaming options", nullptr},
    {"Frame11", "Rename Files", nullptr, nullptr},
    {"Rename_UnwantedChars", "Remove unusual characters", nullptr, nullptr},
    {"RenameLeftLabel", "Add left side:", nullptr, nullptr},
    {"RenameRightLabel", "Add right side:", nullptr, nullptr},
    {"RenameReplaceLabel", "Replace:", nullptr, nullptr},
    {"RenameWithLabel", ".. With:  ", nullptr, nullptr},
    {"Umben_VerzLinksAnf", "Add the directory name:  (Left)",
     "The Directory-Name of the File is added to the Filename", nullptr},
    {"Umben_VerzRechtsAnf", "(Right)", "Add Directory-Name to the right (instead of left) side",
     nullptr},
};

AreaLook renameLook() {
    return AreaLook{"Frame12",
                    "Picture8",
                    "RenameHeader",
                    "Command15",
                    QStringLiteral("Bilder umbenennen"),
                    QStringLiteral("Dateinamen umbenennen"),
                    AreaPicture::Rename,
                    3135,
                    true,
                    {"Dient zum Umbenennen aller Dateien (Vorsicht).\n"
                     "Es könnten Texte Ersetzt, Angefügt oder der Verzeichnisname in welchem "
                     "die Datei sich befindet angehängt werden",
                     "Renames all files (careful).\n"
                     "Texts can be replaced or added, and so can the name of the folder the file "
                     "lies in"},
                    kRenameEnglish};
}

}  // namespace

RenameArea::RenameArea(QWidget* window, AreaHost& host) : ToolArea(window, host, renameLook()) {
    c_.renamePanel = addPanel("Frame11", QStringLiteral("Dateinamen ändern"));
    QWidget* p = c_.renamePanel;
    QGridLayout* g = grid(p);
    c_.RenameLeftLabel = label(p, "RenameLeftLabel", QStringLiteral("Links anfügen:"));
    c_.Umben_LinksAnf = lineEdit(p, "Umben_LinksAnf", QString());
    c_.RenameRightLabel = label(p, "RenameRightLabel", QStringLiteral("Rechts anfügen:"));
    c_.Umben_RechtsAnf = lineEdit(p, "Umben_RechtsAnf", QString());
    c_.RenameReplaceLabel = label(p, "RenameReplaceLabel", QStringLiteral("Ersetze:"));
    c_.Umben_ErsetzenVon = lineEdit(p, "Umben_ErsetzenVon", QString());
    c_.RenameWithLabel = label(p, "RenameWithLabel", QStringLiteral("durch:"));
    c_.Umben_ErsetzenMit = lineEdit(p, "Umben_ErsetzenMit", QString());
    c_.Umben_VerzLinksAnf = make<QCheckBox>(p, "Umben_VerzLinksAnf",
                                            QStringLiteral("Verzeichnisnamen anfügen:  (links)"));
    c_.Umben_VerzLinksAnf->setToolTip(
        QStringLiteral("Der Name des Verzeichnisses der Datei wird dem Dateinamen angefügt"));
    c_.Umben_VerzRechtsAnf = make<QCheckBox>(p, "Umben_VerzRechtsAnf", QStringLiteral("(rechts)"));
    c_.Umben_VerzRechtsAnf->setToolTip(
        QStringLiteral("Verzeichnisnamen auf der rechten Seite anfügen (statt links)"));
    c_.Rename_UnwantedChars =
        make<QCheckBox>(p, "Rename_UnwantedChars", QStringLiteral("Ungültige Zeichen entfernen"));
    c_.UmbOrig_Lab = make<QLabel>(p, "UmbOrig_Lab");
    c_.UmbNeu_Lab = make<QLabel>(p, "UmbNeu_Lab");
    for (QLabel* l : {c_.UmbOrig_Lab, c_.UmbNeu_Lab}) {
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAutoFillBackground(true);
        l->setBackgroundRole(QPalette::Base);
        l->setMargin(2);
        l->setMinimumWidth(120);
        l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    auto* arrow = label(p, "RenamePreviewArrow", QStringLiteral("->"));
    c_.Umben_Start = addStartButton(p, "Umben_Start", QStringLiteral("Start"),
                                    QStringLiteral("Umbenennen starten"),
                                    [this] { runCustomRename(toolHost(), options()); });
    c_.runKeptScript = addKeptScriptButton(p, kCustomRenameKept);

    g->addWidget(c_.RenameLeftLabel, 0, 0);
    g->addWidget(c_.Umben_LinksAnf, 0, 1);
    g->addWidget(c_.RenameRightLabel, 0, 2);
    g->addWidget(c_.Umben_RechtsAnf, 0, 3, 1, 2);
    g->addWidget(c_.RenameReplaceLabel, 1, 0);
    g->addWidget(c_.Umben_ErsetzenVon, 1, 1);
    g->addWidget(c_.RenameWithLabel, 1, 2, Qt::AlignRight);
    g->addWidget(c_.Umben_ErsetzenMit, 1, 3, 1, 2);
    auto* checks = new QHBoxLayout;
    checks->setSpacing(12);
    checks->addWidget(c_.Umben_VerzLinksAnf);
    checks->addWidget(c_.Umben_VerzRechtsAnf);
    checks->addStretch(1);
    checks->addWidget(c_.Rename_UnwantedChars);
    g->addLayout(checks, 2, 0, 1, 5);
    auto* preview = new QHBoxLayout;
    preview->addWidget(c_.UmbOrig_Lab, 1);
    preview->addWidget(arrow);
    preview->addWidget(c_.UmbNeu_Lab, 1);
    g->addLayout(preview, 3, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c_.runKeptScript);
    buttons->addWidget(c_.Umben_Start);
    g->addLayout(buttons, 3, 4, Qt::AlignRight);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setRowStretch(4, 1);

    for (QLineEdit* e :
         {c_.Umben_LinksAnf, c_.Umben_RechtsAnf, c_.Umben_ErsetzenVon, c_.Umben_ErsetzenMit})
        connect(e, &QLineEdit::textChanged, this, &RenameArea::refreshPreview);
    // The right-hand folder name is a variant of the left-hand one: it can be chosen once
    // the folder name is on, and while it is chosen the left box stays as it is. Settings
    // that tick the boxes at start-up couple them the same way.
    connect(c_.Umben_VerzLinksAnf, &QCheckBox::toggled, this, [this](bool on) {
        c_.Umben_VerzRechtsAnf->setEnabled(on);
        refreshPreview();
    });
    connect(c_.Umben_VerzRechtsAnf, &QCheckBox::toggled, this, [this](bool on) {
        c_.Umben_VerzLinksAnf->setEnabled(!on);
        refreshPreview();
    });
    connect(c_.Rename_UnwantedChars, &QCheckBox::toggled, this, &RenameArea::refreshPreview);
    c_.Umben_VerzRechtsAnf->setEnabled(c_.Umben_VerzLinksAnf->isChecked());
}

CustomRenameOptions RenameArea::options() const {
    CustomRenameOptions o;
    o.left = c_.Umben_LinksAnf->text();
    o.right = c_.Umben_RechtsAnf->text();
    o.replaceFrom = c_.Umben_ErsetzenVon->text();
    o.replaceWith = c_.Umben_ErsetzenMit->text();
    o.directoryLeft = c_.Umben_VerzLinksAnf->isChecked();
    o.directoryRight = c_.Umben_VerzRechtsAnf->isChecked();
    o.removeUnwantedChars = c_.Rename_UnwantedChars->isChecked();
    return o;
}

void RenameArea::previewChanged() {
    refreshPreview();
}

void RenameArea::setNewNameLabel(const QString& text) {
    c_.UmbNeu_Lab->setText(text);
    c_.UmbNeu_Lab->setToolTip(text + QStringLiteral("  (Neuer Name)"));
}

void RenameArea::refreshPreview() {
    c_.UmbOrig_Lab->clear();
    setNewNameLabel(QString());
    const QString name = host_.previewName();
    // "." stands in the name strip after a collection until the names are shown.
    if (name.isEmpty() || name == QLatin1String("."))
        return;
    const CustomRenameOptions o = options();
    QString newName = MakeCustomName(name, host_.previewedDirectory(), o);
    // The preview shows what the run will write, cleanup included.
    if (o.removeUnwantedChars)
        newName = removeUnwantedChars(newName);
    c_.UmbOrig_Lab->setText(name);
    setNewNameLabel(newName);
}

}  // namespace kadrano
