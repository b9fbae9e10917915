#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

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

private:
    // The platform's part (filereader_posix.cpp, filereader_win.cpp) uses one of the two.
    int fd_ = -1;
    std::unique_ptr<QFile> file_;
};

}  // namespace kadrano
