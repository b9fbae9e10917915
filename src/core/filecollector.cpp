#include "filecollector.h"

#include <QFileInfo>
#include <QLocale>
#include <deque>

#include "dirlisting.h"
#include "ownfiles.h"
#include "pathhelpers.h"

namespace kadrano {

QString groupedCount(qint64 count) {
    if (count == 0)
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);  // always group digits
    return locale.toString(count);
}

QString collectedStatusText(int count, bool cancelled, Language lang) {
    QString text =
        pick(lang, QStringLiteral("Gefunden: "), QStringLiteral("Found: ")) + groupedCount(count);
    if (cancelled)
        text += pick(lang, QStringLiteral("  (Unterbrochen)"), QStringLiteral("  (Interrupted)"));
    return text;
}

QString noFilesFoundStatusText(Language lang) {
    return pick(lang, QStringLiteral("Keine Dateien gefunden"), QStringLiteral("No Files found"));
}

QString collectLeftOutNote(const CollectLeftOut& leftOut, Language lang) {
    QStringList lines;
    if (leftOut.topMissing)
        lines.append(pick(lang, QStringLiteral("Der Ordner existiert nicht."),
                          QStringLiteral("The folder does not exist.")));
    if (leftOut.topUnreadable)
        lines.append(pick(lang, QStringLiteral("Der Ordner kann nicht gelesen werden."),
                          QStringLiteral("The folder cannot be read.")));
    if (leftOut.unreadableFolders > 0)
        lines.append(pick(lang, QStringLiteral("%1 Unterordner nicht lesbar (übersprungen)."),
                          QStringLiteral("%1 sub-folder(s) could not be read (skipped)."))
                         .arg(leftOut.unreadableFolders));
    if (leftOut.undecodableNames > 0)
        lines.append(pick(lang,
                          QStringLiteral("%1 Datei- oder Ordnernamen ausgelassen: kein gültiges "
                                         "UTF-8, in einem Skript nicht schreibbar."),
                          QStringLiteral("%1 file or folder name(s) left out: not valid UTF-8, "
                                         "they cannot be written into a script."))
                         .arg(leftOut.undecodableNames));
    if (lines.isEmpty())
        return QString();
    return pick(lang, QStringLiteral("Nicht erfasst:"), QStringLiteral("Left out:")) + u'\n' +
           lines.join(u'\n');
}

QStringList fileListLines(const FileList& files) {
    QStringList lines;
    lines.reserve(files.count() + 1);
    for (int i = 0; i < files.count(); ++i)
        lines.append(files.fullPath(i));
    lines.append(QString());
    return lines;
}

namespace {

void noteUnreadableTop(const QString& topDir, CollectLeftOut& leftOut) {
    const QFileInfo info(topDir.isEmpty() ? QStringLiteral(".") : topDir);
    if (info.isDir())
        leftOut.topUnreadable = true;
    else
        leftOut.topMissing = true;
}

}  // namespace

CollectResult collectPictureFiles(const QString& topDir, const QString& pattern, bool withSubdirs,
                                  Language lang, CollectObserver& observer, const OwnFiles& own) {
    CollectResult result;
    const WildcardPattern wildcard(pattern);
    DirListing listing;
    int found = 0;

    if (withSubdirs) {
        observer.collectStatus(pick(lang, QStringLiteral("Suche läuft..   (ESC = Abbr.)"),
                                    QStringLiteral("Searching..   (ESC = Cancel)")));
        observer.collectProcessEvents();
        std::deque<QString> queue;
        queue.push_back(topDir);
        while (!queue.empty()) {
            const QString dir = queue.front();
            queue.pop_front();
            if (!listDirectory(dir, wildcard, true, listing)) {
                if (dir == topDir)
                    noteUnreadableTop(topDir, result.leftOut);
                else
                    ++result.leftOut.unreadableFolders;
            }
            result.leftOut.undecodableNames +=
                listing.undecodableFiles + listing.undecodableSubdirs;
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
                if (own.contains(name))
                    continue;
                result.files.append(name, dir);
                ++found;
                if (found % 300 == 0) {
                    observer.collectStatus(pick(lang,
                                                QStringLiteral("Suche läuft.. (%1) (ESC = Abbr.)"),
                                                QStringLiteral("Searching.. (%1) (ESC = Cancel)"))
                                               .arg(groupedCount(found)));
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
        if (!listDirectory(topDir, wildcard, false, listing))
            noteUnreadableTop(topDir, result.leftOut);
        result.leftOut.undecodableNames += listing.undecodableFiles;
        for (const QString& name : listing.files) {
            if (own.contains(name))
                continue;
            result.files.append(name, topDir);
            ++found;
            if (found % 10 == 0) {
                observer.collectStatus(pick(lang,
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
