#include "filecollector.h"

#include <QLocale>
#include <deque>

#include "dirlisting.h"
#include "pathhelpers.h"

namespace kadrano {

QString GroupedCount(qint64 count) {
    if (count == 0)
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);  // always group digits
    return locale.toString(count);
}

QString CollectedStatusText(int count, bool cancelled, Language lang) {
    QString text =
        Pick(lang, QStringLiteral("Gefunden: "), QStringLiteral("Found: ")) + GroupedCount(count);
    if (cancelled)
        text += Pick(lang, QStringLiteral("  (Unterbrochen)"), QStringLiteral("  (Interrupted)"));
    return text;
}

QString NoFilesFoundStatusText(Language lang) {
    return Pick(lang, QStringLiteral("Keine Dateien gefunden"), QStringLiteral("No Files found"));
}

QStringList FileListLines(const FileList& files) {
    QStringList lines;
    lines.reserve(files.count() + 1);
    for (int i = 0; i < files.count(); ++i)
        lines.append(files.fullPath(i));
    lines.append(QString());
    return lines;
}

CollectResult CollectPictureFiles(const QString& topDir, const QString& pattern, bool withSubdirs,
                                  Language lang, CollectObserver& observer) {
    CollectResult result;
    const WildcardPattern wildcard(pattern);
    DirListing listing;
    int found = 0;

    if (withSubdirs) {
        observer.collectStatus(Pick(lang, QStringLiteral("Suche läuft..   (ESC = Abbr.)"),
                                    QStringLiteral("Searching..   (ESC = Cancel)")));
        observer.collectProcessEvents();
        std::deque<QString> queue;
        queue.push_back(topDir);
        while (!queue.empty()) {
            const QString dir = queue.front();
            queue.pop_front();
            ListDirectory(dir, wildcard, true, listing);
            observer.collectProcessEvents();
            for (const QString& sub : listing.subdirs)
                if (!sub.isEmpty())
                    queue.push_back(AddSeparator(dir + sub));
            // ESC during the listing is honoured even in a directory without matches.
            if (observer.collectCancelRequested()) {
                result.cancelled = true;
                break;
            }
            for (const QString& name : listing.files) {
                result.files.append(name, dir);
                ++found;
                if (found % 300 == 0) {
                    observer.collectStatus(Pick(lang,
                                                QStringLiteral("Suche läuft.. (%1) (ESC = Abbr.)"),
                                                QStringLiteral("Searching.. (%1) (ESC = Cancel)"))
                                               .arg(GroupedCount(found)));
                    observer.collectProcessEvents();
                }
                if (observer.collectCancelRequested()) {
                    result.cancelled = true;
                    break;
                }
            }
            if (result.cancelled)
                break;
        }
    } else {
        ListDirectory(topDir, wildcard, false, listing);
        for (const QString& name : listing.files) {
            result.files.append(name, topDir);
            ++found;
            if (found % 10 == 0) {
                observer.collectStatus(Pick(lang,
                                            QStringLiteral("Suche läuft.. (%1) (ESC = Abbr.)"),
                                            QStringLiteral("Searching .. (%1) (ESC = Cancel)"))
                                           .arg(found));
                if (observer.collectCancelRequested()) {
                    result.cancelled = true;
                    break;
                }
                observer.collectProcessEvents();
            }
        }
    }
    // The flag is the window's: a cancel seen anywhere counts for the status text.
    if (observer.collectCancelRequested())
        result.cancelled = true;
    return result;
}

}  // namespace kadrano
