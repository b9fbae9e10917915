#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/messageboxperson.h"

using namespace kadrano;

namespace {

// Acts on the message box once it is up, step by step, until a step returns true.
struct BoxDriver {
    std::function<bool(QMessageBox&)> step;
    QTimer timer;
    explicit BoxDriver(std::function<bool(QMessageBox&)> s) : step(std::move(s)) {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                if (step(*box))
                    timer.stop();
        });
        timer.start(5);
    }
};

QStringList buttonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* b : box.buttons())
        texts.append(b->text().remove(u'&'));
    texts.sort();
    return texts;
}

}  // namespace

// ESC and the frame's close button are no answer to a Yes/No question; "Nein" is.
TEST(MessageBoxes, AYesNoQuestionWaitsForItsButtonsAndSpeaksTheWindowsLanguage) {
    useQtTranslations(Language::German);
    MessageBoxPerson person(nullptr);
    int round = 0;
    bool openAfterEscape = false;
    QStringList texts;
    BoxDriver driver([&](QMessageBox& box) {
        if (round == 0) {
            QTest::keyClick(&box, Qt::Key_Escape);
            box.close();
            ++round;
            return false;
        }
        openAfterEscape = box.isVisible();
        texts = buttonTexts(box);
        box.button(QMessageBox::No)->click();
        return true;
    });
    EXPECT_EQ(
        person.messageBox(QStringLiteral("Jetzt?"), Mb::YesNoQuestion, QStringLiteral("Frage")),
        Mb::ResultNo);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein")}));

    // An OK box still closes on ESC; in English the buttons read Yes and No.
    BoxDriver ok([](QMessageBox& box) {
        QTest::keyClick(&box, Qt::Key_Escape);
        return true;
    });
    EXPECT_EQ(person.messageBox(QStringLiteral("Fertig"), Mb::OK | Mb::IconInformation, QString()),
              Mb::ResultOK);

    useQtTranslations(Language::English);
    BoxDriver english([&](QMessageBox& box) {
        texts = buttonTexts(box);
        box.button(QMessageBox::Yes)->click();
        return true;
    });
    EXPECT_EQ(person.messageBox(QStringLiteral("Now?"), Mb::YesNoQuestion, QString()),
              Mb::ResultYes);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("No"), QStringLiteral("Yes")}));
}

// Without an opener on the desktop the click must not vanish: the box names the path.
TEST(MessageBoxes, OpeningWithoutADesktopOpenerSaysWhereTheFileIs) {
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", "/nonexistent-kadrano-test");
    useQtTranslations(Language::German);
    MessageBoxPerson person(nullptr);
    QString shown;
    BoxDriver driver([&](QMessageBox& box) {
        shown = box.text();
        box.accept();
        return true;
    });
    person.openFolder(QStringLiteral("/tmp/Fotos mit Leerzeichen"));
    qputenv("PATH", oldPath);
    EXPECT_TRUE(shown.contains(QStringLiteral("/tmp/Fotos mit Leerzeichen")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Kein Programm"))) << shown.toStdString();
}
