#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "filestamp.h"

class QFile;

namespace kadrano {

// A file read front to back in plain reads, without a buffer of its own: the digests hold
// exactly one chunk of their own per file.
class FileReader {
public:
    FileReader();
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool open(const QString& path);
    // Up to size bytes; 0 at the end of the file, -1 when the file cannot be read.
    std::int64_t read(std::uint8_t* into, std::size_t size);
    void close();
    // The stamp of the file as opened (filestamp_posix.cpp, filestamp_win.cpp). Taken before
    // the first read: a change while the file is read leaves the stamp behind the file, so
    // the next search digests it again.
    ContentStamp stamp() const;

private:
    // The platform's part (filereader_posix.cpp, filereader_win.cpp) uses one of the two.
    int fd_ = -1;
    std::unique_ptr<QFile> file_;
};

}  // namespace kadrano
