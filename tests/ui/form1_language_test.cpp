#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "core/settings.h"
#include "form1fixture.h"
#include "imagemagick/colours.h"
#include "imagemagick/magickpath.h"
#include "ui/areaicon.h"
#include "ui/areas/cameranumbersarea.h"
#include "ui/clickablelabel.h"
#include "ui/englishtexts.h"
#include "update/recordingupdatehost.h"
#include "update/update.h"

namespace kadrano::test {
namespace {

class Form1LanguageTest : public Form1Test {
protected:
    RecordingUpdateHost host;
    UpdateServer server =
        UpdateServer::forLoopbackTests(QUrl(QStringLiteral("http://127.0.0.1:9")));

    Form1& startWithHost(const QString& commandLine) {
        window.reset();
        window =
            std::make_unique<Form1>(Form1::Options{paths(), &dialogs, &runner, &server, &host});
        window->startUp(commandLine);
        return *window;
    }
    QString storedLanguage() const {
        return Settings(paths().iniPath())
            .ReadSetting(QStringLiteral("Language"), QStringLiteral("-"));
    }
    int boxesTitled(const QString& title) const {
        int n = 0;
        for (const ShownBox& b : dialogs.boxes)
            n += b.title == title ? 1 : 0;
        return n;
    }
    // The caption as the control holds it: where "&" is no mnemonic sign, "&&" is one "&".
    static QString captionOf(QWidget* w, bool* known) {
        *known = true;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            return b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w))
            return g->title();
        if (auto* l = qobject_cast<QLabel*>(w))
            return l->buddy() ? l->text() : QString(l->text()).replace(u'&', QStringLiteral("&&"));
        *known = false;
        return QString();
    }
    static QString plain(const char* s) {
        return QString::fromUtf8(s).replace(QStringLiteral("&&"), QStringLiteral("&"));
    }

    // The English tables: the strips' own, and each area's, with the part of the window
    // its controls have to lie in.
    std::vector<std::pair<std::span<const EnglishText>, QWidget*>> englishTables() const {
        std::vector<std::pair<std::span<const EnglishText>, QWidget*>> tables = {
            {shellEnglishTexts(), window.get()}};
        for (const ToolArea* a : window->areaStack().areas())
            tables.emplace_back(a->englishTexts(), a->frame());
        const ToolArea& camera = window->areaStack().cameraNumbers();
        tables.emplace_back(camera.englishTexts(), camera.frame());
        return tables;
    }

    void expectTableApplied(bool withTexts) {
        for (const auto& [table, part] : englishTables())
            for (const EnglishText& e : table) {
                SCOPED_TRACE(e.control);
                expectEntryApplied(e, part, withTexts);
            }
        // Every stacked area speaks English, its head included: the header's tooltip is its
        // picture's too.
        for (const ToolArea* a : window->areaStack().areas()) {
            SCOPED_TRACE(a->frame()->objectName().toStdString());
            EXPECT_FALSE(a->englishTexts().empty());
            EXPECT_EQ(a->icon()->toolTip(), a->header()->toolTip());
        }
    }

    // One entry: its control lies in the part whose table names it (an area applies its
    // table to its own controls only) and shows the English wording.
    void expectEntryApplied(const EnglishText& e, QWidget* part, bool withTexts) {
        QWidget* w = window->findChild<QWidget*>(QString::fromUtf8(e.control));
        ASSERT_NE(w, nullptr) << "no control " << e.control;
        EXPECT_TRUE(w == part || part->isAncestorOf(w))
            << e.control << " lies outside " << part->objectName().toStdString();
        if (e.caption) {
            bool known = false;
            EXPECT_EQ(captionOf(w, &known), QString::fromUtf8(e.caption));
            EXPECT_TRUE(known) << "a caption on a control that shows none";
        }
        if (e.tooltip) {
            EXPECT_EQ(w->toolTip(), plain(e.tooltip));
        }
        if (e.text && withTexts) {
            auto* edit = qobject_cast<QLineEdit*>(w);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->text(), QString::fromUtf8(e.text));
        }
    }
};

TEST_F(Form1LanguageTest, AStoredEnglishBringsTheWindowUpEnglishWithoutTheNotice) {
    program.write(QStringLiteral("kadrano.ini"), "[Settings]\r\nLanguage=EN\r\n");
    picture(QStringLiteral("a.jpg"), QSize(8, 6), Qt::red);
    startWithHost(pictures.path());

    EXPECT_EQ(window->language(), Language::English);
    expectTableApplied(false);
    EXPECT_EQ(boxesTitled(QStringLiteral("Translation still in progress")), 0);
    EXPECT_TRUE(
        window->windowTitle().startsWith(QStringLiteral("Kadrano for digital picture-frames")))
        << window->windowTitle().toStdString();
    EXPECT_TRUE(status().startsWith(QStringLiteral("Found"))) << status().toStdString();

    auto* colours = control<QComboBox>("TextfarbeCOmbo");
    QStringList items;
    for (int i = 0; i < colours->count(); ++i)
        items.append(colours->itemText(i));
    EXPECT_EQ(items, (QStringList{"White", "Black", "Grey", "Green", "Green (light)", "Blue",
                                  "Blue (light)", "Yellow", "Orange", "Red"}));
    EXPECT_EQ(colours->currentText(), QStringLiteral("White"));
    EXPECT_EQ(storedLanguage(), QStringLiteral("EN"));
}

TEST_F(Form1LanguageTest, SwitchingToEnglishAndBackToGermanAtTheNextStart) {
    const QString magick = program.write(QStringLiteral("magick"));
    startWithHost(pictures.path());
    EXPECT_EQ(control<QAbstractButton>("ExitBtn")->text(), QStringLiteral("Beenden"));
    control<QComboBox>("TextfarbeCOmbo")->setCurrentText(QStringLiteral("Grün"));
    control<QLineEdit>("ImageMagicPath")->setText(magick);

    click("SwitchLAnguage_Label");
    EXPECT_EQ(window->language(), Language::English);
    expectTableApplied(true);
    ASSERT_EQ(boxesTitled(QStringLiteral("Translation still in progress")), 1);
    EXPECT_EQ(dialogs.boxes.back().flags, Mb::OK | Mb::IconInformation);
    EXPECT_EQ(storedLanguage(), QStringLiteral("EN"));
    // The chosen colour under its English name; a valid ImageMagick path stays.
    EXPECT_EQ(control<QComboBox>("TextfarbeCOmbo")->currentText(), QStringLiteral("Green"));
    EXPECT_EQ(control<QLineEdit>("ImageMagicPath")->text(), magick);
    // Saving keeps the language where the button put it.
    click("SaveIniBtn");
    EXPECT_EQ(storedLanguage(), QStringLiteral("EN"));

    // Back to German: stored at once, shown from the next start; Cancel keeps running.
    dialogs.replies = {Mb::ResultCancel};
    click("SwitchLAnguage_Label");
    ASSERT_EQ(dialogs.boxes.back().title, QStringLiteral("Programm neu starten  /Restart Program"));
    EXPECT_EQ(dialogs.boxes.back().text,
              QStringLiteral("Neustart für deutsche Sprache notwendig - Programm beenden?\r\r"
                             "Restart for german language needed - Restart now?"));
    EXPECT_EQ(dialogs.boxes.back().flags, Mb::OKCancel | Mb::IconInformation);
    EXPECT_EQ(storedLanguage(), QStringLiteral("DE"));
    EXPECT_EQ(window->language(), Language::German);
    EXPECT_EQ(control<QAbstractButton>("ExitBtn")->text(), QStringLiteral("Exit"));
    EXPECT_EQ(host.ends, 0);

    startWithHost(pictures.path());
    EXPECT_EQ(window->language(), Language::German);
    EXPECT_EQ(control<QAbstractButton>("ExitBtn")->text(), QStringLiteral("Beenden"));
    EXPECT_EQ(control<QComboBox>("TextfarbeCOmbo")->itemText(0), QStringLiteral("Weiss"));

    // The hint in the path box turns English; OK on the way back ends the program at once.
    control<QLineEdit>("ImageMagicPath")->setText(QString::fromUtf8(kMagickPathHint));
    dialogs.replies.clear();
    click("SwitchLAnguage_Label");
    EXPECT_EQ(control<QLineEdit>("ImageMagicPath")->text(),
              QString::fromUtf8(kMagickPathHintEnglish));
    dialogs.replies = {Mb::ResultOK};
    click("SwitchLAnguage_Label");
    EXPECT_EQ(host.ends, 1);
}

TEST_F(Form1LanguageTest, TheLinksAskThenHandOver) {
    program.write(updaterFileName(), "updater");
    startWithHost(QStringLiteral("  ") + pictures.path());
    auto* link = control<QLabel>("Label13");
    EXPECT_TRUE(link->isVisible());

    dialogs.replies = {Mb::ResultNo};
    click("Label13");
    EXPECT_TRUE(link->isVisible());
    EXPECT_TRUE(host.startedScripts.isEmpty());

    dialogs.replies = {Mb::ResultYes};
    click("Label13");
    const UpdatePaths paths = UpdatePaths::forProgram(program.path(), QStringLiteral("kadrano"));
    EXPECT_EQ(host.startedScripts, QStringList{paths.scriptPath});
    EXPECT_EQ(program.read(QStringLiteral("kadrano_Update.bat")),
              (paths.updaterPath + QStringLiteral(" [URL]") + server.newProgramAddress() +
               QStringLiteral(" [PARAM1]   ") + pictures.path() + QStringLiteral(" [PATH]") +
               paths.programPath + QStringLiteral("\r\n"))
                  .toUtf8());
    EXPECT_EQ(host.ends, 1);

    dialogs.replies = {Mb::ResultYes};
    click("Label42");
    EXPECT_EQ(host.openedPages, QList<QUrl>{server.webPage()});
}

}  // namespace
}  // namespace kadrano::test
