#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include "core/filelist.h"
#include "core/progress.h"
#include "core/toolhost.h"
#include "rename/nameroutines.h"

namespace kadrano {

struct SetDatesOptions {
    // The date a picture was taken, from its EXIF block, before every other source
    // ("Aufnahmedatum_Exif_Check", which the window ticks unless the person unticked it).
    // Reading the block counts as an access: files left alone may show a new access time.
    bool fromExif = false;
    bool fromFileName = false;                         // "DatumDateinameNutzen"
    bool fromFolderName = false;                       // "DatumAusVerzNamen"
    bool fixedWhenNone = false;                        // "FixDatumWennKeinsGefundenCheck"
    QString fixedDate = QStringLiteral("11.11.2019");  // "DatumSetzenTxt"
    TagTexts tags;
};

// Where a file's date comes from.
enum class DateSource { None, FileName, FolderName, FixedDate };

struct FileDateChoice {
    DateSource source = DateSource::None;
    QString text;  // the date text as found (and completed)
    QDate date;    // invalid when there is no text or it cannot be read
    // The choice depends on the fixed date: as the date itself, or for the month and day
    // of a name that holds a year only.
    bool needsFixedDate = false;
};

// The date a file gets from texts: the name's date, else the folder name's date, else the
// fixed date, each only when its option is on. A year alone is completed with the month
// and day of the fixed date. (A picture's EXIF date, when that option is on, comes before
// all of these; it is read from the file while the dates are set.)
FileDateChoice ChooseFileDate(const QString& fileName, const QString& folderName,
                              const SetDatesOptions& options);

// The name of the folder that holds a file, from its directory text (ending in a separator).
QString ContainingFolderName(const QString& directory);

struct SetDatesPlan {
    QList<QDate> dates;         // per file; invalid: the file is left alone
    QList<DateSource> sources;  // per file: where its date text came from
    int unreadable = 0;         // files with a date text the parser cannot read
    bool fixedDateUnreadable = false;
    // Every file depends on the fixed date and it cannot be read: nothing may be written.
    bool refused = false;
};

SetDatesPlan PlanSetDates(const FileList& files, const SetDatesOptions& options);

// The Start button of "Datum ändern": every file with a date gets it as all three time
// stamps, directly, without a question: the moment its picture was taken (EXIF) to the
// second, else the date of PlanSetDates at 12:00:00.
void RunSetDates(ToolHost& host, const SetDatesOptions& options,
                 RestZeit& restZeit = SharedRestZeit());

// The box that explains why a date cannot be used (German and English wording).
void SayDateUnreadable(ToolHost& host, const QString& text);

}  // namespace kadrano
