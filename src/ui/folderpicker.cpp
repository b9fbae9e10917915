#include "folderpicker.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "controlfactory.h"
#include "core/pathhelpers.h"
#include "core/toolhost.h"
#include "droppedpaths.h"
#include "twips.h"
#include "volumes.h"

namespace kadrano {

FolderPicker::FolderPicker(QWidget* window, QWidget* strip, QLineEdit* folderBox,
                           const ToolHost& host)
    : QObject(window), window_(window), folderBox_(folderBox), host_(host) {
    openButton_ = make<QPushButton>(strip, "Command4", QStringLiteral(".."));
    openButton_->setToolTip(QStringLiteral("Verzeichnis auswählen"));
    driveList_ = make<QComboBox>(strip, "Drive1");
    driveList_->setToolTip(QStringLiteral("Laufwerks-Auswahl"));
    driveList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    driveList_->setMinimumContentsLength(12);
    fillDriveList();

    connect(openButton_, &QPushButton::clicked, this, &FolderPicker::toggle);
    connect(driveList_, &QComboBox::currentIndexChanged, this, &FolderPicker::onDriveChosen);
    connect(folderBox_, &QLineEdit::textChanged, this,
            [this](const QString& text) { followDriveOf(text); });
    folderBox_->installEventFilter(this);
}

void FolderPicker::buildTree() {
    treeFrame_ = make<QFrame>(window_, "VerzBaum_Frame");
    treeFrame_->setFrameShape(QFrame::StyledPanel);
    treeFrame_->setFrameShadow(QFrame::Raised);
    treeFrame_->setAutoFillBackground(true);
    treeFrame_->hide();

    closeButton_ = make<QPushButton>(treeFrame_, "Command16", QStringLiteral("X"));
    closeButton_->setFixedSize(26, 22);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    treeView_ = make<QTreeView>(treeFrame_, "VerzBaum");
    treeView_->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        treeView_->hideColumn(column);
    treeView_->setHeaderHidden(true);
    treeView_->setUniformRowHeights(true);
    treeView_->setAnimated(false);
    treeView_->setSelectionMode(QAbstractItemView::SingleSelection);
    treeView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeView_->installEventFilter(this);

    connect(closeButton_, &QPushButton::clicked, this, [this] {
        leaveTree();
        folderBox_->setFocus(Qt::OtherFocusReason);
    });
    connect(treeView_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        // Opening a folder in the tree makes it the picture folder.
        const QString path = model_->filePath(index);
        if (!path.isEmpty())
            folderBox_->setText(QDir::toNativeSeparators(path));
    });
}

int FolderPicker::layOutRow(int right, int y, int rowHeight) {
    const int driveWidth = std::min(std::max(driveList_->sizeHint().width(), 120), 180);
    driveList_->setGeometry(right - driveWidth, y, driveWidth, rowHeight);
    right = driveList_->x() - 6;
    openButton_->setGeometry(right - 30, y, 30, rowHeight);
    return openButton_->x() - 2;
}

void FolderPicker::placeTree() {
    if (!treeFrame_)
        return;
    const QPoint below = folderBox_->mapTo(window_, QPoint(0, folderBox_->height()));
    const int top = below.y() + px(20);
    const int width = std::max(folderBox_->width() + openButton_->width() + 2, 320);
    const int height = std::max(window_->height() - top - px(340), px(400) + 60);
    treeFrame_->setGeometry(0, top, width, height);
    const int treeHeight = height - px(400);
    closeButton_->move(width - closeButton_->width() - 3, 3);
    treeView_->setGeometry(3, height - treeHeight - 3, width - 6, treeHeight);
}

void FolderPicker::fillDriveList() {
    const QSignalBlocker block(driveList_);
    driveList_->clear();
    for (const QString& root : mountedVolumeRoots())
        driveList_->addItem(root, root);
    driveList_->setCurrentIndex(-1);
}

void FolderPicker::followDriveOf(const QString& path) {
    QStringList roots;
    for (int i = 0; i < driveList_->count(); ++i)
        roots.append(driveList_->itemData(i).toString());
    const int index = volumeForPath(roots, Unquote(path));
    if (index < 0 || index == driveList_->currentIndex())
        return;
    // Following the box is no choice of the person's: the tree stays closed.
    followingText_ = true;
    driveList_->setCurrentIndex(index);
    followingText_ = false;
}

void FolderPicker::onDriveChosen(int index) {
    if (host_.loading() || followingText_ || index < 0)
        return;
    const QString root = driveList_->itemData(index).toString();
    // Pointing the tree at the drive makes the drive's root the picture folder.
    folderBox_->setText(root);
    pointTreeAt(root);
    showTree();
}

void FolderPicker::pointTreeAt(const QString& path) {
    QString p = QDir::fromNativeSeparators(Unquote(path));
    while (p.size() > 1 && p.endsWith(u'/') && !p.endsWith(QLatin1String(":/")))
        p.chop(1);
    if (p.isEmpty() || !QFileInfo(p).isDir())
        return;

    QString root = driveList_->currentData().toString();
    if (root.isEmpty() || volumeForPath({root}, p) < 0)
        root = QDir::rootPath();
    root = QDir::fromNativeSeparators(root);
    model_->setRootPath(root);
    treeView_->setRootIndex(model_->index(root));

    const QModelIndex index = model_->index(p);
    if (!index.isValid())
        return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        treeView_->expand(up);
    treeView_->setCurrentIndex(index);
    treeView_->scrollTo(index);
}

void FolderPicker::takeDrop(const QMimeData& data) {
    for (const QString& dropped : droppedPaths(data)) {
        const QFileInfo info(dropped);
        const QString path =
            info.isFile() ? QDir::toNativeSeparators(info.absolutePath()) : dropped;
        followDriveOf(path);
        folderBox_->setText(path);
    }
    Q_EMIT folderChosen();
}

void FolderPicker::toggle() {
    if (open_) {
        open_ = false;
        treeFrame_->hide();
        openButton_->setEnabled(true);
        return;
    }
    pointTreeAt(folderBox_->text());
    showTree();
}

void FolderPicker::showTree() {
    placeTree();
    treeFrame_->show();
    treeFrame_->raise();
    open_ = true;
    treeView_->setFocus(Qt::OtherFocusReason);
    openButton_->setEnabled(false);
}

void FolderPicker::leaveTree() {
    if (!open_)
        return;
    open_ = false;
    treeFrame_->hide();
    openButton_->setEnabled(true);
    Q_EMIT folderChosen();
}

void FolderPicker::onTreeEnter() {
    const QModelIndex index = treeView_->currentIndex();
    if (index.isValid())
        folderBox_->setText(QDir::toNativeSeparators(model_->filePath(index)));
    leaveTree();
    folderBox_->setFocus(Qt::OtherFocusReason);
}

bool FolderPicker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == folderBox_ && key == Qt::Key_Down) {
            toggle();
            return true;
        }
        if (watched == treeView_ && key == Qt::Key_Escape) {
            leaveTree();
            return true;
        }
        if (watched == treeView_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            onTreeEnter();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == treeView_ && open_) {
        // A message box or a menu taking the focus for a moment is no leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::MenuBarFocusReason)
            leaveTree();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kadrano
