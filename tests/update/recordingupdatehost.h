#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include "update/update.h"

namespace kadrano::test {

// Records what the program would start and open, and whether it would end itself.
class RecordingUpdateHost : public UpdateHost {
public:
    QStringList startedScripts;
    QList<QUrl> openedPages;
    int ends = 0;
    bool startWorks = true;

    bool startScriptMinimised(const QString& script) override {
        startedScripts.append(script);
        return startWorks;
    }
    void endProgram() override { ++ends; }
    bool openWebPage(const QUrl& page) override {
        openedPages.append(page);
        return true;
    }
};

}  // namespace kadrano::test
