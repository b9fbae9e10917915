#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "core/filelist.h"
#include "core/ownfiles.h"
#include "core/toolhost.h"

namespace kadrano {

inline constexpr const char* kCameraNumbersScript = kCameraNumbersScriptName;

// The options of the camera-number area.
struct CameraNumberOptions {
    QString startText = QStringLiteral("IMG_");  // in front of the number block, may be empty
    int digits = 8;                              // length of the block
    QString replacement;                         // replaces the block; empty deletes it
    bool noNumbers = false;                      // no new running number
    bool numberOnRight = false;                  // running number in front of the extension
    bool dateInFront = false;  // a block that is a date yyyymmdd goes in front as yyyy-mm-dd
    bool pauseAtEnd = false;   // runCameraNumbers takes the window's
};

// The date a number block stands for: exactly eight digits yyyymmdd forming a real
// calendar date between 1900 and 2099, else an invalid date.
QDate dateOfNumberBlock(const QString& digits);

// The width of the running numbers: the digits of (count + 1).
int numberWidth(int count);

struct CameraNumberPlan {
    QStringList lines;    // the whole script
    int renames = 0;      // ren lines written
    int unchanged = 0;    // names that stay as they are: no line
    int skipped = 0;      // new name taken or unusable: no line, the file keeps its name
    int unsafe = 0;       // old name cannot stand in a script: no line
    int withoutDate = 0;  // date asked for, but the block found is no date
};

CameraNumberPlan planCameraNumbers(const FileList& files, const CameraNumberOptions& options);

// The Start button of the camera-number area. It always asks before it runs.
void runCameraNumbers(ToolHost& host, const CameraNumberOptions& options);

}  // namespace kadrano
