#pragma once

#include <QString>
#include <QStringList>

#include "core/filelist.h"
#include "core/ownfiles.h"
#include "core/toolhost.h"

namespace kadrano {

inline constexpr const char* kCustomRenameScript = kCustomRenameScriptName;
// A script the person chose not to run yet; the rename area's own button runs it later.
inline constexpr KeptScript kCustomRenameKept{kCustomRenameScript, "Command18"};

// The rules of a custom rename, as the rename area's controls hold them.
struct CustomRenameOptions {
    QString left;         // put in front of the name
    QString right;        // put in front of the extension
    QString replaceFrom;  // replaced everywhere when not empty, also in the added texts
    QString replaceWith;
    bool directoryLeft = false;   // the folder's name in front of the name
    bool directoryRight = false;  // the folder's name in front of the extension (wins)
    bool removeUnwantedChars = false;
    bool pauseAtEnd = false;  // runCustomRename takes the window's
};

// The new name of a file by the rules (without the character cleanup). `directory` is the
// folder that holds the file, with or without a trailing separator.
QString MakeCustomName(const QString& fileName, const QString& directory,
                       const CustomRenameOptions& options);

// Takes out characters that upset the command interpreter or a picture frame: "+", "&&",
// ",", ";", "$", "´", "'", "`" become blanks; blanks before ".jpg" and a doubled dot go;
// blanks at both ends are trimmed. A single "&" stays.
QString removeUnwantedChars(const QString& name);

// The name of the folder a directory path points to ("Rom" for "C:\Fotos\Rom\").
QString lastDirectoryName(const QString& directory);

struct CustomRenamePlan {
    QStringList lines;  // the whole script
    int renames = 0;    // ren lines written
    int skipped = 0;    // new name taken or unusable: no line, the file keeps its name
    int unsafe = 0;     // old name cannot stand in a script: no line
};

CustomRenamePlan planCustomRename(const FileList& files, const CustomRenameOptions& options);

// The Start button of the rename area.
void runCustomRename(ToolHost& host, const CustomRenameOptions& options);

// "N Umbenennung(en) werden übersprungen…" for the question, or nothing when none is.
QString skippedRenamesNote(int skipped, Language language);

}  // namespace kadrano
