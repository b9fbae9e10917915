#include "magickrun.h"

#include "core/mtimekeeper.h"
#include "core/pathhelpers.h"
#include "core/toolsequence.h"

namespace kadrano {

namespace {

// A few names of a long list: the first and the last ones, as the script ran them.
QString someNames(const QStringList& paths) {
    constexpr qsizetype kShown = 6;
    QStringList names;
    for (const QString& p : paths)
        names.append(FileNamePart(p));
    if (names.size() > kShown)
        names = names.mid(0, kShown / 2) + QStringList{QStringLiteral("…")} +
                names.mid(names.size() - kShown / 2);
    return names.join(QStringLiteral(", "));
}

}  // namespace

MagickRunDetail DescribeMagickRun(const MtimeKeeper& keeper, int runResult) {
    if (runResult == 0 || runResult == kRunNotStarted)
        return {};
    const QStringList written = keeper.writtenSources();
    const QStringList left = keeper.unchangedSources();
    const QString all = QString::number(written.size() + left.size());
    MagickRunDetail d;
    if (runResult == kRunStopped) {
        d.de = QStringLiteral("Fertig: %1 von %2 Bild(ern)").arg(written.size()).arg(all);
        d.en = QStringLiteral("Done: %1 of %2 picture(s)").arg(written.size()).arg(all);
        if (!written.isEmpty()) {
            d.de += QStringLiteral(": ") + someNames(written);
            d.en += QStringLiteral(": ") + someNames(written);
        }
        if (!left.isEmpty()) {
            d.de +=
                QStringLiteral("\rUnverändert: %1 Bild(er): ").arg(left.size()) + someNames(left);
            d.en +=
                QStringLiteral("\rUnchanged: %1 picture(s): ").arg(left.size()) + someNames(left);
        }
        return d;
    }
    if (left.isEmpty())
        return {};
    d.de = QStringLiteral("Nicht bearbeitet, unverändert: %1 von %2 Bild(ern): ")
               .arg(left.size())
               .arg(all) +
           someNames(left);
    d.en = QStringLiteral("Not processed, unchanged: %1 of %2 picture(s): ")
               .arg(left.size())
               .arg(all) +
           someNames(left);
    return d;
}

bool RunMagickScript(ToolHost& host, const QString& scriptPath, const QString& question,
                     const std::vector<MagickRewrite>& rewrites) {
    ScriptTools tools(host);
    if (!host.noQuestions() &&
        tools.Inform(question, Mb::YesNoQuestion, QString()) == Mb::ResultNo) {
        tools.OpenInEditor(scriptPath);
        return false;
    }
    // Taken right before the run, so a file touched while the question was open keeps
    // that touch.
    MtimeKeeper keeper;
    for (const MagickRewrite& r : rewrites)
        keeper.keep(r.input, r.output);
    const QString start = tools.GetStartTime();
    const int result = tools.RunAndWait((QuoteIfSpaces(scriptPath) + u' ' + start).trimmed());
    keeper.restore();
    host.person().processEvents();
    const MagickRunDetail detail = DescribeMagickRun(keeper, result);
    tools.DeleteScriptAfterRun(scriptPath, result, detail.de, detail.en);
    return true;
}

}  // namespace kadrano
