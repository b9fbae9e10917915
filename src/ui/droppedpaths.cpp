#include "droppedpaths.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace kadrano {

QStringList droppedPaths(const QMimeData& data) {
    QStringList paths;
    if (data.hasUrls()) {
        for (const QUrl& url : data.urls())
            if (url.isLocalFile())
                paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    if (data.hasText()) {
        for (const QString& line : data.text().split(u'\n')) {
            const QString t = line.trimmed();
            if (t.isEmpty())
                continue;
            const QUrl url(t);
            paths.append(url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : t);
        }
    }
    return paths;
}

}  // namespace kadrano
