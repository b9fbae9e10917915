#pragma once

#include <QCheckBox>

namespace kadrano {

// A check box whose caption leaves room for an input field: the caption's run of blanks
// ("Wenn kein Datum:                    setzen") is where the field sits. The caption is
// painted around the field, so the field never covers a word whatever the font is.
class FieldCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

    // The field becomes a child of the check box, placed in the caption's gap.
    void setField(QWidget* field);
    QWidget* field() const { return field_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    // The caption before and after its longest run of blanks.
    struct Parts {
        QString before;
        QString after;
    };
    Parts parts() const;
    QRect textRect() const;
    QSize fieldSize() const;
    int gap() const;
    void placeField();

    QWidget* field_ = nullptr;
};

}  // namespace kadrano
