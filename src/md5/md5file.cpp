#include <QFile>
#include <memory>

#include "filereader.h"
#include "md5.h"

namespace kadrano {

FileReader::FileReader() = default;
FileReader::~FileReader() {
    close();
}

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
