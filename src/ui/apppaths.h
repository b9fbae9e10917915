#pragma once

#include <QString>

namespace kadrano {

// Where the program lives: its folder and its name, from which the settings file and
// the file-list text beside it are named.
struct AppPaths {
    QString programDir;   // ends in a separator
    QString programName;  // file name without extension
    // Where the settings are kept when not beside the program (see settingslocation.h).
    QString settingsFile;

    QString iniPath() const { return programDir + programName + QStringLiteral(".ini"); }
    QString settingsPath() const { return settingsFile.isEmpty() ? iniPath() : settingsFile; }
    QString fileListPath() const {
        QString p = iniPath();
        return p.replace(QStringLiteral(".ini"), QStringLiteral(".txt"));
    }
};

}  // namespace kadrano
