#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>

#include "form1fixture.h"
#include "ui/fontfamilybox.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

bool haveImageMagick() {
    return !QStandardPaths::findExecutable(q("convert")).isEmpty();
}

const QDateTime kTaken(QDate(2014, 8, 2), QTime(17, 45));

// The largest difference of any colour channel between the two pictures inside r.
int largestDifference(const QImage& a, const QImage& b, const QRect& r) {
    int most = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = a.pixel(x, y), o = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(o)), std::abs(qGreen(p) - qGreen(o)),
                             std::abs(qBlue(p) - qBlue(o))});
        }
    return most;
}

// The text area of a window on a folder with one picture, a light landscape with a darker
// band, taken long ago.
class TextWindow : public Form1Test {
protected:
    QString folder;
    QString original;

    void SetUp() override {
        ASSERT_FALSE(batInterpreterPath().isEmpty()) << "kadrano-bat is built with the tests";
        folder = pictures.path() + q("Urlaub Rom/");
        original = folder + q("23_2019_Urlaub_Rom.jpg");
        pictures.mkdir(q("Urlaub Rom"));
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(QColor(235, 235, 225));
        QPainter(&image).fillRect(0, 380, 800, 60, QColor(120, 160, 200));
        ASSERT_TRUE(image.save(original, "JPEG", 95));
        QFile f(original);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(kTaken, QFileDevice::FileModificationTime));
    }

    void openTextArea() {
        start(folder);
        click("TextHeader");
    }
    QComboBox* familyBox() const { return control<QComboBox>("SchriftartCombo"); }
    QLabel* preview() const { return control<QLabel>("NamensVorschau"); }
    // Chooses a colour from the list as a person does: typed and confirmed with Enter.
    void chooseColour(const QString& name) {
        QLineEdit* edit = control<QComboBox>("TextfarbeCOmbo")->lineEdit();
        edit->setText(name);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QString copyOf(const QString& path) const {
        const QFileInfo info(path);
        return info.absolutePath() + q("/Text-Included/") + info.fileName();
    }
};

QColor textOf(const QWidget* w) {
    return w->palette().color(QPalette::Text);
}

}  // namespace

TEST_F(TextWindow, LightColoursShowOnDarkGreyWithABlackPreviewOthersOnWhite) {
    openTextArea();
    chooseColour(q("Gelb"));
    EXPECT_EQ(textOf(familyBox()), QColor(255, 255, 0));
    EXPECT_EQ(familyBox()->palette().color(QPalette::Base), QColor(64, 64, 64));
    EXPECT_EQ(preview()->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_FALSE(preview()->isHidden());

    chooseColour(q("Rot"));
    EXPECT_EQ(textOf(familyBox()), QColor(255, 0, 0));
    EXPECT_EQ(familyBox()->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(preview()->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // A name the table does not hold changes nothing.
    chooseColour(q("Lila"));
    EXPECT_EQ(textOf(familyBox()), QColor(255, 0, 0));
    EXPECT_EQ(preview()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(TextWindow, FreeTextOnlyHidesTheNameOptionsAndRelabels) {
    openTextArea();
    click("Vorschau");  // the names, and with them the caption preview, are shown
    control<QLineEdit>("FreiText_Bild")->setText(q("Sommer"));
    const QString withName = preview()->text();
    EXPECT_TRUE(withName.contains(q("Urlaub"))) << withName.toStdString();
    EXPECT_TRUE(withName.contains(q("Sommer")));

    const char* nameOptions[] = {"OriginalNamen",     "ErsetzenVon",        "ErsetzenMit",
                                 "ReplaceArrowLabel", "FreiTextLinksCheck", "ReplaceTextLabel"};
    click("KeinDAteinameText");
    EXPECT_TRUE(control<QCheckBox>("REmoveNumbers")->isHidden());
    EXPECT_FALSE(control<QCheckBox>("REmoveNumbers")->isEnabled());
    for (const char* name : nameOptions)
        EXPECT_TRUE(control<QWidget>(name)->isHidden()) << name;
    EXPECT_EQ(control<QLabel>("FreeTextLabel")->text(), q("Bild-Text:"));
    EXPECT_FALSE(preview()->text().contains(q("Urlaub"))) << preview()->text().toStdString();
    EXPECT_TRUE(preview()->text().contains(q("Sommer")));

    click("KeinDAteinameText");
    EXPECT_FALSE(control<QCheckBox>("REmoveNumbers")->isHidden());
    EXPECT_TRUE(control<QCheckBox>("REmoveNumbers")->isEnabled());
    for (const char* name : nameOptions)
        EXPECT_FALSE(control<QWidget>(name)->isHidden()) << name;
    EXPECT_EQ(control<QLabel>("FreeTextLabel")->text(), q("Text-Zusatz:"));
    EXPECT_EQ(preview()->text(), withName);
}

TEST_F(TextWindow, StoredLightColourAndFreeTextOnlyAreShownFromTheStart) {
    program.write(q("kadrano.ini"),
                  "[Settings]\r\nText_Farbe=Weiss\r\nKein_Dateiname_Text_Check=1\r\n");
    openTextArea();
    EXPECT_EQ(familyBox()->palette().color(QPalette::Base), QColor(64, 64, 64));
    EXPECT_EQ(preview()->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_TRUE(control<QCheckBox>("REmoveNumbers")->isHidden());
    EXPECT_TRUE(control<QWidget>("ErsetzenVon")->isHidden());
    EXPECT_EQ(control<QLabel>("FreeTextLabel")->text(), q("Bild-Text:"));
}

TEST_F(TextWindow, FamilyBoxFollowsListKeysBoldAndItalic) {
    fontList = defaultFontList();
    for (const char* family : {"Liberation Serif", "Tinos", "Times"})
        fontList << q("Font: ") + q(family).replace(u' ', u'-') << q("family: ") + q(family)
                 << q("glyphs: /nowhere/") + q(family) + q(".ttf");
    openTextArea();
    QComboBox* box = familyBox();
    QLineEdit* edit = box->lineEdit();
    ASSERT_EQ(box->count(), 5);
    EXPECT_EQ(box->itemText(0), q("DejaVu Sans"));

    // A typed letter jumps to the first family that begins with it in upper case and is
    // not written into the box; the caption preview shows that family.
    QTest::keyClick(edit, Qt::Key_T);
    EXPECT_EQ(box->currentText(), q("Tinos"));
    EXPECT_EQ(edit->text(), q("Tinos"));
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->cursorPosition(), edit->text().size());
    EXPECT_EQ(preview()->font().family(), q("Tinos"));
    EXPECT_EQ(box->font().family(), q("Tinos"));
    // A letter no family begins with changes nothing and is dropped as well.
    QTest::keyClick(edit, Qt::Key_Q);
    EXPECT_EQ(edit->text(), q("Tinos"));
    // "&" is the box's own.
    QTest::keyClicks(edit, q("&"));
    EXPECT_EQ(edit->text(), q("Tinos&"));
    EXPECT_EQ(box->currentIndex(), 3);

    // Picking from the list: the next entry.
    edit->setText(q("DejaVu Sans"));
    box->setCurrentIndex(0);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(box->currentText(), q("Liberation Sans"));
    EXPECT_EQ(preview()->font().family(), q("Liberation Sans"));

    // Bold is ticked by default; both follow the check boxes.
    ASSERT_TRUE(control<QCheckBox>("FettCheck")->isChecked());
    EXPECT_TRUE(box->font().bold());
    click("FettCheck");
    EXPECT_FALSE(box->font().bold());
    EXPECT_FALSE(preview()->font().bold());
    click("KursivCheck");
    EXPECT_TRUE(box->font().italic());
    EXPECT_TRUE(preview()->font().italic());
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(preview()->font().family(), q("DejaVu Sans"));
    EXPECT_TRUE(preview()->font().italic());
}

TEST_F(TextWindow, StoredFamilyTheListLacksBecomesTheDesktopsMatch) {
    openTextArea();
    // "Arial" is the stored default; the font list of this machine has no Arial.
    const QString match = desktopFontFamily(q("Arial"));
    const QString expected = familyBox()->findText(match) >= 0 ? match : q("DejaVu Sans");
    EXPECT_EQ(familyBox()->currentText(), expected);

    // What the box shows is what is stored.
    click("SaveIniBtn");
    const QByteArray ini = program.read(q("kadrano.ini"));
    EXPECT_TRUE(ini.contains("Schriftart=" + expected.toUtf8())) << ini.toStdString();
}

TEST_F(TextWindow, WithoutAFontListTheFirstStartAsksAndNoKeepsTheStoredFamily) {
    if (!haveImageMagick())
        GTEST_SKIP() << "without ImageMagick the fonts are not looked at";
    fontList.clear();
    dialogs.replies = {Mb::ResultNo};
    openTextArea();
    ASSERT_GE(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Schriften jetzt initialisieren?"));
    EXPECT_EQ(dialogs.boxes[0].text,
              q("Die Windows-Schriften müssen einmalig importiert werden, soll dies jetzt "
                "geschehen?"));
    EXPECT_EQ(dialogs.boxes[0].flags, int(Mb::YesNo));
    EXPECT_EQ(familyBox()->count(), 0);
    EXPECT_EQ(familyBox()->currentText(), q("Arial"));
    EXPECT_FALSE(program.exists(q("FontList.txt")));
}

TEST_F(TextWindow, FirstStartImportsTheFontsOfTheRealImageMagick) {
    if (!haveImageMagick())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    fontList.clear();
    dialogs.replies = {Mb::ResultYes};
    openTextArea();
    ASSERT_GE(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Schriften jetzt initialisieren?"));
    ASSERT_TRUE(program.exists(q("FontList.txt"))) << runner.lastOutput.toStdString();
    EXPECT_FALSE(program.exists(q("ImageMagic_GetFonts.bat")));
    EXPECT_FALSE(program.exists(q("ImageMagic_FontExport.txt")));
    EXPECT_GT(familyBox()->findText(q("DejaVu Sans")), -1);
    EXPECT_FALSE(familyBox()->currentText().isEmpty());
    // Only the three kinds of lines, trimmed.
    const QStringList lines = QString::fromUtf8(program.read(q("FontList.txt")))
                                  .split(QRegularExpression(q("\r?\n")), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        EXPECT_TRUE(line.startsWith(q("Font: ")) || line.startsWith(q("family: ")) ||
                    line.startsWith(q("glyphs: ")))
            << line.toStdString();
    }

    // Reloading keeps the chosen family and gives the status line back.
    familyBox()->setCurrentIndex(familyBox()->findText(q("DejaVu Sans")));
    const QString before = status();
    click("SchriftenAktBtn");
    EXPECT_EQ(familyBox()->currentText(), q("DejaVu Sans"));
    EXPECT_EQ(status(), before);
}

TEST_F(TextWindow, StartWritesCaptionedCopiesWithTheRealImageMagick) {
    if (!haveImageMagick())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    openTextArea();
    const QByteArray originalBytes = pictures.read(q("Urlaub Rom/23_2019_Urlaub_Rom.jpg"));
    control<QComboBox>("SchriftGr")->setEditText(q("48"));
    chooseColour(q("Schwarz"));
    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};  // run, then delete the script
    click("ImageMagic_Btn_Text");

    ASSERT_EQ(runner.calls.size(), 1u);
    ASSERT_EQ(dialogs.boxes.size(), 2u) << dialogs.boxes.back().text.toStdString();
    EXPECT_EQ(dialogs.boxes[0].title, q("Bat-Datei löschen?"));
    EXPECT_FALSE(QFile::exists(folder + q("_Add_Text_ToPictures.bat")));
    EXPECT_TRUE(control<QPushButton>("Command19")->isHidden());
    EXPECT_EQ(status(), q("Fertig"));

    const QString copy = copyOf(original);
    ASSERT_TRUE(QFile::exists(copy)) << runner.lastOutput.toStdString();
    EXPECT_EQ(pictures.read(q("Urlaub Rom/23_2019_Urlaub_Rom.jpg")), originalBytes);
    EXPECT_EQ(QFileInfo(copy).lastModified(), kTaken);
    EXPECT_EQ(QFileInfo(original).lastModified(), kTaken);
    const QImage before(original), after(copy);
    ASSERT_EQ(after.size(), before.size());
    // Black text in the lower right corner, nothing near the top left.
    EXPECT_GT(largestDifference(before, after, QRect(400, 520, 400, 80)), 150);
    EXPECT_LT(largestDifference(before, after, QRect(0, 0, 400, 300)), 40);
}

TEST_F(TextWindow, NoKeepsTheScriptWithTheChosenFontAndItsButtonRunsItLater) {
    if (!haveImageMagick())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    openTextArea();
    familyBox()->setCurrentIndex(familyBox()->findText(q("DejaVu Sans")));
    chooseColour(q("Gelb"));
    dialogs.replies = {Mb::ResultNo, Mb::ResultNo};  // open in the editor, keep it
    click("ImageMagic_Btn_Text");
    const QString script = folder + q("_Add_Text_ToPictures.bat");
    EXPECT_EQ(dialogs.editorFiles, QStringList{script});
    ASSERT_TRUE(QFile::exists(script));
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_FALSE(control<QPushButton>("Command19")->isHidden());
    EXPECT_FALSE(QFile::exists(copyOf(original)));
    const QString text = QString::fromUtf8(pictures.read(q("Urlaub Rom/_Add_Text_ToPictures.bat")));
    // "Fett" is ticked: the family's bold file; the yellow ImageMagick knows.
    EXPECT_TRUE(
        text.contains(q(" -fill rgb(255,255,0) -gravity Southeast -pointsize 60 -font "
                        "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "
                        "-annotate +0+5 ")))
        << text.toStdString();

    dialogs.boxes.clear();
    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};
    click("Command19");
    EXPECT_EQ(runner.calls.size(), 1u);
    ASSERT_TRUE(QFile::exists(copyOf(original))) << runner.lastOutput.toStdString();
    EXPECT_EQ(QFileInfo(copyOf(original)).lastModified(), kTaken);
    EXPECT_FALSE(QFile::exists(script));
    EXPECT_TRUE(control<QPushButton>("Command19")->isHidden());
}

// A stored ImageMagick in a folder of its own that we may write: the font list belongs
// there (so the one beside the settings is not it), and the script lines begin with it.
TEST_F(TextWindow, StoredImageMagickPathLeadsTheLinesAndKeepsTheFontList) {
    const QString magick = pictures.write(q("Image Magick/magick"), "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(magick,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    program.write(q("kadrano.ini"), "[Settings]\r\nImageMagic_Pfad=" + magick.toUtf8() + "\r\n");
    dialogs.replies = {Mb::ResultNo};  // no import now
    openTextArea();
    ASSERT_GE(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Schriften jetzt initialisieren?"));
    EXPECT_EQ(familyBox()->count(), 0);

    dialogs.boxes.clear();
    dialogs.replies = {Mb::ResultNo, Mb::ResultNo};
    click("ImageMagic_Btn_Text");
    const QString text = QString::fromUtf8(pictures.read(q("Urlaub Rom/_Add_Text_ToPictures.bat")));
    EXPECT_TRUE(text.contains(u'"' + magick + q("\" convert ")));
    // No family is known: no font file, ImageMagick's own font.
    EXPECT_FALSE(text.contains(q(" -font "))) << text.toStdString();
}
