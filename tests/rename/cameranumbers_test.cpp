#include <gtest/gtest.h>

#include "core/scripttext.h"
#include "rename/cameranumbers.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BatchRunner;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

// The new names of a plan, in order, read back from its ren lines.
QStringList newNames(const CameraNumberPlan& plan, const FileList& files) {
    QStringList out;
    for (int i = 0; i < files.count(); ++i) {
        const QString head = q("ren ") + scriptArg(files.fullPath(i)) + u' ';
        for (const QString& l : plan.lines)
            if (l.startsWith(head))
                out.append(l.mid(head.size()));
    }
    return out;
}

}  // namespace

TEST(NumberWidth, DigitsOfCountPlusOne) {
    EXPECT_EQ(numberWidth(1), 1);
    EXPECT_EQ(numberWidth(8), 1);
    EXPECT_EQ(numberWidth(9), 2);
    EXPECT_EQ(numberWidth(98), 2);
    EXPECT_EQ(numberWidth(99), 3);
}

TEST(DateOfNumberBlock, OnlyRealCalendarDates) {
    EXPECT_EQ(dateOfNumberBlock(q("20190313")), QDate(2019, 3, 13));
    EXPECT_EQ(dateOfNumberBlock(q("20160229")), QDate(2016, 2, 29));
    for (const char* no : {"20150229", "20191301", "20190332", "10000123", "21990101", "2019031",
                           "201903130", "2019-3-1", ""})
        EXPECT_FALSE(dateOfNumberBlock(q(no)).isValid()) << no;
}

TEST(CameraNumberPlan, WholeScriptRenumbersAndRemovesTheBlock) {
    QStringList names = {q("IMG_1234.jpg"), q("Rom IMG_5678.jpg"), q("ohne.jpg")};
    for (int i = 3; i < 12; ++i)
        names.append(QStringLiteral("IMG_%1.jpg").arg(1000 + i));
    CameraNumberOptions o;
    o.startText = q("IMG_");
    o.digits = 4;
    const CameraNumberPlan plan = planCameraNumbers(test::filesIn(q("/F 1/"), names), o);
    ASSERT_EQ(plan.renames, 12);
    EXPECT_EQ(plan.lines.mid(0, 8),
              scriptHeader() + QStringList({
                                   progressLine(0, 12),
                                   q("ren \"/F 1/IMG_1234.jpg\" 01#.jpg"),
                                   progressLine(1, 12),
                                   q("ren \"/F 1/Rom IMG_5678.jpg\" \"02#Rom .jpg\""),
                                   progressLine(2, 12),
                                   q("ren \"/F 1/ohne.jpg\" 03#ohne.jpg"),
                               }));
    EXPECT_EQ(plan.lines.last(), q("ren \"/F 1/IMG_1011.jpg\" 12#.jpg"));
}

TEST(CameraNumberPlan, NumberOnTheRightStaysInFrontOfTheExtension) {
    CameraNumberOptions o;
    o.startText = q("");
    o.digits = 7;
    o.replacement = q("Urlaub");
    o.numberOnRight = true;
    const CameraNumberPlan plan =
        planCameraNumbers(test::filesIn(q("/F/"), {q("P1000123.JPG"), q("x.jpg"), q("kurz")}), o);
    EXPECT_EQ(plan.lines, scriptHeader() + QStringList({
                                               progressLine(0, 3),
                                               q("ren /F/P1000123.JPG PUrlaub#1.JPG"),
                                               progressLine(1, 3),
                                               q("ren /F/x.jpg x#2.jpg"),
                                               progressLine(2, 3),
                                               q("ren /F/kurz kurz#3"),
                                           }));
}

TEST(CameraNumberPlan, DateBlocksGoInFrontAsIsoDates) {
    CameraNumberOptions o;
    o.startText = q("IMG_");
    o.digits = 8;
    o.dateInFront = true;
    const FileList files =
        test::filesIn(q("/F/"), {q("MyPic_IMG_20190313.jpg"), q("IMG_20190313_101512.jpg"),
                                 q("IMG_12345678.jpg"), q("WhatsApp Image 2019-07-21.jpg")});
    const CameraNumberPlan plan = planCameraNumbers(files, o);
    EXPECT_EQ(newNames(plan, files),
              QStringList({q("1#2019-03-13MyPic_.jpg"), q("2#2019-03-13_101512.jpg"), q("3#.jpg"),
                           q("\"4#WhatsApp Image 2019-07-21.jpg\"")}));
    EXPECT_EQ(plan.withoutDate, 1);
}

TEST(CameraNumberPlan, WithoutNumbersOnlyTheBlocksGoAndCollisionsAreSkipped) {
    CameraNumberOptions o;
    o.startText = q("DSC_");
    o.digits = 4;
    o.noNumbers = true;
    const CameraNumberPlan plan = planCameraNumbers(
        test::filesIn(q("/F/"), {q("DSC_0001 (2).jpg"), q("DSC_0002 (2).jpg"), q("Haus.jpg"),
                                 q("DSC_0003&x.jpg"), q("say \"DSC_0004\".jpg")}),
        o);
    EXPECT_EQ(plan.lines, scriptHeader() + QStringList({
                                               progressLine(0, 5),
                                               q("ren \"/F/DSC_0001 (2).jpg\" \" (2).jpg\""),
                                               progressLine(3, 5),
                                               q("ren \"/F/DSC_0003&x.jpg\" \"&x.jpg\""),
                                           }));
    EXPECT_EQ(plan.skipped, 1);    // the second " (2).jpg"
    EXPECT_EQ(plan.unchanged, 1);  // Haus.jpg: no line renaming it onto itself
    EXPECT_EQ(plan.unsafe, 1);
}

class CameraNumbersRun : public ::testing::Test {
protected:
    TempFolder folder;
    BatchRunner runner;
    FakeHost host{&runner};
    void SetUp() override {
        ASSERT_FALSE(test::batInterpreterPath().isEmpty());
        host.dirText = q("  \"") + folder.path().chopped(1) + q("\"  ");
        host.questionsOff = true;  // the tool asks all the same
    }
};

TEST_F(CameraNumbersRun, RenamesThroughTheInterpreter) {
    folder.write(q("IMG_20190313.jpg"), "a");
    folder.write(q("IMG_20190314.jpg"), "b");
    folder.write(q("Strand 100%.jpg"), "c");
    CameraNumberOptions o;
    o.startText = q("IMG_");
    o.digits = 8;
    o.replacement = q("Urlaub");
    o.dateInFront = true;
    host.recorder.replies = {Mb::ResultYes};
    runCameraNumbers(host, o);
    EXPECT_EQ(host.dirText, folder.path());
    ASSERT_EQ(host.recorder.boxes.size(), 1u);  // the question; deleting asks nothing now
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::YesNoQuestion);
    EXPECT_TRUE(
        host.recorder.boxes[0].text.contains(folder.path() + q("_Remove_CameraNumbers.bat")));
    EXPECT_EQ(folder.names(), QStringList({q("1#2019-03-13Urlaub.jpg"), q("2#2019-03-14Urlaub.jpg"),
                                           q("3#Strand 100%.jpg")}));
    EXPECT_EQ(folder.read(q("2#2019-03-14Urlaub.jpg")), QByteArray("b"));
    EXPECT_EQ(host.collections, 2);
}

TEST_F(CameraNumbersRun, NoOpensTheScriptAndRenamesNothing) {
    folder.write(q("IMG_1234.jpg"));
    CameraNumberOptions o;
    o.digits = 4;
    host.recorder.replies = {Mb::ResultNo};
    runCameraNumbers(host, o);
    EXPECT_EQ(folder.names(), QStringList({q("IMG_1234.jpg"), q("_Remove_CameraNumbers.bat")}));
    EXPECT_EQ(host.recorder.editorFiles,
              QStringList({folder.file(q("_Remove_CameraNumbers.bat"))}));
    EXPECT_TRUE(runner.calls.empty());
    const QStringList script = test::splitCrLf(folder.read(q("_Remove_CameraNumbers.bat")));
    EXPECT_EQ(script,
              scriptHeader() +
                  QStringList({progressLine(0, 1),
                               q("ren ") + folder.file(q("IMG_1234.jpg")) + q(" 1#.jpg"), q("")}));
}
