#include "previewstrip.h"

#include <QCoreApplication>
#include <QImageReader>

#include "clickablelabel.h"
#include "controlfactory.h"
#include "core/toolhost.h"
#include "form1geometry.h"
#include "twips.h"

namespace kadrano {

PreviewStrip::PreviewStrip(QWidget* window, QWidget* strip, ToolHost& host, bool& loading)
    : QObject(window), window_(window), host_(host), loading_(loading) {
    names_ = make<ClickableLabel>(strip, "Vorschau", QStringLiteral("Vorschau Dateiname"));
    names_->setToolTip(QStringLiteral(
        "Mausklick um durch Liste zu gehen, Rechtsklick um das Verzeichnis im Explorer zu "
        "öffnen, "));
    names_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    names_->setFrameShape(QFrame::StyledPanel);
    names_->setFrameShadow(QFrame::Sunken);
    names_->setAutoFillBackground(true);
    names_->setBackgroundRole(QPalette::Base);
    names_->setMargin(1);
    names_->setCursor(Qt::PointingHandCursor);
    // A page of six names has to fit the strip's height whatever the desktop's font is.
    QFont small = names_->font();
    const int room =
        px(geometry::kNameStripHeight) - 6 - 2 * names_->frameWidth() - 2 * names_->margin() - 4;
    small.setPointSizeF(small.pointSizeF() - 1);
    while (small.pointSizeF() > 6 && QFontMetrics(small).lineSpacing() * 6 > room)
        small.setPointSizeF(small.pointSizeF() - 0.5);
    names_->setFont(small);

    connect(names_, &ClickableLabel::clicked, this, &PreviewStrip::onNamesClicked);
    connect(names_, &ClickableLabel::rightClicked, this, &PreviewStrip::onNamesRightClicked);
}

void PreviewStrip::buildPicture() {
    picture_ = make<ClickableLabel>(window_, "VorschauPic");
    picture_->setToolTip(QStringLiteral("Vorschau (Klick zum Vergrößern)"));
    picture_->setFrameShape(QFrame::Box);
    picture_->setScaledContents(true);
    picture_->setAutoFillBackground(true);
    picture_->setCursor(Qt::PointingHandCursor);
    picture_->setGeometry(smallPictureGeometry());
    connect(picture_, &ClickableLabel::clicked, this, &PreviewStrip::onPictureClicked);
}

QRect PreviewStrip::smallPictureGeometry() {
    return pxRect(geometry::kPreviewLeft, geometry::kPreviewTop, geometry::kPreviewWidth,
                  geometry::kPreviewHeight);
}

int PreviewStrip::layOutNames(int stripWidth, int stripHeight) {
    // Left of the names the small picture, which lies on the window itself.
    const int left = px(geometry::kPreviewLeft + geometry::kPreviewWidth) + 8;
    const int width = std::max(200, (stripWidth - left - 16) / 2);
    names_->setGeometry(left, 3, width, stripHeight - 6);
    return left + width + 10;
}

bool PreviewStrip::enlarged() const {
    return picture_ && picture_->width() != px(geometry::kPreviewWidth);
}

QString PreviewStrip::previewedFilePath() const {
    const FileList& files = host_.fileList();
    if (previewedIndex_ < 0 || previewedIndex_ >= files.count())
        return QString();
    return files.fullPath(previewedIndex_);
}

QString PreviewStrip::previewedDirectory() const {
    const FileList& files = host_.fileList();
    if (previewedIndex_ < 0 || previewedIndex_ >= files.count())
        return host_.directoryText();
    return files.FileDirs.at(previewedIndex_);
}

QString PreviewStrip::previewName() const {
    return names_->text().section(u'\n', 0, 0);
}

void PreviewStrip::showFirst() {
    position_ = 0;
    previewedIndex_ = host_.fileList().isEmpty() ? -1 : 0;
    names_->setText(QStringLiteral("."));
    loadPicture(previewedIndex_);
    Q_EMIT refreshed();
}

void PreviewStrip::clear() {
    Q_EMIT cleared();
    names_->setText(QString());
    previewedIndex_ = -1;
    if (picture_)
        picture_->clear();
}

void PreviewStrip::onNamesClicked() {
    if (loading_ || names_->text().isEmpty())
        return;
    names_->setEnabled(false);
    const FileList& files = host_.fileList();
    const int count = files.count();
    if (position_ >= count)
        position_ = 0;
    previewedIndex_ = count > 0 ? position_ : -1;

    // Six names a page; a page starts with the last name of the one before.
    QString page;
    for (int j = position_; j <= position_ + 5; ++j) {
        if (j >= count) {
            // The end of the list: the next click starts again at the top.
            position_ = 0;
            names_->setText(page);
            refresh();
            names_->setEnabled(true);
            return;
        }
        page += files.FileNames.at(j) + u'\n';
    }
    names_->setText(page);
    refresh();
    previewedIndex_ = position_;
    position_ += 5;
    Q_EMIT pageShown();
    names_->setEnabled(true);
}

void PreviewStrip::onNamesRightClicked(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ShiftModifier)
        return;
    host_.person().openFolder(host_.directoryText());
}

void PreviewStrip::refresh() {
    // A page of names shows the picture of its first file; a single line (the "." after a
    // collection) leaves the picture as it is.
    if (names_->text().contains(u'\n'))
        loadPicture(previewedIndex_);
    else if (position_ < host_.fileList().count())
        previewedIndex_ = position_;
    Q_EMIT refreshed();
}

void PreviewStrip::loadPicture(int index) {
    if (!picture_)
        return;
    picture_->clear();
    const FileList& files = host_.fileList();
    if (index < 0 || index >= files.count())
        return;
    QImageReader reader(files.fullPath(index));
    // Stretched to the whole box; the picture's own proportions do not count here. It is
    // decoded at the box's size, which keeps large photos quick.
    const qreal dpr = picture_->devicePixelRatioF();
    const QSize target = picture_->contentsRect().size() * dpr;
    if (reader.size().isValid() && !target.isEmpty())
        reader.setScaledSize(target);
    const QImage image = reader.read();
    if (image.isNull())
        return;  // not a picture: the box stays empty
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    picture_->setPixmap(pixmap);
}

void PreviewStrip::onPictureClicked() {
    const bool wasLoading = loading_;
    loading_ = true;
    if (!enlarged()) {
        // As large as the window allows, in the picture's own proportions.
        QSize size = QImageReader(previewedFilePath()).size();
        if (!size.isValid() || size.isEmpty())
            size = smallPictureGeometry().size();
        const QSize fitted = size.scaled(window_->size(), Qt::KeepAspectRatio);
        picture_->setGeometry(QRect(QPoint(0, 0), fitted));
        picture_->raise();
    } else {
        picture_->setGeometry(smallPictureGeometry());
        picture_->stackUnder(shrinkBelow_);
    }
    loadPicture(previewedIndex_);
    QCoreApplication::processEvents();
    loading_ = wasLoading;
}

}  // namespace kadrano
