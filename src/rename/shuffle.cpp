#include "shuffle.h"

#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"

namespace kadrano {

namespace {

// One "ren" line, or false when a name cannot stand in a script.
bool addRename(RenamePlan& plan, ScriptBuilder& script, int index, int count,
               const QString& fullPath, const QString& newName) {
    if (!CanStandInScript(fullPath) || !CanStandInScript(newName)) {
        ++plan.unsafe;
        return false;
    }
    script.addProgress(index, count);
    script.add(QStringLiteral("ren ") + ScriptArg(fullPath) + u' ' + ScriptArg(newName));
    ++plan.renames;
    return true;
}

QString scriptPathIn(const ToolHost& host, const char* name) {
    return host.directoryText() + QString::fromLatin1(name);
}

}  // namespace

RenamePlan PlanShuffle(const FileList& files, const ShuffleOptions& options, RandomSource& random) {
    RenamePlan plan;
    ScriptBuilder script;
    const int count = files.count();
    for (int i = 0; i < count; ++i) {
        const QString number = QString::number(random.RandomInt(1, 9999)).rightJustified(4, u'0');
        addRename(plan, script, i, count, files.fullPath(i),
                  number + options.separator + files.FileNames.at(i));
    }
    script.finish(options.pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

RestorePlan PlanRestore(const FileList& files, const ShuffleOptions& options,
                        const std::function<void(int)>& beforeFile) {
    const QString& separator = options.separator;
    RestorePlan plan;
    ScriptBuilder script;
    const int count = files.count();
    for (int i = 0; i < count; ++i) {
        if (files.FileNames.at(i).mid(4, 1) != separator) {
            plan.wellFormed = false;
            break;
        }
    }
    const qsizetype prefix = 4 + separator.size();
    for (int i = 0; i < count; ++i) {
        if (beforeFile)
            beforeFile(i);
        const QString& name = files.FileNames.at(i);
        if (name.mid(4, separator.size()) != separator)
            continue;
        const QString restored = name.mid(prefix);
        if (restored.isEmpty())
            continue;  // nothing would be left of the name
        addRename(plan, script, i, count, files.fullPath(i), restored);
    }
    script.finish(options.pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

void RunShuffle(ToolHost& host, const ShuffleOptions& options, RandomSource& random) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    if (!tools.CollectFilesOrSayNone(
            QStringLiteral("No Files found in:\r") + host.directoryText() + host.patternText(),
            QStringLiteral("No files found!")))
        return;

    host.person().setStatus(Pick(host.language(), QStringLiteral("Erstelle Bat-Datei.."),
                                 QStringLiteral("Creating Bat-File..")));
    host.person().processEvents();
    const QString script = scriptPathIn(host, kShuffleScript);
    ShuffleOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const RenamePlan plan = PlanShuffle(host.fileList(), o, random);
    if (!tools.WriteScript(script, plan.lines))
        return;
    tools.ReportUnsafeNames(plan.unsafe);
    tools.RunScript(script, RenameQuestion(script), kShuffleKept);
}

void RunRestore(ToolHost& host, const ShuffleOptions& options) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    const QString savedCaption = host.caption();
    tools.NormaliseDirectoryText();
    if (!tools.CollectFilesOrSayNone())
        return;

    const int count = host.fileList().count();
    const QString script = scriptPathIn(host, kRestoreScript);
    ShuffleOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const RestorePlan plan = PlanRestore(host.fileList(), o, [&host, count](int i) {
        host.setCaption(QStringLiteral("Running : %1 / %2").arg(count).arg(i));
        host.person().processEvents();
    });
    const bool written = tools.WriteScript(script, plan.lines);
    host.setCaption(savedCaption);
    host.person().processEvents();
    if (!written)
        return;
    tools.ReportUnsafeNames(plan.unsafe);

    bool run = true;
    if (!host.noQuestions()) {
        int answer;
        if (!plan.wellFormed) {
            answer = tools.Inform(
                QStringLiteral("Das Dateiformat stimmt nicht (mindestens eine Datei)\r\r"
                               "Die Namen follten folgendes Format haben: 1234#Filename.jpg"
                               "0434#Filename.jpg \r\r"
                               "Dateien trotzdem umbennennen? (nicht passende werden "
                               "übersprungen)?"),
                Mb::YesNo | Mb::IconError, QStringLiteral("Falsches Dateinamen-Format gefunden!"));
        } else {
            answer = tools.Inform(RenameQuestion(script).textDe, Mb::YesNoQuestion, QString());
        }
        run = answer != Mb::ResultNo;
    }
    if (!run) {
        tools.OpenInEditor(script);
        host.setKeptScriptButtonVisible(kRestoreKept, true);
        return;
    }
    tools.RunWaitAndDelete(script, kRestoreKept);
    // The names on disk have changed; a stale list would send later tools after names
    // that no longer exist.
    if (!host.loading())
        host.collectFiles();
}

}  // namespace kadrano
