#include "fileops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace kadrano::batch {

namespace {

std::atomic<bool> forceFallback{false};

// Whether the folder holds an entry spelt exactly so.
bool hasEntry(const std::string& folder, const std::string& name) {
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        return false;
    bool found = false;
    while (const dirent* e = ::readdir(d)) {
        if (name == e->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(d);
    return found;
}

void splitPath(const char* path, std::string& folder, std::string& name) {
    const char* slash = std::strrchr(path, '/');
    if (!slash) {
        folder.assign(".");
        name.assign(path);
    } else {
        folder.assign(path, std::max<size_t>(size_t(slash - path), 1));
        name.assign(slash + 1);
    }
}

// Whether from and to are two entries of one plain file: what a rename by link and
// unlink leaves when it is stopped in between. One entry reached by two spellings (the
// same name, a "./", another case where the file system ignores case) is not two: taking
// away "from" would take away the file.
bool twoNamesOfOneFile(const char* from, const char* to) {
    struct stat a, b;
    if (::lstat(from, &a) != 0 || ::lstat(to, &b) != 0)
        return false;
    if (!S_ISREG(a.st_mode) || !S_ISREG(b.st_mode) || a.st_dev != b.st_dev ||
        a.st_ino != b.st_ino || a.st_nlink < 2)
        return false;
    std::string fromFolder, fromName, toFolder, toName;
    splitPath(from, fromFolder, fromName);
    splitPath(to, toFolder, toName);
    struct stat fa, fb;
    if (::stat(fromFolder.c_str(), &fa) != 0 || ::stat(toFolder.c_str(), &fb) != 0)
        return false;
    if (fa.st_dev != fb.st_dev || fa.st_ino != fb.st_ino)
        return true;  // two folders, two entries
    return fromName != toName && hasEntry(fromFolder, fromName) && hasEntry(fromFolder, toName);
}

// A rename refused because the new name exists: when that name is the file itself under
// a second name, the rename only lacks the removal of the old name.
int finishRename(const char* from, const char* to, int error) {
    if (error != EEXIST || !twoNamesOfOneFile(from, to))
        return error;
    return ::unlink(from) == 0 ? 0 : errno;
}

}  // namespace

void useRenameFallback(bool on) {
    forceFallback = on;
}

int renameNoReplace(const char* from, const char* to) {
    if (forceFallback)
        return renameWithoutNoReplaceFlag(from, to);
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    const int e = errno;
    // Some network and FUSE file systems do not know the flag.
    if (e == EINVAL || e == ENOSYS || e == ENOTSUP)
        return renameWithoutNoReplaceFlag(from, to);
    return finishRename(from, to, e);
}

int renameWithoutNoReplaceFlag(const char* from, const char* to) {
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
        return finishRename(from, to, linkError);
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

int removeOneFile(const char* path) {
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

int makeFolderPath(const char* path) {
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
