#include <QFile>

#include "filereader.h"

namespace kadrano {

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

}  // namespace kadrano
