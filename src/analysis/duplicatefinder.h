#pragma once

#include "md5/md5lanes.h"

#include <QString>

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
    Md5Kind md5Kind = BestMd5Kind();
};

// Finds files with equal content in the chosen folder and writes the script that marks
// (or deletes) every surplus copy.
class DuplicateFinder {
public:
    explicit DuplicateFinder(DuplicateFinderOptions options = {});

    // A click on DoppelteStart: starts a search, or during one offers to stop it.
    void StartClicked(ToolHost& host, DuplicatesView& view, const DuplicatesOptions& options);

    bool isRunning() const { return running_; }

private:
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
};

}  // namespace kadrano
