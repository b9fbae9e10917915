#include "shuffle.h"

#include "core/eventpacer.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "core/toolsequence.h"

namespace kadrano {

namespace {

// One "ren" line, or false when a name cannot stand in a script.
bool addRename(RenamePlan& plan, ScriptBuilder& script, int index, int count,
               const QString& fullPath, const QString& newName) {
    if (!canStandInScript(fullPath) || !canStandInScript(newName)) {
        ++plan.unsafe;
        return false;
    }
    script.addProgress(index, count);
    script.add(QStringLiteral("ren ") + scriptArg(fullPath) + u' ' + scriptArg(newName));
    plan.given.emplace_back(index, newName);
    ++plan.renames;
    return true;
}

QString scriptPathIn(const ToolHost& host, const char* name) {
    return host.directoryText() + QString::fromLatin1(name);
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The value of n ASCII digits from position at, or -1.
int digitsAt(const QString& s, qsizetype at, qsizetype n) {
    if (at + n > s.size())
        return -1;
    int value = 0;
    for (qsizetype i = at; i < at + n; ++i) {
        if (!isAsciiDigit(s.at(i)))
            return -1;
        value = value * 10 + (s.at(i).unicode() - u'0');
    }
    return value;
}

// Years a picture's name may begin with: photography is younger, and a later year is
// nobody's date yet.
bool isYear(int v) {
    return v >= 1800 && v <= 2199;
}

bool isDayAndMonth(int first, int second) {
    const bool dayMonth = first >= 1 && first <= 31 && second >= 1 && second <= 12;
    const bool monthDay = first >= 1 && first <= 12 && second >= 1 && second <= 31;
    return dayMonth || monthDay;
}

// Without a record: whether the name's beginning can only be a shuffle's number.
bool looksShuffled(const QString& name, const QString& separator) {
    const int number = digitsAt(name, 0, 4);
    if (number < 0 || isYear(number))
        return false;
    const qsizetype rest = 4 + separator.size();
    // "0721-2019 Strand.jpg": day and month, then the year.
    const int year = digitsAt(name, rest, 4);
    if (isYear(year) && !(rest + 4 < name.size() && isAsciiDigit(name.at(rest + 4))) &&
        isDayAndMonth(number / 100, number % 100))
        return false;
    // Without a separator, "12345678.jpg" is one number.
    if (separator.isEmpty() && isAsciiDigit(name.at(rest)))
        return false;
    // "0001.jpg" with the separator ".": a numbered picture, not a shuffled "jpg".
    const qsizetype lastDot = name.lastIndexOf(u'.');
    if (lastDot >= 4 && lastDot < rest)
        return false;
    return true;
}

}  // namespace

RenamePlan planShuffle(const FileList& files, const ShuffleOptions& options, RandomSource& random) {
    RenamePlan plan;
    ScriptBuilder script;
    const int count = files.count();
    for (int i = 0; i < count; ++i) {
        const QString number = QString::number(random.RandomInt(1, 9999)).rightJustified(4, u'0');
        addRename(plan, script, i, count, files.fullPath(i),
                  number + options.separator + files.FileNames.at(i));
    }
    script.finish(options.pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

bool restoresName(const QString& name, const QString& separator, ShuffleRecordSays record) {
    const qsizetype prefix = 4 + separator.size();
    // Nothing would be left of the name.
    if (name.size() <= prefix)
        return false;
    if (QStringView(name).mid(4, separator.size()) != separator)
        return false;
    switch (record) {
        case ShuffleRecordSays::Given:
            return true;
        case ShuffleRecordSays::NotGiven:
            return false;
        case ShuffleRecordSays::NoRecord:
            break;
    }
    return looksShuffled(name, separator);
}

RestorePlan planRestore(const FileList& files, const ShuffleOptions& options,
                        const ShuffleRecords& records, const std::function<void(int)>& beforeFile) {
    const QString& separator = options.separator;
    RestorePlan plan;
    ScriptBuilder script;
    const int count = files.count();
    for (int i = 0; i < count; ++i) {
        if (QStringView(files.FileNames.at(i)).mid(4, 1) != separator) {
            plan.wellFormed = false;
            break;
        }
    }
    const qsizetype prefix = 4 + separator.size();
    for (int i = 0; i < count; ++i) {
        if (beforeFile)
            beforeFile(i);
        const QString& name = files.FileNames.at(i);
        if (!restoresName(name, separator, records.about(files.FileDirs.at(i), name))) {
            if (name.size() > prefix && QStringView(name).mid(4, separator.size()) == separator)
                ++plan.leftAlone;
            continue;
        }
        addRename(plan, script, i, count, files.fullPath(i), name.mid(prefix));
    }
    // A name that looks shuffled but keeps its number is as foreign as one without it:
    // the person hears that some names are skipped.
    if (plan.leftAlone > 0)
        plan.wellFormed = false;
    script.finish(options.pauseAtEnd);
    plan.lines = script.lines();
    return plan;
}

void runShuffle(ToolHost& host, const ShuffleOptions& options, RandomSource& random) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    if (!tools.collectFilesOrSayNone(
            QStringLiteral("No Files found in:\r") + host.directoryText() + host.patternText(),
            QStringLiteral("No files found!")))
        return;

    host.person().setStatus(pick(host.language(), QStringLiteral("Erstelle Bat-Datei.."),
                                 QStringLiteral("Creating Bat-File..")));
    host.person().processEvents();
    const QString script = scriptPathIn(host, kShuffleScript);
    ShuffleOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const RenamePlan plan = planShuffle(host.fileList(), o, random);
    // Without its record a later restore could not tell the numbers from dates; nothing
    // is renamed that could not be restored safely.
    const QStringList unrecorded = recordGivenNames(host.fileList(), plan.given);
    if (!unrecorded.isEmpty()) {
        tools.AskUser(
            QStringLiteral("Die Liste der gemischten Namen konnte nicht gespeichert werden:\r") +
                unrecorded.join(u'\r') + QStringLiteral("\r\rEs wurde nichts umbenannt."),
            Mb::OK | Mb::IconError, QStringLiteral("Dateinamen mischen"),
            QStringLiteral("The list of shuffled names could not be saved:\r") +
                unrecorded.join(u'\r') + QStringLiteral("\r\rNothing was renamed."),
            QStringLiteral("Shuffle Filenames"));
        return;
    }
    if (!tools.writeScript(script, plan.lines))
        return;
    tools.reportUnsafeNames(plan.unsafe);
    tools.RunScript(script, renameQuestion(script), kShuffleKept);
}

void runRestore(ToolHost& host, const ShuffleOptions& options) {
    ScriptTools tools(host);
    if (!host.loading())
        host.saveSettings();
    const QString savedCaption = host.caption();
    tools.normaliseDirectoryText();
    if (!tools.collectFilesOrSayNone())
        return;

    const int count = host.fileList().count();
    const QString script = scriptPathIn(host, kRestoreScript);
    const ShuffleRecords records = ShuffleRecords::readFor(host.fileList());
    EventPacer pacer;
    ShuffleOptions o = options;
    o.pauseAtEnd = host.pauseAtEnd();
    const RestorePlan plan =
        planRestore(host.fileList(), o, records, [&host, &pacer, count](int i) {
            if (!pacer.due())
                return;
            host.setCaption(QStringLiteral("Running : %1 / %2").arg(count).arg(i));
            host.person().processEvents();
        });
    const bool written = tools.writeScript(script, plan.lines);
    host.setCaption(savedCaption);
    host.person().processEvents();
    if (!written)
        return;
    tools.reportUnsafeNames(plan.unsafe);

    bool run = true;
    if (!host.noQuestions()) {
        int answer;
        if (!plan.wellFormed) {
            answer = tools.inform(
                QStringLiteral("Das Dateiformat stimmt nicht (mindestens eine Datei)\r\r"
                               "Die Namen follten folgendes Format haben: 1234#Filename.jpg"
                               "0434#Filename.jpg \r\r"
                               "Dateien trotzdem umbennennen? (nicht passende werden "
                               "übersprungen)?"),
                Mb::YesNo | Mb::IconError, QStringLiteral("Falsches Dateinamen-Format gefunden!"));
        } else {
            answer = tools.inform(renameQuestion(script).textDe, Mb::YesNoQuestion, QString());
        }
        run = answer != Mb::ResultNo;
    }
    if (!run) {
        tools.openInEditor(script);
        host.setKeptScriptButtonVisible(kRestoreKept, true);
        return;
    }
    const QStringList dirs = host.fileList().FileDirs;
    tools.runWaitAndDelete(script, kRestoreKept);
    forgetFinishedRecords(dirs);
    // The names on disk have changed; a stale list would send later tools after names
    // that no longer exist.
    if (!host.loading())
        host.collectFiles();
}

}  // namespace kadrano
