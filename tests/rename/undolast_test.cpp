#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <functional>
#include <memory>

#include "analysis/duplicatefinder.h"
#include "analysis/orientationtagger.h"
#include "core/ownfiles.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"
#include "core/undojournal.h"
#include "dates/dateintonames.h"
#include "dates/dateshuffle.h"
#include "dates/setdates.h"
#include "rename/cameranumbers.h"
#include "rename/customrename.h"
#include "rename/shuffle.h"
#include "rename/undolast.h"
#include "support/fakehost.h"
#include "support/testfiles.h"
#include "support/testpictures.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

constexpr qint64 kNs = 1000000000LL;
// 21.07.2019 10:11:12 and some nanoseconds: a camera's time, not a whole second.
constexpr qint64 kTakenNs = 1563703872LL * kNs + 123456789LL;

void setTimes(const QString& path, qint64 atimeNs, qint64 mtimeNs) {
    const struct timespec t[2] = {{time_t(atimeNs / kNs), long(atimeNs % kNs)},
                                  {time_t(mtimeNs / kNs), long(mtimeNs % kNs)}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), t, 0), 0);
}

struct Stamps {
    qint64 atimeNs = 0;
    qint64 mtimeNs = 0;
    bool operator==(const Stamps&) const = default;
};

Stamps stampsOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {qint64(st.st_atim.tv_sec) * kNs + st.st_atim.tv_nsec,
            qint64(st.st_mtim.tv_sec) * kNs + st.st_mtim.tv_nsec};
}

class NoOrientationView : public OrientationView {
public:
    QString startButtonText() const override { return q("Start "); }
    void setStartButtonText(const QString&) override {}
};

class NoDuplicatesView : public DuplicatesView {
public:
    void setStartButtonText(const QString&) override {}
    void setCancelHintVisible(bool) override {}
};

// The folder's pictures: each name with its bytes and modification time.
using Pictures = QMap<QString, std::pair<QByteArray, qint64>>;

class Undo : public ::testing::Test {
public:
    Undo() { restart(); }

    TempFolder pictures;
    TempFolder state;  // the folder of journals
    BatchRunner runner;
    std::unique_ptr<FakeHost> host;

    // A new window on the same folder and journals: nothing but the journal carries over.
    FakeHost& restart() {
        host = std::make_unique<FakeHost>(&runner);
        host->dirText = pictures.path();
        host->undoFolder = state.path();
        host->questionsOff = true;
        return *host;
    }
    // Pictures with known bytes and a modification time to the nanosecond.
    void write(const QString& name, const QByteArray& bytes) {
        const QString path = pictures.write(name, bytes);
        setTimes(path, kTakenNs + 1000, kTakenNs + bytes.size());
    }
    Pictures snapshot() const {
        Pictures p;
        for (const QString& n : pictures.names())
            if (n.endsWith(q(".jpg")))
                p.insert(n, {pictures.read(n), stampsOf(pictures.file(n)).mtimeNs});
        return p;
    }
    QString journal() const { return undoJournalPath(state.path(), pictures.path()); }
    UndoButtonState button() const {
        return undoButtonFor(state.path(), pictures.path(), Language::German);
    }
    QString lastBox() const {
        return host->recorder.boxes.empty() ? QString() : host->recorder.boxes.back().text;
    }
    QStringList allBoxes() const {
        QStringList t;
        for (const ShownBox& b : host->recorder.boxes)
            t << b.text;
        return t;
    }
};

}  // namespace

// Every tool that renames: after its run and one click, every picture has its name, bytes
// and modification time back, and nothing of the undo stays in the folder.
TEST_F(Undo, EveryRenamingToolIsUndoneExactly) {
    struct Tool {
        const char* name;
        std::function<void(Undo&)> files;
        std::function<void(FakeHost&)> run;
    };
    auto plainFiles = [](Undo& t) {
        t.write(q("IMG_1234.jpg"), "first");
        t.write(q("IMG_1235 (Kopie) & mehr.jpg"), "second picture");
        t.write(q("50%.jpg"), "third");
    };
    const std::vector<Tool> tools = {
        {"Bilder Mischen", plainFiles, [](FakeHost& h) { runShuffle(h, ShuffleOptions{}); }},
        {"Dateinamen ändern", plainFiles,
         [](FakeHost& h) {
             CustomRenameOptions o;
             o.left = q("Urlaub ");
             o.replaceFrom = q("IMG");
             o.replaceWith = q("Bild");
             runCustomRename(h, o);
         }},
        {"Kamera-Nummern", plainFiles,
         [](FakeHost& h) {
             CameraNumberOptions o;
             o.digits = 4;
             o.replacement = q("Foto");
             runCameraNumbers(h, o);
         }},
        {"Datum -> Dateinamen", plainFiles,
         [](FakeHost& h) { runDateIntoNames(h, DateIntoNamesOptions{}); }},
        {"Bildausrichtung",
         [](Undo& t) {
             t.write(q("hoch.jpg"), greyJpeg(20, 30, 10));
             t.write(q("quer.jpg"), greyJpeg(30, 20, 20));
         },
         [](FakeHost& h) {
             NoOrientationView view;
             OrientationTagger().startClicked(h, view, OrientationTagOptions{});
         }},
        {"Bildausrichtung entfernen",
         [](Undo& t) {
             t.write(q("[HF]hoch.jpg"), "a");
             t.write(q("quer[QF].jpg"), "b");
         },
         [](FakeHost& h) { runRemoveOrientationTags(h, OrientationTagOptions{}); }},
        {"Doppelte Fotos",
         [](Undo& t) {
             t.write(q("a.jpg"), "same bytes");
             t.write(q("b.jpg"), "same bytes");
             t.write(q("c.jpg"), "other");
         },
         [](FakeHost& h) {
             NoDuplicatesView view;
             DuplicateFinder().startClicked(h, view, {q("[Doppelt]"), false});
         }},
    };
    for (const Tool& tool : tools) {
        SCOPED_TRACE(tool.name);
        for (const QString& n : pictures.names())
            QFile::remove(pictures.file(n));
        QFile::remove(journal());
        tool.files(*this);
        const Pictures before = snapshot();
        tool.run(restart());
        ASSERT_NE(snapshot().keys(), before.keys()) << "the tool renamed nothing";
        const UndoButtonState offered = button();
        EXPECT_TRUE(offered.enabled);
        EXPECT_TRUE(offered.toolTip.startsWith(q("Rückgängig: ") + q(tool.name) + q(", ")))
            << offered.toolTip.toStdString();

        runUndoLast(restart());
        EXPECT_EQ(snapshot(), before);
        EXPECT_FALSE(pictures.exists(QLatin1String(kUndoScriptName)));
        EXPECT_FALSE(pictures.exists(QLatin1String(kShuffleRecordName)));
        EXPECT_FALSE(button().enabled);
        EXPECT_EQ(button().toolTip, q("Nichts rückgängig zu machen"));
        EXPECT_TRUE(allBoxes().filter(q("bleiben")).isEmpty()) << lastBox().toStdString();
    }
}

// The restore takes the numbers off; its undo puts them back, and the folder's record says
// again that they are the shuffle's, so that a later restore takes them off once more.
TEST_F(Undo, TheUndoneRestoreLeavesTheNamesRestorableAgain) {
    write(q("2019-07-21 Strand.jpg"), "beach");
    write(q("IMG_0001.jpg"), "one");
    const Pictures original = snapshot();
    runShuffle(*host, ShuffleOptions{q("-")});
    const Pictures shuffled = snapshot();
    runRestore(restart(), ShuffleOptions{q("-")});
    ASSERT_EQ(snapshot(), original);
    EXPECT_FALSE(pictures.exists(QLatin1String(kShuffleRecordName)));

    runUndoLast(restart());
    EXPECT_EQ(snapshot(), shuffled);
    runRestore(restart(), ShuffleOptions{q("-")});
    EXPECT_EQ(snapshot(), original);
}

// Both date tools: the old access and modification times come back to the nanosecond; a
// file left alone by the tool (write-protected) is left alone by the undo too.
TEST_F(Undo, BothDateToolsAreUndoneToTheNanosecond) {
    struct Tool {
        const char* name;
        std::function<void(FakeHost&)> run;
    };
    const std::vector<Tool> tools = {
        {"Datum ändern",
         [](FakeHost& h) {
             SetDatesOptions o;
             o.fixedWhenNone = true;
             o.fixedDate = q("11.11.2019");
             TimeLeft rest;
             runSetDates(h, o, rest);
         }},
        {"Datum mischen",
         [](FakeHost& h) {
             TimeLeft rest;
             RandomSource random;
             runDateShuffle(h, DateShuffleOptions{q("24.12.2020")}, rest, random);
         }},
    };
    const QStringList names = {q("a.jpg"), q("2015 b.jpg"), q("c.jpg"), q("geschützt.jpg")};
    for (const Tool& tool : tools) {
        SCOPED_TRACE(tool.name);
        QFile::remove(journal());
        std::map<QString, Stamps> before;
        for (int i = 0; i < names.size(); ++i) {
            const QString path = pictures.write(names[i], "x");
            QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            setTimes(path, kTakenNs + i * 7, kTakenNs - i * 1000 + 1);
            before[names[i]] = stampsOf(path);
        }
        QFile(pictures.file(names[3])).setPermissions(QFileDevice::ReadOwner);
        tool.run(restart());
        EXPECT_NE(stampsOf(pictures.file(names[0])), before[names[0]]);
        EXPECT_TRUE(
            button().toolTip.startsWith(q("Rückgängig: ") + q(tool.name) + q(", 3 Dateien")))
            << button().toolTip.toStdString();

        runUndoLast(restart());
        for (const QString& n : names)
            EXPECT_EQ(stampsOf(pictures.file(n)), before[n]) << n.toStdString();
        EXPECT_TRUE(lastBox().contains(q("bei 3 / 3 Dateien wiederhergestellt")))
            << lastBox().toStdString();
        EXPECT_FALSE(button().enabled);
        QFile(pictures.file(names[3]))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

// Each click undoes the newest run not undone yet, also after the program was started again.
TEST_F(Undo, TwoRunsAreUndoneNewestFirstAcrossARestart) {
    write(q("a.jpg"), "a");
    write(q("b.jpg"), "bb");
    const Pictures original = snapshot();
    runShuffle(*host, ShuffleOptions{});
    const Pictures shuffled = snapshot();
    CustomRenameOptions o;
    o.right = q("_x");
    runCustomRename(restart(), o);
    EXPECT_TRUE(button().toolTip.contains(q("Dateinamen ändern, 2 Dateien")));

    runUndoLast(restart());
    EXPECT_EQ(snapshot(), shuffled);
    EXPECT_TRUE(button().toolTip.startsWith(q("Rückgängig: Bilder Mischen, 2 Dateien, ")));
    runUndoLast(restart());
    EXPECT_EQ(snapshot(), original);
    runUndoLast(restart());
    EXPECT_EQ(snapshot(), original);
    EXPECT_TRUE(lastBox().startsWith(q("In diesem Ordner gibt es nichts rückgängig zu machen.")));
}

// A script edited by the person swapped two names and moved three in a circle, each through
// a name of its own. The undo never renames onto an existing name: one file of each circle
// steps aside to a name that is free (a file already holding the first choice keeps it).
TEST_F(Undo, SwapsAndCyclesGoBackThroughAFreeName) {
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"})
        write(q(n), QByteArray("picture ") + n);
    const Pictures original = snapshot();
    auto ren = [this](const char* from, const char* to) {
        return q("ren ") + scriptArg(pictures.file(q(from))) + u' ' + q(to);
    };
    ASSERT_TRUE(writeScriptFile(
        pictures.file(q("_Rename_Custom.bat")),
        {ren("a.jpg", "t.jpg"), ren("b.jpg", "a.jpg"), ren("t.jpg", "b.jpg"), ren("c.jpg", "t.jpg"),
         ren("e.jpg", "c.jpg"), ren("d.jpg", "e.jpg"), ren("t.jpg", "d.jpg")}));
    // Run from the kept-script button, as after an edit.
    ScriptTools(*host).RunKeptScript(kCustomRenameKept);
    ASSERT_EQ(pictures.read(q("a.jpg")), "picture b.jpg");
    ASSERT_EQ(pictures.read(q("c.jpg")), "picture e.jpg");
    ASSERT_EQ(pictures.read(q("d.jpg")), "picture c.jpg");
    pictures.write(q("_undo1_a.jpg"), "in the way");
    pictures.write(q("_undo1_b.jpg"), "in the way");
    pictures.write(q("_undo1_c.jpg"), "in the way");
    pictures.write(q("_undo1_d.jpg"), "in the way");
    pictures.write(q("_undo1_e.jpg"), "in the way");

    FakeHost& h = restart();
    h.questionsOff = false;
    h.recorder.replies = {Mb::ResultNo};
    runUndoLast(h);
    ASSERT_EQ(h.recorder.editorFiles.size(), 1);
    const QStringList lines = splitCrLf(pictures.read(QLatin1String(kUndoScriptName)));
    const QStringList renames = lines.filter(QRegularExpression(q("^ren ")));
    ASSERT_EQ(renames.size(), 7) << lines.join(u'\n').toStdString();
    EXPECT_EQ(renames.filter(q(" _undo2_")).size(), 2) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(
        h.recorder.boxes[0].text.contains(q("5 Datei(en) erhalten ihren alten Namen zurück")));

    h.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runUndoLast(h);
    for (const char* n :
         {"_undo1_a.jpg", "_undo1_b.jpg", "_undo1_c.jpg", "_undo1_d.jpg", "_undo1_e.jpg"})
        QFile::remove(pictures.file(q(n)));
    EXPECT_EQ(snapshot(), original);
    EXPECT_FALSE(button().enabled);
}

// Files changed since the run are left alone and counted: one renamed by hand, one whose old
// name another file took, one whose content changed. A taken name may come free; the run
// stays to be finished by the next click.
TEST_F(Undo, FilesChangedSinceAreLeftAloneAndCounted) {
    for (const char* n : {"hand.jpg", "taken.jpg", "edited.jpg", "fine.jpg"})
        write(q(n), n);
    runShuffle(*host, ShuffleOptions{});
    auto shuffledName = [this](const char* original) {
        for (const QString& n : pictures.names())
            if (n.endsWith(u'#' + q(original)))
                return n;
        return QString();
    };
    ASSERT_TRUE(
        QFile::rename(pictures.file(shuffledName("hand.jpg")), pictures.file(q("mine.jpg"))));
    pictures.write(q("taken.jpg"), "someone else");
    pictures.write(shuffledName("edited.jpg"), "edited picture");

    FakeHost& h = restart();
    h.questionsOff = false;
    h.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runUndoLast(h);
    const QString question = h.recorder.boxes.at(0).text;
    EXPECT_TRUE(question.contains(q("1 Datei(en) erhalten ihren alten Namen zurück")));
    EXPECT_TRUE(question.contains(q("3 Datei(en) bleiben, wie sie sind:")));
    EXPECT_TRUE(question.contains(q("1 seither umbenannt, verschoben oder gelöscht")));
    EXPECT_TRUE(question.contains(q("1 alter Name von einer anderen Datei belegt")));
    EXPECT_TRUE(question.contains(q("1 seither verändert (Inhalt oder Datum)")));
    EXPECT_EQ(pictures.read(q("fine.jpg")), "fine.jpg");
    EXPECT_EQ(pictures.read(q("taken.jpg")), "someone else");
    EXPECT_EQ(pictures.read(q("mine.jpg")), "hand.jpg");
    EXPECT_EQ(pictures.read(shuffledName("edited.jpg")), "edited picture");
    EXPECT_FALSE(shuffledName("taken.jpg").isEmpty());

    // The other file goes away: the next click finishes the run.
    ASSERT_TRUE(button().enabled);
    QFile::remove(pictures.file(q("taken.jpg")));
    h.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runUndoLast(h);
    EXPECT_EQ(pictures.read(q("taken.jpg")), "taken.jpg");
    EXPECT_FALSE(button().enabled);
}

// A run killed half-way, its journal's last record cut off: what is known goes back, what
// was not renamed stays, and the window says that the journal lost a record.
TEST_F(Undo, AKilledRunIsUndoneAsFarAsItsJournalGoes) {
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        write(q(n), n);
    const Pictures original = snapshot();
    auto ren = [this](const char* from, const char* to) {
        return q("ren ") + scriptArg(pictures.file(q(from))) + u' ' + q(to);
    };
    const QString script = pictures.file(q("_Rename_Random.bat"));
    ASSERT_TRUE(
        writeScriptFile(script, {ren("a.jpg", "1#a.jpg"), ren("b.jpg", "2#b.jpg"),
                                 ren("c.jpg", "3#c.jpg"), q("pause"), ren("d.jpg", "4#d.jpg")}));
    QProcess p;
    p.setProcessEnvironment(undoJournalEnvironment(journal()));
    p.start(batInterpreterPath(), {script});
    QByteArray out;
    while (!out.contains("Press any key") && p.waitForReadyRead(10000))
        out += p.readAll();
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished();
    QFile::remove(script);
    QFile j(journal());
    ASSERT_TRUE(j.open(QIODevice::ReadWrite));
    ASSERT_TRUE(j.resize(j.size() - 5));  // "c.jpg" was renamed, its record is cut
    j.close();
    EXPECT_TRUE(button().toolTip.contains(q("Bilder Mischen, 2 Dateien, ")));
    EXPECT_TRUE(button().toolTip.contains(q("(abgebrochen)")));

    runUndoLast(restart());
    EXPECT_EQ(pictures.read(q("a.jpg")), "a.jpg");
    EXPECT_EQ(pictures.read(q("b.jpg")), "b.jpg");
    EXPECT_EQ(pictures.read(q("3#c.jpg")), "c.jpg");
    EXPECT_EQ(pictures.read(q("d.jpg")), "d.jpg");
    EXPECT_TRUE(lastBox().contains(q("1 Einträge des Journals beschädigt")))
        << lastBox().toStdString();
    EXPECT_NE(snapshot(), original);
}

// A journal that is nothing but noise: no run is offered, nothing breaks, and new runs are
// noted and undone as ever.
TEST_F(Undo, ADamagedJournalIsSaidAndTakesNewRuns) {
    write(q("a.jpg"), "a");
    const Pictures original = snapshot();
    QDir().mkpath(state.path());
    QFile noise(journal());
    ASSERT_TRUE(noise.open(QIODevice::WriteOnly));
    for (int i = 0; i < 3000; ++i)
        noise.putChar(char((i * 131) % 251));
    noise.close();
    EXPECT_FALSE(button().enabled);
    EXPECT_TRUE(button().toolTip.contains(q("beschädigt")));
    runUndoLast(*host);
    EXPECT_TRUE(lastBox().startsWith(q("In diesem Ordner gibt es nichts rückgängig zu machen.")));

    runShuffle(restart(), ShuffleOptions{});
    EXPECT_TRUE(button().enabled);
    runUndoLast(restart());
    EXPECT_EQ(snapshot(), original);
}

// Deleted copies and pictures rewritten by ImageMagick cannot come back; the tooltip says so
// and names the run the click undoes instead, whose deleted files are counted as gone.
TEST_F(Undo, RunsThatDeleteOrRewriteAreNamedAndPassedOver) {
    write(q("a.jpg"), "same");
    write(q("b.jpg"), "same");
    write(q("c.jpg"), "other");
    runShuffle(*host, ShuffleOptions{});
    NoDuplicatesView view;
    DuplicateFinder().startClicked(restart(), view, {q("[Doppelt]"), true});
    ASSERT_EQ(snapshot().size(), 2);
    const QString tip = button().toolTip;
    EXPECT_TRUE(tip.startsWith(q("Doppelte Fotos ")));
    EXPECT_TRUE(
        tip.contains(q(": kann nicht rückgängig gemacht werden (gelöschte Dateien kommen "
                       "nicht zurück)")))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(q("\nRückgängig: Bilder Mischen, 3 Dateien, ")));
    ASSERT_TRUE(button().enabled);

    FakeHost& h = restart();
    h.questionsOff = false;
    h.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runUndoLast(h);
    EXPECT_TRUE(
        h.recorder.boxes.at(0).text.contains(q("1 seither umbenannt, verschoben oder gelöscht")));
    EXPECT_EQ(pictures.read(q("c.jpg")), "other");
    EXPECT_EQ(snapshot().size(), 2);
    EXPECT_FALSE(button().enabled);
    EXPECT_TRUE(button().toolTip.startsWith(q("Doppelte Fotos ")));
}

// A memory card numbers its files anew when it comes back: there a file is known by its
// name, size and modification time, and a date by the two-second steps FAT keeps.
TEST_F(Undo, OnAMemoryCardFilesAreKnownByNameSizeAndTime) {
    write(q("a.jpg"), "a");
    write(q("b.jpg"), "bbb");
    runShuffle(*host, ShuffleOptions{});
    JournalRun run = *UndoJournal::read(journal()).nextToUndo();
    for (JournalRename& r : run.renames)
        r.stamp.inode += 1000;  // the numbers the card had before it was taken out
    auto card = [](const QString&) { return false; };
    auto disk = [](const QString&) { return true; };
    EXPECT_EQ(planRenameUndo(run, false, disk).leftAlone.gone, 2);
    EXPECT_EQ(planRenameUndo(run, false, card).files, 2);
    const QString b = snapshot().keys().filter(q("#b.jpg")).value(0);
    setTimes(pictures.file(b), kTakenNs, kTakenNs + kNs);
    const RenameUndoPlan plan = planRenameUndo(run, false, card);
    EXPECT_EQ(plan.files, 1);
    EXPECT_EQ(plan.leftAlone.gone, 1);

    const QString path = pictures.write(q("c.jpg"), "c");
    setTimes(path, kTakenNs, kTakenNs);
    JournalRun dates;
    JournalTimes t;
    t.before = *readFileStamp(path);
    t.before.inode += 1000;
    t.newAtimeNs = t.newMtimeNs = 1573470001LL * kNs;  // 11.11.2019 12:00:01, odd
    t.path = path;
    dates.times.push_back(t);
    setTimes(path, t.newMtimeNs - kNs, t.newMtimeNs - kNs);  // as FAT keeps it
    EXPECT_EQ(restoreDates(dates, disk).leftAlone.gone, 1);
    EXPECT_EQ(restoreDates(dates, card).restored, 1);
    EXPECT_EQ(stampsOf(path), (Stamps{kTakenNs, kTakenNs}));
}
