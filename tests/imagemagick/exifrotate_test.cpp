#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QStandardPaths>

#include "core/scripttext.h"
#include "imagemagick/exifrotate.h"
#include "magicktestfiles.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BatchRunner;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::TempFolder;

// Only a JPEG's header is trusted: a turned JPEG and everything we cannot read get their
// lines (numbered over the lines that run), an upright JPEG gets none.
TEST(ExifRotatePlan, LinesOnlyForFilesThatMayNeedATurn) {
    TempFolder f;
    f.mkdir(q("Fotos 2019"));
    const QString d = f.file(q("Fotos 2019/"));
    test::writeJpegWithOrientation(d + q("a.jpg"), 40, 30, 6);
    test::writeJpegWithOrientation(d + q("b.jpg"), 40, 30, 1);
    test::writeJpegWithOrientation(d + q("c.jpg"), 40, 30, 0);
    test::writePicture(d + q("d.jpg"), 40, 30, "PNG");  // a PNG by its bytes
    test::writeJpegWithOrientation(d + q("e.JPG"), 40, 30, 8);
    test::writeJpegWithOrientation(d + q("f.jpg"), 40, 30, 2);  // mirrored
    f.write(q("Fotos 2019/g.txt"), "hello");
    FileList files;
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.JPG", "f.jpg", "g.txt", "h.jpg"})
        files.append(q(n), d);  // h.jpg does not exist

    const ExifRotatePlan plan = planExifRotate(files, {q("\"/opt/Image Magick/magick\""), true});
    const auto line = [&d](const char* name) {
        return q("\"/opt/Image Magick/magick\" mogrify -auto-orient \"") + d + q(name) + q("\" ");
    };
    const QStringList expected =
        scriptHeader() + QStringList{progressLine(0, 6), line("a.jpg"),      progressLine(1, 6),
                                     line("d.jpg"),      progressLine(2, 6), line("e.JPG"),
                                     progressLine(3, 6), line("f.jpg"),      progressLine(4, 6),
                                     line("g.txt"),      progressLine(5, 6), line("h.jpg"),
                                     q("pause")};
    EXPECT_EQ(plan.lines, expected);
    EXPECT_EQ(plan.turned, 3);
    EXPECT_EQ(plan.unknown, 3);
    EXPECT_EQ(plan.upright, 2);
    // Without ImageMagick and in a folder without blanks: a blank first, no quotes.
    TempFolder plain;
    test::writeJpegWithOrientation(plain.file(q("x.jpg")), 40, 30, 3);
    FileList one;
    one.append(q("x.jpg"), plain.path());
    const QStringList bare =
        scriptHeader() + QStringList{progressLine(0, 1),
                                     q(" mogrify -auto-orient ") + plain.file(q("x.jpg")) + u' '};
    EXPECT_EQ(planExifRotate(one, {}).lines, bare);
}

class ExifRotateRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(q("mogrify")).isEmpty())
            GTEST_SKIP() << "ImageMagick's mogrify is not installed";
        host.dirText = folder.file(q("Fotos 2019/"));
        folder.mkdir(q("Fotos 2019"));
    }
    QString file(const char* name) const { return host.dirText + q(name); }

    TempFolder folder;
    BatchRunner runner;
    FakeHost host{&runner};
};

// The real mogrify turns the two tagged pictures and resets their tag; the upright ones
// keep every byte; all keep their dates.
TEST_F(ExifRotateRun, TurnsTaggedPicturesAndLeavesUprightOnesAlone) {
    test::writeJpegWithOrientation(file("o6.jpg"), 400, 300, 6);
    test::writeJpegWithOrientation(file("o8.jpg"), 400, 300, 8);
    test::writeJpegWithOrientation(file("up.jpg"), 400, 300, 1);
    test::writeJpegWithOrientation(file("none.jpg"), 400, 300, 0);
    const QByteArray up = folder.read(q("Fotos 2019/up.jpg"));
    const QByteArray none = folder.read(q("Fotos 2019/none.jpg"));
    long ns = 100;
    for (const char* n : {"o6.jpg", "o8.jpg", "up.jpg", "none.jpg"})
        test::setModified(file(n), 1262347200, ns++);
    host.collectFiles();
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runExifRotate(host, {});

    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_TRUE(host.recorder.boxes.at(0).text.contains(q("Laut EXIF zu drehen: 2 Bild(er)")));
    for (const char* n : {"o6.jpg", "o8.jpg"}) {
        QImageReader reader(file(n));
        EXPECT_EQ(reader.size(), QSize(300, 400)) << n;
        EXPECT_EQ(readExifTurn(file(n)), ExifTurn::Upright) << n;
    }
    // The red corner, top left as stored, is where the camera meant it to be.
    EXPECT_TRUE(test::isRedAt(file("o6.jpg"), 290, 10));
    EXPECT_TRUE(test::isRedAt(file("o8.jpg"), 10, 390));
    EXPECT_FALSE(test::isRedAt(file("o6.jpg"), 10, 10));
    EXPECT_EQ(folder.read(q("Fotos 2019/up.jpg")), up);
    EXPECT_EQ(folder.read(q("Fotos 2019/none.jpg")), none);
    ns = 100;
    for (const char* n : {"o6.jpg", "o8.jpg", "up.jpg", "none.jpg"})
        EXPECT_TRUE(test::modifiedAt(file(n), 1262347200, ns++)) << n;
    EXPECT_FALSE(QFile::exists(file("_EXIF_Rotate_Pictures.bat")));
}

TEST_F(ExifRotateRun, NothingToTurnWritesNoScript) {
    test::writeJpegWithOrientation(file("up.jpg"), 40, 30, 1);
    host.collectFiles();
    runExifRotate(host, {});
    EXPECT_TRUE(runner.calls.empty());
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Alle 1 Bild(er) stehen schon aufrecht; es gibt nichts zu drehen."));
    EXPECT_FALSE(QFile::exists(file("_EXIF_Rotate_Pictures.bat")));
}
