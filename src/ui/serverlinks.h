#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "apppaths.h"

class QWidget;

namespace kadrano {

class ClickableLabel;
class ToolHost;
class UpdateHost;
class UpdateServer;

// The links of the top strip to the maker's server: "Homepage" opens the program's web
// page, "Update" (shown once a collection ran) fetches the updater and hands over to it.
class ServerLinks : public QObject {
    Q_OBJECT
public:
    // The maker's server and the desktop when server or desktop are null.
    ServerLinks(QWidget* window, ToolHost& host, AppPaths paths, const UpdateServer* server,
                UpdateHost* desktop);
    ~ServerLinks() override;

    void build(QWidget* strip);
    // Places both links right-aligned to right; returns where the room to their left ends.
    int layOut(int right, int y, int rowHeight);
    void showUpdateLink();
    // The command line the program was started with; the updater hands it on.
    void setCommandLine(const QString& commandLine) { commandLine_ = commandLine; }
    // The desktop also ends the program (after the update, and for the language switch).
    UpdateHost& desktop() const { return *desktop_; }

private:
    void onUpdateLink();

    ToolHost& host_;
    AppPaths paths_;
    QString commandLine_;
    std::unique_ptr<UpdateServer> ownServer_;
    std::unique_ptr<UpdateHost> ownDesktop_;
    const UpdateServer* server_ = nullptr;
    UpdateHost* desktop_ = nullptr;
    ClickableLabel* homepageLink_ = nullptr;  // "Label42"
    ClickableLabel* updateLink_ = nullptr;    // "Label13"
};

}  // namespace kadrano
