#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include "analysis/orientation.h"
#include "core/scripttext.h"
#include "support/testfiles.h"
#include "support/testpictures.h"

using namespace kadrano;
using kadrano::test::greyJpeg;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

QByteArray pngOf(int width, int height) {
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(30);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The JPEG with an EXIF block right after its start marker that says "turn 90° clockwise
// to show" (orientation 6), as a camera held upright writes it.
QByteArray withExifOrientation(const QByteArray& jpeg, quint16 orientation) {
    QByteArray tiff;
    tiff += QByteArray("MM\0*\0\0\0\x08", 8);           // big endian, first IFD at 8
    tiff += QByteArray("\0\x01", 2);                    // one entry
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8);  // Orientation, SHORT, count 1
    tiff += char(orientation >> 8);
    tiff += char(orientation & 0xff);
    tiff += QByteArray("\0\0", 2);      // value padding
    tiff += QByteArray("\0\0\0\0", 4);  // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment += char(length >> 8);
    segment += char(length & 0xff);
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// Where a JPEG's frame header (its size) starts.
qsizetype frameHeaderAt(const QByteArray& jpeg) {
    for (qsizetype i = 2; i + 1 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) == 0xC0 || uchar(jpeg[i + 1]) == 0xC2))
            return i;
    return -1;
}

FileList filesIn(const QString& dir, const QStringList& names) {
    FileList f;
    for (const QString& n : names)
        f.append(n, dir);
    return f;
}

QString progress(int k, int n) {
    return progressLine(k, n);
}

bool nothingExists(const QString&) {
    return false;
}

}  // namespace

// The stored grid decides, read from the header; whatever a full decode cannot read is
// unknown, and whatever it can read gives the same size.
TEST(MeasureOrientation, StoredGridOfRealPictures) {
    TempFolder folder;
    const QByteArray wide = greyJpeg(3000, 2000);
    const QString landscape = folder.write(q("quer.jpg"), wide);
    const QString portrait = folder.write(q("hoch.jpg"), greyJpeg(2000, 3000));
    const QString square = folder.write(q("quadrat.jpg"), greyJpeg(2000, 2000));
    const QString png = folder.write(q("schmal.png"), pngOf(20, 30));
    // A PNG under a JPEG name is still the picture it is.
    const QString misnamed = folder.write(q("png-inside.jpg"), pngOf(30, 20));
    const QString empty = folder.write(q("leer.jpg"), QByteArray());
    const qsizetype sof = frameHeaderAt(wide);
    ASSERT_GT(sof, 0);
    const QString cutBeforeSize = folder.write(q("abgeschnitten.jpg"), wide.left(sof + 4));
    // Cut in the middle of the picture data: the size is there, and so is a picture.
    const QString cutInData = folder.write(q("halb.jpg"), wide.left(wide.size() / 2));
    const QString text = folder.write(q("notiz.jpg"), "Kein Bild, nur Text.\n");
    const QString missing = folder.file(q("fehlt.jpg"));

    EXPECT_EQ(measureOrientation(landscape), Orientation::Landscape);
    EXPECT_EQ(measureOrientation(portrait), Orientation::Portrait);
    EXPECT_EQ(measureOrientation(square), Orientation::Landscape);
    EXPECT_EQ(measureOrientation(png), Orientation::Portrait);
    EXPECT_EQ(measureOrientation(misnamed), Orientation::Landscape);
    EXPECT_EQ(measureOrientation(empty), Orientation::Unknown);
    EXPECT_EQ(measureOrientation(cutBeforeSize), Orientation::Unknown);
    EXPECT_EQ(measureOrientation(text), Orientation::Unknown);
    EXPECT_EQ(measureOrientation(missing), Orientation::Unknown);
    EXPECT_EQ(storedPictureSize(landscape), QSize(3000, 2000));

    for (const QString& path : {landscape, portrait, square, png, misnamed, empty, cutBeforeSize,
                                cutInData, text, missing}) {
        QImageReader decoder(path);
        decoder.setAutoTransform(false);
        const QImage decoded = decoder.read();
        EXPECT_EQ(storedPictureSize(path), decoded.isNull() ? QSize() : decoded.size())
            << path.toStdString();
    }
}

// A camera held upright stores a lying grid and says "turn it" in its EXIF block: the
// grid is measured, so the picture counts as landscape although it shows upright.
TEST(MeasureOrientation, ExifTurnIsNotApplied) {
    TempFolder folder;
    const QString turned =
        folder.write(q("kamera.jpg"), withExifOrientation(greyJpeg(300, 200), 6));
    QImageReader shown(turned);
    shown.setAutoTransform(true);
    ASSERT_EQ(shown.read().size(), QSize(200, 300)) << "the EXIF block must be a valid turn";
    ASSERT_EQ(QImageReader(turned).transformation(), QImageIOHandler::TransformationRotate90);

    EXPECT_EQ(storedPictureSize(turned), QSize(300, 200));
    EXPECT_EQ(measureOrientation(turned), Orientation::Landscape);
}

TEST(OrientationTags, ProblemsWithTheTagsAreFoundBeforeAnythingIsWritten) {
    OrientationTagOptions ok;
    EXPECT_FALSE(tagProblem(ok));
    ok.portraitTag = q("Hoch_ (1)&Co. 100% ä");
    EXPECT_FALSE(tagProblem(ok));

    const auto problemFor = [](const QString& portrait, const QString& landscape) {
        OrientationTagOptions o;
        o.portraitTag = portrait;
        o.landscapeTag = landscape;
        return tagProblem(o);
    };
    const auto empty = problemFor(QString(), q("[QF]"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->titleDe, q("Kürzel fehlt"));
    EXPECT_TRUE(empty->textDe.contains(q("Hochformat")));
    const auto blanks = problemFor(q("[HF]"), q("   "));
    ASSERT_TRUE(blanks);
    EXPECT_TRUE(blanks->textDe.contains(q("Querformat")));
    EXPECT_TRUE(blanks->textEn.contains(q("landscape")));
    const auto slash = problemFor(q("H/F"), q("[QF]"));
    ASSERT_TRUE(slash);
    EXPECT_EQ(slash->titleDe, q("Ungültiges Kürzel"));
    EXPECT_TRUE(slash->textDe.contains(q("das Zeichen /,")));
    for (const char* bad : {"a\\b", "C:", "*", "?", "\"", "<", ">", "|", "a\tb"})
        EXPECT_TRUE(problemFor(q("[HF]"), q(bad))) << bad;
}

TEST(OrientationTags, TaggedNames) {
    EXPECT_EQ(taggedName(q("File1.jpg"), q("[HF]"), false), q("[HF]File1.jpg"));
    EXPECT_EQ(taggedName(q("File1.jpg"), q("[HF]"), true), q("File1[HF].jpg"));
    // The file's own extension, whatever its case, and only the last one.
    EXPECT_EQ(taggedName(q("A.JPG"), q("[HF]"), true), q("A[HF].JPG"));
    EXPECT_EQ(taggedName(q("urlaub.2019.jpg.jpg"), q("[QF]"), true), q("urlaub.2019.jpg[QF].jpg"));
    EXPECT_EQ(taggedName(q("ohne_punkt"), q("[QF]"), true), q("ohne_punkt[QF]"));
}

// Both line orders with their endings; unknown files, names that hold their tag already,
// the other tag, and the numbers of the first progress line.
TEST(OrientationTagPlan, BothPlacementsLineByLine) {
    const QString dir = q("/bilder/");
    const FileList files = filesIn(
        dir, {q("a.jpg"), q("b.jpg"), q("c.jpg"), q("[HF]d.jpg"), q("e[QF].jpg"), q("f.jpg")});
    const std::vector<Orientation> measured{Orientation::Portrait, Orientation::Landscape,
                                            Orientation::Unknown,  Orientation::Portrait,
                                            Orientation::Portrait, Orientation::Landscape};
    OrientationTagOptions options;
    OrientationScript front = planOrientationTags(files, measured, options, false, nothingExists);
    EXPECT_EQ(front.lines, scriptHeader() + QStringList({
                                                q("ren /bilder/a.jpg [HF]a.jpg"),
                                                progress(0, 6) + u'"',
                                                q("ren /bilder/b.jpg [QF]b.jpg"),
                                                progress(1, 6) + u'"',
                                                q("ren /bilder/e[QF].jpg [HF]e[QF].jpg"),
                                                progress(4, 6) + u'"',
                                                q("ren /bilder/f.jpg [QF]f.jpg"),
                                                progress(5, 6) + u'"',
                                            }));
    EXPECT_EQ(front.lines[3],
              q("@Echo #####  0%% - Verb.: 7    (Nr: 1 / 6)  Start: %Zeit% Uhr  #####\""));
    EXPECT_EQ(front.renames, 4);
    EXPECT_EQ(front.portrait, 3);
    EXPECT_EQ(front.landscape, 2);
    EXPECT_EQ(front.unknown, 1);

    options.beforeExtension = true;
    options.portraitTag = q("(hoch)");
    options.landscapeTag = q("(quer)");
    const OrientationScript back =
        planOrientationTags(files, measured, options, true, nothingExists);
    EXPECT_EQ(back.lines, scriptHeader() + QStringList({
                                               progress(0, 6),
                                               q("ren /bilder/a.jpg \"a(hoch).jpg\""),
                                               progress(1, 6),
                                               q("ren /bilder/b.jpg \"b(quer).jpg\""),
                                               progress(3, 6),
                                               q("ren /bilder/[HF]d.jpg \"[HF]d(hoch).jpg\""),
                                               progress(4, 6),
                                               q("ren /bilder/e[QF].jpg \"e[QF](hoch).jpg\""),
                                               progress(5, 6),
                                               q("ren /bilder/f.jpg \"f(quer).jpg\""),
                                               q("pause"),
                                           }));
    EXPECT_EQ(back.lines[2],
              q("@Echo #####  0%% - Verb.: 7    (Nr: 1 / 6)  Start: %Zeit% Uhr  #####"));
}

TEST(OrientationTagPlan, BlanksAndCommandCharactersInPathsAreQuoted) {
    const FileList files = filesIn(q("/Meine Bilder/"), {q("Oma & Opa.jpg"), q("100%.jpg")});
    const std::vector<Orientation> measured{Orientation::Portrait, Orientation::Landscape};
    const OrientationScript script =
        planOrientationTags(files, measured, OrientationTagOptions{}, false, nothingExists);
    EXPECT_EQ(script.lines.mid(2),
              QStringList({
                  q("ren \"/Meine Bilder/Oma & Opa.jpg\" \"[HF]Oma & Opa.jpg\""),
                  progress(0, 2) + u'"',
                  q("ren \"/Meine Bilder/100%%.jpg\" [QF]100%%.jpg"),
                  progress(1, 2) + u'"',
              }));
}

// A stopped run measured only the first files: their lines, counted against all files.
TEST(OrientationTagPlan, StoppedRunWritesTheLinesSoFar) {
    const FileList files = filesIn(q("/b/"), {q("1.jpg"), q("2.jpg"), q("3.jpg"), q("4.jpg")});
    const OrientationScript script = planOrientationTags(
        files, {Orientation::Landscape, Orientation::Portrait}, {}, false, nothingExists);
    EXPECT_EQ(script.lines.mid(2),
              QStringList({q("ren /b/1.jpg [QF]1.jpg"), progress(0, 4) + u'"',
                           q("ren /b/2.jpg [HF]2.jpg"), progress(1, 4) + u'"'}));
    EXPECT_EQ(script.lines[3],
              q("@Echo #####  0%% - Verb.: 5    (Nr: 1 / 4)  Start: %Zeit% Uhr  #####\""));
}

// A new name that is there already is never renamed onto; names that cannot stand in a
// script line and the tool's own scripts are left alone.
TEST(OrientationTagPlan, TakenUnsafeAndOwnNamesAreLeftOut) {
    const FileList files =
        filesIn(q("/b/"), {q("a.jpg"), q("b\".jpg"), q("c.jpg"), q(kOrientationTagScriptName)});
    const std::vector<Orientation> measured(4, Orientation::Landscape);
    const OrientationScript script = planOrientationTags(
        files, measured, {}, false, [](const QString& path) { return path == q("/b/[QF]a.jpg"); });
    EXPECT_EQ(script.lines.mid(2),
              QStringList({q("ren /b/c.jpg [QF]c.jpg"), progress(2, 4) + u'"'}));
    EXPECT_EQ(script.taken, 1);
    EXPECT_EQ(script.unsafe, 1);
    EXPECT_EQ(script.renames, 1);
}

TEST(OrientationRemovePlan, BothPlacementsComeOffAndTheFormatIsChecked) {
    const FileList files = filesIn(q("/Meine Bilder/"), {q("[HF]a.jpg"), q("b[QF].jpg"),
                                                         q("[QF]c[QF].jpg"), q("[HF]d[QF].jpg")});
    OrientationScript script =
        planRemoveOrientationTags(files, OrientationTagOptions{}, true, nothingExists);
    EXPECT_TRUE(script.wellFormed);
    EXPECT_EQ(script.lines, scriptHeader() + QStringList({
                                                 progress(0, 4),
                                                 q("ren \"/Meine Bilder/[HF]a.jpg\" a.jpg"),
                                                 progress(1, 4),
                                                 q("ren \"/Meine Bilder/b[QF].jpg\" b.jpg"),
                                                 progress(2, 4),
                                                 q("ren \"/Meine Bilder/[QF]c[QF].jpg\" c.jpg"),
                                                 progress(3, 4),
                                                 // Both tags: only the landscape tag goes.
                                                 q("ren \"/Meine Bilder/[HF]d[QF].jpg\" [HF]d.jpg"),
                                                 q("pause"),
                                             }));

    const FileList mixed = filesIn(q("/b/"), {q("x.jpg"), q("[QF]y.jpg"), q("[HF]")});
    script = planRemoveOrientationTags(mixed, OrientationTagOptions{}, false, nothingExists);
    EXPECT_FALSE(script.wellFormed);
    EXPECT_EQ(script.lines.mid(2), QStringList({progress(1, 3), q("ren /b/[QF]y.jpg y.jpg")}));
}

// Two tagged names that come back to one name, or a name that is there already: only
// the first free one is renamed.
TEST(OrientationRemovePlan, NeverTwoFilesOntoOneName) {
    const FileList files =
        filesIn(q("/b/"), {q("[HF]a.jpg"), q("a[QF].jpg"), q("[QF]b.jpg"), q("c[HF].jpg")});
    const OrientationScript script = planRemoveOrientationTags(
        files, {}, false, [](const QString& p) { return p == q("/b/b.jpg"); });
    EXPECT_EQ(script.lines.mid(2), QStringList({progress(0, 4), q("ren /b/[HF]a.jpg a.jpg"),
                                                progress(3, 4), q("ren /b/c[HF].jpg c.jpg")}));
    EXPECT_EQ(script.taken, 2);
}
