#include "duplicatefinder.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <unordered_map>
#include <utility>

#include "core/eventpacer.h"
#include "core/pathhelpers.h"
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

// Lets the window's events run until the work is done; false when the person stopped it
// (the work is then asked to stop through stop, and waited for).
template <typename T>
bool waitWithEvents(ToolHost& host, std::future<T>& work, std::atomic<bool>& stop) {
    while (work.wait_for(kWaitSlice) != std::future_status::ready) {
        host.person().processEvents();
        if (takeCancel(host)) {
            stop = true;
            work.wait();
            return false;
        }
    }
    return true;
}

}  // namespace

DuplicateFinder::DuplicateFinder(DuplicateFinderOptions options) : options_(options) {}

void DuplicateFinder::startClicked(ToolHost& host, DuplicatesView& view,
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
    host.person().setStatus(pick(host.language(), said.textDe, said.textEn));
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
    // The last search's cache finishes its writing first; this one reads what it wrote,
    // while the files are collected.
    cache_.reset();
    if (options_.useDigestCache) {
        DigestCacheOptions cacheOptions = options_.digestCache;
        if (cacheOptions.file.isEmpty())
            cacheOptions.file = DigestCache::defaultFile();
        cache_ = std::make_unique<DigestCache>(cacheOptions);
    }
    counts_ = DuplicateSearchCounts();
    if (!tools.collectFilesOrSayNone()) {
        cache_.reset();
        return;
    }
    const QString dir = host.directoryText();
    const QString listPath = dir + QLatin1String(kChecksumListName);
    const QString scriptPath = dir + QLatin1String(kDuplicatesScriptName);

    // The list is taken now: events during the search may change the window's list.
    const FileList files = host.fileList();
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
        } else if (!canStandInScript(path)) {
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
        list.write(encodeScriptText(scriptHeader()));
    view.setCancelHintVisible(true);
    host.setCaption(hashingStartCaption(QTime::currentTime()));
    tools.GetStartTime();

    EventPacer pacer(options_.eventIntervalMs);
    // What the search finds of each file; the cache is told all of it when it is done.
    std::vector<SearchedFile> seen(static_cast<std::size_t>(n));
    std::vector<char> toRead(static_cast<std::size_t>(n), 1);
    // The list is written while the workers read, as the digests come in. A digest read
    // again later is put right in its line (a digest text is 32 characters, one byte each
    // in the list's encoding).
    QStringList written;  // the entry lines of the list, in the collected order
    written.reserve(n);
    struct ListLine {
        int line = -1;
        qint64 at = 0;  // where it starts in the file
    };
    std::vector<ListLine> lineOf(static_cast<std::size_t>(n));
    const qint64 listHeaderSize = listOpen ? list.pos() : 0;
    QByteArray lineBytes;
    const auto listed = [&](int k, const QString& digest) {
        if (digest.isEmpty())
            return;
        lineOf[std::size_t(k)] = {int(written.size()), listOpen ? list.pos() : 0};
        QString line = checksumEntryLine(digest, paths.at(k));
        if (listOpen) {
            lineBytes.resize(0);
            appendScriptLine(lineBytes, line);
            list.write(lineBytes);
        }
        written.append(std::move(line));
    };
    bool cancelled = !digestFiles(host, paths, cache_.get(), pacer, seen, toRead, listed);
    if (!cancelled) {
        bool remake = false;
        for (std::size_t k = 0; k < seen.size(); ++k) {
            const std::optional<DigestBytes>& digest = seen[k].digest;
            const ListLine at = lineOf[k];
            if (at.line < 0 || !digest) {
                remake = remake || (at.line < 0) != !digest;
                continue;
            }
            const QString text = digestText(*digest);
            if (written.at(at.line).startsWith(text))
                continue;
            written[at.line].replace(0, text.size(), text);
            if (listOpen && list.seek(at.at))
                list.write(text.toLatin1());
        }
        if (remake) {
            // A file read again could not be read: its line goes.
            written.clear();
            if (listOpen && list.resize(listHeaderSize))
                list.seek(listHeaderSize);
            for (std::size_t k = 0; k < seen.size(); ++k)
                if (seen[k].digest)
                    written.append(
                        checksumEntryLine(digestText(*seen[k].digest), paths.at(int(k))));
            if (listOpen)
                list.write(encodeScriptText(written));
        }
    }
    // Which files the cache vouched for without their being read in this search.
    std::vector<char> unread(seen.size());
    for (std::size_t k = 0; k < seen.size(); ++k)
        unread[k] = seen[k].digest && !seen[k].fromBytes;
    // The cache is told what this search found once its answer stands: the writing then
    // runs while the person reads the question, never while the person waits for it. A
    // stopped search has not met every file, so it drops no records of files gone.
    const bool digestsComplete = !cancelled;
    const auto saveFound = [&] {
        if (cache_ && !seen.empty())
            saveToCache(*cache_, files, std::exchange(seen, {}), digestsComplete ? dir : QString());
    };
    // Whether every entry reached the disk; the buffer is written out on closing.
    bool listComplete = false;
    if (listOpen) {
        list.close();
        listComplete = list.error() == QFileDevice::NoError;
    }
    if (cancelled) {
        saveFound();
        sayCancelled(host, view, caption, listOpen ? listPath : QString());
        return;
    }

    person.setStatus(
        pick(lang, QStringLiteral("Sortiere Liste..."), QStringLiteral("Sorting List...")));
    person.processEvents();

    // What counts is what reached the list: a list that could not be written finds nothing.
    person.setStatus(
        pick(lang, QStringLiteral("Ergebnisse einlesen.."), QStringLiteral("Reading results...")));
    // A list written without a fault holds exactly the lines kept in memory; after a
    // fault, only what the file holds counts.
    QStringList lines;
    if (listComplete) {
        lines = std::move(written);
    } else if (listOpen && QFileInfo(listPath).isFile()) {
        // Only a real file: a list name that leads to a device (/dev/full) would never end.
        QFile reread(listPath);
        if (reread.open(QIODevice::ReadOnly))
            lines = checksumEntryLines(reread.readAll());
    }
    person.setStatus(pick(lang, QStringLiteral("Sortierung läuft - Bitte warten.."),
                          QStringLiteral("Sorting - please wait!")));
    person.processEvents();
    {
        // A list of a whole picture archive sorts for a while; the window keeps painting.
        std::future<void> sorted =
            std::async(std::launch::async, [&lines] { sortChecksumLines(lines); });
        while (sorted.wait_for(kWaitSlice) != std::future_status::ready)
            person.processEvents();
        sorted.get();
    }

    view.setCancelHintVisible(false);
    person.setStatus(
        pick(lang, QStringLiteral("Ermittle Doppelte.."), QStringLiteral("Getting doubles...")));

    const QString foundText =
        pick(lang, QStringLiteral("Doppelte: "), QStringLiteral("Doubles found: "));
    int shown = 0;
    std::vector<DuplicatePair> pairs = findDuplicatePairs(lines, tag, identifyFile);
    if (counts_.fromCache > 0) {
        // A copy is marked or deleted, and kept, only on the word of its own bytes as read
        // in this search: every file that shares a digest was read again above.
        QSet<QString> inPairs;
        for (const DuplicatePair& pair : pairs) {
            inPairs.insert(pair.surplus);
            inPairs.insert(pair.kept);
        }
        QSet<QString> vouched;
        for (int k = 0; k < n; ++k)
            if (unread[std::size_t(k)] && inPairs.contains(paths.at(k)))
                vouched.insert(paths.at(k));
        std::erase_if(pairs, [&](const DuplicatePair& pair) {
            return vouched.contains(pair.surplus) || vouched.contains(pair.kept);
        });
    }
    const DuplicateScript found = planDuplicateScript(pairs, tag, deleteCopies, [&](int count) {
        if (pacer.due()) {
            person.setStatus(foundText + QString::number(count));
            shown = count;
            person.processEvents();
        }
        cancelled = takeCancel(host);
        return !cancelled;
    });
    if (cancelled) {
        saveFound();
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
    saveFound();
    // Without the new script there is nothing to run (an old one must not run instead).
    if (!scriptWritten)
        return;

    if (!host.noQuestions() && tools.AskUser(duplicatesQuestion(found.count, scriptPath),
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

void DuplicateFinder::waitForCache() {
    if (cache_)
        cache_->waitSaved();
}

bool DuplicateFinder::digestFiles(ToolHost& host, const QStringList& paths, DigestCache* cache,
                                  EventPacer& pacer, std::vector<SearchedFile>& found,
                                  std::vector<char>& toRead, const Listed& listed) {
    const int n = int(paths.size());
    FileKeys ownKeys;
    FileKeys& keys = cache ? cache->keys() : ownKeys;
    std::atomic<bool> stop{false};
    if (cache) {
        // What the cache knows is there before the files are looked at.
        while (!cache->waitLoaded(kWaitSlice)) {
            host.person().processEvents();
            if (takeCancel(host))
                return false;
        }
        if (cache->recordCount() > 0) {
            // Looking at every file costs little beside reading it; on all cores it costs
            // less still.
            std::atomic<int> next{0};
            auto lookUp = [&] {
                FileKeys::Last last;
                for (int k; !stop && (k = next.fetch_add(1)) < n;) {
                    SearchedFile& f = found[std::size_t(k)];
                    f.stamp = stampOfPath(paths.at(k));
                    f.key = keys.keyOf(paths.at(k), f.stamp, &last);
                    f.digest = cache->find(f.key, f.stamp);
                    toRead[std::size_t(k)] = !f.digest;
                }
            };
            std::future<void> done = std::async(std::launch::async, [&] {
                std::vector<std::thread> helpers;
                for (int t = 1; t < std::max(options_.digestThreads, 1); ++t)
                    helpers.emplace_back(lookUp);
                lookUp();
                for (std::thread& t : helpers)
                    t.join();
            });
            if (!waitWithEvents(host, done, stop))
                return false;
        }
    }

    // Files that share a digest are the ones the script would touch: those the cache
    // vouched for are read again. The files read may bring new company to a digest the
    // cache gave, so the check repeats until no file of a shared digest is left unread.
    auto markShared = [&] {
        const auto vouched = [](const SearchedFile& f) { return f.digest && !f.fromBytes; };
        if (std::none_of(found.begin(), found.end(), vouched))
            return 0;
        struct DigestHash {
            size_t operator()(const DigestBytes& d) const {
                return qFromUnaligned<size_t>(d.data());
            }
        };
        std::unordered_map<DigestBytes, int, DigestHash> sharing;
        sharing.reserve(found.size());
        for (const SearchedFile& f : found)
            if (f.digest)
                ++sharing[*f.digest];
        int marked = 0;
        for (std::size_t k = 0; k < found.size(); ++k) {
            if (vouched(found[k]) && sharing[*found[k].digest] > 1) {
                toRead[k] = 1;
                ++marked;
            }
        }
        return marked;
    };
    markShared();
    const Listed* firstPass = &listed;
    do {
        if (!readFiles(host, paths, keys, cache != nullptr, pacer, found, toRead, firstPass))
            return false;
        firstPass = nullptr;
    } while (markShared() > 0);
    for (const SearchedFile& f : found) {
        if (f.digest)
            ++counts_.files;
        if (f.digest && !f.fromBytes)
            ++counts_.fromCache;
    }
    return true;
}

bool DuplicateFinder::readFiles(ToolHost& host, const QStringList& paths, FileKeys& keys,
                                bool stamps, EventPacer& pacer, std::vector<SearchedFile>& found,
                                std::vector<char>& toRead, const Listed* firstPass) {
    const bool showProgress = firstPass != nullptr;
    Person& person = host.person();
    const Language lang = host.language();
    const int n = int(paths.size());
    QStringList reading;
    std::vector<int> readIndex(std::size_t(n), -1);
    for (int k = 0; k < n; ++k) {
        if (toRead[std::size_t(k)]) {
            readIndex[std::size_t(k)] = int(reading.size());
            reading.append(paths.at(k));
        }
    }
    if (reading.isEmpty() && !showProgress)
        return true;
    // The workers are given up with a cancelled search, digests in progress included.
    DigestAhead ahead(reading, options_.digestThreads, 0, options_.md5Kind, stamps);
    FileKeys::Last lastVolume;
    for (int k = 0; k < n; ++k) {
        const int j = readIndex[std::size_t(k)];
        if (showProgress) {
            const bool show = pacer.due();
            if (show) {
                host.setCaption(hashingCaption(lang, k, n));
                person.setStatus(
                    hashingStatus(lang, restZeit_.CalculateRestZeit(host.startTime(), k, n), k, n));
            }
            if (takeCancel(host))
                return false;
            if (show) {
                person.processEvents();
                person.processEvents();
            }
            // ESC from those events stops before this file: it may be the big one.
            if (takeCancel(host))
                return false;
        }
        SearchedFile& f = found[std::size_t(k)];
        if (j < 0) {
            if (firstPass && f.digest)
                (*firstPass)(k, digestText(*f.digest));
            continue;
        }
        while (!ahead.waitFor(j, kWaitSlice)) {
            person.processEvents();
            if (takeCancel(host))
                return false;
        }
        ContentStamp stamp;
        const std::optional<QString> text = ahead.take(j, &stamp);
        const std::optional<DigestBytes> digest =
            text ? digestFromText(*text) : std::optional<DigestBytes>();
        if (f.digest) {
            ++counts_.checked;
            if (digest != f.digest)
                ++counts_.stale;
        } else if (digest) {
            ++counts_.read;
        }
        f.digest = digest;
        f.fromBytes = true;
        f.stamp = stamp;
        if (stamps)
            f.key = keys.keyOf(paths.at(k), stamp, &lastVolume);
        toRead[std::size_t(k)] = 0;
        if (firstPass && text)
            (*firstPass)(k, *text);
    }
    return true;
}

void DuplicateFinder::saveToCache(DigestCache& cache, const FileList& files,
                                  std::vector<SearchedFile> found, const QString& searchedDir) {
    // Whether the search took in the sub-folders shows in the files it found.
    bool withSubfolders = false;
    for (std::size_t k = 0; k < found.size(); ++k) {
        SearchedFile& f = found[k];
        f.folder = files.FileDirs.at(int(k));
        f.name = files.FileNames.at(int(k));
        withSubfolders = withSubfolders || f.folder != searchedDir;
    }
    cache.save(std::move(found), searchedDir, withSubfolders && !searchedDir.isEmpty());
}

}  // namespace kadrano
