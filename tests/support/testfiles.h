#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "core/filelist.h"
#include "qtprinters.h"

namespace kadrano::test {

// A text as the tests write it: UTF-8 in the source.
inline QString q(const char* s) {
    return QString::fromUtf8(s);
}

// A file list of these names, all in one folder (nothing is read from disk).
inline FileList filesIn(const QString& dir, const QStringList& names) {
    FileList f;
    for (const QString& n : names)
        f.append(n, dir);
    return f;
}

// A temporary folder for one test, with small helpers to fill and read it.
class TempFolder {
public:
    TempFolder();
    // The folder's path with a trailing "/".
    QString path() const;
    QString file(const QString& relative) const { return path() + relative; }
    // Creates a file (and its folders) with the given bytes; returns its full path.
    QString write(const QString& relative, const QByteArray& bytes = QByteArray("x"));
    void mkdir(const QString& relative) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;
    // The plain file names in a folder (relative to this one), sorted.
    QStringList names(const QString& relative = QString()) const;

private:
    QTemporaryDir dir_;
};

// A file's lines, split at CR LF (the last, empty piece after the final CR LF is kept).
QStringList splitCrLf(const QByteArray& bytes);

}  // namespace kadrano::test
