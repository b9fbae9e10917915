#include <QFile>
#include <memory>

#include "filereader.h"
#include "md5.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace kadrano {

FileReader::FileReader() = default;
FileReader::~FileReader() {
    close();
}

#ifdef Q_OS_UNIX

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

#else

bool FileReader::open(const QString& path) {
    close();
    if (path.isEmpty())
        return false;
    file_ = std::make_unique<QFile>(path);
    if (file_->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return true;
    file_.reset();
    return false;
}

std::int64_t FileReader::read(std::uint8_t* into, std::size_t size) {
    if (!file_)
        return -1;
    return file_->read(reinterpret_cast<char*>(into), qint64(size));
}

void FileReader::close() {
    file_.reset();
}

#endif

namespace {

// Feeds the whole file to md5 (already initialised). False when the file cannot be
// opened or read, or when the digest is given up.
bool feedFile(clsMD5& md5, const QString& path, const std::atomic<bool>* cancel) {
    FileReader file;
    if (!file.open(path))
        return false;
    const std::unique_ptr<std::uint8_t[]> chunk(new std::uint8_t[kMd5ChunkSize]);
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return false;
        const std::int64_t got = file.read(chunk.get(), kMd5ChunkSize);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        md5.MD5Update(std::size_t(got), chunk.get());
    }
}

}  // namespace

std::optional<QString> GetFileMD5(const QString& path, const std::atomic<bool>* cancel) {
    clsMD5 md5;
    if (!feedFile(md5, path, cancel))
        return std::nullopt;
    md5.MD5Final();
    return md5.GetValues();
}

QString clsMD5::DigestFileToHexStr(const QString& path) {
    MD5Init();
    if (!feedFile(*this, path, nullptr))
        return QString();
    MD5Final();
    return GetValues();
}

}  // namespace kadrano
