#include "magickrun.h"

#include "core/mtimekeeper.h"
#include "core/pathhelpers.h"
#include "core/toolsequence.h"

namespace kadrano {

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
    tools.DeleteScriptAfterRun(scriptPath, result);
    return true;
}

}  // namespace kadrano
