// The undo journal on Windows: identity from the volume serial and file index, times as
// FILETIME (100 ns steps), durability through FlushFileBuffers, the journals in the
// program's local application data.

#include <io.h>
#include <windows.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "undoplatform.h"

namespace kadrano {

namespace {

// FILETIME counts 100 ns steps since 1601-01-01 UTC.
constexpr qint64 kEpochOffsetTicks = 116444736000000000LL;

qint64 nanosecondsOf(const FILETIME& ft) {
    const qint64 ticks = (qint64(ft.dwHighDateTime) << 32) | qint64(ft.dwLowDateTime);
    return (ticks - kEpochOffsetTicks) * 100;
}

FILETIME fileTimeOf(qint64 ns) {
    const qint64 ticks = ns / 100 + kEpochOffsetTicks;
    FILETIME ft;
    ft.dwLowDateTime = DWORD(ticks & 0xFFFFFFFF);
    ft.dwHighDateTime = DWORD(quint64(ticks) >> 32);
    return ft;
}

HANDLE openEntry(const QString& path, DWORD access) {
    const QString native = QDir::toNativeSeparators(path);
    return ::CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                         nullptr);
}

}  // namespace

std::optional<FileStamp> ReadFileStamp(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    const HANDLE h = openEntry(path, 0);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!ok)
        return std::nullopt;
    FileStamp s;
    s.device = info.dwVolumeSerialNumber;
    s.inode = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    s.size = (qint64(info.nFileSizeHigh) << 32) | qint64(info.nFileSizeLow);
    s.mtimeNs = nanosecondsOf(info.ftLastWriteTime);
    s.atimeNs = nanosecondsOf(info.ftLastAccessTime);
    return s;
}

bool KeepsInodeNumbers(const QString& folder) {
    // NTFS and ReFS keep a file's index; FAT and exFAT derive it from the entry's place.
    const QString native = QDir::toNativeSeparators(QDir(folder).absolutePath());
    wchar_t volume[MAX_PATH + 1] = {};
    wchar_t system[MAX_PATH + 1] = {};
    if (!::GetVolumePathNameW(reinterpret_cast<LPCWSTR>(native.utf16()), volume, MAX_PATH) ||
        !::GetVolumeInformationW(volume, nullptr, 0, nullptr, nullptr, nullptr, system, MAX_PATH))
        return true;
    const QString name = QString::fromWCharArray(system);
    return !name.startsWith(QLatin1String("FAT"), Qt::CaseInsensitive) &&
           name.compare(QLatin1String("exFAT"), Qt::CaseInsensitive) != 0;
}

bool SetFileStampTimes(const QString& path, qint64 atimeNs, qint64 mtimeNs) {
    const HANDLE h = openEntry(path, FILE_WRITE_ATTRIBUTES);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const FILETIME accessed = fileTimeOf(atimeNs);
    const FILETIME written = fileTimeOf(mtimeNs);
    const bool ok = ::SetFileTime(h, nullptr, &accessed, &written) != 0;
    ::CloseHandle(h);
    return ok;
}

bool SyncFileToDisk(QFile& file) {
    // A file Qt opened by its name may have no C library descriptor; what was written is
    // with the system then, which keeps it when the program is killed.
    const int fd = file.handle();
    if (fd < 0)
        return true;
    const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    return h != INVALID_HANDLE_VALUE && ::FlushFileBuffers(h) != 0;
}

QString DefaultUndoFolder() {
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                           QStringLiteral("/undo"));
}

}  // namespace kadrano
