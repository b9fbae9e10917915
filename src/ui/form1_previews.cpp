#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

#include "clickablelabel.h"
#include "form1.h"
#include "form1geometry.h"
#include "twips.h"

// The file-name preview (six names at a time) and the picture preview beside it.

namespace kadrano {

QRect Form1::smallPreviewGeometry() const {
    return PxRect(geometry::kPreviewLeft, geometry::kPreviewTop, geometry::kPreviewWidth,
                  geometry::kPreviewHeight);
}

bool Form1::previewEnlarged() const {
    return c_.VorschauPic && c_.VorschauPic->width() != Px(geometry::kPreviewWidth);
}

QString Form1::previewedFilePath() const {
    if (previewedIndex_ < 0 || previewedIndex_ >= files_.count())
        return QString();
    return files_.fullPath(previewedIndex_);
}

QString Form1::previewedDirectory() const {
    if (previewedIndex_ < 0 || previewedIndex_ >= files_.count())
        return directoryText();
    return files_.FileDirs.at(previewedIndex_);
}

TagTexts Form1::nameTagTexts() const {
    TagTexts tags;
    auto text = [this](const char* name, QString& into) {
        if (const auto* e = findChild<const QLineEdit*>(QString::fromLatin1(name)))
            into = e->text();
    };
    text("LAndscaptTxt", tags.landscape);
    text("PortraitTxt", tags.portrait);
    text("DoppelteTxt", tags.duplicate);
    return tags;
}

QString Form1::previewName() const {
    return c_.Vorschau ? c_.Vorschau->text().section(u'\n', 0, 0) : QString();
}

void Form1::showFirstPreview() {
    previewPosition_ = 0;
    previewedIndex_ = files_.isEmpty() ? -1 : 0;
    if (c_.Vorschau)
        c_.Vorschau->setText(QStringLiteral("."));
    loadPreviewPicture(previewedIndex_);
    Q_EMIT previewRefreshed();
}

void Form1::clearPreviews() {
    for (ToolArea* a : areas_)
        a->previewsCleared(language_);
    if (c_.Vorschau)
        c_.Vorschau->setText(QString());
    previewedIndex_ = -1;
    if (c_.VorschauPic)
        c_.VorschauPic->clear();
}

void Form1::onVorschauClicked() {
    if (loading_ || c_.Vorschau->text().isEmpty())
        return;
    c_.Vorschau->setEnabled(false);
    const int count = files_.count();
    if (previewPosition_ >= count)
        previewPosition_ = 0;
    previewedIndex_ = count > 0 ? previewPosition_ : -1;

    // Six names a page; a page starts with the last name of the one before.
    QString page;
    for (int j = previewPosition_; j <= previewPosition_ + 5; ++j) {
        if (j >= count) {
            // The end of the list: the next click starts again at the top.
            previewPosition_ = 0;
            c_.Vorschau->setText(page);
            refreshPreviews();
            c_.Vorschau->setEnabled(true);
            return;
        }
        page += files_.FileNames.at(j) + u'\n';
    }
    c_.Vorschau->setText(page);
    refreshPreviews();
    previewedIndex_ = previewPosition_;
    previewPosition_ += 5;
    for (ToolArea* a : areas_)
        a->namePageShown();
    c_.Vorschau->setEnabled(true);
}

void Form1::onVorschauRightClicked(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ShiftModifier)
        return;
    person().openFolder(directoryText());
}

void Form1::refreshPreviews() {
    // A page of names shows the picture of its first file; a single line (the "." after a
    // collection) leaves the picture as it is.
    if (c_.Vorschau->text().contains(u'\n'))
        loadPreviewPicture(previewedIndex_);
    else if (previewPosition_ < files_.count())
        previewedIndex_ = previewPosition_;
    Q_EMIT previewRefreshed();
}

void Form1::loadPreviewPicture(int index) {
    QLabel* box = c_.VorschauPic;
    if (!box)
        return;
    box->clear();
    if (index < 0 || index >= files_.count())
        return;
    QImageReader reader(files_.fullPath(index));
    // Stretched to the whole box; the picture's own proportions do not count here. It is
    // decoded at the box's size, which keeps large photos quick.
    const qreal dpr = box->devicePixelRatioF();
    const QSize target = box->contentsRect().size() * dpr;
    if (reader.size().isValid() && !target.isEmpty())
        reader.setScaledSize(target);
    const QImage image = reader.read();
    if (image.isNull())
        return;  // not a picture: the box stays empty
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    box->setPixmap(pixmap);
}

void Form1::onVorschauPicClicked() {
    const bool wasLoading = loading_;
    loading_ = true;
    if (!previewEnlarged()) {
        // As large as the window allows, in the picture's own proportions.
        QSize picture = QImageReader(previewedFilePath()).size();
        if (!picture.isValid() || picture.isEmpty())
            picture = smallPreviewGeometry().size();
        const QSize fitted = picture.scaled(size(), Qt::KeepAspectRatio);
        c_.VorschauPic->setGeometry(QRect(QPoint(0, 0), fitted));
        c_.VorschauPic->raise();
    } else {
        c_.VorschauPic->setGeometry(smallPreviewGeometry());
        c_.VorschauPic->stackUnder(c_.DragDropPic);
    }
    loadPreviewPicture(previewedIndex_);
    QCoreApplication::processEvents();
    loading_ = wasLoading;
}

}  // namespace kadrano
