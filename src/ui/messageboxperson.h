#pragma once

#include "core/toolhost.h"

class QWidget;

namespace kadrano {

// The person at the screen, as the real window talks to them: standard message boxes and
// the desktop's programs for files and folders. Status and event processing belong to
// the window and are not handled here.
class MessageBoxPerson : public Person {
public:
    explicit MessageBoxPerson(QWidget* parent) : parent_(parent) {}
    int messageBox(const QString& text, int flags, const QString& title) override;
    void openInEditor(const QString& path) override;
    void openDocument(const QString& path) override;
    void openFolder(const QString& path) override;
    void setStatus(const QString&) override {}
    void processEvents() override {}

private:
    QWidget* parent_;
};

// Qt's own dialogs and buttons ("Ja"/"Nein") in the window's language; the German
// translations come with Qt, English needs none.
void useQtTranslations(Language language);

// A line break in the program's texts is a single carriage return.
QString displayText(const QString& text);

}  // namespace kadrano
