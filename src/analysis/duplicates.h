#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <vector>

#include "core/language.h"
#include "core/ownfiles.h"
#include "core/toolsequence.h"
#include "fileidentity.h"

namespace kadrano {

// The duplicate search without any window: checksum list lines in, script lines, counts
// and message texts out.

inline constexpr const char* kChecksumListName = kChecksumListFileName;
inline constexpr const char* kDuplicatesScriptName = kDuplicatesScriptFileName;

// The text of the tool's "?" button.
QString duplicatesInfoText();

// One line of the checksum list: digest ";" full path.
QString checksumEntryLine(const QString& digest, const QString& fullPath);

// A list line taken apart. The digest never holds ";", so the path is everything after
// the first one (a file name may hold ";" itself). A line without ";" has no path.
struct ChecksumEntry {
    QString digest;
    QString path;
};
ChecksumEntry splitChecksumLine(const QString& line);

// The entry lines of a checksum list file as written: the two header lines are skipped.
QStringList checksumEntryLines(const QByteArray& listFile);

// Ascending by UTF-16 code units (upper case before lower case, a blank before a point),
// never by the locale: which copy survives must not depend on the machine's language.
void sortChecksumLines(QStringList& lines);

// Whether the file name already starts with the mark tag (an empty tag marks nothing).
bool carriesTag(const QString& path, const QString& tag);

// A surplus copy and the copy of its group that stays.
struct DuplicatePair {
    QString surplus;
    QString kept;
};

// Looks a path up on the disk (identifyFile; tests give their own).
using FileIdentifier = std::function<FileIdentity(const QString& path)>;

// The surplus copies of the sorted list, in list order. Lines with equal digests form a
// group; in it only real, distinct files count: a symbolic link is neither removed nor
// counted as the copy that stays, and further names of one file (hard links, a file
// reached twice) count once. One file of the group stays: one whose name does not carry
// the tag, before that one a link leads to, and among equals the path that sorts last.
// Every other file of the group is a surplus copy, named once by its best name.
std::vector<DuplicatePair> findDuplicatePairs(const QStringList& sortedLines, const QString& tag,
                                              const FileIdentifier& identify);

// The script lines for the surplus copies (without header and "pause").
struct DuplicateScript {
    QStringList lines;
    int count = 0;    // pairs written: the j of the last echo line
    int skipped = 0;  // pairs left out because a name cannot stand in a script line
};

// Writes two lines per pair: an echo with the running number, then the rename that puts
// tag in front of the surplus copy's name, or its deletion. A name that carries the tag
// already is marked and left as it is. afterPair is called after each pair written with
// the count so far; returning false ends the walk there.
DuplicateScript planDuplicateScript(const std::vector<DuplicatePair>& pairs, const QString& tag,
                                    bool deleteCopies,
                                    const std::function<bool(int count)>& afterPair = {});

// The question after the script is written.
Question duplicatesQuestion(int count, const QString& scriptPath);

// Progress of the digest loop: file k of n (the status counts to n + 1, as the
// remaining-time display of the other loops does).
QString hashingCaption(Language lang, int k, int n);
QString hashingStatus(Language lang, const QString& timeLeft, int k, int n);

// The caption while the digests are made, with the time of day as the system writes it.
QString hashingStartCaption(const QTime& now);

}  // namespace kadrano
