#pragma once

#include <QString>
#include <optional>
#include <span>

#include "toolhost.h"

namespace kadrano {

// A question with its German and English wording.
struct Question {
    QString textDe;
    QString titleDe;
    QString textEn;
    QString titleEn;
};

// The confirm, run and delete steps that every script tool shares.
class ScriptTools {
public:
    explicit ScriptTools(ToolHost& host) : host_(host) {}

    // One message box with the wording of the window's language.
    int AskUser(const QString& textDe, int buttons, const QString& titleDe, const QString& textEn,
                const QString& titleEn);
    int AskUser(const Question& q, int buttons) {
        return AskUser(q.textDe, buttons, q.titleDe, q.textEn, q.titleEn);
    }
    // A box whose wording is the same in both languages.
    int Inform(const QString& text, int buttons, const QString& title);

    // "HH:MM" now; also becomes the start time of the run.
    QString GetStartTime();

    // Starts what the command line names and waits for it to end. A script or program
    // (.bat, .exe, .com) runs directly; any other file is opened with its program (0).
    // Returns what ScriptRunner::runAndWait returns.
    int RunAndWait(const QString& commandLine);

    // Offers to delete the script (without asking when questions are off); true when it
    // is gone afterwards.
    bool DeleteScript(const QString& scriptPath);

    // The deletion offer after a run whose result was runResult. A script that did not run
    // is kept without a word (the runner has said why); one that was stopped or had failing
    // lines is reported and kept unless the person asks for its deletion; the detail (what
    // the run did to the files, German and English) stands in that report. Returns whether
    // it is gone afterwards.
    bool DeleteScriptAfterRun(const QString& scriptPath, int runResult,
                              const QString& detailDe = QString(),
                              const QString& detailEn = QString());

    // Runs the script with the start time, waits, offers deletion, and shows the kept-script
    // button exactly when the script is still there. Returns whether it was deleted.
    bool RunWaitAndDelete(const QString& scriptPath, std::optional<KeptScript> button,
                          bool passStartTime = true);

    // The whole confirm, run, delete procedure: asks (unless questions are off), No opens the
    // script in the editor and shows the kept-script button, Yes runs it; then the update
    // link and a fresh collection.
    void RunScript(const QString& scriptPath, const Question& question,
                   std::optional<KeptScript> button);

    // Opens a script (or list) in the editor, as a No answer does.
    void OpenInEditor(const QString& path);

    // A kept-script button was clicked: ask, then run and offer deletion.
    void RunKeptScript(const KeptScript& script);
    // Shows the buttons of those scripts that lie in the chosen folder, hides the others.
    void ShowKeptScriptButtons(std::span<const KeptScript> scripts);

    // Writes a script; on failure tells the person and returns false (nothing is run then).
    bool WriteScript(const QString& scriptPath, const QStringList& lines);

    // The folder text normalised as the tools expect it: unquoted, trimmed, with separator.
    void NormaliseDirectoryText();

    // Collects the files; when there are none, says so ("Keine Dateien gefunden in:" with
    // the folder and pattern) and returns false. Without an English wording the box is
    // German in both languages.
    bool CollectFilesOrSayNone(const QString& textEn = QString(),
                               const QString& titleEn = QString());

    // Tells how many files were left out because their names cannot stand in a script.
    void ReportUnsafeNames(int skipped);

private:
    ToolHost& host_;
};

// The usual rename question, naming the script that runs or opens.
Question RenameQuestion(const QString& scriptPath);

// "Keine Dateien gefunden in:" CR folder and pattern.
QString NoFilesFoundText(const QString& dir, const QString& pattern);

// Splits a command line into the program (or document) and its arguments. A text that
// names an existing file is that file alone; a leading quoted part is the program;
// otherwise the longest part up to a blank that names an existing file, else the first word.
struct SplitCommand {
    QString program;
    QStringList arguments;
};
SplitCommand SplitCommandLine(const QString& commandLine,
                              const std::function<bool(const QString&)>& fileExists);

}  // namespace kadrano
