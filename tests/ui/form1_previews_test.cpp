// The file-name preview pages through the list; the picture preview shows the page's file,
// stretched into its box, and grows to the window on a click.

#include <QImage>
#include <QLabel>
#include <QTest>

#include "form1fixture.h"
#include "ui/clickablelabel.h"
#include "ui/twips.h"

namespace kadrano::test {

namespace {

// The colour in the middle of what a label shows.
QColor middleColour(const QLabel* label) {
    const QPixmap pm = label->pixmap();
    if (pm.isNull())
        return QColor();
    const QImage image = pm.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

}  // namespace

class PreviewTest : public Form1Test {
protected:
    QStringList names;
    std::vector<QColor> colours;

    // Eight pictures, each of its own colour, named so that the listing keeps this order.
    void eightPictures() {
        for (int i = 1; i <= 8; ++i) {
            const QString name = QStringLiteral("Bild %1.jpg").arg(i);
            const QColor colour = QColor::fromHsv((i * 45) % 360, 255, 220);
            picture(name, QSize(80, 60), colour);
            names.append(name);
            colours.push_back(colour);
        }
    }

    ClickableLabel* names_() const { return control<ClickableLabel>("Vorschau"); }
    QLabel* box() const { return control<QLabel>("VorschauPic"); }
    QStringList page() const {
        QString t = names_()->text();
        if (t.endsWith(u'\n'))
            t.chop(1);
        return t.split(u'\n');
    }
};

TEST_F(PreviewTest, PagesOfSixNamesOverlapByOneAndWrapToTheStart) {
    eightPictures();
    start(pictures.path());
    ASSERT_EQ(window->fileList().count(), 8);
    EXPECT_EQ(names_()->text(), QStringLiteral("."));

    click("Vorschau");
    EXPECT_EQ(page(), names.mid(0, 6));
    EXPECT_EQ(window->previewName(), names.at(0));
    EXPECT_EQ(window->previews().previewedFilePath(), pictures.file(names.at(0)));

    click("Vorschau");
    EXPECT_EQ(page(), names.mid(5, 3));
    EXPECT_EQ(window->previewName(), names.at(5));
    EXPECT_EQ(window->previews().previewedFilePath(), pictures.file(names.at(5)));

    click("Vorschau");
    EXPECT_EQ(page(), names.mid(0, 6));
    EXPECT_TRUE(names_()->isEnabled());
}

TEST_F(PreviewTest, ThePictureBoxShowsTheFileOfThePageStretchedToTheBox) {
    eightPictures();
    start(pictures.path());
    // After the collection the first picture shows.
    ASSERT_FALSE(box()->pixmap().isNull());
    EXPECT_TRUE(near(middleColour(box()), colours[0]));
    EXPECT_EQ(box()->geometry(), pxRect(120, 1185, 1035, 840));
    EXPECT_TRUE(box()->hasScaledContents()) << "the picture fills the whole box";

    click("Vorschau");
    click("Vorschau");
    EXPECT_TRUE(near(middleColour(box()), colours[5]));
    click("Vorschau");
    EXPECT_TRUE(near(middleColour(box()), colours[0]));
}

TEST_F(PreviewTest, AFileThatIsNoPictureLeavesTheBoxEmpty) {
    pictures.write(QStringLiteral("kaputt.jpg"), QByteArray("this is not a JPEG"));
    picture(QStringLiteral("later.jpg"), QSize(40, 30), Qt::blue);
    start(pictures.path());
    ASSERT_EQ(window->fileList().FileNames.first(), QStringLiteral("kaputt.jpg"));
    EXPECT_TRUE(box()->pixmap().isNull());

    // An emptied folder clears the names and the picture.
    QFile::remove(pictures.file(QStringLiteral("kaputt.jpg")));
    QFile::remove(pictures.file(QStringLiteral("later.jpg")));
    window->collectFiles();
    EXPECT_TRUE(names_()->text().isEmpty());
    EXPECT_TRUE(box()->pixmap().isNull());
    EXPECT_EQ(window->previews().previewedIndex(), -1);
    click("Vorschau");  // nothing to page through
    EXPECT_TRUE(names_()->text().isEmpty());
}

TEST_F(PreviewTest, AClickEnlargesThePictureInItsProportionsAndASecondShrinksIt) {
    picture(QStringLiteral("breit.jpg"), QSize(400, 100), Qt::green);
    start(pictures.path());
    const QRect small = box()->geometry();

    click("VorschauPic");
    const QRect big = box()->geometry();
    EXPECT_EQ(big.topLeft(), QPoint(0, 0));
    EXPECT_TRUE(window->previews().enlarged());
    EXPECT_LE(big.width(), window->width());
    EXPECT_LE(big.height(), window->height());
    EXPECT_TRUE(big.width() == window->width() || big.height() == window->height());
    EXPECT_NEAR(double(big.width()) / big.height(), 4.0, 0.05);
    EXPECT_TRUE(near(middleColour(box()), Qt::green));
    EXPECT_FALSE(window->loading()) << "the enlarging sets Loading only for its own time";

    click("VorschauPic");
    EXPECT_EQ(box()->geometry(), small);
    EXPECT_FALSE(window->previews().enlarged());
}

TEST_F(PreviewTest, ARightClickOpensTheFolderUnlessShiftIsHeld) {
    picture(QStringLiteral("a.jpg"), QSize(20, 20), Qt::red);
    start(pictures.path());
    QTest::mouseClick(names_(), Qt::RightButton, Qt::ShiftModifier);
    EXPECT_TRUE(dialogs.folders.isEmpty());
    QTest::mouseClick(names_(), Qt::RightButton);
    EXPECT_EQ(dialogs.folders, QStringList{window->directoryText()});
    EXPECT_EQ(names_()->text(), QStringLiteral(".")) << "a right click does not page";
}

}  // namespace kadrano::test
