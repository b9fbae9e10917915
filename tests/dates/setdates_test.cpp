#include <gtest/gtest.h>

#include <cstdio>

#include "berlintime.h"
#include "dates/filedate.h"
#include "dates/setdates.h"
#include "exiftestfiles.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BerlinSeconds;
using kadrano::test::DiskTimes;
using kadrano::test::FakeHost;
using kadrano::test::ReadDiskTimes;
using kadrano::test::SetDiskTimes;
using kadrano::test::TempFolder;

namespace {

QString q(const char* s) {
    return QString::fromUtf8(s);
}

SetDatesOptions options(bool name, bool folder, bool fixed, const char* fixedDate = "11.11.2019") {
    SetDatesOptions o;
    o.fromFileName = name;
    o.fromFolderName = folder;
    o.fixedWhenNone = fixed;
    o.fixedDate = q(fixedDate);
    return o;
}

class SetDates : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kadrano::test::PinBerlinTime(); }
    void SetUp() override { host.dirText = folder.path(); }

    TempFolder folder;
    FakeHost host;
    RestZeit rest;
    const qint64 old = BerlinSeconds(2001, 2, 3, 4, 5, 6);

    QString file(const QString& name, const QByteArray& bytes = QByteArray("x")) {
        const QString path = folder.write(name, bytes);
        EXPECT_TRUE(SetDiskTimes(path, old, old));
        return path;
    }
    static qint64 noon(int y, int mo, int d) { return BerlinSeconds(y, mo, d, 12, 0, 0); }
    QString finalText() const { return host.recorder.boxes.back().text; }
};

}  // namespace

// Which date a file gets: name before folder before fixed date; a year alone takes the
// fixed date's month and day; a text the parser cannot read gives no date at all.
TEST(ChooseFileDate, SourcesPrecedenceAndCompletion) {
    const auto all = options(true, true, true);
    struct Case {
        const char* name;
        const char* folder;
        SetDatesOptions o;
        DateSource source;
        QDate date;
    };
    const Case cases[] = {
        {"2019-07-21 Strand.jpg", "2016-08-01 Ferien", all, DateSource::FileName,
         QDate(2019, 7, 21)},
        {"2019-07-21 Strand.jpg", "", options(true, false, false), DateSource::FileName,
         QDate(2019, 7, 21)},
        {"IMG_0001.jpg", "2016-08-01 Ferien", all, DateSource::FolderName, QDate(2016, 8, 1)},
        {"IMG_0001.jpg", "2016-08-01 Ferien", options(false, true, false), DateSource::FolderName,
         QDate(2016, 8, 1)},
        {"2019-07-21 Strand.jpg", "2016-08-01 Ferien", options(false, true, true),
         DateSource::FolderName, QDate(2016, 8, 1)},
        {"IMG_0001.jpg", "Fotos", all, DateSource::FixedDate, QDate(2019, 11, 11)},
        {"IMG_0001.jpg", "2016-08-01 Ferien", options(false, false, true), DateSource::FixedDate,
         QDate(2019, 11, 11)},
        {"2015 Urlaub.jpg", "", options(true, false, false), DateSource::FileName,
         QDate(2015, 11, 11)},
        {"x.jpg", "2014 Wandern", options(true, true, false, "24.12.2019"), DateSource::FolderName,
         QDate(2014, 12, 24)},
        {"04.03.2015 Kirche.jpg", "", all, DateSource::FileName, QDate(2015, 3, 4)},
        {"IMG_0001.jpg", "Fotos", options(true, true, false), DateSource::None, QDate()},
        {"2019-07-21 Strand.jpg", "", options(false, false, false), DateSource::None, QDate()},
        // Unreadable texts: the file is left alone, never given the fixed date instead.
        {"2015_03_04 Urlaub.jpg", "", all, DateSource::FileName, QDate()},
        {"2015-03 Urlaub.jpg", "", all, DateSource::FileName, QDate()},
        {"IMG_0001.jpg", "", options(false, false, true, "11.13.2019"), DateSource::FixedDate,
         QDate()},
        {"2015 Urlaub.jpg", "", options(true, false, true, "irgendwann"), DateSource::FileName,
         QDate()},
    };
    for (const Case& c : cases) {
        const FileDateChoice got = ChooseFileDate(q(c.name), q(c.folder), c.o);
        EXPECT_EQ(int(got.source), int(c.source)) << c.name << " in " << c.folder;
        EXPECT_EQ(got.date, c.date)
            << c.name << " in " << c.folder << ": " << got.text.toStdString();
    }
    EXPECT_EQ(ContainingFolderName(q("/home/a/2016-08-01 Ferien/")), q("2016-08-01 Ferien"));
    EXPECT_EQ(ContainingFolderName(q("C:\\Fotos\\2015-03-04 Urlaub\\")), q("2015-03-04 Urlaub"));
}

// Only the fixed date: every file gets it at noon as all three stamps.
TEST_F(SetDates, FixedDateForEveryFile) {
    const QString a = file(q("a.jpg"));
    const QString b = file(q("Bild 2.jpg"));
    RunSetDates(host, options(false, false, true), rest);
    for (const QString& p : {a, b}) {
        EXPECT_EQ(ReadDiskTimes(p), (DiskTimes{noon(2019, 11, 11), noon(2019, 11, 11)}));
        FileTimes t;
        ASSERT_TRUE(ReadFileTimes(p, t));
        EXPECT_EQ(t.created, t.written);
        EXPECT_EQ(t.written.toString(q("dd.MM.yyyy HH:mm:ss")), q("11.11.2019 12:00:00"));
    }
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Beendet"));
    EXPECT_EQ(host.recorder.boxes[0].flags, 64);
    EXPECT_EQ(finalText(),
              q("Vorgang abgeschlossen\rDas Datum wurde bei 2 von 2 Dateien gesetzt!"));
    EXPECT_EQ(host.settingsSaved, 1);
    EXPECT_EQ(host.updateLinkShown, 1);
    EXPECT_EQ(host.collections, 2);
    ASSERT_FALSE(host.recorder.statuses.isEmpty());
    EXPECT_TRUE(host.recorder.statuses.last().startsWith(q("(Restzeit: ")));
    EXPECT_TRUE(host.recorder.statuses.last().endsWith(q(")   Setze Datum: 1/2")));
}

// Names, folders and the fixed date together, with a read-only file and an unreadable
// name among them; the summer date keeps its noon.
TEST_F(SetDates, EachSourceReadOnlyAndUnreadable) {
    folder.mkdir(q("2016-08-01 Ferien"));
    const QString named = file(q("2016-08-01 Ferien/2019-07-21 Strand.jpg"));
    const QString inFolder = file(q("2016-08-01 Ferien/IMG_0001.jpg"));
    const QString yearOnly = file(q("2015 Urlaub.jpg"));
    const QString fixed = file(q("P100.jpg"));
    const QString unreadable = file(q("2015_03_04 Urlaub.jpg"));
    const QString readOnly = file(q("2018-05-06 geschützt.jpg"));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup));
    host.withSubdirs = true;
    host.lang = Language::English;
    RunSetDates(host, options(true, true, true, "24.12.2019"), rest);

    EXPECT_EQ(ReadDiskTimes(named).modified, noon(2019, 7, 21));
    EXPECT_EQ(ReadDiskTimes(inFolder).modified, noon(2016, 8, 1));
    EXPECT_EQ(ReadDiskTimes(yearOnly).modified, noon(2015, 12, 24));
    EXPECT_EQ(ReadDiskTimes(fixed).modified, noon(2019, 12, 24));
    EXPECT_EQ(ReadDiskTimes(unreadable), (DiskTimes{old, old}));
    EXPECT_EQ(ReadDiskTimes(readOnly), (DiskTimes{old, old}));
    // The final box is German in both languages.
    EXPECT_EQ(finalText(), q("Vorgang abgeschlossen\rDas Datum wurde bei 4 von 6 Dateien gesetzt!"
                             "\r\r1 Datei(en) mit unlesbarem Datum blieben unverändert."));
    EXPECT_FALSE(host.recorder.statuses.filter(q("(Time left: ")).isEmpty());
}

// A date the file system cannot hold (ext4 keeps 1901 to 2446 and silently stores the
// nearest it can) is not counted as set and leaves the file as it was; a file system that
// does hold it gets it exactly.
TEST_F(SetDates, DatesTheDiskCannotHoldAreReportedNotSet) {
    const char* names[] = {"9999-12-31 Zukunft.jpg", "0001-01-01 Anfang.jpg"};
    const qint64 wanted[] = {noon(9999, 12, 31), noon(1, 1, 1)};
    int held = 0;
    bool holds[2];
    for (int i = 0; i < 2; ++i) {
        const QString probe = folder.write(q("probe"));
        holds[i] =
            SetDiskTimes(probe, wanted[i], wanted[i]) && ReadDiskTimes(probe).modified == wanted[i];
        held += holds[i] ? 1 : 0;
        QFile::remove(probe);
    }
    if (held == 2)
        std::printf("note: this file system holds both dates; only the storing is checked\n");
    const QString a = file(q(names[0]));
    const QString b = file(q(names[1]));
    const QString c = file(q("2019-07-21 Strand.jpg"));
    RunSetDates(host, options(true, false, false), rest);
    const QString paths[] = {a, b};
    for (int i = 0; i < 2; ++i) {
        if (holds[i])
            EXPECT_EQ(ReadDiskTimes(paths[i]).modified, wanted[i]) << names[i];
        else
            EXPECT_EQ(ReadDiskTimes(paths[i]), (DiskTimes{old, old})) << names[i];
    }
    EXPECT_EQ(ReadDiskTimes(c).modified, noon(2019, 7, 21));
    QString expected =
        q("Vorgang abgeschlossen\rDas Datum wurde bei %1 von 3 Dateien gesetzt!").arg(held + 1);
    if (held < 2)
        expected += q("\r\r%1 Datei(en) blieben unverändert: ihr Datum liegt außerhalb dessen, "
                      "was das Laufwerk speichern kann.")
                        .arg(2 - held);
    EXPECT_EQ(finalText(), expected);
}

// Nothing chosen: nothing changes and the box says so.
TEST_F(SetDates, NoOptionChangesNothing) {
    const QString a = file(q("2019-07-21 Strand.jpg"));
    RunSetDates(host, options(false, false, false), rest);
    EXPECT_EQ(ReadDiskTimes(a), (DiskTimes{old, old}));
    EXPECT_EQ(finalText(),
              q("Vorgang abgeschlossen\rDas Datum wurde bei 0 von 1 Dateien gesetzt!"));
}

// A fixed date every file would need and nobody can read stops the run before it writes;
// one that only some files need leaves just those alone.
TEST_F(SetDates, AnUnreadableFixedDateThatEveryFileNeedsStopsTheRun) {
    const QString a = file(q("a.jpg"));
    const QString year = file(q("2015 Urlaub.jpg"));
    RunSetDates(host, options(true, false, true, "31.02.2019"), rest);
    EXPECT_EQ(ReadDiskTimes(a), (DiskTimes{old, old}));
    EXPECT_EQ(ReadDiskTimes(year), (DiskTimes{old, old}));
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Ungültiges Datum"));
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Das Datum \"31.02.2019\" kann nicht gelesen werden.\rBitte ein Datum wie "
                "11.11.2019 eingeben.\r\rEs wurde kein Datum geändert."));

    host.recorder.boxes.clear();
    const QString dated = file(q("2019-07-21 Strand.jpg"));
    RunSetDates(host, options(true, false, true, "31.02.2019"), rest);
    EXPECT_EQ(ReadDiskTimes(dated).modified, noon(2019, 7, 21));
    EXPECT_EQ(ReadDiskTimes(a), (DiskTimes{old, old}));
    EXPECT_EQ(finalText(), q("Vorgang abgeschlossen\rDas Datum wurde bei 1 von 3 Dateien gesetzt!"
                             "\r\r2 Datei(en) mit unlesbarem Datum blieben unverändert."));
}

TEST_F(SetDates, NoFilesSaysSoInGerman) {
    host.lang = Language::English;
    RunSetDates(host, options(false, false, true), rest);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Keine Dateien gefunden in:\r") + folder.path() + q("*.jpg"));
    EXPECT_EQ(host.recorder.boxes[0].title, q("Keine Dateien gefunden!"));
}

// A folder large enough to be set in parallel parts: every file gets its own date (from
// its name), a read-only file in the middle keeps its times and is not counted, and the
// status ends on the last file.
TEST_F(SetDates, ThousandsOfFilesEachGetTheirOwnDate) {
    QStringList paths;
    for (int i = 0; i < 3000; ++i) {
        const QDate d = QDate(2001, 1, 1).addDays(i);
        paths << file(d.toString(q("yyyy-MM-dd")) + QStringLiteral(" Bild %1.jpg").arg(i));
    }
    ASSERT_TRUE(QFile::setPermissions(paths[1700], QFile::ReadOwner | QFile::ReadGroup));
    RunSetDates(host, options(true, false, false), rest);
    for (int i = 0; i < 3000; ++i) {
        const QDate d = QDate(2001, 1, 1).addDays(i);
        const DiskTimes expected = i == 1700 ? DiskTimes{old, old}
                                             : DiskTimes{noon(d.year(), d.month(), d.day()),
                                                         noon(d.year(), d.month(), d.day())};
        ASSERT_EQ(ReadDiskTimes(paths[i]), expected) << i;
    }
    EXPECT_EQ(finalText(),
              q("Vorgang abgeschlossen\rDas Datum wurde bei 2999 von 3000 Dateien gesetzt!"));
    const QStringList shown = host.recorder.statuses.filter(q("Setze Datum: "));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.last().endsWith(q(")   Setze Datum: 2999/3000")))
        << shown.last().toStdString();
}

namespace {

SetDatesOptions withExif(SetDatesOptions o) {
    o.fromExif = true;
    return o;
}

qint64 utcSeconds(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC).toSecsSinceEpoch();
}

}  // namespace

// The date taken comes before name, folder and fixed date, and is set to the second as all
// stamps (an exact one as that moment); pictures without a usable block follow the other
// sources; a read-only picture keeps its times. Unticked, the names and folders count.
TEST_F(SetDates, TheDateTakenComesFirstToTheSecond) {
    using kadrano::test::JpegWithExif;
    using kadrano::test::TakenAt;
    folder.mkdir(q("2016-08-01 Ferien"));
    const QString named = file(q("2016-08-01 Ferien/2019-07-21 Strand.jpg"),
                               JpegWithExif(TakenAt("2018:05:06 07:08:09")));
    const QString tokyo = file(q("2016-08-01 Ferien/IMG_0001.jpg"),
                               JpegWithExif(TakenAt("2019:07:22 01:30:00", "+09:00")));
    const QString plain = file(q("2016-08-01 Ferien/IMG_0002.jpg"), kadrano::test::PlainJpeg());
    const QString damaged =
        file(q("2016-08-01 Ferien/damaged.jpg"), kadrano::test::JpegWithExifBlock("II*\0 kaputt"));
    const QString old1965 =
        file(q("2016-08-01 Ferien/old.jpg"), JpegWithExif(TakenAt("1965:04:03 10:20:30")));
    const QString future = file(q("2016-08-01 Ferien/future.jpg"),
                                JpegWithExif(TakenAt("2041:06:07 08:09:10", "+02:00")));
    const QString readOnly =
        file(q("2016-08-01 Ferien/geschützt.jpg"), JpegWithExif(TakenAt("2017:01:02 03:04:05")));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup));
    host.withSubdirs = true;
    RunSetDates(host, withExif(options(true, true, true)), rest);

    const qint64 taken = BerlinSeconds(2018, 5, 6, 7, 8, 9);
    EXPECT_EQ(ReadDiskTimes(named), (DiskTimes{taken, taken}));
    EXPECT_EQ(ReadDiskTimes(tokyo).modified, utcSeconds(2019, 7, 21, 16, 30, 0));
    EXPECT_EQ(ReadDiskTimes(plain).modified, noon(2016, 8, 1));
    EXPECT_EQ(ReadDiskTimes(damaged).modified, noon(2016, 8, 1));
    EXPECT_EQ(ReadDiskTimes(old1965).modified, BerlinSeconds(1965, 4, 3, 10, 20, 30));
    EXPECT_EQ(ReadDiskTimes(future).modified, utcSeconds(2041, 6, 7, 6, 9, 10));
    EXPECT_EQ(ReadDiskTimes(readOnly).modified, old);
    FileTimes t;
    ASSERT_TRUE(ReadFileTimes(named, t));
    EXPECT_EQ(t.written.toString(q("dd.MM.yyyy HH:mm:ss")), q("06.05.2018 07:08:09"));
    EXPECT_EQ(finalText(), q("Vorgang abgeschlossen\rDas Datum wurde bei 6 von 7 Dateien gesetzt!"
                             "\r4 davon mit dem Aufnahmedatum (EXIF), auf die Sekunde genau."));

    RunSetDates(host, options(true, true, true), rest);
    EXPECT_EQ(ReadDiskTimes(named).modified, noon(2019, 7, 21));
    EXPECT_EQ(ReadDiskTimes(tokyo).modified, noon(2016, 8, 1));
    EXPECT_EQ(finalText(),
              q("Vorgang abgeschlossen\rDas Datum wurde bei 6 von 7 Dateien gesetzt!"));
}

// A picture with a date of its own needs no fixed date: one nobody can read leaves only
// the others alone (and a name the parser cannot read does not count against a picture
// that has its date). Without any such picture the run still stops with the box that says
// why, having changed nothing.
TEST_F(SetDates, AnUnreadableFixedDateLeavesOnlyThePicturesWithoutADateTaken) {
    const QString taken =
        file(q("2015_03_04 Urlaub.jpg"),
             kadrano::test::JpegWithExif(kadrano::test::TakenAt("2015:03:04 11:12:13")));
    const QString without = file(q("a.jpg"));
    RunSetDates(host, withExif(options(true, false, true, "31.02.2019")), rest);
    EXPECT_EQ(ReadDiskTimes(taken).modified, BerlinSeconds(2015, 3, 4, 11, 12, 13));
    EXPECT_EQ(ReadDiskTimes(without).modified, old);
    EXPECT_EQ(finalText(), q("Vorgang abgeschlossen\rDas Datum wurde bei 1 von 2 Dateien gesetzt!"
                             "\r1 davon mit dem Aufnahmedatum (EXIF), auf die Sekunde genau."
                             "\r\r1 Datei(en) mit unlesbarem Datum blieben unverändert."));

    ASSERT_TRUE(QFile::remove(taken));
    host.recorder.boxes.clear();
    RunSetDates(host, withExif(options(false, false, true, "31.02.2019")), rest);
    EXPECT_EQ(ReadDiskTimes(without).modified, old);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Ungültiges Datum"));
    EXPECT_TRUE(host.recorder.boxes[0].text.endsWith(q("Es wurde kein Datum geändert.")));
}

// A date taken that the disk cannot hold is reported like a name's date, not counted as set.
TEST_F(SetDates, ADateTakenTheDiskCannotHoldIsReportedNotSet) {
    const qint64 wanted = BerlinSeconds(1850, 3, 4, 5, 6, 7);
    const QString probe = folder.write(q("probe"));
    const bool holds =
        SetDiskTimes(probe, wanted, wanted) && ReadDiskTimes(probe).modified == wanted;
    QFile::remove(probe);
    if (holds)
        GTEST_SKIP() << "this file system holds 1850";
    const QString early =
        file(q("IMG_0001.jpg"),
             kadrano::test::JpegWithExif(kadrano::test::TakenAt("1850:03:04 05:06:07")));
    RunSetDates(host, withExif(options(false, false, false)), rest);
    EXPECT_EQ(ReadDiskTimes(early).modified, old);  // reading the block may mark it opened
    EXPECT_EQ(
        finalText(),
        q("Vorgang abgeschlossen\rDas Datum wurde bei 0 von 1 Dateien gesetzt!\r\r1 Datei(en) "
          "blieben unverändert: ihr Datum liegt außerhalb dessen, was das Laufwerk speichern "
          "kann."));
}
