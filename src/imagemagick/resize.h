#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "core/filelist.h"
#include "core/ownfiles.h"
#include "core/toolhost.h"
#include "core/toolsequence.h"
#include "magickrun.h"

namespace kadrano {

inline constexpr const char* kResizeScript = kResizeScriptName;
// The script stays in the folder when the person chose the editor; its area's button runs it.
inline constexpr KeptScript kResizeKept{kResizeScriptName, "Command17"};

// What the area "Bildgröße anpassen & Konvertieren" holds when Start is clicked.
struct ResizeOptions {
    QString magickCommand;                      // MagickCommand of this run of the program
    QString maxPixel = QStringLiteral("2000");  // text of MaxPixel: the longest side allowed
    int quality = 95;                           // value of Qualität
    bool convert = false;                       // Resize_Change_To_JPG_Check
    QString format = QStringLiteral("JPEG");    // text of FormatConvertCombo
    // The two boxes shown only while converting; they count only then.
    bool keepSize = false;    // Konvertieren_Keep_Size_Check
    bool deleteOld = false;   // Delete_Old_Format_File
    bool pauseAtEnd = false;  // runResize takes it from the window's switch
};

struct ResizePlan {
    QStringList lines;  // the whole script
    int commands = 0;   // convert lines
    int conversions = 0;
    int unsafe = 0;                       // files left out: a name that cannot stand in a script
    int nameTaken = 0;                    // conversions left out: the new name is another file's
    std::vector<MagickRewrite> rewrites;  // one per convert line
};

// The extension a converted file gets: the format in lower case, "jpg" for "JPEG".
QString outputExtension(const QString& format);

// The name after conversion: the name up to its extension's dot (a three-letter extension
// first, else a four-letter one), then "." and the extension. A name without a dot among
// its last five characters keeps its whole name in front of the new extension.
QString OutputName(const QString& name, const QString& extension);

// Whether a file of that name is converted into the format (it does not already carry it).
bool convertsToFormat(const QString& name, const QString& format);

// The format field after the person left it: trimmed, upper case, "JPG" read as "JPEG",
// then the first list entry equal to it, containing it, containing it without its last
// character, or containing its first character. found is false when none does; the text
// is then "JPEG".
struct FormatMatch {
    QString text;
    bool found = false;
};
FormatMatch MatchOutputFormat(const QString& typed, const QStringList& formats);
// The error box shown when nothing matched (icon: error).
Question unknownFormatMessage();

// The script: per picture a progress line and a convert line that shrinks it to fit N by N
// (never enlarges) at quality Q, converting it when asked. A converted file's original is
// deleted only when the conversion succeeded and the new file exists, and a failed
// conversion leaves no file behind.
ResizePlan planResize(const FileList& files, const ResizeOptions& options);

// The question before the run.
QString resizeQuestion(const QString& maxPixel, const QString& scriptPath, int nameTaken);

// The Start button of the area, on the current file list.
void runResize(ToolHost& host, const ResizeOptions& options);

// The script a person kept (and maybe edited), run again from its button. Every picture
// of the list, and the file a conversion makes of it, keeps or takes its modification time.
void runKeptResizeScript(ToolHost& host, const ResizeOptions& options);

}  // namespace kadrano
