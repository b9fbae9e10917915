#include "update.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolhost.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace kadrano {

namespace {

#ifdef Q_OS_WIN
constexpr char kUpdaterName[] = "Update.exe";
constexpr char kNewProgramPath[] = "/Kadrano/Kadrano.exe";
#else
constexpr char kUpdaterName[] = "Update";
constexpr char kNewProgramPath[] = "/Kadrano/kadrano";
#endif

// A command line in the update script stays as it was typed unless it could break out of
// its place there: then it is quoted and escaped like every other script argument.
QString commandLineInScript(const QString& commandLine) {
    for (QChar c : commandLine)
        if (c == u'&' || c == u'|' || c == u'<' || c == u'>' || c == u'^' || c == u'%')
            return scriptArg(commandLine);
    return commandLine;
}

}  // namespace

UpdateServer::UpdateServer() : base_(QString::fromLatin1(kUpdateServer)) {}

UpdateServer UpdateServer::forLoopbackTests(const QUrl& base) {
    UpdateServer server;
    server.base_ = base.toString(QUrl::StripTrailingSlash);
    server.downloader_ = Downloader::forLoopbackTests();
    return server;
}

QString UpdateServer::updaterAddress() const {
    return base_ + u'/' + QString::fromLatin1(kUpdaterName);
}

QString UpdateServer::newProgramAddress() const {
    return base_ + QString::fromLatin1(kNewProgramPath);
}

QUrl UpdateServer::webPage() const {
    return QUrl(base_ + QStringLiteral("/Kadrano/"));
}

QString UpdateServer::webPageText() const {
    return webPage().host() + QStringLiteral("/Kadrano");
}

QString updaterFileName() {
    return QString::fromLatin1(kUpdaterName);
}

UpdatePaths UpdatePaths::forProgram(const QString& programDir, const QString& programName) {
    const QString dir = AddSeparator(programDir);
    UpdatePaths p;
#ifdef Q_OS_WIN
    p.programPath = dir + programName + QStringLiteral(".exe");
#else
    p.programPath = dir + programName;
#endif
    p.updaterPath = dir + updaterFileName();
    p.scriptPath = dir + programName + QStringLiteral("_Update.bat");
    return p;
}

QString updaterCommandLine(const QString& updaterPath, const QString& newProgramAddress,
                           const QString& commandLine, const QString& programPath) {
    QString line = scriptArg(updaterPath) + QStringLiteral(" [URL]") + newProgramAddress;
    if (!commandLine.trimmed().isEmpty() && canStandInScript(commandLine))
        line += QStringLiteral(" [PARAM1] ") + commandLineInScript(commandLine);
    line += QStringLiteral(" [PATH]") + scriptArg(programPath);
    return line;
}

DesktopUpdateHost::DesktopUpdateHost(QString interpreter) : interpreter_(std::move(interpreter)) {
    if (interpreter_.isEmpty())
        interpreter_ = QCoreApplication::applicationDirPath() + QStringLiteral("/kadrano-bat");
}

bool DesktopUpdateHost::startScriptMinimised(const QString& scriptPath) {
    QProcess p;
    p.setWorkingDirectory(QFileInfo(scriptPath).absolutePath());
#ifdef Q_OS_WIN
    p.setProgram(QStringLiteral("cmd.exe"));
    p.setNativeArguments(QStringLiteral("/c \"\"%1\"\"").arg(QDir::toNativeSeparators(scriptPath)));
    p.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* a) {
        a->flags |= CREATE_NEW_CONSOLE;
        a->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        a->startupInfo->wShowWindow = SW_SHOWMINNOACTIVE;
    });
#else
    // Our interpreter runs the script without a window of its own.
    if (!QFileInfo(interpreter_).isExecutable())
        return false;
    p.setProgram(interpreter_);
    p.setArguments({scriptPath});
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
#endif
    return p.startDetached();
}

void DesktopUpdateHost::endProgram() {
    QCoreApplication::exit(0);
}

bool DesktopUpdateHost::openWebPage(const QUrl& page) {
    return QDesktopServices::openUrl(page);
}

bool StartUpdate(const UpdateServer& server, const UpdatePaths& paths, const QString& commandLine,
                 Person& person, UpdateHost& host) {
    // An updater fetched once stays and is used again.
    if (!QFileInfo(paths.updaterPath).isFile()) {
        person.processEvents();
        server.downloader().URLDownload(server.updaterAddress(), paths.updaterPath,
                                        DownloadMode::Overwrite,
                                        QFileDevice::ExeOwner | QFileDevice::ExeUser |
                                            QFileDevice::ExeGroup | QFileDevice::ExeOther);
        if (!QFileInfo(paths.updaterPath).isFile()) {
            person.messageBox(paths.updaterPath + QStringLiteral("\r\rDownload Failed! "),
                              Mb::OK | Mb::IconError, QStringLiteral("Download Failed!"));
            return false;
        }
    }
    if (!QFileInfo(paths.updaterPath).isFile()) {
        person.messageBox(
            u'"' + paths.updaterPath + QStringLiteral("\" not found!\rUpdate aborted!"),
            Mb::OK | Mb::IconError, QStringLiteral("File not found!"));
        return false;
    }

    const QString line = updaterCommandLine(paths.updaterPath, server.newProgramAddress(),
                                            commandLine, paths.programPath);
    if (!writeScriptFile(paths.scriptPath, {line})) {
        person.messageBox(QStringLiteral("Das Update-Skript konnte nicht geschrieben werden:\r") +
                              paths.scriptPath,
                          Mb::OK | Mb::IconError, QStringLiteral("Update"));
        return false;
    }
    if (!host.startScriptMinimised(paths.scriptPath)) {
        person.messageBox(
            QStringLiteral("Das Update konnte nicht gestartet werden:\r") + paths.scriptPath,
            Mb::OK | Mb::IconError, QStringLiteral("Update"));
        return false;
    }
    host.endProgram();
    return true;
}

bool updateLinkClicked(const UpdateServer& server, const UpdatePaths& paths,
                       const QString& commandLine, Person& person, UpdateHost& host) {
    const int answer = person.messageBox(
        QStringLiteral("Aktuelle Version abfragen und aktuallisieren?\r\rUnter Windows 10 "
                       "erscheint ggf. eine Bestätigungsmeldung in der Taskleiste, die "
                       "bestätigt werden muss."),
        Mb::YesNo | Mb::IconInformation,
        QStringLiteral("Überprüfung auf neue Version und Update?"));
    if (answer != Mb::ResultYes)
        return false;
    return StartUpdate(server, paths, commandLine, person, host);
}

bool homepageLinkClicked(const UpdateServer& server, Person& person, UpdateHost& host) {
    const int answer =
        person.messageBox(QStringLiteral("Webseite öffen?\r\r") + server.webPageText(),
                          Mb::YesNo | Mb::IconInformation, QStringLiteral("Webseite öffnen?"));
    if (answer != Mb::ResultYes)
        return false;
    return host.openWebPage(server.webPage());
}

}  // namespace kadrano
