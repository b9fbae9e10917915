#pragma once

#include <QString>
#include <QtGlobal>

namespace kadrano {

// What a path names on the disk. Two names with the same device and inode are one file
// (hard links, or a symbolic link and its target), never two copies of a picture.
struct FileIdentity {
    bool found = false;   // the path leads to an existing file (links followed)
    bool isLink = false;  // the name itself is a symbolic link (or a shortcut)
    quint64 device = 0;   // the volume
    quint64 inode = 0;    // the file on it, for a link the file it leads to

    bool sameFileAs(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
};

FileIdentity identifyFile(const QString& path);

}  // namespace kadrano
