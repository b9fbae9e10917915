#include <windows.h>

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>

#include "consolewindow.h"

namespace kadrano {

// Windows stops a process tree through its console; nothing to prepare.
void startOwnProcessGroup(QProcess&) {}
void signalProcessGroup(const QProcess&, bool) {}

// Windows has the real command interpreter: the script runs in a console of its own, and we
// wait for it while our windows keep repainting.
int ConsoleScriptRunner::runAndWait(const QString& program, const QStringList& arguments) {
    lastOutput_.clear();
    lastCancelled_ = false;
    QProcess p;
    const QString native = QDir::toNativeSeparators(program);
    if (isScript(program)) {
        p.setProgram(QStringLiteral("cmd.exe"));
        p.setNativeArguments(QStringLiteral("/c \"\"%1\" %2\"").arg(native, arguments.join(u' ')));
    } else {
        p.setProgram(program);
        p.setArguments(arguments);
    }
    p.setWorkingDirectory(QFileInfo(program).absolutePath());
    p.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* a) {
        a->flags |= CREATE_NEW_CONSOLE;
        a->startupInfo->dwFlags &= ~STARTF_USESTDHANDLES;
    });
    p.start();
    if (!p.waitForStarted(-1)) {
        showError(
            QStringLiteral("%1 konnte nicht gestartet werden:\n%2").arg(native, p.errorString()),
            QStringLiteral("%1 could not be started:\n%2").arg(native, p.errorString()));
        return -1;
    }
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    if (p.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : kRunStopped;
}

}  // namespace kadrano
