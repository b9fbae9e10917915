#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

#include "alwaysontop.h"
#include "areas/cameranumbersarea.h"
#include "areastack.h"
#include "bottomstrip.h"
#include "clickablelabel.h"
#include "controlfactory.h"
#include "core/undojournal.h"
#include "filestatus.h"
#include "folderpicker.h"
#include "form1.h"
#include "form1geometry.h"
#include "icons.h"
#include "magickpathbox.h"
#include "previewstrip.h"
#include "serverlinks.h"
#include "settingsbinding.h"
#include "twips.h"
#include "windowdrops.h"

// The controls of the window shell: what each one is called, says and shows, and where it
// sits. The parts and the tool areas build their own.

namespace kadrano {

void Form1::buildControls() {
    buildTopStrip();
    nameStrip_ = make<QFrame>(this, "Frame7");
    nameStrip_->setFrameShape(QFrame::StyledPanel);
    nameStrip_->resize(width(), px(geometry::kNameStripHeight));
    previews_ = new PreviewStrip(this, nameStrip_, *this, loading_);
    status_ = new FileStatus(nameStrip_, *this, paths_.fileListPath());
    magickBox_ = new MagickPathBox(this, nameStrip_, *this, paths_.programDir);
    areaStack_ = new AreaStack(this, *this, heightLimit_);
    bottom_ = new BottomStrip(this, *settings_, *areaStack_);
    areaStack_->buildCameraNumbers();
    picker_->buildTree();

    // Directly on the window, above the strips and areas.
    previews_->buildPicture();
    dropPicture_ = make<ClickableLabel>(this, "DragDropPic");
    dropPicture_->setToolTip(QStringLiteral("Bild-Verzeichnis hier hinziehen"));
    dropPicture_->setPixmap(dropFolderPixmap(geometry::kDropPictureSize));
    dropPicture_->resize(geometry::kDropPictureSize);
    previews_->shrinkBelow(dropPicture_);
    new WindowDrops(this, *picker_, *magickBox_);
    // A label that loads a picture to measure it; it is never shown.
    make<QLabel>(this, "Picture1")->hide();

    previews_->picture()->raise();
    dropPicture_->raise();
    picker_->tree()->raise();

    // Every file an area's tools write for themselves, and the undo button's script.
    for (const ToolArea* a : areaStack_->areas())
        for (const char* name : a->ownFiles())
            ownFiles_.add(name);
    for (const char* name : areaStack_->cameraNumbers().ownFiles())
        ownFiles_.add(name);
    ownFiles_.add(kUndoScriptName);

    resize(px(geometry::kWindowWidth), height());
    bottom_->setWidth(width());
    areaStack_->setSurroundings(topStrip_, nameStrip_, bottom_->frame(), dropPicture_);
    built_ = true;
    areaStack_->collapseAll();
    areaStack_->stack();
    layOut();
}

void Form1::buildTopStrip() {
    topStrip_ = make<QFrame>(this, "Frame5");
    topStrip_->setFrameShape(QFrame::StyledPanel);
    topStrip_->setGeometry(0, 0, width(), px(geometry::kTopStripHeight));
    QWidget* f = topStrip_;

    folderBox_ = lineEdit(f, "Text1", QStringLiteral("C:\\"));
    folderBox_->setToolTip(QStringLiteral("Bilder-Verzeichnis"));
    picker_ = new FolderPicker(this, f, folderBox_, *this);
    generalInfoButton_ = infoButton(f, "Command11");
    generalInfoButton_->setAccessibleName(QStringLiteral("Info: Kadrano"));

    patternBox_ = comboBox(f, "Combo2");
    subfoldersCheck_ =
        make<QCheckBox>(f, "DubDir_Check", QStringLiteral("Auch Unterverzeichnisse"));
    subfoldersCheck_->setToolTip(QStringLiteral("Alle Dateien in Unterverzeichnissen einbeziehen"));

    languageButton_ = make<QPushButton>(f, "SwitchLAnguage_Label");
    languageButton_->setToolTip(QStringLiteral("Switch Language / Sprache wechseln"));
    languageButton_->setFlat(true);
    languageButton_->setIcon(QIcon(englishFlagPixmap(geometry::kFlagSize)));
    languageButton_->setIconSize(geometry::kFlagSize);
    languageButton_->setFixedSize(geometry::kFlagSize + QSize(8, 6));
    germanFlag_ = make<QLabel>(f, "DE_Flag");
    germanFlag_->setPixmap(germanFlagPixmap(geometry::kFlagSize));
    germanFlag_->hide();

    pinButton_ = make<AlwaysOnTop>(f, "AlwaysOnTop1");
    pinButton_->setSettingsFile(paths_.settingsPath());
    links_->build(f);
}

void Form1::layOutTopStrip() {
    const int w = width();
    const int rowHeight = 24;
    const int y1 = 8;
    const int y2 = 44;

    // The language button sits at the window's right edge, at the very top.
    languageButton_->move(w - languageButton_->width() - px(250), 0);
    int right = languageButton_->x() - 8;
    generalInfoButton_->move(right - generalInfoButton_->width(), y1);
    right = picker_->layOutRow(generalInfoButton_->x() - 6, y1, rowHeight);
    folderBox_->setGeometry(8, y1, std::max(right - 8, 60), rowHeight);

    patternBox_->setGeometry(8, y2, 90, rowHeight);
    subfoldersCheck_->setGeometry(108, y2, subfoldersCheck_->sizeHint().width(), rowHeight);

    const int x = links_->layOut(w - 12, y2, rowHeight);
    pinButton_->move(x - pinButton_->width(), y2 + (rowHeight - pinButton_->height()) / 2);
}

void Form1::layOut() {
    if (!built_)
        return;
    const int w = width();
    // The strips reach past the right edge so that their right border stays out of sight.
    const int stripWidth = w + px(geometry::kStripOverhang);
    topStrip_->resize(stripWidth, px(geometry::kTopStripHeight));
    nameStrip_->resize(stripWidth, nameStrip_->height());
    areaStack_->layOut(stripWidth);
    layOutTopStrip();

    // Right of the names the status and the ImageMagick path box.
    const int x = previews_->layOutNames(w, nameStrip_->height());
    const int rest = std::max(w - x - 8, 120);
    status_->label()->setGeometry(x, 6, rest, status_->label()->sizeHint().height() + 4);
    magickBox_->box()->setGeometry(x, 36, rest, 24);

    const QSize drop = dropPicture_->size();
    dropPicture_->move(w - drop.width() - 10, areaStack_->scrollArea()->y() + 4);
    bottom_->layOut();
    picker_->placeTree();
}

}  // namespace kadrano
