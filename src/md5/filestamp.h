#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace kadrano {

// What the file system says about a file without reading it: enough to tell that a digest
// made earlier still belongs to its bytes. The change time is set by the system on every
// write, rename of the content or change of the other stamps, and no program can set it
// back; a rewrite that puts the modification time back still changes it.
struct ContentStamp {
    bool valid = false;
    quint64 device = 0;  // the volume as the system numbers it while it is mounted
    quint64 inode = 0;   // the file on it
    qint64 size = 0;
    qint64 mtimeNs = 0;  // last write, nanoseconds since 1970
    qint64 ctimeNs = 0;  // last change of content or stamps, nanoseconds since 1970
};

// The stamp of the file a path leads to (links followed); not valid when it cannot be read.
ContentStamp stampOfPath(const QString& path);

// The device of whatever the path names (a folder too); nothing when it cannot be asked.
std::optional<quint64> deviceOfPath(const QString& path);

// A volume as it is known from one mount to the next.
struct VolumeInfo {
    // A name that stays when the volume is unplugged and plugged in again (its file
    // system's serial or UUID where the system tells it, else the device number).
    QString name;
    // Whether a file keeps its inode number across a remount. FAT and exFAT memory
    // cards and FUSE volumes hand out new numbers on every mount, so there a file is
    // known by its path.
    bool stableInodes = true;
};

// The volume of the given device, asked through a path on it.
VolumeInfo describeVolume(const QString& pathOnIt, quint64 device);

}  // namespace kadrano
