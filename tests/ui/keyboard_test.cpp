// The window without a mouse: the keys that end it and show the general info, the names a
// screen reader says for the "?" buttons, and a Tab order that follows what the eye sees.

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "form1fixture.h"

namespace kadrano::test {

namespace {

class KeyboardTest : public Form1Test {
protected:
    void SetUp() override {
        picture(QStringLiteral("a.jpg"), QSize(64, 48), Qt::red);
        start(pictures.path());
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    QString accessibleNameOf(const char* name) const {
        return control<QWidget>(name)->accessibleName();
    }

    // The part of the window a control lies in, counted from the top: the top strip, the
    // name strip, each tool area in stack order, the bottom strip.
    int bandOf(QWidget* w) const {
        static const char* const kBands[] = {
            "Frame5",     "Frame7",  "Frame14",       "Frame4",     "Frame12",
            "IrfanFrame", "Frame13", "DoppelteFrame", "DatumFrame", "BeendenFrame"};
        for (int i = 0; i < int(std::size(kBands)); ++i) {
            QWidget* band = control<QWidget>(kBands[i]);
            if (band == w || band->isAncestorOf(w))
                return i;
        }
        return -1;
    }
};

}  // namespace

TEST_F(KeyboardTest, TheInfoButtonsAreNamedForScreenReaders) {
    EXPECT_EQ(accessibleNameOf("Command11"), QStringLiteral("Info: Kadrano"));
    EXPECT_EQ(accessibleNameOf("Command14"), QStringLiteral("Info: Bildgröße & Format ändern"));
    EXPECT_EQ(accessibleNameOf("Command7"), QStringLiteral("Info: Kamera Nummern"));
    for (const char* name : {"Command3", "Command12", "Command6", "Command15", "Command13",
                             "Command5", "Command21", "Command25"}) {
        const QString said = accessibleNameOf(name);
        EXPECT_TRUE(said.startsWith(QStringLiteral("Info: ")) && said.size() > 8) << name;
        EXPECT_FALSE(said.contains(QStringLiteral("&&"))) << name;
    }
    // In English they say the English headers.
    control<QPushButton>("SwitchLAnguage_Label")->click();
    EXPECT_NE(accessibleNameOf("Command14"), QStringLiteral("Info: Bildgröße & Format ändern"));
    EXPECT_TRUE(accessibleNameOf("Command14").startsWith(QStringLiteral("Info: ")));
}

TEST_F(KeyboardTest, F1ShowsTheGeneralInfo) {
    const int before = int(dialogs.boxes.size());
    QTest::keyClick(window.get(), Qt::Key_F1);
    ASSERT_EQ(int(dialogs.boxes.size()), before + 1);
    EXPECT_TRUE(dialogs.boxes.back().title.startsWith(QStringLiteral("Info - ")));
}

TEST_F(KeyboardTest, CtrlQEndsLikeTheEndButton) {
    bool ended = false;
    QObject::connect(control<QPushButton>("ExitBtn"), &QPushButton::clicked, [&] { ended = true; });
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(ended);
}

TEST_F(KeyboardTest, TabGoesFromTopToBottom) {
    // One area open, so that its inner controls take part too.
    QTest::mouseClick(control<QWidget>("Picture8"), Qt::LeftButton);
    QWidget* first = control<QWidget>("Text1");
    first->setFocus(Qt::OtherFocusReason);
    std::vector<QWidget*> seen;
    QWidget* w = first;
    do {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            seen.push_back(w);
        w = w->nextInFocusChain();
    } while (w && w != first && seen.size() < 500);
    ASSERT_GT(seen.size(), 20u);
    int band = 0;
    for (QWidget* s : seen) {
        const int b = bandOf(s);
        if (b < 0)
            continue;  // the picker and the camera numbers lie over or below the stack
        EXPECT_GE(b, band) << s->objectName().toStdString() << " comes after a control below it";
        band = std::max(band, b);
    }
    EXPECT_EQ(band, 9) << "the bottom strip is reached";
}

}  // namespace kadrano::test
