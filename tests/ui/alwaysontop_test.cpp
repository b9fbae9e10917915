// The always-on-top button: its two states, its pictures, the window's stacking, its fixed
// size and where it keeps its state.

#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QTest>

#include "core/inifile.h"
#include "form1fixture.h"
#include "support/testfiles.h"
#include "ui/alwaysontop.h"
#include "ui/clickablelabel.h"
#include "ui/twips.h"

namespace kadrano::test {

namespace {

struct Host {
    QWidget window;
    AlwaysOnTop* button = nullptr;
    Host() {
        auto* row = new QHBoxLayout(&window);
        button = new AlwaysOnTop(&window);
        row->addWidget(button);
        window.setGeometry(100, 120, 300, 200);
        window.show();
    }
    bool stacksOnTop() const { return window.windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    // Which of the three pictures shows: "disabled", "hover", "enabled" or a mix.
    QString shown() const {
        QStringList s;
        if (button->disabledPicture()->isVisible())
            s << QStringLiteral("disabled");
        if (button->hoverPicture()->isVisible())
            s << QStringLiteral("hover");
        if (button->enabledPicture()->isVisible())
            s << QStringLiteral("enabled");
        return s.join(u'+');
    }
};

}  // namespace

TEST(AlwaysOnTop, TwoClicksPutTheWindowOnTopAndBackLeavingTheHoverPicture) {
    Host h;
    EXPECT_FALSE(h.button->GetIsOnTop());
    EXPECT_EQ(h.shown(), QStringLiteral("disabled"));
    const QRect geometry = h.window.geometry();

    QTest::mouseClick(h.button->disabledPicture(), Qt::LeftButton);
    EXPECT_TRUE(h.button->GetIsOnTop());
    EXPECT_EQ(h.shown(), QStringLiteral("enabled"));
    EXPECT_TRUE(h.stacksOnTop());
    EXPECT_TRUE(h.window.isVisible()) << "changing the stacking must not hide the window";
    EXPECT_EQ(h.window.geometry(), geometry);

    QTest::mouseClick(h.button->enabledPicture(), Qt::LeftButton);
    EXPECT_FALSE(h.button->GetIsOnTop());
    EXPECT_EQ(h.shown(), QStringLiteral("hover"));
    EXPECT_FALSE(h.stacksOnTop());
    EXPECT_TRUE(h.window.isVisible());
    EXPECT_EQ(h.window.geometry(), geometry);
}

TEST(AlwaysOnTop, TheMouseOverTheLoosePinColoursItAndLeavingTurnsItGreyAgain) {
    Host h;
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(h.button->disabledPicture(), &enter);
    EXPECT_EQ(h.shown(), QStringLiteral("hover"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(h.button->hoverPicture(), &leave);
    EXPECT_EQ(h.shown(), QStringLiteral("disabled"));
    for (ClickableLabel* l :
         {h.button->disabledPicture(), h.button->hoverPicture(), h.button->enabledPicture()}) {
        EXPECT_EQ(l->toolTip(), QStringLiteral("Always on top"));
        EXPECT_EQ(l->pos(), h.button->disabledPicture()->pos());
        EXPECT_FALSE(l->pixmap().isNull());
    }
}

TEST(AlwaysOnTop, StaysThreeHundredFifteenByThreeHundredTwipsWhateverTheLayoutWants) {
    Host h;
    h.window.resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(h.button->size(), QSize(px(315), px(300)));
    h.button->resize(200, 90);
    EXPECT_EQ(h.button->size(), QSize(px(315), px(300)));
}

TEST(AlwaysOnTop, KeepsItsStateInTheSettingsFileOnlyWhenAsked) {
    TempFolder folder;
    const QString ini = folder.write(QStringLiteral("kadrano.ini"), "[Settings]\r\n");
    Host h;
    h.button->setSettingsFile(ini);

    h.button->SetToTop(false);
    EXPECT_TRUE(h.button->GetIsOnTop());
    EXPECT_TRUE(h.stacksOnTop());
    EXPECT_EQ(folder.read(QStringLiteral("kadrano.ini")), QByteArray("[Settings]\r\n"));

    h.button->SetToTop(true);
    EXPECT_EQ(
        ReadIniText(QStringLiteral("AlwaysOnTop"), QStringLiteral("OnTop"), ini, QString(), false),
        QStringLiteral("True"));
    h.button->SetToNormal(true);
    EXPECT_FALSE(h.stacksOnTop());
    EXPECT_EQ(
        ReadIniText(QStringLiteral("AlwaysOnTop"), QStringLiteral("OnTop"), ini, QString(), false),
        QStringLiteral("False"));

    WriteIniText(QStringLiteral("AlwaysOnTop"), QStringLiteral("OnTop"), QStringLiteral("True"),
                 ini, false);
    h.button->LoadSettings();
    EXPECT_TRUE(h.button->GetIsOnTop());
    EXPECT_EQ(h.shown(), QStringLiteral("enabled"));
}

TEST(AlwaysOnTop, WithoutASettingsFileNothingIsCreated) {
    TempFolder folder;
    Host h;
    h.button->setSettingsFile(folder.file(QStringLiteral("kadrano.ini")));
    QTest::mouseClick(h.button->disabledPicture(), Qt::LeftButton);
    EXPECT_TRUE(h.button->GetIsOnTop());
    EXPECT_FALSE(folder.exists(QStringLiteral("kadrano.ini")));
}

TEST_F(Form1Test, TheMainWindowsPinKeepsTheWholeWindowOnTop) {
    start(pictures.path());
    auto* pin = control<AlwaysOnTop>("AlwaysOnTop1");
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->size(), QSize(px(315), px(300)));
    EXPECT_TRUE(pin->isVisible());
    const QRect geometry = window->geometry();
    QTest::mouseClick(pin->disabledPicture(), Qt::LeftButton);
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->geometry(), geometry);
    QTest::mouseClick(pin->enabledPicture(), Qt::LeftButton);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(program.exists(QStringLiteral("kadrano.ini")))
        << "the pin does not create the settings file";
}

}  // namespace kadrano::test
