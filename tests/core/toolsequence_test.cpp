#include <gtest/gtest.h>

#include "core/toolsequence.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::RecordingRunner;
using kadrano::test::TempFolder;

namespace {

// Kept scripts as the tools declare them.
constexpr KeptScript kShuffle{"_Rename_Random.bat", "Command9"};
constexpr KeptScript kRestore{"_Restore_Original.bat", "Command10"};
constexpr KeptScript kOrientationTag{"_Add_Picture-Orientation_Tag.bat", "Command8"};
constexpr KeptScript kOrientationRemove{"_Remove_PictureOrientation.bat", "RestoreOrigin_BAT"};
constexpr KeptScript kKept[] = {kShuffle, kRestore, kOrientationTag, kOrientationRemove};

struct Sequence : ::testing::Test {
    TempFolder folder;
    RecordingRunner runner;
    FakeHost host{&runner};
    QString script;
    void SetUp() override {
        host.dirText = folder.path();
        script = folder.write(q("_Rename_Random.bat"), QByteArray("chcp 1252\r\n"));
    }
    Question question() const { return renameQuestion(script); }
};

}  // namespace

TEST_F(Sequence, WithQuestionsOffItRunsWaitsDeletesAndCollectsWithoutAnyBox) {
    host.questionsOff = true;
    ScriptTools(host).RunScript(script, question(), kShuffle);
    EXPECT_TRUE(host.recorder.boxes.empty());
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].program, script);
    EXPECT_EQ(runner.calls[0].arguments, QStringList({q("14:05")}));
    EXPECT_EQ(host.start, q("14:05"));
    EXPECT_FALSE(folder.exists(q("_Rename_Random.bat")));
    EXPECT_FALSE(host.keptButtonVisible(kShuffle));
    EXPECT_EQ(host.collections, 1);
    EXPECT_GE(host.updateLinkShown, 1);
}

TEST_F(Sequence, NoOpensTheScriptAndShowsItsButton) {
    host.recorder.replies = {Mb::ResultNo};
    ScriptTools(host).RunScript(script, question(), kShuffle);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].flags, 36);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Dateien jetzt umbenennen?"));
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(host.recorder.editorFiles, QStringList({script}));
    EXPECT_TRUE(host.keptButtonVisible(kShuffle));
    EXPECT_TRUE(folder.exists(q("_Rename_Random.bat")));
    EXPECT_EQ(host.collections, 0);
}

TEST_F(Sequence, YesRunsAndAKeptScriptKeepsItsButton) {
    host.lang = Language::English;
    host.recorder.replies = {Mb::ResultYes, Mb::ResultNo};
    ScriptTools(host).RunScript(script, question(), kShuffle);
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Rename Files now?"));
    EXPECT_TRUE(
        host.recorder.boxes[0].text.endsWith(script + q("\r\rNO =  open File in the Notepad")));
    EXPECT_EQ(host.recorder.boxes[1].text, q("Delete file: _Rename_Random.bat now?"));
    EXPECT_EQ(host.recorder.boxes[1].title, q("Done! - Delete Script-file now?"));
    EXPECT_EQ(runner.calls.size(), 1u);
    EXPECT_TRUE(folder.exists(q("_Rename_Random.bat")));
    EXPECT_TRUE(host.keptButtonVisible(kShuffle));
    EXPECT_EQ(host.collections, 1);
}

TEST_F(Sequence, DeleteScriptAsksInGermanAndReportsWhetherTheFileIsGone) {
    host.recorder.replies = {Mb::ResultYes};
    EXPECT_TRUE(ScriptTools(host).DeleteScript(script));
    EXPECT_EQ(host.recorder.boxes[0].text, q("Datei: _Rename_Random.bat jetzt löschen?"));
    EXPECT_EQ(host.recorder.boxes[0].title, q("Fertig - Script-Datei löschen?"));
    EXPECT_FALSE(folder.exists(q("_Rename_Random.bat")));
}

TEST_F(Sequence, KeptScriptButtonsFollowTheScriptsInTheFolder) {
    folder.write(q("_Remove_PictureOrientation.bat"));
    ScriptTools tools(host);
    tools.ShowKeptScriptButtons(kKept);
    EXPECT_TRUE(host.keptButtonVisible(kShuffle));
    EXPECT_TRUE(host.keptButtonVisible(kOrientationRemove));
    EXPECT_FALSE(host.keptButtonVisible(kRestore));
    EXPECT_FALSE(host.keptButtonVisible(kOrientationTag));

    // Running it again: the question, the run with the start time, the deletion.
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    tools.RunKeptScript(kShuffle);
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Umebenennen jetzt starten?\r\rDatei: _Rename_Random.bat"));
    EXPECT_EQ(host.recorder.boxes[0].title,
              q("Umbenennung starten (Bat-Datei ausführen?)\r\r(Nein = Datei im Notepad öffnen)"));
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].program, script);
    EXPECT_EQ(runner.calls[0].arguments, QStringList({q("14:05")}));
    EXPECT_FALSE(host.keptButtonVisible(kShuffle));
}

TEST_F(Sequence, AKeptScriptInAFolderWithBlanksRunsToo) {
    TempFolder spaced;
    host.dirText = spaced.path() + q("Fotos 2019/");
    spaced.write(q("Fotos 2019/_Restore_Original.bat"));
    host.questionsOff = true;
    ScriptTools(host).RunKeptScript(kRestore);
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].program, host.dirText + q("_Restore_Original.bat"));
    EXPECT_EQ(runner.calls[0].arguments, QStringList({q("14:05")}));
    EXPECT_FALSE(spaced.exists(q("Fotos 2019/_Restore_Original.bat")));
}

// A script that did not run, was stopped or had failing lines is never deleted silently:
// what it left undone can only be finished or checked with the script at hand.
TEST_F(Sequence, AScriptThatDidNotRunCleanlyIsKeptAndTheFailureSaid) {
    host.questionsOff = true;
    runner.result = kRunNotStarted;  // the runner itself has told why
    ScriptTools(host).RunScript(script, question(), kShuffle);
    EXPECT_TRUE(host.recorder.boxes.empty());
    EXPECT_TRUE(folder.exists(q("_Rename_Random.bat")));
    EXPECT_TRUE(host.keptButtonVisible(kShuffle));

    runner.result = 3;  // three lines failed
    ScriptTools(host).RunScript(script, question(), kShuffle);
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::OK | Mb::IconWarning);
    EXPECT_TRUE(host.recorder.boxes[0].text.contains(q("3 Zeile(n) fehlgeschlagen")));
    EXPECT_TRUE(host.recorder.boxes[0].text.contains(q("bleibt erhalten: _Rename_Random.bat")));
    EXPECT_NE(host.recorder.boxes[0].title, q("Fertig - Script-Datei löschen?"));
    EXPECT_TRUE(folder.exists(q("_Rename_Random.bat")));
    EXPECT_TRUE(host.keptButtonVisible(kShuffle));

    // With questions on, a stopped run is reported and the script goes only on a clear Yes.
    host.questionsOff = false;
    host.lang = Language::English;
    runner.result = kRunStopped;
    host.recorder.replies = {Mb::ResultYes, Mb::ResultNo};
    ScriptTools(host).RunScript(script, question(), kShuffle);
    ASSERT_EQ(host.recorder.boxes.size(), 3u);
    EXPECT_EQ(host.recorder.boxes[2].flags, Mb::YesNo | Mb::IconWarning);
    EXPECT_TRUE(
        host.recorder.boxes[2].text.startsWith(q("The Bat-file was stopped before its end")));
    EXPECT_TRUE(folder.exists(q("_Rename_Random.bat")));
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    ScriptTools(host).RunScript(script, question(), kShuffle);
    EXPECT_FALSE(folder.exists(q("_Rename_Random.bat")));
    EXPECT_FALSE(host.keptButtonVisible(kShuffle));
}

// The same through the real interpreter: its exit status counts the failing lines.
TEST_F(Sequence, TheInterpretersFailuresReachTheDeletionStep) {
    kadrano::test::BatchRunner bat;
    FakeHost real{&bat};
    real.dirText = folder.path();
    real.questionsOff = true;
    folder.write(q("a.jpg"), "A");
    folder.write(q("b.jpg"), "B");
    const QString failing = folder.file(q("_Rename_Random.bat"));
    ASSERT_TRUE(ScriptTools(real).writeScript(
        failing, {q("ren ") + folder.file(q("a.jpg")) + q(" b.jpg"),
                  q("ren ") + folder.file(q("missing.jpg")) + q(" c.jpg")}));
    ScriptTools(real).RunScript(failing, renameQuestion(failing), kShuffle);
    ASSERT_EQ(real.recorder.boxes.size(), 1u);
    EXPECT_TRUE(real.recorder.boxes[0].text.contains(q("2 Zeile(n) fehlgeschlagen")));
    EXPECT_TRUE(folder.exists(q("_Rename_Random.bat")));
    EXPECT_EQ(folder.read(q("b.jpg")), QByteArray("B"));
}

TEST(SplitCommandLine, FindsTheProgramAlsoWhenItsPathHasBlanks) {
    auto exists = [](const QString& p) {
        return p == q("/tmp/Fotos 2019/x.bat") || p == q("/tmp/plain.bat");
    };
    auto check = [&](const char* line, const char* program, QStringList args) {
        const SplitCommand c = splitCommandLine(q(line), exists);
        EXPECT_EQ(c.program, q(program)) << line;
        EXPECT_EQ(c.arguments, args) << line;
    };
    check("/tmp/Fotos 2019/x.bat", "/tmp/Fotos 2019/x.bat", {});
    check("\"/tmp/Fotos 2019/x.bat\" 14:05", "/tmp/Fotos 2019/x.bat", {q("14:05")});
    check("/tmp/Fotos 2019/x.bat 14:05", "/tmp/Fotos 2019/x.bat", {q("14:05")});
    check("/tmp/plain.bat 14:05", "/tmp/plain.bat", {q("14:05")});
    check("/tmp/missing.bat 14:05", "/tmp/missing.bat", {q("14:05")});
}

TEST_F(Sequence, DocumentsAreOpenedNotRun) {
    const QString picture = folder.write(q("a.jpg"));
    ScriptTools(host).RunAndWait(picture);
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(host.recorder.documents, QStringList({picture}));
}

TEST_F(Sequence, AScriptThatCannotBeWrittenIsReportedAndNotRun) {
    EXPECT_FALSE(ScriptTools(host).writeScript(folder.file(q("no/such/dir/_x.bat")), {q("pause")}));
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::OK | Mb::IconError);
}
