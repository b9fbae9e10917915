#pragma once

#include <QString>
#include <QStringList>

#include "filelist.h"
#include "language.h"

namespace kadrano {

// Message box codes as the tools use them: buttons plus icon, and the button pressed.
namespace Mb {
enum Flags : int {
    OK = 0,
    OKCancel = 1,
    YesNo = 4,
    IconError = 16,
    IconQuestion = 32,
    IconWarning = 48,
    IconInformation = 64,
    YesNoQuestion = YesNo | IconQuestion,  // 36
};
enum Result : int { ResultOK = 1, ResultCancel = 2, ResultYes = 6, ResultNo = 7 };
}  // namespace Mb

// Everything that talks to the person at the screen. The window shows real message boxes;
// tests answer from a list of replies and record what was asked.
class Person {
public:
    virtual ~Person() = default;
    // A line break inside text or title is a single "\r".
    virtual int messageBox(const QString& text, int flags, const QString& title) = 0;
    // Shows a text file in the editor, without waiting.
    virtual void openInEditor(const QString& path) = 0;
    // Opens a file with the program the desktop associates with it, without waiting.
    virtual void openDocument(const QString& path) = 0;
    // Shows a folder in the file manager.
    virtual void openFolder(const QString& path) = 0;
    virtual void setStatus(const QString& text) = 0;
    // The status text shown now, so that a step can give it back when it is done.
    virtual QString statusText() const { return QString(); }
    // Lets pending window events run (repaint, ESC, a Stop click).
    virtual void processEvents() = 0;
};

// What runAndWait returns besides a program's own exit code (which is never negative).
inline constexpr int kRunNotStarted = -1;  // nothing ran; the runner has said why
inline constexpr int kRunStopped = -2;     // stopped before its end (window closed, crashed)

// Runs a generated script (or a program) and returns when it has ended.
class ScriptRunner {
public:
    virtual ~ScriptRunner() = default;
    // Returns the exit code (our interpreter: the number of lines that failed, at most
    // 255), kRunNotStarted or kRunStopped.
    virtual int runAndWait(const QString& program, const QStringList& arguments) = 0;

    // The undo journal the interpreter notes the next runs' renames in (kUndoJournalVariable
    // for kadrano-bat); empty: none. Set around each run by the shared sequence.
    void setUndoJournal(const QString& path) { undoJournal_ = path; }
    const QString& undoJournal() const { return undoJournal_; }

private:
    QString undoJournal_;
};

// A script a tool leaves in the folder to be run again later from a button of its own. The
// tool that writes it names both; the window shows the button while the script is there.
struct KeptScript {
    const char* scriptName;
    const char* button;  // objectName of its button
};

// The main window as a tool sees it.
class ToolHost {
public:
    virtual ~ToolHost() = default;
    virtual Person& person() = 0;
    virtual ScriptRunner& scriptRunner() = 0;

    virtual Language language() const = 0;
    virtual bool loading() const = 0;
    virtual bool noQuestions() const = 0;  // "Nachfragen abschalten"
    virtual bool pauseAtEnd() const = 0;   // "Pause am Ende der bat-Dateien einfügen"

    virtual void saveSettings() = 0;
    virtual void collectFiles() = 0;
    virtual const FileList& fileList() const = 0;

    virtual QString directoryText() const = 0;
    virtual void setDirectoryText(const QString& text) = 0;
    virtual QString patternText() const = 0;

    virtual QString caption() const = 0;
    virtual void setCaption(const QString& text) = 0;
    virtual void setKeptScriptButtonVisible(const KeptScript& script, bool visible) = 0;
    virtual void showUpdateLink() = 0;

    virtual QString startTime() const = 0;
    virtual void setStartTime(const QString& hhmm) = 0;
    virtual QString currentTimeHHMM() const = 0;

    // Set by ESC; read and cleared by the in-program loops.
    virtual bool toolCancel() const = 0;
    virtual void setToolCancel(bool on) = 0;

    // The folder of the undo journals (see undojournal.h); empty: runs are not noted.
    virtual QString undoJournalFolder() const { return QString(); }
};

}  // namespace kadrano
