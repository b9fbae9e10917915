#include "fileops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace kadrano::batch {

int RenameNoReplace(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    const int e = errno;
    // Some network and FUSE file systems do not know the flag.
    if (e == EINVAL || e == ENOSYS || e == ENOTSUP)
        return RenameWithoutNoReplaceFlag(from, to);
    return e;
}

int RenameWithoutNoReplaceFlag(const char* from, const char* to) {
    if (::link(from, to) == 0) {
        if (::unlink(from) == 0)
            return 0;
        const int e = errno;
        ::unlink(to);
        return e;
    }
    const int linkError = errno;
    // EPERM: a folder, or a file system without hard links.
    if (linkError != EPERM && linkError != ENOTSUP && linkError != EMLINK)
        return linkError;
    struct stat st;
    if (::lstat(from, &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode)) {
        // A folder may replace an empty folder: one we just made under the new name, which
        // fails if that name is taken.
        if (::mkdir(to, 0700) != 0)
            return errno;
    } else {
        const int fd = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno;
        ::close(fd);
    }
    if (::rename(from, to) == 0)
        return 0;
    const int e = errno;
    if (S_ISDIR(st.st_mode)) {
        ::rmdir(to);
    } else {
        ::unlink(to);
    }
    return e;
}

int RemoveOneFile(const char* path) {
    struct stat st;
    if (::lstat(path, &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    // Root may write anything, so the mode bits stand for the read-only attribute too.
    if (!S_ISLNK(st.st_mode) &&
        ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) != 0))
        return EACCES;
    if (::unlink(path) != 0)
        return errno;
    return 0;
}

int MakeFolderPath(const char* path) {
    if (::mkdir(path, 0777) == 0)
        return 0;
    if (errno != ENOENT)
        return errno;
    std::string partial(path);
    for (size_t i = 1; i < partial.size(); ++i) {
        if (partial[i] != '/')
            continue;
        partial[i] = '\0';
        if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
            return errno;
        partial[i] = '/';
    }
    if (::mkdir(path, 0777) != 0)
        return errno;
    return 0;
}

}  // namespace kadrano::batch
