#include "volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace kadrano {

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kCase = Qt::CaseSensitive;
#endif

// "/" separators and exactly one at the end, so that roots and paths compare as prefixes.
QString normalised(const QString& path) {
    QString p = QDir::fromNativeSeparators(path.trimmed());
    if (!p.endsWith(u'/'))
        p += u'/';
    return p;
}

}  // namespace

QStringList mountedVolumeRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        // Single files mounted into a container are no place to keep pictures.
        if (!QFileInfo(root).isDir())
            continue;
        const QString shown = QDir::toNativeSeparators(root);
        if (!roots.contains(shown, kCase))
            roots.append(shown);
    }
    roots.sort(kCase);
    return roots;
}

int volumeForPath(const QStringList& roots, const QString& path) {
    const QString p = normalised(path);
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < roots.size(); ++i) {
        const QString r = normalised(roots.at(i));
        if (r.size() > bestLength && p.startsWith(r, kCase)) {
            best = i;
            bestLength = r.size();
        }
    }
    return best;
}

}  // namespace kadrano
