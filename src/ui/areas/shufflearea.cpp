#include "shufflearea.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "dates/dateshuffle.h"
#include "rename/shuffle.h"
#include "ui/controlfactory.h"

namespace kadrano {

namespace {

AreaLook shuffleLook() {
    return AreaLook{
        "Frame13",
        "WÜrfelBild",
        "ShuffleHeader",
        "Command5",
        QStringLiteral("Bilder Mischen (Shuffle)"),
        QStringLiteral(
            "Zufallsreihenfolge der Bilder erzeugen / Zurücksetzen (Für Bilderrahmen ohne "
            "Shuffle)"),
        AreaPicture::Shuffle,
        3135,
        false};
}

}  // namespace

ShuffleArea::ShuffleArea(QWidget* window, AreaHost& host) : ToolArea(window, host, shuffleLook()) {
    c_.Frame3 = addPanel("Frame3", QStringLiteral("Dateinamen mischen"));
    {
        QWidget* p = c_.Frame3;
        QGridLayout* g = grid(p);
        c_.RandomNumberLabel = label(
            p, "RandomNumberLabel",
            QStringLiteral("Jedem Bild eine zufällige 4-Stellige Zahl dem Namen voranstellen"));
        c_.RandomNumberLabel->setWordWrap(true);
        c_.SeparatorLabel = label(p, "SeparatorLabel", QStringLiteral("Trennzeichen:"));
        c_.TrennzeichenTxt = lineEdit(p, "TrennzeichenTxt", QStringLiteral("#"), 44);
        c_.Command1 = addStartButton(p, "Command1", QStringLiteral("Start"), QString(),
                                     [this] { RunShuffle(toolHost(), options()); });
        c_.Command9 = addKeptScriptButton(p, kShuffleKept);
        c_.Command2 = addStartButton(p, "Command2", QStringLiteral("Wiederherstellen"), QString(),
                                     [this] { RunRestore(toolHost(), options()); });
        c_.Command10 = addKeptScriptButton(p, kRestoreKept);
        g->addWidget(c_.RandomNumberLabel, 0, 0, 1, 3);
        g->addWidget(c_.SeparatorLabel, 1, 0);
        g->addWidget(c_.TrennzeichenTxt, 1, 1);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(4);
        buttons->addStretch(1);
        buttons->addWidget(c_.Command9);
        buttons->addWidget(c_.Command1);
        buttons->addWidget(c_.Command10);
        buttons->addWidget(c_.Command2);
        g->addLayout(buttons, 2, 0, 1, 3, Qt::AlignBottom);
        g->setColumnStretch(2, 1);
        g->setRowStretch(2, 1);
    }
    // The date shuffle stays shown; a closed area simply cuts it off.
    c_.Frame15 = addPanel("Frame15", QStringLiteral("Datum mischen"), false);
    {
        QWidget* p = c_.Frame15;
        QGridLayout* g = grid(p);
        c_.DateShuffleTitleLabel =
            label(p, "DateShuffleTitleLabel", QStringLiteral("Erstellzeit der Dateien mischen"));
        QFont bold = c_.DateShuffleTitleLabel->font();
        bold.setBold(true);
        c_.DateShuffleTitleLabel->setFont(bold);
        c_.BaseDateLabel = label(p, "BaseDateLabel",
                                 QStringLiteral("Erstellzeit der Bilder um dieses Datum mischen:"));
        c_.DateFieldTxt = lineEdit(p, "DateFieldTxt", QStringLiteral("11.11.2019"), 96);
        c_.DateFieldTxt->setToolTip(QStringLiteral(
            "Dieses Datum erhalten alle Dateien, wobei jede eine andere Uhrzeit erhält"));
        c_.DateShuffleWarning = warningLabel(
            p, "DateShuffleWarning",
            QStringLiteral("ACHTUNG: Überschreibt das Datum (zurück mit \"Rückgängig\")"));
        c_.Mix_FileDate_Btn = addStartButton(
            p, "Mix_FileDate_Btn", QStringLiteral("Start"),
            QStringLiteral("Datum für alle Dateien setzen"),
            [this] { RunDateShuffle(toolHost(), DateShuffleOptions{c_.DateFieldTxt->text()}); });
        g->addWidget(c_.DateShuffleTitleLabel, 0, 0, 1, 2);
        g->addWidget(c_.BaseDateLabel, 1, 0, 1, 2);
        g->addWidget(c_.DateFieldTxt, 2, 0);
        g->addWidget(c_.DateShuffleWarning, 3, 0, 1, 2);
        g->addWidget(c_.Mix_FileDate_Btn, 4, 1, Qt::AlignRight | Qt::AlignBottom);
        g->setColumnStretch(1, 1);
        g->setRowStretch(4, 1);
    }
}

ShuffleOptions ShuffleArea::options() const {
    ShuffleOptions o;
    o.separator = c_.TrennzeichenTxt->text();
    return o;
}

QWidget* ShuffleArea::startFocus() const {
    return c_.Command1;
}

}  // namespace kadrano
