#pragma once

#include <QString>
#include <QStringList>

namespace kadrano {

// The collected files: two parallel sequences, the bare names and the directories that
// hold them (each ending in a separator). Position i's full path is FileDirs[i] + FileNames[i].
struct FileList {
    QStringList FileNames;
    QStringList FileDirs;

    int count() const { return int(FileNames.size()); }
    bool isEmpty() const { return FileNames.isEmpty(); }
    QString fullPath(int i) const { return FileDirs.at(i) + FileNames.at(i); }
    void append(const QString& name, const QString& dir) {
        FileNames.append(name);
        FileDirs.append(dir);
    }
    void clear() {
        FileNames.clear();
        FileDirs.clear();
    }
};

}  // namespace kadrano
