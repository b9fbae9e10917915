#pragma once

#include <QString>
#include <QUrl>

#include "download.h"

namespace kadrano {

class Person;

// The maker's server: the updater, the newest program and the web page lie there. The one
// place that names it.
inline constexpr char kUpdateServer[] = "https://kadrano.example";

// The addresses on one server. The real server is reached over HTTPS only; tests use a
// server of their own on the loopback address.
class UpdateServer {
public:
    UpdateServer();  // the maker's server
    static UpdateServer forLoopbackTests(const QUrl& base);

    QString updaterAddress() const;     // the updater for this platform
    QString newProgramAddress() const;  // the newest program for this platform
    QUrl webPage() const;
    // The web page as the question names it: host and path.
    QString webPageText() const;
    const Downloader& downloader() const { return downloader_; }
    Downloader& downloader() { return downloader_; }

private:
    QString base_;  // without a trailing "/"
    Downloader downloader_;
};

// The program's own files that the update works with.
struct UpdatePaths {
    QString programPath;  // the running program
    QString updaterPath;  // the updater beside it
    QString scriptPath;   // the one-line script that starts the updater

    // From the program's folder (ending in a separator) and its name without extension.
    static UpdatePaths forProgram(const QString& programDir, const QString& programName);
};

// The updater's name beside the program: "Update.exe" on Windows, "Update" elsewhere.
QString updaterFileName();

// The line that starts the updater: the updater, " [URL]" and the new program's address,
// " [PARAM1] " and the program's command line when it had one, " [PATH]" and the running
// program. Paths are quoted when they hold a blank; a name that could break out of the
// line (& | < > ^ %) is quoted and escaped as every script argument is, and a command line
// that cannot stand in a script at all is left out.
QString updaterCommandLine(const QString& updaterPath, const QString& newProgramAddress,
                           const QString& commandLine, const QString& programPath);

// What the update reaches outside: the start of the script, and the end of the program.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    // Starts the script minimised, without taking the focus, and without waiting.
    virtual bool startScriptMinimised(const QString& scriptPath) = 0;
    // Ends the program at once, without saving the settings.
    virtual void endProgram() = 0;
    // Shows the page in the desktop's browser.
    virtual bool openWebPage(const QUrl& page) = 0;
};

// The real one: the script interpreter (the command interpreter on Windows, kadrano-bat
// beside the program elsewhere), the end of the application, the desktop's browser.
class DesktopUpdateHost : public UpdateHost {
public:
    explicit DesktopUpdateHost(QString interpreter = QString());
    bool startScriptMinimised(const QString& scriptPath) override;
    void endProgram() override;
    bool openWebPage(const QUrl& page) override;

private:
    QString interpreter_;
};

// Makes sure the updater lies beside the program (fetching it when it is missing), writes
// the update script and starts it, and ends the program. False, after saying why, when
// the updater could not be had or started.
bool StartUpdate(const UpdateServer& server, const UpdatePaths& paths, const QString& commandLine,
                 Person& person, UpdateHost& host);

// The "Update" link: the question, then the update. True when the updater was started.
bool updateLinkClicked(const UpdateServer& server, const UpdatePaths& paths,
                       const QString& commandLine, Person& person, UpdateHost& host);

// The "Homepage" link: the question, then the page in the browser. True when it opened.
bool homepageLinkClicked(const UpdateServer& server, Person& person, UpdateHost& host);

}  // namespace kadrano
