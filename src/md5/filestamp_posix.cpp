#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QFile>
#include <cstring>

#include "filereader.h"
#include "filestamp.h"

#ifdef __linux__
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#endif

namespace kadrano {

namespace {

#ifdef __linux__

ContentStamp stampOfStatx(const struct statx& s) {
    ContentStamp stamp;
    // Without these the stamp could not tell a rewritten file from the one digested.
    constexpr unsigned needed = STATX_INO | STATX_SIZE | STATX_MTIME | STATX_CTIME | STATX_TYPE;
    if ((s.stx_mask & needed) != needed || !S_ISREG(s.stx_mode))
        return stamp;
    stamp.valid = true;
    stamp.device = quint64(makedev(s.stx_dev_major, s.stx_dev_minor));
    stamp.inode = s.stx_ino;
    stamp.size = qint64(s.stx_size);
    stamp.mtimeNs = qint64(s.stx_mtime.tv_sec) * 1000000000 + s.stx_mtime.tv_nsec;
    stamp.ctimeNs = qint64(s.stx_ctime.tv_sec) * 1000000000 + s.stx_ctime.tv_nsec;
    return stamp;
}

// The file system's UUID as udev lists it, for the device the files report.
QString uuidOfDevice(quint64 device) {
    const char* const byUuid = "/dev/disk/by-uuid";
    DIR* dir = ::opendir(byUuid);
    if (!dir)
        return QString();
    QString uuid;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat target;
        const QByteArray link = QByteArray(byUuid) + '/' + entry->d_name;
        if (::stat(link.constData(), &target) == 0 && S_ISBLK(target.st_mode) &&
            quint64(target.st_rdev) == device) {
            uuid = QString::fromLocal8Bit(entry->d_name);
            break;
        }
    }
    ::closedir(dir);
    return uuid;
}

#else

ContentStamp stampOfStat(const struct stat& s) {
    ContentStamp stamp;
    if (!S_ISREG(s.st_mode))
        return stamp;
    stamp.valid = true;
    stamp.device = quint64(s.st_dev);
    stamp.inode = quint64(s.st_ino);
    stamp.size = qint64(s.st_size);
#ifdef __APPLE__
    stamp.mtimeNs = qint64(s.st_mtimespec.tv_sec) * 1000000000 + s.st_mtimespec.tv_nsec;
    stamp.ctimeNs = qint64(s.st_ctimespec.tv_sec) * 1000000000 + s.st_ctimespec.tv_nsec;
#else
    stamp.mtimeNs = qint64(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec;
    stamp.ctimeNs = qint64(s.st_ctim.tv_sec) * 1000000000 + s.st_ctim.tv_nsec;
#endif
    return stamp;
}

#endif

}  // namespace

ContentStamp stampOfPath(const QString& path) {
    if (path.isEmpty())
        return {};
    const QByteArray name = QFile::encodeName(path);
#ifdef __linux__
    struct statx s;
    if (::statx(AT_FDCWD, name.constData(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS, &s) != 0)
        return {};
    return stampOfStatx(s);
#else
    struct stat s;
    if (::stat(name.constData(), &s) != 0)
        return {};
    return stampOfStat(s);
#endif
}

ContentStamp FileReader::stamp() const {
    if (fd_ < 0)
        return {};
#ifdef __linux__
    struct statx s;
    if (::statx(fd_, "", AT_EMPTY_PATH | AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS, &s) != 0)
        return {};
    return stampOfStatx(s);
#else
    struct stat s;
    if (::fstat(fd_, &s) != 0)
        return {};
    return stampOfStat(s);
#endif
}

std::optional<quint64> deviceOfPath(const QString& path) {
    struct stat s;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &s) != 0)
        return std::nullopt;
    return quint64(s.st_dev);
}

VolumeInfo describeVolume(const QString& pathOnIt, quint64 device) {
    VolumeInfo info;
    info.name = QStringLiteral("dev:%1:%2").arg(major(device)).arg(minor(device));
#ifdef __linux__
    const QByteArray name = QFile::encodeName(pathOnIt);
    struct statfs fs;
    if (::statfs(name.constData(), &fs) != 0)
        return info;
    const auto type = static_cast<unsigned long>(fs.f_type);
    const bool fat = type == MSDOS_SUPER_MAGIC;
    info.stableInodes = !(fat || type == EXFAT_SUPER_MAGIC || type == FUSE_SUPER_MAGIC);
    // A card reader gives every card the same device number: the card itself must be
    // told apart. Its serial is written when the card is formatted.
    const QString uuid = uuidOfDevice(device);
    if (!uuid.isEmpty()) {
        info.name = QStringLiteral("uuid:") + uuid;
    } else if (fat) {
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        __u32 serial = 0;
        if (fd >= 0) {
            if (::ioctl(fd, FAT_IOCTL_GET_VOLUME_ID, &serial) == 0)
                info.name = QStringLiteral("fat:%1").arg(serial, 8, 16, QLatin1Char('0'));
            ::close(fd);
        }
    } else if (type == BTRFS_SUPER_MAGIC) {
        // Each sub-volume gets a device number of its own on every boot; its file system
        // id comes from the UUID and the sub-volume and stays.
        int id[2];
        static_assert(sizeof(id) == sizeof(fs.f_fsid));
        std::memcpy(id, &fs.f_fsid, sizeof(id));
        info.name = QStringLiteral("btrfs:%1:%2")
                        .arg(quint32(id[0]), 8, 16, QLatin1Char('0'))
                        .arg(quint32(id[1]), 8, 16, QLatin1Char('0'));
    }
#else
    Q_UNUSED(pathOnIt);
#endif
    return info;
}

}  // namespace kadrano
