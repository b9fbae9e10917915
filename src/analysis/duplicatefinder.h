#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "digestcache.h"
#include "md5/md5lanes.h"

#include "core/eventpacer.h"
#include "core/filelist.h"
#include "core/progress.h"
#include "core/toolhost.h"

namespace kadrano {

// The two controls of the duplicate tool's area that the search itself changes.
class DuplicatesView {
public:
    virtual ~DuplicatesView() = default;
    // The Start button (DoppelteStart): "Start", or "Stop" while a search runs.
    virtual void setStartButtonText(const QString& text) = 0;
    // The label "Abbruch = ESC", shown while the digests are made and sorted.
    virtual void setCancelHintVisible(bool visible) = 0;
};

// What the area "Doppelte Dateien markieren / löschen" holds when Start is clicked.
struct DuplicatesOptions {
    QString tag = QStringLiteral("[Doppelt]");  // text of DoppelteTxt: marks a surplus copy
    bool deleteCopies = false;                  // DoublettenCheck: delete instead of marking
};

// How the search works, not what it does.
struct DuplicateFinderOptions {
    // Worker threads reading and digesting ahead of the list position.
    int digestThreads = 2;
    // Status texts and event processing at most this often (milliseconds) in the loops;
    // 0 shows every file and every pair. Twenty thousand repaints would take longer than
    // digesting the pictures, and a person reads no more than a few updates a second.
    int eventIntervalMs = 40;
    // How many files each of them digests side by side: the widest the processor runs.
    Md5Kind md5Kind = bestMd5Kind();
    // Digests of earlier searches, so that pictures searched before need not be read again.
    bool useDigestCache = true;
    // Where and how; without a file, the cache in the user's cache folder.
    DigestCacheOptions digestCache = {};
};

// Where the digests of the last search came from.
struct DuplicateSearchCounts {
    int files = 0;      // files with a line in the list
    int read = 0;       // digested from their bytes because the cache had no digest
    int fromCache = 0;  // taken from the cache
    int checked = 0;    // taken from the cache first, then read again: they have a copy
    int stale = 0;      // of those, how many the cache had wrong
};

// Finds files with equal content in the chosen folder and writes the script that marks
// (or deletes) every surplus copy.
class DuplicateFinder {
public:
    explicit DuplicateFinder(DuplicateFinderOptions options = {});

    // A click on DoppelteStart: starts a search, or during one offers to stop it.
    void startClicked(ToolHost& host, DuplicatesView& view, const DuplicatesOptions& options);

    bool isRunning() const { return running_; }
    const DuplicateSearchCounts& lastCounts() const { return counts_; }
    // Waits until the last search's digests are in the cache.
    void waitForCache();

private:
    // Hands a file's first digest text to the list, in list order as the digests come.
    using Listed = std::function<void(int k, const QString& digest)>;

    // Digests every file into found, from the cache where it matches (found[k].fromBytes
    // unset), and reads again every file the cache gave a digest that another file shares.
    // Each file's first digest goes to listed (one read again later may differ). False when
    // the person stopped it.
    bool digestFiles(ToolHost& host, const QStringList& paths, DigestCache* cache,
                     EventPacer& pacer, std::vector<SearchedFile>& found, std::vector<char>& toRead,
                     const Listed& listed);
    // Reads the files marked in toRead, in list order (with their stamps and keys for the
    // cache when stamps is set). The first pass shows progress through every file k of n
    // and hands each digest to firstPass. False when the person stopped it.
    bool readFiles(ToolHost& host, const QStringList& paths, FileKeys& keys, bool stamps,
                   EventPacer& pacer, std::vector<SearchedFile>& found, std::vector<char>& toRead,
                   const Listed* firstPass);
    void saveToCache(DigestCache& cache, const FileList& files, std::vector<SearchedFile> found,
                     const QString& searchedDir);

    void run(ToolHost& host, DuplicatesView& view, const DuplicatesOptions& options,
             const QString& caption);
    void endRun(ToolHost& host, DuplicatesView& view, const QString& caption);
    // Ends a search that the person stopped; listWritten is the list this run wrote.
    void sayCancelled(ToolHost& host, DuplicatesView& view, const QString& caption,
                      const QString& listWritten);

    DuplicateFinderOptions options_;
    // From Start to the end of the search (the question before the run is no longer part
    // of it): a click in between offers to stop.
    bool running_ = false;
    TimeLeft restZeit_;
    DuplicateSearchCounts counts_;
    // The last search's cache, saving on its own thread while the person reads the question.
    std::unique_ptr<DigestCache> cache_;
};

}  // namespace kadrano
