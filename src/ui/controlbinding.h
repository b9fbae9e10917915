#pragma once

#include <QString>

#include "core/settings.h"

class QWidget;

namespace kadrano {

// Reads and writes a control's value in the form the settings file stores it, whatever
// kind of widget the control is: check boxes "0"/"1", scroll bars their number, text
// boxes and combo boxes their text.
QString widgetValue(const QWidget* control, SettingKind kind);

// False when the control refuses the value and keeps its state: a check box takes only
// 0 or 1, a scroll bar only a number in its range, a fixed list only one of its entries.
bool setWidgetValue(QWidget* control, SettingKind kind, const QString& value);

}  // namespace kadrano
