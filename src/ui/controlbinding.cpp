#include "controlbinding.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace kadrano {

QString widgetValue(const QWidget* control, SettingKind kind) {
    if (!control)
        return QString();
    if (kind == SettingKind::Check) {
        if (auto* b = qobject_cast<const QAbstractButton*>(control))
            return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    if (auto* s = qobject_cast<const QAbstractSlider*>(control))
        return QString::number(s->value());
    if (auto* e = qobject_cast<const QLineEdit*>(control))
        return e->text();
    if (auto* c = qobject_cast<const QComboBox*>(control))
        return c->currentText();
    if (auto* l = qobject_cast<const QLabel*>(control))
        return l->text();
    return QString();
}

bool setWidgetValue(QWidget* control, SettingKind kind, const QString& value) {
    if (!control)
        return false;
    if (kind == SettingKind::Check) {
        auto* b = qobject_cast<QAbstractButton*>(control);
        if (!b)
            return false;
        if (value == QLatin1String("0") || value == QLatin1String("1")) {
            b->setChecked(value == QLatin1String("1"));
            return true;
        }
        return false;
    }
    if (auto* s = qobject_cast<QAbstractSlider*>(control)) {
        bool ok = false;
        const int v = value.toInt(&ok);
        if (!ok || v < s->minimum() || v > s->maximum())
            return false;
        s->setValue(v);
        return true;
    }
    if (auto* e = qobject_cast<QLineEdit*>(control)) {
        e->setText(value);
        return true;
    }
    if (auto* c = qobject_cast<QComboBox*>(control)) {
        if (c->isEditable()) {
            c->setEditText(value);
            return true;
        }
        const int i = c->findText(value, Qt::MatchExactly);
        if (i < 0)
            return false;
        c->setCurrentIndex(i);
        return true;
    }
    return false;
}

}  // namespace kadrano
