#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "core/scripttext.h"
#include "core/toolhost.h"
#include "rename/shuffle.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BatchRunner;
using kadrano::test::FakeHost;
using kadrano::test::filesIn;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

QStringList header() {
    return scriptHeader();
}

}  // namespace

TEST(RandomInt, StartsFromTheSameStateAndStaysInRange) {
    RandomSource a, b;
    QList<int> first, second;
    for (int i = 0; i < 200; ++i) {
        first.append(a.RandomInt(1, 9999));
        second.append(b.RandomInt(1, 9999));
    }
    EXPECT_EQ(first, second);
    EXPECT_GT(QSet<int>(first.begin(), first.end()).size(), 190);
    RandomSource c;
    int low = 0, high = 0;
    for (int i = 0; i < 5000; ++i) {
        const int v = c.RandomInt(0, 23);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 23);
        low += v == 0;
        high += v == 23;
    }
    EXPECT_GT(low, 100);  // both ends are drawn, about 1 in 24 each
    EXPECT_GT(high, 100);
}

TEST(ShufflePlan, WritesAProgressLineAndARenameForEveryFile) {
    RandomSource random, expected;
    const FileList files = filesIn(q("/tmp/Fotos 2019/"), {q("File1.jpg"), q("b.jpg")});
    const RenamePlan plan = planShuffle(files, {q("#"), true}, random);
    const QString n1 = QString::number(expected.RandomInt(1, 9999)).rightJustified(4, u'0');
    const QString n2 = QString::number(expected.RandomInt(1, 9999)).rightJustified(4, u'0');
    EXPECT_EQ(
        plan.lines,
        header() + QStringList({
                       q("@Echo #####  0%% - Verb.: 3    (Nr: 1 / 2)  Start: %Zeit% Uhr  #####"),
                       q("ren \"/tmp/Fotos 2019/File1.jpg\" ") + n1 + q("#File1.jpg"),
                       q("@Echo #####  50%% - Verb.: 2    (Nr: 2 / 2)  Start: %Zeit% Uhr  #####"),
                       q("ren \"/tmp/Fotos 2019/b.jpg\" ") + n2 + q("#b.jpg"),
                       q("pause"),
                   }));
    EXPECT_EQ(plan.renames, 2);
}

TEST(ShufflePlan, FourDigitsWithLeadingZerosAndNamesThatNeedQuotes) {
    RandomSource random;
    const FileList files = filesIn(
        q("/tmp/F/"), {q("a b.jpg"), q("Tom&Jerry.jpg"), q("50%.jpg"), q("say \"hi\".jpg")});
    const RenamePlan plan = planShuffle(files, {q("#"), false}, random);
    const QRegularExpression ren(q("^ren (\\S+|\"[^\"]+\") (\"?)(\\d{4})#"));
    QStringList renames = plan.lines.filter(QRegularExpression(q("^ren ")));
    ASSERT_EQ(renames.size(), 3);  // the name with a double quote cannot be written
    EXPECT_EQ(plan.unsafe, 1);
    for (const QString& l : renames)
        EXPECT_TRUE(ren.match(l).hasMatch()) << l.toStdString();
    EXPECT_TRUE(renames[0].startsWith(q("ren \"/tmp/F/a b.jpg\" \"")));
    EXPECT_TRUE(renames[1].startsWith(q("ren \"/tmp/F/Tom&Jerry.jpg\" \"")));
    EXPECT_TRUE(renames[2].startsWith(q("ren /tmp/F/50%%.jpg ")));
    EXPECT_TRUE(renames[2].endsWith(q("#50%%.jpg")));
    EXPECT_NE(plan.lines.last(), q("pause"));
}

TEST(RestorePlan, TakesTheNumberAndSeparatorAwayAndSkipsOtherNames) {
    const FileList files =
        filesIn(q("/tmp/F/"), {q("0434#Filename.jpg"), q("abcd#x.jpg"), q("Filename.jpg")});
    // The record decides, whatever the four characters are.
    ShuffleRecords records;
    records.set(q("/tmp/F/"), {q("0434#Filename.jpg"), q("abcd#x.jpg")});
    int calls = 0;
    const RestorePlan plan =
        planRestore(files, {q("#"), false}, records, [&](int i) { EXPECT_EQ(i, calls++); });
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(plan.wellFormed);
    EXPECT_EQ(
        plan.lines,
        header() + QStringList({
                       q("@Echo #####  0%% - Verb.: 4    (Nr: 1 / 3)  Start: %Zeit% Uhr  #####"),
                       q("ren /tmp/F/0434#Filename.jpg Filename.jpg"),
                       q("@Echo #####  33%% - Verb.: 3    (Nr: 2 / 3)  Start: %Zeit% Uhr  #####"),
                       q("ren /tmp/F/abcd#x.jpg x.jpg"),
                   }));
    EXPECT_TRUE(planRestore(filesIn(q("/F/"), {q("1234#a.jpg"), q("5678#0434#b.jpg")}),
                            {q("#"), true}, ShuffleRecords())
                    .wellFormed);
}

TEST(RestorePlan, ALongerSeparatorFailsTheFormatCheckButStillRestores) {
    const FileList files = filesIn(q("/F/"), {q("0434-#a.jpg"), q("0434#b.jpg")});
    const RestorePlan plan = planRestore(files, {q("-#"), false}, ShuffleRecords());
    EXPECT_FALSE(plan.wellFormed);
    EXPECT_EQ(plan.renames, 1);
    EXPECT_EQ(plan.lines.last(), q("ren /F/0434-#a.jpg a.jpg"));
}

TEST(RestorePlan, ANameThatIsOnlyNumberAndSeparatorIsLeftAlone) {
    // Nothing would be left of "1234#": ren with an empty new name would fail at best.
    const FileList files = filesIn(q("/F/"), {q("1234#"), q("5678#b.jpg")});
    const RestorePlan plan = planRestore(files, {q("#"), false}, ShuffleRecords());
    EXPECT_TRUE(plan.wellFormed);
    EXPECT_EQ(plan.renames, 1);
    EXPECT_EQ(plan.lines.filter(QRegularExpression(q("^ren "))),
              QStringList({q("ren /F/5678#b.jpg b.jpg")}));
}

// The whole round trip through the interpreter, on names that make a sloppy script lose
// or mix up files.
class ShuffleRoundTrip : public ::testing::Test {
protected:
    TempFolder folder;
    BatchRunner runner;
    FakeHost host{&runner};
    void SetUp() override {
        ASSERT_FALSE(test::batInterpreterPath().isEmpty()) << "kadrano-bat is built with the tests";
        host.dirText = folder.path();
        host.questionsOff = true;
    }
    // The folder's files, without the shuffle's record of the names it gave.
    QStringList names() const {
        QStringList n = folder.names();
        n.removeAll(QLatin1String(kShuffleRecordName));
        n.sort();
        return n;
    }
};

TEST_F(ShuffleRoundTrip, HostileNamesComeBackAfterShuffleAndRestore) {
    const QStringList originals = {q("a b.jpg"),   q("Müll.jpg"),          q("#1.jpg"),
                                   q("50%.jpg"),   q("Foto%20Urlaub.jpg"), q("Tom&Jerry.jpg"),
                                   q("a(1).jpg"),  q("c;d.jpg"),           q("s^t.jpg"),
                                   q("-dash.jpg"), q("x=y,z!.jpg")};
    for (const QString& n : originals)
        folder.write(n, n.toUtf8());
    RandomSource random;
    runShuffle(host, {q("#")}, random);
    const QStringList shuffled = names();
    ASSERT_EQ(shuffled.size(), originals.size());
    for (const QString& n : shuffled)
        EXPECT_TRUE(QRegularExpression(q("^\\d{4}#")).match(n).hasMatch()) << n.toStdString();
    EXPECT_FALSE(folder.exists(q("_Rename_Random.bat")));

    runRestore(host, {q("#")});
    QStringList expected = originals;
    expected.sort();
    EXPECT_EQ(names(), expected);
    for (const QString& n : originals)
        EXPECT_EQ(folder.read(n), n.toUtf8()) << n.toStdString();
    // Nothing is shuffled any more: the card keeps none of our bookkeeping.
    EXPECT_FALSE(folder.exists(QLatin1String(kShuffleRecordName)));
}

TEST_F(ShuffleRoundTrip, TwiceShuffledNeedsTwoRestores) {
    folder.write(q("File1.jpg"));
    RandomSource random;
    runShuffle(host, {q("#")}, random);
    runShuffle(host, {q("#")}, random);
    ASSERT_EQ(names().size(), 1);
    EXPECT_TRUE(QRegularExpression(q("^\\d{4}#\\d{4}#File1\\.jpg$")).match(names()[0]).hasMatch());
    runRestore(host, {q("#")});
    EXPECT_TRUE(QRegularExpression(q("^\\d{4}#File1\\.jpg$")).match(names()[0]).hasMatch());
    // The record still names the once-shuffled file: the next restore needs it.
    EXPECT_TRUE(folder.exists(QLatin1String(kShuffleRecordName)));
    runRestore(host, {q("#")});
    EXPECT_EQ(names(), QStringList({q("File1.jpg")}));
    EXPECT_FALSE(folder.exists(QLatin1String(kShuffleRecordName)));
}

TEST_F(ShuffleRoundTrip, ARestoreNeverOverwritesAFileOfTheSameName) {
    // Two shuffled copies of a.jpg and the original itself: only one may become a.jpg.
    folder.write(q("0001#a.jpg"), "first");
    folder.write(q("0002#a.jpg"), "second");
    runRestore(host, {q("#")});
    EXPECT_EQ(folder.read(q("a.jpg")), QByteArray("first"));
    EXPECT_EQ(folder.read(q("0002#a.jpg")), QByteArray("second"));
    // The refused line is reported, and the script stays for the person to check.
    EXPECT_EQ(names(), (QStringList{q("0002#a.jpg"), q("_Restore_Original.bat"), q("a.jpg")}));
    ASSERT_FALSE(host.recorder.boxes.empty());
    EXPECT_TRUE(host.recorder.boxes.back().text.contains(q("1 Zeile(n) fehlgeschlagen")));
}

TEST_F(ShuffleRoundTrip, NoFilesGivesTheMessageAndWritesNothing) {
    host.questionsOff = false;
    host.lang = Language::English;
    RandomSource random;
    runShuffle(host, {q("#")}, random);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text, q("No Files found in:\r") + folder.path() + q("*.jpg"));
    EXPECT_EQ(host.recorder.boxes[0].title, q("No files found!"));
    EXPECT_EQ(host.recorder.boxes[0].flags, 64);
    EXPECT_TRUE(names().isEmpty());
}

TEST_F(ShuffleRoundTrip, TheRestoreWarnsAboutForeignNamesAndNoKeepsTheScript) {
    host.questionsOff = false;
    folder.write(q("0434#a.jpg"));
    folder.write(q("plain.jpg"));
    host.recorder.replies = {Mb::ResultNo};
    runRestore(host, {q("#")});
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Falsches Dateinamen-Format gefunden!"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::YesNo | Mb::IconError);
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(
        q("Das Dateiformat stimmt nicht (mindestens eine Datei)\r\r"
          "Die Namen follten folgendes Format haben: 1234#Filename.jpg0434#Filename.jpg \r\r")));
    EXPECT_TRUE(folder.exists(q("_Restore_Original.bat")));
    EXPECT_EQ(host.recorder.editorFiles, QStringList({folder.file(q("_Restore_Original.bat"))}));
    EXPECT_TRUE(host.keptButtonVisible(kRestoreKept));
    EXPECT_TRUE(folder.exists(q("0434#a.jpg")));
}

// Every separator a person might type, with dated names and names that only look numbered.
const QStringList kSeparators = {q("-"), q("_"), q("#"), q(" "), q("."), q("~"), q(" - "), q("--")};

TEST(RestoreRule, WithoutARecordDatesAndNumberedNamesKeepTheirBeginning) {
    for (const QString& s : kSeparators) {
        SCOPED_TRACE(s.toStdString());
        for (const QString& dated :
             {q("2019") + s + q("07") + s + q("21 Strand.jpg"), q("1999") + s + q("Silvester.jpg"),
              q("1850") + s + q("Hochzeit.jpg"), q("2199") + s + q("x.jpg"),
              q("0721") + s + q("2019 Strand.jpg"), q("3107") + s + q("2019.jpg")})
            EXPECT_FALSE(restoresName(dated, s, ShuffleRecordSays::NoRecord))
                << dated.toStdString();
        for (const QString& shuffled :
             {q("0434") + s + q("Strand.jpg"), q("9999") + s + q("2019-07-21 Strand.jpg"),
              q("0001") + s + q("a.b.jpg"), q("2200") + s + q("x.jpg"), q("1799") + s + q("x.jpg"),
              q("1203") + s + q("20190.jpg")})
            EXPECT_TRUE(restoresName(shuffled, s, ShuffleRecordSays::NoRecord))
                << shuffled.toStdString();
        // The record overrules every guess, both ways.
        EXPECT_TRUE(restoresName(q("2019") + s + q("07-21.jpg"), s, ShuffleRecordSays::Given));
        EXPECT_FALSE(restoresName(q("0434") + s + q("x.jpg"), s, ShuffleRecordSays::NotGiven));
        // Nothing would be left of the name.
        EXPECT_FALSE(restoresName(q("0434") + s, s, ShuffleRecordSays::Given));
    }
    // "0001.jpg" is a numbered picture, not "jpg" shuffled with the separator ".".
    EXPECT_FALSE(restoresName(q("0001.jpg"), q("."), ShuffleRecordSays::NoRecord));
    EXPECT_TRUE(restoresName(q("0001.jpg"), q("."), ShuffleRecordSays::Given));
    // Without a separator the number must end where the shuffle's ends.
    EXPECT_FALSE(restoresName(q("12345678.jpg"), QString(), ShuffleRecordSays::NoRecord));
    EXPECT_FALSE(restoresName(q("20190721.jpg"), QString(), ShuffleRecordSays::NoRecord));
    EXPECT_TRUE(restoresName(q("0434File.jpg"), QString(), ShuffleRecordSays::NoRecord));
    // Letters in front were never a shuffle's number.
    EXPECT_FALSE(restoresName(q("abcd#x.jpg"), q("#"), ShuffleRecordSays::NoRecord));
    EXPECT_FALSE(restoresName(q("IMG_0001.jpg"), q("_"), ShuffleRecordSays::NoRecord));
}

TEST(RestorePlan, ANameNoShuffleGaveIsLeftAloneAndTheFormatWarningComes) {
    // The folder was never shuffled: the date stays, and the person is warned.
    const RestorePlan untouched = planRestore(filesIn(q("/F/"), {q("2019-07-21 Strand.jpg")}),
                                              {q("-"), false}, ShuffleRecords());
    EXPECT_EQ(untouched.renames, 0);
    EXPECT_EQ(untouched.leftAlone, 1);
    EXPECT_FALSE(untouched.wellFormed);
    EXPECT_EQ(untouched.lines, header());

    // With a record only its names lose their number, even one that starts like a year.
    const FileList files =
        filesIn(q("/F/"), {q("2019-07-21 Strand.jpg"), q("0434-2019-07-21 Strand.jpg"),
                           q("0815-Notizen.jpg"), q("2020-Meer.jpg")});
    ShuffleRecords records;
    records.set(q("/F/"), {q("0434-2019-07-21 Strand.jpg"), q("2020-Meer.jpg")});
    const RestorePlan plan = planRestore(files, {q("-"), false}, records);
    EXPECT_EQ(plan.lines.filter(QRegularExpression(q("^ren "))),
              QStringList({q("ren \"/F/0434-2019-07-21 Strand.jpg\" \"2019-07-21 Strand.jpg\""),
                           q("ren /F/2020-Meer.jpg Meer.jpg")}));
    EXPECT_EQ(plan.leftAlone, 2);
    EXPECT_FALSE(plan.wellFormed);
}

TEST(ShuffleRecord, KeepsTheNamesStillThereAddsTheNewOnesAndReadsOnlyARecord) {
    TempFolder folder;
    const QString dir = folder.path();
    folder.write(q("a.jpg"));
    folder.write(q("0001#b.jpg"));
    folder.write(QLatin1String(kShuffleRecordName),
                 shuffleRecordText({q("0001#b.jpg"), q("0002#weg.jpg")}));
    const FileList files = filesIn(dir, {q("a.jpg"), q("0001#b.jpg")});
    EXPECT_TRUE(
        recordGivenNames(files, {{0, q("0003#a.jpg")}, {1, q("0004#0001#b.jpg")}}).isEmpty());
    EXPECT_EQ(readShuffleRecord(dir),
              QStringList({q("0001#b.jpg"), q("0003#a.jpg"), q("0004#0001#b.jpg")}));

    const ShuffleRecords records = ShuffleRecords::readFor(files);
    EXPECT_EQ(records.about(dir, q("0003#a.jpg")), ShuffleRecordSays::Given);
    EXPECT_EQ(records.about(dir, q("0002#weg.jpg")), ShuffleRecordSays::NotGiven);
    EXPECT_EQ(records.about(q("/elsewhere/"), q("0003#a.jpg")), ShuffleRecordSays::NoRecord);

    // A file of the person's under that name, or a pipe, is no record; the pipe must not
    // keep the program waiting for a writer.
    folder.write(QLatin1String(kShuffleRecordName), "0003#a.jpg\n");
    EXPECT_EQ(readShuffleRecord(dir), std::nullopt);
    QFile::remove(folder.file(QLatin1String(kShuffleRecordName)));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(folder.file(QLatin1String(kShuffleRecordName))).constData(),
                 0600),
        0);
    EXPECT_EQ(readShuffleRecord(dir), std::nullopt);
    EXPECT_TRUE(recordGivenNames(files, {{0, q("0005#a.jpg")}}).isEmpty());
    EXPECT_EQ(readShuffleRecord(dir), QStringList({q("0005#a.jpg")}));
}

TEST_F(ShuffleRoundTrip, DatedNamesComeBackWhateverTheSeparatorAndASecondRestoreKeepsThem) {
    host.withSubdirs = true;
    const QStringList originals = {q("2019-07-21 Strand.jpg"), q("1999 Silvester.jpg"),
                                   q("2020_01_01.jpg"), q("0815.jpg"), q("Meer.jpg")};
    for (const QString& s : {q("-"), q(" "), q("."), q("_"), q("~"), q(" - ")}) {
        SCOPED_TRACE(s.toStdString());
        const QString top = QStringLiteral("sep%1/").arg(kSeparators.indexOf(s));
        for (const QString& n : originals) {
            folder.write(top + n, n.toUtf8());
            folder.write(top + q("Unter/") + n, n.toUtf8());
        }
        host.dirText = folder.file(top);
        RandomSource random;
        runShuffle(host, {s}, random);
        QStringList expected = originals;
        expected.sort();
        auto pictures = [&](const QString& sub) {
            QStringList n = folder.names(top + sub);
            n.removeAll(QLatin1String(kShuffleRecordName));
            n.sort();
            return n;
        };
        ASSERT_NE(pictures(QString()), expected);
        for (int round = 0; round < 2; ++round) {
            runRestore(host, {s});
            EXPECT_EQ(pictures(QString()), expected) << "restore " << round + 1;
            EXPECT_EQ(pictures(q("Unter/")), expected) << "restore " << round + 1;
        }
    }
}

TEST_F(ShuffleRoundTrip, ARestoreOfANeverShuffledFolderWarnsAndChangesNothing) {
    host.questionsOff = false;
    folder.write(q("2019-07-21 Strand.jpg"));
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runRestore(host, {q("-")});
    ASSERT_FALSE(host.recorder.boxes.empty());
    EXPECT_EQ(host.recorder.boxes[0].title, q("Falsches Dateinamen-Format gefunden!"));
    EXPECT_EQ(names(), QStringList({q("2019-07-21 Strand.jpg")}));
}

TEST_F(ShuffleRoundTrip, WithEveryFileTheProgramsOwnFilesStayAsTheyAre) {
    host.pattern = q("*.*");
    // As the duplicate and resize areas declare them to the window.
    host.ownFiles = {kChecksumListFileName, kResizeScriptName};
    folder.write(q("a.jpg"));
    folder.write(q("Notizen.txt"));
    folder.write(QLatin1String(kChecksumListFileName), "list");
    folder.write(QLatin1String(kResizeScriptName), "script");
    RandomSource random;
    runShuffle(host, {q("#")}, random);
    const QStringList shuffled = names();
    ASSERT_EQ(shuffled.size(), 4) << shuffled.join(u',').toStdString();
    EXPECT_EQ(shuffled.filter(QRegularExpression(q("^\\d{4}#(a\\.jpg|Notizen\\.txt)$"))).size(), 2);
    EXPECT_TRUE(shuffled.contains(QLatin1String(kChecksumListFileName)));
    EXPECT_TRUE(shuffled.contains(QLatin1String(kResizeScriptName)));
    EXPECT_FALSE(folder.exists(QLatin1String(kShuffleScriptName)));  // ran and was deleted
    runRestore(host, {q("#")});
    QStringList expected = {QLatin1String(kChecksumListFileName), QLatin1String(kResizeScriptName),
                            q("Notizen.txt"), q("a.jpg")};
    expected.sort();
    EXPECT_EQ(names(), expected);
}

TEST_F(ShuffleRoundTrip, ARecordThatCannotBeWrittenStopsTheShuffle) {
    folder.write(q("a.jpg"));
    folder.mkdir(QLatin1String(kShuffleRecordName));  // a folder where the file should go
    RandomSource random;
    runShuffle(host, {q("#")}, random);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(
        q("Die Liste der gemischten Namen konnte nicht gespeichert werden:\r")));
    EXPECT_TRUE(host.recorder.boxes[0].text.endsWith(q("Es wurde nichts umbenannt.")));
    EXPECT_EQ(names(), QStringList({q("a.jpg")}));
    EXPECT_TRUE(runner.calls.empty());
}
