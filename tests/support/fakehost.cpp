#include "fakehost.h"

#include <QProcess>

#include "core/pathhelpers.h"
#include "core/undojournal.h"

#ifndef KADRANO_BAT_PATH
#define KADRANO_BAT_PATH ""
#endif

namespace kadrano::test {

int RecordingPerson::messageBox(const QString& text, int flags, const QString& title) {
    boxes.push_back({text, flags, title});
    if (onBox)
        onBox();
    if (replies.empty())
        return Mb::ResultOK;
    const int r = replies.front();
    replies.pop_front();
    return r;
}

QString batInterpreterPath() {
    return QStringLiteral(KADRANO_BAT_PATH);
}

int BatchRunner::runAndWait(const QString& program, const QStringList& arguments) {
    calls.push_back({program, arguments});
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    // As the window's runner does: kadrano-bat notes the renames in the journal it is given.
    p.setProcessEnvironment(undoJournalEnvironment(undoJournal()));
    p.start(batInterpreterPath(), QStringList{program} + arguments);
    if (!p.waitForStarted())
        return kRunNotStarted;
    p.closeWriteChannel();  // "pause" meets the end of input and goes on
    p.waitForFinished(-1);
    lastOutput = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : kRunStopped;
}

FakeHost::FakeHost(ScriptRunner* runner, Person* person)
    : runner_(runner ? runner : &ownRunner_), person_(person ? person : &recorder) {}

void FakeHost::collectFiles() {
    ++collections;
    dirText = AddSeparator(dirText);
    if (keepFiles)
        return;
    const QString root = collectRoot.isEmpty() ? dirText : AddSeparator(collectRoot);
    files = collectPictureFiles(root, pattern, withSubdirs, lang, *this, ownFiles).files;
}

}  // namespace kadrano::test
