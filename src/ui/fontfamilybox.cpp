#include "fontfamilybox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace kadrano {

namespace {

QColor screenColour(const ScreenColour& c) {
    if (c.systemHighlight)
        return QApplication::palette().color(QPalette::Highlight);
    return QColor(c.red, c.green, c.blue);
}

void colourBox(QComboBox* box, const QColor& text, const QColor& background) {
    QPalette p = box->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Button, background);
    box->setPalette(p);
    if (QLineEdit* edit = box->lineEdit())
        edit->setPalette(p);
}

}  // namespace

QString desktopFontFamily(const QString& family) {
    return QFontInfo(QFont(family)).family();
}

void showTextColour(QComboBox* familyBox, QLabel* preview, const TextColourLook& look) {
    if (!look.found)
        return;
    const QColor text = screenColour(look.fontBoxText);
    QPalette p = preview->palette();
    if (look.light) {
        colourBox(familyBox, text, QColor(64, 64, 64));
        p.setColor(QPalette::WindowText, Qt::black);
        preview->setPalette(p);
        preview->show();
    } else {
        colourBox(familyBox, text, Qt::white);
        p.setColor(QPalette::WindowText, text);
        preview->setPalette(p);
    }
}

FontFamilyBox::FontFamilyBox(QComboBox* box, QLabel* preview, QCheckBox* bold, QCheckBox* italic)
    : QObject(box), box_(box), preview_(preview), bold_(bold), italic_(italic) {
    box_->installEventFilter(this);
    if (box_->lineEdit())
        box_->lineEdit()->installEventFilter(this);
    connect(box_, qOverload<int>(&QComboBox::activated), this, [this] {
        showFamily();
        Q_EMIT familyPicked();
    });
    connect(bold_, &QCheckBox::toggled, this, &FontFamilyBox::showBold);
    connect(italic_, &QCheckBox::toggled, this, &FontFamilyBox::showItalic);
    connect(box_->view()->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &FontFamilyBox::leaveCaretAtEnd);
}

void FontFamilyBox::showFamily() {
    const QString family = box_->currentText();
    QFont f = box_->font();
    f.setFamily(family);
    f.setItalic(italic_->isChecked());
    box_->setFont(f);
    QFont pf = preview_->font();
    pf.setFamily(family);
    pf.setItalic(italic_->isChecked());
    preview_->setFont(pf);
    QCoreApplication::processEvents();
    leaveCaretAtEnd();
}

void FontFamilyBox::showBold() {
    QFont f = box_->font();
    f.setBold(bold_->isChecked());
    box_->setFont(f);
    QFont pf = preview_->font();
    pf.setBold(bold_->isChecked());
    preview_->setFont(pf);
}

void FontFamilyBox::showItalic() {
    QFont f = box_->font();
    f.setItalic(italic_->isChecked());
    box_->setFont(f);
    QFont pf = preview_->font();
    pf.setItalic(italic_->isChecked());
    preview_->setFont(pf);
}

void FontFamilyBox::leaveCaretAtEnd() {
    if (QLineEdit* edit = box_->lineEdit()) {
        edit->deselect();
        edit->end(false);
    }
}

bool FontFamilyBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        leaveCaretAtEnd();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    if (key->key() == Qt::Key_Backspace || typed.isEmpty() || typed.at(0).unicode() < 0x20 ||
        typed == QLatin1String("&") || typed == QLatin1String("("))
        return false;
    const QString wanted = typed.left(1).toUpper();
    for (int i = 0; i < box_->count(); ++i) {
        if (box_->itemText(i).left(1) == wanted) {
            box_->setCurrentIndex(i);
            showFamily();
            Q_EMIT familyPicked();
            break;
        }
    }
    return true;  // a typed character never becomes part of the family's name
}

}  // namespace kadrano
