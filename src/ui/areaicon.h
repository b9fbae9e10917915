#pragma once

#include "clickablelabel.h"

namespace kadrano {

// The picture at the head of a tool area. It opens or closes its area when clicked and
// also when the keyboard moves the focus onto it (Tab, or the mnemonic of its header);
// focus that arrives by a mouse click or by the window becoming active again does not
// count, so a click toggles exactly once.
class AreaIcon : public ClickableLabel {
    Q_OBJECT
public:
    explicit AreaIcon(QWidget* parent = nullptr);

Q_SIGNALS:
    void focusedByKeyboard();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kadrano
