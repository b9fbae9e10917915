#pragma once

#include <QDateTime>
#include <QString>
#include <memory>

namespace kadrano {

class UndoJournalWriter;

// The three time stamps of a file as local date-times with whole seconds. Values read from
// disk carry the offset from UTC in force at their own moment, so later reading of their
// date and clock time does not consult the time-zone rules again.
struct FileTimes {
    QDateTime created;
    QDateTime accessed;
    QDateTime written;

    // The picture's date as the date tools see it: the earliest of the three.
    QDateTime earliest() const;
};

// Reads creation, last access and last write of a file (in that order in FileTimes).
// Returns false, leaving times unchanged, when the path is missing, is a folder, or its
// times cannot be read.
//
// Where the file system keeps no settable birth time (Linux), the creation time is the
// birth time but never later than the last write: a file cannot have been created after
// it was written, and a date set by WriteFileTimes then reads back as the earliest stamp.
bool ReadFileTimes(const QString& path, FileTimes& times);

// Sets all three stamps of an existing, writable file at once, to whole seconds. Local
// date-times are converted with the offset in force at that date (a winter date written
// in summer must still show its winter clock time). Fails, leaving the file unchanged,
// for a missing file, a folder, or a read-only file (even when running as administrator).
// Where the platform cannot set a birth time (Linux), the creation value is not written;
// ReadFileTimes still returns it, see above.
//
// A file system holds only a range of dates (ext4 1901 to 2446, FAT 1980 to 2107) and
// quietly stores the nearest one it can for a date outside it. Such a write fails too:
// the file keeps the stamps it had, and *outOfRange (when given) is set.
bool WriteFileTimes(const QString& path, const QDateTime& created, const QDateTime& accessed,
                    const QDateTime& written, bool* outOfRange = nullptr);

// ReadFileTimes and WriteFileTimes for the files of a list, one after another. Files of
// one folder follow each other in a collected list; the folder is looked up once for all
// of them instead of walking the whole path for every stamp (on a large tree the path
// walks cost more than the time stamps themselves). Same results as the free functions as
// long as no folder is renamed during the run.
class FileTimesBatch {
public:
    FileTimesBatch();
    ~FileTimesBatch();
    FileTimesBatch(const FileTimesBatch&) = delete;
    FileTimesBatch& operator=(const FileTimesBatch&) = delete;

    // dir ends in a separator, name is the bare file name.
    bool read(const QString& dir, const QString& name, FileTimes& times);
    // The earliest of the three stamps (FileTimes::earliest) in seconds since 1970, for
    // a caller that looks at thousands of files and needs no three date-times of each.
    bool readEarliest(const QString& dir, const QString& name, qint64& seconds);
    bool write(const QString& dir, const QString& name, const QDateTime& created,
               const QDateTime& accessed, const QDateTime& written, bool* outOfRange = nullptr);

    // From now on each write first notes the file's old times in the run's journal, so
    // that they can be put back (null: no notes).
    void noteChangesIn(UndoJournalWriter* journal) { journal_ = journal; }

private:
    struct Folder;
    std::unique_ptr<Folder> folder_;
    UndoJournalWriter* journal_ = nullptr;
};

// The local date-time of a calendar date and clock time, with the offset in force on that
// date. Cheaper than QDateTime's own local-time conversion, which the date tools would
// otherwise pay once for every file. A clock time that falls into the hour skipped when
// daylight saving starts moves forward by that hour.
QDateTime localDateTime(const QDate& date, const QTime& time);

// The local date-time of a moment given in seconds since 1970, with the offset in force at
// that moment: how ReadFileTimes reports its stamps.
QDateTime localFromSeconds(qint64 seconds);

}  // namespace kadrano
