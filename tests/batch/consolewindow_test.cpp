#include <gtest/gtest.h>
#include <signal.h>

#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <functional>

#include "core/scripttext.h"
#include "core/undojournal.h"
#include "support/fakehost.h"
#include "support/testfiles.h"
#include "ui/consolewindow.h"

using namespace kadrano;
using kadrano::test::TempFolder;

namespace {

ConsoleWindow* visibleConsole() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* console = qobject_cast<ConsoleWindow*>(w);
        if (console && console->isVisible())
            return console;
    }
    return nullptr;
}

// Calls step with the console window, again and again while the runner waits in it, as the
// person at the screen would look at it and act.
class WindowDriver {
public:
    explicit WindowDriver(std::function<void(ConsoleWindow&)> step) : step_(std::move(step)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (ConsoleWindow* w = visibleConsole())
                step_(*w);
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxTexts.append(box->text());
                box->accept();
            }
        });
        timer_.start(10);
    }
    QStringList boxTexts;

private:
    std::function<void(ConsoleWindow&)> step_;
    QTimer timer_;
};

QString outputOf(ConsoleWindow& w) {
    return w.findChild<QPlainTextEdit*>(QStringLiteral("ConsoleOutput"))->toPlainText();
}

}  // namespace

// The script shows its lines as they come, waits at each "pause" for a key pressed in the
// window, and the window closes by itself at the end.
TEST(ConsoleWindow, ShowsOutputAndAnswersPauseWithAKey) {
    TempFolder f;
    f.write(QStringLiteral("a b.jpg"), "A");
    ScriptBuilder script;
    script.addProgress(0, 1);
    script.add(QStringLiteral("ren ") + scriptArg(f.file(QStringLiteral("a b.jpg"))) +
               " \"b c.jpg\"");
    script.add(QStringLiteral("@echo Vor der Pause äöü"));
    script.add(QStringLiteral("pause"));
    script.add(QStringLiteral("md ") + scriptArg(f.file(QStringLiteral("danach"))));
    script.add(QStringLiteral("pause"));
    script.add(QStringLiteral("@echo Ende"));
    const QString path = f.file(QStringLiteral("_Rename_Custom.bat"));
    ASSERT_TRUE(writeScriptFile(path, script.lines()));

    int pauses = 0;
    bool renamedBeforeFirstKey = false;
    bool folderMadeBeforeSecondKey = false;
    QString title;
    WindowDriver driver([&](ConsoleWindow& w) {
        title = w.windowTitle();
        const QString shown = outputOf(w);
        if (!shown.endsWith(QStringLiteral("Press any key to continue . . . ")))
            return;
        auto* view = w.findChild<QPlainTextEdit*>(QStringLiteral("ConsoleOutput"));
        if (shown.count(QStringLiteral("Press any key")) == 1 && pauses == 0) {
            renamedBeforeFirstKey = f.exists(QStringLiteral("b c.jpg"));
            // Three keys at once: only one answers this pause, the next still waits.
            QTest::keyClick(view, Qt::Key_Space);
            QTest::keyClick(view, Qt::Key_X);
            QTest::keyClick(&w, Qt::Key_Escape);
            pauses = 1;
        } else if (shown.count(QStringLiteral("Press any key")) == 2 && pauses == 1) {
            folderMadeBeforeSecondKey = f.exists(QStringLiteral("danach"));
            QTest::keyClick(view, Qt::Key_Return);
            pauses = 2;
        }
    });
    ConsoleScriptRunner runner(nullptr, test::batInterpreterPath());
    EXPECT_EQ(runner.runAndWait(path, {QStringLiteral("14:05")}), 0);
    EXPECT_EQ(pauses, 2);
    EXPECT_TRUE(renamedBeforeFirstKey);
    EXPECT_TRUE(folderMadeBeforeSecondKey);
    EXPECT_EQ(title, QStringLiteral("_Rename_Custom.bat"));
    EXPECT_EQ(visibleConsole(), nullptr);
    EXPECT_FALSE(runner.lastCancelled());
    const QString& out = runner.lastOutput();
    EXPECT_TRUE(out.contains(
        QStringLiteral("#####  0% - Verb.: 2    (Nr: 1 / 1)  Start: 14:05 Uhr  #####\n")));
    EXPECT_TRUE(out.contains(QStringLiteral("\nVor der Pause äöü\n")));
    EXPECT_EQ(out.count(QStringLiteral("Press any key to continue . . . \n")), 2);
    EXPECT_TRUE(out.endsWith(QStringLiteral("\nEnde\n")));
    EXPECT_FALSE(out.contains(u'\r'));
    EXPECT_TRUE(f.exists(QStringLiteral("b c.jpg")));
}

// Closing the window stops the script and the program it runs; what follows does not happen.
TEST(ConsoleWindow, ClosingStopsTheScriptAndItsProgram) {
    TempFolder f;
    const QString path = f.file(QStringLiteral("lang.bat"));
    ASSERT_TRUE(writeScriptFile(
        path, {QStringLiteral("@echo gestartet"),
               QStringLiteral("/bin/sh -c \"echo $$ > pid.txt; exec sleep 600\""),
               QStringLiteral("md ") + scriptArg(f.file(QStringLiteral("danach")))}));
    bool closed = false;
    WindowDriver driver([&](ConsoleWindow& w) {
        if (!closed && !f.read(QStringLiteral("pid.txt")).trimmed().isEmpty()) {
            w.close();
            closed = true;
        }
    });
    ConsoleScriptRunner runner(nullptr, test::batInterpreterPath());
    EXPECT_EQ(runner.runAndWait(path, {}), kRunStopped);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(runner.lastCancelled());
    EXPECT_TRUE(runner.lastOutput().contains(QStringLiteral("gestartet\n")));
    EXPECT_FALSE(f.exists(QStringLiteral("danach")));
    const pid_t sleeper = f.read(QStringLiteral("pid.txt")).trimmed().toInt();
    ASSERT_GT(sleeper, 0);
    EXPECT_EQ(::kill(sleeper, 0), -1);  // the interpreter waited for it after passing the stop on
    EXPECT_EQ(errno, ESRCH);
}

// Closing the window while ImageMagick rewrites a picture: the picture being written stays
// as it was, the one done before stays done, and the window shows which was which.
TEST(ConsoleWindow, ClosingDuringImageMagickLeavesNoHalfWrittenPicture) {
    if (QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempFolder f;
    QList<QByteArray> originals;
    QStringList lines;
    for (int i = 0; i < 3; ++i) {
        QImage noise(1400, 1000, QImage::Format_RGB32);
        quint32 state = quint32(i + 1) * 2654435761u;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, (state = state * 1664525u + 1013904223u) >> 8);
        const QString path = f.file(QStringLiteral("p%1.jpg").arg(i));
        ASSERT_TRUE(noise.save(path, "JPEG", 90));
        originals.append(f.read(QStringLiteral("p%1.jpg").arg(i)));
        lines.append(QStringLiteral(" convert ") + scriptArg(path) +
                     QStringLiteral(" -resize \"600x600>\" -quality 90 ") + scriptArg(path));
    }
    const QString script = f.file(QStringLiteral("_Resize_Pictures.bat"));
    ASSERT_TRUE(writeScriptFile(script, lines));
    const auto inode = [&](int i) {
        struct stat st {};
        ::stat(QFile::encodeName(f.file(QStringLiteral("p%1.jpg").arg(i))).constData(), &st);
        return st.st_ino;
    };
    const ino_t first = inode(0);
    bool closed = false;
    WindowDriver driver([&](ConsoleWindow& w) {
        if (!closed && inode(0) != first) {
            w.close();
            closed = true;
        }
    });
    ConsoleScriptRunner runner(nullptr, test::batInterpreterPath());
    EXPECT_EQ(runner.runAndWait(script, {}), kRunStopped);
    ASSERT_TRUE(closed);
    const QByteArray done = f.read(QStringLiteral("p0.jpg"));
    EXPECT_TRUE(done.endsWith("\xFF\xD9"));
    EXPECT_EQ(QImageReader(f.file(QStringLiteral("p0.jpg"))).size(), QSize(600, 429));
    EXPECT_EQ(f.read(QStringLiteral("p2.jpg")), originals[2]);
    // p1 was being written when the window closed, or had just been finished.
    const QByteArray second = f.read(QStringLiteral("p1.jpg"));
    EXPECT_TRUE(second == originals[1] || second.endsWith("\xFF\xD9"));
    EXPECT_EQ(
        QDir(f.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".kadrano")),
        QStringList());
    EXPECT_TRUE(
        runner.lastOutput().contains(QStringLiteral("kadrano-bat: stopped. ImageMagick finished ")))
        << runner.lastOutput().toStdString();
}

// Another program runs directly in the window; a missing interpreter or program is told.
TEST(ConsoleWindow, ProgramsAndMissingPieces) {
    WindowDriver driver([](ConsoleWindow&) {});
    ConsoleScriptRunner runner(nullptr, test::batInterpreterPath());
    EXPECT_EQ(runner.runAndWait(QStringLiteral("/bin/echo"), {QStringLiteral("hallo  welt")}), 0);
    EXPECT_EQ(runner.lastOutput(), QStringLiteral("hallo  welt\n"));
    EXPECT_EQ(runner.runAndWait(QStringLiteral("/bin/sh"),
                                {QStringLiteral("-c"), QStringLiteral("exit 3")}),
              3);
    EXPECT_TRUE(driver.boxTexts.isEmpty());

    EXPECT_EQ(runner.runAndWait(QStringLiteral("/no/such/program"), {}), -1);
    ASSERT_EQ(driver.boxTexts.size(), 1);
    EXPECT_TRUE(driver.boxTexts[0].startsWith(
        QStringLiteral("/no/such/program konnte nicht gestartet werden")));

    ConsoleScriptRunner noInterpreter(nullptr, QStringLiteral("/no/such/kadrano-bat"));
    EXPECT_EQ(noInterpreter.runAndWait(QStringLiteral("/tmp/x.BAT"), {}), -1);
    ASSERT_EQ(driver.boxTexts.size(), 2);
    EXPECT_TRUE(driver.boxTexts[1].contains(QStringLiteral("/no/such/kadrano-bat")));
    EXPECT_TRUE(driver.boxTexts[1].contains(QStringLiteral("/tmp/x.BAT wurde nicht ausgeführt")));
}

// The window's runner tells the interpreter where to note the renames, and only when it is
// given a journal: a variable the program itself was started with is not passed on.
TEST(ConsoleScriptRunner, HandsTheUndoJournalToTheInterpreterOnlyWhenGivenOne) {
    TempFolder f, state;
    f.write(QStringLiteral("a.jpg"), "A");
    const QString path = f.file(QStringLiteral("_Rename_Custom.bat"));
    ASSERT_TRUE(writeScriptFile(
        path, {QStringLiteral("ren ") + scriptArg(f.file(QStringLiteral("a.jpg"))) + " b.jpg",
               QStringLiteral("ren ") + scriptArg(f.file(QStringLiteral("b.jpg"))) + " c.jpg"}));
    const QString stray = state.file(QStringLiteral("stray.journal"));
    qputenv(kUndoJournalVariable, QFile::encodeName(stray));
    ConsoleScriptRunner runner(nullptr, test::batInterpreterPath());
    const QString journal = state.file(QStringLiteral("pictures.journal"));
    runner.setUndoJournal(journal);
    EXPECT_EQ(runner.runAndWait(path, {}), 0);
    runner.setUndoJournal(QString());
    f.write(QStringLiteral("a.jpg"), "A2");
    EXPECT_EQ(runner.runAndWait(path, {}), 1);  // b.jpg cannot become c.jpg now
    qunsetenv(kUndoJournalVariable);

    EXPECT_FALSE(QFile::exists(stray));
    const UndoJournal j = UndoJournal::read(journal);
    ASSERT_EQ(j.runs().size(), 1u);
    EXPECT_EQ(j.runs()[0].name, QStringLiteral("_Rename_Custom.bat"));
    ASSERT_EQ(j.runs()[0].renames.size(), 2u);
    EXPECT_EQ(j.runs()[0].renames[1].to, f.file(QStringLiteral("c.jpg")));
    EXPECT_TRUE(j.runs()[0].finished);
}
