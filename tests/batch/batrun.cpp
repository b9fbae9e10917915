#include "batrun.h"

#include <QProcess>

#include "core/scripttext.h"
#include "support/fakehost.h"

namespace kadrano::test {

BatResult runBat(const QString& scriptPath, const QStringList& arguments, const QByteArray& input) {
    return runBatWith({}, scriptPath, arguments, input);
}

BatResult runBatWith(const QStringList& options, const QString& scriptPath,
                     const QStringList& arguments, const QByteArray& input) {
    BatResult r;
    QProcess p;
    p.start(batInterpreterPath(), options + QStringList{scriptPath} + arguments);
    if (!p.waitForStarted())
        return r;
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(-1);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

BatResult runLines(TempFolder& folder, const QStringList& lines, const QStringList& arguments,
                   const QByteArray& input) {
    const QString script = folder.file(QStringLiteral("t.bat"));
    if (!writeScriptFile(script, lines))
        return BatResult{};
    return runBat(script, arguments, input);
}

}  // namespace kadrano::test
