#include "windowdrops.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>

#include "folderpicker.h"
#include "magickpathbox.h"

namespace kadrano {

WindowDrops::WindowDrops(QWidget* window, FolderPicker& picker, MagickPathBox& pathBox)
    : QObject(window), window_(window), picker_(picker), pathBox_(pathBox) {
    window->setAcceptDrops(true);
    // On the application: a drop on any control of the window counts, not only on the
    // window's own background.
    qApp->installEventFilter(this);
}

WindowDrops::~WindowDrops() {
    qApp->removeEventFilter(this);
}

bool WindowDrops::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData* data = drop->mimeData();
    if (!data || (!data->hasUrls() && !data->hasText()))
        return false;
    const Qt::DropActions possible = drop->possibleActions();
    if (possible & Qt::CopyAction) {
        drop->setDropAction(Qt::CopyAction);
    } else if (possible & Qt::LinkAction) {
        drop->setDropAction(Qt::LinkAction);
    } else {
        drop->ignore();
        return true;
    }
    drop->accept();
    if (type != QEvent::Drop)
        return true;
    // Handled here, so that a drop on the path box does not travel on to the strip around it.
    if (widget == pathBox_.box())
        pathBox_.takeDrop(*data);
    else
        picker_.takeDrop(*data);
    return true;
}

}  // namespace kadrano
