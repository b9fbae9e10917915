#pragma once

#include <QLabel>

namespace kadrano {

// A label that reports clicks (left and right), as the labels of the window design do.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();
    void rightClicked(Qt::KeyboardModifiers modifiers);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kadrano
