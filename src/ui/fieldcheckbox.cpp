#include "fieldcheckbox.h"

#include <QEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace kadrano {

namespace {
constexpr int kPad = 4;  // room between the words and the field
}

void FieldCheckBox::setField(QWidget* field) {
    field_ = field;
    if (!field_)
        return;
    field_->setParent(this);
    field_->show();
    updateGeometry();
    placeField();
}

FieldCheckBox::Parts FieldCheckBox::parts() const {
    const QString t = text();
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    QRegularExpressionMatch longest;
    for (auto it = blanks.globalMatch(t); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!longest.hasMatch() || m.capturedLength() > longest.capturedLength())
            longest = m;
    }
    if (!longest.hasMatch())
        return {t, QString()};
    return {t.left(longest.capturedStart()), t.mid(longest.capturedEnd())};
}

QSize FieldCheckBox::fieldSize() const {
    if (!field_)
        return QSize();
    return field_->sizeHint().boundedTo(field_->maximumSize()).expandedTo(field_->minimumSize());
}

int FieldCheckBox::gap() const {
    return field_ ? fieldSize().width() + 2 * kPad : 0;
}

QRect FieldCheckBox::textRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
}

QSize FieldCheckBox::sizeHint() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const Parts p = parts();
    const QFontMetrics fm = fontMetrics();
    const int textWidth = fm.horizontalAdvance(p.before) + gap() + fm.horizontalAdvance(p.after);
    const int textHeight = std::max(fm.height(), fieldSize().height());
    option.text = QString();
    QSize indicator = style()->sizeFromContents(QStyle::CT_CheckBox, &option, QSize(0, 0), this);
    const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, this);
    return QSize(indicator.width() + spacing + textWidth + 4,
                 std::max(indicator.height(), textHeight));
}

void FieldCheckBox::paintEvent(QPaintEvent*) {
    placeField();  // the caption may have changed since the last resize
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = QString();
    p.drawControl(QStyle::CE_CheckBox, option);

    initStyleOption(&option);
    const Parts parts_ = parts();
    const QRect r = textRect();
    const QFontMetrics fm = fontMetrics();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    QRect before = r;
    before.setWidth(fm.horizontalAdvance(parts_.before));
    p.drawItemText(before, flags, option.palette, isEnabled(), parts_.before, QPalette::WindowText);
    QRect after = r;
    after.setLeft(before.right() + 1 + gap());
    p.drawItemText(after, flags, option.palette, isEnabled(), parts_.after, QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = before.adjusted(-1, 0, 1, 0);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void FieldCheckBox::placeField() {
    if (!field_)
        return;
    const QRect r = textRect();
    const QSize s = fieldSize();
    const int x = r.left() + fontMetrics().horizontalAdvance(parts().before) + kPad;
    field_->setGeometry(x, (height() - s.height()) / 2, s.width(), s.height());
}

void FieldCheckBox::resizeEvent(QResizeEvent* event) {
    QCheckBox::resizeEvent(event);
    placeField();
}

bool FieldCheckBox::hitButton(const QPoint& pos) const {
    // The whole caption counts, also where the painted gap is wider than the blanks.
    return rect().contains(pos);
}

bool FieldCheckBox::event(QEvent* event) {
    const bool handled = QCheckBox::event(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateGeometry();
        placeField();
    }
    return handled;
}

}  // namespace kadrano
