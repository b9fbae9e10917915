#include <gtest/gtest.h>

#include "core/scripttext.h"
#include "rename/customrename.h"
#include "rename/renamecheck.h"
#include "rename/shuffle.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::BatchRunner;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

QString progress(int index, int count) {
    return progressLine(index, count);
}

QString name(const char* file, const CustomRenameOptions& o, const char* dir = "/Fotos/Rom/") {
    return MakeCustomName(q(file), q(dir), o);
}

}  // namespace

TEST(MakeCustomName, LeftRightAndReplaceInTheirOrder) {
    CustomRenameOptions o;
    EXPECT_EQ(name("IMG_0001.jpg", o), q("IMG_0001.jpg"));
    o.left = q("Urlaub_");
    EXPECT_EQ(name("IMG_0001.jpg", o), q("Urlaub_IMG_0001.jpg"));
    o.left.clear();
    o.right = q("_x");
    EXPECT_EQ(name("IMG_0001.jpg", o), q("IMG_0001_x.jpg"));
    EXPECT_EQ(name("bild.jpeg", o), q("bild_x.jpeg"));  // the real extension, any length
    EXPECT_EQ(name("bild", o), q("bild_x"));            // no extension: at the end
    EXPECT_EQ(name("a.b.tif", o), q("a.b_x.tif"));
    // The replacement reaches the added texts too.
    o.left = q("IMG-Urlaub ");
    o.right.clear();
    o.replaceFrom = q("IMG");
    EXPECT_EQ(name("IMG_0001.jpg", o), q("-Urlaub _0001.jpg"));
    o.replaceFrom = q("img");  // exact case only
    EXPECT_EQ(name("IMG_0001.jpg", o), q("IMG-Urlaub IMG_0001.jpg"));
}

TEST(MakeCustomName, TheFolderNameOnEitherSide) {
    CustomRenameOptions o;
    o.directoryLeft = true;
    EXPECT_EQ(name("IMG_0001.jpg", o), q("RomIMG_0001.jpg"));
    EXPECT_EQ(name("IMG_0001.jpg", o, "C:\\Fotos\\Rom\\"), q("RomIMG_0001.jpg"));
    EXPECT_EQ(name("x.jpeg", o, "/Fotos/Rom"), q("Romx.jpeg"));
    o.directoryRight = true;  // the right side wins when both are ticked
    EXPECT_EQ(name("IMG_0001.jpg", o), q("IMG_0001Rom.jpg"));
    EXPECT_EQ(name("x.jpeg", o, "/Fotos/Rom am See/"), q("xRom am See.jpeg"));
    o.right = q("_r");
    EXPECT_EQ(name("x.jpg", o), q("x_rRom.jpg"));
}

TEST(RemoveUnwantedChars, CharactersThatUpsetTheInterpreter) {
    EXPECT_EQ(removeUnwantedChars(q("a+b,c.jpg")), q("a b c.jpg"));
    EXPECT_EQ(removeUnwantedChars(q("a&b.jpg")), q("a&b.jpg"));
    EXPECT_EQ(removeUnwantedChars(q("a&&b.jpg")), q("a b.jpg"));
    EXPECT_EQ(removeUnwantedChars(q(" Tom's;$´`x .jpg ")), q("Tom s    x.jpg"));
    EXPECT_EQ(removeUnwantedChars(q("a+.jpg")), q("a.jpg"));
    EXPECT_EQ(removeUnwantedChars(q("a..jpg")), q("a.jpg"));
}

TEST(RenameCheck, NamesTakenNowOrLaterAndUnusableNames) {
    FileList files;
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg"})
        files.append(q(n), q("/F/"));
    files.append(q("a.jpg"), q("/F/sub/"));
    QStringList onDisk = {q("/F/other.png")};
    RenameCheck check(files, [&](const QString& p) { return onDisk.contains(p); });
    using V = RenameCheck::Verdict;
    EXPECT_EQ(check.check(0, q("a.jpg")), V::Unchanged);
    EXPECT_EQ(check.check(0, q("B.JPG")), V::Taken);  // b.jpg is still there
    EXPECT_EQ(check.check(1, q("x.jpg")), V::Rename);
    EXPECT_EQ(check.check(0, q("b.jpg")), V::Rename);     // b.jpg has gone by now
    EXPECT_EQ(check.check(2, q("x.jpg")), V::Taken);      // given to b.jpg a line earlier
    EXPECT_EQ(check.check(2, q("other.png")), V::Taken);  // an unlisted file
    EXPECT_EQ(check.check(3, q("D.jpg")), V::Rename);     // a change of case only
    EXPECT_EQ(check.check(4, q("")), V::Invalid);
    EXPECT_EQ(check.check(4, q("..")), V::Invalid);
    EXPECT_EQ(check.check(4, q("sub/e.jpg")), V::Invalid);
    EXPECT_EQ(check.check(4, q("..\\e.jpg")), V::Invalid);
    EXPECT_EQ(check.check(4, q("*.jpg")), V::Invalid);
    EXPECT_EQ(check.check(4, q("say \"hi\".jpg")), V::Invalid);
    EXPECT_EQ(check.check(5, q("x.jpg")), V::Taken);
    EXPECT_EQ(check.check(6, q("x.jpg")), V::Rename);  // another folder
}

TEST(CustomRenamePlan, WholeScriptWithSubFoldersBlanksAndHostileNames) {
    FileList files;
    files.append(q("IMG_0001.jpg"), q("/Fotos 2019/"));
    files.append(q("Tom&Jerry.jpg"), q("/Fotos 2019/"));
    files.append(q("50%.jpg"), q("/Fotos 2019/Rom/"));
    files.append(q("Urlaub_x.jpg"), q("/Fotos 2019/Rom/"));  // already has the new name
    CustomRenameOptions o;
    o.left = q("Urlaub_");
    o.replaceFrom = q("Urlaub_x");
    o.replaceWith = q("x");
    o.pauseAtEnd = true;
    const CustomRenamePlan plan = planCustomRename(files, o);
    EXPECT_EQ(plan.lines,
              scriptHeader() + QStringList({
                                   progress(0, 4),
                                   q("ren \"/Fotos 2019/IMG_0001.jpg\" Urlaub_IMG_0001.jpg"),
                                   progress(1, 4),
                                   q("ren \"/Fotos 2019/Tom&Jerry.jpg\" \"Urlaub_Tom&Jerry.jpg\""),
                                   progress(2, 4),
                                   q("ren \"/Fotos 2019/Rom/50%%.jpg\" Urlaub_50%%.jpg"),
                                   q("pause"),
                               }));
    EXPECT_EQ(plan.renames, 3);
    EXPECT_EQ(plan.skipped, 0);
}

TEST(CustomRenamePlan, CollisionsAreCountedAndNeverWritten) {
    FileList files;
    for (const char* n : {"a 1.jpg", "a,1.jpg", "a1.jpg", "say \"x\".jpg"})
        files.append(q(n), q("/F/"));
    CustomRenameOptions o;
    o.replaceFrom = q(" ");
    o.removeUnwantedChars = true;  // "a,1.jpg" becomes "a 1.jpg", then nothing is replaced
    const CustomRenamePlan plan = planCustomRename(files, o);
    // "a 1.jpg" → "a1.jpg" is taken by a listed file; "a,1.jpg" → "a 1.jpg" is taken until
    // "a 1.jpg" moves, which it never does.
    EXPECT_EQ(plan.renames, 0);
    EXPECT_EQ(plan.skipped, 2);
    EXPECT_EQ(plan.unsafe, 1);  // a double quote cannot stand in the script
    EXPECT_EQ(plan.lines, scriptHeader());
}

class CustomRenameRun : public ::testing::Test {
protected:
    TempFolder folder;
    BatchRunner runner;
    FakeHost host{&runner};
    void SetUp() override {
        ASSERT_FALSE(test::batInterpreterPath().isEmpty());
        host.dirText = folder.path();
        host.withSubdirs = true;
        host.pattern = q("*.jp*g");
    }
};

TEST_F(CustomRenameRun, RenamesThroughTheInterpreterAndSkipsTakenNames) {
    folder.write(q("IMG_0001.jpg"), "1");
    folder.write(q("Rom am See/50% & mehr.jpeg"), "2");
    folder.write(q("Rom am See/x.jpg"), "3");
    folder.write(q("Rom am See/x_neu.jpg"), "4");  // x.jpg's new name: stays, is counted
    CustomRenameOptions o;
    o.right = q("_neu");
    o.replaceFrom = q("_neu_neu");
    o.replaceWith = q("_alt");
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runCustomRename(host, o);

    EXPECT_EQ(folder.names(), QStringList({q("IMG_0001_neu.jpg")}));
    EXPECT_EQ(folder.names(q("Rom am See")),
              QStringList({q("50% & mehr_neu.jpeg"), q("x.jpg"), q("x_alt.jpg")}));
    EXPECT_EQ(folder.read(q("Rom am See/x.jpg")), QByteArray("3"));
    EXPECT_EQ(folder.read(q("Rom am See/x_alt.jpg")), QByteArray("4"));
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(q("Dateien jetzt umbenennen?")));
    EXPECT_TRUE(host.recorder.boxes[0].text.contains(folder.path() + q("_Rename_Custom.bat")));
    EXPECT_TRUE(host.recorder.boxes[0].text.endsWith(
        q("\r\r1 Umbenennung(en) werden übersprungen: der neue Name ist schon vergeben oder "
          "kein gültiger Dateiname.")));
    EXPECT_EQ(host.recorder.boxes[1].title, q("Fertig - Script-Datei löschen?"));
    EXPECT_FALSE(host.keptButtonVisible(kCustomRenameKept));
    EXPECT_EQ(host.settingsSaved, 1);
    EXPECT_EQ(host.collections, 2);  // before the script and after it
}

TEST_F(CustomRenameRun, NoKeepsTheScriptForItsOwnButton) {
    folder.write(q("a.jpg"));
    CustomRenameOptions o;
    o.left = q("x");
    host.recorder.replies = {Mb::ResultNo};
    runCustomRename(host, o);
    EXPECT_EQ(folder.names(), QStringList({q("_Rename_Custom.bat"), q("a.jpg")}));
    EXPECT_EQ(host.recorder.editorFiles, QStringList({folder.file(q("_Rename_Custom.bat"))}));
    EXPECT_TRUE(host.keptButtonVisible(kCustomRenameKept));
    EXPECT_FALSE(host.keptButtonVisible(kShuffleKept));
}

TEST_F(CustomRenameRun, NothingToRenameAndNoFiles) {
    runCustomRename(host, CustomRenameOptions());
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Keine Dateien gefunden!"));
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Keine Dateien gefunden in:\r") + folder.path() + q("*.jp*g"));

    folder.write(q("a.jpg"));
    host.recorder.boxes.clear();
    runCustomRename(host, CustomRenameOptions());
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text, q("Keine Dateien zum Umbenennen gefunden"));
    EXPECT_EQ(host.recorder.boxes[0].title, q("Keine Datei umbenannt"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::OKCancel);
    EXPECT_TRUE(runner.calls.empty());
}
