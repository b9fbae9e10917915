#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "core/pathhelpers.h"
#include "form1.h"
#include "volumes.h"

// The directory picker: the drive list, the directory tree below the directory box, and how
// both follow the directory box.

namespace kadrano {

void Form1::fillDriveList() {
    const QSignalBlocker block(c_.Drive1);
    c_.Drive1->clear();
    for (const QString& root : MountedVolumeRoots())
        c_.Drive1->addItem(root, root);
    c_.Drive1->setCurrentIndex(-1);
}

void Form1::followDriveOf(const QString& path) {
    QStringList roots;
    for (int i = 0; i < c_.Drive1->count(); ++i)
        roots.append(c_.Drive1->itemData(i).toString());
    const int index = VolumeForPath(roots, Unquote(path));
    if (index < 0 || index == c_.Drive1->currentIndex())
        return;
    // Following the box is no choice of the person's: the picker stays closed.
    followingText_ = true;
    c_.Drive1->setCurrentIndex(index);
    followingText_ = false;
}

void Form1::onDriveChosen(int index) {
    if (loading_ || followingText_ || index < 0)
        return;
    const QString root = c_.Drive1->itemData(index).toString();
    // Pointing the list at the drive makes the drive's root the picture directory.
    setDirectoryText(root);
    pointTreeAt(root);
    showPicker();
}

void Form1::pointTreeAt(const QString& path) {
    QString p = QDir::fromNativeSeparators(Unquote(path));
    while (p.size() > 1 && p.endsWith(u'/') && !p.endsWith(QLatin1String(":/")))
        p.chop(1);
    if (p.isEmpty() || !QFileInfo(p).isDir())
        return;

    QString root = c_.Drive1->currentData().toString();
    if (root.isEmpty() || VolumeForPath({root}, p) < 0)
        root = QDir::rootPath();
    root = QDir::fromNativeSeparators(root);
    dirModel_->setRootPath(root);
    c_.VerzBaum->setRootIndex(dirModel_->index(root));

    const QModelIndex index = dirModel_->index(p);
    if (!index.isValid())
        return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        c_.VerzBaum->expand(up);
    c_.VerzBaum->setCurrentIndex(index);
    c_.VerzBaum->scrollTo(index);
}

void Form1::onCommand4() {
    if (pickerOpen_) {
        pickerOpen_ = false;
        c_.VerzBaum_Frame->hide();
        c_.Command4->setEnabled(true);
        return;
    }
    pointTreeAt(directoryText());
    showPicker();
}

void Form1::showPicker() {
    placePicker();
    c_.VerzBaum_Frame->show();
    c_.VerzBaum_Frame->raise();
    pickerOpen_ = true;
    c_.VerzBaum->setFocus(Qt::OtherFocusReason);
    c_.Command4->setEnabled(false);
}

void Form1::leavePicker() {
    if (!pickerOpen_)
        return;
    pickerOpen_ = false;
    c_.VerzBaum_Frame->hide();
    c_.Command4->setEnabled(true);
    collectOnRequest();
}

void Form1::onTreeEnter() {
    const QModelIndex index = c_.VerzBaum->currentIndex();
    if (index.isValid())
        setDirectoryText(QDir::toNativeSeparators(dirModel_->filePath(index)));
    leavePicker();
    c_.Text1->setFocus(Qt::OtherFocusReason);
}

}  // namespace kadrano
