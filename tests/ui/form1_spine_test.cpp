#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/inifile.h"
#include "form1fixture.h"
#include "ui/clickablelabel.h"

using namespace kadrano;
using namespace kadrano::test;

TEST_F(Form1Test, StartsOnTheQuotedCommandLineFolderAndCountsItsPictures) {
    for (const char* f : {"Fotos 2019/a.jpg", "Fotos 2019/B.JPG", "Fotos 2019/c.jpg",
                          "Fotos 2019/d.png", "Fotos 2019/sub/e.jpg"})
        pictures.write(q(f));
    const QString folder = pictures.path() + q("Fotos 2019");
    create();
    control<QCheckBox>("DubDir_Check")->setChecked(false);
    window->startUp(q("  \"") + folder + q("\"  "));
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), folder + u'/');
    EXPECT_EQ(status(), q("Gefunden: 3"));
    EXPECT_EQ(window->fileList().FileNames, QStringList({q("a.jpg"), q("B.JPG"), q("c.jpg")}));
    EXPECT_EQ(window->windowTitle(), Form1::designCaption());
    EXPECT_FALSE(window->loading());

    click("DubDir_Check");  // with sub-folders now
    EXPECT_EQ(status(), q("Gefunden: 4"));
    EXPECT_EQ(window->fileList().count(), 4);

    auto* pattern = control<QComboBox>("Combo2");
    EXPECT_EQ(pattern->currentText(), q("*.jpg"));
    EXPECT_EQ(pattern->count(), 6);
    pattern->setCurrentIndex(0);
    Q_EMIT pattern->activated(0);
    EXPECT_EQ(status(), q("Gefunden: 5"));
}

TEST_F(Form1Test, WithoutACommandLineTheWorkingFolderIsShown) {
    start(QString());
    EXPECT_EQ(control<QLineEdit>("Text1")->text(), QDir::currentPath() + u'/');
}

TEST_F(Form1Test, AMissingFolderShowsTheRedNoFilesState) {
    start(pictures.path() + q("gibt es nicht"));
    EXPECT_EQ(status(), q("Keine Dateien gefunden"));
    EXPECT_TRUE(control<ClickableLabel>("FileStatus")->styleSheet().contains(q("255, 0, 0")));
    EXPECT_TRUE(window->fileList().isEmpty());
    EXPECT_EQ(control<ClickableLabel>("Vorschau")->text(), QString());
    // The tooltip says why: the label's own tip, then the note.
    const QString ownTip =
        q("Doppelklick erstellt und öffenet eine Liste aller gefundenen Dateien");
    EXPECT_EQ(control<ClickableLabel>("FileStatus")->toolTip(),
              ownTip + q("\n\nNicht erfasst:\nDer Ordner existiert nicht."));

    // A folder that could be read completely takes the note away again.
    pictures.write(q("a.jpg"));
    control<QLineEdit>("Text1")->setText(pictures.path());
    window->collectFiles();
    EXPECT_EQ(status(), q("Gefunden: 1"));
    EXPECT_EQ(control<ClickableLabel>("FileStatus")->toolTip(), ownTip);
}

TEST_F(Form1Test, SettingsSurviveARestartAndTheFirstStartCreatesNoFile) {
    pictures.write(q("a.jpg"));
    start(pictures.path());
    EXPECT_FALSE(program.exists(q("kadrano.ini")));
    EXPECT_TRUE(control<QPushButton>("IniBtn")->isHidden());

    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    control<QCheckBox>("BatPAuse")->setChecked(false);
    control<QComboBox>("Combo2")->setCurrentIndex(0);
    click("SaveIniBtn");
    EXPECT_FALSE(control<QPushButton>("IniBtn")->isHidden());
    IniDocument ini;
    ASSERT_TRUE(ini.load(program.file(q("kadrano.ini"))));
    EXPECT_EQ(ini.value(q("Settings"), q("Keine_Nachfragen")), q("1"));
    EXPECT_EQ(ini.value(q("Settings"), q("BAT_Pause_Check")), q("0"));
    EXPECT_EQ(ini.value(q("Settings"), q("Datei_Erweiterung_Text")), q("*.*"));
    EXPECT_EQ(ini.value(q("Settings"), q("Language")), std::nullopt);

    start(pictures.path());
    EXPECT_TRUE(control<QCheckBox>("KeineNachfragen")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("BatPAuse")->isChecked());
    EXPECT_EQ(control<QComboBox>("Combo2")->currentText(), q("*.*"));
    EXPECT_FALSE(control<QPushButton>("IniBtn")->isHidden());
    click("IniBtn");
    EXPECT_EQ(dialogs.editorFiles.last(), program.file(q("kadrano.ini")));
}

TEST_F(Form1Test, TheFileListIsSavedWithCrLfAndAnEmptyLastLine) {
    for (const char* f : {"a.jpg", "b.jpg", "c.jpg"})
        pictures.write(q(f));
    start(pictures.path());
    dialogs.replies = {Mb::ResultNo};
    click("FileStatus");
    EXPECT_FALSE(program.exists(q("kadrano.txt")));
    dialogs.replies = {Mb::ResultYes};
    click("FileStatus");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].text, q("Dateiliste in Text-Datei speichern und anzeigen?"));
    EXPECT_EQ(dialogs.boxes[1].title, q("Dateiliste anzeigen?"));
    EXPECT_EQ(dialogs.boxes[1].flags, Mb::YesNo);
    const QString dir = pictures.path();
    EXPECT_EQ(program.read(q("kadrano.txt")),
              (dir + q("a.jpg\r\n") + dir + q("b.jpg\r\n") + dir + q("c.jpg\r\n\r\n")).toUtf8());
    EXPECT_EQ(dialogs.editorFiles, QStringList({program.file(q("kadrano.txt"))}));
}

TEST_F(Form1Test, ExitSavesAndClosingByTheFrameOnlyRemovesTheFileList) {
    pictures.write(q("a.jpg"));
    const QByteArray before("[Settings]\r\nKeine_Nachfragen=0\r\n");
    program.write(q("kadrano.ini"), before);
    start(pictures.path());
    const QByteArray afterLoad = program.read(q("kadrano.ini"));  // defaults were added
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    program.write(q("kadrano.txt"), "list");
    window->close();
    EXPECT_EQ(program.read(q("kadrano.ini")), afterLoad);
    EXPECT_FALSE(program.exists(q("kadrano.txt")));

    start(pictures.path());
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    program.write(q("kadrano.txt"), "list");
    click("ExitBtn");
    IniDocument ini;
    ini.load(program.file(q("kadrano.ini")));
    EXPECT_EQ(ini.value(q("Settings"), q("Keine_Nachfragen")), q("1"));
    EXPECT_FALSE(program.exists(q("kadrano.txt")));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Form1Test, EscapeSetsBothCancelFlagsAndTheNextCollectionClearsOne) {
    pictures.write(q("a.jpg"));
    start(pictures.path());
    QTest::keyClick(control<QLineEdit>("Text1"), Qt::Key_Escape);
    EXPECT_TRUE(window->collectCancel());
    EXPECT_TRUE(window->toolCancel());
    window->collectFiles();
    EXPECT_FALSE(window->collectCancel());
    EXPECT_EQ(status(), q("Gefunden: 1"));
}

TEST_F(Form1Test, EscapeDuringALongWalkInterruptsItAndKeepsTheFilesFound) {
    for (int i = 0; i < 1500; ++i)
        pictures.write(QStringLiteral("d%1/f%2.jpg").arg(i % 5).arg(i));
    create();
    control<QCheckBox>("DubDir_Check")->setChecked(true);
    window->startUp(pictures.path());
    EXPECT_EQ(status(), q("Gefunden: 1.500"));

    // The person presses ESC while the search shows its first count.
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [this] {
        if (status().startsWith(q("Suche läuft.. (300)")))
            QTest::keyClick(control<QLineEdit>("Text1"), Qt::Key_Escape);
    });
    presser.start(0);
    window->collectFiles();
    presser.stop();
    EXPECT_EQ(status(), q("Gefunden: 300  (Unterbrochen)"));
    EXPECT_EQ(window->fileList().count(), 300);
    EXPECT_EQ(window->windowTitle(), Form1::designCaption());
}

// Enter collects the typed folder; the click that then moves the focus away must act
// instead of starting the same collection again (whose event loop swallowed the click).
TEST_F(Form1Test, TheFirstClickAfterEnterInTheFolderBoxActs) {
    pictures.write(q("Neu/a.jpg"));
    pictures.write(q("Neu/b.jpg"));
    start(pictures.path());
    window->activateWindow();
    int collections = 0;
    QObject::connect(window.get(), &Form1::filesCollected, [&] { ++collections; });
    auto* text1 = control<QLineEdit>("Text1");
    text1->setFocus();
    text1->setText(pictures.path() + q("Neu"));
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_EQ(collections, 1);
    EXPECT_EQ(status(), q("Gefunden: 2"));

    auto* noQuestions = control<QCheckBox>("KeineNachfragen");
    const bool before = noQuestions->isChecked();
    noQuestions->setFocusPolicy(Qt::StrongFocus);
    noQuestions->setFocus(Qt::MouseFocusReason);  // what the press does first
    QTest::mouseClick(noQuestions, Qt::LeftButton);
    EXPECT_NE(noQuestions->isChecked(), before);
    EXPECT_EQ(collections, 1);

    // Leaving the box after typing another folder still collects that one.
    text1->setFocus();
    text1->setText(pictures.path());
    noQuestions->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(collections, 2);
}

// Enter in the folder box while a tool waits for an answer (its event loop lets the key
// through) must not pull a new file list out from under the tool; the collection follows
// when the tool has ended.
TEST_F(Form1Test, ACollectionAskedForWhileAToolRunsWaitsForIt) {
    picture(q("a.jpg"), QSize(40, 30), Qt::red);
    start(pictures.path());
    ASSERT_EQ(window->fileList().count(), 1);
    click("DatumHeader");
    int duringTool = -1;
    dialogs.onBox = [&] {
        dialogs.onBox = nullptr;
        picture(q("b.jpg"), QSize(40, 30), Qt::blue);
        QTest::keyClick(control<QLineEdit>("Text1"), Qt::Key_Return);
        duringTool = window->fileList().count();
    };
    dialogs.replies = {Mb::ResultNo};
    click("AddDateToNameBtn");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(duringTool, 1);
    EXPECT_EQ(window->fileList().count(), 2);
}
