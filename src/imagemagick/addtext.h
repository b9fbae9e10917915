#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/filelist.h"
#include "core/ownfiles.h"
#include "core/toolhost.h"
#include "magickrun.h"
#include "rename/nameroutines.h"

namespace kadrano {

inline constexpr const char* kAddTextScript = kTextScriptName;
inline constexpr const char* kTextFolder = "Text-Included";
inline constexpr KeptScript kAddTextKept{kAddTextScript, "Command19"};

// ImageMagick reads "%w", "\n" and a leading "@file" inside the text it draws. A caption
// is the person's text, so a file named "50% Rabatt.jpg" must show "50% Rabatt": every
// "\" and "%" is doubled and a leading "@" gets a "\" in front.
QString escapeForMagickText(const QString& text);

// The caption as one argument of a script line, from a caption in double quotes: the
// text between the outer quotes, without any other double quote (the preview shows it so
// too, and a quote could not stand inside the argument) or control character, escaped for
// ImageMagick, then every "%" doubled for the command interpreter, in double quotes.
QString captionArgument(const QString& quotedCaption);

// A caption with nothing but blanks between its quotes becomes the file name without its
// extension (when the person asked for that), so such a picture is not left without text.
QString captionOrFileName(const QString& quotedCaption, const QString& fileName,
                          bool useFileNameWhenEmpty);

struct AddTextOptions {
    QString magickCommand;  // MagickCommand of this run of the program
    QString colour;         // the ImageMagick colour of the colour box; empty when unknown
    QString fontFile;       // the glyph file of the chosen family; empty when none is known
    QString pointSize;      // text of the size box
    bool fileNameWhenEmpty = false;  // "Wenn Ergebnis leer, Dateinamen einfügen" (enabled, ticked)
    CaptionOptions caption;          // what the caption of each picture is made of
    bool pauseAtEnd = false;         // runAddText takes it from the window's switch
};

struct AddTextPlan {
    QStringList lines;                    // the whole script
    int commands = 0;                     // convert lines
    int folders = 0;                      // "md" lines
    int unsafe = 0;                       // files left out: a name that cannot stand in a script
    std::vector<MagickRewrite> rewrites;  // original → captioned copy
};

// The script: first a line per folder that creates its "Text-Included" folder, then per
// picture a progress line and a convert line that writes a captioned copy into that
// folder. atPosition is told the positions 0, 1000, 2000, ...
AddTextPlan planAddText(const FileList& files, const AddTextOptions& options,
                        const std::function<void(int position)>& atPosition = {});

// The question before the run.
QString addTextQuestion(const QString& scriptPath);

// The Start button of the area, on the current file list (it is not collected again).
void runAddText(ToolHost& host, const AddTextOptions& options);

}  // namespace kadrano
