#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include "alwaysontop.h"
#include "areas/areas.h"
#include "areas/cameranumbersarea.h"
#include "clickablelabel.h"
#include "controlfactory.h"
#include "form1.h"
#include "form1geometry.h"
#include "icons.h"
#include "twips.h"

// The controls of the window shell: what each one is called, says and shows, and where it
// sits. The tool areas build their own.

namespace kadrano {

void Form1::buildControls() {
    setAcceptDrops(true);
    buildTopStrip();
    buildNameStrip();
    // The page keeps the areas' documented heights; only the part of it that fits the
    // screen is shown, and the bottom strip stays below it in sight.
    areasScroll_ = make<QScrollArea>(this, "AreasScroll");
    areasScroll_->setFrameShape(QFrame::NoFrame);
    areasScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    areasScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    areasScroll_->setWidgetResizable(false);
    areasScroll_->setFocusPolicy(Qt::NoFocus);
    areasPage_ = new QWidget;
    areasPage_->setObjectName(QStringLiteral("AreasPage"));
    areasPage_->resize(width(), 0);
    areasScroll_->setWidget(areasPage_);
    areas_ = MakeStackedAreas(areasPage_, *this);
    buildBottomStrip();
    cameraNumbers_ = new CameraNumbersArea(this, *this);
    buildPicker();

    // Directly on the window, above the strips and areas.
    c_.VorschauPic = make<ClickableLabel>(this, "VorschauPic");
    c_.VorschauPic->setToolTip(QStringLiteral("Vorschau (Klick zum Vergrößern)"));
    c_.VorschauPic->setFrameShape(QFrame::Box);
    c_.VorschauPic->setScaledContents(true);
    c_.VorschauPic->setAutoFillBackground(true);
    c_.VorschauPic->setCursor(Qt::PointingHandCursor);
    c_.VorschauPic->setGeometry(smallPreviewGeometry());

    c_.DragDropPic = make<ClickableLabel>(this, "DragDropPic");
    c_.DragDropPic->setToolTip(QStringLiteral("Bild-Verzeichnis hier hinziehen"));
    c_.DragDropPic->setPixmap(DropFolderPixmap(geometry::kDropPictureSize));
    c_.DragDropPic->resize(geometry::kDropPictureSize);

    c_.Picture1 = make<QLabel>(this, "Picture1");
    c_.Picture1->hide();

    c_.VorschauPic->raise();
    c_.DragDropPic->raise();
    c_.VerzBaum_Frame->raise();

    fillDriveList();

    resize(Px(geometry::kWindowWidth), height());
    bottomStripWidth_ = width();
    c_.BeendenFrame->resize(bottomStripWidth_, Px(geometry::kBottomStripHeight));
    CollapseAllAreas();
    StackAreas();
    LayoutOnResize();
}

void Form1::buildTopStrip() {
    c_.Frame5 = make<QFrame>(this, "Frame5");
    c_.Frame5->setFrameShape(QFrame::StyledPanel);
    c_.Frame5->setGeometry(0, 0, width(), Px(geometry::kTopStripHeight));
    QWidget* f = c_.Frame5;

    c_.Text1 = lineEdit(f, "Text1", QStringLiteral("C:\\"));
    c_.Text1->setToolTip(QStringLiteral("Bilder-Verzeichnis"));
    c_.Command4 = make<QPushButton>(f, "Command4", QStringLiteral(".."));
    c_.Command4->setToolTip(QStringLiteral("Verzeichnis auswählen"));
    c_.Drive1 = make<QComboBox>(f, "Drive1");
    c_.Drive1->setToolTip(QStringLiteral("Laufwerks-Auswahl"));
    c_.Drive1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c_.Drive1->setMinimumContentsLength(12);
    c_.Command11 = infoButton(f, "Command11");

    c_.Combo2 = comboBox(f, "Combo2");
    c_.DubDir_Check = make<QCheckBox>(f, "DubDir_Check", QStringLiteral("Auch Unterverzeichnisse"));
    c_.DubDir_Check->setToolTip(QStringLiteral("Alle Dateien in Unterverzeichnissen einbeziehen"));

    c_.SwitchLAnguage_Label = make<QPushButton>(f, "SwitchLAnguage_Label");
    c_.SwitchLAnguage_Label->setToolTip(QStringLiteral("Switch Language / Sprache wechseln"));
    c_.SwitchLAnguage_Label->setFlat(true);
    c_.SwitchLAnguage_Label->setIcon(QIcon(EnglishFlagPixmap(geometry::kFlagSize)));
    c_.SwitchLAnguage_Label->setIconSize(geometry::kFlagSize);
    c_.SwitchLAnguage_Label->setFixedSize(geometry::kFlagSize + QSize(8, 6));
    c_.DE_Flag = make<QLabel>(f, "DE_Flag");
    c_.DE_Flag->setPixmap(GermanFlagPixmap(geometry::kFlagSize));
    c_.DE_Flag->hide();

    c_.AlwaysOnTop1 = make<AlwaysOnTop>(f, "AlwaysOnTop1");
    c_.AlwaysOnTop1->setSettingsFile(paths_.settingsPath());
    c_.Label42 = linkLabel(f, "Label42", QStringLiteral("Homepage"));
    c_.Label13 = linkLabel(f, "Label13", QStringLiteral("Update"));
    c_.Label13->hide();
}

void Form1::buildNameStrip() {
    c_.Frame7 = make<QFrame>(this, "Frame7");
    c_.Frame7->setFrameShape(QFrame::StyledPanel);
    c_.Frame7->resize(width(), Px(geometry::kNameStripHeight));
    QWidget* f = c_.Frame7;

    c_.Vorschau = make<ClickableLabel>(f, "Vorschau", QStringLiteral("Vorschau Dateiname"));
    c_.Vorschau->setToolTip(QStringLiteral(
        "Mausklick um durch Liste zu gehen, Rechtsklick um das Verzeichnis im Explorer zu "
        "öffnen, "));
    c_.Vorschau->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c_.Vorschau->setFrameShape(QFrame::StyledPanel);
    c_.Vorschau->setFrameShadow(QFrame::Sunken);
    c_.Vorschau->setAutoFillBackground(true);
    c_.Vorschau->setBackgroundRole(QPalette::Base);
    c_.Vorschau->setMargin(1);
    c_.Vorschau->setCursor(Qt::PointingHandCursor);
    // A page of six names has to fit the strip's height whatever the desktop's font is.
    QFont small = c_.Vorschau->font();
    const int room = Px(geometry::kNameStripHeight) - 6 - 2 * c_.Vorschau->frameWidth() -
                     2 * c_.Vorschau->margin() - 4;
    small.setPointSizeF(small.pointSizeF() - 1);
    while (small.pointSizeF() > 6 && QFontMetrics(small).lineSpacing() * 6 > room)
        small.setPointSizeF(small.pointSizeF() - 0.5);
    c_.Vorschau->setFont(small);

    c_.FileStatus =
        make<ClickableLabel>(f, "FileStatus", QStringLiteral("Keine Dateien gefunden!"));
    c_.FileStatus->setToolTip(
        QStringLiteral("Doppelklick erstellt und öffenet eine Liste aller gefundenen Dateien"));
    QFont bold = c_.FileStatus->font();
    bold.setBold(true);
    c_.FileStatus->setFont(bold);
    c_.FileStatus->setCursor(Qt::PointingHandCursor);

    c_.ImageMagicPath = lineEdit(
        f, "ImageMagicPath",
        QStringLiteral("Pfad zu ImageMagic (magick.exe) hier eintragen   (Drag&Drop der .exe geht "
                       "auch..)"));
    c_.ImageMagicPath->setCursorPosition(0);
}

void Form1::buildBottomStrip() {
    c_.BeendenFrame = make<QFrame>(this, "BeendenFrame");
    c_.BeendenFrame->setFrameShape(QFrame::StyledPanel);
    QWidget* f = c_.BeendenFrame;
    c_.KeineNachfragen =
        make<QCheckBox>(f, "KeineNachfragen", QStringLiteral("Nachfragen abschalten"));
    c_.KeineNachfragen->setToolTip(
        QStringLiteral("Die Aktionen starten sofort ohne weitere Nachfrage (Vorsicht!!)"));
    c_.BatPAuse =
        make<QCheckBox>(f, "BatPAuse", QStringLiteral("Pause am Ende der bat-Dateien einfügen"));
    c_.SaveIniBtn = make<QPushButton>(f, "SaveIniBtn", QStringLiteral("Speichern"));
    c_.SaveIniBtn->setToolTip(QStringLiteral(
        "Speichert die gesetzten Programm-Einstellungen (Pfad wird nicht gespeichert)"));
    c_.IniBtn = make<QPushButton>(f, "IniBtn", QStringLiteral("Ini"));
    c_.IniBtn->setToolTip(QStringLiteral("Ini-Datei öffnen"));
    c_.IniBtn->hide();
    c_.ExitBtn = make<QPushButton>(f, "ExitBtn", QStringLiteral("Beenden"));
    c_.UndoBtn = make<QPushButton>(f, "UndoBtn", QStringLiteral("Rückgängig"));
    c_.UndoBtn->setEnabled(false);
    c_.Label6 = linkLabel(f, "Label6", QStringLiteral("Kamera Nummern >>"));
}

void Form1::buildPicker() {
    c_.VerzBaum_Frame = make<QFrame>(this, "VerzBaum_Frame");
    c_.VerzBaum_Frame->setFrameShape(QFrame::StyledPanel);
    c_.VerzBaum_Frame->setFrameShadow(QFrame::Raised);
    c_.VerzBaum_Frame->setAutoFillBackground(true);
    c_.VerzBaum_Frame->hide();

    c_.Command16 = make<QPushButton>(c_.VerzBaum_Frame, "Command16", QStringLiteral("X"));
    c_.Command16->setFixedSize(26, 22);

    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    dirModel_->setReadOnly(true);
    c_.VerzBaum = make<QTreeView>(c_.VerzBaum_Frame, "VerzBaum");
    c_.VerzBaum->setModel(dirModel_);
    for (int column = 1; column < dirModel_->columnCount(); ++column)
        c_.VerzBaum->hideColumn(column);
    c_.VerzBaum->setHeaderHidden(true);
    c_.VerzBaum->setUniformRowHeights(true);
    c_.VerzBaum->setAnimated(false);
    c_.VerzBaum->setSelectionMode(QAbstractItemView::SingleSelection);
    c_.VerzBaum->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void Form1::layoutTopStrip() {
    const int w = width();
    const int rowHeight = 24;
    const int y1 = 8;
    const int y2 = 44;

    // The language button sits at the window's right edge, at the very top.
    QPushButton* flag = c_.SwitchLAnguage_Label;
    flag->move(w - flag->width() - Px(250), 0);

    int right = flag->x() - 8;
    c_.Command11->move(right - c_.Command11->width(), y1);
    right = c_.Command11->x() - 6;
    const int driveWidth = std::min(std::max(c_.Drive1->sizeHint().width(), 120), 180);
    c_.Drive1->setGeometry(right - driveWidth, y1, driveWidth, rowHeight);
    right = c_.Drive1->x() - 6;
    c_.Command4->setGeometry(right - 30, y1, 30, rowHeight);
    right = c_.Command4->x() - 2;
    c_.Text1->setGeometry(8, y1, std::max(right - 8, 60), rowHeight);

    c_.Combo2->setGeometry(8, y2, 90, rowHeight);
    c_.DubDir_Check->setGeometry(108, y2, c_.DubDir_Check->sizeHint().width(), rowHeight);

    int x = w - 12;
    for (ClickableLabel* link : {c_.Label13, c_.Label42}) {
        const QSize s = link->sizeHint();
        x -= s.width();
        link->setGeometry(x, y2 + (rowHeight - s.height()) / 2, s.width(), s.height());
        x -= 14;
    }
    c_.AlwaysOnTop1->move(x - c_.AlwaysOnTop1->width(),
                          y2 + (rowHeight - c_.AlwaysOnTop1->height()) / 2);
}

void Form1::layoutNameStrip() {
    const int w = width();
    const int h = c_.Frame7->height();
    // Left of the file names the picture preview, which lies on the window itself.
    const int namesLeft = Px(120 + 1035) + 8;
    const int namesWidth = std::max(200, (w - namesLeft - 16) / 2);
    c_.Vorschau->setGeometry(namesLeft, 3, namesWidth, h - 6);
    const int x = namesLeft + namesWidth + 10;
    const int rest = std::max(w - x - 8, 120);
    c_.FileStatus->setGeometry(x, 6, rest, c_.FileStatus->sizeHint().height() + 4);
    c_.ImageMagicPath->setGeometry(x, 36, rest, 24);
}

void Form1::placePicker() {
    if (!c_.VerzBaum_Frame)
        return;
    // Directly below the directory box, down to near the window's bottom.
    const QPoint below = c_.Text1->mapTo(this, QPoint(0, c_.Text1->height()));
    const int top = below.y() + Px(20);
    const int pickerWidth = std::max(c_.Text1->width() + c_.Command4->width() + 2, 320);
    const int pickerHeight = std::max(height() - top - Px(340), Px(400) + 60);
    c_.VerzBaum_Frame->setGeometry(0, top, pickerWidth, pickerHeight);
    const int treeHeight = pickerHeight - Px(400);
    c_.Command16->move(pickerWidth - c_.Command16->width() - 3, 3);
    c_.VerzBaum->setGeometry(3, pickerHeight - treeHeight - 3, pickerWidth - 6, treeHeight);
}

void Form1::fillOutputFormatList() {
    for (ToolArea* a : areas_)
        a->refillLists();
}

void Form1::LayoutOnResize() {
    if (!c_.Frame5)
        return;
    const int w = width();
    // The strips reach past the right edge so that their right border stays out of sight.
    const int stripWidth = w + Px(geometry::kStripOverhang);
    c_.Frame5->resize(stripWidth, Px(geometry::kTopStripHeight));
    c_.Frame7->resize(stripWidth, c_.Frame7->height());
    // A scroll bar beside the areas takes its width from them, not from their panels.
    const bool scrolls = areasScroll_->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    const int areaWidth =
        stripWidth - (scrolls ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0);
    areasPage_->resize(areaWidth, areasPage_->height());
    for (ToolArea* a : areas_)
        a->layOut(areaWidth);
    cameraNumbers_->layOut(stripWidth);
    layoutTopStrip();
    layoutNameStrip();

    const QSize drop = c_.DragDropPic->size();
    c_.DragDropPic->move(w - drop.width() - 10, areasScroll_->y() + 4);

    // The bottom strip keeps its width; its buttons stay at its right end.
    const int bw = bottomStripWidth_ > 0 ? bottomStripWidth_ : w;
    const int bh = Px(geometry::kBottomStripHeight);
    c_.KeineNachfragen->setGeometry(8, 4, c_.KeineNachfragen->sizeHint().width(), 22);
    c_.BatPAuse->setGeometry(8, bh - 26, c_.BatPAuse->sizeHint().width(), 22);
    int x = bw - 10;
    for (QPushButton* b : {c_.ExitBtn, c_.IniBtn, c_.SaveIniBtn, c_.UndoBtn}) {
        const int bwidth = std::max(b->sizeHint().width(), b == c_.IniBtn ? 56 : 96);
        x -= bwidth;
        b->setGeometry(x, (bh - 28) / 2, bwidth, 28);
        x -= 8;
    }
    const int checksRight = 8 + std::max(c_.KeineNachfragen->width(), c_.BatPAuse->width()) + 24;
    c_.Label6->setGeometry(checksRight, bh - 26, c_.Label6->sizeHint().width(), 22);

    placePicker();
}

}  // namespace kadrano
