#pragma once

#include <QObject>
#include <QString>

#include "core/toolhost.h"

class QWidget;

namespace kadrano {

class ClickableLabel;
struct CollectLeftOut;

// The status line of the name strip: how many files a collection found (and, in its
// tooltip, what it could not look at), or the progress of a long step. A click writes the
// list of files as a text file beside the program and opens it; the text is deleted when
// the program ends.
class FileStatus : public QObject {
    Q_OBJECT
public:
    FileStatus(QWidget* strip, ToolHost& host, QString listPath);

    ClickableLabel* label() const { return label_; }
    void setText(const QString& text);
    QString text() const;
    // After a collection: the count of the host's files, or in red that none were found.
    void showCollected(const CollectLeftOut& leftOut, bool cancelled);
    // The window turned English.
    void switchToEnglish();
    void deleteListText();

private:
    void onClicked();

    ToolHost& host_;
    QString listPath_;
    ClickableLabel* label_ = nullptr;
    QString ownTip_;
};

// The person as the window talks to them: the message boxes and outside programs of
// whoever answers (the real boxes, or a test's recorder), the window's status line and its
// event loop.
class StatusLinePerson : public Person {
public:
    explicit StatusLinePerson(Person& dialogs) : dialogs_(dialogs) {}
    void setStatusLine(FileStatus* status) { status_ = status; }

    int messageBox(const QString& text, int flags, const QString& title) override {
        return dialogs_.messageBox(text, flags, title);
    }
    void openInEditor(const QString& path) override { dialogs_.openInEditor(path); }
    void openDocument(const QString& path) override { dialogs_.openDocument(path); }
    void openFolder(const QString& path) override { dialogs_.openFolder(path); }
    void setStatus(const QString& text) override;
    QString statusText() const override;
    void processEvents() override;

private:
    Person& dialogs_;
    FileStatus* status_ = nullptr;
};

}  // namespace kadrano
