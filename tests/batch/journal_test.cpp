#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>

#include "core/scripttext.h"
#include "core/undojournal.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

QString ren(const QString& from, const QString& to) {
    return q("ren ") + scriptArg(from) + u' ' + scriptArg(to);
}

// Starts kadrano-bat on the script as the window does, with the journal named.
void startNoted(QProcess& p, const QString& script, const QString& journal) {
    p.setProcessEnvironment(undoJournalEnvironment(journal));
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(test::batInterpreterPath(), {script});
    ASSERT_TRUE(p.waitForStarted());
}

}  // namespace

// The journal holds what ran: renames that went through, renames that failed marked as such,
// the deletions; a script run by hand (no journal named) notes nothing anywhere.
TEST(BatJournal, NotesWhatRanAndNothingWhenRunByHand) {
    TempFolder pictures, state;
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        pictures.write(q(n), n);
    const QString script = pictures.file(q("_Rename_Custom.bat"));
    ASSERT_TRUE(writeScriptFile(
        script, {q("chcp 1252"), q("ren a.jpg x.jpg"), ren(pictures.file(q("b.jpg")), q("c.jpg")),
                 ren(pictures.file(q("none.jpg")), q("y.jpg")),
                 q("del ") + scriptArg(pictures.file(q("d.jpg")))}));
    const QString journal = state.file(q("j.journal"));
    QProcess p;
    startNoted(p, script, journal);
    ASSERT_TRUE(p.waitForFinished());
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_EQ(pictures.names(),
              QStringList({q("_Rename_Custom.bat"), q("b.jpg"), q("c.jpg"), q("x.jpg")}));

    const UndoJournal j = UndoJournal::read(journal);
    ASSERT_EQ(j.runs().size(), 1u);
    const JournalRun& run = j.runs()[0];
    EXPECT_EQ(run.name, q("_Rename_Custom.bat"));
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.failedLines, 2);
    ASSERT_EQ(run.renames.size(), 2u);
    EXPECT_EQ(run.renames[0].from, pictures.file(q("a.jpg")));
    EXPECT_EQ(run.renames[0].to, pictures.file(q("x.jpg")));
    EXPECT_FALSE(run.renames[0].failed);
    EXPECT_TRUE(run.renames[0].stamp.unchangedSince(*readFileStamp(pictures.file(q("x.jpg")))));
    EXPECT_TRUE(run.renames[1].failed);
    EXPECT_EQ(run.renamedCount(), 1);
    EXPECT_EQ(run.deletions, 1);

    QProcess byHand;
    byHand.setProcessEnvironment(undoJournalEnvironment(QString()));
    byHand.start(test::batInterpreterPath(), {script});
    ASSERT_TRUE(byHand.waitForFinished());
    EXPECT_EQ(UndoJournal::read(journal).runs().size(), 1u);
    EXPECT_EQ(state.names(), QStringList({q("j.journal")}));
}

// A script killed while it waits leaves the renames it did in the journal, readable, and
// the run known as not finished.
TEST(BatJournal, AKilledRunLeavesItsRenamesReadable) {
    TempFolder pictures, state;
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"})
        pictures.write(q(n), n);
    const QString script = pictures.file(q("_Rename_Random.bat"));
    ASSERT_TRUE(writeScriptFile(script, {ren(pictures.file(q("a.jpg")), q("1#a.jpg")),
                                         ren(pictures.file(q("b.jpg")), q("2#b.jpg")), q("pause"),
                                         ren(pictures.file(q("c.jpg")), q("3#c.jpg"))}));
    const QString journal = state.file(q("j.journal"));
    QProcess p;
    startNoted(p, script, journal);
    QByteArray out;
    while (!out.contains("Press any key") && p.waitForReadyRead(10000))
        out += p.readAll();
    ASSERT_TRUE(out.contains("Press any key"));
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished();

    const UndoJournal j = UndoJournal::read(journal);
    ASSERT_EQ(j.runs().size(), 1u);
    EXPECT_FALSE(j.runs()[0].finished);
    EXPECT_EQ(j.runs()[0].renamedCount(), 2);
    EXPECT_EQ(j.damagedRecords(), 0);
    ASSERT_NE(j.nextToUndo(), nullptr);
}
