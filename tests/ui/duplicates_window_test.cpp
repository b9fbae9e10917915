#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "form1fixture.h"

using namespace kadrano;
using namespace kadrano::test;

TEST_F(Form1Test, DuplicatesAreMarkedFromTheWindowAndTheKeptCopyIsTheLastSorting) {
    pictures.write(q("Bild.jpg"), "same");
    pictures.write(q("Bild - Kopie.jpg"), "same");
    pictures.write(q("Sub/Bild.jpg"), "same");
    pictures.write(q("anders.jpg"), "other");
    start(pictures.path());
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    control<QCheckBox>("DubDir_Check")->setChecked(true);
    click("DoppelteStart");
    EXPECT_TRUE(dialogs.boxes.empty());
    // "Bild - Kopie.jpg" sorts before "Bild.jpg" (blank before point), both before
    // "Sub/Bild.jpg": the copy in Sub sorts last and is kept.
    EXPECT_TRUE(pictures.exists(q("[Doppelt]Bild - Kopie.jpg")));
    EXPECT_TRUE(pictures.exists(q("[Doppelt]Bild.jpg")));
    EXPECT_TRUE(pictures.exists(q("Sub/Bild.jpg")));
    EXPECT_TRUE(pictures.exists(q("anders.jpg")));
    EXPECT_FALSE(pictures.exists(q("_Doppelte_Dateien.bat")));
    EXPECT_FALSE(pictures.exists(q("_Datei_ChecksummenListe.txt")));
    EXPECT_EQ(control<QPushButton>("DoppelteStart")->text(), q("Start"));
    EXPECT_EQ(window->fileList().count(), 4);  // collected again: the new names
    EXPECT_TRUE(window->fileList().FileNames.contains(q("[Doppelt]Bild.jpg")));
}

TEST_F(Form1Test, DeletingDuplicatesWarnsAndAsksBeforeRunning) {
    pictures.write(q("a.jpg"), "same");
    pictures.write(q("b.jpg"), "same");
    start(pictures.path());
    auto* deleting = control<QCheckBox>("DoublettenCheck");
    deleting->setChecked(true);
    EXPECT_FALSE(control<QLineEdit>("DoppelteTxt")->isEnabled());
    EXPECT_FALSE(control<QLabel>("DoppelteWarnung")->isHidden());

    dialogs.replies = {Mb::ResultYes, Mb::ResultYes, Mb::ResultYes};
    click("DoppelteStart");
    ASSERT_GE(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].title, q("Doppelte gefunden"));
    EXPECT_TRUE(dialogs.boxes[0].text.startsWith(q("1 Doppelte Dateien gefunden!")));
    EXPECT_FALSE(pictures.exists(q("a.jpg")));
    EXPECT_TRUE(pictures.exists(q("b.jpg")));

    deleting->setChecked(false);
    EXPECT_TRUE(control<QLineEdit>("DoppelteTxt")->isEnabled());
    EXPECT_TRUE(control<QLabel>("DoppelteWarnung")->isHidden());
}

TEST_F(Form1Test, AnotherToolsButtonIsIgnoredWhileASearchRuns) {
    pictures.write(q("a.jpg"), "same");
    pictures.write(q("b.jpg"), "same");
    start(pictures.path());
    control<QCheckBox>("KeineNachfragen")->setChecked(true);
    // Once the search has collected, the person clicks the shuffle's Start: the search
    // lets events through while it digests, so the click reaches the window.
    bool clicked = false;
    QObject::connect(window.get(), &Form1::filesCollected, window.get(), [&] {
        if (clicked)
            return;
        clicked = true;
        QTimer::singleShot(0, window.get(), [this] { click("Command1"); });
    });
    click("DoppelteStart");
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(pictures.exists(q("_Rename_Random.bat")));
    EXPECT_EQ(pictures.names(), QStringList({q("[Doppelt]a.jpg"), q("b.jpg")}));
}
