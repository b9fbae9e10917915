#include "toolsequence.h"

#include <QFile>
#include <QFileInfo>

#include "ownfiles.h"
#include "pathhelpers.h"
#include "scripttext.h"
#include "undojournal.h"

namespace kadrano {

namespace {

bool isFile(const QString& path) {
    return QFileInfo(path).isFile();
}

// Programs and scripts run directly; anything else is a document.
bool isRunnable(const QString& path) {
    const QString tail = path.right(4).toUpper();
    return tail == QLatin1String(".EXE") || tail == QLatin1String(".COM") ||
           tail == QLatin1String(".BAT");
}

}  // namespace

Question RenameQuestion(const QString& scriptPath) {
    return Question{
        QStringLiteral("Dateien jetzt umbenennen?\r\r'Nein' öffnet die Bat-Datei im Notepad!\r\r"
                       "Es wird diese Datei ausgeführt / Angezeigt:\r\r") +
            scriptPath + QStringLiteral("\r\rNein =  Datei im Notepad öffnen!"),
        QStringLiteral("Dateien jetzt umbenennen?"),
        QStringLiteral("Rename files now?\r\r'NO' opens Bat-Datei in the Notepad!\r\r"
                       "This file will be started / shown:\r\r") +
            scriptPath + QStringLiteral("\r\rNO =  open File in the Notepad"),
        QStringLiteral("Rename Files now?"),
    };
}

QString NoFilesFoundText(const QString& dir, const QString& pattern) {
    return QStringLiteral("Keine Dateien gefunden in:\r") + dir + pattern;
}

SplitCommand SplitCommandLine(const QString& commandLine,
                              const std::function<bool(const QString&)>& fileExists) {
    SplitCommand out;
    const QString t = commandLine.trimmed();
    if (t.isEmpty())
        return out;
    auto splitArgs = [](const QString& rest) { return rest.split(u' ', Qt::SkipEmptyParts); };
    if (fileExists(t)) {
        out.program = t;
        return out;
    }
    if (t.startsWith(u'"')) {
        const qsizetype close = t.indexOf(u'"', 1);
        if (close > 0) {
            out.program = t.mid(1, close - 1);
            out.arguments = splitArgs(t.mid(close + 1));
            return out;
        }
    }
    // A path with blanks followed by arguments: the longest head that names a file.
    for (qsizetype blank = t.lastIndexOf(u' '); blank > 0; blank = t.lastIndexOf(u' ', blank - 1)) {
        const QString head = t.left(blank);
        if (fileExists(head)) {
            out.program = head;
            out.arguments = splitArgs(t.mid(blank + 1));
            return out;
        }
    }
    const qsizetype first = t.indexOf(u' ');
    out.program = first < 0 ? t : t.left(first);
    if (first >= 0)
        out.arguments = splitArgs(t.mid(first + 1));
    return out;
}

int ScriptTools::AskUser(const QString& textDe, int buttons, const QString& titleDe,
                         const QString& textEn, const QString& titleEn) {
    if (host_.language() == Language::English)
        return host_.person().messageBox(textEn, buttons, titleEn);
    return host_.person().messageBox(textDe, buttons, titleDe);
}

int ScriptTools::Inform(const QString& text, int buttons, const QString& title) {
    return host_.person().messageBox(text, buttons, title);
}

QString ScriptTools::GetStartTime() {
    const QString t = host_.currentTimeHHMM();
    host_.setStartTime(t);
    return t;
}

int ScriptTools::RunAndWait(const QString& commandLine) {
    const SplitCommand cmd = SplitCommandLine(Unquote(commandLine), isFile);
    if (cmd.program.isEmpty())
        return kRunNotStarted;
    if (isRunnable(cmd.program)) {
        // What the script really renames is noted while it runs, so that it can be undone
        // even when the person changed the script first.
        ScriptRunner& runner = host_.scriptRunner();
        runner.setUndoJournal(UndoJournalForScript(host_.undoJournalFolder(), cmd.program));
        const int result = runner.runAndWait(cmd.program, cmd.arguments);
        runner.setUndoJournal(QString());
        return result;
    }
    host_.person().openDocument(cmd.program);
    return 0;
}

bool ScriptTools::DeleteScript(const QString& scriptPath) {
    if (!host_.noQuestions()) {
        const QString name = FileNamePart(scriptPath);
        const int answer =
            AskUser(QStringLiteral("Datei: ") + name + QStringLiteral(" jetzt löschen?"),
                    Mb::YesNoQuestion, QStringLiteral("Fertig - Script-Datei löschen?"),
                    QStringLiteral("Delete file: ") + name + QStringLiteral(" now?"),
                    QStringLiteral("Done! - Delete Script-file now?"));
        if (answer == Mb::ResultNo)
            return false;
    }
    QFile::remove(scriptPath);
    host_.person().processEvents();
    return !QFileInfo::exists(scriptPath);
}

bool ScriptTools::DeleteScriptAfterRun(const QString& scriptPath, int runResult,
                                       const QString& detailDe, const QString& detailEn) {
    if (runResult == 0)
        return DeleteScript(scriptPath);
    // Whatever the script left undone can only be finished or checked with the script at
    // hand, so a run that did not go through never costs the person the script.
    if (runResult == kRunNotStarted)
        return false;
    const QString name = FileNamePart(scriptPath);
    QString whatDe, whatEn;
    if (runResult == kRunStopped) {
        whatDe = QStringLiteral(
            "Die Bat-Datei wurde vor ihrem Ende abgebrochen; nicht alle "
            "Zeilen wurden ausgeführt.");
        whatEn = QStringLiteral("The Bat-file was stopped before its end; not every line ran.");
    } else {
        const QString count =
            runResult >= 255 ? QStringLiteral("255+") : QString::number(runResult);
        whatDe = QStringLiteral("Beim Ausführen der Bat-Datei sind Fehler aufgetreten: ") + count +
                 QStringLiteral(" Zeile(n) fehlgeschlagen.");
        whatEn = QStringLiteral("The Bat-file reported errors: ") + count +
                 QStringLiteral(" line(s) failed.");
    }
    if (!detailDe.isEmpty()) {
        whatDe += QStringLiteral("\r\r") + detailDe;
        whatEn += QStringLiteral("\r\r") + detailEn;
    }
    const QString titleDe = QStringLiteral("Bat-Datei nicht fehlerfrei ausgeführt");
    const QString titleEn = QStringLiteral("Bat-file did not run cleanly");
    if (host_.noQuestions()) {
        AskUser(whatDe + QStringLiteral("\r\rDie Datei bleibt erhalten: ") + name,
                Mb::OK | Mb::IconWarning, titleDe,
                whatEn + QStringLiteral("\r\rThe file is kept: ") + name, titleEn);
        return false;
    }
    const int answer = AskUser(whatDe + QStringLiteral("\r\rDatei: ") + name +
                                   QStringLiteral(" trotzdem löschen?\r\r(Nein = Datei behalten)"),
                               Mb::YesNo | Mb::IconWarning, titleDe,
                               whatEn + QStringLiteral("\r\rDelete file: ") + name +
                                   QStringLiteral(" anyway?\r\r(No = keep the file)"),
                               titleEn);
    if (answer != Mb::ResultYes)
        return false;
    QFile::remove(scriptPath);
    host_.person().processEvents();
    return !QFileInfo::exists(scriptPath);
}

bool ScriptTools::RunWaitAndDelete(const QString& scriptPath, std::optional<KeptScript> button,
                                   bool passStartTime) {
    int result;
    if (passStartTime) {
        const QString t = GetStartTime();
        result = RunAndWait((QuoteIfSpaces(scriptPath) + u' ' + t).trimmed());
    } else {
        result = RunAndWait(scriptPath);
    }
    host_.person().processEvents();
    const bool deleted = DeleteScriptAfterRun(scriptPath, result);
    if (button)
        host_.setKeptScriptButtonVisible(*button, !deleted);
    return deleted;
}

void ScriptTools::OpenInEditor(const QString& path) {
    host_.person().openInEditor(path);
}

void ScriptTools::RunScript(const QString& scriptPath, const Question& question,
                            std::optional<KeptScript> button) {
    bool run = true;
    if (!host_.noQuestions())
        run = AskUser(question, Mb::YesNoQuestion) != Mb::ResultNo;
    if (!run) {
        OpenInEditor(scriptPath);
        if (button)
            host_.setKeptScriptButtonVisible(*button, true);
        return;
    }
    RunWaitAndDelete(scriptPath, button);
    host_.showUpdateLink();
    if (!host_.loading())
        host_.collectFiles();
}

void ScriptTools::RunKeptScript(const KeptScript& script) {
    const QString name = QString::fromLatin1(script.scriptName);
    const QString path = host_.directoryText() + name;
    host_.showUpdateLink();
    if (!host_.noQuestions()) {
        const int answer = Inform(QStringLiteral("Umebenennen jetzt starten?\r\rDatei: ") + name,
                                  Mb::YesNoQuestion,
                                  QStringLiteral("Umbenennung starten (Bat-Datei ausführen?)\r\r"
                                                 "(Nein = Datei im Notepad öffnen)"));
        if (answer == Mb::ResultNo) {
            OpenInEditor(path);
            return;
        }
    }
    const int result = RunAndWait(QuoteIfSpaces(path + u' ' + GetStartTime()).trimmed());
    host_.setKeptScriptButtonVisible(script, !DeleteScriptAfterRun(path, result));
    host_.showUpdateLink();
}

void ScriptTools::ShowKeptScriptButtons(std::span<const KeptScript> scripts) {
    const QString dir = host_.directoryText();
    for (const KeptScript& k : scripts)
        host_.setKeptScriptButtonVisible(k, isFile(dir + QString::fromLatin1(k.scriptName)));
}

bool ScriptTools::WriteScript(const QString& scriptPath, const QStringList& lines) {
    if (WriteScriptFile(scriptPath, lines))
        return true;
    AskUser(QStringLiteral("Die Bat-Datei konnte nicht geschrieben werden:\r\r") + scriptPath +
                QStringLiteral("\r\r(Schreibschutz oder Datenträger voll?)"),
            Mb::OK | Mb::IconError, QStringLiteral("Bat-Datei nicht erstellt"),
            QStringLiteral("The Bat-file could not be written:\r\r") + scriptPath +
                QStringLiteral("\r\r(Write-protected or disk full?)"),
            QStringLiteral("Bat-file not created"));
    return false;
}

void ScriptTools::NormaliseDirectoryText() {
    host_.setDirectoryText(AddSeparator(Unquote(host_.directoryText()).trimmed()));
}

bool ScriptTools::CollectFilesOrSayNone(const QString& textEn, const QString& titleEn) {
    host_.collectFiles();
    if (!host_.fileList().isEmpty())
        return true;
    const QString textDe = NoFilesFoundText(host_.directoryText(), host_.patternText());
    const QString titleDe = QStringLiteral("Keine Dateien gefunden!");
    if (textEn.isEmpty())
        Inform(textDe, Mb::OK | Mb::IconInformation, titleDe);
    else
        AskUser(textDe, Mb::OK | Mb::IconInformation, titleDe, textEn, titleEn);
    return false;
}

void ScriptTools::ReportUnsafeNames(int skipped) {
    if (skipped <= 0)
        return;
    AskUser(QString::number(skipped) +
                QStringLiteral(" Datei(en) übersprungen: ihr Name enthält ein Anführungszeichen "
                               "oder Steuerzeichen und kann nicht in einer Bat-Datei stehen."),
            Mb::OK | Mb::IconWarning, QStringLiteral("Dateien übersprungen"),
            QString::number(skipped) +
                QStringLiteral(" file(s) skipped: the name holds a double quote or a control "
                               "character and cannot stand in a Bat-file."),
            QStringLiteral("Files skipped"));
}

}  // namespace kadrano
