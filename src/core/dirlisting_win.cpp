#include <QDir>

#include "dirlisting.h"

// The listing on Windows, which has no readdir: through QDir.

namespace kadrano {

namespace {
bool nameLess(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}
}  // namespace

bool listDirectory(const QString& dir, const WildcardPattern& pattern, bool wantSubdirs,
                   DirListing& out) {
    out.files.clear();
    out.subdirs.clear();
    out.undecodableFiles = 0;
    out.undecodableSubdirs = 0;
    QDir d(dir.isEmpty() ? QStringLiteral(".") : dir);
    if (!d.exists() || !d.isReadable())
        return false;
    const QFileInfoList entries =
        d.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo& fi : entries) {
        const QString name = fi.fileName();
        if (name.startsWith(u'.') || fi.isHidden())
            continue;
        if (fi.isDir()) {
            if (wantSubdirs && !fi.isSymLink())
                out.subdirs.append(name);
        } else if (fi.isFile() && pattern.matches(name)) {
            out.files.append(name);
        }
    }
    std::sort(out.files.begin(), out.files.end(), nameLess);
    std::sort(out.subdirs.begin(), out.subdirs.end(), nameLess);
    return true;
}

}  // namespace kadrano
