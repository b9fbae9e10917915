// Not a test but a look at the window: writes a picture of the window with each area open,
// for a person to check that nothing is cut off or lies on top of something else. Run it
// with scripts/screenshots.sh (it is disabled in the normal test run).

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include "form1fixture.h"
#include "ui/clickablelabel.h"

namespace kadrano::test {

namespace {

// A picture that looks like something: a sky-to-ground gradient with a sun.
void writeSample(const QString& path, QSize size, const QColor& sky, const QColor& ground) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, sky);
    g.setColorAt(0.6, sky.lighter(150));
    g.setColorAt(0.61, ground);
    g.setColorAt(1, ground.darker(150));
    p.fillRect(image.rect(), g);
    p.setBrush(QColor(255, 220, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(size.width() * 3 / 4, size.height() / 4), size.height() / 8,
                  size.height() / 8);
    p.end();
    image.save(path);
}

}  // namespace

TEST_F(Form1Test, DISABLED_ScreenshotsOfEveryArea) {
    const QString out = qEnvironmentVariableIsEmpty("KADRANO_SCREENSHOT_DIR")
                            ? QDir::tempPath() + QStringLiteral("/kadrano-screenshots")
                            : qEnvironmentVariable("KADRANO_SCREENSHOT_DIR");
    const QString prefix = qEnvironmentVariableIsEmpty("KADRANO_SCREENSHOT_PREFIX")
                               ? QStringLiteral("window")
                               : qEnvironmentVariable("KADRANO_SCREENSHOT_PREFIX");
    QDir().mkpath(out);
    // A fixed picture folder makes two runs comparable pixel for pixel (its path is shown).
    QString folder = pictures.path();
    if (!qEnvironmentVariableIsEmpty("KADRANO_SCREENSHOT_PICTURES")) {
        folder = qEnvironmentVariable("KADRANO_SCREENSHOT_PICTURES") + u'/';
        QDir().mkpath(folder);
    }

    const QStringList names = {
        QStringLiteral("2019-07-21 Strand.jpg"), QStringLiteral("IMG_0001.jpg"),
        QStringLiteral("IMG_0002.jpg"),          QStringLiteral("P1000123.jpg"),
        QStringLiteral("Urlaub Rom 23.jpg"),     QStringLiteral("Berge.jpg"),
        QStringLiteral("Hochformat.jpg"),        QStringLiteral("Abendrot.jpg")};
    for (int i = 0; i < names.size(); ++i)
        writeSample(folder + names.at(i), i == 6 ? QSize(480, 640) : QSize(640, 480),
                    QColor::fromHsv((i * 40) % 360, 120, 230),
                    QColor::fromHsv(100 + i * 8, 160, 150));

    start(folder);
    window->show();
    window->activateWindow();
    QCoreApplication::processEvents();

    int n = 0;
    auto shot = [&](const QString& what) {
        QCoreApplication::processEvents();
        const QString file = QStringLiteral("%1/%2-%3-%4.png")
                                 .arg(out, prefix)
                                 .arg(n++, 2, 10, QLatin1Char('0'))
                                 .arg(what);
        EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
    };

    shot(QStringLiteral("closed"));
    click("Vorschau");
    shot(QStringLiteral("names-page"));
    const char* areas[][2] = {{"Frame14", "resize"},  {"Frame4", "orientation"},
                              {"Frame12", "rename"},  {"IrfanFrame", "text"},
                              {"Frame13", "shuffle"}, {"DoppelteFrame", "duplicates"},
                              {"DatumFrame", "date"}};
    for (const auto& area : areas) {
        window->areaStack().toggle(control<QFrame>(area[0]));
        shot(QString::fromLatin1(area[1]));
    }
    window->areaStack().toggle(control<QFrame>("DatumFrame"));
    click("Label6");
    shot(QStringLiteral("camera-numbers"));
    click("Command4");
    shot(QStringLiteral("directory-picker"));
    click("Command16");
    click("VorschauPic");
    shot(QStringLiteral("picture-enlarged"));
    click("VorschauPic");
}

// A look at what the text tool writes: the script for a small folder (kept by answering
// No), then the captioned copy its button makes, as "caption.png" beside the script text.
TEST_F(Form1Test, DISABLED_CaptionOfOnePicture) {
    const QString out = qEnvironmentVariableIsEmpty("KADRANO_SCREENSHOT_DIR")
                            ? QDir::tempPath() + QStringLiteral("/kadrano-screenshots")
                            : qEnvironmentVariable("KADRANO_SCREENSHOT_DIR");
    QDir().mkpath(out);
    const QString folder = pictures.path() + QStringLiteral("Urlaub 2019/");
    QDir().mkpath(folder + QStringLiteral("Venedig"));
    writeSample(folder + QStringLiteral("23_2019_Urlaub_Rom.jpg"), QSize(1024, 768),
                QColor(110, 160, 230), QColor(90, 140, 60));
    writeSample(folder + QStringLiteral("IMG_0815.jpg"), QSize(640, 480), QColor(200, 120, 90),
                QColor(60, 90, 40));
    writeSample(folder + QStringLiteral("Venedig/2019-07-21 Gondel & Brücke.jpg"), QSize(480, 640),
                QColor(150, 170, 220), QColor(40, 80, 120));
    start(folder);
    click("TextHeader");

    dialogs.replies = {Mb::ResultNo, Mb::ResultNo};  // open the script, keep it
    click("ImageMagic_Btn_Text");
    const QString script = folder + QStringLiteral("_Add_Text_ToPictures.bat");
    QFile::remove(out + QStringLiteral("/_Add_Text_ToPictures.bat"));
    ASSERT_TRUE(QFile::copy(script, out + QStringLiteral("/_Add_Text_ToPictures.bat")));

    dialogs.replies = {Mb::ResultYes, Mb::ResultYes};
    click("Command19");
    const QImage captioned(folder + QStringLiteral("Text-Included/23_2019_Urlaub_Rom.jpg"));
    ASSERT_FALSE(captioned.isNull()) << runner.lastOutput.toStdString();
    EXPECT_TRUE(captioned.save(out + QStringLiteral("/caption.png")));
}

}  // namespace kadrano::test
