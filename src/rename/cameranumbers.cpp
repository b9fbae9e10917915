#include "cameranumbers.h"

#include "core/scripttext.h"
#include "core/toolsequence.h"
#include "customrename.h"
#include "nameroutines.h"
#include "renamecheck.h"

namespace kadrano {

QDate dateOfNumberBlock(const QString& digits) {
    if (digits.size() != 8)
        return QDate();
    for (QChar c : digits)
        if (c < u'0' || c > u'9')
            return QDate();
    const int year = digits.left(4).toInt();
    if (year < 1900 || year > 2099)
        return QDate();
    return QDate(year, digits.mid(4, 2).toInt(), digits.mid(6, 2).toInt());
}

int numberWidth(int count) {
    return int(QString::number(count + 1).size());
}

CameraNumberPlan planCameraNumbers(const FileList& files, const CameraNumberOptions& o) {
    CameraNumberPlan plan;
    RenameScript script(files);
    const int count = files.count();
    const int width = numberWidth(count);
    QString numberText;  // lives for the whole run, as the number search expects
    for (int i = 0; i < count; ++i) {
        const QString& oldName = files.FileNames.at(i);
        QString number;
        if (!o.noNumbers) {
            number = QString::number(i + 1).rightJustified(width, u'0');
            number = o.numberOnRight ? u'#' + number : number + u'#';
        }
        QString newName = oldName;
        if (CheckFN(oldName, o.startText, o.digits, numberText)) {
            newName.replace(numberText, o.replacement);
            if (o.dateInFront) {
                const QDate date = dateOfNumberBlock(numberText.right(o.digits));
                if (date.isValid())
                    newName = date.toString(QStringLiteral("yyyy-MM-dd")) + newName;
                else
                    ++plan.withoutDate;
            }
        }
        // The running number on the right goes in front of the extension: a name ending
        // in "#1" instead of ".jpg" is no picture to a frame.
        if (o.numberOnRight)
            newName.insert(extensionStart(newName), number);
        else
            newName = number + newName;

        if (newName == oldName) {
            // Windows refuses to rename a file onto its own name; such a line would only
            // report an error.
            ++plan.unchanged;
            continue;
        }
        script.rename(i, newName);
    }
    plan.lines = script.finish(o.pauseAtEnd);
    plan.renames = script.renames;
    plan.skipped = script.skipped;
    plan.unsafe = script.unsafe;
    return plan;
}

void runCameraNumbers(ToolHost& host, const CameraNumberOptions& options) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    tools.normaliseDirectoryText();
    if (!tools.collectFilesOrSayNone())
        return;

    const QString script = host.directoryText() + QString::fromLatin1(kCameraNumbersScript);
    CameraNumberOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const CameraNumberPlan plan = planCameraNumbers(host.fileList(), o);
    if (!tools.writeScript(script, plan.lines))
        return;
    tools.reportUnsafeNames(plan.unsafe);

    Question question = renameQuestion(script);
    auto addNote = [&question](const QString& de, const QString& en) {
        question.textDe += QStringLiteral("\r\r") + de;
        question.textEn += QStringLiteral("\r\r") + en;
    };
    if (plan.skipped > 0)
        addNote(skippedRenamesNote(plan.skipped, Language::German),
                skippedRenamesNote(plan.skipped, Language::English));
    if (plan.withoutDate > 0)
        addNote(QString::number(plan.withoutDate) +
                    QStringLiteral(" Datei(en) ohne Datum: der gefundene Nummernblock ist kein "
                                   "Datum (JJJJMMTT)."),
                QString::number(plan.withoutDate) +
                    QStringLiteral(" file(s) without a date: the number block found is no date "
                                   "(YYYYMMDD)."));
    // This tool asks even when questions are switched off: its result is hard to undo.
    if (tools.AskUser(question, Mb::YesNoQuestion) == Mb::ResultNo) {
        tools.openInEditor(script);
        return;
    }
    tools.runWaitAndDelete(script, std::nullopt);
    host.showUpdateLink();
    // The names on disk have changed; a stale list would send later tools after names
    // that no longer exist.
    if (!host.loading())
        host.collectFiles();
}

}  // namespace kadrano
