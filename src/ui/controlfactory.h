#pragma once

#include <QString>
#include <QWidget>
#include <utility>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kadrano {

class ClickableLabel;

// The window's controls are made in code: Designer files cannot carry the objectNames with
// umlauts that the settings file and the info texts look controls up by.

// A control with its objectName, created as a child of parent.
template <typename W, typename... Args>
W* make(QWidget* parent, const char* name, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QString::fromUtf8(name));
    return w;
}

QLabel* label(QWidget* parent, const char* name, const QString& text);
// A label in the dark red of the window's warnings.
QLabel* warningLabel(QWidget* parent, const char* name, const QString& text);
// A titled inner panel of a tool area.
QGroupBox* panel(QWidget* parent, const char* name, const QString& title);
// The grid every inner panel lays its controls out in.
QGridLayout* grid(QWidget* panel);
QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text, int width = 0);
// An editable list that does not add what is typed.
QComboBox* comboBox(QWidget* parent, const char* name, int width = 0);
QPushButton* button(QWidget* parent, const char* name, const QString& text,
                    const QString& tooltip = QString());
// A "?" button.
QPushButton* infoButton(QWidget* parent, const char* name);
// A button that runs a script kept in the folder: hidden until there is one.
QPushButton* runScriptButton(QWidget* parent, const char* name);
// Underlined blue text that acts on a click.
ClickableLabel* linkLabel(QWidget* parent, const char* name, const QString& text);

}  // namespace kadrano
