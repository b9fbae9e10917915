#include "clickablelabel.h"

#include <QMouseEvent>

namespace kadrano {

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) {
        if (event->button() == Qt::LeftButton)
            Q_EMIT clicked();
        if (event->button() == Qt::RightButton)
            Q_EMIT rightClicked(event->modifiers());
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace kadrano
