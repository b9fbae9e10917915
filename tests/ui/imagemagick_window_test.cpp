#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>
#include <algorithm>

#include "form1fixture.h"
#include "imagemagick/magicktestfiles.h"

using namespace kadrano;
using namespace kadrano::test;

namespace {

// A program that writes its arguments beside itself, standing in for ImageMagick.
QString standIn(TempFolder& f, const QString& relative) {
    const QString path = f.write(relative, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    return path;
}

// PATH for the time of a test: the window looks for ImageMagick on it at start-up.
class SearchPath {
public:
    explicit SearchPath(const QString& path) : old_(qgetenv("PATH")) {
        qputenv("PATH", path.toLocal8Bit());
    }
    ~SearchPath() { qputenv("PATH", old_); }
    SearchPath(const SearchPath&) = delete;
    SearchPath& operator=(const SearchPath&) = delete;

private:
    QByteArray old_;
};

void send(QWidget* w, QEvent::Type type) {
    if (type == QEvent::KeyRelease) {
        QKeyEvent e(type, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(w, &e);
    } else {
        QFocusEvent e(type, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(w, &e);
    }
}

QColor background(const QWidget* w) {
    return w->palette().color(QPalette::Base);
}

QStringList lines(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? splitCrLf(f.readAll()) : QStringList();
}

class MagickWindow : public Form1Test {
protected:
    QLineEdit* pathBox() const { return control<QLineEdit>("ImageMagicPath"); }
    bool warningsShown() const {
        return !control<QLabel>("ImageWarning1")->isHidden() &&
               !control<QLabel>("ImageWarning2")->isHidden();
    }
    bool warningsHidden() const {
        return control<QLabel>("ImageWarning1")->isHidden() &&
               control<QLabel>("ImageWarning2")->isHidden();
    }
    QString resizeScript() const { return pictures.file(q("_Resize_Pictures.bat")); }
    // Enter in the folder box collects the pictures again.
    void collectAgain() { QTest::keyClick(control<QLineEdit>("Text1"), Qt::Key_Return); }
};

}  // namespace

// A copy of ImageMagick in a sub-folder of the program folder is found at start-up, called
// quoted from every line, and stored relative to the program folder.
TEST_F(MagickWindow, ProgramInASubFolderIsFoundUsedAndStoredRelative) {
    const QString magick = standIn(program, q("Image Magick 7/magick"));
    picture(q("a.jpg"), QSize(40, 30), Qt::red);
    start(pictures.path());
    EXPECT_EQ(pathBox()->text(), magick);
    EXPECT_TRUE(pathBox()->isHidden());
    EXPECT_TRUE(warningsHidden());

    click("SaveIniBtn");
    EXPECT_TRUE(program.read(q("kadrano.ini")).contains("ImageMagic_Pfad=Image Magick 7/magick"));

    click("ResizeHeader");
    dialogs.replies = {Mb::ResultNo};
    click("StartResizeBtn");
    ASSERT_EQ(dialogs.editorFiles, QStringList{resizeScript()});
    const QStringList script = lines(resizeScript());
    EXPECT_TRUE(script.contains(u'"' + magick + q("\" convert ") + pictures.file(q("a.jpg")) +
                                q(" -resize \"2000x2000>\" -quality 95 ") +
                                pictures.file(q("a.jpg"))))
        << script.join(u'\n').toStdString();
    // The kept script can be run from the area.
    EXPECT_FALSE(control<QPushButton>("Command17")->isHidden());
}

// ImageMagick 6: "convert" and "mogrify" on the search path count as found, and the lines
// begin with the bare sub-command.
TEST_F(MagickWindow, ImageMagick6OnTheSearchPathIsCalledByItsSubCommands) {
    TempFolder bin;
    const QString convert = standIn(bin, q("convert"));
    standIn(bin, q("mogrify"));
    writeJpegWithOrientation(pictures.file(q("b.jpg")), 60, 40, 6);
    {
        SearchPath path(bin.path() + u':' + qEnvironmentVariable("PATH"));
        start(pictures.path());
    }
    EXPECT_EQ(pathBox()->text(), convert);
    EXPECT_TRUE(pathBox()->isHidden());
    EXPECT_TRUE(warningsHidden());

    click("OrientationHeader");
    dialogs.replies = {Mb::ResultNo};
    click("ImageMagic_Btn_Drehen");
    const QStringList script = lines(pictures.file(q("_EXIF_Rotate_Pictures.bat")));
    EXPECT_TRUE(script.contains(q(" mogrify -auto-orient ") + pictures.file(q("b.jpg")) + u' '))
        << script.join(u'\n').toStdString();
}

// Nothing found: the hint and both warnings show and the caption preview hides; the box
// colours while typing, makes a relative path whole on leaving, and hides once it names
// a program.
TEST_F(MagickWindow, WithoutImageMagickTheBoxWarnsAndChecksWhatIsTyped) {
    TempFolder empty;
    const QString magick = standIn(program, q("IM/magick"));
    QFile::remove(magick);  // not there at start-up
    {
        SearchPath path(empty.path());
        start(pictures.path());
    }
    QLineEdit* box = pathBox();
    EXPECT_EQ(box->text(), q("Pfad zu ImageMagic hier eintragen (magick.exe)"));
    EXPECT_FALSE(box->isHidden());
    EXPECT_TRUE(warningsShown());
    EXPECT_TRUE(control<QLabel>("NamensVorschau")->isHidden());

    standIn(program, q("IM/magick"));
    send(box, QEvent::FocusIn);
    QCoreApplication::processEvents();
    EXPECT_EQ(box->selectedText(), box->text());

    box->setText(q("IM"));
    send(box, QEvent::KeyRelease);
    EXPECT_EQ(background(box), QColor(128, 0, 0));  // a folder is no program
    box->setText(q("IM/magick"));
    send(box, QEvent::KeyRelease);
    EXPECT_EQ(background(box), QColor(0, 128, 0));
    EXPECT_EQ(box->text(), q("IM/magick"));

    send(box, QEvent::FocusOut);
    EXPECT_EQ(box->text(), magick);
    EXPECT_FALSE(box->isHidden());
    EXPECT_FALSE(control<QLabel>("NamensVorschau")->isHidden());
    send(box, QEvent::FocusOut);
    EXPECT_TRUE(box->isHidden());
    EXPECT_TRUE(warningsHidden());

    // Two programs dropped at once: the second one's path stays. A folder dropped after it
    // names no program and brings the warnings back.
    const QString other = standIn(program, q("IM2/magick"));
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(magick), QUrl::fromLocalFile(other)});
    window->magickPathBox().takeDrop(two);
    EXPECT_EQ(box->text(), other);
    QMimeData folder;
    folder.setText(program.file(q("IM2")));
    window->magickPathBox().takeDrop(folder);
    EXPECT_FALSE(box->isHidden());
    EXPECT_TRUE(warningsShown());

    // The scripts of this run still begin with the bare sub-command: the path counts from
    // the next start.
    picture(q("c.jpg"), QSize(40, 30), Qt::green);
    collectAgain();
    click("ResizeHeader");
    dialogs.replies = {Mb::ResultNo};
    click("StartResizeBtn");
    const QStringList script = lines(resizeScript());
    EXPECT_TRUE(std::any_of(script.begin(), script.end(), [](const QString& l) {
        return l.startsWith(q(" convert "));
    })) << script.join(u'\n').toStdString();
}

// The couplings of the resize area's controls.
TEST_F(MagickWindow, ResizeControlsFollowEachOther) {
    start(pictures.path());
    click("ResizeHeader");
    auto* keepSize = control<QCheckBox>("Konvertieren_Keep_Size_Check");
    auto* deleteOld = control<QCheckBox>("Delete_Old_Format_File");
    auto* maxPixel = control<QLineEdit>("MaxPixel");
    auto* sizeLabel = control<QLabel>("SizeLabel");
    EXPECT_TRUE(keepSize->isHidden());
    EXPECT_TRUE(deleteOld->isHidden());

    click("Resize_Change_To_JPG_Check");
    EXPECT_FALSE(keepSize->isHidden());
    EXPECT_FALSE(deleteOld->isHidden());
    click("Konvertieren_Keep_Size_Check");
    click("Delete_Old_Format_File");
    EXPECT_FALSE(maxPixel->isEnabled());
    EXPECT_EQ(sizeLabel->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    // The choice is saved at once.
    EXPECT_TRUE(program.read(q("kadrano.ini")).contains("Resize_ChangeToJPG=1"));

    click("Resize_Change_To_JPG_Check");
    EXPECT_TRUE(keepSize->isHidden());
    EXPECT_FALSE(keepSize->isChecked());
    EXPECT_FALSE(deleteOld->isChecked());
    EXPECT_TRUE(maxPixel->isEnabled());
    EXPECT_EQ(sizeLabel->palette().color(QPalette::WindowText), QColor(Qt::black));

    auto* quality = control<QScrollBar>("Qualität");
    auto* qualityLabel = control<QLabel>("QualityLabel");
    quality->setValue(80);
    EXPECT_EQ(qualityLabel->text(), q("Qualität: 80 %"));
    send(quality, QEvent::FocusOut);
    EXPECT_EQ(qualityLabel->text(), q("JPG-Qualität:"));

    auto* format = control<QComboBox>("FormatConvertCombo");
    format->setEditText(q("tif"));
    send(format, QEvent::FocusOut);
    EXPECT_EQ(format->currentText(), q("PTIF"));
    EXPECT_TRUE(dialogs.boxes.empty());
    format->setEditText(q(" jpg"));
    send(format, QEvent::FocusOut);
    EXPECT_EQ(format->currentText(), q("JPEG"));
    format->setEditText(q("qq"));
    send(format, QEvent::FocusOut);
    EXPECT_EQ(format->currentText(), q("JPEG"));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Unbekanntes Format"));
    EXPECT_EQ(dialogs.boxes[0].flags & Mb::IconError, int(Mb::IconError));
}

// A screen reader ticks a box through its toggle action, which sends no click: the boxes
// that depend on it must follow all the same.
TEST_F(MagickWindow, ConvertBoxesFollowATickThatIsNoClick) {
    start(pictures.path());
    click("ResizeHeader");
    auto* convert = control<QCheckBox>("Resize_Change_To_JPG_Check");
    auto* keepSize = control<QCheckBox>("Konvertieren_Keep_Size_Check");
    auto* deleteOld = control<QCheckBox>("Delete_Old_Format_File");
    ASSERT_FALSE(convert->isChecked());
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(convert);
    ASSERT_TRUE(access && access->actionInterface());
    access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(convert->isChecked());
    EXPECT_FALSE(keepSize->isHidden());
    EXPECT_FALSE(deleteOld->isHidden());
    deleteOld->setChecked(true);
    convert->setChecked(false);
    EXPECT_TRUE(deleteOld->isHidden());
    EXPECT_FALSE(deleteOld->isChecked());
}

// With the real ImageMagick: Start shrinks only what is too large, keeps the picture dates,
// and turns a picture by its EXIF tag.
TEST_F(MagickWindow, RealImageMagickResizesAndTurnsFromTheWindow) {
    if (QStandardPaths::findExecutable(q("convert")).isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    const QString large = pictures.file(q("gross.jpg"));
    const QString small = pictures.file(q("klein.jpg"));
    writePicture(large, 3000, 2000);
    writePicture(small, 800, 600);
    setModified(large, 1262304000, 0);
    setModified(small, 1262305000, 0);
    start(pictures.path());
    click("ResizeHeader");
    dialogs.replies = {Mb::ResultYes};
    click("StartResizeBtn");
    EXPECT_EQ(QImageReader(large).size(), QSize(2000, 1333));
    EXPECT_EQ(QImageReader(small).size(), QSize(800, 600));
    EXPECT_TRUE(modifiedAt(large, 1262304000, 0));
    EXPECT_TRUE(modifiedAt(small, 1262305000, 0));

    const QString turned = pictures.file(q("hoch.jpg"));
    writeJpegWithOrientation(turned, 60, 40, 6);
    setModified(turned, 1262306000, 0);
    collectAgain();
    click("OrientationHeader");
    dialogs.replies = {Mb::ResultYes};
    click("ImageMagic_Btn_Drehen");
    EXPECT_EQ(QImageReader(turned).size(), QSize(40, 60));
    EXPECT_TRUE(modifiedAt(turned, 1262306000, 0));
}
