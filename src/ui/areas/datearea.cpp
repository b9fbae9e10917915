#include "datearea.h"

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
#include "ui/fieldcheckbox.h"

namespace kadrano {

namespace {

AreaLook dateLook() {
    return AreaLook{"DatumFrame",
                    "DatumPic",
                    "DatumHeader",
                    "Command25",
                    QStringLiteral("Datum && Zeit"),
                    QStringLiteral("Datum aus Datei oder Dateinamen ermitteln"),
                    AreaPicture::Date,
                    3135,
                    false};
}

}  // namespace

DateArea::DateArea(QWidget* window, AreaHost& host) : ToolArea(window, host, dateLook()) {
    c_.Frame18 = addPanel("Frame18", QStringLiteral("Datum -> Dateinamen"));
    {
        QWidget* p = c_.Frame18;
        QGridLayout* g = grid(p);
        c_.DateToNameLabel =
            label(p, "DateToNameLabel",
                  QStringLiteral("Datum der Bilderstellung dem Dateinamen anfügen"));
        c_.DateToNameLabel->setWordWrap(true);
        c_.DateFormatLabel = label(p, "DateFormatLabel", QStringLiteral("Format:"));
        c_.DateFormatCOmbo = comboBox(p, "DateFormatCOmbo", 130);
        c_.DateSeparatorLabel = label(p, "DateSeparatorLabel", QStringLiteral("Trennzeichen:"));
        c_.TrennzDatetxt = lineEdit(p, "TrennzDatetxt", QStringLiteral("-"), 44);
        c_.TrennzDatetxt->setToolTip(QStringLiteral("Trennzeichen zwischen Datum und Namen"));
        // One box for both tools of the area; this panel has the room for it.
        c_.AufnahmedatumExifCheck = make<QCheckBox>(
            p, "AufnahmedatumExifCheck", QStringLiteral("Aufnahmedatum (EXIF) verwenden"));
        c_.AufnahmedatumExifCheck->setChecked(true);
        c_.AufnahmedatumExifCheck->setToolTip(QStringLiteral(
            "Das Datum, an dem das Bild aufgenommen wurde (aus dem Bild selbst), geht vor: bei "
            "\"Datum -> Dateinamen\" vor dem Dateidatum, bei \"Datum ändern\" vor Dateiname, "
            "Verzeichnisname und festem Datum. Bilder ohne Aufnahmedatum bleiben bei den übrigen "
            "Regeln."));
        c_.AddDateToNameBtn =
            addStartButton(p, "AddDateToNameBtn", QStringLiteral("Start"), QString(),
                           [this] { RunDateIntoNames(toolHost(), dateIntoNamesOptions()); });
        c_.Command26 = addKeptScriptButton(p, kAddDateKept);
        c_.Command28 = addStartButton(p, "Command28", QStringLiteral("Wiederherstellen"), QString(),
                                      [this] { RunDateIntoNamesRestore(toolHost()); });
        g->addWidget(c_.DateToNameLabel, 0, 0, 1, 3);
        g->addWidget(c_.DateFormatLabel, 1, 0);
        g->addWidget(c_.DateFormatCOmbo, 1, 1);
        g->addWidget(c_.DateSeparatorLabel, 2, 0);
        g->addWidget(c_.TrennzDatetxt, 2, 1);
        g->addWidget(c_.AufnahmedatumExifCheck, 3, 0, 1, 3);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(4);
        buttons->addStretch(1);
        buttons->addWidget(c_.Command26);
        buttons->addWidget(c_.AddDateToNameBtn);
        buttons->addWidget(c_.Command28);
        g->addLayout(buttons, 4, 0, 1, 3, Qt::AlignBottom);
        g->setColumnStretch(2, 1);
        g->setRowStretch(4, 1);
    }
    c_.Frame17 = addPanel("Frame17", QStringLiteral("Datum ändern"));
    {
        QWidget* p = c_.Frame17;
        QGridLayout* g = grid(p);
        c_.SetDateLabel =
            label(p, "SetDateLabel", QStringLiteral("Erstelldatum der Dateien überschreiben"));
        c_.DatumDateinameNutzen = make<QCheckBox>(p, "DatumDateinameNutzen",
                                                  QStringLiteral("Datum aus Dateinamen benutzen"));
        c_.DatumAusVerzNamen = make<QCheckBox>(
            p, "DatumAusVerzNamen", QStringLiteral("Datum aus Verzeichnisnamen nutzen "));
        c_.FixDatumWennKeinsGefundenCheck =
            make<FieldCheckBox>(p, "FixDatumWennKeinsGefundenCheck",
                                QStringLiteral("Wenn kein Datum:                    setzen"));
        c_.DatumSetzenTxt = lineEdit(p, "DatumSetzenTxt", QStringLiteral("11.11.2019"), 90);
        c_.DatumSetzenTxt->setToolTip(QStringLiteral(
            "Dieses Datum erhalten alle Dateien, wobei jede eine andere Uhrzeit erhält"));
        c_.FixDatumWennKeinsGefundenCheck->setField(c_.DatumSetzenTxt);
        c_.Warnung2 = warningLabel(
            p, "Warnung2",
            QStringLiteral("ACHTUNG: Überschreibt das Datum (zurück mit \"Rückgängig\")"));
        c_.SetDateBtn = addStartButton(p, "SetDateBtn", QStringLiteral("Start"),
                                       QStringLiteral("Datum für alle Dateien setzen"),
                                       [this] { RunSetDates(toolHost(), setDatesOptions()); });
        c_.Command27 = runScriptButton(p, "Command27");
        g->addWidget(c_.SetDateLabel, 0, 0, 1, 2);
        g->addWidget(c_.DatumDateinameNutzen, 1, 0);
        g->addWidget(c_.DatumAusVerzNamen, 2, 0);
        g->addWidget(c_.FixDatumWennKeinsGefundenCheck, 3, 0);
        g->addWidget(c_.Warnung2, 4, 0, 1, 2);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(4);
        buttons->addWidget(c_.Command27);
        buttons->addWidget(c_.SetDateBtn);
        g->addLayout(buttons, 3, 1, 2, 1, Qt::AlignRight | Qt::AlignBottom);
        g->setColumnStretch(1, 1);
        g->setRowStretch(5, 1);
    }
    // Settings that tick the box at start-up arrive through the same signal.
    connect(c_.FixDatumWennKeinsGefundenCheck, &QCheckBox::toggled, this,
            &DateArea::fixedDateToggled);
    fixedDateToggled(c_.FixDatumWennKeinsGefundenCheck->isChecked());
}

void DateArea::fixedDateToggled(bool on) {
    c_.DatumSetzenTxt->setEnabled(on);
    c_.Warnung2->setVisible(c_.DatumSetzenTxt->isEnabled());
}

DateIntoNamesOptions DateArea::dateIntoNamesOptions() const {
    DateIntoNamesOptions o;
    o.format = c_.DateFormatCOmbo->currentText();
    o.separator = c_.TrennzDatetxt->text();
    o.fromExif = c_.AufnahmedatumExifCheck->isChecked();
    o.tags = host_.nameTagTexts();
    return o;
}

SetDatesOptions DateArea::setDatesOptions() const {
    SetDatesOptions o;
    o.fromExif = c_.AufnahmedatumExifCheck->isChecked();
    o.fromFileName = c_.DatumDateinameNutzen->isChecked();
    o.fromFolderName = c_.DatumAusVerzNamen->isChecked();
    o.fixedWhenNone = c_.FixDatumWennKeinsGefundenCheck->isChecked();
    o.fixedDate = c_.DatumSetzenTxt->text();
    o.tags = host_.nameTagTexts();
    return o;
}

void DateArea::fillLists() {
    c_.DateFormatCOmbo->clear();
    c_.DateFormatCOmbo->addItems(
        {QStringLiteral("YYYY.MM.DD"), QStringLiteral("YYYY-MM-DD"), QStringLiteral("YYYY.MM"),
         QStringLiteral("YYYY-MM"), QStringLiteral("YYYY"), QStringLiteral("MM.YYYY"),
         QStringLiteral("MM-YYYY"), QStringLiteral("DD.MM.YYYY"), QStringLiteral("DD-MM-YYYY"),
         QStringLiteral("YY.MM.DD"), QStringLiteral("YY-MM-DD"), QStringLiteral("YY.MM"),
         QStringLiteral("YY-MM"), QStringLiteral("YY"), QStringLiteral("MM.YY"),
         QStringLiteral("MM-YY"), QStringLiteral("DD.MM.YY"), QStringLiteral("DD-MM-YY")});
    c_.DateFormatCOmbo->setEditText(QStringLiteral("YYYY.MM.DD"));
}

}  // namespace kadrano
