#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "form1fixture.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

// The window on a folder "Rom" with the given pictures, their names shown in the strip.
class NamesWindow : public Form1Test {
protected:
    QStringList names = {q("IMG_0001.jpg"), q("IMG_20190313.jpg")};
    void SetUp() override {
        ASSERT_FALSE(batInterpreterPath().isEmpty()) << "kadrano-bat is built with the tests";
        for (const QString& n : names)
            pictures.write(q("Rom/") + n, n.toUtf8());
        start(pictures.path() + q("Rom/"));
        click("Vorschau");
    }
    void type(const char* name, const QString& text) {
        QLineEdit* e = control<QLineEdit>(name);
        e->setFocus();
        e->selectAll();
        e->insert(text);  // as typing does: one textChanged for the edit
    }
    QString text(const char* label) const { return control<QLabel>(label)->text(); }
    // Moves the focus from the digit count to another control.
    void setDigitCount(const char* n) {
        QComboBox* digits = control<QComboBox>("CameraNr_NrCombo");
        digits->setFocus();
        digits->setEditText(q(n));
        control<QLineEdit>("REplaceText")->setFocus();
    }
};

class CaptionWindow : public NamesWindow {
protected:
    CaptionWindow() {
        names = {q("2015-03-04 Urlaub am See.jpg"),
                 q("IMG_0001.jpg"),
                 q("IMG_0002.jpg"),
                 q("IMG_0003.jpg"),
                 q("IMG_0004.jpg"),
                 q("IMG_0005.jpg"),
                 q("Zoo.jpg")};
    }
};

}  // namespace

TEST_F(NamesWindow, TypingIntoTheRenameBoxesUpdatesBothPreviewLabels) {
    ASSERT_EQ(window->previewName(), q("IMG_0001.jpg"));
    type("Umben_LinksAnf", q("Urlaub_"));
    EXPECT_EQ(text("UmbOrig_Lab"), q("IMG_0001.jpg"));
    EXPECT_EQ(text("UmbNeu_Lab"), q("Urlaub_IMG_0001.jpg"));
    EXPECT_EQ(control<QLabel>("UmbNeu_Lab")->toolTip(), q("Urlaub_IMG_0001.jpg  (Neuer Name)"));
    type("Umben_RechtsAnf", q("_x"));
    EXPECT_EQ(text("UmbNeu_Lab"), q("Urlaub_IMG_0001_x.jpg"));
    type("Umben_ErsetzenVon", q("IMG"));
    EXPECT_EQ(text("UmbNeu_Lab"), q("Urlaub__0001_x.jpg"));
    type("Umben_ErsetzenMit", q("Bild"));
    EXPECT_EQ(text("UmbNeu_Lab"), q("Urlaub_Bild_0001_x.jpg"));
    EXPECT_EQ(control<QLabel>("UmbNeu_Lab")->toolTip(), q("Urlaub_Bild_0001_x.jpg  (Neuer Name)"));
    EXPECT_EQ(text("UmbOrig_Lab"), q("IMG_0001.jpg"));
}

TEST_F(NamesWindow, TheDirectoryBoxesCoupleAndRefreshThePreview) {
    QCheckBox* left = control<QCheckBox>("Umben_VerzLinksAnf");
    QCheckBox* right = control<QCheckBox>("Umben_VerzRechtsAnf");
    EXPECT_FALSE(right->isEnabled());
    click("Umben_VerzLinksAnf");
    EXPECT_TRUE(right->isEnabled());
    EXPECT_EQ(text("UmbNeu_Lab"), q("RomIMG_0001.jpg"));
    click("Umben_VerzRechtsAnf");
    EXPECT_FALSE(left->isEnabled());
    EXPECT_EQ(text("UmbNeu_Lab"), q("IMG_0001Rom.jpg"));
    click("Umben_VerzRechtsAnf");
    EXPECT_TRUE(left->isEnabled());
    click("Umben_VerzLinksAnf");
    EXPECT_FALSE(right->isEnabled());
    EXPECT_EQ(text("UmbNeu_Lab"), q("IMG_0001.jpg"));
}

TEST_F(NamesWindow, StartWritesTheCustomScriptAndItsOwnButtonRunsItLater) {
    type("Umben_LinksAnf", q("x"));
    dialogs.replies = {Mb::ResultNo};
    click("Umben_Start");
    EXPECT_TRUE(pictures.exists(q("Rom/_Rename_Custom.bat")));
    EXPECT_FALSE(control<QPushButton>("Command18")->isHidden());
    EXPECT_TRUE(control<QPushButton>("Command9")->isHidden());
    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};
    click("Command18");
    EXPECT_EQ(pictures.names(q("Rom")), QStringList({q("xIMG_0001.jpg"), q("xIMG_20190313.jpg")}));
    EXPECT_TRUE(control<QPushButton>("Command18")->isHidden());
}

TEST_F(NamesWindow, EightDigitsTickTheDateAndTheCameraRunRenames) {
    QCheckBox* date = control<QCheckBox>("ChangeToDate");
    QCheckBox* right = control<QCheckBox>("PutOnRightSide");
    window->areaStack().showCameraNumbers();
    if (right->isChecked())
        click("PutOnRightSide");
    if (control<QCheckBox>("NoNumbers")->isChecked())
        click("NoNumbers");
    ASSERT_TRUE(date->isEnabled());
    setDigitCount("4");
    EXPECT_FALSE(date->isEnabled());
    EXPECT_FALSE(date->isChecked());
    setDigitCount("8");
    EXPECT_TRUE(date->isEnabled());
    EXPECT_TRUE(date->isChecked());
    click("PutOnRightSide");
    EXPECT_FALSE(date->isEnabled());
    click("PutOnRightSide");
    EXPECT_TRUE(date->isEnabled());
    click("ChangeToDate");
    EXPECT_FALSE(right->isEnabled());
    click("ChangeToDate");
    EXPECT_TRUE(right->isEnabled());
    // A tick that is no click (a screen reader's toggle) counts the same.
    date->toggle();
    EXPECT_FALSE(right->isEnabled());
    date->toggle();
    EXPECT_TRUE(right->isEnabled());

    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};
    click("Remove_Camera_Nr");
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_TRUE(dialogs.boxes[0].text.contains(q("_Remove_CameraNumbers.bat")));
    EXPECT_EQ(pictures.names(q("Rom")), QStringList({q("1#IMG_0001.jpg"), q("2#2019-03-13.jpg")}));
}

TEST_F(NamesWindow, AnotherStartTextCollectsTheFilesAgain) {
    window->areaStack().showCameraNumbers();
    pictures.write(q("Rom/IMG_0002.jpg"));
    control<QComboBox>("CameraNr_Combo")->setEditText(q("P"));
    EXPECT_EQ(status(), q("Gefunden: 3"));
}

TEST_F(CaptionWindow, TheCaptionPreviewFollowsEveryTextOption) {
    ASSERT_EQ(window->previewName(), names[0]);
    EXPECT_EQ(text("NamensVorschau"), q("\"04.03.2015-Urlaub am See\""));
    type("FreiText_Bild", q(" Ostsee"));
    EXPECT_EQ(text("NamensVorschau"), q("\"04.03.2015-Urlaub am See Ostsee\""));
    click("FreiTextLinksCheck");
    EXPECT_EQ(text("NamensVorschau"), q("\"Ostsee04.03.2015-Urlaub am See\""));
    type("ErsetzenVon", q("See"));
    type("ErsetzenMit", q("Meer"));
    EXPECT_EQ(text("NamensVorschau"), q("\"Ostsee04.03.2015-Urlaub am Meer\""));

    QCheckBox* original = control<QCheckBox>("OriginalNamen");
    ASSERT_TRUE(original->isEnabled());
    click("REmoveNumbers");
    EXPECT_EQ(text("NamensVorschau"), q("\"Ostsee2015-03-04 Urlaub am Meer\""));
    EXPECT_FALSE(original->isEnabled());
    click("REmoveNumbers");
    EXPECT_TRUE(original->isEnabled());

    click("KeinDAteinameText");
    EXPECT_EQ(text("NamensVorschau"), q("\"Ostsee\""));
    type("FreiText_Bild", QString(60, u'x'));
    EXPECT_EQ(text("NamensVorschau"),
              u'"' + QString(53, u'x') + q(".. ") + QString(7, u'x') + u'"');
}

TEST_F(CaptionWindow, TheCaptionPreviewFollowsThePreviewedFile) {
    click("REmoveNumbers");
    EXPECT_EQ(text("NamensVorschau"), q("\"2015-03-04 Urlaub am See\""));
    click("Vorschau");  // the next page starts with the sixth name
    ASSERT_EQ(window->previewName(), q("IMG_0005.jpg"));
    EXPECT_EQ(text("NamensVorschau"), q("\"IMG_0005\""));
}
