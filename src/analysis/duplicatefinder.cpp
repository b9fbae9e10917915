#include "duplicatefinder.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <future>

#include "core/eventpacer.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"
#include "digestahead.h"
#include "duplicates.h"
#include "fileidentity.h"

namespace kadrano {

namespace {

using namespace std::chrono_literals;

// How long a wait for a worker lasts before the window gets its events again: ESC and
// the Stop button are noticed within this time even inside a digest of a large video.
constexpr auto kWaitSlice = 25ms;

// Takes the cancel request if there is one.
bool takeCancel(ToolHost& host) {
    if (!host.toolCancel())
        return false;
    host.setToolCancel(false);
    return true;
}

}  // namespace

DuplicateFinder::DuplicateFinder(DuplicateFinderOptions options) : options_(options) {}

void DuplicateFinder::StartClicked(ToolHost& host, DuplicatesView& view,
                                   const DuplicatesOptions& options) {
    if (!host.loading())
        host.saveSettings();
    host.setToolCancel(false);
    if (running_) {
        // The click came in while the running search let events through: never a second
        // search, at most a stop.
        const int answer =
            ScriptTools(host).inform(QStringLiteral("Laufenden Vorgang beenden?"), Mb::YesNo,
                                     QStringLiteral("Laufenden Vorgang stoppen?"));
        if (answer != Mb::ResultNo)
            host.setToolCancel(true);
        return;
    }
    running_ = true;
    view.setStartButtonText(QStringLiteral("Stop"));
    const QString caption = host.caption();
    run(host, view, options, caption);
    if (running_)  // the search ended before its question (no files found)
        endRun(host, view, caption);
}

void DuplicateFinder::endRun(ToolHost& host, DuplicatesView& view, const QString& caption) {
    view.setCancelHintVisible(false);
    host.setCaption(caption);
    running_ = false;
    view.setStartButtonText(QStringLiteral("Start"));
}

void DuplicateFinder::sayCancelled(ToolHost& host, DuplicatesView& view, const QString& caption,
                                   const QString& listWritten) {
    // A part of the folder searched would mark or delete by part of the truth: a copy
    // whose twin was not reached looks unique, and the person asked to stop. Nothing is
    // written or run, and the list of this run goes too.
    if (!listWritten.isEmpty())
        QFile::remove(listWritten);
    endRun(host, view, caption);
    const Question said{
        QStringLiteral("Suche abgebrochen - es wurde nichts geändert."),
        QStringLiteral("Suche abgebrochen"),
        QStringLiteral("Search cancelled - nothing was changed."),
        QStringLiteral("Search cancelled"),
    };
    host.person().setStatus(Pick(host.language(), said.textDe, said.textEn));
    ScriptTools(host).AskUser(said, Mb::IconInformation);
}

void DuplicateFinder::run(ToolHost& host, DuplicatesView& view, const DuplicatesOptions& options,
                          const QString& caption) {
    const QString& tag = options.tag;
    const bool deleteCopies = options.deleteCopies;
    ScriptTools tools(host);
    Person& person = host.person();
    const Language lang = host.language();

    tools.normaliseDirectoryText();
    if (!tools.collectFilesOrSayNone())
        return;
    const QString dir = host.directoryText();
    const QString listPath = dir + QLatin1String(kChecksumListName);
    const QString scriptPath = dir + QLatin1String(kDuplicatesScriptName);

    // The list is taken now: events during the search may change the window's list.
    const FileList& files = host.fileList();
    const int n = files.count();
    QStringList paths;
    paths.reserve(n);
    int unsafeNames = 0;
    for (int k = 0; k < n; ++k) {
        QString path = files.fullPath(k);
        // The list and script of an earlier search (with a pattern such as *.*) are
        // rewritten by this one; reading them while they are written means nothing.
        // An empty path cannot be opened, so the file gets no line.
        if (path == listPath || path == scriptPath) {
            path.clear();
        } else if (!CanStandInScript(path)) {
            // Nor can a name that no script line can hold; one with a line break would
            // even split its list line, and the piece before the break could pass for
            // another file's name.
            path.clear();
            ++unsafeNames;
        }
        paths.append(path);
    }

    QFile list(listPath);
    const bool listOpen = list.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (listOpen)
        list.write(EncodeScriptText(ScriptHeader()));
    view.setCancelHintVisible(true);
    host.setCaption(HashingStartCaption(QTime::currentTime()));
    tools.GetStartTime();

    EventPacer pacer(options_.eventIntervalMs);
    bool cancelled = false;
    QStringList written;  // the entry lines as they went into the list
    written.reserve(n);
    {
        DigestAhead ahead(paths, options_.digestThreads, 0, options_.md5Kind);
        for (int k = 0; k < n; ++k) {
            const bool show = pacer.due();
            if (show) {
                host.setCaption(HashingCaption(lang, k, n));
                person.setStatus(
                    HashingStatus(lang, restZeit_.CalculateRestZeit(host.startTime(), k, n), k, n));
            }
            if ((cancelled = takeCancel(host)))
                break;
            if (show) {
                person.processEvents();
                person.processEvents();
            }
            // ESC from those events stops before this file: it may be the big one.
            if ((cancelled = takeCancel(host)))
                break;
            while (!ahead.waitFor(k, kWaitSlice)) {
                person.processEvents();
                if ((cancelled = takeCancel(host)))
                    break;
            }
            if (cancelled)
                break;
            const std::optional<QString> digest = ahead.take(k);
            if (listOpen && digest && !digest->isEmpty()) {
                QString line = ChecksumEntryLine(*digest, paths.at(k));
                list.write(EncodeScriptText({line}));
                written.append(std::move(line));
            }
        }
    }  // a cancelled search gives up the digests in progress here
    // Whether every entry reached the disk; the buffer is written out on closing.
    bool listComplete = false;
    if (listOpen) {
        list.close();
        listComplete = list.error() == QFileDevice::NoError;
    }
    if (cancelled) {
        sayCancelled(host, view, caption, listOpen ? listPath : QString());
        return;
    }

    person.setStatus(
        Pick(lang, QStringLiteral("Sortiere Liste..."), QStringLiteral("Sorting List...")));
    person.processEvents();

    // What counts is what reached the list: a list that could not be written finds nothing.
    person.setStatus(
        Pick(lang, QStringLiteral("Ergebnisse einlesen.."), QStringLiteral("Reading results...")));
    // A list written without a fault holds exactly the lines kept in memory; after a
    // fault, only what the file holds counts.
    QStringList lines;
    if (listComplete) {
        lines = std::move(written);
    } else if (listOpen && QFileInfo(listPath).isFile()) {
        // Only a real file: a list name that leads to a device (/dev/full) would never end.
        QFile reread(listPath);
        if (reread.open(QIODevice::ReadOnly))
            lines = ChecksumEntryLines(reread.readAll());
    }
    person.setStatus(Pick(lang, QStringLiteral("Sortierung läuft - Bitte warten.."),
                          QStringLiteral("Sorting - please wait!")));
    person.processEvents();
    {
        // A list of a whole picture archive sorts for a while; the window keeps painting.
        std::future<void> sorted =
            std::async(std::launch::async, [&lines] { SortChecksumLines(lines); });
        while (sorted.wait_for(kWaitSlice) != std::future_status::ready)
            person.processEvents();
        sorted.get();
    }

    view.setCancelHintVisible(false);
    person.setStatus(
        Pick(lang, QStringLiteral("Ermittle Doppelte.."), QStringLiteral("Getting doubles...")));

    const QString foundText =
        Pick(lang, QStringLiteral("Doppelte: "), QStringLiteral("Doubles found: "));
    int shown = 0;
    const DuplicateScript found = PlanDuplicateScript(
        FindDuplicatePairs(lines, tag, IdentifyFile), tag, deleteCopies, [&](int count) {
            if (pacer.due()) {
                person.setStatus(foundText + QString::number(count));
                shown = count;
                person.processEvents();
            }
            cancelled = takeCancel(host);
            return !cancelled;
        });
    if (cancelled) {
        sayCancelled(host, view, caption, listOpen ? listPath : QString());
        return;
    }
    if (found.count != shown)
        person.setStatus(foundText + QString::number(found.count));

    ScriptBuilder script;
    for (const QString& line : found.lines)
        script.add(line);
    script.finish(host.pauseAtEnd());
    const bool scriptWritten = tools.writeScript(scriptPath, script.lines());
    tools.reportUnsafeNames(unsafeNames + found.skipped);
    endRun(host, view, caption);
    // Without the new script there is nothing to run (an old one must not run instead).
    if (!scriptWritten)
        return;

    if (!host.noQuestions() && tools.AskUser(DuplicatesQuestion(found.count, scriptPath),
                                             Mb::YesNoQuestion) == Mb::ResultNo) {
        tools.openInEditor(scriptPath);
        return;
    }
    // No start time: the script reads the clock itself.
    const int result = tools.RunAndWait(scriptPath);
    person.processEvents();
    tools.DeleteScript(listPath);
    tools.deleteScriptAfterRun(scriptPath, result);
    // Copies were renamed or deleted: a stale list would send later tools after names
    // that no longer exist.
    if (!host.loading())
        host.collectFiles();
}

}  // namespace kadrano
