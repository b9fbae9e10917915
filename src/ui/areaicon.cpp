#include "areaicon.h"

#include <QFocusEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace kadrano {

AreaIcon::AreaIcon(QWidget* parent) : ClickableLabel(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
}

void AreaIcon::focusInEvent(QFocusEvent* event) {
    ClickableLabel::focusInEvent(event);
    update();
    switch (event->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
            Q_EMIT focusedByKeyboard();
            break;
        default:
            break;
    }
}

void AreaIcon::focusOutEvent(QFocusEvent* event) {
    ClickableLabel::focusOutEvent(event);
    update();
}

void AreaIcon::paintEvent(QPaintEvent* event) {
    ClickableLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter p(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
}

}  // namespace kadrano
