#include "fileidentity.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>

#include <QDir>
#include <QFileInfo>
#else
#include <sys/stat.h>
#endif

namespace kadrano {

#ifdef Q_OS_WIN

FileIdentity identifyFile(const QString& path) {
    FileIdentity id;
    id.isLink = QFileInfo(path).isSymLink();
    // Opening follows a symbolic link; the volume serial and file index name the file.
    const QString native = QDir::toNativeSeparators(path);
    const HANDLE h = ::CreateFileW(reinterpret_cast<LPCWSTR>(native.utf16()), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return id;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!ok)
        return id;
    id.found = true;
    id.device = info.dwVolumeSerialNumber;
    id.inode = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return id;
}

#else

FileIdentity identifyFile(const QString& path) {
    FileIdentity id;
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0)
        return id;
    id.isLink = S_ISLNK(st.st_mode);
    if (id.isLink && ::stat(name.constData(), &st) != 0)
        return id;  // a link that leads nowhere
    id.found = true;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    return id;
}

#endif

}  // namespace kadrano
