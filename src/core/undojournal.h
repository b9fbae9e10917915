#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QProcessEnvironment>
#include <QSet>
#include <QString>
#include <mutex>
#include <vector>

#include "language.h"
#include "undoplatform.h"

namespace kadrano {

// Every run of a tool that renames or re-dates pictures is noted, while it happens, in a
// journal of its picture folder: kadrano-bat notes each rename it performs (when the window
// runs the script), the date tools each file's old times before they write. "Rückgängig"
// reads the journal back and undoes the newest run not undone yet. The journals live in
// the user's state folder, one file per picture folder, never in the picture folder.
//
// The file is a text of records, one a line, each ending in a CRC-32 of the line, and is
// only ever appended to with one write per record: a program killed in the middle leaves
// every record it finished readable, and a record cut off or damaged later is recognised
// and passed over. It keeps the last kJournalKeepsRuns runs of its folder.

// The undo script of renames.
inline constexpr char kUndoScriptName[] = "_Undo_Last.bat";
// How the window tells kadrano-bat where to note what a script does (a full path).
inline constexpr char kUndoJournalVariable[] = "KADRANO_UNDO_JOURNAL";
// The runs of the two date tools; script runs are named by their script's file name.
inline constexpr char kSetDatesRunName[] = "dates:set";
inline constexpr char kDateShuffleRunName[] = "dates:shuffle";
inline constexpr int kJournalKeepsRuns = 20;

// The journal of a picture folder inside the folder of journals; empty when that folder is
// empty (runs are then not noted). A folder reached under two spellings (a trailing
// separator, a symbolic link to it) has one journal.
QString UndoJournalPath(const QString& undoFolder, const QString& pictureFolder);

// The journal a script's runs go to when the window runs it: its folder's, for the tools'
// own scripts and the undo script; empty for any other script.
QString UndoJournalForScript(const QString& undoFolder, const QString& scriptPath);

// The environment for kadrano-bat: the program's own, with kUndoJournalVariable set to the
// journal (or removed when journalPath is empty).
QProcessEnvironment UndoJournalEnvironment(const QString& journalPath);

// The name of the tool that made a run, as the window shows it ("Bilder Mischen").
QString RunDisplayName(const QString& runName, Language language);

// Writes one run into a journal. Nothing is written (and no file is created) before the
// first note. May be used from several threads at once. A journal that cannot be written
// does not stop the run: problem() says why, and the run cannot be undone.
class UndoJournalWriter {
public:
    // An empty journalPath notes nothing. folder is the folder relative paths belong to.
    UndoJournalWriter(QString journalPath, QString runName, QString folder);
    ~UndoJournalWriter();
    UndoJournalWriter(const UndoJournalWriter&) = delete;
    UndoJournalWriter& operator=(const UndoJournalWriter&) = delete;

    bool active() const { return !path_.isEmpty(); }
    const QString& runId() const { return runId_; }

    // Before a rename: the entry "from" and what it is now (nothing when it is missing; the
    // rename then fails anyway).
    void renameStarting(const QString& from, const QString& to);
    // After it, when it failed: the note of renameStarting did not happen.
    void renameFailed(int error);
    void deleted(const QString& path);
    // A program line is about to run (it may rewrite pictures, which cannot be undone).
    void programStarting(const QString& program);
    // Before a date tool sets a file's times: the file as it is, and the times it gets.
    void timesChanging(const QString& path, const FileStamp& before, qint64 newAtimeNs,
                       qint64 newMtimeNs);
    // The run went through to its end (a run stopped on the way gets no end).
    void finish(int failedLines);

    // Why the journal could not be written; empty while all went well.
    QString problem() const;

private:
    bool beginLocked();
    void appendLocked(const QByteArray& line);  // a sealed record
    QString absolute(const QString& path) const;

    mutable std::mutex mutex_;
    QString path_;
    QString runName_;
    QString folder_;
    QString runId_;
    QFile file_;
    bool begun_ = false;
    bool broken_ = false;
    QString problem_;
    int seq_ = 0;
    int lastRename_ = -1;
};

class ToolHost;

// The journal of a run the window makes itself (the date tools) in its picture folder.
UndoJournalWriter ToolRunJournal(const ToolHost& host, const char* runName);

// A paragraph for a tool's closing box when its journal could not be written (the run
// cannot be undone then); empty otherwise.
QString JournalProblemNote(const UndoJournalWriter& journal, Language language);

// Marks the window adds: an undo script was written for a run (when it undoes all that can
// ever be undone of it, the next finished run of that script marks the run undone), or a
// run was undone without a script (dates) or has nothing left to undo.
bool NoteUndoPlanned(const QString& journalPath, const QString& runId, bool wholeRun);
bool NoteUndone(const QString& journalPath, const QString& runId);

struct JournalRename {
    int seq = 0;
    FileStamp stamp;  // the file before it was renamed
    QString from;     // full paths
    QString to;
    bool failed = false;
};

struct JournalTimes {
    FileStamp before;  // identity, size and both times before the tool wrote
    qint64 newAtimeNs = 0;
    qint64 newMtimeNs = 0;  // what the tool set
    QString path;
};

struct JournalRun {
    QString id;
    QString name;    // the script's file name, or a date tool's run name; empty when its
                     // first record is damaged
    QString folder;  // the picture folder
    QDateTime started;
    std::vector<JournalRename> renames;  // in the order they ran
    std::vector<JournalTimes> times;
    int deletions = 0;
    int programs = 0;
    int damaged = 0;  // records of this run that could not be read
    bool finished = false;
    int failedLines = 0;
    QString undoes;  // an undo run: the run it undoes

    bool isUndoRun() const;
    // Renames that went through, files that got new times.
    int renamedCount() const;
    int fileCount() const { return renamedCount() + int(times.size()); }
    bool canBeUndone() const { return fileCount() > 0; }
};

// A journal as read back.
class UndoJournal {
public:
    static UndoJournal Read(const QString& journalPath);
    static UndoJournal Parse(const QByteArray& bytes);

    // Oldest first.
    const std::vector<JournalRun>& runs() const { return runs_; }
    bool undone(const QString& runId) const { return undone_.contains(runId); }
    // The newest tool run (not an undo) that is not undone and has something to undo.
    const JournalRun* nextToUndo() const;
    // The newest tool run not undone, whether or not it can be undone.
    const JournalRun* newestNotUndone() const;
    // Records that could not be read: damaged, cut off, or of a run whose start is lost.
    int damagedRecords() const { return damaged_; }
    // The file is there but could not be read at all.
    bool unreadable() const { return unreadable_; }

private:
    JournalRun& runFor(const QString& id);

    std::vector<JournalRun> runs_;
    QHash<QString, int> index_;
    QSet<QString> undone_;
    int damaged_ = 0;
    bool unreadable_ = false;
};

}  // namespace kadrano
