// File times on POSIX systems. Linux keeps a birth time on most file systems (statx) but
// has no call that sets it; utimensat sets access and modification time only.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "filedate.h"

namespace kadrano {

namespace {

QDateTime localFromSeconds(qint64 seconds) {
    // QDateTime applies the zone rules of that moment, not today's offset.
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
}

bool secondsFromLocal(const QDateTime& value, qint64& seconds) {
    if (!value.isValid())
        return false;
    QDateTime whole = value;
    const QTime t = value.time();
    whole.setTime(QTime(t.hour(), t.minute(), t.second()));
    if (!whole.isValid())
        return false;
    seconds = whole.toSecsSinceEpoch();
    return true;
}

}  // namespace

bool ReadFileTimes(const QString& path, FileTimes& times) {
    const QByteArray native = QFile::encodeName(path);
    struct statx sx {};
    if (statx(AT_FDCWD, native.constData(), AT_STATX_SYNC_AS_STAT,
              STATX_TYPE | STATX_ATIME | STATX_MTIME | STATX_BTIME, &sx) != 0)
        return false;
    if (!(sx.stx_mask & STATX_TYPE) || !S_ISREG(sx.stx_mode))
        return false;
    const qint64 written = sx.stx_mtime.tv_sec;
    const qint64 accessed = sx.stx_atime.tv_sec;
    // Without a birth time the last write is the earliest the file can be said to exist.
    qint64 created = written;
    if ((sx.stx_mask & STATX_BTIME) && sx.stx_btime.tv_sec < written)
        created = sx.stx_btime.tv_sec;
    times.created = localFromSeconds(created);
    times.accessed = localFromSeconds(accessed);
    times.written = localFromSeconds(written);
    return true;
}

bool WriteFileTimes(const QString& path, const QDateTime& created, const QDateTime& accessed,
                    const QDateTime& written) {
    qint64 a = 0, w = 0, c = 0;
    // The creation value cannot be stored here, but a caller that passes none has made
    // a mistake all the same.
    if (!secondsFromLocal(created, c) || !secondsFromLocal(accessed, a) ||
        !secondsFromLocal(written, w))
        return false;

    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // A read-only file keeps its times, as it would on Windows. The administrator may
    // change the times of any file, so the mode bits are checked, not only access().
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    if (faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0)
        return false;

    struct timespec stamps[2];
    stamps[0].tv_sec = time_t(a);
    stamps[0].tv_nsec = 0;
    stamps[1].tv_sec = time_t(w);
    stamps[1].tv_nsec = 0;
    return utimensat(AT_FDCWD, native.constData(), stamps, 0) == 0;
}

}  // namespace kadrano
