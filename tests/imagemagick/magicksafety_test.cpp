// What the ImageMagick tools must never do to a picture, tried with the real ImageMagick
// through the scripts the tools write and the interpreter that runs them: a stop, a full
// disk, a "%" in a name, a picture with several frames, a damaged JPEG, a second name of
// the same file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

#include "core/scripttext.h"
#include "imagemagick/exifrotate.h"
#include "imagemagick/resize.h"
#include "magicktestfiles.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::allEntries;
using kadrano::test::FakeHost;
using kadrano::test::isWholePicture;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

// Runs scripts through kadrano-bat as the console window does: in a process group of its
// own, stopped as a whole (SIGTERM, then SIGKILL when it has not ended after the window's
// grace of 1.5 s). Optionally with a limit on the size of files it may write, which makes
// a write fail as on a full disk.
class GroupRunner : public ScriptRunner {
public:
    std::function<bool()> stopWhen;  // asked every few milliseconds while the script runs
    // How: SIGTERM to the group as the console window does, SIGTERM to kadrano-bat alone
    // as "kill PID" does, or SIGKILL to kadrano-bat alone, which leaves the programs it
    // started running unattended (the runner waits until they have ended).
    enum class Stopping { Group, Interpreter, Kill } stopping = Stopping::Group;
    QStringList options;       // kadrano-bat's own, in front of the script
    rlim_t fileSizeLimit = 0;  // 0: none
    QString output;
    bool stopped = false;
    bool needsKill = false;  // it did not end on SIGTERM

    int runAndWait(const QString& program, const QStringList& arguments) override {
        output.clear();
        stopped = needsKill = false;
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const rlim_t limit = fileSizeLimit;
        p.setChildProcessModifier([limit] {
            ::setpgid(0, 0);
            if (limit > 0) {
                const struct rlimit l = {limit, limit};
                ::setrlimit(RLIMIT_FSIZE, &l);
            }
        });
        p.start(test::batInterpreterPath(), options + QStringList{program} + arguments);
        if (!p.waitForStarted())
            return kRunNotStarted;
        p.closeWriteChannel();
        if (stopWhen) {
            while (!p.waitForFinished(3)) {
                output += QString::fromUtf8(p.readAll());
                if (stopWhen()) {
                    stop(p);
                    break;
                }
            }
        }
        p.waitForFinished(-1);
        output += QString::fromUtf8(p.readAll());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : kRunStopped;
    }

private:
    void stop(QProcess& p) {
        stopped = true;
        const pid_t group = pid_t(p.processId());
        if (stopping == Stopping::Kill) {
            ::kill(group, SIGKILL);
            p.waitForFinished(-1);
            QElapsedTimer t;
            t.start();
            while (groupIsRunning(group) && t.elapsed() < 60000)
                ::usleep(10000);
            return;
        }
        ::kill(stopping == Stopping::Group ? -group : group, SIGTERM);
        if (!p.waitForFinished(1500)) {
            needsKill = true;
            ::kill(-group, SIGKILL);
        }
    }

    // Whether a process of the group still runs (zombies left to whoever adopted them do
    // not count).
    static bool groupIsRunning(pid_t group) {
        for (const QString& entry : QDir(q("/proc")).entryList(QDir::Dirs)) {
            QFile stat(q("/proc/") + entry + q("/stat"));
            if (entry.toInt() <= 0 || !stat.open(QIODevice::ReadOnly))
                continue;
            // pid (name) state ppid pgrp …, the name in parentheses may hold blanks.
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (fields.size() > 2 && fields[2].toInt() == group && fields[0] != "Z")
                return true;
        }
        return false;
    }
};

// A file's bytes by their digest, so that a failure prints something readable.
QByteArray bytesOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("(missing)");
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex();
}

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Entries the tools' runs may leave besides the pictures: none of ImageMagick's backups
// ("~"), frame files ("-0") or our unfinished files.
QStringList strayEntries(const QString& folder) {
    QStringList stray;
    for (const QString& e : allEntries(folder))
        if (e.startsWith(u'.') || e.endsWith(u'~') || e.contains(QLatin1String("-0.")))
            stray.append(e);
    return stray;
}

class MagickSafety : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"convert", "mogrify", "identify"})
            if (QStandardPaths::findExecutable(q(program)).isEmpty())
                GTEST_SKIP() << "ImageMagick's " << program << " is not installed";
        host.dirText = folder.file(q("Fotos 2019/"));
        folder.mkdir(q("Fotos 2019"));
        host.questionsOff = true;  // the run and the report, without questions
    }
    static ResizeOptions shrinkTo(const char* maxPixel) {
        ResizeOptions o;
        o.maxPixel = q(maxPixel);
        return o;
    }
    QString file(const QString& name) const { return host.dirText + name; }
    QString file(const char* name) const { return file(q(name)); }
    void collect(const char* pattern) {
        host.pattern = q(pattern);
        host.collectFiles();
    }
    const test::ShownBox& lastBox() const { return host.recorder.boxes.back(); }

    TempFolder folder;
    GroupRunner runner;
    FakeHost host{&runner};
};

// A run to be stopped: fresh pictures and the tool's script in a folder of their own. In
// place (resize), by mogrify (EXIF turn) and by conversion with deletion.
enum StopKind { Resize, Exif, Convert };
struct StopRun {
    TempFolder folder;
    QString dir;
    QString script;
    QList<QByteArray> originals;
};

void prepareStopRun(StopKind kind, int pictures, StopRun& s) {
    s.dir = s.folder.path();
    FileList files;
    for (int i = 0; i < pictures; ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        test::writeNoisyJpeg(s.dir + name, 1200, 900, kind == Exif ? 6 : 0, unsigned(i + 1));
        s.originals.append(bytesOf(s.dir + name));
        files.append(name, s.dir);
    }
    QStringList lines;
    if (kind == Exif) {
        lines = planExifRotate(files, {}).lines;
    } else {
        ResizeOptions o;
        o.maxPixel = q("600");
        o.convert = kind == Convert;
        o.format = q("PNG");
        o.deleteOld = true;
        lines = planResize(files, o).lines;
    }
    s.script = s.dir + q("_Script.bat");
    ASSERT_TRUE(writeScriptFile(s.script, lines));
}

// Checks that each picture is as it was, byte for byte, or whole and done (after a
// conversion: its original, its whole converted copy, or both), and returns how many are
// done.
int checkStoppedRun(StopKind kind, const StopRun& s) {
    int done = 0;
    for (int i = 0; i < s.originals.size(); ++i) {
        const QString jpg = s.dir + QStringLiteral("p%1.jpg").arg(i);
        const QString png = s.dir + QStringLiteral("p%1.png").arg(i);
        if (kind == Convert) {
            if (QFile::exists(png)) {
                EXPECT_TRUE(isWholePicture(png)) << png.toStdString();
                EXPECT_EQ(QImageReader(png).size(), QSize(600, 450));
                ++done;
            } else {
                EXPECT_EQ(bytesOf(jpg), s.originals[i]) << jpg.toStdString();
            }
            if (QFile::exists(jpg)) {
                EXPECT_EQ(bytesOf(jpg), s.originals[i]) << jpg.toStdString();
            }
        } else if (bytesOf(jpg) != s.originals[i]) {
            EXPECT_TRUE(isWholePicture(jpg)) << jpg.toStdString();
            EXPECT_EQ(QImageReader(jpg).size(), kind == Exif ? QSize(900, 1200) : QSize(600, 450));
            ++done;
        }
    }
    return done;
}

// How long an undisturbed run of each kind takes, so that stops fall inside the runs.
void measureStopRuns(int pictures, const QStringList& options, qint64 (&duration)[3]) {
    for (StopKind kind : {Resize, Exif, Convert}) {
        StopRun s;
        prepareStopRun(kind, pictures, s);
        GroupRunner whole;
        whole.options = options;
        QElapsedTimer t;
        t.start();
        ASSERT_EQ(whole.runAndWait(s.script, {}), 0) << whole.output.toStdString();
        duration[kind] = std::max<qint64>(t.elapsed(), 50);
    }
}

// Runs the script and stops it once delay milliseconds have passed.
void runStoppedAfter(GroupRunner& runner, const QString& script, qint64 delay) {
    QElapsedTimer t;
    t.start();
    runner.stopWhen = [&] { return t.elapsed() >= delay; };
    runner.runAndWait(script, {});
}

}  // namespace

// A stop at any moment — the console window's close, SIGTERM to the script's process
// group — leaves each picture either as it was, byte for byte, or whole and done; never
// an empty or half-written one, a "~" backup as the only copy, or a truncated new PNG.
// In place (resize), by mogrify (EXIF turn) and by conversion with deletion, 24 times at
// random moments across the run, with one picture at a time (the next test has several).
TEST_F(MagickSafety, StopsAtRandomMomentsLeaveEveryPictureWholeOrAsItWas) {
    constexpr int kPictures = 6;
    constexpr int kRuns = 24;
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE(testing::Message() << "random seed " << seed);
    const QStringList oneJob = {q("--jobs"), q("1")};

    qint64 duration[3];
    measureStopRuns(kPictures, oneJob, duration);

    int midway = 0;  // stops with some pictures done and some not
    int killed = 0;
    for (int run = 0; run < kRuns; ++run) {
        const StopKind kind = StopKind(run % 3);
        StopRun s;
        prepareStopRun(kind, kPictures, s);
        const qint64 delay =
            std::uniform_int_distribution<qint64>(duration[kind] / 20, duration[kind])(random);
        GroupRunner stopping;
        stopping.options = oneJob;
        runStoppedAfter(stopping, s.script, delay);
        SCOPED_TRACE(testing::Message() << "run " << run << ", kind " << kind << ", stop after "
                                        << delay << " of " << duration[kind] << " ms\n"
                                        << stopping.output.toStdString());
        killed += stopping.needsKill ? 1 : 0;

        const int done = checkStoppedRun(kind, s);
        if (done > 0 && done < kPictures)
            ++midway;
        if (!stopping.needsKill) {
            EXPECT_EQ(strayEntries(s.dir), QStringList());
        }
        if (stopping.stopped && done > 0 && done < kPictures) {
            EXPECT_TRUE(stopping.output.contains(QStringLiteral("kadrano-bat: stopped. ")));
        }
    }
    std::printf("%d of %d stops fell between two pictures' ends; %d needed SIGKILL\n", midway,
                kRuns, killed);
    // Stops that all land after the end would prove nothing.
    EXPECT_GE(midway, kRuns / 4);
}

// The same with three pictures at a time, stopped in each of three ways: the console
// window's stop (SIGTERM to the group), SIGTERM to kadrano-bat alone (the stop reaches each
// running ImageMagick through the interpreter), and SIGKILL to kadrano-bat alone, after
// which the ImageMagick commands it started finish unattended. No picture is lost; only
// SIGKILL may leave hidden unfinished files, never anything else.
TEST_F(MagickSafety, KillsAtRandomMomentsOfAParallelRunLoseNoPicture) {
    constexpr int kPictures = 9;
    constexpr int kRuns = 24;
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE(testing::Message() << "random seed " << seed);
    const QStringList threeJobs = {q("--jobs"), q("3")};

    qint64 duration[3];
    measureStopRuns(kPictures, threeJobs, duration);

    int midway = 0;
    int reported = 0;
    for (int run = 0; run < kRuns; ++run) {
        const StopKind kind = StopKind(run % 3);
        const auto how = GroupRunner::Stopping((run / 3) % 3);
        StopRun s;
        prepareStopRun(kind, kPictures, s);
        const qint64 delay =
            std::uniform_int_distribution<qint64>(duration[kind] / 20, duration[kind])(random);
        GroupRunner stopping;
        stopping.options = threeJobs;
        stopping.stopping = how;
        runStoppedAfter(stopping, s.script, delay);
        SCOPED_TRACE(testing::Message()
                     << "run " << run << ", kind " << kind << ", stopped by " << int(how)
                     << " after " << delay << " of " << duration[kind] << " ms\n"
                     << stopping.output.toStdString());

        const int done = checkStoppedRun(kind, s);
        if (done > 0 && done < kPictures)
            ++midway;
        for (const QString& e : strayEntries(s.dir)) {
            EXPECT_TRUE(how == GroupRunner::Stopping::Kill || stopping.needsKill)
                << e.toStdString();
            EXPECT_TRUE(e.startsWith(q(".kadrano-"))) << e.toStdString();
        }
        if (how != GroupRunner::Stopping::Kill && stopping.stopped && done > 0 &&
            done < kPictures) {
            EXPECT_TRUE(stopping.output.contains(QStringLiteral("kadrano-bat: stopped. ")));
            ++reported;
        }
    }
    std::printf("%d of %d kills fell between two pictures' ends, %d of them reported\n", midway,
                kRuns, reported);
    EXPECT_GE(midway, kRuns / 4);
}

// The tool's report after a stop names the pictures that were done and those left as they
// were, and they are exactly the ones the folder shows.
TEST_F(MagickSafety, AStoppedRunSaysWhichPicturesWereDone) {
    QStringList names;
    QList<ino_t> inodes;
    for (int i = 0; i < 5; ++i) {
        names.append(QStringLiteral("Bild %1.jpg").arg(i));
        test::writeNoisyJpeg(file(names.last()), 1200, 900, 0, unsigned(i + 7));
        inodes.append(inodeOf(file(names.last())));
    }
    collect("*.jpg");
    // Stopped once two pictures were replaced, while ImageMagick works on the third.
    runner.stopWhen = [&] {
        int replaced = 0;
        for (int i = 0; i < 5; ++i)
            replaced += inodeOf(file(names[i])) != inodes[i] ? 1 : 0;
        return replaced >= 2;
    };
    ResizeOptions o = shrinkTo("600");
    runResize(host, o);

    QStringList done, left;
    for (int i = 0; i < 5; ++i)
        (inodeOf(file(names[i])) != inodes[i] ? done : left).append(names[i]);
    ASSERT_GE(done.size(), 2);
    ASSERT_FALSE(left.isEmpty());
    const QString text = lastBox().text;
    EXPECT_TRUE(
        text.startsWith(q("Die Bat-Datei wurde vor ihrem Ende abgebrochen; nicht alle "
                          "Zeilen wurden ausgeführt.\r\r")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(
        QStringLiteral("Fertig: %1 von 5 Bild(ern): ").arg(done.size()) + done.join(q(", ")) +
        QStringLiteral("\rUnverändert: %1 Bild(er): ").arg(left.size()) + left.join(q(", "))))
        << text.toStdString();
    // The console showed the same: the pictures finished, and the one that was left.
    EXPECT_TRUE(runner.output.contains(
        QStringLiteral("kadrano-bat: stopped. ImageMagick finished %1 picture(s), the last one %2.")
            .arg(done.size())
            .arg(file(done.last()))))
        << runner.output.toStdString();
    for (const QString& n : left)
        EXPECT_TRUE(isWholePicture(file(n)));
}

// A write that fails for want of space (here: the limit on a file's size that a full disk
// amounts to) leaves the picture as it was and removes what was written; the report names
// the pictures. A picture whose result fits goes through in the same run.
TEST_F(MagickSafety, AFailedWriteLeavesThePictureAndSaysWhich) {
    test::writeNoisyJpeg(file("a.jpg"), 900, 700, 6, 1);
    test::writeNoisyJpeg(file("b.jpg"), 900, 700, 6, 2);
    test::writeNoisyJpeg(file("klein.jpg"), 120, 90, 6, 3);
    const QByteArray a = bytesOf(file("a.jpg")), b = bytesOf(file("b.jpg"));
    collect("*.jpg");
    runner.fileSizeLimit = 64 * 1024;
    for (int tool = 0; tool < 2; ++tool) {
        if (tool == 0) {
            ResizeOptions o = shrinkTo("800");
            o.quality = 99;
            runResize(host, o);
        } else {
            runExifRotate(host, {});
        }
        EXPECT_EQ(bytesOf(file("a.jpg")), a) << tool;
        EXPECT_EQ(bytesOf(file("b.jpg")), b) << tool;
        EXPECT_EQ(strayEntries(host.dirText), QStringList()) << tool;
        EXPECT_EQ(lastBox().text,
                  q("Beim Ausführen der Bat-Datei sind Fehler aufgetreten: 2 Zeile(n) "
                    "fehlgeschlagen.\r\rNicht bearbeitet, unverändert: 2 von 3 Bild(ern): "
                    "a.jpg, b.jpg\r\rDie Datei bleibt erhalten: ") +
                      (tool == 0 ? q("_Resize_Pictures.bat") : q("_EXIF_Rotate_Pictures.bat")))
            << tool;
        EXPECT_TRUE(runner.output.contains(q("a.jpg is unchanged."))) << tool;
    }
    // The small one was resized (it stayed small) and then turned.
    EXPECT_TRUE(isWholePicture(file("klein.jpg")));
    EXPECT_EQ(QImageReader(file("klein.jpg")).size(), QSize(90, 120));
}

// The same on a really full disk: a small RAM disk, which needs the right to mount one.
TEST_F(MagickSafety, AFullDiskLeavesThePictures) {
    const QString mountPoint = folder.file(q("Karte"));
    folder.mkdir(q("Karte"));
    const QByteArray where = QFile::encodeName(mountPoint);
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (" << std::strerror(errno)
                     << "); the write limit test covers the same failure without one";
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{where};
    host.dirText = mountPoint + u'/';
    test::writeNoisyJpeg(file("a.jpg"), 640, 480, 6, 1);
    test::writeNoisyJpeg(file("b.jpg"), 640, 480, 6, 2);
    const QByteArray a = bytesOf(file("a.jpg")), b = bytesOf(file("b.jpg"));
    // Fill the disk up to a few kilobytes.
    {
        QFile filler(file("filler.bin"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    QFile::resize(file("filler.bin"), QFileInfo(file("filler.bin")).size() - 16 * 1024);
    collect("*.jpg");
    ResizeOptions o;
    o.quality = 99;
    runResize(host, o);
    runExifRotate(host, {});
    EXPECT_EQ(bytesOf(file("a.jpg")), a);
    EXPECT_EQ(bytesOf(file("b.jpg")), b);
    EXPECT_EQ(strayEntries(host.dirText), QStringList());
    EXPECT_TRUE(lastBox().text.contains(
        q("Nicht bearbeitet, unverändert: 2 von 2 Bild(ern): a.jpg, b.jpg")))
        << lastBox().text.toStdString();
}

// ImageMagick reads "%d", "%03d" or "%[width]" in a name as its own patterns. Every name
// reaches it literally: each picture is changed under its own name, and the pictures whose
// names the patterns would make are not touched.
TEST_F(MagickSafety, PercentInNamesReachesImageMagickLiterally) {
    const char* named[] = {"a%d.jpg", "b%03d.jpg", "c%%.jpg", "d%[width].jpg", "e%1.jpg", "f%.jpg"};
    const char* bystanders[] = {"a0.jpg",       "b000.jpg", "c%.jpg",
                                "d[width].jpg", "d800.jpg", "e1.jpg"};
    for (const char* n : named)
        test::writeNoisyJpeg(file(n), 800, 600, 6, 1);
    for (const char* n : bystanders)
        test::writePicture(file(n), 40, 30);
    QHash<QString, QByteArray> kept;
    for (const char* n : bystanders)
        kept.insert(q(n), bytesOf(file(n)));
    collect("*.jpg");
    const auto onlyNamed = [&] {
        FileList f;
        for (const char* n : named)
            f.append(q(n), host.dirText);
        host.files = f;
    };

    onlyNamed();
    ResizeOptions o = shrinkTo("400");
    runResize(host, o);
    for (const char* n : named)
        EXPECT_EQ(QImageReader(file(n)).size(), QSize(400, 300)) << n;
    onlyNamed();
    runExifRotate(host, {});
    for (const char* n : named)
        EXPECT_EQ(QImageReader(file(n)).size(), QSize(300, 400)) << n;
    onlyNamed();
    o.convert = true;
    o.format = q("PNG");
    runResize(host, o);
    for (const char* n : named) {
        const QString png = QString::fromUtf8(n).replace(q(".jpg"), q(".png"));
        EXPECT_TRUE(isWholePicture(file(png))) << n;
    }
    for (const char* n : bystanders)
        EXPECT_EQ(bytesOf(file(n)), kept.value(q(n))) << n;
    QStringList expected;
    for (const char* n : named)
        expected << q(n) << QString::fromUtf8(n).replace(q(".jpg"), q(".png"));
    for (const char* n : bystanders)
        expected << q(n);
    expected.sort();
    EXPECT_EQ(allEntries(host.dirText), expected);
    EXPECT_EQ(runner.output.count(q("kadrano-bat:")), 0) << runner.output.toStdString();
}

// A GIF or a multi-page TIFF converted into a format that holds one picture gives one file
// of its first frame under the expected name; the files ImageMagick would name name-0,
// name-1 … are left alone. Resized in its own format, a GIF keeps all its frames.
TEST_F(MagickSafety, ConvertingSeveralFramesWritesTheFirstUnderItsName) {
    const QStringList frames = {q("-size"), q("60x40"), q("xc:red"), q("xc:lime"), q("xc:blue")};
    ASSERT_TRUE(test::makeWithImageMagick(frames + QStringList{file("anim.gif")}));
    ASSERT_TRUE(test::makeWithImageMagick(frames + QStringList{file("seiten.tif")}));
    ASSERT_TRUE(
        test::makeWithImageMagick({q("-size"), q("20x20"), q("xc:white"), file("anim-0.png")}));
    ASSERT_TRUE(
        test::makeWithImageMagick({q("-size"), q("20x20"), q("xc:white"), file("seiten-1.jpg")}));
    const QByteArray anim0 = bytesOf(file("anim-0.png")), seiten1 = bytesOf(file("seiten-1.jpg"));
    ASSERT_EQ(test::frameCount(file("anim.gif")), 3);
    ASSERT_EQ(test::frameCount(file("seiten.tif")), 3);

    collect("*.gif");
    ResizeOptions o = shrinkTo("30");
    runResize(host, o);
    EXPECT_EQ(test::frameCount(file("anim.gif")), 3);
    EXPECT_EQ(QImageReader(file("anim.gif")).size(), QSize(30, 20));

    o.convert = true;
    o.deleteOld = true;
    o.format = q("PNG");
    runResize(host, o);
    collect("*.tif");
    o.format = q("JPEG");
    runResize(host, o);

    EXPECT_EQ(test::frameCount(file("anim.png")), 1);
    EXPECT_TRUE(test::isRedAt(file("anim.png"), 5, 5));  // the first frame
    EXPECT_EQ(test::frameCount(file("seiten.jpg")), 1);
    EXPECT_TRUE(test::isRedAt(file("seiten.jpg"), 5, 5));
    EXPECT_EQ(bytesOf(file("anim-0.png")), anim0);
    EXPECT_EQ(bytesOf(file("seiten-1.jpg")), seiten1);
    EXPECT_EQ(allEntries(host.dirText),
              QStringList({q("anim-0.png"), q("anim.png"), q("seiten-1.jpg"), q("seiten.jpg")}));
}

// ImageMagick only warns about a truncated or corrupt JPEG and would write it out with grey
// where the data is missing. Such a picture is neither replaced nor, after a conversion,
// deleted; the report names it, and the sound picture of the same run is done.
TEST_F(MagickSafety, DamagedJpegsAreNeitherReplacedNorDeleted) {
    test::writeNoisyJpeg(file("gut.jpg"), 800, 600, 0, 1);
    test::writeNoisyJpeg(file("ganz.jpg"), 800, 600, 0, 2);
    const QByteArray whole = folder.read(q("Fotos 2019/ganz.jpg"));
    folder.write(q("Fotos 2019/kurz.jpg"), whole.left(whole.size() / 3));
    QByteArray corrupt = whole;
    for (qsizetype i = corrupt.size() / 2; i < corrupt.size() - 2; i += 97)
        corrupt[i] = char(corrupt[i] ^ 0x5A);
    folder.write(q("Fotos 2019/kaputt.jpg"), corrupt);
    QFile::remove(file("ganz.jpg"));
    const QByteArray shortBytes = bytesOf(file("kurz.jpg"));
    const QByteArray corruptBytes = bytesOf(file("kaputt.jpg"));
    collect("*.jpg");

    ResizeOptions o = shrinkTo("400");
    runResize(host, o);
    EXPECT_EQ(bytesOf(file("kurz.jpg")), shortBytes);
    EXPECT_EQ(bytesOf(file("kaputt.jpg")), corruptBytes);
    EXPECT_EQ(QImageReader(file("gut.jpg")).size(), QSize(400, 300));
    EXPECT_TRUE(lastBox().text.contains(
        q("Nicht bearbeitet, unverändert: 2 von 3 Bild(ern): kaputt.jpg, kurz.jpg")))
        << lastBox().text.toStdString();

    o.convert = true;
    o.deleteOld = true;
    o.format = q("PNG");
    runResize(host, o);
    EXPECT_EQ(bytesOf(file("kurz.jpg")), shortBytes);
    EXPECT_EQ(bytesOf(file("kaputt.jpg")), corruptBytes);
    EXPECT_FALSE(QFile::exists(file("kurz.png")));
    EXPECT_FALSE(QFile::exists(file("kaputt.png")));
    EXPECT_FALSE(QFile::exists(file("gut.jpg")));
    EXPECT_TRUE(isWholePicture(file("gut.png")));
    EXPECT_EQ(strayEntries(host.dirText), QStringList());
}

// A rewrite gives the name in the folder a new file: a hard link elsewhere (a backup) and
// the file a symbolic link points to keep the old picture, and the link becomes the new
// picture itself. A read-only picture stays as it is, and says so.
TEST_F(MagickSafety, ARewriteLeavesOtherNamesOfThePictureAlone) {
    folder.mkdir(q("Sicherung"));
    const QString backupA = folder.file(q("Sicherung/a.jpg"));
    const QString backupB = folder.file(q("Sicherung/b.jpg"));
    test::writeNoisyJpeg(backupA, 800, 600, 6, 1);
    test::writeNoisyJpeg(backupB, 800, 600, 6, 2);
    test::writeNoisyJpeg(file("nur lesen.jpg"), 800, 600, 6, 3);
    ASSERT_TRUE(QFile::setPermissions(file("nur lesen.jpg"), QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_EQ(::link(QFile::encodeName(backupA).constData(),
                     QFile::encodeName(file("a.jpg")).constData()),
              0);
    ASSERT_TRUE(QFile::link(backupB, file("b.jpg")));
    const QByteArray a = bytesOf(backupA), b = bytesOf(backupB);
    const QByteArray readOnly = bytesOf(file("nur lesen.jpg"));
    collect("*.jpg");

    ResizeOptions o = shrinkTo("400");
    runResize(host, o);
    EXPECT_EQ(QImageReader(file("a.jpg")).size(), QSize(400, 300));
    EXPECT_EQ(QImageReader(file("b.jpg")).size(), QSize(400, 300));
    runExifRotate(host, {});
    EXPECT_EQ(QImageReader(file("a.jpg")).size(), QSize(300, 400));
    EXPECT_EQ(QImageReader(file("b.jpg")).size(), QSize(300, 400));

    EXPECT_EQ(bytesOf(backupA), a);
    EXPECT_EQ(bytesOf(backupB), b);
    EXPECT_FALSE(QFileInfo(file("b.jpg")).isSymLink());
    EXPECT_EQ(bytesOf(file("nur lesen.jpg")), readOnly);
    EXPECT_TRUE(lastBox().text.contains(
        q("Nicht bearbeitet, unverändert: 1 von 3 Bild(ern): nur lesen.jpg")))
        << lastBox().text.toStdString();
    EXPECT_TRUE(runner.output.contains(q("Access is denied. ") + file("nur lesen.jpg")));
}
