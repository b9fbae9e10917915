// File times on POSIX systems. Linux keeps a birth time on most file systems (statx) but
// has no call that sets it; utimensat sets access and modification time only.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <ctime>

#include "core/undojournal.h"
#include "filedate.h"

namespace kadrano {

namespace {

// The offset from UTC in force at a moment. localtime_r reads the zone rules once;
// QDateTime's local-time path re-checks the zone file on every call (a system call per
// stamp, several times the cost of reading the stamp itself).
int offsetAt(qint64 utcSeconds) {
    const time_t t = time_t(utcSeconds);
    struct tm parts {};
    if (!localtime_r(&t, &parts))
        return 0;
    return int(parts.tm_gmtoff);
}

QDateTime localTimeOfSeconds(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::OffsetFromUTC, offsetAt(seconds));
}

// Seconds since 1970 of a clock reading taken as if it were UTC.
qint64 fieldsAsUtc(const QDate& date, const QTime& time) {
    constexpr qint64 kJulianDay1970 = 2440588;
    return (date.toJulianDay() - kJulianDay1970) * 86400 + time.hour() * 3600 + time.minute() * 60 +
           time.second();
}

bool secondsFromLocal(const QDateTime& value, qint64& seconds) {
    if (!value.isValid())
        return false;
    if (value.timeSpec() == Qt::LocalTime) {
        seconds = localDateTime(value.date(), value.time()).toSecsSinceEpoch();
        return true;
    }
    // A value that carries its offset already names one moment; only the fraction goes.
    const qint64 ms = value.toMSecsSinceEpoch();
    seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    return true;
}

// Read-only as a person means it: no write permission in the mode for the user who runs
// the program. The administrator may write any file and set the times of any file, so
// it is judged by the owner's bit.
bool modeAllowsWriting(const struct stat& st) {
    // Asked once: the program never changes its user, and each question is a system call.
    static const uid_t me = geteuid();
    static const gid_t myGroup = getegid();
    if (me == 0 || me == st.st_uid)
        return (st.st_mode & S_IWUSR) != 0;
    if (myGroup == st.st_gid)
        return (st.st_mode & S_IWGRP) != 0;
    return (st.st_mode & S_IWOTH) != 0;
}

}  // namespace

QDateTime localFromSeconds(qint64 seconds) {
    return localTimeOfSeconds(seconds);
}

QDateTime localDateTime(const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    const QTime whole(time.hour(), time.minute(), time.second());
    const qint64 asUtc = fieldsAsUtc(date, whole);
    // The offset at the moment the clock reading names; two steps settle it on either
    // side of a change.
    qint64 seconds = asUtc - offsetAt(asUtc);
    seconds = asUtc - offsetAt(seconds);
    return localTimeOfSeconds(seconds);
}

namespace {

// The three stamps in seconds, creation already capped at the last write.
bool statAt(int dirFd, const char* path, qint64& created, qint64& accessed, qint64& written) {
    struct statx sx {};
    if (statx(dirFd, path, AT_STATX_SYNC_AS_STAT,
              STATX_TYPE | STATX_ATIME | STATX_MTIME | STATX_BTIME, &sx) != 0)
        return false;
    if (!(sx.stx_mask & STATX_TYPE) || !S_ISREG(sx.stx_mode))
        return false;
    written = sx.stx_mtime.tv_sec;
    accessed = sx.stx_atime.tv_sec;
    // Without a birth time the last write is the earliest the file can be said to exist.
    created = written;
    if ((sx.stx_mask & STATX_BTIME) && sx.stx_btime.tv_sec < written)
        created = sx.stx_btime.tv_sec;
    return true;
}

bool readAt(int dirFd, const char* path, FileTimes& times) {
    qint64 created = 0, accessed = 0, written = 0;
    if (!statAt(dirFd, path, created, accessed, written))
        return false;
    times.written = localTimeOfSeconds(written);
    times.accessed = accessed == written ? times.written : localTimeOfSeconds(accessed);
    times.created = created == written ? times.written : localTimeOfSeconds(created);
    return true;
}

bool readEarliestAt(int dirFd, const char* path, qint64& seconds) {
    qint64 created = 0, accessed = 0, written = 0;
    if (!statAt(dirFd, path, created, accessed, written))
        return false;
    seconds = std::min({created, accessed, written});
    return true;
}

// Every file system a picture lives on holds these dates exactly (FAT begins in 1980,
// signed 32-bit seconds end in January 2038); only a date outside them is read back.
constexpr qint64 kSurelyHeldFrom = 315532800;  // 1980-01-01 UTC
constexpr qint64 kSurelyHeldUntil = 2147483647;

// The file as the undo journal notes it, from the stat the write makes anyway.
FileStamp stampOf(const struct stat& st) {
    FileStamp s;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    s.atimeNs = qint64(st.st_atim.tv_sec) * 1000000000LL + st.st_atim.tv_nsec;
    return s;
}

// journal, when given, notes the old times under fullPath before they are overwritten.
bool writeAt(int dirFd, const char* path, const QDateTime& created, const QDateTime& accessed,
             const QDateTime& written, bool* outOfRange, UndoJournalWriter* journal = nullptr,
             const QString& fullPath = QString()) {
    if (outOfRange)
        *outOfRange = false;
    qint64 a = 0, w = 0, c = 0;
    // The creation value cannot be stored here, but a caller that passes none has made
    // a mistake all the same.
    if (!secondsFromLocal(created, c) || !secondsFromLocal(accessed, a) ||
        !secondsFromLocal(written, w))
        return false;

    struct stat st {};
    if (fstatat(dirFd, path, &st, 0) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (!modeAllowsWriting(st))
        return false;
    if (journal)
        journal->timesChanging(fullPath, stampOf(st), a * 1000000000LL, w * 1000000000LL);

    struct timespec stamps[2];
    stamps[0].tv_sec = time_t(a);
    stamps[0].tv_nsec = 0;
    stamps[1].tv_sec = time_t(w);
    stamps[1].tv_nsec = 0;
    if (utimensat(dirFd, path, stamps, 0) != 0)
        return false;
    if (w >= kSurelyHeldFrom && w <= kSurelyHeldUntil)
        return true;
    // The file system keeps the nearest date it can hold (9999 becomes 2446 on ext4) and
    // says nothing. The last write is what the date tools read; the access time is held
    // to the day only on some file systems, so it is not compared.
    struct stat back {};
    if (fstatat(dirFd, path, &back, 0) == 0 && back.st_mtim.tv_sec == time_t(w) &&
        back.st_mtim.tv_nsec == 0)
        return true;
    const struct timespec before[2] = {st.st_atim, st.st_mtim};
    utimensat(dirFd, path, before, 0);
    if (outOfRange)
        *outOfRange = true;
    return false;
}

}  // namespace

bool ReadFileTimes(const QString& path, FileTimes& times) {
    return readAt(AT_FDCWD, QFile::encodeName(path).constData(), times);
}

bool WriteFileTimes(const QString& path, const QDateTime& created, const QDateTime& accessed,
                    const QDateTime& written, bool* outOfRange) {
    return writeAt(AT_FDCWD, QFile::encodeName(path).constData(), created, accessed, written,
                   outOfRange);
}

struct FileTimesBatch::Folder {
    QString dir;
    int fd = -1;  // -1 with a dir set: the folder could not be opened

    ~Folder() { close(); }
    void close() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    // The open folder for dir, or -1.
    int open(const QString& wanted) {
        if (wanted == dir && !dir.isEmpty())
            return fd;
        close();
        dir = wanted;
        fd = ::open(QFile::encodeName(dir).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        return fd;
    }
};

FileTimesBatch::FileTimesBatch() : folder_(std::make_unique<Folder>()) {}
FileTimesBatch::~FileTimesBatch() = default;

bool FileTimesBatch::read(const QString& dir, const QString& name, FileTimes& times) {
    // A name with a separator is no name in this folder; take the long way.
    if (name.isEmpty() || name.contains(u'/'))
        return ReadFileTimes(dir + name, times);
    const int fd = folder_->open(dir);
    if (fd < 0)
        return false;
    return readAt(fd, QFile::encodeName(name).constData(), times);
}

bool FileTimesBatch::readEarliest(const QString& dir, const QString& name, qint64& seconds) {
    if (name.isEmpty() || name.contains(u'/')) {
        FileTimes times;
        if (!ReadFileTimes(dir + name, times))
            return false;
        seconds = times.earliest().toSecsSinceEpoch();
        return true;
    }
    const int fd = folder_->open(dir);
    if (fd < 0)
        return false;
    return readEarliestAt(fd, QFile::encodeName(name).constData(), seconds);
}

bool FileTimesBatch::write(const QString& dir, const QString& name, const QDateTime& created,
                           const QDateTime& accessed, const QDateTime& written, bool* outOfRange) {
    if (name.isEmpty() || name.contains(u'/'))
        return writeAt(AT_FDCWD, QFile::encodeName(dir + name).constData(), created, accessed,
                       written, outOfRange, journal_, dir + name);
    if (outOfRange)
        *outOfRange = false;
    const int fd = folder_->open(dir);
    if (fd < 0)
        return false;
    return writeAt(fd, QFile::encodeName(name).constData(), created, accessed, written, outOfRange,
                   journal_, journal_ ? dir + name : QString());
}

}  // namespace kadrano
