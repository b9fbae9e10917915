#include "duplicates.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

#include "core/pathhelpers.h"
#include "core/progress.h"
#include "core/scripttext.h"
#include "core/textcodec.h"

namespace kadrano {

QString DuplicatesInfoText() {
    return QStringLiteral(
        "Ermittelt anhand der Checksummen der Dateien mehrfach vorhandene Bilder.\r"
        "Dieser Vorgang ist recht langsam, da alle Bilder eingelesen werden müssen\r"
        "Bilder in verschiedenenen Auflösungen oder Kompressionen werden nicht erkannt");
}

QString ChecksumEntryLine(const QString& digest, const QString& fullPath) {
    return digest + u';' + fullPath;
}

ChecksumEntry SplitChecksumLine(const QString& line) {
    const qsizetype semicolon = line.indexOf(u';');
    if (semicolon < 0)
        return {line, QString()};
    return {line.left(semicolon), line.mid(semicolon + 1)};
}

QStringList ChecksumEntryLines(const QByteArray& listFile) {
    const QString text = DecodeText(listFile);
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

void SortChecksumLines(QStringList& lines) {
    // QString's operator< compares code units, which is exactly the order wanted.
    std::sort(lines.begin(), lines.end());
}

std::vector<DuplicatePair> FindDuplicatePairs(const QStringList& sortedLines) {
    std::vector<DuplicatePair> pairs;
    if (sortedLines.isEmpty())
        return pairs;
    ChecksumEntry before = SplitChecksumLine(sortedLines.front());
    for (qsizetype i = 1; i < sortedLines.size(); ++i) {
        ChecksumEntry entry = SplitChecksumLine(sortedLines.at(i));
        if (entry.digest == before.digest && !entry.path.isEmpty() && !before.path.isEmpty())
            pairs.push_back({before.path, entry.path});
        before = std::move(entry);
    }
    return pairs;
}

DuplicateScript PlanDuplicateScript(const std::vector<DuplicatePair>& pairs, const QString& tag,
                                    bool deleteCopies,
                                    const std::function<bool(int count)>& afterPair) {
    DuplicateScript script;
    for (const DuplicatePair& pair : pairs) {
        QString command;
        if (deleteCopies) {
            if (CanStandInScript(pair.surplus))
                command = QStringLiteral("del ") + ScriptArg(pair.surplus);
        } else {
            const QString newName = tag + FileNamePart(pair.surplus);
            if (CanStandInScript(pair.surplus) && CanStandInScript(newName))
                command =
                    QStringLiteral("ren ") + ScriptArg(pair.surplus) + u' ' + ScriptArg(newName);
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

Question DuplicatesQuestion(int count, const QString& scriptPath) {
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

QString HashingCaption(Language lang, int k, int n) {
    const QString counts = QString::number(k) + QStringLiteral(" / ") + QString::number(n);
    if (lang == Language::English)
        return QStringLiteral("Analysing Pictures: ") + counts +
               QStringLiteral("  ..takes a while.. (ESC=Cancel)");
    return QStringLiteral("Analysiere Bild: ") + counts +
           QStringLiteral("  ..das dauert etwas.. (ESC=Abbruch)");
}

QString HashingStatus(Language lang, const QString& restZeit, int k, int n) {
    const bool english = lang == Language::English;
    return RestZeitFragment(restZeit, english) +
           (english ? QStringLiteral("   Analysing: ") : QStringLiteral("   Analysiere: ")) +
           QString::number(k) + QStringLiteral(" / ") + QString::number(qint64(n) + 1);
}

QString HashingStartCaption(const QTime& now) {
    // The system's long time format without its time zone: "14:05:33", as the clock in
    // the task bar shows it.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    format.replace(zone, QString());
    return QStringLiteral("Bild-Hashwerte werden ermittelt (Start: ") +
           QLocale::system().toString(now, format.trimmed()) + u')';
}

}  // namespace kadrano
