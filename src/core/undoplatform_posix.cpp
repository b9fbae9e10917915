// The undo journal on POSIX systems: identity and times from lstat, exact times through
// utimensat, durability through fsync, the journals in the XDG state folder.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "undoplatform.h"

namespace kadrano {

namespace {

constexpr qint64 kNsPerSecond = 1000000000LL;

qint64 nanosecondsOf(const struct timespec& t) {
    return qint64(t.tv_sec) * kNsPerSecond + qint64(t.tv_nsec);
}

struct timespec timespecOf(qint64 ns) {
    struct timespec t {};
    qint64 seconds = ns / kNsPerSecond;
    qint64 rest = ns % kNsPerSecond;
    if (rest < 0) {  // a time before 1970
        rest += kNsPerSecond;
        --seconds;
    }
    t.tv_sec = time_t(seconds);
    t.tv_nsec = long(rest);
    return t;
}

}  // namespace

std::optional<FileStamp> ReadFileStamp(const QString& path) {
    struct stat st {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    FileStamp s;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.mtimeNs = nanosecondsOf(st.st_mtim);
    s.atimeNs = nanosecondsOf(st.st_atim);
    return s;
}

bool KeepsInodeNumbers(const QString& folder) {
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return true;
    switch (quint32(fs.f_type)) {
        case 0x4d44u:      // MSDOS_SUPER_MAGIC: FAT12/16/32, vfat
        case 0x2011BAB0u:  // EXFAT_SUPER_MAGIC
        case 0x65735546u:  // FUSE_SUPER_MAGIC: exfat-fuse and others
            return false;
        default:
            return true;
    }
}

bool SetFileStampTimes(const QString& path, qint64 atimeNs, qint64 mtimeNs) {
    const struct timespec times[2] = {timespecOf(atimeNs), timespecOf(mtimeNs)};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) ==
           0;
}

bool SyncFileToDisk(QFile& file) {
    const int fd = file.handle();
    return fd >= 0 && ::fsync(fd) == 0;
}

QString DefaultUndoFolder() {
    // Only an absolute path counts, as the XDG rules say; a relative one is ignored.
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(base + QStringLiteral("/Kadrano/undo"));
}

}  // namespace kadrano
