#include "magickpathbox.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "controlfactory.h"
#include "core/toolhost.h"
#include "droppedpaths.h"

namespace kadrano {

MagickPathBox::MagickPathBox(QWidget* window, QWidget* strip, const ToolHost& host,
                             QString programDir)
    : QObject(window), window_(window), host_(host), programDir_(std::move(programDir)) {
    box_ = lineEdit(strip, "ImageMagicPath",
                    QStringLiteral("Pfad zu ImageMagic (magick.exe) hier eintragen   "
                                   "(Drag&Drop der .exe geht auch..)"));
    box_->setCursorPosition(0);
    box_->installEventFilter(this);
}

void MagickPathBox::setWarningsVisible(bool visible) {
    for (const char* name : {"ImageWarning1", "ImageWarning2"})
        if (auto* warning = window_->findChild<QLabel*>(QString::fromUtf8(name)))
            warning->setVisible(visible);
}

void MagickPathBox::setCaptionPreviewVisible(bool visible) {
    if (auto* preview = window_->findChild<QLabel*>(QStringLiteral("NamensVorschau")))
        preview->setVisible(visible);
}

void MagickPathBox::lookForImageMagick() {
    found_ = discoverMagick(box_->text().trimmed(), programDir_);
    if (found_.found) {
        box_->setText(found_.pathText);
        box_->hide();
        setWarningsVisible(false);
        return;
    }
    box_->setText(host_.language() == Language::English ? QString::fromUtf8(kMagickPathHintEnglish)
                                                        : QString::fromUtf8(kMagickPathHint));
    box_->setCursorPosition(0);
    box_->show();
    setWarningsVisible(true);
    setCaptionPreviewVisible(false);
}

void MagickPathBox::check() {
    const MagickPathCheck check = CheckMagickPath(box_->text().trimmed(), programDir_);
    switch (check.state) {
        case MagickPathState::Found:
            box_->hide();
            setWarningsVisible(false);
            break;
        case MagickPathState::MadeWhole:
            // The box stays until the next check sees the whole path; the person sees
            // what the relative path stood for.
            box_->setText(check.text);
            setCaptionPreviewVisible(true);
            break;
        case MagickPathState::Missing:
            box_->show();
            setWarningsVisible(true);
            setCaptionPreviewVisible(false);
            break;
    }
}

void MagickPathBox::takeDrop(const QMimeData& data) {
    for (const QString& path : droppedPaths(data))
        box_->setText(path);
    check();
    Q_EMIT dropped();
}

void MagickPathBox::switchToEnglish() {
    if (!namesExistingFile(box_->text())) {
        box_->setText(QString::fromUtf8(kMagickPathHintEnglish));
        box_->setCursorPosition(0);
    }
}

void MagickPathBox::colourByText() {
    const ScreenColour c = magickPathColour(box_->text(), programDir_);
    QPalette p = box_->palette();
    p.setColor(QPalette::Base, QColor(c.red, c.green, c.blue));
    p.setColor(QPalette::Text, Qt::white);
    box_->setPalette(p);
}

bool MagickPathBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn:
            // A click that gave the focus would clear a selection made at once.
            QTimer::singleShot(0, box_, [box = box_] { box->selectAll(); });
            break;
        case QEvent::KeyRelease:
            colourByText();
            break;
        case QEvent::FocusOut:
            // Leaving the box while the window closes or loads the settings checks nothing.
            if (!host_.loading())
                check();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace kadrano
