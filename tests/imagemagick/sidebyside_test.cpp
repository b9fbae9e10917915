// The three ImageMagick tools, run as the window runs them (kadrano-bat without options),
// work on several pictures at once: ImageMagick is reached through stand-ins that note
// when each call starts and ends and then run the real program.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImageReader>
#include <QStandardPaths>

#include "imagemagick/addtext.h"
#include "imagemagick/exifrotate.h"
#include "imagemagick/resize.h"
#include "magicktestfiles.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

// Puts stand-ins for convert and mogrify in front of the search path while it lives. A
// call on a picture of the folder notes its start, waits a little (so calls that may
// overlap do) and notes its end around the real program.
class LoggingMagick {
public:
    LoggingMagick(TempFolder& f, const QString& pictures) : log_(f.file(q("log.txt"))) {
        for (const char* name : {"convert", "mogrify"}) {
            const QString real = QStandardPaths::findExecutable(q(name));
            const QString path = f.write(q("bin/") + q(name), QStringLiteral(R"(#!/bin/sh
case "$*" in *'%1'*) mine=1; echo start >> '%2'; sleep 0.4 ;; esac
'%3' "$@"
status=$?
[ -n "$mine" ] && echo end >> '%2'
exit $status
)")
                                                                  .arg(pictures, log_, real)
                                                                  .toUtf8());
            ::chmod(QFile::encodeName(path).constData(), 0755);
        }
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(f.file(q("bin"))) + ':' + oldPath_);
    }
    ~LoggingMagick() { qputenv("PATH", oldPath_); }
    LoggingMagick(const LoggingMagick&) = delete;
    LoggingMagick& operator=(const LoggingMagick&) = delete;

    // How many calls ran at most at once since the last call, and how many there were.
    std::pair<int, int> takeCounts() {
        QFile f(log_);
        int running = 0, most = 0, calls = 0;
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : f.readAll().split('\n')) {
                if (line == "start") {
                    ++calls;
                    most = std::max(most, ++running);
                } else if (line == "end") {
                    --running;
                }
            }
            f.close();
        }
        QFile::remove(log_);
        return {most, calls};
    }

private:
    QString log_;
    QByteArray oldPath_;
};

}  // namespace

TEST(MagickSideBySide, TheThreeToolsRunSeveralPicturesAtOnceFromTheWindow) {
    for (const char* program : {"convert", "mogrify"})
        if (QStandardPaths::findExecutable(q(program)).isEmpty())
            GTEST_SKIP() << "ImageMagick's " << program << " is not installed";
    if (::sysconf(_SC_NPROCESSORS_ONLN) < 2)
        GTEST_SKIP() << "one processor core: one picture at a time is right";
    TempFolder folder;
    folder.mkdir(q("Fotos 2019"));
    test::BatchRunner runner;  // runs kadrano-bat as the window does
    FakeHost host(&runner);
    host.dirText = folder.file(q("Fotos 2019/"));
    host.questionsOff = true;
    LoggingMagick magick(folder, host.dirText);
    const QStringList names = {q("a.jpg"), q("b.jpg"), q("c d.jpg"), q("e.jpg")};
    for (int i = 0; i < names.size(); ++i)
        test::writeNoisyJpeg(host.dirText + names[i], 400, 300, 6, unsigned(i + 1));
    host.collectFiles();
    ASSERT_EQ(host.files.count(), 4);

    runExifRotate(host, {});
    auto [most, calls] = magick.takeCounts();
    EXPECT_EQ(calls, 4);
    EXPECT_GE(most, 2) << runner.lastOutput.toStdString();
    for (const QString& n : names)
        EXPECT_EQ(QImageReader(host.dirText + n).size(), QSize(300, 400)) << n.toStdString();

    AddTextOptions caption;
    caption.colour = q("black");
    caption.pointSize = q("20");
    caption.caption.keepName = true;
    runAddText(host, caption);
    std::tie(most, calls) = magick.takeCounts();
    EXPECT_EQ(calls, 4);
    EXPECT_GE(most, 2) << runner.lastOutput.toStdString();
    for (const QString& n : names)
        EXPECT_TRUE(test::isWholePicture(host.dirText + q("Text-Included/") + n))
            << n.toStdString();

    ResizeOptions shrink;
    shrink.maxPixel = q("200");
    runResize(host, shrink);
    std::tie(most, calls) = magick.takeCounts();
    EXPECT_EQ(calls, 4);
    EXPECT_GE(most, 2) << runner.lastOutput.toStdString();
    for (const QString& n : names)
        EXPECT_EQ(QImageReader(host.dirText + n).size(), QSize(150, 200)) << n.toStdString();
}
