#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class QFile;

namespace kadrano {

// What the undo journal needs from the platform (undoplatform_posix.cpp and
// undoplatform_win.cpp): which file a name stands for, its times to the last digit, a write
// that survives a crash of the machine, and the folder where the journals are kept.

// One entry of a folder as it is now. Two stamps with the same device and inode are the
// same file; size and modification time tell whether it was changed since.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;  // nanoseconds since 1970 (UTC)
    qint64 atimeNs = 0;

    bool sameFileAs(const FileStamp& other) const {
        return device == other.device && inode == other.inode;
    }
    // The same file with the same size and modification time.
    bool unchangedSince(const FileStamp& other) const {
        return sameFileAs(other) && size == other.size && mtimeNs == other.mtimeNs;
    }
};

// The stamp of the entry itself (a symbolic link is not followed); nothing when the path
// names no entry.
std::optional<FileStamp> ReadFileStamp(const QString& path);

// Whether the file system the folder lies on keeps a file's inode number for good. FAT and
// exFAT (memory cards) number a file by where its entry stands and hand out new numbers after
// the card was taken out, as may file systems in user space; there a file can only be known
// again by its name, size and time.
bool KeepsInodeNumbers(const QString& folder);

// Sets the access and modification times exactly (nanoseconds, where the file system keeps
// them). The entry itself is changed, never the target of a link.
bool SetFileStampTimes(const QString& path, qint64 atimeNs, qint64 mtimeNs);

// Makes what was written to the open file durable before the call returns.
bool SyncFileToDisk(QFile& file);

// The folder of the undo journals when the window is not told another: the user's state
// folder ($XDG_STATE_HOME, else ~/.local/state) with "Kadrano/undo", as the settings live in
// ~/.config/Kadrano; on Windows the program's local application data. Never a picture
// folder: memory cards stay clean.
QString DefaultUndoFolder();

}  // namespace kadrano
