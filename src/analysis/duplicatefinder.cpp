#include "duplicatefinder.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

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

void DuplicateFinder::StartClicked(ToolHost& host, DuplicatesView& view,
                                   const DuplicatesOptions& options) {
    if (!host.loading())
        host.saveSettings();
    host.setToolCancel(false);
    if (running_) {
        // The click came in while the running search let events through: never a second
        // search, at most a stop.
        const int answer =
            ScriptTools(host).Inform(QStringLiteral("Laufenden Vorgang beenden?"), Mb::YesNo,
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

    tools.NormaliseDirectoryText();
    // The last search's cache finishes its writing first; this one reads what it wrote,
    // while the files are collected.
    cache_.reset();
    if (options_.useDigestCache) {
        DigestCacheOptions cacheOptions = options_.digestCache;
        if (cacheOptions.file.isEmpty())
            cacheOptions.file = DigestCache::DefaultFile();
        cache_ = std::make_unique<DigestCache>(cacheOptions);
    }
    counts_ = DuplicateSearchCounts();
    if (!tools.CollectFilesOrSayNone()) {
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
    std::vector<SearchDigest> digests(static_cast<std::size_t>(n));
    // The list's lines are made while the workers read, as the digests come in.
    QStringList written;  // the entry lines of the list, in the collected order
    written.reserve(n);
    QByteArray listBytes;
    std::vector<std::pair<int, qsizetype>> lineOf(std::size_t(n), {-1, 0});  // line, byte
    const auto listed = [&](int k) {
        const QString& digest = digests[std::size_t(k)].digest;
        if (digest.isEmpty())
            return;
        lineOf[std::size_t(k)] = {int(written.size()), listBytes.size()};
        QString line = ChecksumEntryLine(digest, paths.at(k));
        listBytes += EncodeScriptText({line});
        written.append(std::move(line));
    };
    bool cancelled = !digestFiles(host, paths, cache_.get(), pacer, digests, listed);
    if (!cancelled)
        correctListLines(paths, digests, lineOf, written, listBytes);
    if (listOpen && !cancelled)
        list.write(listBytes);
    if (cache_)
        saveToCache(*cache_, files, digests, cancelled ? QString() : dir);
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
    std::vector<DuplicatePair> pairs = FindDuplicatePairs(lines, tag, IdentifyFile);
    if (counts_.fromCache > 0) {
        // A copy is marked or deleted, and kept, only on the word of its own bytes as read
        // in this search: every file that shares a digest was read again above.
        QSet<QString> inPairs;
        for (const DuplicatePair& pair : pairs) {
            inPairs.insert(pair.surplus);
            inPairs.insert(pair.kept);
        }
        QSet<QString> unread;
        for (int k = 0; k < n; ++k)
            if (digests[std::size_t(k)].fromCache && inPairs.contains(paths.at(k)))
                unread.insert(paths.at(k));
        std::erase_if(pairs, [&](const DuplicatePair& pair) {
            return unread.contains(pair.surplus) || unread.contains(pair.kept);
        });
    }
    const DuplicateScript found = PlanDuplicateScript(pairs, tag, deleteCopies, [&](int count) {
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
    const bool scriptWritten = tools.WriteScript(scriptPath, script.lines());
    tools.ReportUnsafeNames(unsafeNames + found.skipped);
    endRun(host, view, caption);
    // Without the new script there is nothing to run (an old one must not run instead).
    if (!scriptWritten)
        return;

    if (!host.noQuestions() && tools.AskUser(DuplicatesQuestion(found.count, scriptPath),
                                             Mb::YesNoQuestion) == Mb::ResultNo) {
        tools.OpenInEditor(scriptPath);
        return;
    }
    // No start time: the script reads the clock itself.
    const int result = tools.RunAndWait(scriptPath);
    person.processEvents();
    tools.DeleteScript(listPath);
    tools.DeleteScriptAfterRun(scriptPath, result);
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
                                  EventPacer& pacer, std::vector<SearchDigest>& digests,
                                  const std::function<void(int k)>& listed) {
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
                    SearchDigest& d = digests[std::size_t(k)];
                    d.stamp = StampOfPath(paths.at(k));
                    d.key = keys.keyOf(paths.at(k), d.stamp, &last);
                    if (const std::optional<DigestBytes> known = cache->find(d.key, d.stamp)) {
                        d.digest = DigestText(*known);
                        d.fromCache = true;
                        d.toRead = false;
                    }
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
        QHash<QString, int> sharing;
        for (const SearchDigest& d : digests)
            if (!d.digest.isEmpty())
                ++sharing[d.digest];
        int marked = 0;
        for (SearchDigest& d : digests) {
            if (d.fromCache && sharing.value(d.digest) > 1) {
                d.toRead = true;
                ++marked;
            }
        }
        return marked;
    };
    markShared();
    const std::function<void(int)>* firstPass = &listed;
    do {
        if (!readFiles(host, paths, keys, cache != nullptr, pacer, digests, firstPass))
            return false;
        firstPass = nullptr;
    } while (markShared() > 0);
    for (const SearchDigest& d : digests) {
        if (!d.digest.isEmpty())
            ++counts_.files;
        if (d.fromCache)
            ++counts_.fromCache;
    }
    return true;
}

bool DuplicateFinder::readFiles(ToolHost& host, const QStringList& paths, FileKeys& keys,
                                bool stamps, EventPacer& pacer, std::vector<SearchDigest>& digests,
                                const std::function<void(int k)>* firstPass) {
    const bool showProgress = firstPass != nullptr;
    Person& person = host.person();
    const Language lang = host.language();
    const int n = int(paths.size());
    QStringList toRead;
    std::vector<int> readIndex(std::size_t(n), -1);
    for (int k = 0; k < n; ++k) {
        if (digests[std::size_t(k)].toRead) {
            readIndex[std::size_t(k)] = int(toRead.size());
            toRead.append(paths.at(k));
        }
    }
    if (toRead.isEmpty() && !showProgress)
        return true;
    // The workers are given up with a cancelled search, digests in progress included.
    DigestAhead ahead(toRead, options_.digestThreads, 0, options_.md5Kind, stamps);
    FileKeys::Last lastVolume;
    for (int k = 0; k < n; ++k) {
        const int j = readIndex[std::size_t(k)];
        if (showProgress) {
            const bool show = pacer.due();
            if (show) {
                host.setCaption(HashingCaption(lang, k, n));
                person.setStatus(
                    HashingStatus(lang, restZeit_.CalculateRestZeit(host.startTime(), k, n), k, n));
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
        if (j < 0) {
            if (firstPass)
                (*firstPass)(k);
            continue;
        }
        while (!ahead.waitFor(j, kWaitSlice)) {
            person.processEvents();
            if (takeCancel(host))
                return false;
        }
        SearchDigest& d = digests[std::size_t(k)];
        FileStamp stamp;
        const std::optional<QString> digest = ahead.take(j, &stamp);
        if (d.fromCache) {
            ++counts_.checked;
            if (digest != d.digest)
                ++counts_.stale;
        } else if (digest) {
            ++counts_.read;
        }
        d.digest = digest.value_or(QString());
        d.stamp = stamp;
        if (stamps)
            d.key = keys.keyOf(paths.at(k), stamp, &lastVolume);
        d.fromCache = false;
        d.toRead = false;
        if (firstPass)
            (*firstPass)(k);
    }
    return true;
}

void DuplicateFinder::correctListLines(const QStringList& paths,
                                       const std::vector<SearchDigest>& digests,
                                       const std::vector<std::pair<int, qsizetype>>& lineOf,
                                       QStringList& lines, QByteArray& bytes) {
    // A file read again after its line was made: the digest in the line is put right (a
    // digest text is 32 characters, one byte each in the list's encoding).
    bool remake = false;
    for (std::size_t k = 0; k < digests.size(); ++k) {
        const QString& digest = digests[k].digest;
        const auto [line, at] = lineOf[k];
        if (line < 0) {
            remake = remake || !digest.isEmpty();
            continue;
        }
        if (lines.at(line).startsWith(digest))
            continue;
        if (digest.size() != 32) {
            remake = true;  // could not be read again: the line goes
            continue;
        }
        lines[line].replace(0, 32, digest);
        bytes.replace(at, 32, digest.toLatin1());
    }
    if (!remake)
        return;
    lines.clear();
    bytes.clear();
    for (std::size_t k = 0; k < digests.size(); ++k) {
        if (digests[k].digest.isEmpty())
            continue;
        lines.append(ChecksumEntryLine(digests[k].digest, paths.at(int(k))));
        bytes += EncodeScriptText({lines.back()});
    }
}

void DuplicateFinder::saveToCache(DigestCache& cache, const FileList& files,
                                  const std::vector<SearchDigest>& digests,
                                  const QString& searchedDir) {
    std::vector<SearchedFile> found;
    found.reserve(digests.size());
    // Whether the search took in the sub-folders shows in the files it found.
    bool withSubfolders = false;
    for (std::size_t k = 0; k < digests.size(); ++k) {
        const SearchDigest& d = digests[k];
        if (d.key.volume.isEmpty() || d.toRead)
            continue;
        const std::optional<DigestBytes> digest = DigestFromText(d.digest);
        if (!digest)
            continue;
        const QString& folder = files.FileDirs.at(int(k));
        withSubfolders = withSubfolders || folder != searchedDir;
        found.push_back(
            {d.key, d.stamp, *digest, !d.fromCache, folder, files.FileNames.at(int(k))});
    }
    cache.save(std::move(found), searchedDir, withSubfolders && !searchedDir.isEmpty());
}

}  // namespace kadrano
