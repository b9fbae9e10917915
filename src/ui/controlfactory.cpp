#include "controlfactory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "clickablelabel.h"
#include "icons.h"

namespace kadrano {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    return make<QLabel>(parent, name, text);
}

QLabel* warningLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = label(parent, name, text);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(192, 0, 0));
    l->setPalette(p);
    return l;
}

QGroupBox* panel(QWidget* parent, const char* name, const QString& title) {
    return make<QGroupBox>(parent, name, title);
}

QGridLayout* grid(QWidget* panel) {
    auto* g = new QGridLayout(panel);
    g->setContentsMargins(8, 4, 8, 6);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(4);
    return g;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text, int width) {
    auto* e = make<QLineEdit>(parent, name, text);
    if (width > 0)
        e->setFixedWidth(width);
    return e;
}

QComboBox* comboBox(QWidget* parent, const char* name, int width) {
    auto* c = make<QComboBox>(parent, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    if (width > 0)
        c->setFixedWidth(width);
    return c;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text,
                    const QString& tooltip) {
    auto* b = make<QPushButton>(parent, name, text);
    if (!tooltip.isEmpty())
        b->setToolTip(tooltip);
    b->setMinimumWidth(80);
    return b;
}

QPushButton* infoButton(QWidget* parent, const char* name) {
    auto* b = make<QPushButton>(parent, name, QStringLiteral("?"));
    b->setFixedSize(26, 24);
    return b;
}

QPushButton* runScriptButton(QWidget* parent, const char* name) {
    auto* b = make<QPushButton>(parent, name);
    b->setIcon(runScriptIcon());
    b->setToolTip(QStringLiteral("Erstellte Bat-Datei jetzt ausführen und Umbenennen starten."));
    b->setFixedSize(30, 26);
    b->hide();
    return b;
}

ClickableLabel* linkLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = make<ClickableLabel>(parent, name, text);
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 204));
    l->setPalette(p);
    l->setCursor(Qt::PointingHandCursor);
    return l;
}

}  // namespace kadrano
