#include "form1fixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTest>

#include "ui/clickablelabel.h"

namespace kadrano::test {

QStringList Form1Test::DefaultFontList() {
    const QString dejavu = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
    const QString liberation = QStringLiteral("/usr/share/fonts/truetype/liberation/");
    QStringList lines;
    auto font = [&lines](const char* name, const char* family, const QString& glyphs) {
        lines << QStringLiteral("Font: ") + QString::fromUtf8(name)
              << QStringLiteral("family: ") + QString::fromUtf8(family)
              << QStringLiteral("glyphs: ") + glyphs;
    };
    font("DejaVu-Sans", "DejaVu Sans", dejavu + QStringLiteral("DejaVuSans.ttf"));
    font("DejaVu-Sans-Bold", "DejaVu Sans", dejavu + QStringLiteral("DejaVuSans-Bold.ttf"));
    font("DejaVu-Sans-Oblique", "DejaVu Sans", dejavu + QStringLiteral("DejaVuSans-Oblique.ttf"));
    font("Liberation-Sans", "Liberation Sans",
         liberation + QStringLiteral("LiberationSans-Regular.ttf"));
    font("Liberation-Sans-Bold", "Liberation Sans",
         liberation + QStringLiteral("LiberationSans-Bold.ttf"));
    font("Liberation-Sans-Italic", "Liberation Sans",
         liberation + QStringLiteral("LiberationSans-Italic.ttf"));
    return lines;
}

Form1& Form1Test::create() {
    if (!fontList.isEmpty() && !QFileInfo::exists(program.file(QStringLiteral("FontList.txt"))))
        program.write(QStringLiteral("FontList.txt"), fontList.join(u'\n').toUtf8() + '\n');
    Form1::Options options{paths(), &dialogs, &runner};
    // Room for the tallest stack, whatever screen the tests run on: the layout with
    // every area at its documented height. The tests of a small screen say their own.
    options.heightLimit = heightLimit;
    options.undoFolder = undoJournals.path();
    window = std::make_unique<Form1>(options);
    return *window;
}

Form1& Form1Test::start(const QString& commandLine) {
    create();
    window->startUp(commandLine);
    return *window;
}

void Form1Test::click(const char* name) {
    QWidget* w = window->findChild<QWidget*>(QString::fromUtf8(name));
    ASSERT_NE(w, nullptr) << "no control " << name;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        ASSERT_TRUE(b->isEnabled()) << name << " is disabled";
        b->click();
    } else {
        QTest::mouseClick(w, Qt::LeftButton);
    }
}

QString Form1Test::picture(const QString& relative, QSize size, const QColor& colour) {
    const QString path = pictures.file(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    return path;
}

QString Form1Test::status() const {
    auto* s = window->findChild<ClickableLabel*>(QStringLiteral("FileStatus"));
    return s ? s->text() : QString();
}

}  // namespace kadrano::test
