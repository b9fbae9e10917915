#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "form1fixture.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

class ShuffleWindow : public Form1Test {
protected:
    QString folder;
    const QStringList originals = {q("a b.jpg"), q("Müll.jpg"), q("IMG_0001.jpg"), q("50%.jpg")};
    void SetUp() override {
        ASSERT_FALSE(batInterpreterPath().isEmpty()) << "kadrano-bat is built with the tests";
        for (const QString& n : originals)
            pictures.write(q("Fotos 2019/") + n, n.toUtf8());
        folder = pictures.path() + q("Fotos 2019/");
        start(folder);
    }
    QStringList names() const {
        QStringList n = QDir(folder).entryList({q("*.jpg")}, QDir::Files);
        n.sort();
        return n;
    }
    bool allShuffled() const {
        const QRegularExpression shuffled(q("^\\d{4}#(.+)$"));
        QStringList restored;
        for (const QString& n : names()) {
            const auto m = shuffled.match(n);
            if (!m.hasMatch())
                return false;
            restored << m.captured(1);
        }
        restored.sort();
        QStringList expected = originals;
        expected.sort();
        return restored == expected;
    }
};

}  // namespace

TEST_F(ShuffleWindow, WithoutQuestionsShuffleAndRestoreRunStraightThrough) {
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    click("Command1");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(allShuffled()) << names().join(u',').toStdString();
    EXPECT_EQ(status(), q("Gefunden: 4"));  // collected again after the run
    click("Command2");
    QStringList expected = originals;
    expected.sort();
    EXPECT_EQ(names(), expected);
    EXPECT_TRUE(dialogs.boxes.empty());
    for (const QString& n : originals)
        EXPECT_EQ(pictures.read(q("Fotos 2019/") + n), n.toUtf8());
}

TEST_F(ShuffleWindow, YesRunsAndDeletesNoKeepsTheScriptAndShowsItsButton) {
    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};
    click("Command1");
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Dateien jetzt umbenennen?"));
    EXPECT_TRUE(dialogs.boxes[0].text.contains(folder + q("_Rename_Random.bat")));
    EXPECT_EQ(dialogs.boxes[1].title, q("Fertig - Script-Datei löschen?"));
    EXPECT_TRUE(allShuffled());
    EXPECT_FALSE(QFileInfo::exists(folder + q("_Rename_Random.bat")));
    EXPECT_TRUE(control<QPushButton>("Command9")->isHidden());

    dialogs.replies = {Mb::ResultNo};
    const QStringList before = names();
    click("Command1");
    EXPECT_EQ(names(), before);
    EXPECT_TRUE(QFileInfo::exists(folder + q("_Rename_Random.bat")));
    EXPECT_EQ(dialogs.editorFiles.last(), folder + q("_Rename_Random.bat"));
    EXPECT_FALSE(control<QPushButton>("Command9")->isHidden());

    // The kept script runs from its button and the button goes with the script.
    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};
    click("Command9");
    EXPECT_FALSE(QFileInfo::exists(folder + q("_Rename_Random.bat")));
    EXPECT_TRUE(control<QPushButton>("Command9")->isHidden());
    const QRegularExpression twice(q("^\\d{4}#\\d{4}#"));
    for (const QString& n : names())
        EXPECT_TRUE(twice.match(n).hasMatch()) << n.toStdString();
}

TEST_F(ShuffleWindow, AKeptScriptShowsItsButtonWhenTheFolderIsChosenAgain) {
    pictures.write(q("Fotos 2019/_Restore_Original.bat"), "chcp 1252\r\n");
    auto* text1 = control<QLineEdit>("Text1");
    text1->setText(pictures.path());
    EXPECT_TRUE(control<QPushButton>("Command10")->isHidden());
    text1->setText(folder);
    EXPECT_FALSE(control<QPushButton>("Command10")->isHidden());
}
