#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>

#include "core/filelist.h"
#include "core/scripttext.h"

namespace kadrano {

// Follows a rename script line by line, as the folder will look while it runs, so that a
// plan knows which renames cannot succeed before it asks the person. The script never
// overwrites anything (the interpreter refuses), but a person asked "rename now?" should
// hear beforehand how many files will keep their names.
//
// Names are compared without regard to case, as on Windows; a name counts as taken when a
// listed file holds it at that point of the script, or when an unlisted file of that name
// lies in the folder (a file the pattern did not collect).
class RenameCheck {
public:
    enum class Verdict {
        Rename,     // the line can run; the check now counts the new name as taken
        Unchanged,  // the new name is the old one: no line
        Invalid,    // no usable file name (empty, a path, a wildcard, or unfit for a script)
        Taken,      // another file holds the name when the line would run
    };

    using ExistsFn = std::function<bool(const QString& fullPath)>;
    // existsOnDisk defaults to looking at the file system.
    explicit RenameCheck(const FileList& files, ExistsFn existsOnDisk = {});

    Verdict check(int index, const QString& newName);

private:
    const FileList& files_;
    ExistsFn exists_;
    QHash<QString, QSet<QString>> listed_;    // folder → names listed at the start
    QHash<QString, QSet<QString>> occupied_;  // folder → names held now
};

// The lines of a rename script. A file whose path cannot stand in a script, or whose new
// name is taken or unusable, gets no line and is counted instead, so that the question
// can say how many files keep their names.
class RenameScript {
public:
    explicit RenameScript(const FileList& files) : files_(files), check_(files) {}

    // The progress and ren lines that give file index its new name.
    void rename(int index, const QString& newName);
    QStringList finish(bool pauseAtEnd);

    int renames = 0;  // ren lines written
    int skipped = 0;  // new name taken or unusable
    int unsafe = 0;   // old path cannot stand in a script

private:
    const FileList& files_;
    RenameCheck check_;
    ScriptBuilder script_;
};

// Whether a text can be a new file name in a rename line: not empty, not "." or "..", no
// folder separator (it would move the file), no wildcard (ren would rename by pattern),
// and nothing that cannot stand in a script.
bool isUsableNewName(const QString& name);

// The position where a text goes "in front of the extension": the last ".", or the end
// of a name without one (a leading dot alone is no extension).
qsizetype extensionStart(const QString& name);

}  // namespace kadrano
