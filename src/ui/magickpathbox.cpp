#include "magickpathbox.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

#include "imagemagick/magickpath.h"

namespace kadrano {

MagickPathBox::MagickPathBox(QLineEdit* box, QString programDir)
    : QObject(box), box_(box), programDir_(std::move(programDir)) {
    box_->installEventFilter(this);
}

void MagickPathBox::colourByText() {
    const ScreenColour c = MagickPathColour(box_->text(), programDir_);
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
            Q_EMIT left();
            break;
        default:
            break;
    }
    return false;
}

}  // namespace kadrano
