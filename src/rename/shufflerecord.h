#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "core/filelist.h"

namespace kadrano {

// A shuffled name is four digits, the separator and the old name; so is "2019-07-21
// Strand.jpg" with the separator "-". Only the shuffle knows which names it gave, so it
// notes them in a small file in each folder it renames in, and the restore takes the
// number off those names only.

// What a folder's record says about one name.
enum class ShuffleRecordSays {
    NoRecord,  // the folder has no (readable) record
    Given,     // a shuffle gave this name
    NotGiven,  // the folder has a record, and this name is not in it
};

// The records of a set of folders, read once.
class ShuffleRecords {
public:
    // Reads the record of every folder the files lie in.
    static ShuffleRecords readFor(const FileList& files);

    // Sets what a folder's record holds (as reading it would).
    void set(const QString& dir, QSet<QString> names) { byDir_.insert(dir, std::move(names)); }
    ShuffleRecordSays about(const QString& dir, const QString& name) const;

private:
    QHash<QString, QSet<QString>> byDir_;
};

// The record file of a folder (dir ends in a separator).
QString shuffleRecordPath(const QString& dir);

// The file's text: a first line that says what the file is, then one name per line
// (UTF-8, LF; a name that could hold a line break never reaches a script or a record).
QByteArray shuffleRecordText(const QStringList& names);
// The names in a record text; nothing when the text is not a record.
std::optional<QStringList> parseShuffleRecord(const QByteArray& text);
// Reads a folder's record. Only a regular file of sane size is read: a pipe or a device
// under that name must not freeze or flood the program.
std::optional<QStringList> readShuffleRecord(const QString& dir);

// Notes the names a shuffle is about to give (file index, new name) in the records of
// their folders. A record keeps the names of earlier shuffles that are still in its
// folder (after "5678#0434#a.jpg" is restored, "0434#a.jpg" is restored by the next
// click); names that are gone are dropped. Each record is replaced whole, so a kill
// while writing leaves the old one. Returns the records that could not be written.
QStringList recordGivenNames(const FileList& files,
                             const std::vector<std::pair<int, QString>>& given);

// After a restore: removes the record of each of these folders (ending in a separator) in
// which none of the names it holds is left, so that a memory card keeps none of our
// bookkeeping once nothing on it is shuffled. A record that still names a file stays.
void forgetFinishedRecords(const QStringList& dirs);

}  // namespace kadrano
