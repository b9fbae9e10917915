// The window's controls as the rest of the program relies on them: every settings key finds
// a control of its kind, the lists are filled, and each "?" button tells its text.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "core/settings.h"
#include "form1fixture.h"
#include "imagemagick/colours.h"
#include "imagemagick/formats.h"
#include "ui/controlbinding.h"

namespace kadrano::test {

namespace {

const char* KindName(SettingKind k) {
    switch (k) {
        case SettingKind::Check:
            return "check box";
        case SettingKind::Text:
            return "text box";
        case SettingKind::ListText:
            return "combo box";
        case SettingKind::Scroll:
            return "scroll bar";
        case SettingKind::Language:
            return "language";
    }
    return "";
}

bool IsOfKind(const QWidget* w, SettingKind k) {
    switch (k) {
        case SettingKind::Check:
            return qobject_cast<const QCheckBox*>(w) != nullptr;
        case SettingKind::Text:
            return qobject_cast<const QLineEdit*>(w) != nullptr;
        case SettingKind::ListText:
            return qobject_cast<const QComboBox*>(w) != nullptr;
        case SettingKind::Scroll:
            return qobject_cast<const QScrollBar*>(w) != nullptr;
        case SettingKind::Language:
            return false;
    }
    return false;
}

// A stored value of each kind that differs from every control's design value.
QString SampleValue(SettingKind k) {
    switch (k) {
        case SettingKind::Check:
            return QStringLiteral("1");
        case SettingKind::Scroll:
            return QStringLiteral("42");
        default:
            return QStringLiteral("Wert aus der Datei");
    }
}

}  // namespace

TEST_F(Form1Test, EverySettingsKeyBindsToAControlOfItsKindThatTakesAStoredValue) {
    create();
    int bound = 0;
    for (const SettingDef& def : SettingsReadOrder()) {
        if (def.kind == SettingKind::Language)
            continue;
        SCOPED_TRACE(def.key);
        QWidget* w = window->findChild<QWidget*>(QString::fromUtf8(def.control));
        ASSERT_NE(w, nullptr) << "no control " << def.control;
        EXPECT_TRUE(IsOfKind(w, def.kind)) << def.control << " is no " << KindName(def.kind);
        // Whatever a settings file holds, the control takes it and gives it back unchanged
        // (a combo box with a fixed list would refuse a text it does not list).
        const QString value = SampleValue(def.kind);
        EXPECT_TRUE(SetControlValue(w, def.kind, value));
        EXPECT_EQ(ControlValue(w, def.kind), value);
        ++bound;
    }
    EXPECT_EQ(bound, 45);
}

TEST_F(Form1Test, TheQualityBarRunsFrom1To99InStepsOf10AndRefusesOthers) {
    create();
    auto* q = control<QScrollBar>("Qualität");
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->value(), 95);
    EXPECT_EQ(q->minimum(), 1);
    EXPECT_EQ(q->maximum(), 99);
    EXPECT_EQ(q->pageStep(), 10);
    EXPECT_EQ(q->orientation(), Qt::Horizontal);
    EXPECT_FALSE(SetControlValue(q, SettingKind::Scroll, QStringLiteral("100")));
    EXPECT_EQ(q->value(), 95);
}

TEST_F(Form1Test, TheListsOfTheAreasAreFilledAtStart) {
    start(pictures.path());
    auto items = [this](const char* name) {
        QStringList l;
        auto* c = control<QComboBox>(name);
        for (int i = 0; i < c->count(); ++i)
            l.append(c->itemText(i));
        return l;
    };
    const QStringList formats = items("FormatConvertCombo");
    ASSERT_EQ(formats.size(), 116);
    EXPECT_EQ(formats.first(), QStringLiteral("ARW"));
    EXPECT_EQ(formats.last(), QStringLiteral("YUV"));
    EXPECT_EQ(formats.indexOf(QStringLiteral("JPEG")), 49);
    EXPECT_EQ(formats.count(QStringLiteral("HDR")), 2);
    EXPECT_LT(formats.indexOf(QStringLiteral("PTIF")), formats.indexOf(QStringLiteral("TIFF")));
    EXPECT_EQ(formats, OutputFormats());
    EXPECT_EQ(control<QComboBox>("FormatConvertCombo")->currentText(), QStringLiteral("JPEG"));

    EXPECT_EQ(items("TextfarbeCOmbo"), (QStringList{"Weiss", "Schwarz", "Grau", "Grün", "Hell-Grün",
                                                    "Blau", "Hell-Blau", "Gelb", "Orange", "Rot"}));
    EXPECT_EQ(control<QComboBox>("TextfarbeCOmbo")->currentText(), QStringLiteral("Weiss"));
    EXPECT_EQ(items("CameraNr_Combo"), (QStringList{"P", "IMG_", "IMG", "I"}));
    EXPECT_EQ(items("CameraNr_NrCombo").size(), 12);
    EXPECT_EQ(items("SchriftGr").size(), 195);
    EXPECT_GT(control<QComboBox>("Drive1")->count(), 0);
}

TEST(ColourTable, RowsOneToTenCarryTheColoursAndTakeTheirEnglishNames) {
    ColourTable t;
    EXPECT_TRUE(t.row(0).isEmpty());
    EXPECT_TRUE(t.row(11).isEmpty());
    EXPECT_EQ(t.findRow(QStringLiteral("Weiss")), 1);
    EXPECT_EQ(t.row(1).magickColour, QStringLiteral("rgb(255,250,250)"));
    EXPECT_EQ(t.row(t.findRow(QStringLiteral("Orange"))).magickColour,
              QStringLiteral("rgb(238,149,114)"));
    EXPECT_EQ(t.row(9).screen.red, 255);
    EXPECT_EQ(t.row(9).screen.green, 128);
    EXPECT_TRUE(t.row(7).screen.systemHighlight);
    EXPECT_EQ(t.findRow(QStringLiteral("weiss")), -1) << "names compare exactly";
    EXPECT_EQ(t.findRow(QString()), -1) << "the empty rows are never found";

    t.useEnglishNames();
    EXPECT_EQ(t.listNames(), (QStringList{"White", "Black", "Grey", "Green", "Green (light)",
                                          "Blue", "Blue (light)", "Yellow", "Orange", "Red"}));
    EXPECT_EQ(t.findRow(QStringLiteral("Weiss")), -1);
    EXPECT_EQ(t.findRow(QStringLiteral("Red")), 10);
    EXPECT_EQ(t.row(10).magickColour, QStringLiteral("rgb(255,0,0)"));
}

TEST_F(Form1Test, EveryInfoButtonShowsItsTextWithTheInformationIcon) {
    start(pictures.path());
    const QString caption = QStringLiteral("Kadrano für digitale Bilderrahmen  v. 1.9.3 - 06.2020");
    const QString info = caption + QStringLiteral(" - Info");
    struct Case {
        const char* button;
        QString title;
        QString text;
    };
    const Case cases[] = {
        {"Command11", QStringLiteral("Info - ") + caption,
         "Dieses Programm dient zum Bearbeiten der Namen von Fotos in Verzeichnissen.\r\r"
         "Es generiert Bat-Datein die sofort oder später ausgeführt werden können um die "
         "Jeweilige Umbenennung durchzuführen\r\r"
         "Commando-Zeile (optional): Voller Pfad\r"
         "    Beispiel: 'kadrano.exe C:\\Pictures\\Urlaub\\'"},
        {"Command14", info,
         "Größe aller Bilder proportional anpassen.\r"
         "Der Max Wert gibt sowohl für Höhe als auch Breite die maximale Pixelzahl an.\r\r"
         "Die Kompressionsqualität kann zwischen 1-99 gewählt werden (99 = beste)"},
        {"Command3", info,
         "Wenn das, von der Kamera angegebene Format (Hoch/Quer) nicht mit der tatsächlichen "
         "Ausrichtung des JPGs übereinstimmt kann dies hier korrigiert werden (Das JPG, wird "
         "dann ggf. gedreht).\r"
         "Im 2. Schritt kann das Format zum Dateinahmen hinzugefügt werden (um die Bilder nach "
         "Format sortieren zu können)"},
        {"Command12", info,
         "Wenn das, von der Kamera angegebene Forma (Hoch/Quer) nicht zum tatsächlichen Format "
         "passt, wird das Bild gedreht.\r\r"
         "Dies funktioniert nur, wenn EXIF-Informationen für das Bild vorhanden und gesetzt "
         "sind.\r\r"
         "Für das Umwandeln wird ImageMagic benutzt und muss vorhanden sein.\r"
         "Es werden eine Ini und eine Dateiliste ersellt denen ImageMagic gestartet wird.\r\r"
         "Der Vorgang kann ja nach Anzahl der Bilder etwas dauern"},
        {"Command6", info,
         "Dieser Bereich dient zum sortieren von Fotos nach Format.\r"
         "Die einzelnen Bilder werden dazu eingeladen und vermessen anschl. wird dem Dateinamen "
         "ein entsprechendes Kürzel ([HF] bzw. [QF] voran gestellt.\r\r"
         "    Beispiele:\r"
         "       'File1.jpg' -> '[HF]File1.jpg'\r"
         "       'File2.jpg' -> '[HQ]File2.jpg'\r\r\r"
         "Der Prozess ist recht langsam und kann je nach Anzahl der Bilder und PC-Leistung "
         "mehrere Stunden dauern.\r\r"
         "Bilder werde nicht nach Inhalten bewertet.\r"
         "Falsch ausgerichtet Bilder werden also auch falsch erkannt."},
        {"Command15", info,
         "Dient zum Umbenennen aller Dateien (Vorsicht).\r"
         "Es könnten Texte Ersetzt, Angefügt oder der Verzeichnisname in welchem die Datei sich "
         "befindet angehängt werden"},
        {"Command13", info,
         "Dieser Bereich dient dazu den Dateinamen in Bilder unten rechts einzufügen.\r"
         "Der Dateityp (.jpg) wird dabei abgeschnitten.\r\r"
         "       '23_2019_Urlaub_Rom.jpg' -> fügt: '23_2019_Urlaub_Rom' ins Bild ein."},
        {"Command5", info,
         "Dateinamen mischen:\r\r"
         "Dieser Bereich dient zum 'Mischen' von Dateinamen in Verzeichnissen.\r"
         "Es wird für jede Datei eine 4-Stellige Zufalls-Zahl erzeugt und getrennt mit einem '#' "
         "links vor den Dateinamen gestellt.\r"
         "(Bei mehreren tausend Bildern sollte doppelt gemischt werden)\r\r"
         "    Beispiele:\r"
         "       'File1.jpg' -> '3424#File1.jpg'\r"
         "       'File2.jpg' -> '0590#File2.jpg'\r\r\r"
         "Datum mischen:\r\r"
         "Dieser Bereich dient zum mischen des Datei-Datums. Dazu wird für jede Datei das gleiche "
         "fest gewählte Datum mit einer jeweils zufällig ermittelten Uhrzeit gesetzt."},
        {"Command21", info,
         "Ermittelt anhand der Checksummen der Dateien mehrfach vorhandene Bilder.\r"
         "Dieser Vorgang ist recht langsam, da alle Bilder eingelesen werden müssen\r"
         "Bilder in verschiedenenen Auflösungen oder Kompressionen werden nicht erkannt"},
        {"Command7", QStringLiteral("Convert Numberblocks"),
         "Replace Number-Fields or Dateblocks in Filenames and Renumber:\r"
         "MyPic_IMG4345234.jpg -> MyPic#1.jpg\r\r"
         "Or convert Dateblocks:\r\r"
         "MyPic_IMG_20190313.jpg -> 2019-03-13MyPic#2.jpg\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        dialogs.boxes.clear();
        control<QPushButton>(c.button)->click();
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, c.text);
        EXPECT_EQ(dialogs.boxes[0].title, c.title);
        EXPECT_EQ(dialogs.boxes[0].flags, Mb::OK | Mb::IconInformation);
    }
    dialogs.boxes.clear();
    control<QPushButton>("Command25")->click();
    EXPECT_TRUE(dialogs.boxes.empty()) << "the date area's button has nothing to say";
}

TEST_F(Form1Test, InfoTitlesFollowTheWindowCaption) {
    start(pictures.path());
    window->setWindowTitle(QStringLiteral("Kadrano for digital picture-frames  v. 1.9.3"));
    control<QPushButton>("Command21")->click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title,
              QStringLiteral("Kadrano for digital picture-frames  v. 1.9.3 - Info"));
}

TEST_F(Form1Test, TheWindowCarriesTheCaptionsAndTooltipsOfItsDesign) {
    create();
    auto text = [this](const char* name) -> QString {
        QWidget* w = control<QWidget>(name);
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            return b->text();
        if (auto* l = qobject_cast<QLabel*>(w))
            return l->text();
        if (auto* g = qobject_cast<QGroupBox*>(w))
            return g->title();
        if (auto* e = qobject_cast<QLineEdit*>(w))
            return e->text();
        return QString();
    };
    auto tip = [this](const char* name) { return control<QWidget>(name)->toolTip(); };
    EXPECT_EQ(text("Command4"), QStringLiteral(".."));
    EXPECT_EQ(tip("Command4"), QStringLiteral("Verzeichnis auswählen"));
    EXPECT_EQ(tip("Drive1"), QStringLiteral("Laufwerks-Auswahl"));
    EXPECT_EQ(tip("Text1"), QStringLiteral("Bilder-Verzeichnis"));
    EXPECT_EQ(tip("SwitchLAnguage_Label"), QStringLiteral("Switch Language / Sprache wechseln"));
    EXPECT_EQ(text("Command16"), QStringLiteral("X"));
    EXPECT_EQ(text("Label6"), QStringLiteral("Kamera Nummern >>"));
    EXPECT_EQ(text("Label42"), QStringLiteral("Homepage"));
    EXPECT_EQ(tip("VorschauPic"), QStringLiteral("Vorschau (Klick zum Vergrößern)"));
    EXPECT_EQ(tip("DragDropPic"), QStringLiteral("Bild-Verzeichnis hier hinziehen"));
    EXPECT_EQ(tip("WÜrfelBild"),
              QStringLiteral("Zufallsreihenfolge der Bilder erzeugen / Zurücksetzen (Für "
                             "Bilderrahmen ohne Shuffle)"));
    EXPECT_EQ(text("ResizeHeader"), QStringLiteral("Bildgröße && Format ändern"));
    EXPECT_EQ(text("Frame8"), QStringLiteral("Bildgröße anpassen && Konvertieren"));
    EXPECT_EQ(
        text("Frame1"),
        QStringLiteral("Kamera-Nummern aus Dateinamen entfernen / umwandeln  (experimentell!)"));
    EXPECT_EQ(text("Btn_FileAttrib"), QStringLiteral("Start "));
    EXPECT_EQ(text("LinksAnfügen_LAndscape"), QStringLiteral("Rechts anfügen"));
    EXPECT_EQ(text("FixDatumWennKeinsGefundenCheck"),
              QStringLiteral("Wenn kein Datum:                    setzen"));
    EXPECT_EQ(text("DatumSetzenTxt"), QStringLiteral("11.11.2019"));
    EXPECT_EQ(text("DoppelteTxt"), QStringLiteral("[Doppelt]"));
    EXPECT_EQ(text("MaxPixel"), QStringLiteral("2000"));
    for (const char* kept : {"Command8", "RestoreOrigin_BAT", "Command9", "Command10"})
        EXPECT_EQ(tip(kept),
                  QStringLiteral("Erstellte Bat-Datei jetzt ausführen und Umbenennen starten."))
            << kept;
    // What is hidden at start.
    for (const char* hidden : {"Konvertieren_Keep_Size_Check", "Delete_Old_Format_File", "DE_Flag",
                               "Command9", "Command10", "Command8", "RestoreOrigin_BAT",
                               "DoppelteWarnung", "DoppelteAbbruch", "Picture1", "IniBtn"})
        EXPECT_TRUE(control<QWidget>(hidden)->isHidden()) << hidden;
}

TEST_F(Form1Test, TheFixedDateSitsInTheGapOfItsCheckBoxCaption) {
    start(pictures.path());
    auto* check = control<QCheckBox>("FixDatumWennKeinsGefundenCheck");
    auto* date = control<QLineEdit>("DatumSetzenTxt");
    ASSERT_EQ(date->parentWidget(), check);
    const QFontMetrics fm = check->fontMetrics();
    // Right of "Wenn kein Datum:" and fully inside the check box.
    EXPECT_GE(date->x(), fm.horizontalAdvance(QStringLiteral("Wenn kein Datum:")));
    EXPECT_LE(date->x() + date->width() + fm.horizontalAdvance(QStringLiteral("setzen")),
              check->sizeHint().width());
}

}  // namespace kadrano::test
