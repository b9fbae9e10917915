#include <gtest/gtest.h>

#include <unistd.h>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <random>

#include "analysis/duplicatefinder.h"
#include "analysis/duplicates.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

const QString kHeader =
    QStringLiteral("chcp 1252\r\nif \"%1\"==\"\" (set Zeit=%time%) else (set Zeit=%1%2%3)\r\n");

QString md5Of(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex())
        .toUpper();
}

QString echo(int j) {
    return QStringLiteral("@Echo #####  %1    Start: %Zeit% #####").arg(j);
}

class FakeView : public DuplicatesView {
public:
    QString button = QStringLiteral("Start");
    QStringList buttonTexts;
    std::vector<bool> hint;

    void setStartButtonText(const QString& text) override {
        button = text;
        buttonTexts.append(text);
    }
    void setCancelHintVisible(bool visible) override { hint.push_back(visible); }
};

class DuplicateRun : public ::testing::Test {
protected:
    DuplicateRun() : host(&runner) { host.dirText = folder.path(); }

    void start(const QString& tag = QStringLiteral("[Doppelt]"), bool deleteCopies = false) {
        finder.startClicked(host, view, {tag, deleteCopies});
    }
    // The person clicks the Start button once more while the search lets events through.
    void clickStartWhileRunning() {
        host.recorder.onProcessEvents = [this, clicked = false]() mutable {
            if (clicked)
                return;
            clicked = true;
            finder.startClicked(host, view, {QStringLiteral("[Doppelt]"), false});
        };
    }
    QString dir() const { return folder.path(); }
    QString listPath() const { return dir() + QLatin1String(kChecksumListName); }
    QString scriptPath() const { return dir() + QLatin1String(kDuplicatesScriptName); }
    QString listText() const { return QString::fromUtf8(folder.read(kChecksumListName)); }
    QString scriptText() const { return QString::fromUtf8(folder.read(kDuplicatesScriptName)); }
    QString entry(const char* name, const QByteArray& bytes) const {
        return md5Of(bytes) + u';' + dir() + QString::fromUtf8(name) + QStringLiteral("\r\n");
    }
    QString lastStatus() const {
        return host.recorder.statuses.isEmpty() ? QString() : host.recorder.statuses.last();
    }
    QStringList statusesFrom(const QString& first) const {
        const QStringList& all = host.recorder.statuses;
        return all.mid(all.indexOf(first));
    }

    TempFolder folder;
    RecordingRunner runner;
    FakeHost host;
    FakeView view;
    // Every file and pair shows its progress, so the texts can be compared one by one.
    DuplicateFinder finder{DuplicateFinderOptions{2, 0}};
};

TEST_F(DuplicateRun, ThreeEqualFilesMarkTheTwoThatSortFirst) {
    folder.write(QStringLiteral("c.jpg"), "same");
    folder.write(QStringLiteral("a.jpg"), "same");
    folder.write(QStringLiteral("B.jpg"), "same");
    folder.write(QStringLiteral("d.jpg"), "other");
    folder.write(QStringLiteral("e.txt"), "same");
    host.recorder.replies = {Mb::ResultNo};
    start();

    // The list in collected order, the script in sorted order: "B" before "a" before "c".
    EXPECT_EQ(listText(), kHeader + entry("a.jpg", "same") + entry("B.jpg", "same") +
                              entry("c.jpg", "same") + entry("d.jpg", "other"));
    EXPECT_EQ(scriptText(), kHeader + echo(1) + QStringLiteral("\r\nren ") + dir() +
                                QStringLiteral("B.jpg [Doppelt]B.jpg\r\n") + echo(2) +
                                QStringLiteral("\r\nren ") + dir() +
                                QStringLiteral("a.jpg [Doppelt]a.jpg\r\n"));

    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              QStringLiteral("2 Doppelte Dateien gefunden!\r\rOperation jetzt ausführen?\r\r"
                             "'Nein' öffnet die Bat-Datei im Notepad!\r\r"
                             "Es wird diese Datei ausgeführt / Angezeigt:\r\r") +
                  scriptPath());
    EXPECT_EQ(host.recorder.boxes[0].flags, 36);
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Doppelte gefunden"));
    EXPECT_EQ(host.recorder.editorFiles, QStringList{scriptPath()});
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(folder.names().size(), 7);  // nothing renamed before the script runs

    // Progress: one caption per file, then the caption of before.
    const QStringList& captions = host.captions;
    ASSERT_GE(captions.size(), 6);
    EXPECT_TRUE(captions[0].startsWith(QStringLiteral("Bild-Hashwerte werden ermittelt (Start: ")));
    EXPECT_EQ(captions[1],
              QStringLiteral("Analysiere Bild: 0 / 4  ..das dauert etwas.. (ESC=Abbruch)"));
    EXPECT_EQ(captions[4],
              QStringLiteral("Analysiere Bild: 3 / 4  ..das dauert etwas.. (ESC=Abbruch)"));
    EXPECT_EQ(host.windowCaption, QStringLiteral("Kadrano"));
    const QStringList tail = statusesFrom(QStringLiteral("Sortiere Liste..."));
    EXPECT_EQ(tail, QStringList({QStringLiteral("Sortiere Liste..."),
                                 QStringLiteral("Ergebnisse einlesen.."),
                                 QStringLiteral("Sortierung läuft - Bitte warten.."),
                                 QStringLiteral("Ermittle Doppelte.."),
                                 QStringLiteral("Doppelte: 1"), QStringLiteral("Doppelte: 2")}));
    const QStringList& statuses = host.recorder.statuses;
    EXPECT_TRUE(statuses.indexOf(QStringLiteral("(Restzeit: )   Analysiere: 0 / 5")) >= 0);
    EXPECT_TRUE(statuses.filter(QStringLiteral(")   Analysiere: 3 / 5")).size() == 1);

    EXPECT_EQ(view.buttonTexts, QStringList({QStringLiteral("Stop"), QStringLiteral("Start")}));
    ASSERT_FALSE(view.hint.empty());
    EXPECT_TRUE(view.hint.front());
    EXPECT_FALSE(view.hint.back());
    EXPECT_FALSE(finder.isRunning());
    EXPECT_EQ(host.settingsSaved, 1);
    EXPECT_EQ(host.start, QStringLiteral("14:05"));
}

TEST_F(DuplicateRun, EnglishRunOfTwoEmptyFilesRunsTheScriptAndOffersDeletion) {
    host.lang = Language::English;
    folder.write(QStringLiteral("x.jpg"), QByteArray());
    folder.write(QStringLiteral("y.jpg"), QByteArray());
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes, Mb::ResultNo};
    start();

    ASSERT_EQ(host.recorder.boxes.size(), 3u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              QStringLiteral("1 file doubles found!\r\rStart operation now?\r\r"
                             "'NO' opens the bat-file in the notepad!\r\r"
                             "This file will be started / shown:\r\r") +
                  scriptPath());
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Doubles found"));
    // The script is started by its plain path: it reads the clock itself.
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].program, scriptPath());
    EXPECT_TRUE(runner.calls[0].arguments.isEmpty());
    // First the list, then the script is offered for deletion; here only the list goes.
    EXPECT_TRUE(host.recorder.boxes[1].text.contains(QLatin1String(kChecksumListName)));
    EXPECT_TRUE(host.recorder.boxes[2].text.contains(QLatin1String(kDuplicatesScriptName)));
    EXPECT_FALSE(folder.exists(kChecksumListName));
    EXPECT_EQ(scriptText(), kHeader + echo(1) + QStringLiteral("\r\nren ") + dir() +
                                QStringLiteral("x.jpg [Doppelt]x.jpg\r\n"));

    EXPECT_EQ(host.captions[1],
              QStringLiteral("Analysing Pictures: 0 / 2  ..takes a while.. (ESC=Cancel)"));
    EXPECT_EQ(
        statusesFrom(QStringLiteral("Sorting List...")),
        QStringList({QStringLiteral("Sorting List..."), QStringLiteral("Reading results..."),
                     QStringLiteral("Sorting - please wait!"), QStringLiteral("Getting doubles..."),
                     QStringLiteral("Doubles found: 1")}));
    EXPECT_GE(host.recorder.statuses.indexOf(QStringLiteral("(Time left: )   Analysing: 0 / 3")),
              0);
}

TEST_F(DuplicateRun, NamesWithBlanksAndSemicolonsAndAnEmptyTag) {
    folder.write(QStringLiteral("Bild.jpg"), "pic");
    folder.write(QStringLiteral("Bild - Kopie.jpg"), "pic");
    folder.write(QStringLiteral("A;b.jpg"), "pic");
    host.pause = true;
    host.recorder.replies = {Mb::ResultNo};
    start(QString());

    EXPECT_EQ(listText(), kHeader + entry("A;b.jpg", "pic") + entry("Bild - Kopie.jpg", "pic") +
                              entry("Bild.jpg", "pic"));
    EXPECT_EQ(scriptText(), kHeader + echo(1) + QStringLiteral("\r\nren \"") + dir() +
                                QStringLiteral("A;b.jpg\" \"A;b.jpg\"\r\n") + echo(2) +
                                QStringLiteral("\r\nren \"") + dir() +
                                QStringLiteral("Bild - Kopie.jpg\" \"Bild - Kopie.jpg\"\r\n"
                                               "pause\r\n"));
}

TEST_F(DuplicateRun, DeleteModeWritesDelLinesOnly) {
    folder.write(QStringLiteral("a b.jpg"), "pic");
    folder.write(QStringLiteral("c.jpg"), "pic");
    host.recorder.replies = {Mb::ResultNo};
    start(QStringLiteral("[Doppelt]"), true);
    EXPECT_EQ(scriptText(), kHeader + echo(1) + QStringLiteral("\r\ndel \"") + dir() +
                                QStringLiteral("a b.jpg\"\r\n"));
}

TEST_F(DuplicateRun, WithoutQuestionsTheScriptRunsAndBothFilesGo) {
    folder.write(QStringLiteral("a.jpg"), "pic");
    folder.write(QStringLiteral("b.jpg"), "pic");
    host.questionsOff = true;
    start();
    EXPECT_TRUE(host.recorder.boxes.empty());
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].program, scriptPath());
    EXPECT_EQ(folder.names(), QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}));
}

TEST_F(DuplicateRun, NoFilesOnlyTellsSo) {
    folder.write(QStringLiteral("x.txt"), "text");
    host.isLoading = true;
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              QStringLiteral("Keine Dateien gefunden in:\r") + dir() + QStringLiteral("*.jpg"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::IconInformation);
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Keine Dateien gefunden!"));
    EXPECT_EQ(folder.names(), QStringList{QStringLiteral("x.txt")});
    EXPECT_EQ(host.settingsSaved, 0);
    EXPECT_EQ(view.buttonTexts, QStringList({QStringLiteral("Stop"), QStringLiteral("Start")}));
    EXPECT_FALSE(finder.isRunning());
    EXPECT_EQ(host.windowCaption, QStringLiteral("Kadrano"));
}

TEST_F(DuplicateRun, NoDuplicatesGiveAnEmptyScriptAndZeroInTheQuestion) {
    folder.write(QStringLiteral("a.jpg"), "1");
    folder.write(QStringLiteral("b.jpg"), "2");
    host.pause = true;
    host.recorder.replies = {Mb::ResultNo};
    start();
    EXPECT_EQ(scriptText(), kHeader + QStringLiteral("pause\r\n"));
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_TRUE(
        host.recorder.boxes[0].text.startsWith(QStringLiteral("0 Doppelte Dateien gefunden!\r\r")));
}

// With a pattern that takes every file, the list and script of the last search are
// among the files; they are rewritten by this one and never compared.
TEST_F(DuplicateRun, OwnFilesOfAnEarlierSearchAreLeftOut) {
    host.pattern = QStringLiteral("*.*");
    // As the duplicate area declares them to the window.
    host.ownFiles = {kDuplicatesScriptName, kChecksumListName};
    folder.write(QStringLiteral("a.jpg"), "same");
    folder.write(kDuplicatesScriptName, "same");
    folder.write(kChecksumListName, "same");
    host.recorder.replies = {Mb::ResultNo};
    start();
    EXPECT_EQ(listText(), kHeader + entry("a.jpg", "same"));
    EXPECT_EQ(scriptText(), kHeader);
}

// A stopped search leaves the folder as it was: no list, no script (an old one keeps its
// text and is not run), only the word that it was stopped; whether the digests were being
// made or the pairs walked.
TEST_F(DuplicateRun, CancelledSearchWritesAndRunsNothing) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        folder.write(QString::fromLatin1(name), "same");
    folder.write(kDuplicatesScriptName, "old");
    const QStringList before = folder.names();
    host.recorder.onProcessEvents = [&] {
        if (lastStatus().endsWith(QStringLiteral("Analysiere: 2 / 5")))
            host.cancel = true;
    };
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              QStringLiteral("Suche abgebrochen - es wurde nichts geändert."));
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Suche abgebrochen"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::IconInformation);
    EXPECT_EQ(folder.names(), before);
    EXPECT_EQ(folder.read(kDuplicatesScriptName), QByteArray("old"));
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_TRUE(host.recorder.editorFiles.isEmpty());
    EXPECT_FALSE(host.cancel);  // noticed and cleared
    EXPECT_EQ(host.captions.filter(QStringLiteral("Analysiere Bild: 3 / 4")).size(), 0);
    EXPECT_EQ(host.windowCaption, QStringLiteral("Kadrano"));
    EXPECT_EQ(view.button, QStringLiteral("Start"));
    EXPECT_FALSE(finder.isRunning());

    host.lang = Language::English;
    host.recorder.boxes.clear();
    host.recorder.onProcessEvents = [&] {
        if (lastStatus() == QStringLiteral("Doubles found: 1"))
            host.cancel = true;
    };
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              QStringLiteral("Search cancelled - nothing was changed."));
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Search cancelled"));
    EXPECT_EQ(folder.names(), before);
    EXPECT_EQ(folder.read(kDuplicatesScriptName), QByteArray("old"));
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_FALSE(host.cancel);
}

// A name with a line break would split its line of the list, and the piece before the
// break could pair with another file's copy: such a name never reaches the list.
TEST_F(DuplicateRun, NamesWithLineBreaksNeverReachTheList) {
    host.pattern = QStringLiteral("*.*");
    folder.write(QStringLiteral("holiday.jpg"), "holiday");
    folder.write(QStringLiteral("holiday.jpg\nzz"), "other");
    folder.write(QStringLiteral("zzz_copy.jpg"), "other");
    host.recorder.replies = {Mb::ResultOK, Mb::ResultNo};
    start(QStringLiteral("[Doppelt]"), true);
    EXPECT_EQ(listText(),
              kHeader + entry("holiday.jpg", "holiday") + entry("zzz_copy.jpg", "other"));
    EXPECT_EQ(scriptText(), kHeader);
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Dateien übersprungen"));
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(QStringLiteral("1 ")));
    EXPECT_TRUE(host.recorder.boxes[1].text.startsWith(QStringLiteral("0 Doppelte")));
}

// A link and its target, and two hard links of one file, are one file: none of them is a
// surplus copy of another.
TEST_F(DuplicateRun, LinksToAFileAreNotCopiesOfIt) {
    const QByteArray photo = QFile::encodeName(folder.write(QStringLiteral("photo.jpg"), "pic"));
    ASSERT_EQ(
        ::symlink(photo.constData(),
                  QFile::encodeName(dir() + QStringLiteral("z_link_to_photo.jpg")).constData()),
        0);
    ASSERT_EQ(::link(photo.constData(),
                     QFile::encodeName(dir() + QStringLiteral("photo_hard.jpg")).constData()),
              0);
    host.recorder.replies = {Mb::ResultNo};
    start(QStringLiteral("[Doppelt]"), true);
    EXPECT_EQ(scriptText(), kHeader);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(QStringLiteral("0 Doppelte")));
}

// A click on the button while the search lets events through offers to stop it and
// never starts a second search.
TEST_F(DuplicateRun, SecondClickOffersToStop) {
    folder.write(QStringLiteral("a.jpg"), "same");
    folder.write(QStringLiteral("b.jpg"), "same");
    clickStartWhileRunning();
    host.recorder.replies = {Mb::ResultYes, Mb::ResultNo};
    start();

    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[0].text, QStringLiteral("Laufenden Vorgang beenden?"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::YesNo);
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Laufenden Vorgang stoppen?"));
    EXPECT_EQ(host.recorder.boxes[1].title, QStringLiteral("Suche abgebrochen"));
    EXPECT_FALSE(folder.exists(kChecksumListName));
    EXPECT_EQ(host.collections, 1);
    EXPECT_EQ(host.settingsSaved, 2);
    EXPECT_EQ(view.buttonTexts, QStringList({QStringLiteral("Stop"), QStringLiteral("Start")}));
}

TEST_F(DuplicateRun, StopQuestionAnsweredNoLetsTheSearchGoOn) {
    folder.write(QStringLiteral("a.jpg"), "same");
    folder.write(QStringLiteral("b.jpg"), "same");
    clickStartWhileRunning();
    host.recorder.replies = {Mb::ResultNo, Mb::ResultNo};
    start();
    EXPECT_EQ(listText(), kHeader + entry("a.jpg", "same") + entry("b.jpg", "same"));
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_TRUE(host.recorder.boxes[1].text.startsWith(QStringLiteral("1 Doppelte")));
}

// When the list cannot be created the run goes on, finds nothing and still asks; an old
// list of that name is never read instead.
TEST_F(DuplicateRun, ListThatCannotBeCreatedFindsNothing) {
    folder.write(QStringLiteral("a.jpg"), "same");
    folder.write(QStringLiteral("b.jpg"), "same");
    folder.mkdir(kChecksumListName);
    host.recorder.replies = {Mb::ResultNo};
    start();
    EXPECT_EQ(scriptText(), kHeader);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(QStringLiteral("0 Doppelte")));
}

// A list whose writing fails (here: its name leads to a device that is always full) counts
// for nothing, and reading it back must not hang on a device without an end.
TEST_F(DuplicateRun, ListThatCannotBeWrittenFindsNothing) {
    if (!QFileInfo(QStringLiteral("/dev/full")).exists())
        GTEST_SKIP() << "no /dev/full here";
    folder.write(QStringLiteral("a.jpg"), "same");
    folder.write(QStringLiteral("b.jpg"), "same");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), folder.file(kChecksumListName)));
    host.recorder.replies = {Mb::ResultNo};
    start();
    EXPECT_EQ(scriptText(), kHeader);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(QStringLiteral("0 Doppelte")));
    EXPECT_TRUE(folder.exists(QStringLiteral("a.jpg")));
    EXPECT_TRUE(folder.exists(QStringLiteral("b.jpg")));
}

TEST_F(DuplicateRun, ScriptThatCannotBeWrittenIsNeitherOfferedNorRun) {
    folder.write(QStringLiteral("a.jpg"), "same");
    folder.write(QStringLiteral("b.jpg"), "same");
    folder.mkdir(kDuplicatesScriptName);
    host.questionsOff = true;
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Bat-Datei nicht erstellt"));
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(view.button, QStringLiteral("Start"));
}

TEST_F(DuplicateRun, UnsafeNamesAreReportedNotWritten) {
    folder.write(QStringLiteral("a\"b.jpg"), "same");
    folder.write(QStringLiteral("c.jpg"), "same");
    host.recorder.replies = {Mb::ResultOK, Mb::ResultNo};
    start();
    EXPECT_EQ(scriptText(), kHeader);
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Dateien übersprungen"));
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(u'1'));
    EXPECT_TRUE(host.recorder.boxes[1].text.startsWith(QStringLiteral("0 Doppelte")));
}

// Many files of all sizes digested ahead on the workers, with the window's event pacing:
// the list keeps the collected order and every digest.
TEST(DuplicateWorkers, ListKeepsCollectedOrder) {
    TempFolder folder;
    std::mt19937 rng(7);
    std::vector<QByteArray> contents;
    for (int i = 0; i < 240; ++i) {
        QByteArray bytes;
        if (i % 7 == 3) {
            bytes = contents[rng() % contents.size()];
        } else {
            bytes.resize(qsizetype(i % 5 == 0 ? rng() % 400000 : rng() % 3000));
            for (char& c : bytes)
                c = char(rng());
        }
        contents.push_back(bytes);
        folder.write(QStringLiteral("%1/p%2.jpg").arg(i % 3 ? "Sub" : "Top").arg(i), bytes);
    }
    RecordingRunner runner;
    FakeHost host(&runner);
    host.dirText = folder.path();
    host.withSubdirs = true;
    host.recorder.replies = {Mb::ResultNo};
    FakeView view;
    DuplicateFinder().startClicked(host, view, {QStringLiteral("[D]"), false});

    QString expected = kHeader;
    for (int k = 0; k < host.files.count(); ++k) {
        QFile f(host.files.fullPath(k));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        expected += md5Of(f.readAll()) + u';' + host.files.fullPath(k) + QStringLiteral("\r\n");
    }
    EXPECT_EQ(host.files.count(), 240);
    EXPECT_EQ(QString::fromUtf8(folder.read(kChecksumListName)), expected);
    // Every repeated content but one copy of each is marked.
    const QSet<QByteArray> distinct(contents.begin(), contents.end());
    EXPECT_EQ(
        QString::fromUtf8(folder.read(kDuplicatesScriptName)).count(QStringLiteral("\r\nren ")),
        240 - distinct.size());
}

// ESC while a large file is being digested: the search does not wait for that digest.
TEST_F(DuplicateRun, CancelWhileALargeFileIsDigestedLeavesItOut) {
    folder.write(QStringLiteral("a.jpg"), "same");
    folder.write(QStringLiteral("b.jpg"), "same");
    {
        QFile big(folder.file(QStringLiteral("c_video.jpg")));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(qint64(2) << 30));  // sparse: costs no disk
    }
    int eventsForBigFile = 0;
    host.recorder.onProcessEvents = [&] {
        // The first two are the yields before the file; the third comes from waiting.
        if (lastStatus().endsWith(QStringLiteral("Analysiere: 2 / 4")) && ++eventsForBigFile == 3)
            host.cancel = true;
    };
    host.recorder.replies = {Mb::ResultNo};
    start();
    EXPECT_EQ(eventsForBigFile, 3);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, QStringLiteral("Suche abgebrochen"));
    EXPECT_FALSE(folder.exists(kChecksumListName));
}

// The script as the interpreter runs it: only the surplus copies are touched.
class DuplicateScriptRun : public ::testing::Test {
protected:
    void SetUp() override {
        const QString bat = batInterpreterPath();
        ASSERT_TRUE(!bat.isEmpty() && QFileInfo::exists(bat))
            << "kadrano-bat is built with the tests";
        host.dirText = folder.path();
        folder.write(QStringLiteral("a.jpg"), "first");
        folder.write(QStringLiteral("b.jpg"), "first");
        folder.write(QStringLiteral("Kopie (2) & mehr.jpg"), "second");
        folder.write(QStringLiteral("Kopie 100%.jpg"), "second");
        folder.write(QStringLiteral("Kopie.jpg"), "second");
        folder.write(QStringLiteral("z.jpg"), "third");
        // Run it, keep the list, delete the script.
        host.recorder.replies = {Mb::ResultYes, Mb::ResultNo, Mb::ResultYes};
    }

    TempFolder folder;
    BatchRunner runner;
    FakeHost host{&runner};
    FakeView view;
    DuplicateFinder finder{DuplicateFinderOptions{2, 0}};
};

TEST_F(DuplicateScriptRun, MarkingRenamesTheSurplusCopies) {
    finder.startClicked(host, view, {QStringLiteral("[Doppelt]"), false});
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(
        folder.names(),
        QStringList({QStringLiteral("Kopie.jpg"), QStringLiteral("[Doppelt]Kopie (2) & mehr.jpg"),
                     QStringLiteral("[Doppelt]Kopie 100%.jpg"), QStringLiteral("[Doppelt]a.jpg"),
                     QString::fromLatin1(kChecksumListName), QStringLiteral("b.jpg"),
                     QStringLiteral("z.jpg")}))
        << runner.lastOutput.constData();
}

TEST_F(DuplicateScriptRun, DeletingRemovesTheSurplusCopies) {
    finder.startClicked(host, view, {QStringLiteral("[Doppelt]"), true});
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(folder.names(),
              QStringList({QStringLiteral("Kopie.jpg"), QString::fromLatin1(kChecksumListName),
                           QStringLiteral("b.jpg"), QStringLiteral("z.jpg")}))
        << runner.lastOutput.constData();
}

// Runs the search on a folder with questions off, so the script runs at once.
void searchAndRun(const TempFolder& folder, bool deleteCopies, bool withSubdirs = false) {
    BatchRunner runner;
    FakeHost host(&runner);
    host.dirText = folder.path();
    host.withSubdirs = withSubdirs;
    host.questionsOff = true;
    FakeView view;
    DuplicateFinder().startClicked(host, view, {QStringLiteral("[Doppelt]"), deleteCopies});
    EXPECT_EQ(runner.calls.size(), 1u);
}

// Beside a real copy, the file a link leads to is the one kept: the link keeps working.
TEST_F(DuplicateScriptRun, ALinkedFileIsKeptBeforeARealCopy) {
    TempFolder linked;
    const QString a = linked.write(QStringLiteral("a.jpg"), "pic");
    linked.write(QStringLiteral("c.jpg"), "pic");
    ASSERT_EQ(::symlink(QFile::encodeName(a).constData(),
                        QFile::encodeName(linked.file(QStringLiteral("b_link.jpg"))).constData()),
              0);
    searchAndRun(linked, true);
    EXPECT_EQ(linked.names(), QStringList({QStringLiteral("a.jpg"), QStringLiteral("b_link.jpg")}));
    EXPECT_EQ(linked.read(QStringLiteral("b_link.jpg")), QByteArray("pic"));
}

// The tag marks a copy to throw away: a later search keeps an untagged copy before a tagged
// one, and never tags a name twice.
TEST_F(DuplicateScriptRun, TaggedCopiesAreNeitherKeptNorTaggedAgain) {
    TempFolder oma;
    oma.write(QStringLiteral("Oma (80).jpg"), "oma");
    oma.write(QStringLiteral("Sub (2)/Oma Kopie.jpg"), "oma");
    oma.write(QStringLiteral("x.jpg"), "xy");
    oma.write(QStringLiteral("y.jpg"), "xy");
    const QStringList marked = {QStringLiteral("[Doppelt]Oma (80).jpg"),
                                QStringLiteral("[Doppelt]x.jpg"), QStringLiteral("y.jpg")};
    searchAndRun(oma, false, true);
    EXPECT_EQ(oma.names(), marked);
    EXPECT_EQ(oma.names(QStringLiteral("Sub (2)")), QStringList{QStringLiteral("Oma Kopie.jpg")});
    searchAndRun(oma, false, true);
    EXPECT_EQ(oma.names(), marked);
    EXPECT_EQ(oma.names(QStringLiteral("Sub (2)")), QStringList{QStringLiteral("Oma Kopie.jpg")});
    searchAndRun(oma, true, true);
    EXPECT_EQ(oma.names(), QStringList{QStringLiteral("y.jpg")});
    EXPECT_EQ(oma.names(QStringLiteral("Sub (2)")), QStringList{QStringLiteral("Oma Kopie.jpg")});
}

}  // namespace
