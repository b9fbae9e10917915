// Blocks of an ImageMagick script run side by side, with a stand-in for ImageMagick that
// notes when it starts and ends: at most as many at once as there are jobs, a block that
// names a file an earlier one writes only after it, a barrier only after everything before
// it, and to the person the run looks exactly like one with a single job.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>

#include "batrun.h"
#include "core/scripttext.h"
#include "core/undojournal.h"
#include "support/fakehost.h"

using namespace kadrano;
using kadrano::test::BatResult;
using kadrano::test::q;
using kadrano::test::runBatWith;
using kadrano::test::TempFolder;

namespace {

// ImageMagick 7's "magick" as kadrano-bat calls it for "magick convert IN OUT": its result
// goes to the file after "-write". This one writes the input's bytes there (or fails for
// an input named bad…; one named slow… takes longer), prints a line to each stream and its
// thread limit, and notes its start and end in the log with a pause between them.
QString writeFakeMagick(TempFolder& f) {
    const QString log = f.file(q("log.txt"));
    const QString path = f.write(q("bin/magick"), QStringLiteral(R"(#!/bin/sh
in=$5
out=
prev=
for a in "$@"; do
  [ "$prev" = "-write" ] && out=$a
  prev=$a
done
echo "start $in" >> '%1'
echo "working on $in"
echo "a note about $in" >&2
echo "thread limit: ${MAGICK_THREAD_LIMIT-none}"
case "$in" in
  *slow*) sleep 1.2 ;;
  *) sleep 0.3 ;;
esac
case "$in" in
  *bad*) echo "end $in" >> '%1'; exit 1 ;;
esac
cat "$in" > "$out"
echo "end $in" >> '%1'
)")
                                                      .arg(log)
                                                      .toUtf8());
    ::chmod(QFile::encodeName(path).constData(), 0755);
    return path;
}

// The log's events: for each input, when it started and ended (positions in the log), and
// the most that ran at once.
struct Timeline {
    QHash<QString, int> start, end;
    int mostAtOnce = 0;
};

Timeline readLog(const TempFolder& f) {
    Timeline t;
    int running = 0;
    const QList<QByteArray> lines = f.read(q("log.txt")).split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        const QString name = line.section(u'/', -1);
        if (line.startsWith(q("start "))) {
            t.start.insert(name, i);
            t.mostAtOnce = std::max(t.mostAtOnce, ++running);
        } else if (line.startsWith(q("end "))) {
            t.end.insert(name, i);
            --running;
        }
    }
    return t;
}

// One picture's block: progress, the ImageMagick line, and for a conversion the lines
// that act on its outcome as the resize tool writes them.
void addBlock(ScriptBuilder& s, const QString& magick, const QString& in, const QString& out,
              int index, int count, bool deletes = false) {
    s.addProgress(index, count);
    s.add(magick + q(" convert ") + in + u' ' + out);
    if (deletes) {
        s.add(q("if errorlevel 1 if exist ") + in + q(" if exist ") + out + q(" del ") + out);
        s.add(q("if not errorlevel 1 if exist ") + out + q(" del ") + in);
    }
}

// The deletions ("D name") and program starts ("X") a journal holds, in its order.
std::string journalNotes(const QString& journal) {
    QFile f(journal);
    if (!f.open(QIODevice::ReadOnly))
        return "no journal";
    QStringList notes;
    for (const QByteArray& record : f.readAll().split('\n')) {
        const QList<QByteArray> fields = record.split('\t');
        if (record.startsWith("D\t") && fields.size() > 2)
            notes.append(q("D ") + QString::fromUtf8(fields[2]).section(u'/', -1));
        else if (record.startsWith("X\t"))
            notes.append(q("X"));
    }
    return notes.join(q(", ")).toStdString();
}

// Starts kadrano-bat with three jobs as the window starts it, the journal named.
void startNotedWithThreeJobs(QProcess& p, const QString& script, const QString& journal) {
    p.setProcessEnvironment(undoJournalEnvironment(journal));
    p.start(test::batInterpreterPath(), {q("--jobs"), q("3"), script});
}

}  // namespace

TEST(ParallelBlocks, SideBySideOnlyWhenTheirFilesAreApart) {
    qunsetenv("MAGICK_THREAD_LIMIT");
    TempFolder f;
    const QString magick = writeFakeMagick(f);
    const QString d = f.path();
    for (int i = 1; i <= 10; ++i)
        f.write(QStringLiteral("in%1.jpg").arg(i), QByteArray::number(i));
    const auto in = [&](int i) { return d + QStringLiteral("in%1.jpg").arg(i); };
    const auto out = [&](int i) { return d + QStringLiteral("out%1.jpg").arg(i); };
    ScriptBuilder s;
    for (int i = 1; i <= 6; ++i)
        addBlock(s, magick, in(i), out(i), i - 1, 10);
    addBlock(s, magick, in(7), out(2), 6, 10);   // writes what block 2 writes
    addBlock(s, magick, out(3), out(8), 7, 10);  // reads what block 3 writes
    s.add(q("md ") + d + q("sub"));
    addBlock(s, magick, in(9), d + q("sub/out9.jpg"), 8, 10);
    addBlock(s, magick, in(10), d + q("sub/out10.jpg"), 9, 10);
    const QString script = f.file(q("t.bat"));
    ASSERT_TRUE(writeScriptFile(script, s.lines()));

    const BatResult r = runBatWith({q("--jobs"), q("3")}, script, {q("14:05")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const Timeline t = readLog(f);
    ASSERT_EQ(t.end.size(), 10) << f.read(q("log.txt")).toStdString();
    EXPECT_LE(t.mostAtOnce, 3);
    EXPECT_GE(t.mostAtOnce, 2);
    EXPECT_GT(t.start.value(q("in7.jpg")), t.end.value(q("in2.jpg")));
    EXPECT_GT(t.start.value(q("out3.jpg")), t.end.value(q("in3.jpg")));
    for (const char* before : {"in1.jpg", "in4.jpg", "in6.jpg", "in7.jpg", "out3.jpg"}) {
        EXPECT_GT(t.start.value(q("in9.jpg")), t.end.value(q(before))) << before;
        EXPECT_GT(t.start.value(q("in10.jpg")), t.end.value(q(before))) << before;
    }
    EXPECT_EQ(f.read(q("out2.jpg")), QByteArray("7"));  // the later block's result stays
    EXPECT_EQ(f.read(q("out8.jpg")), QByteArray("3"));
    EXPECT_EQ(f.read(q("sub/out10.jpg")), QByteArray("10"));

    // Each block's output is shown whole, in the script's order: its progress line, the
    // echoed command, then what ImageMagick printed on either stream.
    const QStringList inputs = {in(1), in(2), in(3),  in(4), in(5),
                                in(6), in(7), out(3), in(9), in(10)};
    for (int k = 1; k <= 10; ++k) {
        const qsizetype progress = r.out.indexOf(QStringLiteral("(Nr: %1 / 10)").arg(k));
        const qsizetype next =
            k < 10 ? r.out.indexOf(QStringLiteral("(Nr: %1 / 10)").arg(k + 1)) : r.out.size();
        const qsizetype working = r.out.indexOf(q("working on ") + inputs[k - 1] + u'\n');
        EXPECT_LT(progress, working) << k << "\n" << r.out.toStdString();
        EXPECT_LT(working, next) << k << "\n" << r.out.toStdString();
    }
    EXPECT_EQ(r.err.count(q("a note about ")), 10);
    // ImageMagick's threads stay as the person has them.
    EXPECT_EQ(r.out.count(q("thread limit: none\n")), 10);
}

// Each block keeps its own error level, so a conversion's "if" lines act on its own
// outcome; a block that tests the level before setting one sees the level of the block
// before it, and a line after the blocks that of the last one. Output, exit status and
// files are the same with one job and with four.
TEST(ParallelBlocks, ErrorLevelsFailuresAndOutputAsWithOneJob) {
    const QStringList names = {q("a"), q("bad1"), q("b"), q("bad2"), q("d"), q("c"), q("bad3")};
    const auto runWith = [&](const char* jobs, TempFolder& f) {
        const QString magick = writeFakeMagick(f);
        const QString d = f.path();
        ScriptBuilder s;
        for (int i = 0; i < names.size(); ++i) {
            f.write(names[i] + q(".jpg"), names[i].toUtf8());
            const QString in = d + names[i] + q(".jpg");
            if (names[i] == q("d")) {
                s.addProgress(i, int(names.size()));
                s.add(q("if errorlevel 1 echo the one before failed"));
                s.add(magick + q(" convert ") + in + u' ' + d + q("d.out.jpg"));
            } else {
                addBlock(s, magick, in, d + names[i] + q(".out.jpg"), i, int(names.size()), true);
            }
        }
        s.add(q("if errorlevel 1 md ") + d + q("last-failed"));
        QStringList lines = s.lines();
        lines[1] = q("set Zeit=14:05");  // the clock would differ between the runs
        const QString script = f.file(q("t.bat"));
        EXPECT_TRUE(writeScriptFile(script, lines));
        return runBatWith({q("--jobs"), q(jobs)}, script, {q("14:05")});
    };
    TempFolder one, four;
    const BatResult r1 = runWith("1", one);
    const BatResult r4 = runWith("4", four);
    EXPECT_EQ(r1.exitCode, 3);  // the three failed conversions
    EXPECT_EQ(r4.exitCode, 3);
    // The same, but for the folder's name.
    QString out1 = r1.out, err1 = r1.err;
    out1.replace(one.path().chopped(1), q("D"));
    err1.replace(one.path().chopped(1), q("D"));
    QString out4 = r4.out, err4 = r4.err;
    out4.replace(four.path().chopped(1), q("D"));
    err4.replace(four.path().chopped(1), q("D"));
    EXPECT_EQ(out4.toStdString(), out1.toStdString());
    EXPECT_EQ(err4.toStdString(), err1.toStdString());
    EXPECT_EQ(out4.count(q("\nthe one before failed\n")), 1);
    EXPECT_EQ(four.names(), one.names());
    EXPECT_EQ(four.names(), (QStringList{q("a.out.jpg"), q("b.out.jpg"), q("bad1.jpg"),
                                         q("bad2.jpg"), q("bad3.jpg"), q("c.out.jpg"), q("d.jpg"),
                                         q("d.out.jpg"), q("log.txt"), q("t.bat")}));
    EXPECT_TRUE(four.exists(q("last-failed")));
}

// The number of jobs is checked before anything runs.
TEST(ParallelBlocks, JobsOption) {
    TempFolder f;
    const QString script = f.write(q("t.bat"), "echo hi\r\n");
    BatResult r = runBatWith({q("--jobs=2")}, script);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, q("\n") + f.path().chopped(1) + q(">echo hi\nhi\n"));
    for (const QStringList& bad : {QStringList{q("--jobs"), q("0")},
                                   {q("--jobs"), q("x")},
                                   {q("--jobs=129")},
                                   {q("--fast")}}) {
        r = runBatWith(bad, script);
        EXPECT_EQ(r.exitCode, 1) << bad.join(u' ').toStdString();
        EXPECT_EQ(r.out, QString());
        EXPECT_TRUE(r.err.startsWith(q("kadrano-bat: "))) << r.err.toStdString();
    }
}

// With the window's undo journal named, the deletions and ImageMagick starts of blocks that
// run side by side are noted in the script's order, though the first block ends last; a
// failed conversion deletes nothing and notes no deletion. A run stopped midway notes
// exactly the programs it started and the files it deleted, in order, and no end.
TEST(ParallelBlocks, TheJournalNotesWhatRanInTheScriptsOrder) {
    TempFolder f, state;
    const QString magick = writeFakeMagick(f);
    const QString d = f.path();
    const QStringList names = {q("slow"), q("a"), q("b"), q("bad"), q("c"), q("d")};
    ScriptBuilder s;
    for (int i = 0; i < names.size(); ++i) {
        f.write(names[i] + q(".jpg"), names[i].toUtf8());
        addBlock(s, magick, d + names[i] + q(".jpg"), d + names[i] + q(".out.jpg"), i,
                 int(names.size()), true);
    }
    f.write(q("extra.jpg"), "x");
    s.add(q("del ") + d + q("extra.jpg"));
    const QString script = f.file(q("t.bat"));
    ASSERT_TRUE(writeScriptFile(script, s.lines()));
    const QString journal = state.file(q("j.journal"));
    QProcess p;
    startNotedWithThreeJobs(p, script, journal);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1) << p.readAllStandardError().toStdString();
    const Timeline t = readLog(f);
    ASSERT_GT(t.end.value(q("slow.jpg")), t.end.value(q("a.jpg")));  // it did end last
    EXPECT_EQ(journalNotes(journal),
              "X, D slow.jpg, X, D a.jpg, X, D b.jpg, X, X, D c.jpg, X, D d.jpg, D extra.jpg");
    const UndoJournal j = UndoJournal::read(journal);
    ASSERT_EQ(j.runs().size(), 1u);
    EXPECT_TRUE(j.runs()[0].finished);
    EXPECT_EQ(j.runs()[0].failedLines, 1);

    // Stopped once four conversions have started: nine blocks, three jobs.
    TempFolder g, state2;
    const QString magick2 = writeFakeMagick(g);
    ScriptBuilder s2;
    QStringList inputs;
    for (int i = 0; i < 9; ++i) {
        inputs.append(QStringLiteral("p%1.jpg").arg(i));
        g.write(inputs.back(), "p");
        addBlock(s2, magick2, g.path() + inputs.back(),
                 g.path() + QStringLiteral("p%1.out.jpg").arg(i), i, 9, true);
    }
    const QString script2 = g.file(q("t.bat"));
    ASSERT_TRUE(writeScriptFile(script2, s2.lines()));
    const QString journal2 = state2.file(q("j.journal"));
    QProcess stopped;
    startNotedWithThreeJobs(stopped, script2, journal2);
    QElapsedTimer waited;
    waited.start();
    while (g.read(q("log.txt")).count("start ") < 4 && waited.elapsed() < 30000)
        stopped.waitForFinished(10);
    ::kill(pid_t(stopped.processId()), SIGTERM);
    ASSERT_TRUE(stopped.waitForFinished(30000));
    const QString out = QString::fromUtf8(stopped.readAllStandardOutput());
    QStringList expected;
    for (int i = 0; i < 9; ++i) {
        // Each conversion that started was shown after the prompt first.
        if (out.contains(q(">") + magick2 + q(" convert ") + g.path() + inputs[i] + u' '))
            expected.append(q("X"));
        if (!g.exists(inputs[i]))
            expected.append(q("D ") + inputs[i]);
    }
    EXPECT_GE(expected.count(q("X")), 4) << out.toStdString();
    EXPECT_LT(expected.count(q("X")), 9) << out.toStdString();
    EXPECT_EQ(journalNotes(journal2), expected.join(q(", ")).toStdString()) << out.toStdString();
    const UndoJournal j2 = UndoJournal::read(journal2);
    ASSERT_EQ(j2.runs().size(), 1u);
    EXPECT_FALSE(j2.runs()[0].finished);
}
