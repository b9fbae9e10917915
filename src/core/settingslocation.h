#pragma once

#include <QString>

namespace kadrano {

// Where the settings file lives.
//
// Beside the program when the program's folder lets us create files (a portable copy
// carries its settings along); otherwise (an installed program) in the person's
// configuration folder, under the same name. When the configuration folder has no file
// yet but one lies beside the program, that one is copied over first, so that the
// settings someone kept there are not lost by the move.
struct SettingsLocation {
    QString path;        // the file to read and write
    QString seededFrom;  // the file beside the program copied to path at this start, if any
};

// fileName is the bare name ("kadrano.ini"); configDir is the configuration folder
// (QStandardPaths::AppConfigLocation in the program), created when it is chosen.
// A file beside the program that should be copied but cannot be read stays the location:
// reading it then fails, which the person is told, and it is never written.
SettingsLocation chooseSettingsLocation(const QString& programDir, const QString& fileName,
                                        const QString& configDir);

// Whether a new file can be created in the folder (and so a file there replaced whole).
// Asked by trying: permission bits do not tell for ACLs, read-only mounts or Windows.
bool folderTakesNewFiles(const QString& folder);

}  // namespace kadrano
