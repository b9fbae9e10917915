#include <gtest/gtest.h>

#include <string_view>

#include "berlintime.h"
#include "dates/exifdate.h"
#include "dates/fileparts.h"
#include "exiftestfiles.h"
#include "support/testfiles.h"

using namespace kadrano;
using namespace kadrano::test;
using namespace std::string_view_literals;

namespace {

class ExifDateFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PinBerlinTime(); }
    TempFolder folder;

    // The moment read from a file, or -1 with the reason when there is none.
    static std::pair<qint64, bool> read(const QString& path) {
        ExifDate d;
        if (!ReadExifDate(path, d))
            return {-1, false};
        return {d.seconds, d.hasOffset};
    }
    static qint64 utc(int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC).toSecsSinceEpoch();
    }
};

}  // namespace

// The text forms found in real blocks, and the ones that are no date: a camera without a
// set clock writes zeros or blanks, and a date must exist in the calendar.
TEST(ExifDateText, DateTimesAndOffsetsAsCamerasWriteThem) {
    struct Case {
        std::string_view text;
        QDate date;
        QTime time;
    };
    const Case cases[] = {
        {"2019:07:21 14:30:05"sv, QDate(2019, 7, 21), QTime(14, 30, 5)},
        {"2019:07:21 14:30:05\0"sv, QDate(2019, 7, 21), QTime(14, 30, 5)},
        {"2019-07-21 14:30:05"sv, QDate(2019, 7, 21), QTime(14, 30, 5)},
        {"2019/07/21T14:30:05"sv, QDate(2019, 7, 21), QTime(14, 30, 5)},
        {"2019:07:21 14:30:05.250"sv, QDate(2019, 7, 21), QTime(14, 30, 5)},
        {"2020:02:29 00:00:00"sv, QDate(2020, 2, 29), QTime(0, 0, 0)},
        {"1899:12:31 23:59:59"sv, QDate(1899, 12, 31), QTime(23, 59, 59)},
        {"0000:00:00 00:00:00"sv, QDate(), QTime()},
        {"    :  :     :  :  "sv, QDate(), QTime()},
        {"2019:07:21"sv, QDate(), QTime()},
        {"2019:07-21 14:30:05"sv, QDate(), QTime()},
        {"2019:02:29 10:00:00"sv, QDate(), QTime()},
        {"2019:07:21 24:00:00"sv, QDate(), QTime()},
        {"2019:07:21_14:30:05"sv, QDate(), QTime()},
        {"19:07:21 14:30:05  "sv, QDate(), QTime()},
    };
    for (const Case& c : cases) {
        QDate d(1, 1, 1);
        QTime t(1, 1, 1);
        const bool ok = ParseExifDateTime(c.text, d, t);
        EXPECT_EQ(ok, c.date.isValid()) << c.text;
        if (ok) {
            EXPECT_EQ(d, c.date) << c.text;
            EXPECT_EQ(t, c.time) << c.text;
        } else {
            EXPECT_EQ(d, QDate(1, 1, 1)) << c.text;  // left as it was
        }
    }

    const std::pair<std::string_view, int> offsets[] = {
        {"+02:00"sv, 7200},   {"-05:30"sv, -19800}, {"+00:00"sv, 0},     {"+14:00"sv, 50400},
        {"-12:00"sv, -43200}, {"+02:00\0"sv, 7200}, {"+02:00 "sv, 7200},
    };
    for (const auto& [text, seconds] : offsets) {
        int got = 1;
        EXPECT_TRUE(ParseExifOffset(text, got)) << text;
        EXPECT_EQ(got, seconds) << text;
    }
    for (std::string_view bad : {"+14:30"sv, "+15:00"sv, "+2:00"sv, "02:00"sv, "+02:60"sv,
                                 "   :  "sv, "Z"sv, ""sv, "+0200"sv, "+02:00:00"sv}) {
        int got = 1;
        EXPECT_FALSE(ParseExifOffset(bad, got)) << bad;
        EXPECT_EQ(got, 1) << bad;
    }
}

// The original date with its own offset gives the exact moment; without an offset the
// clock reading is Berlin time with the offset of its own date (summer or winter); the
// offset of the last change (OffsetTime) is never taken for the original's.
TEST_F(ExifDateFiles, JpegWithAndWithoutOffset) {
    const QString summer =
        folder.write(q("summer.jpg"), JpegWithExif(TakenAt("2019:07:21 14:30:05")));
    EXPECT_EQ(read(summer), std::make_pair(BerlinSeconds(2019, 7, 21, 14, 30, 5), false));
    const QString winter =
        folder.write(q("winter.jpg"), JpegWithExif(TakenAt("2019:01:05 08:00:00")));
    EXPECT_EQ(read(winter), std::make_pair(BerlinSeconds(2019, 1, 5, 8, 0, 0), false));

    const QString tokyo =
        folder.write(q("tokyo.jpg"), JpegWithExif(TakenAt("2019:07:22 01:30:00", "+09:00")));
    EXPECT_EQ(read(tokyo), std::make_pair(utc(2019, 7, 21, 16, 30, 0), true));
    const QString newYork =
        folder.write(q("ny.jpg"), JpegWithExif(TakenAt("2019:07:21 20:00:00", "-04:00")));
    EXPECT_EQ(read(newYork), std::make_pair(utc(2019, 7, 22, 0, 0, 0), true));

    ExifTags lastChange = TakenAt("2019:07:21 14:30:05");
    lastChange.emplace_back("Exif.Photo.OffsetTime", "+09:00");
    lastChange.emplace_back("Exif.Image.DateTime", "2024:03:01 10:00:00");
    const QString edited = folder.write(q("edited.jpg"), JpegWithExif(lastChange));
    EXPECT_EQ(read(edited), std::make_pair(BerlinSeconds(2019, 7, 21, 14, 30, 5), false));
}

// Without a usable original date the digitized one counts, with its own offset only.
TEST_F(ExifDateFiles, DigitizedDateWhenTheOriginalIsMissingOrBlank) {
    const QString zeroed = folder.write(
        q("zeroed.jpg"), JpegWithExif({{"Exif.Photo.DateTimeOriginal", "0000:00:00 00:00:00"},
                                       {"Exif.Photo.OffsetTimeOriginal", "+09:00"},
                                       {"Exif.Photo.DateTimeDigitized", "2018:03:04 05:06:07"}}));
    EXPECT_EQ(read(zeroed), std::make_pair(BerlinSeconds(2018, 3, 4, 5, 6, 7), false));
    const QString digitizedOnly = folder.write(
        q("scan.jpg"), JpegWithExif({{"Exif.Photo.DateTimeDigitized", "2018:03:04 05:06:07"},
                                     {"Exif.Photo.OffsetTimeDigitized", "-05:00"}}));
    EXPECT_EQ(read(digitizedOnly), std::make_pair(utc(2018, 3, 4, 10, 6, 7), true));
    const QString neither = folder.write(
        q("neither.jpg"), JpegWithExif({{"Exif.Image.Make", "Testkamera"},
                                        {"Exif.Image.DateTime", "2024:03:01 10:00:00"}}));
    EXPECT_EQ(read(neither).first, -1);
}

// PNG keeps its block in an eXIf chunk; dates far from today are whole moments too.
TEST_F(ExifDateFiles, PngChunkAndDatesBefore1970AndAfter2038) {
    const QString png = folder.write(
        q("screen.png"), PngWithExifChunk(ExifBlock(TakenAt("2021:12:24 18:00:00", "+01:00"))));
    EXPECT_EQ(read(png), std::make_pair(utc(2021, 12, 24, 17, 0, 0), true));

    const QString old = folder.write(q("old.jpg"), JpegWithExif(TakenAt("1965:04:03 10:20:30")));
    EXPECT_EQ(read(old), std::make_pair(BerlinSeconds(1965, 4, 3, 10, 20, 30), false));
    EXPECT_LT(read(old).first, 0);
    const QString future =
        folder.write(q("future.jpg"), JpegWithExif(TakenAt("2041:06:07 08:09:10", "+02:00")));
    EXPECT_EQ(read(future), std::make_pair(utc(2041, 6, 7, 6, 9, 10), true));
    EXPECT_GT(read(future).first, qint64(1) << 31);
}

// Whatever a file holds, reading it gives a date or none, and never throws, crashes or
// hangs: pictures without a block, blocks cut short, garbage, loops in the block's
// directory chain, a date field holding something else.
TEST_F(ExifDateFiles, NoBlockOrADamagedOneGivesNoDate) {
    const QByteArray good = ExifBlock(TakenAt("2019:07:21 14:30:05"));
    // A TIFF header whose first directory names itself as the EXIF directory and as the
    // next directory.
    const QByteArray loop(
        "II*\0\x08\0\0\0"
        "\x01\0"
        "\x69\x87\x04\0\x01\0\0\0\x08\0\0\0"
        "\x08\0\0\0",
        26);
    const QByteArray manyEntries("II*\0\x08\0\0\0\xFF\xFF", 10);
    const QByteArray jpegCutInBlock = JpegWithExif(TakenAt("2019:07:21 14:30:05")).left(60);

    const std::pair<const char*, QByteArray> files[] = {
        {"plain.jpg", PlainJpeg()},
        {"plain.png", PlainPng()},
        {"text.jpg", QByteArray("kein Bild")},
        {"empty.jpg", QByteArray()},
        {"garbage.jpg", JpegWithExifBlock("not a TIFF header at all")},
        {"halfblock.jpg", JpegWithExifBlock(good.left(good.size() / 2))},
        {"cut.jpg", jpegCutInBlock},
        {"loop.jpg", JpegWithExifBlock(loop)},
        {"entries.jpg", JpegWithExifBlock(manyEntries)},
        {"garbage.png", PngWithExifChunk("II*\0garbage")},
        {"number.jpg", JpegWithExif({{"Exif.Photo.DateTimeOriginal", "0"}})},
    };
    for (const auto& [name, bytes] : files) {
        const QString path = folder.write(q(name), bytes);
        ExifDate d;
        d.seconds = 42;
        EXPECT_FALSE(ReadExifDate(path, d)) << name;
        EXPECT_EQ(d.seconds, 42) << name;
    }
    ExifDate d;
    EXPECT_FALSE(ReadExifDate(folder.file(q("missing.jpg")), d));
    // A folder named like a picture.
    folder.mkdir(q("folder.jpg"));
    EXPECT_FALSE(ReadExifDate(folder.file(q("folder.jpg")), d));
}

// The date tools read pictures on several threads: each file gets its own answer, also
// with XMP packets (parsed on the way) and damaged blocks among them.
TEST_F(ExifDateFiles, ManyPicturesOnSeveralThreadsAtOnce) {
    const int count = 1500;
    QStringList paths;
    std::vector<qint64> expected;
    for (int i = 0; i < count; ++i) {
        const QDateTime when = QDateTime(QDate(2010, 1, 1), QTime(0, 0), Qt::UTC).addSecs(i * 4000);
        const std::string text = when.toString(q("yyyy:MM:dd HH:mm:ss")).toStdString();
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        if (i % 5 == 4) {
            paths << folder.write(name, JpegWithExifBlock("broken"));
            expected.push_back(-1);
        } else {
            const ExifTags tags = TakenAt(text.c_str(), "+00:00");
            paths << folder.write(name, i % 2 ? JpegWithExifAndXmp(tags) : JpegWithExif(tags));
            expected.push_back(when.toSecsSinceEpoch());
        }
    }
    std::vector<qint64> got(count, -2);
    ForEachFilePart(count, [&](int first, int last, bool) {
        for (int i = first; i < last; ++i) {
            ExifDate d;
            got[std::size_t(i)] = ReadExifDate(paths[i], d) ? d.seconds : -1;
        }
    });
    EXPECT_EQ(got, expected);
}
