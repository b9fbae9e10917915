#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QStandardPaths>

#include "core/scripttext.h"
#include "imagemagick/formats.h"
#include "imagemagick/resize.h"
#include "magicktestfiles.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BatchRunner;
using kadrano::test::FakeHost;
using kadrano::test::filesIn;
using kadrano::test::q;
using kadrano::test::TempFolder;

TEST(ResizeNames, OutputNameAndWhichFilesConvert) {
    EXPECT_EQ(OutputName(q("b.png"), q("jpg")), q("b.jpg"));
    EXPECT_EQ(OutputName(q("x.tif"), outputExtension(q("TIFF"))), q("x.tiff"));
    EXPECT_EQ(OutputName(q("Urlaub.2019.webp"), q("jpg")), q("Urlaub.2019.jpg"));
    EXPECT_EQ(OutputName(q("a.b.c"), q("jpg")), q("a.jpg"));  // the first dot of the last four
    EXPECT_EQ(OutputName(q("scan"), q("jpg")), q("scan.jpg"));
    EXPECT_EQ(OutputName(q("a.tar.gz"), q("png")), q("a.tar.png"));
    EXPECT_EQ(OutputName(q("ab"), q("jpg")), q("ab.jpg"));
    EXPECT_EQ(outputExtension(q("JPEG")), q("jpg"));

    for (const char* kept : {"a.jpeg", "a.JPEG", "a.jpg", "a.JPG"})
        EXPECT_FALSE(convertsToFormat(q(kept), q("JPEG"))) << kept;
    EXPECT_TRUE(convertsToFormat(q("a.png"), q("JPEG")));
    EXPECT_TRUE(convertsToFormat(q("x.tif"), q("TIFF")));
    EXPECT_FALSE(convertsToFormat(q("x.TIFF"), q("TIFF")));
}

TEST(ResizeFormat, MatchOutputFormatTakesTheFirstEntryOfTheFirstPassThatFinds) {
    const QStringList formats = outputFormats();
    const auto match = [&formats](const char* typed) {
        return MatchOutputFormat(q(typed), formats);
    };
    EXPECT_EQ(match("tif").text, q("PTIF"));  // contained in PTIF before TIFF
    EXPECT_EQ(match(" jpg ").text, q("JPEG"));
    EXPECT_EQ(match("ps").text, q("PS"));  // equal beats EPS, which contains it earlier
    EXPECT_EQ(match("ycbcr").text, q("YCbCr"));
    EXPECT_EQ(match("jpx").text, q("JP2"));   // "JP", without its last character
    EXPECT_EQ(match("kxy").text, q("CMYK"));  // only its first character is found
    EXPECT_EQ(match("").text, q("ARW"));
    EXPECT_TRUE(match("").found);
    EXPECT_EQ(match("q").text, q("ARW"));  // nothing left without its last character
    const FormatMatch none = match("qq");
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.text, q("JPEG"));
    const Question box = unknownFormatMessage();
    EXPECT_EQ(box.textDe, q("Datei Format nicht gefunden. Ausgabe auf JPG (JPEG) gesetzt"));
    EXPECT_EQ(box.titleDe, q("Unbekanntes Format"));
    EXPECT_EQ(box.textEn, q("File-Format not found - Set to JPG"));
    EXPECT_EQ(box.titleEn, q("Unknown Format"));
}

// The folder has a blank; ImageMagick 7 lies in a folder with a blank as well.
TEST(ResizePlan, ConversionToJpegWithDeletion) {
    TempFolder f;
    const QString dir = f.file(q("Fotos 2019/"));
    f.mkdir(q("Fotos 2019"));
    ResizeOptions o;
    o.magickCommand = q("\"/opt/Image Magick/magick\"");
    o.convert = true;
    o.deleteOld = true;
    o.pauseAtEnd = true;
    const ResizePlan plan =
        planResize(filesIn(dir, {q("a.JPG"), q("b.png"), q("c.jpeg"), q("d.JPEG")}), o);
    const QString mc = o.magickCommand + q(" convert \"") + dir;
    EXPECT_EQ(
        plan.lines,
        (scriptHeader() +
         QStringList{
             progressLine(0, 4),
             mc + q("a.JPG\" -resize \"2000x2000>\" -quality 95 \"") + dir + q("a.JPG\""),
             progressLine(1, 4),
             mc +
                 q("b.png\" -resize \"2000x2000>\" -format JPEG  -quality "
                   "95 \"") +
                 dir + q("b.jpg\""),
             q("if errorlevel 1 if exist \"") + dir + q("b.png\" if exist \"") + dir +
                 q("b.jpg\" del \"") + dir + q("b.jpg\""),
             q("if not errorlevel 1 if exist \"") + dir + q("b.jpg\" del \"") + dir + q("b.png\""),
             progressLine(2, 4),
             mc + q("c.jpeg\" -resize \"2000x2000>\" -quality 95 \"") + dir + q("c.jpeg\""),
             progressLine(3, 4),
             mc + q("d.JPEG\" -resize \"2000x2000>\" -quality 95 \"") + dir + q("d.JPEG\""),
             q("pause")}));
    EXPECT_EQ(plan.commands, 4);
    EXPECT_EQ(plan.conversions, 1);
}

// Keep-size converts without "-resize"; a file already in the format is still resized.
// Without ImageMagick the lines start with the bare sub-command.
TEST(ResizePlan, ConversionToTiffKeepingTheSize) {
    TempFolder f;
    ResizeOptions o;
    o.maxPixel = q("1500");
    o.quality = 80;
    o.convert = true;
    o.format = q("TIFF");
    o.keepSize = true;
    const QString d = f.path();
    const ResizePlan plan = planResize(filesIn(d, {q("x.tif"), q("y.tiff"), q("scan")}), o);
    EXPECT_EQ(
        plan.lines,
        (scriptHeader() +
         QStringList{
             progressLine(0, 3),
             q(" convert ") + d + q("x.tif  -format TIFF  -quality 80 ") + d + q("x.tiff"),
             q("if errorlevel 1 if exist ") + d + q("x.tif if exist ") + d + q("x.tiff del ") + d +
                 q("x.tiff"),
             progressLine(1, 3),
             q(" convert ") + d + q("y.tiff -resize \"1500x1500>\" -quality 80 ") + d + q("y.tiff"),
             progressLine(2, 3),
             q(" convert ") + d + q("scan  -format TIFF  -quality 80 ") + d + q("scan.tiff"),
             q("if errorlevel 1 if exist ") + d + q("scan if exist ") + d + q("scan.tiff del ") +
                 d + q("scan.tiff")}));

    // Unticked, the two boxes that belong to converting count for nothing.
    o.convert = false;
    o.deleteOld = true;
    const ResizePlan plain = planResize(filesIn(d, {q("x.tif"), q("b.png")}), o);
    EXPECT_EQ(
        plain.lines,
        (scriptHeader() +
         QStringList{
             progressLine(0, 2),
             q(" convert ") + d + q("x.tif -resize \"1500x1500>\" -quality 80 ") + d + q("x.tif"),
             progressLine(1, 2),
             q(" convert ") + d + q("b.png -resize \"1500x1500>\" -quality 80 ") + d + q("b.png"),
         }));
}

// A conversion onto a name another picture has (on disk, or given to an earlier file of
// the run) gets no line: two pictures would become one. Names and fields that could break
// out of their place are held.
TEST(ResizePlan, NoConversionOntoAnotherPictureAndNoBreakingOut) {
    TempFolder f;
    for (const char* n : {"x.png", "x.jpg", "y.png", "y.gif", "z&1.png", "q\"x.png"})
        f.write(q(n));
    ResizeOptions o;
    o.convert = true;
    o.deleteOld = true;
    o.maxPixel = q("20\"00 & del");
    const QString d = f.path();
    const ResizePlan plan = planResize(
        filesIn(d, {q("x.png"), q("x.jpg"), q("y.png"), q("y.gif"), q("z&1.png"), q("q\"x.png")}),
        o);
    EXPECT_EQ(plan.nameTaken, 2);  // x.png (x.jpg exists) and y.gif (y.png's new name)
    EXPECT_EQ(plan.unsafe, 1);
    EXPECT_EQ(plan.commands, 3);
    const QString lines = plan.lines.join(u'\n');
    EXPECT_FALSE(lines.contains(d + q("x.png")));
    EXPECT_FALSE(lines.contains(d + q("y.gif")));
    EXPECT_TRUE(
        lines.contains(q("if not errorlevel 1 if exist ") + d + q("y.jpg del ") + d + q("y.png")));
    EXPECT_TRUE(
        lines.contains(q(" -resize \"2000 & delx2000 & del>\" -format JPEG  -quality 95 \"") + d +
                       q("z&1.jpg\"")));
    EXPECT_TRUE(resizeQuestion(q("1500"), d + q("_Resize_Pictures.bat"), 2)
                    .endsWith(q("\r\r2 Bild(er) werden nicht konvertiert: eine andere Datei trägt "
                                "schon den neuen Namen.")));
    EXPECT_EQ(
        resizeQuestion(q("1500"), q("/f/_Resize_Pictures.bat"), 0),
        q("Bild jetzt auf max 1500Pixel verkleinern?\rDie Dateien werden dabei ersetzt!\r'Nein' "
          "öffnet die Datei im Notepad!\r\rImageMageic wird mit dieser Datei gestartet:\r\r"
          "/f/_Resize_Pictures.bat"));
}

// ---- With the real ImageMagick, through the interpreter -------------------------------

class ResizeRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(q("convert")).isEmpty())
            GTEST_SKIP() << "ImageMagick's convert is not installed";
        host.dirText = folder.file(q("Fotos 2019/"));
        folder.mkdir(q("Fotos 2019"));
    }
    QString file(const char* name) const { return host.dirText + q(name); }
    void collect(const char* pattern) {
        host.pattern = q(pattern);
        host.collectFiles();
    }

    TempFolder folder;
    BatchRunner runner;
    FakeHost host{&runner};
};

TEST_F(ResizeRun, ShrinksOnlyLargePicturesAndKeepsTheirDates) {
    test::writePicture(file("big.jpg"), 3000, 2000);
    test::writePicture(file("small.jpg"), 800, 600);
    test::setModified(file("big.jpg"), 1262347200, 5);
    test::setModified(file("small.jpg"), 1262347300, 7);
    collect("*.jpg");
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};  // run, then delete the script
    ResizeOptions o;
    o.quality = 90;
    runResize(host, o);

    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(QImageReader(file("big.jpg")).size(), QSize(2000, 1333));
    EXPECT_EQ(QImageReader(file("small.jpg")).size(), QSize(800, 600));
    EXPECT_TRUE(test::modifiedAt(file("big.jpg"), 1262347200, 5));
    EXPECT_TRUE(test::modifiedAt(file("small.jpg"), 1262347300, 7));
    EXPECT_FALSE(QFile::exists(file("_Resize_Pictures.bat")));
    EXPECT_EQ(host.collections, 2);  // collected again after the run
}

// The original goes only when its new file was written; a failed conversion leaves
// neither a broken new file nor a missing original.
TEST_F(ResizeRun, PngToJpegDeletesTheOriginalOnlyAfterSuccess) {
    test::writePicture(file("b.png"), 640, 480, "PNG");
    folder.write(q("Fotos 2019/broken.png"), "this is no picture");
    test::setModified(file("b.png"), 1262347200, 0);
    collect("*.png");
    host.questionsOff = true;
    ResizeOptions o;
    o.convert = true;
    o.deleteOld = true;
    runResize(host, o);

    EXPECT_FALSE(QFile::exists(file("b.png")));
    QImageReader jpeg(file("b.jpg"));
    EXPECT_EQ(jpeg.format(), QByteArray("jpeg"));
    EXPECT_EQ(jpeg.size(), QSize(640, 480));
    EXPECT_TRUE(test::modifiedAt(file("b.jpg"), 1262347200, 0));  // the original's date
    EXPECT_EQ(folder.read(q("Fotos 2019/broken.png")), QByteArray("this is no picture"));
    EXPECT_FALSE(QFile::exists(file("broken.jpg")));
    // The failed line is reported and the script kept; the missing picture is named.
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(
        q("Beim Ausführen der Bat-Datei sind Fehler aufgetreten: 1 Zeile(n)")));
    EXPECT_TRUE(host.recorder.boxes[1].text.startsWith(
        q("1 Bild(er) wurden nicht konvertiert; die Originale sind erhalten.")));
    EXPECT_TRUE(QFile::exists(file("_Resize_Pictures.bat")));
}

// This ImageMagick refuses to write PDF (it leaves an empty file and says so) and writes
// no SVG at all without a word. Either way the original stays and nothing empty is left.
TEST_F(ResizeRun, ConversionsImageMagickCannotWriteKeepTheOriginal) {
    test::writePicture(file("b.png"), 320, 240, "PNG");
    const QByteArray original = folder.read(q("Fotos 2019/b.png"));
    collect("*.png");
    host.questionsOff = true;
    for (const char* format : {"PDF", "SVG"}) {
        ResizeOptions o;
        o.convert = true;
        o.deleteOld = true;
        o.format = q(format);
        runResize(host, o);
        EXPECT_EQ(folder.read(q("Fotos 2019/b.png")), original) << format;
        QStringList left = folder.names(q("Fotos 2019"));
        left.removeAll(q("_Resize_Pictures.bat"));
        EXPECT_EQ(left, QStringList{q("b.png")}) << format;
        EXPECT_TRUE(
            host.recorder.boxes.back().text.startsWith(q("1 Bild(er) wurden nicht konvertiert")))
            << format;
        QFile::remove(file("_Resize_Pictures.bat"));
    }
}
