// The stack of tool areas: one open at a time, the heights they open to, what opening and
// closing shows and hides, and how the window's height follows.

#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "form1fixture.h"
#include "ui/twips.h"

namespace kadrano::test {

namespace {

// The stack from the name strip down to the bottom strip.
const char* const kStack[] = {"Frame7",  "Frame14",       "Frame4",     "Frame12",     "IrfanFrame",
                              "Frame13", "DoppelteFrame", "DatumFrame", "BeendenFrame"};

struct AreaCase {
    const char* frame;
    const char* icon;
    const char* header;
    int openTwips;
    std::vector<const char*> inner;
    bool hidesDropPicture;
};

const std::vector<AreaCase>& Areas() {
    static const std::vector<AreaCase> areas = {
        {"Frame14", "Picture7", "ResizeHeader", 3615, {"Frame8"}, true},
        {"Frame4", "Picture6", "OrientationHeader", 3135, {"Frame10", "Frame2"}, true},
        {"Frame12", "Picture8", "RenameHeader", 3135, {"Frame11"}, true},
        {"IrfanFrame", "Picture5", "TextHeader", 4455, {"Frame9"}, true},
        {"Frame13", "WÜrfelBild", "ShuffleHeader", 3135, {"Frame3"}, false},
        {"DoppelteFrame", "DoppeltePicture", "DoppelteHeader", 3015, {"DoppelteInnenFrame"}, false},
        {"DatumFrame", "DatumPic", "DatumHeader", 3135, {"Frame18", "Frame17"}, false},
    };
    return areas;
}

}  // namespace

class AreasTest : public Form1Test {
protected:
    void SetUp() override {
        picture(QStringLiteral("a.jpg"), QSize(64, 48), Qt::red);
        start(pictures.path());
        QApplication::setActiveWindow(window.get());
    }

    QWidget* w(const char* name) const { return control<QWidget>(name); }
    // Where a part of the stack lies in the window (the areas lie on a page of their own).
    int topOf(const char* name) const { return w(name)->mapTo(window.get(), QPoint(0, 0)).y(); }
    int bottomOf(const char* name) const { return topOf(name) + w(name)->height(); }

    // Every element starts where the one above ends, and the window ends 800 twips below
    // the bottom strip.
    void expectStacked() const {
        for (std::size_t i = 1; i < std::size(kStack); ++i)
            EXPECT_EQ(topOf(kStack[i]), bottomOf(kStack[i - 1])) << kStack[i];
        EXPECT_EQ(window->height(), px(toTwips(bottomOf("BeendenFrame")) + 800));
    }

    void clickOn(const char* name) { QTest::mouseClick(w(name), Qt::LeftButton); }
};

TEST_F(AreasTest, AtStartEveryAreaIsClosedAndTheStackFitsTheWindow) {
    for (const AreaCase& a : Areas()) {
        EXPECT_EQ(w(a.frame)->height(), px(615)) << a.frame;
        EXPECT_EQ(w(a.frame)->x(), 0) << a.frame;
        EXPECT_FALSE(w(a.header)->font().underline()) << a.header;
        for (const char* inner : a.inner)
            EXPECT_FALSE(w(inner)->isVisible()) << inner;
    }
    expectStacked();
    EXPECT_EQ(window->areaStack().openArea(), nullptr);
    EXPECT_TRUE(w("DragDropPic")->isVisible());
    EXPECT_FALSE(w("VerzBaum_Frame")->isVisible());
    EXPECT_FALSE(w("Frame6")->isVisible());
    EXPECT_TRUE(w("Label6")->isVisible());
}

TEST_F(AreasTest, EachAreaOpensByItsIconAndClosesByItsHeader) {
    for (const AreaCase& a : Areas()) {
        SCOPED_TRACE(a.frame);
        clickOn(a.icon);
        EXPECT_EQ(w(a.frame)->height(), px(a.openTwips));
        EXPECT_EQ(window->areaStack().openArea(), w(a.frame));
        EXPECT_TRUE(w(a.header)->font().underline());
        for (const char* inner : a.inner)
            EXPECT_TRUE(w(inner)->isVisible()) << inner;
        EXPECT_EQ(w("DragDropPic")->isVisible(), !a.hidesDropPicture);
        for (const AreaCase& other : Areas()) {
            if (other.frame == a.frame)
                continue;
            EXPECT_EQ(w(other.frame)->height(), px(615)) << other.frame;
            EXPECT_FALSE(w(other.header)->font().underline()) << other.header;
            for (const char* inner : other.inner)
                EXPECT_FALSE(w(inner)->isVisible()) << inner;
        }
        expectStacked();
        // The open area's panels lie inside the area and inside the window.
        QCoreApplication::processEvents();  // lets the panels' layouts settle
        for (const char* inner : a.inner) {
            const QRect r(w(inner)->mapTo(window.get(), QPoint(0, 0)), w(inner)->size());
            EXPECT_LE(r.bottom(), bottomOf(a.frame)) << inner;
            EXPECT_LE(r.right(), window->width()) << inner;
        }

        clickOn(a.header);
        EXPECT_EQ(w(a.frame)->height(), px(615));
        EXPECT_EQ(window->areaStack().openArea(), nullptr);
        EXPECT_FALSE(w(a.header)->font().underline());
        EXPECT_TRUE(w("DragDropPic")->isVisible());
        expectStacked();
    }
}

TEST_F(AreasTest, OpeningTheTextAreaClosesTheResizeAreaAndMovesTheOnesBelow) {
    clickOn("Picture7");
    ASSERT_EQ(w("Frame14")->height(), px(3615));
    const int heightWithResize = window->height();

    clickOn("Picture5");
    EXPECT_EQ(w("Frame14")->height(), px(615));
    EXPECT_EQ(w("IrfanFrame")->height(), px(4455));
    EXPECT_EQ(topOf("Frame13"), bottomOf("IrfanFrame"));
    EXPECT_EQ(window->height(), heightWithResize + px(4455) - px(3615));
    EXPECT_FALSE(w("DragDropPic")->isVisible());
    expectStacked();

    // A click on the open area's icon closes it, and the drop picture comes back.
    clickOn("Picture5");
    EXPECT_EQ(w("IrfanFrame")->height(), px(615));
    EXPECT_TRUE(w("DragDropPic")->isVisible());
    EXPECT_EQ(window->areaStack().openArea(), nullptr);
}

TEST_F(AreasTest, TheKeyboardOpensAnAreaWhenTheFocusReachesItsIconButAMouseClickOnlyOnce) {
    w("Picture8")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(window->areaStack().openArea(), w("Frame12"));

    // Focus that returns with the window, or comes from code, leaves the areas alone.
    w("Picture6")->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_EQ(window->areaStack().openArea(), w("Frame12"));

    // A click focuses the icon and clicks it: the area opens and stays open.
    w("Text1")->setFocus(Qt::OtherFocusReason);
    clickOn("DatumPic");
    EXPECT_EQ(window->areaStack().openArea(), w("DatumFrame"));
    EXPECT_EQ(w("DatumFrame")->height(), px(3135));
}

TEST_F(AreasTest, TheCameraNumbersShowBelowTheBottomStripUntilAnotherAreaOpens) {
    clickOn("Picture7");
    clickOn("Label6");
    EXPECT_EQ(window->height(), px(9645));
    EXPECT_EQ(window->areaStack().openArea(), nullptr) << "the stack closes to make room";
    EXPECT_TRUE(w("Frame6")->isVisible());
    EXPECT_TRUE(w("Frame1")->isVisible());
    EXPECT_FALSE(w("Label6")->isVisible());
    EXPECT_EQ(topOf("Frame6"), bottomOf("BeendenFrame"));
    EXPECT_LE(bottomOf("Frame6"), window->height());
    EXPECT_TRUE(w("Remove_Camera_Nr")->isVisible());

    clickOn("DoppeltePicture");
    EXPECT_FALSE(w("Frame6")->isVisible());
    EXPECT_TRUE(w("Label6")->isVisible());
    expectStacked();
}

TEST_F(AreasTest, AResizedWindowKeepsTheStackAndOnlyChangesWidths) {
    clickOn("Picture6");
    std::vector<QRect> before;
    for (const char* name : kStack)
        before.push_back(w(name)->geometry());
    const int bottomWidth = w("BeendenFrame")->width();

    window->resize(480, window->height());
    for (std::size_t i = 0; i < std::size(kStack); ++i) {
        SCOPED_TRACE(kStack[i]);
        EXPECT_EQ(w(kStack[i])->y(), before[i].y());
        EXPECT_EQ(w(kStack[i])->height(), before[i].height());
    }
    for (const char* name : {"Frame5", "Frame7", "Frame14", "Frame4", "Frame12", "IrfanFrame",
                             "Frame13", "DoppelteFrame", "DatumFrame", "Frame6"})
        EXPECT_EQ(w(name)->width(), 480 + px(1000)) << name;
    EXPECT_EQ(w("BeendenFrame")->width(), bottomWidth);
    QWidget* language = w("SwitchLAnguage_Label");
    EXPECT_EQ(language->x(), 480 - language->width() - px(250));
    EXPECT_EQ(language->y(), 0);
}

}  // namespace kadrano::test

namespace kadrano::test {

// A laptop screen of 768 lines leaves about 736 for the window: the text area, the tallest,
// does not fit below the strips.
class SmallScreenTest : public AreasTest {
protected:
    void SetUp() override {
        heightLimit = 736;
        AreasTest::SetUp();
    }
    QScrollArea* scroll() const { return control<QScrollArea>("AreasScroll"); }
};

TEST_F(SmallScreenTest, ATallAreaScrollsWhileTheBottomStripStaysInSight) {
    const int closedHeight = window->height();
    clickOn("Picture5");
    EXPECT_LE(window->height(), 736);
    EXPECT_LE(bottomOf("BeendenFrame"), window->height());
    EXPECT_TRUE(w("ExitBtn")->isVisible());
    // The areas keep their heights; the page scrolls instead.
    EXPECT_EQ(w("IrfanFrame")->height(), px(4455));
    ASSERT_GT(scroll()->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(topOf("AreasScroll"), bottomOf("Frame7"));
    EXPECT_EQ(bottomOf("AreasScroll"), topOf("BeendenFrame"));
    // The opened area is scrolled into sight, header and all, as far as the stack lets.
    EXPECT_GE(topOf("IrfanFrame"), topOf("AreasScroll"));
    EXPECT_LE(bottomOf("IrfanFrame"), bottomOf("AreasScroll"));
    // Every control of the open area can be scrolled into sight, its panel inside the
    // window's width beside the scroll bar.
    QWidget* panel = w("Frame9");
    scroll()->ensureWidgetVisible(panel, 0, 0);
    const int panelBottom = panel->mapTo(window.get(), QPoint(0, panel->height())).y();
    EXPECT_LE(panelBottom, bottomOf("AreasScroll"));
    EXPECT_LE(panel->mapTo(window.get(), QPoint(panel->width(), 0)).x(),
              window->width() - scroll()->verticalScrollBar()->width());

    // Closed again, nothing scrolls and the window is as before.
    clickOn("TextHeader");
    EXPECT_EQ(scroll()->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(window->height(), closedHeight);
    expectStacked();
}

TEST_F(SmallScreenTest, AnAreaThatFitsDoesNotScroll) {
    clickOn("Picture6");
    EXPECT_EQ(scroll()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    expectStacked();
}

}  // namespace kadrano::test
