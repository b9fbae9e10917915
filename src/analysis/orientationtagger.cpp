#include "orientationtagger.h"

#include <QTime>

#include "core/eventpacer.h"
#include "core/toolsequence.h"

namespace kadrano {

namespace {

constexpr char kStartText[] = "Start";
constexpr char kStopText[] = "Stop";

// With questions off nothing else would tell the person that some names were left alone.
void reportTakenWithoutQuestion(ToolHost& host, int taken) {
    if (taken <= 0)
        return;
    ScriptTools(host).AskUser(takenNamesNote(Language::German, taken).mid(2),
                              Mb::OK | Mb::IconWarning, QStringLiteral("Dateien übersprungen"),
                              takenNamesNote(Language::English, taken).mid(2),
                              QStringLiteral("Files skipped"));
}

bool refuseBadTags(ToolHost& host, const OrientationTagOptions& tags) {
    const std::optional<Question> problem = tagProblem(tags);
    if (!problem)
        return false;
    ScriptTools(host).AskUser(*problem, Mb::OK | Mb::IconWarning);
    return true;
}

}  // namespace

OrientationTagger::OrientationTagger(OrientationTaggerOptions options)
    : options_(std::move(options)) {}

void OrientationTagger::startClicked(ToolHost& host, OrientationView& view,
                                     const OrientationTagOptions& tags) {
    if (!host.loading())
        host.saveSettings();
    host.setToolCancel(false);
    if (running_) {
        // The click came in while the loop let events through: never a second run, at
        // most a stop.
        if (view.startButtonText() == QLatin1String(kStopText)) {
            stop_ = false;
            if (ScriptTools(host).AskUser(stopMeasuringQuestion(), Mb::YesNo) != Mb::ResultNo)
                stop_ = true;
        }
        return;
    }
    stop_ = false;
    // A tag no name can take would only show after the measuring, in a failing script.
    if (refuseBadTags(host, tags))
        return;
    running_ = true;
    const QString caption = host.caption();
    run(host, view, tags, caption);
    if (running_)  // the run ended before its script (no files found)
        endRun(host, view, caption);
}

void OrientationTagger::endRun(ToolHost& host, OrientationView& view, const QString& caption) {
    host.setCaption(caption);
    running_ = false;
    view.setStartButtonText(QLatin1String(kStartText));
}

bool OrientationTagger::stopRequested(ToolHost& host) {
    if (stop_)
        return true;
    if (!host.toolCancel())
        return false;
    host.setToolCancel(false);
    return true;
}

std::vector<Orientation> OrientationTagger::measureAll(ToolHost& host, const FileList& files,
                                                       const OrientationTagOptions& tags) {
    Person& person = host.person();
    const Language lang = host.language();
    const int n = files.count();
    std::vector<Orientation> measured;
    measured.reserve(size_t(n));
    int portrait = 0;
    int landscape = 0;
    EventPacer pacer(options_.eventIntervalMs);
    for (int k = 0; k < n; ++k) {
        if (pacer.due()) {
            host.setCaption(measuringCaption(k, n));
            person.setStatus(measuringStatus(lang,
                                             timeLeft_.CalculateRestZeit(host.startTime(), k, n), k,
                                             n, tags, portrait, landscape));
            person.processEvents();
            person.processEvents();
            // The flags change only while events run, so here is where a stop is seen.
            if (stopRequested(host))
                break;
        }
        // A header read takes a fraction of a millisecond, so a whole folder is measured
        // in seconds on this thread; handing each picture to worker threads cost more
        // than it saved when tried.
        const Orientation o = options_.measure(files.fullPath(k));
        if (o == Orientation::Portrait)
            ++portrait;
        else if (o == Orientation::Landscape)
            ++landscape;
        measured.push_back(o);
    }
    return measured;
}

void OrientationTagger::run(ToolHost& host, OrientationView& view,
                            const OrientationTagOptions& tags, const QString& caption) {
    ScriptTools tools(host);
    tools.normaliseDirectoryText();
    if (!tools.collectFilesOrSayNone(
            QStringLiteral("No files found in:\r") + host.directoryText() + host.patternText(),
            QStringLiteral("No files found!")))
        return;
    // The list is taken now: events during the run may collect the window's list anew.
    const FileList files = host.fileList();
    const QString scriptPath = host.directoryText() + QLatin1String(kOrientationTagScriptName);

    view.setStartButtonText(QLatin1String(kStopText));
    host.setCaption(measuringStartCaption(systemClockText(QTime::currentTime())));
    tools.GetStartTime();

    const std::vector<Orientation> measured = measureAll(host, files, tags);
    const OrientationScript script = planOrientationTags(files, measured, tags, host.pauseAtEnd());
    const bool written = tools.writeScript(scriptPath, script.lines);
    host.person().setStatus(
        pick(host.language(), QStringLiteral("Fertig!"), QStringLiteral("All done!")));
    endRun(host, view, caption);
    // Without the new script there is nothing to run (an old one must not run instead).
    if (!written)
        return;
    tools.reportUnsafeNames(script.unsafe);

    if (host.noQuestions()) {
        reportTakenWithoutQuestion(host, script.taken);
    } else if (tools.AskUser(tagRenameQuestion(scriptPath, script.taken), Mb::YesNoQuestion) ==
               Mb::ResultNo) {
        tools.openInEditor(scriptPath);
        host.setKeptScriptButtonVisible(kOrientationTagKept, true);
        return;
    }
    tools.runWaitAndDelete(scriptPath, kOrientationTagKept);
    // The names on disk have changed; a stale list would send later tools after names
    // that no longer exist.
    if (!host.loading())
        host.collectFiles();
}

void runRemoveOrientationTags(ToolHost& host, const OrientationTagOptions& tags) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    host.setKeptScriptButtonVisible(kOrientationRemoveKept, false);
    if (refuseBadTags(host, tags))
        return;
    tools.normaliseDirectoryText();
    host.collectFiles();
    if (host.fileList().isEmpty()) {
        tools.inform(noFilesFoundText(host.directoryText(), host.patternText()),
                     Mb::OK | Mb::IconInformation, QStringLiteral("Keine Dateien gefunden"));
        return;
    }
    const QString scriptPath = host.directoryText() + QLatin1String(kOrientationRemoveScriptName);
    const OrientationScript script =
        planRemoveOrientationTags(host.fileList(), tags, host.pauseAtEnd());
    if (!tools.writeScript(scriptPath, script.lines))
        return;
    tools.reportUnsafeNames(script.unsafe);

    if (host.noQuestions()) {
        reportTakenWithoutQuestion(host, script.taken);
    } else {
        const int answer = script.wellFormed
                               ? tools.inform(removeQuestionText(script.taken), Mb::YesNoQuestion,
                                              removeQuestionTitle())
                               : tools.inform(wrongFormatText(tags, script.taken),
                                              Mb::YesNo | Mb::IconError, wrongFormatTitle());
        if (answer == Mb::ResultNo) {
            tools.openInEditor(scriptPath);
            host.setKeptScriptButtonVisible(kOrientationRemoveKept, true);
            return;
        }
    }
    tools.runWaitAndDelete(scriptPath, kOrientationRemoveKept);
    if (!host.loading())
        host.collectFiles();
}

}  // namespace kadrano
