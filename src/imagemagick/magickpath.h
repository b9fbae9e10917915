#pragma once

#include <QString>
#include <QStringList>

#include "colours.h"

namespace kadrano {

// Where ImageMagick lies and what the scripts put in front of each of its sub-commands.
//
// ImageMagick 7 is one program ("magick", "magick.exe" on Windows) that takes the
// sub-command as its first argument. ImageMagick 6 has "convert" and "mogrify" as programs
// of their own; there every line begins with the bare sub-command, so the command in front
// of it stays empty.

// The text the path box shows while no ImageMagick is known.
inline constexpr const char* kMagickPathHint = "Pfad zu ImageMagic hier eintragen (magick.exe)";
inline constexpr const char* kMagickPathHintEnglish =
    "Enter ImageMagic path (magick.exe) here.. (Drag&Drop of .exe works as well..)";

// The values derived once at start-up from the program found; all empty when none was.
struct MagickPaths {
    QString MagickCommand;   // first word of every ImageMagick line (empty for ImageMagick 6)
    QString MagickDir;       // folder of the program, ending in its separator
    QString FontListPath;    // MagickDir + "FontList.txt", or beside the settings file
    QString FontScriptPath;  // ProgramDir + "ImageMagic_GetFonts.bat"
    QString FontExportPath;  // ProgramDir + "ImageMagic_FontExport.txt"
};

struct MagickDiscovery {
    bool found = false;
    // ImageMagick 6: "convert" and "mogrify" are run by their bare names.
    bool separatePrograms = false;
    // What the path box shows afterwards: the program found, or the hint.
    QString pathText;
    MagickPaths paths;
};

// The folders of the PATH variable, in order.
QStringList systemSearchPath();

// Start-up: the box's text (the stored path, or a path relative to the program folder);
// else a "magick" in a sub-folder of the program folder (first in name order); else
// "magick" on the search path; else ImageMagick 6's "convert" and "mogrify" on it.
MagickDiscovery discoverMagick(const QString& boxText, const QString& programDir,
                               const QStringList& searchPath = systemSearchPath());

// The five values for a program path. A path to "convert" or "mogrify" is ImageMagick 6.
// The font list stays out of folders on the search path (see fontListLocation).
MagickPaths deriveMagickPaths(const QString& programPath, const QString& programDir,
                              const QStringList& searchPath = systemSearchPath());

// Whether a path names ImageMagick 6's own "convert" or "mogrify".
bool isSeparateMagickProgram(const QString& programPath);

// Whether the text names an existing file (a folder does not count).
bool namesExistingFile(const QString& text);

// What leaving the path box does with its text T.
enum class MagickPathState {
    Found,      // T names a file: hide the box and both warnings
    MadeWhole,  // ProgramDir + T names a file: the box takes that text, show NamensVorschau
    Missing,    // show the box and both warnings, hide NamensVorschau
};
struct MagickPathCheck {
    MagickPathState state;
    QString text;  // the box's text afterwards
};
MagickPathCheck CheckMagickPath(const QString& text, const QString& programDir);

// The box's background while typing: green when T or ProgramDir + T names a file, dark red
// otherwise.
ScreenColour magickPathColour(const QString& text, const QString& programDir);

}  // namespace kadrano
