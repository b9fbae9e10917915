#include <io.h>
#include <windows.h>

#include <QDir>
#include <QFile>

#include "filereader.h"
#include "filestamp.h"

namespace kadrano {

namespace {

// Windows counts in 100-nanosecond steps from 1601; the stamps count nanoseconds from 1970.
qint64 nanosecondsSince1970(const LARGE_INTEGER& t) {
    constexpr qint64 k1601To1970 = 116444736000000000LL;
    return (t.QuadPart - k1601To1970) * 100;
}

ContentStamp stampOfHandle(HANDLE h) {
    ContentStamp stamp;
    BY_HANDLE_FILE_INFORMATION id;
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    if (!::GetFileInformationByHandle(h, &id) ||
        !::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof(basic)) ||
        !::GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof(standard)) ||
        standard.Directory)
        return stamp;
    stamp.valid = true;
    stamp.device = id.dwVolumeSerialNumber;
    stamp.inode = (quint64(id.nFileIndexHigh) << 32) | id.nFileIndexLow;
    stamp.size = standard.EndOfFile.QuadPart;
    stamp.mtimeNs = nanosecondsSince1970(basic.LastWriteTime);
    stamp.ctimeNs = nanosecondsSince1970(basic.ChangeTime);
    return stamp;
}

}  // namespace

ContentStamp stampOfPath(const QString& path) {
    if (path.isEmpty())
        return {};
    const QString native = QDir::toNativeSeparators(path);
    const HANDLE h = ::CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    const ContentStamp stamp = stampOfHandle(h);
    ::CloseHandle(h);
    return stamp;
}

ContentStamp FileReader::stamp() const {
    if (!file_)
        return {};
    const auto h = reinterpret_cast<HANDLE>(::_get_osfhandle(file_->handle()));
    if (h == INVALID_HANDLE_VALUE)
        return {};
    return stampOfHandle(h);
}

std::optional<quint64> deviceOfPath(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    const QString native = QDir::toNativeSeparators(path);
    // Backup semantics open folders too.
    const HANDLE h = ::CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION id;
    const bool ok = ::GetFileInformationByHandle(h, &id) != 0;
    ::CloseHandle(h);
    if (!ok)
        return std::nullopt;
    return quint64(id.dwVolumeSerialNumber);
}

VolumeInfo describeVolume(const QString& pathOnIt, quint64 device) {
    VolumeInfo info;
    // The serial is written when the volume is formatted and travels with a card.
    info.name = QStringLiteral("vol:%1").arg(device, 8, 16, QLatin1Char('0'));
    wchar_t root[MAX_PATH + 1];
    wchar_t fileSystem[MAX_PATH + 1];
    const QString native = QDir::toNativeSeparators(pathOnIt);
    if (::GetVolumePathNameW(reinterpret_cast<LPCWSTR>(native.utf16()), root, MAX_PATH + 1) &&
        ::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                MAX_PATH + 1)) {
        // FAT numbers a file by the place of its directory entry, which a rename moves.
        const QString type = QString::fromWCharArray(fileSystem);
        info.stableInodes = type == QLatin1String("NTFS") || type == QLatin1String("ReFS");
    }
    return info;
}

}  // namespace kadrano
