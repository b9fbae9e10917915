#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "filereader.h"

namespace kadrano {

bool FileReader::open(const QString& path) {
    close();
    if (path.isEmpty())
        return false;
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    // Every byte is read once, front to back: the kernel may read ahead generously.
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

std::int64_t FileReader::read(std::uint8_t* into, std::size_t size) {
    if (fd_ < 0)
        return -1;
    for (;;) {
        const ssize_t got = ::read(fd_, into, size);
        if (got >= 0)
            return got;
        if (errno != EINTR)
            return -1;  // a folder, a vanished network share, a bad sector
    }
}

void FileReader::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

}  // namespace kadrano
