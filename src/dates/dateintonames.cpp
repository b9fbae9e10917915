#include "dateintonames.h"

#include <QLocale>
#include <algorithm>
#include <limits>
#include <vector>

#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"
#include "exifdate.h"
#include "filedate.h"
#include "fileparts.h"
#include "livestatus.h"

namespace kadrano {

namespace {

// The date the question shows when no name lacked one: the zero of the date type the
// program has always used.
const QDate kZeroDate(1899, 12, 30);

void appendDigits(QString& out, int value, int width) {
    static constexpr int kLimit[] = {1, 10, 100, 1000, 10000};
    if (value < 0 || width > 4 || value >= kLimit[width]) {
        out += QString::number(value).rightJustified(width, u'0');
        return;
    }
    for (int unit = kLimit[width - 1]; unit > 0; unit /= 10)
        out += QChar(u'0' + (value / unit) % 10);
}

// "@Echo #####  n   Start Zeit: %Zeit% Uhr #####", built without temporary texts: the
// planning writes one for each of many thousand files.
QString progressLine(int n, Language language) {
    static const QString head = QStringLiteral("@Echo #####  ");
    static const QString tailDe = QStringLiteral("   Start Zeit: %Zeit% Uhr #####");
    static const QString tailEn = QStringLiteral("   Started at: %Zeit% Uhr  #####");
    const QString& tail = pick(language, tailDe, tailEn);
    QString line;
    line.reserve(head.size() + 10 + tail.size());
    line += head;
    line += QString::number(n);
    line += tail;
    return line;
}

QString statusText(int n, int index, int count, Language language) {
    return QString::number(n) +
           pick(language, QStringLiteral(" Namen ohne Datum gefunden ("),
                QStringLiteral(" Names without date found (")) +
           QString::number(index) + u'/' + QString::number(count) + u')';
}

}  // namespace

QStringList dateNameFormats() {
    return {
        QStringLiteral("YYYY.MM.DD"), QStringLiteral("YYYY-MM-DD"), QStringLiteral("YYYY.MM"),
        QStringLiteral("YYYY-MM"),    QStringLiteral("YYYY"),       QStringLiteral("MM.YYYY"),
        QStringLiteral("MM-YYYY"),    QStringLiteral("DD.MM.YYYY"), QStringLiteral("DD-MM-YYYY"),
        QStringLiteral("YY.MM.DD"),   QStringLiteral("YY-MM-DD"),   QStringLiteral("YY.MM"),
        QStringLiteral("YY-MM"),      QStringLiteral("YY"),         QStringLiteral("MM.YY"),
        QStringLiteral("MM-YY"),      QStringLiteral("DD.MM.YY"),   QStringLiteral("DD-MM-YY")};
}

QString formatNameDate(const QDate& date, const QString& format) {
    QString out;
    out.reserve(format.size() + 2);
    for (qsizetype i = 0; i < format.size();) {
        const QStringView rest = QStringView(format).mid(i);
        if (rest.startsWith(u"YYYY")) {
            appendDigits(out, date.year(), 4);
            i += 4;
        } else if (rest.startsWith(u"YY")) {
            appendDigits(out, ((date.year() % 100) + 100) % 100, 2);
            i += 2;
        } else if (rest.startsWith(u"MM")) {
            appendDigits(out, date.month(), 2);
            i += 2;
        } else if (rest.startsWith(u"DD")) {
            appendDigits(out, date.day(), 2);
            i += 2;
        } else {
            out += format.at(i);
            ++i;
        }
    }
    return out;
}

namespace {

// Files whose dates are read together before their lines are written.
constexpr int kStampBlock = 4096;
// An EXIF block takes much longer to read than a time stamp: smaller blocks keep the window
// repainted, and are still large enough to be read in parallel parts.
constexpr int kExifBlock = 1024;
// No line: the name carries a date already, or the stamps cannot be read.
constexpr qint64 kNoStamp = std::numeric_limits<qint64>::min();

struct NameDate {
    qint64 seconds = kNoStamp;
    bool fromExif = false;
};

// For the files from .. to of the list: the date of each whose name carries no date.
void readDatesOfUndatedNames(const FileList& files, const DateIntoNamesOptions& options, int from,
                             int to, std::vector<NameDate>& out) {
    out.assign(std::size_t(to - from), NameDate{});
    auto readPart = [&](int first, int last) {
        FileTimesBatch stamps;
        const QLocale locale;
        qint64 seconds = 0;
        ExifDate taken;
        for (int i = first; i < last; ++i) {
            const QString& name = files.FileNames.at(i);
            const QString& dir = files.FileDirs.at(i);
            const QString cleaned = StripCameraWords(StripPictureExtensions(name), options.tags);
            // The stamps come first also when the EXIF block may win: they tell that the
            // file is still a plain file (a pipe put in its place would block the reading).
            if (!GetDatePrefix(cleaned, locale).isEmpty() ||
                !stamps.readEarliest(dir, name, seconds))
                continue;
            NameDate& date = out[std::size_t(i - from)];
            date.fromExif = options.fromExif && readExifDate(dir + name, taken);
            date.seconds = date.fromExif ? taken.seconds : seconds;
        }
    };
    forEachFilePart(to - from,
                    [&](int first, int last, bool) { readPart(from + first, from + last); });
}

}  // namespace

DateIntoNamesPlan planDateIntoNames(const FileList& files, const DateIntoNamesOptions& options,
                                    const std::function<void(int, int)>& afterFile) {
    DateIntoNamesPlan plan;
    if (holdsForbiddenNameCharacter(options.format) ||
        holdsForbiddenNameCharacter(options.separator)) {
        plan.badFormat = true;
        return plan;
    }
    if (!canStandInScript(options.format) || !canStandInScript(options.separator)) {
        plan.badFormat = true;
        return plan;
    }
    ScriptBuilder script;
    const int count = files.count();
    qint64 seconds = 0, earliest = 0, latest = 0;
    // Files of one folder follow each other: the folder's part of the checks is done once.
    const QString* lastDir = nullptr;
    bool dirSafe = true;
    QDate lastDate;
    QString dateText;
    // The dates (a system call per file, and the EXIF block) are read for a block of files
    // in parallel parts; the block's lines are then written in list order. A block is short
    // enough for the window to be repainted between blocks.
    std::vector<NameDate> dateOf;
    const int blockSize = options.fromExif ? kExifBlock : kStampBlock;
    for (int block = 0; block < count; block += blockSize) {
        const int blockEnd = std::min(count, block + blockSize);
        readDatesOfUndatedNames(files, options, block, blockEnd, dateOf);
        for (int i = block; i < blockEnd; ++i) {
            const QString& name = files.FileNames.at(i);
            const QString& dir = files.FileDirs.at(i);
            const NameDate& found = dateOf[std::size_t(i - block)];
            seconds = found.seconds;
            if (seconds != kNoStamp) {
                if (!lastDir || *lastDir != dir) {
                    lastDir = &dir;
                    dirSafe = canStandInScript(dir);
                }
                if (!dirSafe || !canStandInScript(name)) {
                    ++plan.unsafe;
                } else {
                    const QDate date = localFromSeconds(seconds).date();
                    if (date != lastDate) {
                        lastDate = date;
                        dateText = formatNameDate(lastDate, options.format);
                    }
                    if (plan.withoutDate == 0 || seconds < earliest)
                        earliest = seconds;
                    if (plan.withoutDate == 0 || seconds > latest)
                        latest = seconds;
                    ++plan.withoutDate;
                    plan.fromExif += found.fromExif;
                    script.add(progressLine(plan.withoutDate, options.language));
                    QString line;
                    line.reserve(12 + dir.size() + 2 * name.size() + dateText.size() +
                                 options.separator.size());
                    line += QLatin1String("ren ");
                    appendScriptArg(line, QString(dir + name));
                    line += u' ';
                    appendScriptArg(line, QString(dateText + options.separator + name));
                    script.add(line);
                }
            }
            if (afterFile)
                afterFile(i, plan.withoutDate);
        }
    }
    if (plan.withoutDate > 0) {
        plan.earliest = localFromSeconds(earliest);
        plan.latest = localFromSeconds(latest);
    }
    script.finish(options.pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

QString dateIntoNamesQuestion(const DateIntoNamesPlan& plan, const QString& format,
                              const QString& scriptPath) {
    const QDate first = plan.withoutDate > 0 ? plan.earliest.date() : kZeroDate;
    const QDate last = plan.withoutDate > 0 ? plan.latest.date() : kZeroDate;
    return QStringLiteral("Es wurden ") + QString::number(plan.withoutDate) +
           QStringLiteral(" Dateien zwischen:\r") + formatNameDate(first, format) +
           QStringLiteral("  und  ") + formatNameDate(last, format) + QStringLiteral(" gefunden") +
           (plan.fromExif > 0 ? QStringLiteral("\r") + QString::number(plan.fromExif) +
                                    QStringLiteral(" davon mit dem Aufnahmedatum (EXIF)")
                              : QString()) +
           QStringLiteral(
               "\r\rjetzt umbenennen?\r\r'Nein' öffnet die Bat-Datei im "
               "Notepad!\r\rEs wird diese Datei ausgeführt / Angezeigt:\r\r") +
           scriptPath + QStringLiteral("\r\rNein =  Datei im Notepad öffnen!");
}

void runDateIntoNames(ToolHost& host, const DateIntoNamesOptions& chosen) {
    DateIntoNamesOptions options = chosen;
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    const QString script = host.directoryText() + QString::fromLatin1(kAddDateScript);
    if (!tools.collectFilesOrSayNone(
            QStringLiteral("No files found in\r\r") + host.directoryText() + host.patternText(),
            QStringLiteral("No Files found")))
        return;

    options.language = host.language();
    options.pauseAtEnd = host.pauseAtEnd();
    const int count = host.fileList().count();
    LiveStatus live;
    const DateIntoNamesPlan plan =
        planDateIntoNames(host.fileList(), options, [&](int index, int withoutDate) {
            if (!live.due(index + 1 == count))
                return;
            host.person().setStatus(statusText(withoutDate, index, count, options.language));
            host.person().processEvents();
        });
    if (plan.badFormat) {
        tools.AskUser(QStringLiteral("Datumsformat oder Trennzeichen enthält ein Zeichen, das in "
                                     "Dateinamen nicht erlaubt ist:\r\r") +
                          options.format + QStringLiteral("   ") + options.separator +
                          QStringLiteral("\r\r(nicht erlaubt: \\ / : * ? \" < > |)"),
                      Mb::OK | Mb::IconWarning, QStringLiteral("Ungültiges Datumsformat"),
                      QStringLiteral("The date format or separator holds a character that file "
                                     "names cannot hold:\r\r") +
                          options.format + QStringLiteral("   ") + options.separator +
                          QStringLiteral("\r\r(not allowed: \\ / : * ? \" < > |)"),
                      QStringLiteral("Invalid date format"));
        return;
    }
    if (!tools.writeScript(script, plan.lines))
        return;
    tools.reportUnsafeNames(plan.unsafe);
    const QString question = dateIntoNamesQuestion(plan, options.format, script);
    tools.RunScript(script, Question{question, QString(), question, QString()}, kAddDateKept);
}

void runDateIntoNamesRestore(ToolHost& host) {
    host.person().messageBox(QStringLiteral("Noch nicht implementiert"), Mb::OK, QString());
}

}  // namespace kadrano
