#include "serverlinks.h"

#include "clickablelabel.h"
#include "controlfactory.h"
#include "core/toolhost.h"
#include "update/update.h"

namespace kadrano {

ServerLinks::ServerLinks(QWidget* window, ToolHost& host, AppPaths paths,
                         const UpdateServer* server, UpdateHost* desktop)
    : QObject(window), host_(host), paths_(std::move(paths)) {
    if (server) {
        server_ = server;
    } else {
        ownServer_ = std::make_unique<UpdateServer>();
        server_ = ownServer_.get();
    }
    if (desktop) {
        desktop_ = desktop;
    } else {
        ownDesktop_ = std::make_unique<DesktopUpdateHost>();
        desktop_ = ownDesktop_.get();
    }
}

ServerLinks::~ServerLinks() = default;

void ServerLinks::build(QWidget* strip) {
    homepageLink_ = linkLabel(strip, "Label42", QStringLiteral("Homepage"));
    updateLink_ = linkLabel(strip, "Label13", QStringLiteral("Update"));
    updateLink_->hide();
    connect(updateLink_, &ClickableLabel::clicked, this, &ServerLinks::onUpdateLink);
    connect(homepageLink_, &ClickableLabel::clicked, this,
            [this] { homepageLinkClicked(*server_, host_.person(), *desktop_); });
}

int ServerLinks::layOut(int right, int y, int rowHeight) {
    for (ClickableLabel* link : {updateLink_, homepageLink_}) {
        const QSize s = link->sizeHint();
        right -= s.width();
        link->setGeometry(right, y + (rowHeight - s.height()) / 2, s.width(), s.height());
        right -= 14;
    }
    return right;
}

void ServerLinks::showUpdateLink() {
    if (updateLink_)
        updateLink_->setVisible(true);
}

void ServerLinks::onUpdateLink() {
    updateLink_->hide();
    updateLinkClicked(*server_, UpdatePaths::forProgram(paths_.programDir, paths_.programName),
                      commandLine_, host_.person(), *desktop_);
    updateLink_->show();
}

}  // namespace kadrano
