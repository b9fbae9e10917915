#include "customrename.h"

#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"
#include "renamecheck.h"

namespace kadrano {

QString lastDirectoryName(const QString& directory) {
    QString d = directory;
    const QChar sep = pathSeparatorOf(d);
    while (d.size() > 1 && d.endsWith(sep))
        d.chop(1);
    return d.mid(d.lastIndexOf(sep) + 1);
}

QString MakeCustomName(const QString& fileName, const QString& directory,
                       const CustomRenameOptions& o) {
    QString n = fileName;
    if (!o.left.isEmpty())
        n = o.left + n;
    // In front of the real extension, whatever its length: a text put into ".jpeg" would
    // leave a picture no frame shows.
    if (!o.right.isEmpty())
        n.insert(extensionStart(n), o.right);
    if (!o.replaceFrom.isEmpty())
        n.replace(o.replaceFrom, o.replaceWith);
    if (o.directoryRight)
        n.insert(extensionStart(n), lastDirectoryName(directory));
    else if (o.directoryLeft)
        n = lastDirectoryName(directory) + n;
    return n;
}

QString removeUnwantedChars(const QString& name) {
    QString n = name;
    n.replace(QLatin1String(" .jpg"), QLatin1String(".jpg"));
    for (const char* c : {"+", "&&", ",", ";", "$", "´", "'", "`"})
        n.replace(QString::fromUtf8(c), QStringLiteral(" "));
    n.replace(QLatin1String(" .jpg"), QLatin1String(".jpg"));
    n.replace(QLatin1String("..jpg"), QLatin1String(".jpg"));
    qsizetype first = 0, last = n.size();
    while (first < last && n.at(first) == u' ')
        ++first;
    while (last > first && n.at(last - 1) == u' ')
        --last;
    return n.mid(first, last - first);
}

CustomRenamePlan planCustomRename(const FileList& files, const CustomRenameOptions& options) {
    CustomRenamePlan plan;
    RenameScript script(files);
    const int count = files.count();
    for (int i = 0; i < count; ++i) {
        QString newName = MakeCustomName(files.FileNames.at(i), files.FileDirs.at(i), options);
        if (options.removeUnwantedChars)
            newName = removeUnwantedChars(newName);
        if (newName == files.FileNames.at(i))
            continue;
        script.rename(i, newName);
    }
    plan.lines = script.finish(options.pauseAtEnd);
    plan.renames = script.renames;
    plan.skipped = script.skipped;
    plan.unsafe = script.unsafe;
    return plan;
}

QString skippedRenamesNote(int skipped, Language language) {
    if (skipped <= 0)
        return QString();
    return pick(language,
                QString::number(skipped) +
                    QStringLiteral(" Umbenennung(en) werden übersprungen: der neue Name ist schon "
                                   "vergeben oder kein gültiger Dateiname."),
                QString::number(skipped) +
                    QStringLiteral(" rename(s) will be skipped: the new name is taken or no "
                                   "valid file name."));
}

void runCustomRename(ToolHost& host, const CustomRenameOptions& options) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    if (!tools.collectFilesOrSayNone())
        return;

    host.person().setStatus(pick(host.language(), QStringLiteral("Erstelle Bat-Datei.."),
                                 QStringLiteral("Creating Bat-File..")));
    host.person().processEvents();
    const QString script = host.directoryText() + QString::fromLatin1(kCustomRenameScript);
    CustomRenameOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const CustomRenamePlan plan = planCustomRename(host.fileList(), o);
    if (!tools.writeScript(script, plan.lines))
        return;
    tools.reportUnsafeNames(plan.unsafe);

    const QString note = skippedRenamesNote(plan.skipped, host.language());
    if (plan.renames == 0) {
        QString text = QStringLiteral("Keine Dateien zum Umbenennen gefunden");
        if (!note.isEmpty())
            text += QStringLiteral("\r\r") + note;
        tools.inform(text, Mb::OKCancel, QStringLiteral("Keine Datei umbenannt"));
        return;
    }
    Question question = renameQuestion(script);
    if (plan.skipped > 0) {
        question.textDe +=
            QStringLiteral("\r\r") + skippedRenamesNote(plan.skipped, Language::German);
        question.textEn +=
            QStringLiteral("\r\r") + skippedRenamesNote(plan.skipped, Language::English);
    }
    tools.RunScript(script, question, kCustomRenameKept);
}

}  // namespace kadrano
