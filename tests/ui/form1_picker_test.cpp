// The directory picker below the directory box, the drive list beside it, and folders
// dropped on the window.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include "form1fixture.h"
#include "ui/volumes.h"

namespace kadrano::test {

TEST(VolumeForPath, TakesTheLongestRootThatIsAWholeLeadingPartOfThePath) {
    const QStringList roots = {QStringLiteral("/"), QStringLiteral("/media/card"),
                               QStringLiteral("/media/ca"), QStringLiteral("/home")};
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("/media/card/DCIM/100")), 1);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("/media/card")), 1);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("/media/card/")), 1);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("/media/cards/x")), 0);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("/homework/x")), 0);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("/home/anna/Bilder")), 3);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("relative/path")), -1);
    EXPECT_EQ(volumeForPath({}, QStringLiteral("/x")), -1);
}

#ifdef Q_OS_WIN
TEST(VolumeForPath, ReadsWindowsDriveLettersWithEitherSeparatorAndAnyCase) {
    const QStringList roots = {QStringLiteral("C:\\"), QStringLiteral("D:\\")};
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("D:\\Fotos 2019\\")), 1);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("D:/Fotos")), 1);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("C:")), 0);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("d:\\fotos")), 1);
    EXPECT_EQ(volumeForPath(roots, QStringLiteral("E:\\x")), -1);
}
#endif

TEST(MountedVolumeRoots, ListsTheVolumeThatHoldsTheTemporaryFolder) {
    const QStringList roots = mountedVolumeRoots();
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_GE(volumeForPath(roots, QDir::tempPath()), 0);
    for (const QString& root : roots)
        EXPECT_TRUE(QFileInfo(root).isDir()) << root.toStdString();
}

class PickerTest : public Form1Test {
protected:
    void SetUp() override {
        picture(QStringLiteral("top.jpg"), QSize(20, 20), Qt::red);
        picture(QStringLiteral("Urlaub/a.jpg"), QSize(20, 20), Qt::green);
        picture(QStringLiteral("Urlaub/b.jpg"), QSize(20, 20), Qt::blue);
        create();
        // These tests count the files of one folder, not of the folders below it.
        control<QCheckBox>("DubDir_Check")->setChecked(false);
        window->startUp(pictures.path());
        QApplication::setActiveWindow(window.get());
    }

    QFrame* picker() const { return control<QFrame>("VerzBaum_Frame"); }
    QTreeView* tree() const { return control<QTreeView>("VerzBaum"); }
    QLineEdit* text1() const { return control<QLineEdit>("Text1"); }
    QPushButton* command4() const { return control<QPushButton>("Command4"); }
    QString treePath() const {
        auto* model = qobject_cast<QFileSystemModel*>(tree()->model());
        return model ? model->filePath(tree()->currentIndex()) : QString();
    }
    void expectClosed() const {
        EXPECT_FALSE(picker()->isVisible());
        EXPECT_TRUE(command4()->isEnabled());
    }

    // A drop of file URLs (and optionally a text) on a part of the window.
    void drop(QWidget* target, const QStringList& paths, const QString& text = QString(),
              Qt::DropActions actions = Qt::CopyAction) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls.append(QUrl::fromLocalFile(p));
        if (!urls.isEmpty())
            data.setUrls(urls);
        if (!text.isNull())
            data.setText(text);
        const QPoint at(target->width() / 2, target->height() / 2);
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        accepted = enter.isAccepted();
        enterAction = enter.dropAction();
        QDropEvent dropEvent(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropEvent);
        dropAction = dropEvent.dropAction();
    }
    bool accepted = false;
    Qt::DropAction enterAction = Qt::IgnoreAction;
    Qt::DropAction dropAction = Qt::IgnoreAction;
};

TEST_F(PickerTest, TheDotButtonOpensThePickerBelowTheBoxAtTheBoxFolder) {
    EXPECT_FALSE(picker()->isVisible());
    click("Command4");
    EXPECT_TRUE(picker()->isVisible());
    EXPECT_FALSE(command4()->isEnabled());
    EXPECT_TRUE(tree()->hasFocus());
    EXPECT_EQ(QDir(treePath()), QDir(pictures.path()));
    EXPECT_EQ(picker()->x(), 0);
    EXPECT_GT(picker()->y(), text1()->mapTo(window.get(), QPoint(0, text1()->height())).y());
    EXPECT_LE(picker()->y() + picker()->height(), window->height());
    EXPECT_TRUE(control<QPushButton>("Command16")->isVisible());
}

TEST_F(PickerTest, DownArrowInTheBoxOpensThePicker) {
    text1()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(text1(), Qt::Key_Down);
    EXPECT_TRUE(picker()->isVisible());
    EXPECT_FALSE(command4()->isEnabled());
}

TEST_F(PickerTest, EnterTakesTheHighlightedFolderCollectsItAndReturnsToTheBox) {
    click("Command4");
    auto* model = qobject_cast<QFileSystemModel*>(tree()->model());
    ASSERT_NE(model, nullptr);
    tree()->setCurrentIndex(model->index(pictures.file(QStringLiteral("Urlaub"))));
    QTest::keyClick(tree(), Qt::Key_Return);

    expectClosed();
    EXPECT_EQ(
        window->directoryText(),
        QDir::toNativeSeparators(pictures.file(QStringLiteral("Urlaub"))) + QDir::separator());
    EXPECT_EQ(window->fileList().FileNames, (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_TRUE(text1()->hasFocus());
}

TEST_F(PickerTest, EscapeClosesThePickerAndCollectsAgain) {
    ASSERT_EQ(window->fileList().count(), 1);
    click("Command4");
    picture(QStringLiteral("new.jpg"), QSize(20, 20), Qt::yellow);
    QTest::keyClick(tree(), Qt::Key_Escape);
    expectClosed();
    EXPECT_EQ(window->fileList().count(), 2) << "leaving the picker collects";
    EXPECT_FALSE(window->collectCancel());
}

TEST_F(PickerTest, LeavingTheTreeClosesThePickerButAMessageBoxDoesNot) {
    click("Command4");
    // The focus goes to a window of its own for a moment (a message box, a menu).
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(tree(), &away);
    EXPECT_TRUE(picker()->isVisible());

    picture(QStringLiteral("new.jpg"), QSize(20, 20), Qt::yellow);
    control<QComboBox>("Combo2")->setFocus(Qt::MouseFocusReason);
    expectClosed();
    EXPECT_EQ(window->fileList().count(), 2);
}

TEST_F(PickerTest, TheCloseButtonHidesThePickerAndFocusesTheBox) {
    click("Command4");
    click("Command16");
    expectClosed();
    EXPECT_TRUE(text1()->hasFocus());
}

TEST_F(PickerTest, OpeningAFolderInTheTreeMakesItThePictureDirectory) {
    click("Command4");
    auto* model = qobject_cast<QFileSystemModel*>(tree()->model());
    const QModelIndex urlaub = model->index(pictures.file(QStringLiteral("Urlaub")));
    Q_EMIT tree()->doubleClicked(urlaub);
    EXPECT_EQ(QDir(window->directoryText()), QDir(pictures.file(QStringLiteral("Urlaub"))));
    EXPECT_TRUE(picker()->isVisible()) << "opening a folder does not close the picker";
}

TEST_F(PickerTest, TheDriveListFollowsTheBoxWithoutOpeningThePicker) {
    auto* drives = control<QComboBox>("Drive1");
    ASSERT_GT(drives->count(), 0);
    QStringList roots;
    for (int i = 0; i < drives->count(); ++i)
        roots.append(drives->itemText(i));
    EXPECT_EQ(drives->currentIndex(), volumeForPath(roots, pictures.path()));
    text1()->setText(QDir::rootPath());
    EXPECT_EQ(drives->currentIndex(), volumeForPath(roots, QDir::rootPath()));
    EXPECT_FALSE(picker()->isVisible());
}

TEST_F(PickerTest, ChoosingADriveOpensThePickerAtTheDrivesRoot) {
    auto* drives = control<QComboBox>("Drive1");
    ASSERT_GT(drives->count(), 0);
    drives->setCurrentIndex(-1);
    drives->setCurrentIndex(0);
    EXPECT_TRUE(picker()->isVisible());
    EXPECT_FALSE(command4()->isEnabled());
    EXPECT_TRUE(tree()->hasFocus());
    EXPECT_EQ(window->directoryText(), drives->itemText(0));
    auto* model = qobject_cast<QFileSystemModel*>(tree()->model());
    EXPECT_EQ(QDir(model->filePath(tree()->rootIndex())), QDir(drives->itemText(0)));
}

TEST_F(PickerTest, AFolderDroppedOnAnAreaIsCollected) {
    TempFolder other;
    other.write(QStringLiteral("x.jpg"));
    other.write(QStringLiteral("y.jpg"));
    other.write(QStringLiteral("z.txt"));
    drop(control<QWidget>("Frame13"), {other.path()});
    EXPECT_TRUE(accepted);
    EXPECT_EQ(QDir(window->directoryText()), QDir(other.path()));
    EXPECT_EQ(window->fileList().FileNames, (QStringList{"x.jpg", "y.jpg"}));
}

// A picture dragged from a file manager means its folder; and since the window only reads
// the path, the drop is never a move (the file manager would delete the source).
TEST_F(PickerTest, ADroppedPictureMeansItsFolderAndNoDropIsAMove) {
    TempFolder other;
    other.write(QStringLiteral("Urlaub/a.jpg"));
    const QString picture = other.write(QStringLiteral("Urlaub/b.jpg"));
    drop(control<QWidget>("Vorschau"), {picture}, QString(),
         Qt::MoveAction | Qt::CopyAction | Qt::LinkAction);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(enterAction, Qt::CopyAction);
    EXPECT_EQ(dropAction, Qt::CopyAction);
    EXPECT_EQ(QDir(window->directoryText()), QDir(other.path() + QStringLiteral("Urlaub")));
    EXPECT_EQ(window->fileList().FileNames, (QStringList{"a.jpg", "b.jpg"}));

    drop(control<QWidget>("Vorschau"), {other.path()}, QString(), Qt::MoveAction | Qt::LinkAction);
    EXPECT_EQ(dropAction, Qt::LinkAction);
    EXPECT_EQ(QDir(window->directoryText()), QDir(other.path()));

    const QString before = window->directoryText();
    drop(control<QWidget>("Vorschau"), {pictures.path()}, QString(), Qt::MoveAction);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(window->directoryText(), before);
}

TEST_F(PickerTest, OfSeveralDroppedFoldersTheLastStays) {
    TempFolder first, second;
    second.write(QStringLiteral("only.jpg"));
    drop(control<QWidget>("Vorschau"), {first.path(), second.path()});
    EXPECT_EQ(QDir(window->directoryText()), QDir(second.path()));
    EXPECT_EQ(window->fileList().FileNames, QStringList{"only.jpg"});
}

TEST_F(PickerTest, ADroppedTextNamingAFolderCountsLikeTheFolder) {
    TempFolder other;
    other.write(QStringLiteral("t.jpg"));
    drop(window.get(), {}, QUrl::fromLocalFile(other.path()).toString());
    EXPECT_EQ(QDir(window->directoryText()), QDir(other.path()));
    EXPECT_EQ(window->fileList().count(), 1);

    drop(text1(), {}, pictures.path());
    EXPECT_EQ(QDir(window->directoryText()), QDir(pictures.path()));
    EXPECT_EQ(window->fileList().count(), 1);
}

TEST_F(PickerTest, TheImageMagickPathBoxTakesADroppedProgramAsItsPath) {
    TempFolder other;
    const QString first = other.write(QStringLiteral("convert"));
    const QString second = other.write(QStringLiteral("magick"));
    const QString before = window->directoryText();
    int signalled = 0;
    QObject::connect(&window->magickPathBox(), &MagickPathBox::dropped, [&] { ++signalled; });
    drop(control<QWidget>("ImageMagicPath"), {first, second});
    EXPECT_TRUE(accepted);
    EXPECT_EQ(window->directoryText(), before) << "no folder drop";
    EXPECT_EQ(control<QLineEdit>("ImageMagicPath")->text(), QDir::toNativeSeparators(second));
    EXPECT_EQ(signalled, 1);
}

}  // namespace kadrano::test
