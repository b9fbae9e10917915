#pragma once

#include <QString>
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

    int size() const { return int(entries_.size()); }

private:
    struct Entry {
        QString target;
        qint64 seconds;
        qint64 nanoseconds;
    };
    std::vector<Entry> entries_;
};

}  // namespace kadrano
