#include <gtest/gtest.h>

#include "berlintime.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "dates/dateintonames.h"
#include "dates/setdates.h"
#include "exiftestfiles.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BatchRunner;
using kadrano::test::berlinSeconds;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::setDiskTimes;
using kadrano::test::TempFolder;

namespace {

class DateIntoNames : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kadrano::test::pinBerlinTime(); }

    TempFolder folder;

    // A picture whose earliest stamp is the given Berlin noon (the access time later).
    QString picture(const QString& name, int y, int mo, int d,
                    const QByteArray& bytes = QByteArray("x")) {
        const QString path = folder.write(name, bytes);
        const qint64 when = berlinSeconds(y, mo, d, 12, 0, 0);
        EXPECT_TRUE(setDiskTimes(path, when + 86400 * 400, when));
        return path;
    }

    FileList listOf(const QStringList& names) const {
        FileList f;
        for (const QString& n : names)
            f.append(n, folder.path());
        return f;
    }
};

}  // namespace

TEST(NameDateFormat, FieldsAndEveryOtherCharacter) {
    const QDate d(2005, 3, 4);
    EXPECT_EQ(formatNameDate(d, q("YYYY.MM.DD")), q("2005.03.04"));
    EXPECT_EQ(formatNameDate(d, q("DD-MM-YY")), q("04-03-05"));
    EXPECT_EQ(formatNameDate(d, q("MM.YYYY")), q("03.2005"));
    EXPECT_EQ(formatNameDate(d, q("YYYYMMDD_")), q("20050304_"));
    EXPECT_EQ(formatNameDate(d, q("YYY")), q("05Y"));  // the longest field is taken first
    EXPECT_EQ(formatNameDate(d, q("yyyy Tag DD")), q("yyyy Tag 04"));
    EXPECT_EQ(dateNameFormats().size(), 18);
    EXPECT_EQ(dateNameFormats().first(), q("YYYY.MM.DD"));
    EXPECT_EQ(dateNameFormats().last(), q("DD-MM-YY"));
    EXPECT_TRUE(holdsForbiddenNameCharacter(q("DD/MM/YYYY")));
    EXPECT_TRUE(holdsForbiddenNameCharacter(q("YYYY:MM")));
    EXPECT_FALSE(holdsForbiddenNameCharacter(q("YYYY.MM.DD - ")));
}

// The whole script for a small folder: dated names are left alone, the others get their
// earliest stamp in front, names that need quotes get them.
TEST_F(DateIntoNames, WholeScriptForASmallFolder) {
    picture(q("P1000123.jpg"), 2015, 3, 4);
    picture(q("2015 Sommer.jpg"), 2016, 1, 1);
    picture(q("IMG_1234.jpg"), 2016, 7, 31);
    picture(q("2019-07-21 Strand.jpg"), 2020, 1, 1);
    picture(q("Urlaub am See.jpg"), 2014, 12, 24);
    picture(q("IMG_20190721_123456.jpg"), 2019, 7, 21);
    const FileList files =
        listOf({q("P1000123.jpg"), q("2015 Sommer.jpg"), q("IMG_1234.jpg"),
                q("2019-07-21 Strand.jpg"), q("Urlaub am See.jpg"), q("IMG_20190721_123456.jpg")});
    DateIntoNamesOptions o;
    o.pauseAtEnd = true;
    QList<int> seen;
    const DateIntoNamesPlan plan =
        planDateIntoNames(files, o, [&](int index, int n) { seen.append(index * 10 + n); });
    const QString dir = folder.path();
    EXPECT_EQ(
        plan.lines,
        scriptHeader() +
            QStringList({
                q("@Echo #####  1   Start Zeit: %Zeit% Uhr #####"),
                q("ren ") + scriptArg(dir + q("P1000123.jpg")) + q(" 2015.03.04-P1000123.jpg"),
                q("@Echo #####  2   Start Zeit: %Zeit% Uhr #####"),
                q("ren ") + scriptArg(dir + q("IMG_1234.jpg")) + q(" 2016.07.31-IMG_1234.jpg"),
                q("@Echo #####  3   Start Zeit: %Zeit% Uhr #####"),
                q("ren \"") + dir + q("Urlaub am See.jpg\" \"2014.12.24-Urlaub am See.jpg\""),
                q("@Echo #####  4   Start Zeit: %Zeit% Uhr #####"),
                q("ren ") + scriptArg(dir + q("IMG_20190721_123456.jpg")) +
                    q(" 2019.07.21-IMG_20190721_123456.jpg"),
                q("pause"),
            }));
    EXPECT_EQ(plan.withoutDate, 4);
    EXPECT_EQ(seen, QList<int>({1, 11, 22, 32, 43, 54}));
    EXPECT_EQ(plan.earliest.date(), QDate(2014, 12, 24));
    EXPECT_EQ(plan.latest.date(), QDate(2019, 7, 21));
    EXPECT_EQ(dateIntoNamesQuestion(plan, o.format, q("/F/_Datei_AddDatum.bat")),
              q("Es wurden 4 Dateien zwischen:\r2014.12.24  und  2019.07.21 gefunden\r\r"
                "jetzt umbenennen?\r\r'Nein' öffnet die Bat-Datei im Notepad!\r\r"
                "Es wird diese Datei ausgeführt / Angezeigt:\r\r/F/_Datei_AddDatum.bat\r\r"
                "Nein =  Datei im Notepad öffnen!"));
}

// The picture date is the earliest stamp, whichever it is; a file whose times cannot be
// read, and a name that cannot stand in a script, get no line.
TEST_F(DateIntoNames, EarliestStampAndFilesThatCannotBeRead) {
    const QString a = folder.write(q("a.jpg"));
    ASSERT_TRUE(
        setDiskTimes(a, berlinSeconds(2010, 5, 6, 23, 30, 0), berlinSeconds(2012, 1, 1, 0, 0, 0)));
    const QString b = folder.write(q("b.jpg"));  // born now, last written earlier
    ASSERT_TRUE(
        setDiskTimes(b, berlinSeconds(2030, 1, 1, 0, 0, 0), berlinSeconds(2011, 2, 3, 0, 30, 0)));
    folder.write(q("say \"hi\".jpg"));
    DateIntoNamesOptions o;
    o.format = q("DD.MM.YY");
    o.separator = q(" ");
    o.language = Language::English;
    const DateIntoNamesPlan plan =
        planDateIntoNames(listOf({q("a.jpg"), q("fehlt.jpg"), q("b.jpg"), q("say \"hi\".jpg")}), o);
    EXPECT_EQ(plan.lines.mid(2),
              QStringList({q("@Echo #####  1   Started at: %Zeit% Uhr  #####"),
                           q("ren ") + scriptArg(a) + q(" \"06.05.10 a.jpg\""),
                           q("@Echo #####  2   Started at: %Zeit% Uhr  #####"),
                           q("ren ") + scriptArg(b) + q(" \"03.02.11 b.jpg\"")}));
    EXPECT_EQ(plan.withoutDate, 2);
    EXPECT_EQ(plan.unsafe, 1);
}

// Nothing to do: the script is only its frame and the question shows the zero date.
TEST_F(DateIntoNames, AllNamesDatedGivesAnEmptyScriptAndTheZeroDate) {
    picture(q("2015-03-04 Urlaub.jpg"), 2016, 1, 1);
    picture(q("2015_03 x.jpg"), 2016, 1, 1);
    const DateIntoNamesPlan plan =
        planDateIntoNames(listOf({q("2015-03-04 Urlaub.jpg"), q("2015_03 x.jpg")}), {});
    EXPECT_EQ(plan.lines, scriptHeader());
    EXPECT_EQ(plan.withoutDate, 0);
    EXPECT_TRUE(
        dateIntoNamesQuestion(plan, q("YYYY-MM-DD"), q("x"))
            .startsWith(q("Es wurden 0 Dateien zwischen:\r1899-12-30  und  1899-12-30 gefunden")));
}

// Camera numbers whose digits hold "19" or "20" get their date like every other camera
// number; names that begin with a year, or hold one after a separator, keep theirs.
TEST_F(DateIntoNames, CameraNumbersAreNoYears) {
    const QStringList names = {q("IMG_01923.jpg"), q("IMG_02015.jpg"),  q("DSC_1920.jpg"),
                               q("2019 Rom.jpg"),  q("x-1999 Rom.jpg"), q("Rom 0 2019.jpg")};
    for (const QString& n : names)
        picture(n, 2018, 5, 6);
    const DateIntoNamesPlan plan = planDateIntoNames(listOf(names), {});
    EXPECT_EQ(plan.withoutDate, 3);
    const QString script = plan.lines.join(u'\n');
    for (const char* camera : {"IMG_01923.jpg", "IMG_02015.jpg", "DSC_1920.jpg"})
        EXPECT_TRUE(script.contains(q(" 2018.05.06-") + q(camera))) << camera;
    for (const char* dated : {"2019 Rom.jpg", "x-1999 Rom.jpg", "Rom 0 2019.jpg"})
        EXPECT_FALSE(script.contains(q(dated))) << dated;
}

// Run on the window: the question, the script run by the interpreter, the renamed files,
// the script deleted; "No" keeps it and shows the run-script button.
TEST_F(DateIntoNames, RunRenamesThroughTheScriptOrKeepsItForLater) {
    BatchRunner runner;
    FakeHost host(&runner);
    host.dirText = folder.path();
    picture(q("Tom&Jerry.jpg"), 2015, 3, 4);
    picture(q("2019-07-21 Strand.jpg"), 2015, 3, 4);
    picture(q("50%.jpg"), 2015, 3, 5);

    host.recorder.replies = {Mb::ResultNo};
    DateIntoNamesOptions o;
    runDateIntoNames(host, o);
    const QString script = folder.path() + q("_Datei_AddDatum.bat");
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].flags, 36);
    EXPECT_EQ(host.recorder.boxes[0].title, QString());
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(
        q("Es wurden 2 Dateien zwischen:\r2015.03.04  und  2015.03.05 gefunden")));
    EXPECT_EQ(host.recorder.editorFiles, QStringList({script}));
    EXPECT_TRUE(host.keptButtonVisible(kAddDateKept));
    EXPECT_TRUE(folder.exists(q("_Datei_AddDatum.bat")));
    EXPECT_EQ(host.settingsSaved, 1);
    ASSERT_FALSE(host.recorder.statuses.isEmpty());
    EXPECT_EQ(host.recorder.statuses.last(), q("2 Namen ohne Datum gefunden (2/3)"));

    // The same in English, answered Yes: the question stays German.
    host.lang = Language::English;
    host.recorder.boxes.clear();
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runDateIntoNames(host, o);
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(q("Es wurden 2 Dateien")));
    EXPECT_EQ(host.recorder.statuses.last(), q("2 Names without date found (2/3)"));
    EXPECT_FALSE(host.keptButtonVisible(kAddDateKept));
    EXPECT_EQ(folder.names(), QStringList({q("2015.03.04-Tom&Jerry.jpg"), q("2015.03.05-50%.jpg"),
                                           q("2019-07-21 Strand.jpg")}));
}

// A format that would make the new name a path is refused before any script exists.
TEST_F(DateIntoNames, AFormatWithAPathSeparatorIsRefused) {
    FakeHost host;
    host.dirText = folder.path();
    picture(q("a.jpg"), 2015, 3, 4);
    DateIntoNamesOptions o;
    o.format = q("DD/MM/YYYY");
    runDateIntoNames(host, o);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Ungültiges Datumsformat"));
    EXPECT_EQ(folder.names(), QStringList({q("a.jpg")}));
}

// Setting dates and then putting the date into names gives the set date, although the
// birth time of a file cannot be set here.
TEST_F(DateIntoNames, ASetDateEndsUpInTheName) {
    FakeHost host;
    host.dirText = folder.path();
    folder.write(q("a.jpg"));
    SetDatesOptions set;
    set.fixedWhenNone = true;
    set.fixedDate = q("11.11.2019");
    TimeLeft rest;
    runSetDates(host, set, rest);
    const DateIntoNamesPlan plan = planDateIntoNames(listOf({q("a.jpg")}), {});
    ASSERT_EQ(plan.withoutDate, 1);
    EXPECT_TRUE(plan.lines.at(3).endsWith(q(" 2019.11.11-a.jpg")));
}

TEST(DateIntoNamesRestore, SaysItIsNotImplemented) {
    FakeHost host;
    runDateIntoNamesRestore(host);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text, q("Noch nicht implementiert"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::OK);
}

// A number written in letters: a name without digits cannot be taken for a dated one.
QString letters(int i) {
    QString s;
    do {
        s.prepend(QChar(u'a' + i % 26));
        i /= 26;
    } while (i > 0);
    return s;
}

// A folder large enough to be read in parallel parts and in several blocks: every undated
// picture gets its own date, in list order, the dated names and a missing file none, and
// the status is reported for every file.
TEST_F(DateIntoNames, ThousandsOfFilesKeepTheirOwnDatesAndTheListOrder) {
    QStringList names;
    QStringList expected;
    int undated = 0;
    for (int i = 0; i < 9000; ++i) {
        const QString name = i % 7 == 3   ? QStringLiteral("2015-03-04 Bild %1.jpg").arg(i)
                             : i % 7 == 5 ? QStringLiteral("fehlt %1.jpg").arg(i)
                                          : q("Bild ") + letters(i) + q(".jpg");
        names << name;
        if (i % 7 == 3) {
            folder.write(name);
        } else if (i % 7 != 5) {
            // A date of its own for each file, so a mix-up between files shows.
            const QDate d = QDate(2001, 1, 1).addDays(i);
            picture(name, d.year(), d.month(), d.day());
            ++undated;
            expected
                << QStringLiteral("@Echo #####  %1   Start Zeit: %Zeit% Uhr #####").arg(undated)
                << q("ren ") + scriptArg(folder.file(name)) + u' ' +
                       scriptArg(d.toString(q("yyyy.MM.dd")) + u'-' + name);
        }
    }
    DateIntoNamesOptions o;
    o.format = q("YYYY.MM.DD");
    o.separator = q("-");
    int calls = 0;
    int lastIndex = -1;
    const DateIntoNamesPlan plan = planDateIntoNames(listOf(names), o, [&](int index, int) {
        EXPECT_EQ(index, lastIndex + 1);
        lastIndex = index;
        ++calls;
    });
    EXPECT_EQ(calls, 9000);
    EXPECT_EQ(plan.withoutDate, undated);
    for (const QString& l : expected)
        if (!plan.lines.contains(l)) {
            ADD_FAILURE() << l.toStdString();
            break;
        }
    ASSERT_EQ(plan.lines.size(), expected.size() + 2);
    EXPECT_EQ(plan.lines.mid(2, expected.size()), expected);
    EXPECT_EQ(plan.earliest.date(), QDate(2001, 1, 1));
    EXPECT_EQ(plan.latest.date(), QDate(2001, 1, 1).addDays(8999));
}

// Pictures copied in 2024 that know when they were taken: the EXIF date goes in front
// (an exact one as the local date of that moment), a picture without a usable block keeps
// its stamp, a dated name is left alone whatever its picture says. Unticked, only the
// stamps count.
TEST_F(DateIntoNames, TheDateTakenComesBeforeTheStamps) {
    using kadrano::test::jpegWithExif;
    using kadrano::test::jpegWithExifBlock;
    using kadrano::test::takenAt;
    picture(q("P1000123.jpg"), 2024, 3, 1, jpegWithExif(takenAt("2019:07:21 14:30:05")));
    // 01:30 in Tokyo is the evening before in Berlin.
    picture(q("tokyo.jpg"), 2024, 3, 1, jpegWithExif(takenAt("2019:07:22 01:30:00", "+09:00")));
    picture(
        q("screen.png"), 2024, 3, 1,
        kadrano::test::pngWithExifChunk(kadrano::test::exifBlock(takenAt("2021:12:24 18:00:00"))));
    picture(q("messenger.jpg"), 2024, 3, 2, kadrano::test::plainJpeg());
    picture(q("damaged.jpg"), 2024, 3, 3, jpegWithExifBlock("II*\0 broken"));
    picture(q("2018-05-06 Feier.jpg"), 2024, 3, 1, jpegWithExif(takenAt("2019:07:21 14:30:05")));
    picture(q("old.jpg"), 2024, 3, 1, jpegWithExif(takenAt("1965:04:03 10:20:30")));
    picture(q("future.jpg"), 2024, 3, 1, jpegWithExif(takenAt("2041:06:07 08:09:10")));
    const FileList files =
        listOf({q("P1000123.jpg"), q("tokyo.jpg"), q("screen.png"), q("messenger.jpg"),
                q("damaged.jpg"), q("2018-05-06 Feier.jpg"), q("old.jpg"), q("future.jpg")});
    auto newNames = [](const DateIntoNamesPlan& plan) {
        QStringList names;
        for (const QString& line : plan.lines)
            if (line.startsWith(q("ren ")))
                names << line.mid(line.lastIndexOf(u' ') + 1);
        return names;
    };

    DateIntoNamesOptions o;
    o.fromExif = true;
    const DateIntoNamesPlan plan = planDateIntoNames(files, o);
    EXPECT_EQ(newNames(plan),
              QStringList({q("2019.07.21-P1000123.jpg"), q("2019.07.21-tokyo.jpg"),
                           q("2021.12.24-screen.png"), q("2024.03.02-messenger.jpg"),
                           q("2024.03.03-damaged.jpg"), q("1965.04.03-old.jpg"),
                           q("2041.06.07-future.jpg")}));
    EXPECT_EQ(plan.withoutDate, 7);
    EXPECT_EQ(plan.fromExif, 5);
    EXPECT_EQ(dateIntoNamesQuestion(plan, o.format, q("/F/_Datei_AddDatum.bat")),
              q("Es wurden 7 Dateien zwischen:\r1965.04.03  und  2041.06.07 gefunden\r"
                "5 davon mit dem Aufnahmedatum (EXIF)\r\r"
                "jetzt umbenennen?\r\r'Nein' öffnet die Bat-Datei im Notepad!\r\r"
                "Es wird diese Datei ausgeführt / Angezeigt:\r\r/F/_Datei_AddDatum.bat\r\r"
                "Nein =  Datei im Notepad öffnen!"));

    o.fromExif = false;
    const DateIntoNamesPlan stamps = planDateIntoNames(files, o);
    EXPECT_EQ(newNames(stamps).first(), q("2024.03.01-P1000123.jpg"));
    EXPECT_EQ(stamps.withoutDate, 7);
    EXPECT_EQ(stamps.fromExif, 0);
    EXPECT_TRUE(dateIntoNamesQuestion(stamps, o.format, q("x"))
                    .startsWith(q("Es wurden 7 Dateien zwischen:\r2024.03.01  und  2024.03.03 "
                                  "gefunden\r\rjetzt umbenennen?")));
}
