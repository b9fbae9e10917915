#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "form1fixture.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

// The window on a folder of three pictures, each with its own bytes.
class UndoWindow : public Form1Test {
protected:
    QString folder;
    const QStringList originals = {q("a b.jpg"), q("Müll.jpg"), q("IMG_0001.jpg")};
    void SetUp() override {
        ASSERT_FALSE(batInterpreterPath().isEmpty()) << "kadrano-bat is built with the tests";
        for (const QString& n : originals)
            pictures.write(q("Fotos/") + n, n.toUtf8());
        folder = pictures.path() + q("Fotos/");
        start(folder);
    }
    QStringList names() const {
        QStringList n = QDir(folder).entryList({q("*.jpg")}, QDir::Files);
        n.sort();
        return n;
    }
    QStringList sortedOriginals() const {
        QStringList o = originals;
        o.sort();
        return o;
    }
    QPushButton* undo() const { return control<QPushButton>("UndoBtn"); }
};

}  // namespace

// The button is there from the start, disabled while the folder has nothing to undo; after a
// run it names that run, and a click undoes it through the question, the console and the
// deletion offer.
TEST_F(UndoWindow, TheButtonNamesTheRunAndItsClickUndoesIt) {
    EXPECT_EQ(undo()->text(), q("Rückgängig"));
    EXPECT_FALSE(undo()->isEnabled());
    EXPECT_EQ(undo()->toolTip(), q("Nichts rückgängig zu machen"));

    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};
    click("Command1");
    ASSERT_NE(names(), sortedOriginals());
    EXPECT_TRUE(undo()->isEnabled());
    const QRegularExpression tip(
        q("^Rückgängig: Bilder Mischen, 3 Dateien, \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$"));
    EXPECT_TRUE(tip.match(undo()->toolTip()).hasMatch()) << undo()->toolTip().toStdString();

    dialogs.boxes.clear();
    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};
    click("UndoBtn");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Rückgängig"));
    EXPECT_TRUE(
        dialogs.boxes[0].text.startsWith(q("Letzte Aktion rückgängig machen?\r\rBilder "
                                           "Mischen, 3 Dateien, ")));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(folder + q("_Undo_Last.bat")));
    EXPECT_EQ(dialogs.boxes[1].title, q("Fertig - Script-Datei löschen?"));
    EXPECT_EQ(names(), sortedOriginals());
    for (const QString& n : originals)
        EXPECT_EQ(pictures.read(q("Fotos/") + n), n.toUtf8());
    EXPECT_FALSE(QFileInfo::exists(folder + q("_Undo_Last.bat")));
    EXPECT_FALSE(undo()->isEnabled());
    EXPECT_EQ(status(), q("Gefunden: 3"));  // the folder was collected again

    // Another folder has its own journal.
    control<QLineEdit>("Text1")->setText(pictures.path());
    EXPECT_FALSE(undo()->isEnabled());

    // English: the caption and the tooltip.
    click("SwitchLAnguage_Label");
    EXPECT_EQ(undo()->text(), q("Undo"));
    EXPECT_EQ(undo()->toolTip(), q("Nothing to undo"));
}

// A script kept with "No" and run later from its button is noted as well, and the journal
// outlives the window: the next start offers the run and undoes it.
TEST_F(UndoWindow, AKeptScriptRunLaterIsUndoneAfterARestart) {
    dialogs.replies = {Mb::ResultNo};
    click("Command1");
    EXPECT_FALSE(undo()->isEnabled());  // nothing has run
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    click("Command9");
    ASSERT_NE(names(), sortedOriginals());
    EXPECT_TRUE(undo()->isEnabled());

    window.reset();
    start(folder);
    ASSERT_TRUE(undo()->isEnabled());
    EXPECT_TRUE(undo()->toolTip().startsWith(q("Rückgängig: Bilder Mischen, 3 Dateien")));
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    dialogs.boxes.clear();
    click("UndoBtn");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(names(), sortedOriginals());
    EXPECT_FALSE(undo()->isEnabled());
}

// The date tools can be undone now, and their warnings say so.
TEST_F(UndoWindow, TheDateWarningsPointToTheUndo) {
    click("FixDatumWennKeinsGefundenCheck");
    EXPECT_EQ(control<QLabel>("Warnung2")->text(),
              q("ACHTUNG: Überschreibt das Datum (zurück mit \"Rückgängig\")"));
    EXPECT_EQ(control<QLabel>("DateShuffleWarning")->text(),
              q("ACHTUNG: Überschreibt das Datum (zurück mit \"Rückgängig\")"));
    const QDateTime before = QFileInfo(folder + originals[0]).lastModified();
    click("Mix_FileDate_Btn");
    EXPECT_NE(QFileInfo(folder + originals[0]).lastModified(), before);
    EXPECT_TRUE(undo()->toolTip().startsWith(q("Rückgängig: Datum mischen, 3 Dateien")));
    dialogs.replies = {Mb::ResultYes};
    click("UndoBtn");
    EXPECT_EQ(QFileInfo(folder + originals[0]).lastModified(), before);
    EXPECT_FALSE(undo()->isEnabled());
}
