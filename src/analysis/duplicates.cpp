#include "duplicates.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "core/pathhelpers.h"
#include "core/progress.h"
#include "core/scripttext.h"
#include "core/textcodec.h"

namespace kadrano {

QString duplicatesInfoText() {
    return QStringLiteral(
        "Ermittelt anhand der Checksummen der Dateien mehrfach vorhandene Bilder.\r"
        "Dieser Vorgang ist recht langsam, da alle Bilder eingelesen werden müssen\r"
        "Bilder in verschiedenenen Auflösungen oder Kompressionen werden nicht erkannt");
}

QString checksumEntryLine(const QString& digest, const QString& fullPath) {
    // One allocation: a list holds a line for every picture of an archive.
    QString line;
    line.reserve(digest.size() + 1 + fullPath.size());
    line += digest;
    line += u';';
    line += fullPath;
    return line;
}

ChecksumEntry splitChecksumLine(const QString& line) {
    const qsizetype semicolon = line.indexOf(u';');
    if (semicolon < 0)
        return {line, QString()};
    return {line.left(semicolon), line.mid(semicolon + 1)};
}

QStringList checksumEntryLines(const QByteArray& listFile) {
    const QString text = decodeText(listFile);
    QStringList lines;
    int lineNo = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (lineNo++ < 2 || line.isEmpty())
            continue;
        lines.append(line.toString());
    }
    return lines;
}

void sortChecksumLines(QStringList& lines) {
    // QString's operator< compares code units, which is exactly the order wanted.
    std::sort(lines.begin(), lines.end());
}

bool carriesTag(const QString& path, const QString& tag) {
    return !tag.isEmpty() && FileNamePart(path).startsWith(tag);
}

namespace {

using FileKey = std::pair<quint64, quint64>;

FileKey keyOf(const FileIdentity& id) {
    return {id.device, id.inode};
}

// Appends the surplus copies of one group of equal digests (paths in sorted order).
void pairGroup(const QStringList& paths, const QString& tag, const FileIdentifier& identify,
               std::vector<DuplicatePair>& pairs) {
    struct Name {
        QString path;
        FileKey file;
    };
    std::vector<Name> names;
    std::set<FileKey> linkTargets;
    for (const QString& path : paths) {
        const FileIdentity id = identify(path);
        // A name that is gone, or a link that leads nowhere, has nothing to keep or remove.
        if (!id.found)
            continue;
        if (id.isLink) {
            linkTargets.insert(keyOf(id));
        } else {
            names.push_back({path, keyOf(id)});
        }
    }
    // The better name to keep ranks higher: a tagged name was marked to be thrown away,
    // and removing the file a link leads to would leave the link pointing nowhere.
    auto rank = [&](std::size_t i) {
        return std::tuple(!carriesTag(names[i].path, tag), linkTargets.count(names[i].file) > 0, i);
    };
    std::map<FileKey, std::size_t> bestName;  // each file by its best name
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto [it, isNew] = bestName.try_emplace(names[i].file, i);
        if (!isNew && rank(i) > rank(it->second))
            it->second = i;
    }
    if (bestName.size() < 2)
        return;
    std::vector<std::size_t> best;
    for (const auto& [file, i] : bestName)
        best.push_back(i);
    const std::size_t kept = *std::max_element(
        best.begin(), best.end(), [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
    std::sort(best.begin(), best.end());
    for (std::size_t i : best)
        if (i != kept)
            pairs.push_back({names[i].path, names[kept].path});
}

}  // namespace

std::vector<DuplicatePair> findDuplicatePairs(const QStringList& sortedLines, const QString& tag,
                                              const FileIdentifier& identify) {
    std::vector<DuplicatePair> pairs;
    QString digest;
    QStringList group;
    auto closeGroup = [&] {
        if (group.size() > 1)
            pairGroup(group, tag, identify, pairs);
        group.clear();
    };
    for (const QString& line : sortedLines) {
        ChecksumEntry entry = splitChecksumLine(line);
        if (entry.digest.isEmpty() || entry.path.isEmpty())
            continue;
        if (entry.digest != digest) {
            closeGroup();
            digest = std::move(entry.digest);
        }
        group.append(std::move(entry.path));
    }
    closeGroup();
    return pairs;
}

DuplicateScript planDuplicateScript(const std::vector<DuplicatePair>& pairs, const QString& tag,
                                    bool deleteCopies,
                                    const std::function<bool(int count)>& afterPair) {
    DuplicateScript script;
    for (const DuplicatePair& pair : pairs) {
        if (!deleteCopies && carriesTag(pair.surplus, tag))
            continue;
        QString command;
        if (deleteCopies) {
            if (canStandInScript(pair.surplus))
                command = QStringLiteral("del ") + scriptArg(pair.surplus);
        } else {
            const QString newName = tag + FileNamePart(pair.surplus);
            if (canStandInScript(pair.surplus) && canStandInScript(newName))
                command =
                    QStringLiteral("ren ") + scriptArg(pair.surplus) + u' ' + scriptArg(newName);
        }
        if (command.isEmpty()) {
            // Left alone: a duplicate that stays is harmless, a broken line is not.
            ++script.skipped;
            continue;
        }
        ++script.count;
        script.lines.append(QStringLiteral("@Echo #####  ") + QString::number(script.count) +
                            QStringLiteral("    Start: %Zeit% #####"));
        script.lines.append(command);
        if (afterPair && !afterPair(script.count))
            break;
    }
    return script;
}

Question duplicatesQuestion(int count, const QString& scriptPath) {
    const QString j = QString::number(count);
    return Question{
        j +
            QStringLiteral(" Doppelte Dateien gefunden!\r\rOperation jetzt ausführen?\r\r"
                           "'Nein' öffnet die Bat-Datei im Notepad!\r\r"
                           "Es wird diese Datei ausgeführt / Angezeigt:\r\r") +
            scriptPath,
        QStringLiteral("Doppelte gefunden"),
        j +
            QStringLiteral(" file doubles found!\r\rStart operation now?\r\r"
                           "'NO' opens the bat-file in the notepad!\r\r"
                           "This file will be started / shown:\r\r") +
            scriptPath,
        QStringLiteral("Doubles found"),
    };
}

QString hashingCaption(Language lang, int k, int n) {
    const QString counts = QString::number(k) + QStringLiteral(" / ") + QString::number(n);
    if (lang == Language::English)
        return QStringLiteral("Analysing Pictures: ") + counts +
               QStringLiteral("  ..takes a while.. (ESC=Cancel)");
    return QStringLiteral("Analysiere Bild: ") + counts +
           QStringLiteral("  ..das dauert etwas.. (ESC=Abbruch)");
}

QString hashingStatus(Language lang, const QString& timeLeft, int k, int n) {
    const bool english = lang == Language::English;
    return timeLeftFragment(timeLeft, english) +
           (english ? QStringLiteral("   Analysing: ") : QStringLiteral("   Analysiere: ")) +
           QString::number(k) + QStringLiteral(" / ") + QString::number(qint64(n) + 1);
}

QString hashingStartCaption(const QTime& now) {
    return QStringLiteral("Bild-Hashwerte werden ermittelt (Start: ") + systemClockText(now) + u')';
}

}  // namespace kadrano
