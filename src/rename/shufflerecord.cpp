#include "shufflerecord.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "core/dirlisting.h"
#include "core/ownfiles.h"

namespace kadrano {

namespace {

constexpr char kFirstLine[] = "# Kadrano: names given by the shuffle; Restore changes only these";
constexpr char kFirstLineStart[] = "# Kadrano:";
// Fifty thousand names take about two megabytes.
constexpr qint64 kMaxRecordBytes = 64 * 1024 * 1024;

}  // namespace

QString shuffleRecordPath(const QString& dir) {
    return dir + QLatin1String(kShuffleRecordName);
}

QByteArray shuffleRecordText(const QStringList& names) {
    QByteArray text(kFirstLine);
    text += '\n';
    for (const QString& n : names) {
        text += n.toUtf8();
        text += '\n';
    }
    return text;
}

std::optional<QStringList> parseShuffleRecord(const QByteArray& text) {
    if (!text.startsWith(kFirstLineStart))
        return std::nullopt;
    QStringList names;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);  // opened and saved by a Windows editor
        if (!line.isEmpty())
            names.append(QString::fromUtf8(line));
    }
    return names;
}

std::optional<QStringList> readShuffleRecord(const QString& dir) {
    const QString path = shuffleRecordPath(dir);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxRecordBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseShuffleRecord(file.read(kMaxRecordBytes));
}

ShuffleRecords ShuffleRecords::readFor(const FileList& files) {
    ShuffleRecords records;
    QSet<QString> seen;
    const QString* last = nullptr;
    for (const QString& dir : files.FileDirs) {
        // The list holds each folder's files together; most steps see the same folder.
        if (last && *last == dir)
            continue;
        last = &dir;
        if (seen.contains(dir))
            continue;
        seen.insert(dir);
        if (std::optional<QStringList> names = readShuffleRecord(dir))
            records.set(dir, QSet<QString>(names->begin(), names->end()));
    }
    return records;
}

ShuffleRecordSays ShuffleRecords::about(const QString& dir, const QString& name) const {
    const auto it = byDir_.constFind(dir);
    if (it == byDir_.cend())
        return ShuffleRecordSays::NoRecord;
    return it->contains(name) ? ShuffleRecordSays::Given : ShuffleRecordSays::NotGiven;
}

namespace {

// The names of a folder's files, as the shuffle lists them.
QSet<QString> namesIn(const QString& dir) {
    DirListing listing;
    listDirectory(dir, WildcardPattern(QStringLiteral("*")), false, listing);
    return QSet<QString>(listing.files.begin(), listing.files.end());
}

}  // namespace

QStringList recordGivenNames(const FileList& files,
                             const std::vector<std::pair<int, QString>>& given) {
    // Folder by folder, in the order the list first names them.
    QStringList dirs;
    QHash<QString, QStringList> newNames;
    for (const auto& [index, name] : given) {
        const QString& dir = files.FileDirs.at(index);
        auto it = newNames.find(dir);
        if (it == newNames.end()) {
            dirs.append(dir);
            it = newNames.insert(dir, {});
        }
        it->append(name);
    }

    QStringList failed;
    for (const QString& dir : dirs) {
        QStringList names;
        if (std::optional<QStringList> old = readShuffleRecord(dir)) {
            const QSet<QString> present = namesIn(dir);
            for (const QString& n : *old)
                if (present.contains(n))
                    names.append(n);
        }
        names += newNames.value(dir);
        names.removeDuplicates();

        QSaveFile file(shuffleRecordPath(dir));
        if (!file.open(QIODevice::WriteOnly) || file.write(shuffleRecordText(names)) < 0 ||
            !file.commit())
            failed.append(shuffleRecordPath(dir));
    }
    return failed;
}

void forgetFinishedRecords(const QStringList& dirs) {
    for (const QString& dir : QSet<QString>(dirs.begin(), dirs.end())) {
        const std::optional<QStringList> names = readShuffleRecord(dir);
        if (!names)
            continue;  // no record, or a file under its name that is not ours
        const QSet<QString> present = namesIn(dir);
        if (std::none_of(names->begin(), names->end(),
                         [&present](const QString& n) { return present.contains(n); }))
            QFile::remove(shuffleRecordPath(dir));
    }
}

}  // namespace kadrano
