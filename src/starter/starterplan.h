#pragma once

#include <QString>
#include <QStringList>

namespace kadrano {

// What the starter does: which program it starts and with which arguments. The starter
// lies at the top of a memory card or picture folder, beside the main program or above
// the folder that holds it.
struct StartPlan {
    QString program;        // empty when no main program was found
    QStringList arguments;  // the picture folder as one argument (none when there is none)
    QString pictureFolder;
};

// The file name of the main program on this platform.
QString mainProgramFileName();

// The picture folder: the command line as given (all arguments joined by blanks, as the
// main program joins them), else the starter's own folder, or below it "Fotos", "DCIM" and
// "Pictures" in turn, each taken when it holds a file. starterDir ends in a separator.
QString pictureFolderFor(const QString& starterDir, const QStringList& arguments);

// Where the main program lies: in the sub-folder named like it, beside the starter, or in
// the first sub-folder that holds it. Empty when there is none.
QString findMainProgram(const QString& starterDir);

StartPlan planStart(const QString& starterDir, const QStringList& arguments);

// Starts the planned program on its own; the starter does not wait for it.
// False when there was nothing to start or the start failed.
bool startDetached(const StartPlan& plan);

}  // namespace kadrano
