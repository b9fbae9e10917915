#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/undojournal.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

// A run of n renames of files that exist in the folder (the writer notes only those).
QString writeRenames(const QString& journal, TempFolder& pictures, const QString& tool, int n,
                     bool finished = true) {
    UndoJournalWriter w(journal, tool, pictures.path());
    for (int i = 0; i < n; ++i) {
        const QString name = tool.left(3) + QString::number(i) + q(".jpg");
        pictures.write(name, QByteArray::number(i));
        w.renameStarting(pictures.file(name), pictures.file(q("x") + name));
    }
    if (finished)
        w.finish(0);
    return w.runId();
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void replaceBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

}  // namespace

// Names may hold anything a file system allows; nothing of it may break a record apart or
// come back changed.
TEST(UndoJournal, ReadsBackWhatTheWriterNotedEvenForHostileNames) {
    TempFolder state, pictures;
    const QString journal = state.file(q("j.journal"));
    const QStringList names = {q("tab\there.jpg"), q("line\nbreak%41.jpg"),
                               q("Ümlaut 😀 & (x).jpg")};
    for (const QString& n : names)
        pictures.write(n, "pic");
    const std::optional<FileStamp> before = ReadFileStamp(pictures.file(names[0]));
    ASSERT_TRUE(before);

    UndoJournalWriter w(journal, q("_Rename_Random.bat"), pictures.path());
    EXPECT_FALSE(QFile::exists(journal)) << "nothing is written before the first note";
    w.renameStarting(pictures.file(names[0]), pictures.file(q("0001#") + names[0]));
    w.renameStarting(names[1], q("0002#") + names[1]);  // relative to the folder
    w.renameFailed(17);
    w.renameStarting(pictures.file(q("missing.jpg")), pictures.file(q("m2.jpg")));
    w.renameFailed(2);  // belongs to no note: the missing file was not noted
    w.deleted(pictures.file(names[2]));
    w.programStarting(q("convert"));
    w.timesChanging(pictures.file(names[2]), *before, 5'000'000'000LL, 7'000'000'000LL);
    w.finish(3);
    EXPECT_TRUE(w.problem().isEmpty());

    const UndoJournal j = UndoJournal::Read(journal);
    ASSERT_EQ(j.runs().size(), 1u);
    const JournalRun& run = j.runs()[0];
    EXPECT_EQ(run.id, w.runId());
    EXPECT_EQ(run.name, q("_Rename_Random.bat"));
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.failedLines, 3);
    EXPECT_EQ(j.damagedRecords(), 0);
    ASSERT_EQ(run.renames.size(), 2u);
    EXPECT_EQ(run.renames[0].from, pictures.file(names[0]));
    EXPECT_EQ(run.renames[0].to, pictures.file(q("0001#") + names[0]));
    EXPECT_TRUE(run.renames[0].stamp.unchangedSince(*before));
    EXPECT_FALSE(run.renames[0].failed);
    EXPECT_EQ(run.renames[1].from, QDir(pictures.path()).absoluteFilePath(names[1]));
    EXPECT_TRUE(run.renames[1].failed);
    EXPECT_EQ(run.renamedCount(), 1);
    EXPECT_EQ(run.deletions, 1);
    EXPECT_EQ(run.programs, 1);
    ASSERT_EQ(run.times.size(), 1u);
    EXPECT_EQ(run.times[0].path, pictures.file(names[2]));
    EXPECT_EQ(run.times[0].before.atimeNs, before->atimeNs);
    EXPECT_EQ(run.times[0].newAtimeNs, 5'000'000'000LL);
    EXPECT_EQ(run.times[0].newMtimeNs, 7'000'000'000LL);
    EXPECT_EQ(run.fileCount(), 2);

    // A run that notes nothing leaves nothing, and no journal folder notes nowhere.
    UndoJournalWriter idle(state.file(q("idle.journal")), q("_Rename_Custom.bat"), pictures.path());
    idle.finish(0);
    EXPECT_FALSE(QFile::exists(state.file(q("idle.journal"))));
    UndoJournalWriter none(QString(), q("_Rename_Custom.bat"), pictures.path());
    EXPECT_FALSE(none.active());
    none.renameStarting(pictures.file(names[2]), pictures.file(q("n.jpg")));
    none.finish(0);
    EXPECT_TRUE(none.problem().isEmpty());
}

// A kill leaves the records written so far and may cut the last one in half; a record can
// also be damaged on the disk later. Neither may cost more than the record itself, and a run
// that follows starts on a line of its own.
TEST(UndoJournal, CutOffAndDamagedRecordsCostOnlyThemselves) {
    TempFolder state, pictures;
    const QString journal = state.file(q("j.journal"));
    const QString stopped = writeRenames(journal, pictures, q("_Rename_Random.bat"), 3, false);
    const QByteArray whole = bytesOf(journal);
    replaceBytes(journal, whole.left(whole.size() - 20));  // the third rename cut off

    UndoJournal j = UndoJournal::Read(journal);
    ASSERT_EQ(j.runs().size(), 1u);
    EXPECT_FALSE(j.runs()[0].finished);
    EXPECT_EQ(j.runs()[0].renames.size(), 2u);
    EXPECT_EQ(j.runs()[0].damaged, 1);
    ASSERT_NE(j.nextToUndo(), nullptr);
    EXPECT_EQ(j.nextToUndo()->id, stopped);

    const QString next = writeRenames(journal, pictures, q("_Rename_Custom.bat"), 2);
    j = UndoJournal::Read(journal);
    ASSERT_EQ(j.runs().size(), 2u);
    EXPECT_EQ(j.runs()[1].id, next);
    EXPECT_EQ(j.runs()[1].name, q("_Rename_Custom.bat"));
    EXPECT_EQ(j.runs()[1].renames.size(), 2u);
    EXPECT_EQ(j.runs()[1].damaged, 0);
    EXPECT_EQ(j.damagedRecords(), 1);

    // One changed byte in the middle of the first run's second rename.
    QByteArray bytes = bytesOf(journal);
    const qsizetype second = bytes.indexOf(q("_Re1.jpg").toUtf8());
    ASSERT_GT(second, 0);
    bytes[second] = 'Z';
    replaceBytes(journal, bytes);
    j = UndoJournal::Read(journal);
    ASSERT_EQ(j.runs().size(), 2u);
    EXPECT_EQ(j.runs()[0].renames.size(), 1u);
    EXPECT_EQ(j.runs()[0].damaged, 2);
    EXPECT_EQ(j.runs()[1].renames.size(), 2u);

    // The first record of a run damaged: its renames are still known, under no name.
    bytes = bytesOf(journal);
    const qsizetype start = bytes.lastIndexOf("\nB\t");
    bytes[start + 5] = bytes[start + 5] == '7' ? '8' : '7';
    replaceBytes(journal, bytes);
    j = UndoJournal::Read(journal);
    ASSERT_EQ(j.runs().size(), 2u);
    EXPECT_TRUE(j.runs()[1].name.isEmpty());
    EXPECT_EQ(j.runs()[1].renames.size(), 2u);
    EXPECT_EQ(RunDisplayName(j.runs()[1].name, Language::German), q("Unbekannte Aktion"));

    // A file of noise is a journal without runs, not a crash.
    QByteArray noise;
    for (int i = 0; i < 5000; ++i)
        noise += char((i * 7919) % 256);
    replaceBytes(journal, noise);
    j = UndoJournal::Read(journal);
    EXPECT_TRUE(j.runs().empty());
    EXPECT_GT(j.damagedRecords(), 0);
    EXPECT_EQ(j.nextToUndo(), nullptr);
    // And it takes new runs.
    writeRenames(journal, pictures, q("_Rename_Custom.bat"), 1);
    EXPECT_EQ(UndoJournal::Read(journal).runs().size(), 1u);
}

TEST(UndoJournal, KeepsTheLastTwentyToolRunsOfItsFolder) {
    TempFolder state, pictures;
    const QString journal = state.file(q("j.journal"));
    QStringList ids;
    for (int i = 0; i < kJournalKeepsRuns + 2; ++i) {
        ids << writeRenames(journal, pictures, q("_Rename_Custom.bat"), 1);
        // Undo runs come and go with their runs; they do not take the place of one.
        if (i == kJournalKeepsRuns) {
            NoteUndoPlanned(journal, ids.last(), true);
            writeRenames(journal, pictures, q("_Undo_Last.bat"), 1);
        }
    }
    const UndoJournal j = UndoJournal::Read(journal);
    QStringList kept;
    for (const JournalRun& r : j.runs())
        if (!r.isUndoRun())
            kept << r.id;
    EXPECT_EQ(kept, ids.mid(2));
    EXPECT_TRUE(j.undone(ids.at(kJournalKeepsRuns)));
    EXPECT_EQ(j.damagedRecords(), 0);
}

// Which run a click undoes: the newest with something to undo that is not undone yet.
TEST(UndoJournal, MarksAndUndoRunsDecideWhichRunIsNext) {
    TempFolder state, pictures;
    const QString journal = state.file(q("j.journal"));
    const QString first = writeRenames(journal, pictures, q("_Rename_Random.bat"), 2);
    const QString second = writeRenames(journal, pictures, q("_Rename_Custom.bat"), 2);
    {
        UndoJournalWriter w(journal, q("_Doppelte_Dateien.bat"), pictures.path());
        w.deleted(pictures.file(q("copy.jpg")));
        w.finish(0);
    }
    UndoJournal j = UndoJournal::Read(journal);
    ASSERT_NE(j.nextToUndo(), nullptr);
    EXPECT_EQ(j.nextToUndo()->id, second);
    ASSERT_NE(j.newestNotUndone(), nullptr);
    EXPECT_EQ(j.newestNotUndone()->name, q("_Doppelte_Dateien.bat"));
    EXPECT_FALSE(j.newestNotUndone()->canBeUndone());

    // An undo that was stopped, and one planned with files left for later, close nothing.
    NoteUndoPlanned(journal, second, true);
    writeRenames(journal, pictures, q("_Undo_Last.bat"), 1, false);
    NoteUndoPlanned(journal, second, false);
    writeRenames(journal, pictures, q("_Undo_Last.bat"), 1);
    j = UndoJournal::Read(journal);
    EXPECT_EQ(j.nextToUndo()->id, second);

    NoteUndoPlanned(journal, second, true);
    writeRenames(journal, pictures, q("_Undo_Last.bat"), 1);
    j = UndoJournal::Read(journal);
    EXPECT_TRUE(j.undone(second));
    EXPECT_EQ(j.nextToUndo()->id, first);
    EXPECT_EQ(j.runs().back().undoes, second);

    NoteUndone(journal, first);
    EXPECT_EQ(UndoJournal::Read(journal).nextToUndo(), nullptr);
}

TEST(UndoJournalPath, OneJournalForEachFolderWhateverItsSpelling) {
    TempFolder state, pictures;
    pictures.mkdir(q("Urlaub 2019"));
    pictures.mkdir(q("Andere"));
    const QString folder = pictures.file(q("Urlaub 2019"));
    ASSERT_TRUE(QFile::link(folder, pictures.file(q("Verweis"))));
    const QString undo = state.path();
    const QString path = UndoJournalPath(undo, folder);
    EXPECT_TRUE(path.startsWith(state.path() + q("Urlaub_2019-"))) << path.toStdString();
    EXPECT_EQ(UndoJournalPath(undo, folder + u'/'), path);
    EXPECT_EQ(UndoJournalPath(undo, pictures.file(q("Andere/../Urlaub 2019/"))), path);
    EXPECT_EQ(UndoJournalPath(undo, pictures.file(q("Verweis"))), path);
    EXPECT_NE(UndoJournalPath(undo, pictures.file(q("Andere"))), path);
    EXPECT_TRUE(UndoJournalPath(QString(), folder).isEmpty());

    // Only the tools' own scripts are noted.
    EXPECT_EQ(UndoJournalForScript(undo, folder + q("/_Rename_Random.bat")), path);
    EXPECT_EQ(UndoJournalForScript(undo, folder + q("/_undo_last.BAT")), path);
    EXPECT_TRUE(UndoJournalForScript(undo, folder + q("/mine.bat")).isEmpty());
    EXPECT_TRUE(UndoJournalForScript(undo, folder + q("/dates:set")).isEmpty());
}
