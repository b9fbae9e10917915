#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>

#include "core/pathhelpers.h"
#include "core/settingslocation.h"
#include "quitsignals.h"
#include "ui/consolewindow.h"
#include "ui/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kadrano"));
    // The same picture as the desktop entry; the desktop file name lets Wayland docks match the
    // window to its entry.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kadrano/kadrano.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("kadrano"));

    // The whole command line is one picture folder, also when the shell split it at blanks.
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString commandLine = args.join(u' ');

    kadrano::AppPaths paths;
    paths.programDir = kadrano::AddSeparator(QCoreApplication::applicationDirPath());
    paths.programName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    // Beside the program when its folder takes files, else in the configuration folder.
    paths.settingsFile = kadrano::chooseSettingsLocation(
                             paths.programDir, paths.programName + QStringLiteral(".ini"),
                             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                             .path;

    kadrano::ConsoleScriptRunner runner;
    kadrano::Form1 window({paths, nullptr, &runner});
    runner.setParentWidget(&window);
    QObject::connect(&window, &kadrano::Form1::languageChanged, &window,
                     [&runner](kadrano::Language language) { runner.setLanguage(language); });
    kadrano::closeOnTerminationSignals(&window);
    window.startUp(commandLine);
    return app.exec();
}
