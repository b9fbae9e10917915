#include <QCheckBox>
#include <QFile>
#include <QPushButton>

#include "form1fixture.h"

using namespace kadrano;
using namespace kadrano::test;

TEST_F(Form1Test, ASettingsFileThatCannotBeReadIsSaidAtTheStartAndKeptAsItIs) {
    pictures.write(q("a.jpg"));
    const QByteArray huge = "[Settings]\r\nKeine_Nachfragen=1\r\n" + QByteArray(2 << 20, ';');
    program.write(q("kadrano.ini"), huge);
    start(pictures.path());
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Einstellungen"));
    EXPECT_EQ(dialogs.boxes[0].flags, Mb::OK | Mb::IconWarning);
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(
        q("Die Einstellungsdatei konnte nicht gelesen werden:\r") + program.file(q("kadrano.ini"))))
        << dialogs.boxes[0].text.toStdString();
    EXPECT_FALSE(control<QCheckBox>("KeineNachfragen")->isChecked());

    // A tool's own save keeps quiet about it; the buttons that ask for a save are answered.
    window->saveSettings();
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    click("SaveIniBtn");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(
        dialogs.boxes[1].text.startsWith(q("Die Einstellungen wurden nicht gespeichert:\r")));
    click("ExitBtn");
    EXPECT_EQ(dialogs.boxes.size(), 3u);
    EXPECT_EQ(program.read(q("kadrano.ini")), huge);
}

TEST_F(Form1Test, ASaveThatCannotBeMadeIsSaidInTheWindowsLanguage) {
    pictures.write(q("a.jpg"));
    // No folder can be made where a file stands, so nothing can be saved there.
    program.write(q("blocker"), "x");
    AppPaths blocked = paths();
    blocked.settingsFile = program.file(q("blocker/kadrano.ini"));
    window = std::make_unique<Form1>(Form1::Options{blocked, &dialogs, &runner});
    window->startUp(pictures.path());
    // Where no settings can be kept there is no font list either: the import is offered.
    std::erase_if(dialogs.boxes, [](const ShownBox& b) {
        return b.title == q("Schriften jetzt initialisieren?");
    });
    EXPECT_TRUE(dialogs.boxes.empty());
    click("SaveIniBtn");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Einstellungen"));
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(
        q("Die Einstellungen wurden nicht gespeichert:\r") + blocked.settingsFile + u'\r'));
    // The saves before tool runs say it once, until a save succeeds again.
    window->saveSettings();
    window->saveSettings();
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    window.reset();

    // English: a write-protected file that asks for English.
    dialogs.boxes.clear();
    const QString path = program.write(q("kadrano.ini"), "[Settings]\r\nLanguage=EN\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    start(pictures.path());
    EXPECT_TRUE(dialogs.boxes.empty());
    window->saveSettings();
    click("SaveIniBtn");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Settings"));
    EXPECT_EQ(dialogs.boxes[1].text,
              q("The settings were not saved:\r") + path + q("\rThe file is write-protected."));
    EXPECT_EQ(program.read(q("kadrano.ini")), QByteArray("[Settings]\r\nLanguage=EN\r\n"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
