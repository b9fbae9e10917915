#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/filelist.h"
#include "core/language.h"
#include "core/ownfiles.h"
#include "core/toolhost.h"
#include "rename/nameroutines.h"

namespace kadrano {

inline constexpr const char* kAddDateScript = kAddDateScriptName;
// The script stays in the folder when not run, with the button that runs it later.
inline constexpr KeptScript kAddDateKept{kAddDateScriptName, "Command26"};

struct DateIntoNamesOptions {
    QString format = QStringLiteral("YYYY.MM.DD");  // "DateFormatCOmbo"
    QString separator = QStringLiteral("-");        // "TrennzDatetxt"
    TagTexts tags;
    Language language = Language::German;  // of the progress lines
    bool pauseAtEnd = false;
    // The date a picture was taken, from its EXIF block, before the file's stamps
    // ("Aufnahmedatum_Exif_Check", which the window ticks unless the person unticked it).
    bool fromExif = false;
};

// The entries of the format list, in the order the list shows them.
QStringList DateNameFormats();

// A date written with a name format: "YYYY" the four-digit year, "YY" the two-digit year,
// "MM" the month and "DD" the day with two digits; every other character as it stands.
QString FormatNameDate(const QDate& date, const QString& format);

struct DateIntoNamesPlan {
    QStringList lines;           // the whole script
    int withoutDate = 0;         // names that got a date (the count the question shows)
    int fromExif = 0;            // of those, the dates taken from the pictures' EXIF blocks
    int unsafe = 0;              // left out: the names cannot stand in a script
    bool badFormat = false;      // the format or separator cannot be part of a name: no script
    QDateTime earliest, latest;  // over the files counted; invalid when none was
};

// The script that puts each picture's date in front of its name: the date it was taken
// (its EXIF block, when the option is on), else the earliest of its three time stamps.
// Names that begin with a date, and files whose times cannot be read, are left alone.
// afterFile(index, withoutDate) runs after each file (the window keeps its status up to date
// there).
DateIntoNamesPlan PlanDateIntoNames(const FileList& files, const DateIntoNamesOptions& options,
                                    const std::function<void(int, int)>& afterFile = {});

// The question before running the script (German in both languages, no title). It says
// how many dates came from EXIF blocks when any did.
QString DateIntoNamesQuestion(const DateIntoNamesPlan& plan, const QString& format,
                              const QString& scriptPath);

// The Start button of "Datum -> Dateinamen", run on the window. The language and the
// pause switch of the options are taken from the host.
void RunDateIntoNames(ToolHost& host, const DateIntoNamesOptions& options);

// "Wiederherstellen": there is nothing to restore from.
void RunDateIntoNamesRestore(ToolHost& host);

}  // namespace kadrano
