#include "areastack.h"

#include <QFrame>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <limits>

#include "areaicon.h"
#include "areas/areas.h"
#include "areas/cameranumbersarea.h"
#include "clickablelabel.h"
#include "controlfactory.h"
#include "form1geometry.h"
#include "twips.h"

namespace kadrano {

AreaStack::AreaStack(QWidget* window, AreaHost& host, int heightLimit)
    : QObject(window), window_(window), heightLimit_(heightLimit), host_(host) {
    // The page keeps the areas' own heights; only the part of it that fits the screen is
    // shown, and the bottom strip stays below it in sight.
    scroll_ = make<QScrollArea>(window, "AreasScroll");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidgetResizable(false);
    scroll_->setFocusPolicy(Qt::NoFocus);
    page_ = new QWidget;
    page_->setObjectName(QStringLiteral("AreasPage"));
    page_->resize(window->width(), 0);
    scroll_->setWidget(page_);
    areas_ = makeStackedAreas(page_, host);
    for (const ToolArea* a : areas_) {
        QFrame* frame = a->frame();
        connect(a->icon(), &ClickableLabel::clicked, this, [this, frame] { toggle(frame); });
        connect(a->icon(), &AreaIcon::focusedByKeyboard, this, [this, frame] { toggle(frame); });
        connect(a->header(), &ClickableLabel::clicked, this, [this, frame] { toggle(frame); });
    }
}

ClickableLabel* AreaStack::buildCameraLink(QWidget* bottomStrip) {
    cameraLink_ = linkLabel(bottomStrip, "Label6", QStringLiteral("Kamera Nummern >>"));
    connect(cameraLink_, &ClickableLabel::clicked, this, &AreaStack::showCameraNumbers);
    return cameraLink_;
}

void AreaStack::buildCameraNumbers() {
    cameraNumbers_ = new CameraNumbersArea(window_, host_);
}

void AreaStack::setSurroundings(QWidget* topStrip, QWidget* nameStrip, QWidget* bottomStrip,
                                QWidget* dropPicture) {
    topStrip_ = topStrip;
    nameStrip_ = nameStrip;
    bottomStrip_ = bottomStrip;
    dropPicture_ = dropPicture;
}

ToolArea* AreaStack::areaOf(const QFrame* frame) const {
    for (ToolArea* a : areas_)
        if (a->frame() == frame)
            return a;
    return nullptr;
}

QFrame* AreaStack::openArea() const {
    for (const ToolArea* a : areas_)
        if (a->isOpen())
            return a->frame();
    return nullptr;
}

void AreaStack::stack() {
    int top = topStrip_->y() + px(geometry::kTopStripHeight);
    nameStrip_->move(nameStrip_->x(), top);
    top += nameStrip_->height();

    int pageHeight = 0;
    for (const ToolArea* a : areas_) {
        a->frame()->move(0, pageHeight);
        pageHeight += a->frame()->height();
    }
    // What the screen leaves for the areas once the strips and the margin below have
    // their room; never less than one closed area.
    const int below = bottomStrip_->height() + px(geometry::kWindowBottomMargin);
    const int room = std::max(windowHeightLimit() - top - below, px(geometry::kCollapsedHeight));
    const int shown = std::min(pageHeight, room);
    // Decided here rather than left to the scroll area, so the areas know their width
    // before the window is laid out again.
    scroll_->setVerticalScrollBarPolicy(shown < pageHeight ? Qt::ScrollBarAlwaysOn
                                                           : Qt::ScrollBarAlwaysOff);
    page_->resize(page_->width(), pageHeight);
    scroll_->setGeometry(0, top, window_->width(), shown);
    top += shown;

    bottomStrip_->move(bottomStrip_->x(), top);
    top += bottomStrip_->height();
    // The camera numbers hang below the bottom strip, outside the window until shown.
    cameraNumbers_->frame()->move(0, top);
    window_->resize(window_->width(), px(toTwips(top) + geometry::kWindowBottomMargin));
    Q_EMIT restacked();
    // An area that was just opened is shown from its header on.
    const QFrame* open = openArea();
    scroll_->verticalScrollBar()->setValue(open ? open->y() : 0);
}

int AreaStack::windowHeightLimit() const {
    if (heightLimit_ > 0)
        return heightLimit_;
    const QScreen* s = window_->screen();
    if (!s)
        return std::numeric_limits<int>::max();
    // The title bar and frame come off the screen's room too; before the window is shown
    // their height is not known yet, so a usual one is assumed.
    const int frame = window_->frameGeometry().height() - window_->height();
    return s->availableGeometry().height() - (frame > 0 ? frame : 32);
}

void AreaStack::collapseAll() {
    for (ToolArea* a : areas_)
        a->collapse();
    const int bottom = bottomStrip_->y() + bottomStrip_->height();
    window_->resize(window_->width(), px(toTwips(bottom) + geometry::kWindowBottomMargin));
    dropPicture_->show();
}

void AreaStack::toggle(QFrame* area) {
    ToolArea* a = areaOf(area);
    if (!a)
        return;
    // The camera numbers live below the stack; any change of the stack closes them.
    if (cameraNumbers_->frame()->isVisible()) {
        cameraNumbers_->hide();
        cameraLink_->show();
    }
    const bool wasOpen = a->isOpen();
    collapseAll();
    if (!wasOpen) {
        if (a->coversDropPicture())
            dropPicture_->hide();
        a->open();
    }
    stack();
}

void AreaStack::showCameraNumbers() {
    // Below the stack there is only room while every area is closed.
    if (openArea()) {
        collapseAll();
        stack();
    }
    cameraNumbers_->showAt(bottomStrip_->y() + bottomStrip_->height(), nameStrip_->width());
    window_->resize(window_->width(), px(geometry::kCameraWindowHeight));
    cameraLink_->hide();
}

void AreaStack::layOut(int stripWidth) {
    // A scroll bar beside the areas takes its width from them, not from their panels.
    const bool scrolls = scroll_->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    const int areaWidth =
        stripWidth - (scrolls ? window_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0);
    page_->resize(areaWidth, page_->height());
    for (ToolArea* a : areas_)
        a->layOut(areaWidth);
    cameraNumbers_->layOut(stripWidth);
}

}  // namespace kadrano
