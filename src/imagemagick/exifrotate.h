#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "core/filelist.h"
#include "core/ownfiles.h"
#include "core/toolhost.h"
#include "magickrun.h"

namespace kadrano {

inline constexpr const char* kExifRotateScript = kExifRotateScriptName;

struct ExifRotateOptions {
    QString magickCommand;    // MagickCommand of this run of the program
    bool pauseAtEnd = false;  // runExifRotate takes it from the window's switch
};

// What a file's header says about its EXIF turn.
enum class ExifTurn {
    Upright,  // a JPEG whose orientation tag is absent or 1
    Turn,     // a JPEG whose orientation tag asks for a turn or a mirror
    Unknown,  // not a JPEG, or not readable: ImageMagick decides
};
// Reads only the header (the markers up to the picture data), never the picture.
ExifTurn readExifTurn(const QString& path);

struct ExifRotatePlan {
    QStringList lines;                    // the whole script
    int turned = 0;                       // JPEGs whose tag asks for a turn
    int unknown = 0;                      // other files, left to ImageMagick
    int upright = 0;                      // JPEGs that need nothing: no line
    int unsafe = 0;                       // files left out: a name that cannot stand in a script
    std::vector<MagickRewrite> rewrites;  // the files that get a mogrify line
    int commands() const { return turned + unknown; }
};

// The script: per file that may need a turn a progress line (counted over those files) and
// "mogrify -auto-orient" on it. An upright JPEG is not touched: mogrify would re-encode it
// and lose quality for nothing.
ExifRotatePlan planExifRotate(const FileList& files, const ExifRotateOptions& options);

// The question before the run, with the counts of the plan.
QString exifRotateQuestion(const QString& scriptPath, const ExifRotatePlan& plan);

// The Start button ImageMagic_Btn_Drehen, on the current file list.
void runExifRotate(ToolHost& host, const ExifRotateOptions& options);

}  // namespace kadrano
