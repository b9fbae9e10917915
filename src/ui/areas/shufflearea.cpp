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

constexpr EnglishText kShuffleEnglish[] = {
    {"ShuffleHeader", "Shuffle Pictures", "Shuffle picutres by name or date", nullptr},
    {"Frame3", "Shuffle Filenames", nullptr, nullptr},
    {"RandomNumberLabel", "Add a random number (4 digits) to the name", nullptr, nullptr},
    {"SeparatorLabel", "Seperator:", nullptr, nullptr},
    {"Command2", "Restore", nullptr, nullptr},
    {"DateShuffleWarning", "Warning: overwrites the date (\"Undo\" puts it back)", nullptr,
     nullptr},
    {"BaseDateLabel", "Base-Date to shuffle arround:", nullptr, nullptr},
    {"DateShuffleTitleLabel", "Shuffle creation Time / Dates", nullptr, nullptr},
    {"Frame15", "Shuffle File Dates", nullptr, nullptr},
};

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
        false,
        {"Dateinamen mischen:\n\n"
         "Dieser Bereich dient zum 'Mischen' von Dateinamen in Verzeichnissen.\n"
         "Es wird für jede Datei eine 4-Stellige Zufalls-Zahl erzeugt und getrennt mit einem '#' "
         "links vor den Dateinamen gestellt.\n"
         "(Bei mehreren tausend Bildern sollte doppelt gemischt werden)\n\n"
         "    Beispiele:\n"
         "       'File1.jpg' -> '3424#File1.jpg'\n"
         "       'File2.jpg' -> '0590#File2.jpg'\n\n\n"
         "Datum mischen:\n\n"
         "Dieser Bereich dient zum mischen des Datei-Datums. Dazu wird für jede Datei das "
         "gleiche fest gewählte Datum mit einer jeweils zufällig ermittelten Uhrzeit gesetzt.",
         "Shuffle file names:\n\n"
         "This part 'shuffles' the names of the files in folders.\n"
         "Every file gets a random 4-digit number in front of its name, separated by a '#'.\n"
         "(With several thousand pictures, shuffle twice)\n\n"
         "    Examples:\n"
         "       'File1.jpg' -> '3424#File1.jpg'\n"
         "       'File2.jpg' -> '0590#File2.jpg'\n\n\n"
         "Shuffle dates:\n\n"
         "This part shuffles the dates of the files: every file gets the same chosen date, each "
         "with a time of day of its own, drawn at random."},
        kShuffleEnglish};
}

}  // namespace

ShuffleArea::ShuffleArea(QWidget* window, AreaHost& host) : ToolArea(window, host, shuffleLook()) {
    // The names the last shuffles gave, which a restore takes off again.
    declareOwnFiles({kShuffleRecordName});
    c_.namesPanel = addPanel("Frame3", QStringLiteral("Dateinamen mischen"));
    {
        QWidget* p = c_.namesPanel;
        QGridLayout* g = grid(p);
        c_.RandomNumberLabel = label(
            p, "RandomNumberLabel",
            QStringLiteral("Jedem Bild eine zufällige 4-Stellige Zahl dem Namen voranstellen"));
        c_.RandomNumberLabel->setWordWrap(true);
        c_.SeparatorLabel = label(p, "SeparatorLabel", QStringLiteral("Trennzeichen:"));
        c_.TrennzeichenTxt = lineEdit(p, "TrennzeichenTxt", QStringLiteral("#"), 44);
        c_.shuffleStart = addStartButton(p, "Command1", QStringLiteral("Start"), QString(),
                                         [this] { runShuffle(toolHost(), options()); });
        c_.runKeptShuffle = addKeptScriptButton(p, kShuffleKept);
        c_.restoreStart = addStartButton(p, "Command2", QStringLiteral("Wiederherstellen"),
                                         QString(), [this] { runRestore(toolHost(), options()); });
        c_.runKeptRestore = addKeptScriptButton(p, kRestoreKept);
        g->addWidget(c_.RandomNumberLabel, 0, 0, 1, 3);
        g->addWidget(c_.SeparatorLabel, 1, 0);
        g->addWidget(c_.TrennzeichenTxt, 1, 1);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(4);
        buttons->addStretch(1);
        buttons->addWidget(c_.runKeptShuffle);
        buttons->addWidget(c_.shuffleStart);
        buttons->addWidget(c_.runKeptRestore);
        buttons->addWidget(c_.restoreStart);
        g->addLayout(buttons, 2, 0, 1, 3, Qt::AlignBottom);
        g->setColumnStretch(2, 1);
        g->setRowStretch(2, 1);
    }
    // The date shuffle stays shown; a closed area simply cuts it off.
    c_.datesPanel = addPanel("Frame15", QStringLiteral("Datum mischen"), false);
    {
        QWidget* p = c_.datesPanel;
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
            [this] { runDateShuffle(toolHost(), DateShuffleOptions{c_.DateFieldTxt->text()}); });
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
    return c_.shuffleStart;
}

}  // namespace kadrano
