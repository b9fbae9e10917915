#include "mtimekeeper.h"

#include <QFile>
#include <algorithm>

#ifdef Q_OS_WIN
#include <QDateTime>
#include <QFileInfo>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace kadrano {

namespace {

struct FileTime {
    qint64 seconds = 0;
    qint64 nanoseconds = 0;
};

#ifdef Q_OS_WIN

bool readModificationTime(const QString& path, FileTime& t) {
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const qint64 ms = info.lastModified().toMSecsSinceEpoch();
    t.seconds = ms / 1000;
    t.nanoseconds = (ms % 1000) * 1000000;
    return true;
}

bool writeModificationTime(const QString& path, const FileTime& t) {
    QFile file(path);
    // Setting a file time needs an open handle with write access to the attributes.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    return file.setFileTime(
        QDateTime::fromMSecsSinceEpoch(t.seconds * 1000 + t.nanoseconds / 1000000),
        QFileDevice::FileModificationTime);
}

#else

// Nanoseconds are kept as they were: a time read back must compare equal to the original.
bool readModificationTime(const QString& path, FileTime& t) {
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    t.seconds = st.st_mtim.tv_sec;
    t.nanoseconds = st.st_mtim.tv_nsec;
    return true;
}

bool writeModificationTime(const QString& path, const FileTime& t) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(t.seconds);
    times[1].tv_nsec = long(t.nanoseconds);
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

#endif

}  // namespace

MtimeKeeper::FileState MtimeKeeper::stateOf(const QString& path) {
    FileState s;
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.exists())
        return s;
    s.exists = true;
    s.size = info.size();
    s.seconds = info.lastModified().toMSecsSinceEpoch();
#else
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = st.st_size;
    s.seconds = st.st_mtim.tv_sec;
    s.nanoseconds = st.st_mtim.tv_nsec;
#endif
    return s;
}

void MtimeKeeper::keep(const QString& source, const QString& target) {
    FileTime t;
    const bool remembered = readModificationTime(source, t);
    entries_.push_back({source, target, remembered, t.seconds, t.nanoseconds, stateOf(target)});
}

int MtimeKeeper::size() const {
    return int(std::count_if(entries_.begin(), entries_.end(),
                             [](const Entry& e) { return e.remembered; }));
}

QStringList MtimeKeeper::writtenSources() const {
    QStringList out;
    for (const Entry& e : entries_)
        if (e.written)
            out.append(e.source);
    return out;
}

QStringList MtimeKeeper::unchangedSources() const {
    QStringList out;
    for (const Entry& e : entries_)
        if (!e.written)
            out.append(e.source);
    return out;
}

int MtimeKeeper::restore() {
    int set = 0;
    for (Entry& e : entries_) {
        const FileState after = stateOf(e.target);
        e.written = after.exists && !(after == e.before);
        if (!e.remembered)
            continue;
        FileTime now;
        if (!readModificationTime(e.target, now))
            continue;
        if (now.seconds == e.seconds && now.nanoseconds == e.nanoseconds)
            continue;
        if (writeModificationTime(e.target, {e.seconds, e.nanoseconds}))
            ++set;
    }
    return set;
}

}  // namespace kadrano
