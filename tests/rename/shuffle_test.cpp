#include <gtest/gtest.h>

#include <QDir>
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
    return ScriptHeader();
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
    const RenamePlan plan = PlanShuffle(files, {q("#"), true}, random);
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
    const RenamePlan plan = PlanShuffle(files, {q("#"), false}, random);
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
    int calls = 0;
    const RestorePlan plan =
        PlanRestore(files, {q("#"), false}, [&](int i) { EXPECT_EQ(i, calls++); });
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
    EXPECT_TRUE(
        PlanRestore(filesIn(q("/F/"), {q("1234#a.jpg"), q("5678#0434#b.jpg")}), {q("#"), true})
            .wellFormed);
}

TEST(RestorePlan, ALongerSeparatorFailsTheFormatCheckButStillRestores) {
    const FileList files = filesIn(q("/F/"), {q("0434-#a.jpg"), q("0434#b.jpg")});
    const RestorePlan plan = PlanRestore(files, {q("-#"), false});
    EXPECT_FALSE(plan.wellFormed);
    EXPECT_EQ(plan.renames, 1);
    EXPECT_EQ(plan.lines.last(), q("ren /F/0434-#a.jpg a.jpg"));
}

TEST(RestorePlan, ANameThatIsOnlyNumberAndSeparatorIsLeftAlone) {
    // Nothing would be left of "1234#": ren with an empty new name would fail at best.
    const FileList files = filesIn(q("/F/"), {q("1234#"), q("5678#b.jpg")});
    const RestorePlan plan = PlanRestore(files, {q("#"), false});
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
        ASSERT_FALSE(test::BatInterpreterPath().isEmpty()) << "kadrano-bat is built with the tests";
        host.dirText = folder.path();
        host.questionsOff = true;
    }
    QStringList names() const {
        QStringList n = folder.names();
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
    RunShuffle(host, {q("#")}, random);
    const QStringList shuffled = names();
    ASSERT_EQ(shuffled.size(), originals.size());
    for (const QString& n : shuffled)
        EXPECT_TRUE(QRegularExpression(q("^\\d{4}#")).match(n).hasMatch()) << n.toStdString();
    EXPECT_FALSE(folder.exists(q("_Rename_Random.bat")));

    RunRestore(host, {q("#")});
    QStringList expected = originals;
    expected.sort();
    EXPECT_EQ(names(), expected);
    for (const QString& n : originals)
        EXPECT_EQ(folder.read(n), n.toUtf8()) << n.toStdString();
}

TEST_F(ShuffleRoundTrip, TwiceShuffledNeedsTwoRestores) {
    folder.write(q("File1.jpg"));
    RandomSource random;
    RunShuffle(host, {q("#")}, random);
    RunShuffle(host, {q("#")}, random);
    ASSERT_EQ(names().size(), 1);
    EXPECT_TRUE(QRegularExpression(q("^\\d{4}#\\d{4}#File1\\.jpg$")).match(names()[0]).hasMatch());
    RunRestore(host, {q("#")});
    EXPECT_TRUE(QRegularExpression(q("^\\d{4}#File1\\.jpg$")).match(names()[0]).hasMatch());
    RunRestore(host, {q("#")});
    EXPECT_EQ(names(), QStringList({q("File1.jpg")}));
}

TEST_F(ShuffleRoundTrip, ARestoreNeverOverwritesAFileOfTheSameName) {
    // Two shuffled copies of a.jpg and the original itself: only one may become a.jpg.
    folder.write(q("0001#a.jpg"), "first");
    folder.write(q("0002#a.jpg"), "second");
    RunRestore(host, {q("#")});
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
    RunShuffle(host, {q("#")}, random);
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
    RunRestore(host, {q("#")});
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
