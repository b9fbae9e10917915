#include "icons.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>

namespace kadrano {

namespace {

// A transparent pixmap of the given logical size; paint() draws on a 0..w x 0..h canvas
// in logical units whatever the screen's pixel ratio is.
QPixmap canvas(QSize size, const std::function<void(QPainter&)>& paint) {
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(QSize(qCeil(size.width() * dpr), qCeil(size.height() * dpr)));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p);
    return pm;
}

// Area icons are designed on a 32 x 32 grid.
QPixmap icon32(int size, const std::function<void(QPainter&)>& paint) {
    return canvas(QSize(size, size), [&](QPainter& p) {
        p.scale(size / 32.0, size / 32.0);
        paint(p);
    });
}

const QColor kOutline(60, 64, 72);

// A small landscape photo: sky, sun, a green hill, and a frame.
void drawPhoto(QPainter& p, const QRectF& r) {
    p.save();
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(120, 180, 240));
    sky.setColorAt(1, QColor(200, 228, 250));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(r);
    p.setClipRect(r);
    p.setBrush(QColor(250, 200, 40));
    const qreal s = std::min(r.width(), r.height());
    p.drawEllipse(QPointF(r.right() - s * 0.28, r.top() + s * 0.28), s * 0.13, s * 0.13);
    QPainterPath hill;
    hill.moveTo(r.left(), r.bottom());
    hill.lineTo(r.left(), r.top() + r.height() * 0.7);
    hill.quadTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.35,
                r.left() + r.width() * 0.7, r.top() + r.height() * 0.75);
    hill.quadTo(r.left() + r.width() * 0.85, r.top() + r.height() * 0.62, r.right(),
                r.top() + r.height() * 0.7);
    hill.lineTo(r.right(), r.bottom());
    hill.closeSubpath();
    p.setBrush(QColor(70, 160, 70));
    p.drawPath(hill);
    p.setClipping(false);
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.restore();
}

void drawArrowHead(QPainter& p, QPointF tip, qreal angleDegrees, qreal length, const QColor& c) {
    const qreal a = qDegreesToRadians(angleDegrees);
    const QPointF back(std::cos(a) * length, std::sin(a) * length);
    const QPointF side(-back.y() * 0.6, back.x() * 0.6);
    QPolygonF head;
    head << tip << tip - back + side << tip - back - side;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(head);
}

void paintResize(QPainter& p) {
    p.setPen(QPen(QColor(120, 120, 120), 1.2, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 2.5, 27, 27));
    drawPhoto(p, QRectF(3, 13, 16, 16));
    const QColor blue(30, 100, 200);
    p.setPen(QPen(blue, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 13), QPointF(25.5, 6.5));
    drawArrowHead(p, QPointF(29, 3), -45, 7, blue);
}

void paintOrientation(QPainter& p) {
    drawPhoto(p, QRectF(2, 12, 18, 13));  // landscape
    drawPhoto(p, QRectF(16, 5, 13, 18));  // portrait
    const QColor green(20, 140, 60);
    p.setPen(QPen(green, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 2, 14, 14), 200 * 16, -150 * 16);
    drawArrowHead(p, QPointF(18.5, 12.5), 80, 6, green);
}

void paintRename(QPainter& p) {
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(QColor(250, 250, 245));
    p.drawRoundedRect(QRectF(1.5, 8.5, 29, 15), 2, 2);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 60, 150));
    p.drawText(QRectF(3, 8.5, 20, 15), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Ab"));
    p.setPen(QPen(Qt::black, 1.2));
    p.drawLine(QPointF(21, 11), QPointF(21, 21));
    // A pencil lying across the corner.
    p.save();
    p.translate(24, 25);
    p.rotate(-50);
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(245, 190, 40));
    p.drawRect(QRectF(0, -2, 11, 4));
    p.setBrush(QColor(240, 150, 150));
    p.drawRect(QRectF(11, -2, 2.5, 4));
    p.setBrush(QColor(235, 215, 170));
    QPolygonF tip;
    tip << QPointF(0, -2) << QPointF(-4, 0) << QPointF(0, 2);
    p.drawPolygon(tip);
    p.restore();
}

void paintText(QPainter& p) {
    drawPhoto(p, QRectF(1.5, 4.5, 29, 23));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 210));
    p.drawRoundedRect(QRectF(13, 18, 16, 8.5), 1.5, 1.5);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(8);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(20, 20, 20));
    p.drawText(QRectF(13, 18, 16, 8.5), Qt::AlignCenter, QStringLiteral("Abc"));
}

void drawDie(QPainter& p, const QRectF& r, int pips, const QColor& face) {
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(face);
    p.drawRoundedRect(r, r.width() * 0.2, r.width() * 0.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    const qreal d = r.width() * 0.1;
    auto at = [&](qreal fx, qreal fy) {
        p.drawEllipse(QPointF(r.left() + r.width() * fx, r.top() + r.height() * fy), d, d);
    };
    if (pips % 2 == 1)
        at(0.5, 0.5);
    if (pips >= 2) {
        at(0.27, 0.27);
        at(0.73, 0.73);
    }
    if (pips >= 4) {
        at(0.73, 0.27);
        at(0.27, 0.73);
    }
    if (pips == 6) {
        at(0.27, 0.5);
        at(0.73, 0.5);
    }
}

void paintShuffle(QPainter& p) {
    p.save();
    p.translate(11, 12);
    p.rotate(-14);
    drawDie(p, QRectF(-9, -9, 18, 18), 5, QColor(255, 255, 255));
    p.restore();
    p.save();
    p.translate(21, 21);
    p.rotate(12);
    drawDie(p, QRectF(-8.5, -8.5, 17, 17), 3, QColor(215, 40, 40));
    p.restore();
}

void paintDuplicates(QPainter& p) {
    drawPhoto(p, QRectF(1.5, 2.5, 19, 15));
    drawPhoto(p, QRectF(11.5, 14.5, 19, 15));
    p.setPen(QPen(QColor(200, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 22), QPointF(9, 22));
    p.drawLine(QPointF(4, 26), QPointF(9, 26));
}

void paintDate(QPainter& p) {
    const QRectF page(3.5, 4.5, 25, 25);
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(page, 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    QPainterPath top;
    top.addRoundedRect(QRectF(3.5, 4.5, 25, 8), 2.5, 2.5);
    p.drawPath(top);
    p.drawRect(QRectF(3.5, 9, 25, 3.5));
    p.setBrush(kOutline);
    p.drawRoundedRect(QRectF(9, 2, 2.5, 5.5), 1, 1);
    p.drawRoundedRect(QRectF(20.5, 2, 2.5, 5.5), 1, 1);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRectF(3.5, 12.5, 25, 17), Qt::AlignCenter, QStringLiteral("31"));
}

}  // namespace

QPixmap areaIconPixmap(AreaPicture which, int size) {
    switch (which) {
        case AreaPicture::Resize:
            return icon32(size, paintResize);
        case AreaPicture::Orientation:
            return icon32(size, paintOrientation);
        case AreaPicture::Rename:
            return icon32(size, paintRename);
        case AreaPicture::Text:
            return icon32(size, paintText);
        case AreaPicture::Shuffle:
            return icon32(size, paintShuffle);
        case AreaPicture::Duplicates:
            return icon32(size, paintDuplicates);
        case AreaPicture::Date:
            return icon32(size, paintDate);
    }
    return QPixmap();
}

QPixmap dropFolderPixmap(QSize size) {
    return canvas(size, [&](QPainter& p) {
        const QRectF box(2, 2, size.width() - 4, size.height() - 4);
        p.setPen(QPen(QColor(110, 130, 160), 2, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(235, 242, 252));
        p.drawRoundedRect(box, 10, 10);

        // The folder sits in the lower half, the arrow comes down into it.
        const qreal w = box.width() * 0.62;
        const qreal h = w * 0.68;
        const QRectF folder(box.center().x() - w / 2, box.bottom() - h - box.height() * 0.12, w, h);
        const QColor back(230, 170, 50), front(250, 200, 80);
        p.setPen(QPen(QColor(170, 120, 30), 1.5));
        p.setBrush(back);
        QPainterPath tab;
        tab.moveTo(folder.left(), folder.top() + h * 0.12);
        tab.lineTo(folder.left(), folder.top() - h * 0.08);
        tab.lineTo(folder.left() + w * 0.32, folder.top() - h * 0.08);
        tab.lineTo(folder.left() + w * 0.40, folder.top() + h * 0.04);
        tab.lineTo(folder.right(), folder.top() + h * 0.04);
        tab.lineTo(folder.right(), folder.top() + h * 0.2);
        tab.closeSubpath();
        p.drawPath(tab);
        p.drawRoundedRect(folder.adjusted(0, h * 0.04, 0, 0), 3, 3);
        p.setBrush(front);
        QPainterPath flap;
        flap.moveTo(folder.left() - w * 0.04, folder.top() + h * 0.3);
        flap.lineTo(folder.right() + w * 0.04, folder.top() + h * 0.3);
        flap.lineTo(folder.right(), folder.bottom());
        flap.lineTo(folder.left(), folder.bottom());
        flap.closeSubpath();
        p.drawPath(flap);

        const QColor arrow(40, 110, 210);
        const qreal cx = box.center().x();
        const qreal top = box.top() + box.height() * 0.1;
        const qreal tip = folder.top() + h * 0.55;
        const qreal shaft = w * 0.13;
        QPainterPath a;
        a.moveTo(cx - shaft, top);
        a.lineTo(cx + shaft, top);
        a.lineTo(cx + shaft, tip - w * 0.26);
        a.lineTo(cx + shaft * 2.6, tip - w * 0.26);
        a.lineTo(cx, tip);
        a.lineTo(cx - shaft * 2.6, tip - w * 0.26);
        a.lineTo(cx - shaft, tip - w * 0.26);
        a.closeSubpath();
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(arrow);
        p.drawPath(a);
    });
}

QPixmap englishFlagPixmap(QSize size) {
    return canvas(size, [&](QPainter& p) {
        const QRectF r(0.5, 0.5, size.width() - 1, size.height() - 1);
        p.setClipRect(r);
        p.fillRect(r, QColor(1, 33, 105));
        const qreal w = r.width(), h = r.height();
        const qreal unit = h / 30.0;
        p.setPen(QPen(Qt::white, unit * 6));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topRight());
        p.setPen(QPen(QColor(200, 16, 46), unit * 2));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.bottomLeft(), r.topRight());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left() + w / 2 - unit * 5, r.top(), unit * 10, h));
        p.drawRect(QRectF(r.left(), r.top() + h / 2 - unit * 5, w, unit * 10));
        p.setBrush(QColor(200, 16, 46));
        p.drawRect(QRectF(r.left() + w / 2 - unit * 3, r.top(), unit * 6, h));
        p.drawRect(QRectF(r.left(), r.top() + h / 2 - unit * 3, w, unit * 6));
        p.setClipping(false);
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    });
}

QPixmap germanFlagPixmap(QSize size) {
    return canvas(size, [&](QPainter& p) {
        const QRectF r(0.5, 0.5, size.width() - 1, size.height() - 1);
        const qreal third = r.height() / 3;
        p.fillRect(QRectF(r.left(), r.top(), r.width(), third), Qt::black);
        p.fillRect(QRectF(r.left(), r.top() + third, r.width(), third), QColor(221, 0, 0));
        p.fillRect(QRectF(r.left(), r.top() + 2 * third, r.width(), third), QColor(255, 206, 0));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.drawRect(r);
    });
}

QPixmap pinPixmap(PinState state, QSize size) {
    return canvas(size, [&](QPainter& p) {
        const qreal s = std::min(size.width(), size.height());
        p.translate((size.width() - s) / 2, (size.height() - s) / 2);
        p.scale(s / 20.0, s / 20.0);
        if (state == PinState::Enabled) {
            // Pressed in: a sunken square behind the upright pin.
            p.setPen(QPen(QColor(120, 120, 120), 1));
            p.setBrush(QColor(225, 232, 245));
            p.drawRoundedRect(QRectF(0.5, 0.5, 19, 19), 3, 3);
        }
        QColor head, body;
        switch (state) {
            case PinState::Disabled:
                head = QColor(150, 150, 150);
                body = QColor(185, 185, 185);
                break;
            case PinState::Hover:
                head = QColor(40, 110, 210);
                body = QColor(110, 160, 235);
                break;
            case PinState::Enabled:
                head = QColor(210, 30, 30);
                body = QColor(240, 90, 90);
                break;
        }
        p.translate(10, 10);
        if (state != PinState::Enabled)
            p.rotate(45);  // a loose pin lies on its side
        p.setPen(QPen(QColor(60, 60, 60), 0.8));
        // needle
        p.setPen(QPen(QColor(90, 90, 90), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 3), QPointF(0, 9));
        // collar and head
        p.setPen(QPen(QColor(60, 60, 60), 0.8));
        p.setBrush(body);
        QPolygonF collar;
        collar << QPointF(-5.5, 3) << QPointF(5.5, 3) << QPointF(3, -1) << QPointF(-3, -1);
        p.drawPolygon(collar);
        p.setBrush(head);
        p.drawRoundedRect(QRectF(-3, -8.5, 6, 8), 1.5, 1.5);
        p.setBrush(body.lighter(120));
        p.drawRoundedRect(QRectF(-4.5, -9.5, 9, 2.5), 1, 1);
    });
}

QIcon runScriptIcon() {
    return QIcon(canvas(QSize(16, 16), [](QPainter& p) {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(250, 250, 245));
        p.drawRect(QRectF(1.5, 0.5, 10, 13));
        p.setPen(QPen(QColor(150, 150, 150), 1));
        for (qreal y = 3.5; y < 12; y += 2.5)
            p.drawLine(QPointF(3.5, y), QPointF(9.5, y));
        QPolygonF play;
        play << QPointF(7, 6) << QPointF(15.5, 10.5) << QPointF(7, 15);
        p.setPen(QPen(QColor(20, 100, 30), 1));
        p.setBrush(QColor(40, 170, 60));
        p.drawPolygon(play);
    }));
}

}  // namespace kadrano
