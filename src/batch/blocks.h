#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>

#include "command.h"

namespace kadrano::batch {

// The tools' ImageMagick scripts are a row of blocks, one per picture: a progress line
// ("@Echo #####  4%% - Verb.: …"), the picture's ImageMagick line and the "if" lines that
// act on its outcome. Blocks whose files are apart may run side by side; every other line
// waits for all before it and runs alone.
enum class LineRole {
    Nothing,   // an empty line or a label: no effect at all
    Progress,  // starts a block
    Member,    // belongs to the block it follows (alone it runs like a barrier)
    Barrier,
};

// What the line (as read, before expansion: rawLine) is to a block. A line that names the
// error level as a variable is always a barrier, so it sees the level the lines before it
// left, in their order.
LineRole roleOf(const Command& c, QStringView rawLine);

// Whether the command tests the error level (in an "if", at any depth).
bool testsErrorLevel(const Command& c);
// Whether the command runs an ImageMagick program, or may (in an "if" branch).
bool mayRunProgram(const Command& c);

// The files the lines of one block may read and write, each under every name that can
// stand for it: the path as written made absolute against the current folder, the same
// with its folder's links resolved, and, for a file that exists, its device and inode (a
// hard link or a link to it is the same file). Names are compared without regard to case,
// as a memory card's file system does. Two blocks meet when one may write a file the other
// names.
class BlockFiles {
public:
    void clear();
    bool isEmpty() const { return names_.isEmpty(); }
    bool meets(const BlockFiles& other) const;

private:
    friend class BlockFileNamer;
    QSet<QString> names_;   // every file named, read or written
    QSet<QString> writes_;  // those that may be written
};

// Fills BlockFiles for the commands of a block. Keeps the links of folders it resolved
// until forget(), which a barrier calls, as a barrier may rename or make folders.
class BlockFileNamer {
public:
    explicit BlockFileNamer(QString currentDir) : currentDir_(std::move(currentDir)) {}
    void add(const Command& c, BlockFiles& files);
    void forget() { realFolders_.clear(); }

private:
    void addPath(const QString& path, bool written, BlockFiles& files);

    QString currentDir_;
    QHash<QString, QString> realFolders_;
};

}  // namespace kadrano::batch
