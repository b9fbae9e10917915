#include <gtest/gtest.h>

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <random>

#include "analysis/orientationtagger.h"
#include "core/scripttext.h"
#include "support/fakehost.h"
#include "support/testfiles.h"
#include "support/testpictures.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

class FakeView : public OrientationView {
public:
    QString button = q("Start ");
    QStringList buttonTexts;
    QString startButtonText() const override { return button; }
    void setStartButtonText(const QString& text) override {
        button = text;
        buttonTexts.append(text);
    }
};

class OrientationRun : public ::testing::Test {
protected:
    OrientationRun() : host(&runner) { host.dirText = folder.path(); }

    // a: portrait, b: landscape, c: not a picture, d: square.
    void writeFourFiles() {
        folder.write(q("a.jpg"), greyJpeg(20, 30));
        folder.write(q("b.jpg"), greyJpeg(30, 20));
        folder.write(q("c.jpg"), "kein Bild");
        folder.write(q("d.jpg"), greyJpeg(25, 25));
    }
    void start() { tagger.startClicked(host, view, tags); }
    QString dir() const { return folder.path(); }
    QString scriptPath() const { return dir() + QLatin1String(kOrientationTagScriptName); }
    QStringList scriptLines() const {
        return splitCrLf(folder.read(QLatin1String(kOrientationTagScriptName)));
    }
    QString lastStatus() const {
        return host.recorder.statuses.isEmpty() ? QString() : host.recorder.statuses.last();
    }
    // The person clicks the Start button (which reads "Stop" then) while the run shows
    // the given status.
    void clickStopAt(const QString& statusEnd) {
        host.recorder.onProcessEvents = [this, statusEnd, clicked = false]() mutable {
            if (clicked || !lastStatus().contains(statusEnd))
                return;
            clicked = true;
            tagger.startClicked(host, view, tags);
        };
    }

    TempFolder folder;
    RecordingRunner runner;
    FakeHost host;
    FakeView view;
    OrientationTagOptions tags;
    // Every picture shows its progress, so the texts can be compared one by one.
    OrientationTagger tagger{OrientationTaggerOptions{0, measureOrientation}};
};

TEST_F(OrientationRun, MeasuresWritesAndOpensTheScriptOnNo) {
    writeFourFiles();
    host.pause = true;
    host.recorder.replies = {Mb::ResultNo};
    start();

    EXPECT_EQ(scriptLines(), scriptHeader() + QStringList({
                                                  q("ren ") + dir() + q("a.jpg [HF]a.jpg"),
                                                  progressLine(0, 4) + u'"',
                                                  q("ren ") + dir() + q("b.jpg [QF]b.jpg"),
                                                  progressLine(1, 4) + u'"',
                                                  q("ren ") + dir() + q("d.jpg [QF]d.jpg"),
                                                  progressLine(3, 4) + u'"',
                                                  q("pause"),
                                                  QString(),
                                              }));
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Dateien jetzt umbenennen?\r\r'Nein' öffnet die Bat-Datei im Notepad!\r\r"
                "Es wird diese Datei ausgeführt / Angezeigt:\r\r") +
                  scriptPath());
    EXPECT_EQ(host.recorder.boxes[0].title, q("Umbenennen starten?"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::YesNoQuestion);
    EXPECT_EQ(host.recorder.editorFiles, QStringList{scriptPath()});
    EXPECT_TRUE(host.keptButtonVisible(kOrientationTagKept));
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_TRUE(folder.exists(q("a.jpg")));

    ASSERT_EQ(host.captions.size(), 6);
    EXPECT_TRUE(host.captions[0].startsWith(q("Bildausrichtung wird ermittelt (Start: ")));
    EXPECT_EQ(host.captions[1], q("Analysiere Bild: 0 / 4  ..das dauert etwas.. (ESC=Abbruch)"));
    EXPECT_EQ(host.captions[4], q("Analysiere Bild: 3 / 4  ..das dauert etwas.. (ESC=Abbruch)"));
    EXPECT_EQ(host.windowCaption, q("Kadrano"));
    const QStringList& statuses = host.recorder.statuses;
    EXPECT_GE(statuses.indexOf(q("(Restzeit: )   0 / 5 - [HF]: 0 / [QF]: 0")), 0);
    EXPECT_EQ(statuses.filter(q(")   3 / 5 - [HF]: 1 / [QF]: 1")).size(), 1);
    EXPECT_EQ(statuses.last(), q("Fertig!"));
    EXPECT_EQ(view.buttonTexts, QStringList({q("Stop"), q("Start")}));
    EXPECT_FALSE(tagger.isRunning());
    EXPECT_EQ(host.start, q("14:05"));
    EXPECT_EQ(host.settingsSaved, 1);
}

TEST_F(OrientationRun, EnglishYesRunsTheScriptAndOffersDeletion) {
    writeFourFiles();
    host.lang = Language::English;
    tags.beforeExtension = true;
    host.recorder.replies = {Mb::ResultYes, Mb::ResultNo};
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Start renaming now?"));
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(q("Rename files now?\r\r'NO' opens")));
    EXPECT_EQ(host.recorder.boxes[1].title, q("Done! - Delete Script-file now?"));
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].program, scriptPath());
    EXPECT_EQ(runner.calls[0].arguments, QStringList{q("14:05")});
    EXPECT_TRUE(host.keptButtonVisible(kOrientationTagKept));  // kept on No
    EXPECT_EQ(scriptLines()[2], progressLine(0, 4));
    EXPECT_EQ(scriptLines()[3], q("ren ") + dir() + q("a.jpg a[HF].jpg"));
    EXPECT_GE(host.recorder.statuses.indexOf(q("(Time left: )   0 / 5 - [HF]: 0 / [QF]: 0")), 0);
    EXPECT_EQ(host.recorder.statuses.last(), q("All done!"));
    EXPECT_EQ(host.collections, 2);
}

// Yes to the stop question ends the measuring; the script holds the lines so far and is
// offered as usual.
TEST_F(OrientationRun, StopQuestionYesEndsTheLoopWithTheLinesSoFar) {
    writeFourFiles();
    clickStopAt(q(")   2 / 5"));
    host.recorder.replies = {Mb::ResultYes, Mb::ResultNo};
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[0].text, q("Laufenden Vorgang beenden?"));
    EXPECT_EQ(host.recorder.boxes[0].title, q("Laufenden Vorgang stoppen?"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::YesNo);
    EXPECT_EQ(host.recorder.boxes[1].title, q("Umbenennen starten?"));
    EXPECT_EQ(scriptLines().mid(2),
              QStringList({q("ren ") + dir() + q("a.jpg [HF]a.jpg"), progressLine(0, 4) + u'"',
                           q("ren ") + dir() + q("b.jpg [QF]b.jpg"), progressLine(1, 4) + u'"',
                           QString()}));
    EXPECT_EQ(host.captions.filter(q("Analysiere Bild: 3 / 4")).size(), 0);
    EXPECT_EQ(view.buttonTexts, QStringList({q("Stop"), q("Start")}));
    EXPECT_EQ(host.settingsSaved, 2);  // the click saves as every click does
    EXPECT_FALSE(tagger.isRunning());
}

TEST_F(OrientationRun, StopQuestionNoLetsTheRunGoOn) {
    writeFourFiles();
    host.lang = Language::English;
    clickStopAt(q(")   1 / 5"));
    host.recorder.replies = {Mb::ResultNo, Mb::ResultNo};
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[0].text, q("Cancel running process?"));
    EXPECT_EQ(host.recorder.boxes[0].title, q("Cancel process?"));
    EXPECT_EQ(scriptLines().size(), 2 + 6 + 1);
    // The next run starts afresh: the old answer does not stop it.
    host.recorder.onProcessEvents = nullptr;
    host.recorder.replies = {Mb::ResultNo};
    start();
    EXPECT_EQ(scriptLines().size(), 2 + 6 + 1);
}

TEST_F(OrientationRun, EscEndsTheLoopWithTheLinesSoFar) {
    writeFourFiles();
    host.recorder.onProcessEvents = [&] {
        if (lastStatus().contains(q(")   1 / 5")))
            host.cancel = true;
    };
    host.recorder.replies = {Mb::ResultNo};
    start();
    EXPECT_EQ(scriptLines().mid(2), QStringList({q("ren ") + dir() + q("a.jpg [HF]a.jpg"),
                                                 progressLine(0, 4) + u'"', QString()}));
    EXPECT_FALSE(host.cancel);  // noticed and cleared
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Umbenennen starten?"));
}

// A tag no name can take stops before anything is collected or written.
TEST_F(OrientationRun, BadTagStopsBeforeAnythingIsWritten) {
    writeFourFiles();
    folder.write(QLatin1String(kOrientationTagScriptName), "old");
    tags.landscapeTag = q("quer/");
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Ungültiges Kürzel"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::OK | Mb::IconWarning);
    EXPECT_EQ(folder.read(QLatin1String(kOrientationTagScriptName)), QByteArray("old"));
    EXPECT_EQ(host.collections, 0);
    EXPECT_TRUE(view.buttonTexts.isEmpty());
    EXPECT_FALSE(tagger.isRunning());

    tags.landscapeTag = QString();
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[1].title, q("Kürzel fehlt"));
    EXPECT_EQ(host.collections, 0);
}

TEST_F(OrientationRun, NoFilesOnlyTellsSo) {
    folder.write(q("x.txt"), "text");
    host.lang = Language::English;
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text, q("No files found in:\r") + dir() + q("*.jpg"));
    EXPECT_EQ(host.recorder.boxes[0].title, q("No files found!"));
    EXPECT_FALSE(folder.exists(QLatin1String(kOrientationTagScriptName)));
    EXPECT_FALSE(tagger.isRunning());
    EXPECT_EQ(host.windowCaption, q("Kadrano"));
    // The button was never "Stop"; it reads its usual text again.
    EXPECT_EQ(view.buttonTexts, QStringList{q("Start")});
}

// A name that is taken is counted in the question; without questions a note says so.
TEST_F(OrientationRun, TakenNamesAreCountedInTheQuestion) {
    writeFourFiles();
    folder.write(q("[HF]a.jpg"), "schon da");
    host.recorder.replies = {Mb::ResultNo};
    start();
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_TRUE(host.recorder.boxes[0].text.endsWith(
        q("\r\r1 Datei(en) werden übersprungen: der neue Name ist schon vergeben "
          "(es wird nichts überschrieben).")));
    EXPECT_FALSE(scriptLines().join(u'\n').contains(q("a.jpg [HF]a.jpg")));
}

// Tagging and removing through the interpreter: every name comes back, blanks and
// command characters included, and an existing name is never overwritten.
class OrientationScriptRun : public ::testing::Test {
protected:
    void SetUp() override {
        const QString bat = batInterpreterPath();
        ASSERT_TRUE(!bat.isEmpty() && QFileInfo::exists(bat))
            << "kadrano-bat is built with the tests";
        host.dirText = folder.path();
        host.questionsOff = true;
        folder.write(q("Oma & Opa.jpg"), greyJpeg(20, 30));
        folder.write(q("Strand (2).jpg"), greyJpeg(30, 20));
        folder.write(q("100%.JPG"), greyJpeg(30, 30));
        folder.write(q("kaputt.jpg"), "kein Bild");
    }

    TempFolder folder;
    BatchRunner runner;
    FakeHost host{&runner};
    FakeView view;
    OrientationTagger tagger{OrientationTaggerOptions{0, measureOrientation}};
};

TEST_F(OrientationScriptRun, TagAndRemoveBothPlacements) {
    const QStringList before = folder.names();
    for (bool beforeExtension : {false, true}) {
        OrientationTagOptions tags;
        tags.beforeExtension = beforeExtension;
        tagger.startClicked(host, view, tags);
        if (beforeExtension) {
            EXPECT_EQ(folder.names(), QStringList({q("100%[QF].JPG"), q("Oma & Opa[HF].jpg"),
                                                   q("Strand (2)[QF].jpg"), q("kaputt.jpg")}));
        } else {
            EXPECT_EQ(folder.names(), QStringList({q("[HF]Oma & Opa.jpg"), q("[QF]100%.JPG"),
                                                   q("[QF]Strand (2).jpg"), q("kaputt.jpg")}));
        }
        // One untagged file: the wrong-format box would ask; without questions it runs.
        runRemoveOrientationTags(host, tags);
        EXPECT_EQ(folder.names(), before);
    }
    EXPECT_TRUE(host.recorder.boxes.empty());
}

TEST_F(OrientationScriptRun, ExistingNameIsNeverOverwritten) {
    folder.write(q("[HF]Oma & Opa.jpg"), "schon da");
    tagger.startClicked(host, view, OrientationTagOptions{});
    EXPECT_EQ(folder.read(q("[HF]Oma & Opa.jpg")), QByteArray("schon da"));
    EXPECT_TRUE(folder.exists(q("Oma & Opa.jpg")));
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Dateien übersprungen"));
    EXPECT_TRUE(host.recorder.boxes[0].text.startsWith(q("1 Datei(en) werden übersprungen")));
}

class OrientationRemove : public ::testing::Test {
protected:
    OrientationRemove() : host(&runner) { host.dirText = folder.path(); }
    QString scriptPath() const {
        return folder.path() + QLatin1String(kOrientationRemoveScriptName);
    }
    TempFolder folder;
    RecordingRunner runner;
    FakeHost host;
};

TEST_F(OrientationRemove, WellFormedNamesGetTheRunQuestion) {
    folder.write(q("[HF]a.jpg"));
    folder.write(q("b[QF].jpg"));
    host.setKeptScriptButtonVisible(kOrientationRemoveKept, true);
    host.recorder.replies = {Mb::ResultNo};
    runRemoveOrientationTags(host, OrientationTagOptions{});
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Umebenennen jetzt starten?\r\rDatei: _Remove_PictureOrientation.bat"));
    EXPECT_EQ(host.recorder.boxes[0].title,
              q("Umbenennung starten (Bat-Datei ausführen?)\r\rNein =  Datei im Notepad öffnen!"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::YesNoQuestion);
    EXPECT_EQ(host.recorder.editorFiles, QStringList{scriptPath()});
    EXPECT_TRUE(host.keptButtonVisible(kOrientationRemoveKept));
    EXPECT_EQ(splitCrLf(folder.read(QLatin1String(kOrientationRemoveScriptName))).size(),
              2 + 4 + 1);
}

// One untagged file raises the format box; Yes still renames every tagged file.
TEST_F(OrientationRemove, WrongFormatBoxAndItsYes) {
    folder.write(q("[HF]a.jpg"));
    folder.write(q("ohne.jpg"));
    host.setKeptScriptButtonVisible(kOrientationRemoveKept, true);
    host.recorder.replies = {Mb::ResultYes, Mb::ResultYes};
    runRemoveOrientationTags(host, OrientationTagOptions{});
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Falsches Dateinamen-Format gefunden!"));
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Das Dateiformat stimmt nicht (mindestens eine Datei)\r"
                "Es sollte folgendermaßen aussehen: [HF]'Filename'[HF]'Filename'\r\r"
                "Dateien trotzdem umbennennen? (nicht passende werden übersprungen)?"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::YesNo | Mb::IconError);
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].program, scriptPath());
    EXPECT_FALSE(folder.exists(QLatin1String(kOrientationRemoveScriptName)));
    EXPECT_FALSE(host.keptButtonVisible(kOrientationRemoveKept));
}

TEST_F(OrientationRemove, NoFilesAndBadTags) {
    host.lang = Language::English;  // this box is German in both languages
    runRemoveOrientationTags(host, OrientationTagOptions{});
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].text,
              q("Keine Dateien gefunden in:\r") + folder.path() + q("*.jpg"));
    EXPECT_EQ(host.recorder.boxes[0].title, q("Keine Dateien gefunden"));
    EXPECT_EQ(host.recorder.boxes[0].flags, Mb::OK | Mb::IconInformation);

    folder.write(q("[HF]a.jpg"));
    OrientationTagOptions tags;
    tags.portraitTag = q("  ");
    runRemoveOrientationTags(host, tags);
    ASSERT_EQ(host.recorder.boxes.size(), 2u);
    EXPECT_EQ(host.recorder.boxes[1].title, q("Tag missing"));
    EXPECT_FALSE(folder.exists(QLatin1String(kOrientationRemoveScriptName)));
    EXPECT_TRUE(runner.calls.empty());
}

}  // namespace

namespace {

// Many pictures in sub-folders with the window's event pacing: the script keeps the
// collected order and every picture's own tag.
TEST(OrientationWorkers, ScriptKeepsListOrder) {
    TempFolder folder;
    std::mt19937 rng(11);
    QHash<QString, QString> tagOf;
    for (int i = 0; i < 150; ++i) {
        const int w = 8 + int(rng() % 40);
        const int h = 8 + int(rng() % 40);
        const QString name = QStringLiteral("%1/p%2.jpg").arg(i % 3 ? "Sub" : "Top").arg(i);
        tagOf.insert(folder.write(name, greyJpeg(w, h)), w < h ? q("[HF]") : q("[QF]"));
    }
    RecordingRunner runner;
    FakeHost host(&runner);
    host.dirText = folder.path();
    host.withSubdirs = true;
    host.recorder.replies = {Mb::ResultNo};
    FakeView view;
    OrientationTagger().startClicked(host, view, OrientationTagOptions{});

    ASSERT_EQ(host.files.count(), 150);
    QStringList expected = scriptHeader();
    for (int k = 0; k < host.files.count(); ++k) {
        const QString path = host.files.fullPath(k);
        expected.append(q("ren ") + path + u' ' + tagOf.value(path) + host.files.FileNames.at(k));
        expected.append(progressLine(k, 150) + u'"');
    }
    expected.append(QString());
    EXPECT_EQ(splitCrLf(folder.read(QLatin1String(kOrientationTagScriptName))), expected);
}

}  // namespace
