#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "analysis/orientation.h"
#include "form1fixture.h"
#include "support/testpictures.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

// Enough pictures that the measuring shows its progress more than once on any machine.
void writePictures(TempFolder& folder, int count) {
    const QByteArray wide = greyJpeg(12, 8);
    const QByteArray tall = greyJpeg(8, 12);
    for (int i = 0; i < count; ++i)
        folder.write(QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0')),
                     i % 3 ? wide : tall);
}

// What the status says while the pictures are measured: picture k, and the pictures of
// each format counted so far.
struct Progress {
    int k = -1;
    int measured = 0;
};
Progress progressIn(const QString& status) {
    static const QRegularExpression re(
        QStringLiteral("\\)   (\\d+) / \\d+ - \\[HF\\]: (\\d+) / \\[QF\\]: (\\d+)$"));
    const QRegularExpressionMatch m = re.match(status);
    if (!m.hasMatch())
        return {};
    return {m.captured(1).toInt(), m.captured(2).toInt() + m.captured(3).toInt()};
}

// Acts once while the window measures, as soon as the status shows some pictures done:
// what the Start button read then, and the progress shown.
class DuringMeasuring {
public:
    explicit DuringMeasuring(std::function<void()> act) : act_(std::move(act)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (done)
                return;
            const Progress p = progressIn(statusText());
            if (p.k < 1)
                return;
            done = true;
            timer_.stop();
            progress = p;
            buttonText = button->text();
            act_();
        });
    }
    void arm(QPushButton* startButton, std::function<QString()> status) {
        button = startButton;
        statusText = std::move(status);
        timer_.start();
    }

    bool done = false;
    Progress progress;
    QString buttonText;

private:
    QTimer timer_;
    QPushButton* button = nullptr;
    std::function<QString()> statusText;
    std::function<void()> act_;
};

class OrientationWindow : public Form1Test {
protected:
    static constexpr int kPictures = 8000;

    QStringList scriptLines() const {
        return splitCrLf(pictures.read(QLatin1String(kOrientationTagScriptName)));
    }
    // Runs the tag function; act happens while it measures. The script is kept.
    void runAndActWhileMeasuring(DuringMeasuring& during) {
        auto* start = control<QPushButton>("Btn_FileAttrib");
        EXPECT_EQ(start->text(), q("Start "));
        during.arm(start, [this] { return status(); });
        start->click();
        EXPECT_TRUE(during.done) << "the measuring never showed its progress";
        EXPECT_EQ(during.buttonText, q("Stop"));
        EXPECT_EQ(start->text(), q("Start"));
    }
};

}  // namespace

TEST_F(OrientationWindow, StopQuestionYesEndsTheMeasuringWithTheLinesSoFar) {
    writePictures(pictures, kPictures);
    start(pictures.path());
    DuringMeasuring during([this] { click("Btn_FileAttrib"); });
    // Yes to the stop question, No to running the script.
    dialogs.replies = {Mb::ResultYes, Mb::ResultNo};
    runAndActWhileMeasuring(during);

    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text, q("Laufenden Vorgang beenden?"));
    EXPECT_EQ(dialogs.boxes[1].title, q("Umbenennen starten?"));
    // Every picture measured before the click has its two lines, no other picture has one.
    const QStringList lines = scriptLines();
    ASSERT_LT(during.progress.measured, kPictures);
    EXPECT_EQ(lines.filter(QRegularExpression(q("^ren "))).size(), during.progress.measured);
    EXPECT_EQ(lines.filter(QRegularExpression(q("^@Echo "))).size(), during.progress.measured);
    EXPECT_FALSE(control<QPushButton>("Command8")->isHidden());
    EXPECT_EQ(pictures.names().size(), kPictures + 1);  // nothing renamed
}

TEST_F(OrientationWindow, EscEndsTheMeasuringWithTheLinesSoFar) {
    writePictures(pictures, kPictures);
    start(pictures.path());
    DuringMeasuring during(
        [this] { QTest::keyClick(control<QLineEdit>("Text1"), Qt::Key_Escape); });
    dialogs.replies = {Mb::ResultNo};
    runAndActWhileMeasuring(during);

    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Umbenennen starten?"));
    const QStringList lines = scriptLines();
    ASSERT_LT(during.progress.measured, kPictures);
    EXPECT_EQ(lines.filter(QRegularExpression(q("^ren "))).size(), during.progress.measured);
}

// From the window to the disk and back: the tags come on with the controls' texts, in
// front of the extension, and come off again.
TEST_F(OrientationWindow, TagAndRemoveFromTheWindow) {
    picture(q("hoch.jpg"), QSize(20, 30), Qt::red);
    picture(q("quer.jpg"), QSize(30, 20), Qt::blue);
    start(pictures.path());
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    control<QLineEdit>("PortraitTxt")->setText(q("(hoch)"));
    control<QCheckBox>("LinksAnfügen_LAndscape")->setChecked(true);
    click("Btn_FileAttrib");
    EXPECT_EQ(pictures.names(), QStringList({q("hoch(hoch).jpg"), q("quer[QF].jpg")}));
    click("RestoreOrigin");
    EXPECT_EQ(pictures.names(), QStringList({q("hoch.jpg"), q("quer.jpg")}));
    EXPECT_TRUE(dialogs.boxes.empty());
}
