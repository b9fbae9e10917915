#include <signal.h>
#include <unistd.h>

#include <QFileInfo>

#include "consolewindow.h"
#include "core/pathhelpers.h"
#include "core/undojournal.h"

namespace kadrano {

void StartOwnProcessGroup(QProcess& process) {
    // A group of its own, so that stopping reaches the programs a script started as well.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

void SignalProcessGroup(const QProcess& process, bool kill) {
    const qint64 pid = process.processId();
    if (pid > 0)
        ::kill(-pid_t(pid), kill ? SIGKILL : SIGTERM);
}

// Scripts run in our interpreter, in the console window that shows their output.
int ConsoleScriptRunner::runAndWait(const QString& program, const QStringList& arguments) {
    lastOutput_.clear();
    lastCancelled_ = false;
    const bool script = IsScript(program);
    if (script && !QFileInfo(interpreter_).isExecutable()) {
        showError(QStringLiteral("Der Skript-Interpreter wurde nicht gefunden:\n%1\n\n"
                                 "Das Skript %2 wurde nicht ausgeführt.")
                      .arg(interpreter_, program),
                  QStringLiteral("The script interpreter was not found:\n%1\n\n"
                                 "The script %2 was not run.")
                      .arg(interpreter_, program));
        return -1;
    }
    ConsoleWindow window(parent_);
    window.setWindowTitle(FileNamePart(program));
    // kadrano-bat notes what the script renames in the folder's undo journal.
    if (script)
        window.setProcessEnvironment(UndoJournalEnvironment(undoJournal()));
    const int code = script ? window.run(interpreter_, QStringList{program} + arguments)
                            : window.run(program, arguments);
    lastOutput_ = window.output();
    lastCancelled_ = window.cancelled();
    if (lastCancelled_)
        return kRunStopped;
    if (code == kRunNotStarted) {
        showError(QStringLiteral("%1 konnte nicht gestartet werden:\n%2")
                      .arg(program, window.startError()),
                  QStringLiteral("%1 could not be started:\n%2").arg(program, window.startError()));
    }
    return code;
}

}  // namespace kadrano
