#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/language.h"
#include "core/toolhost.h"
#include "core/undojournal.h"

namespace kadrano {

// "Rückgängig": undoes the newest run of the chosen folder's journal that is not undone yet.
// Renames go back through the script _Undo_Last.bat and the shared confirm, run and delete
// sequence; dates are put back directly. Only a file that still stands where the run left
// it, and is the same file unchanged (device, inode, size, modification time), is touched;
// every other one is left alone and counted.

// "Bilder Mischen, 24 Dateien, 10.12.2026 14:03".
QString RunDescription(const JournalRun& run, Language language);

// Why the files of a run could not (all) be undone, one count each.
struct UndoLeftAlone {
    int gone = 0;          // no longer under the name the run gave (renamed, moved, deleted)
    int changed = 0;       // still there, but changed since (size or modification time)
    int oldNameTaken = 0;  // its old name holds another file now
    int failed = 0;        // the change back itself failed (dates: write-protected)
    int unsafe = 0;        // a name that cannot stand in a script
    int damaged = 0;       // records of the run the journal lost

    int total() const { return gone + changed + oldNameTaken + failed + unsafe + damaged; }
};

// Whether the file system of a folder keeps inode numbers (KeepsInodeNumbers); where it
// does not (memory cards), a file is known again by its name, size and modification time.
using InodeCheck = std::function<bool(const QString& folder)>;

// One rename of the undo script: a full path and the bare name it gets.
struct UndoRename {
    QString from;
    QString newName;
};

struct RenameUndoPlan {
    QStringList lines;  // the whole script; empty when there is nothing to rename
    std::vector<UndoRename> steps;
    int files = 0;        // files that get their old names back
    int alreadyBack = 0;  // under their old names already: nothing to do
    UndoLeftAlone leftAlone;
    // The folders and old names of the files renamed back, for the shuffle's records.
    QStringList dirs;
    QStringList oldNames;
};

// The undo of a run's renames as the folder stands now: each file from the last name the run
// gave it back to the name it had before the run, newest first. Where the run swapped or
// cycled names, one file of each cycle goes through a free temporary name, so that no step
// ever renames onto an existing name.
RenameUndoPlan PlanRenameUndo(const JournalRun& run, bool pauseAtEnd,
                              const InodeCheck& keepsInodes = KeepsInodeNumbers);

struct DateUndoResult {
    int restored = 0;
    int alreadyBack = 0;
    UndoLeftAlone leftAlone;
};

// Puts back the access and modification times each file had before the run, to the
// nanosecond, newest change first. A file whose times the run set are no longer its times
// (dated again since) or that is not the same file any more is left alone.
DateUndoResult RestoreDates(const JournalRun& run,
                            const InodeCheck& keepsInodes = KeepsInodeNumbers);

// The "Rückgängig" button of a folder: whether it has a run to undo, and the tooltip that
// names it (and says when the folder's last run was one that cannot be undone).
struct UndoButtonState {
    bool enabled = false;
    QString toolTip;
};
UndoButtonState UndoButtonFor(const QString& undoFolder, const QString& pictureFolder,
                              Language language);

// The click on "Rückgängig".
void RunUndoLast(ToolHost& host);

}  // namespace kadrano
