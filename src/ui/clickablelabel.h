#pragma once

#include <QLabel>

namespace kadrano {

// A label that reports clicks (left and right): the window's links, previews and area
// headers act on a click.
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
