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
#include <map>
#include <optional>

#include "core/settings.h"
#include "form1fixture.h"
#include "imagemagick/colours.h"
#include "imagemagick/formats.h"
#include "ui/controlbinding.h"

namespace kadrano::test {

namespace {

const char* settingKindName(SettingKind k) {
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

bool isOfKind(const QWidget* w, SettingKind k) {
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

// A stored value of each kind that differs from every control's value at start.
QString sampleValue(SettingKind k) {
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
    for (const SettingDef& def : settingsReadOrder()) {
        if (def.kind == SettingKind::Language)
            continue;
        SCOPED_TRACE(def.key);
        QWidget* w = window->findChild<QWidget*>(QString::fromUtf8(def.control));
        ASSERT_NE(w, nullptr) << "no control " << def.control;
        EXPECT_TRUE(isOfKind(w, def.kind)) << def.control << " is no " << settingKindName(def.kind);
        // Whatever a settings file holds, the control takes it and gives it back unchanged
        // (a combo box with a fixed list would refuse a text it does not list).
        const QString value = sampleValue(def.kind);
        EXPECT_TRUE(setWidgetValue(w, def.kind, value));
        EXPECT_EQ(widgetValue(w, def.kind), value);
        ++bound;
    }
    // Every key the settings write is read back into a control.
    EXPECT_EQ(bound, int(settingsWriteOrder().size()));
    for (const char* key : settingsWriteOrder()) {
        const SettingDef* def = findSetting(key);
        ASSERT_NE(def, nullptr) << key << " is written but never read";
        EXPECT_NE(def->kind, SettingKind::Language) << key;
    }
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
    EXPECT_FALSE(setWidgetValue(q, SettingKind::Scroll, QStringLiteral("100")));
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
    EXPECT_EQ(formats, outputFormats());
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

// Every "?" of the window (found by its caption, so a new one is not missed) explains its
// part with the information icon, in German and, after the switch, in English.
TEST_F(Form1Test, EveryInfoButtonExplainsItsPartInBothLanguages) {
    start(pictures.path());
    const QString caption = window->windowTitle();
    std::vector<QPushButton*> infoButtons;
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("?"))
            infoButtons.push_back(b);
    ASSERT_GE(infoButtons.size(), 11u);

    auto ask = [this](QPushButton* b) -> std::optional<ShownBox> {
        dialogs.boxes.clear();
        b->click();
        if (dialogs.boxes.empty())
            return std::nullopt;
        EXPECT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].flags, Mb::OK | Mb::IconInformation);
        EXPECT_FALSE(dialogs.boxes[0].text.contains(u'\n')) << "lines end in a single \\r";
        return dialogs.boxes[0];
    };
    std::map<QString, QString> german;
    for (QPushButton* b : infoButtons) {
        const QString name = b->objectName();
        SCOPED_TRACE(name.toStdString());
        const std::optional<ShownBox> box = ask(b);
        if (name == QStringLiteral("Command25")) {
            EXPECT_FALSE(box) << "the date area's button has nothing to say";
            continue;
        }
        ASSERT_TRUE(box);
        EXPECT_GT(box->text.size(), 40);
        if (name == QStringLiteral("Command11")) {
            EXPECT_EQ(box->title, QStringLiteral("Info - ") + caption);
            EXPECT_TRUE(box->text.endsWith(
                QStringLiteral("    Beispiel: 'kadrano.exe C:\\Pictures\\Urlaub\\'")));
        } else if (name != QStringLiteral("Command7")) {
            EXPECT_EQ(box->title, caption + QStringLiteral(" - Info"));
        }
        german[name] = box->text;
    }
    EXPECT_TRUE(german[QStringLiteral("Command14")].startsWith(
        QStringLiteral("Größe aller Bilder proportional anpassen.\r")));
    EXPECT_EQ(ask(control<QPushButton>("Command7"))->title,
              QStringLiteral("Nummernblöcke umwandeln"));

    dialogs.replies = {Mb::ResultOK};
    click("SwitchLAnguage_Label");
    for (QPushButton* b : infoButtons) {
        const QString name = b->objectName();
        SCOPED_TRACE(name.toStdString());
        const std::optional<ShownBox> box = ask(b);
        if (name == QStringLiteral("Command25")) {
            EXPECT_FALSE(box);
            continue;
        }
        ASSERT_TRUE(box);
        EXPECT_GT(box->text.size(), 40);
        EXPECT_NE(box->text, german[name]) << "still German in English";
    }
    EXPECT_EQ(ask(control<QPushButton>("Command7"))->title, QStringLiteral("Convert Numberblocks"));
    EXPECT_EQ(ask(control<QPushButton>("Command21"))->title,
              window->windowTitle() + QStringLiteral(" - Info"));
}

TEST_F(Form1Test, InfoTitlesFollowTheWindowCaption) {
    start(pictures.path());
    window->setWindowTitle(QStringLiteral("Kadrano for digital picture-frames  v. 1.9.3"));
    control<QPushButton>("Command21")->click();
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title,
              QStringLiteral("Kadrano for digital picture-frames  v. 1.9.3 - Info"));
}

TEST_F(Form1Test, TheWindowStartsWithItsGermanCaptionsAndTooltips) {
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
