#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kadrano {

// Keeps the picture date of files that a script rewrites. A frame sorts by modification
// time and the date tools read it, so a resize or a turn must not turn it into "now".
// Times are remembered right before the run and given back after it.
class MtimeKeeper {
public:
    // Remembers the modification time of source now; restore() gives it to target: the same
    // file when it is rewritten in place, the new file when it is converted. A source that
    // does not exist is not remembered.
    void keep(const QString& source, const QString& target);
    void keep(const QString& path) { keep(path, path); }

    // Every remembered target that exists and whose time differs gets the remembered time
    // back (the access time is left as it is). Returns how many files were set.
    int restore();

    int size() const;

    // Known after restore(), for every keep() in its order, by its source: whether the run
    // wrote its target (a new file, or new contents or another file under its name), or
    // left it as it was.
    QStringList writtenSources() const;
    QStringList unchangedSources() const;

private:
    // What tells a file from the one that was there before: the interpreter replaces a
    // picture by a new file (another inode) with the old date; a program that writes in
    // place changes size or date.
    struct FileState {
        bool exists = false;
        quint64 device = 0, inode = 0;
        qint64 size = 0, seconds = 0, nanoseconds = 0;
        bool operator==(const FileState&) const = default;
    };
    static FileState stateOf(const QString& path);

    struct Entry {
        QString source;
        QString target;
        bool remembered;  // the source existed: its time goes to the target
        qint64 seconds;
        qint64 nanoseconds;
        FileState before;
        bool written = false;
    };
    std::vector<Entry> entries_;
};

}  // namespace kadrano
