#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "process.h"

namespace kadrano::batch {

// An ImageMagick line of a script as kadrano-bat runs it.
//
// Left to itself ImageMagick writes its result over the file it names, in place: a stop or
// a full disk leaves a half-written picture where the photo was, a damaged JPEG is
// replaced by a grey re-encode after a mere warning, every other name of the file (a hard
// link in a backup, a symbolic link's target) changes with it, a name holding "%d" sends
// the result to another file, and a picture with several frames becomes name-0, name-1 ….
// So the line runs with its output on a new hidden file beside the output, ImageMagick
// regards warnings about the picture as errors and takes every name literally, the result
// is read back as a whole picture, gets the date of the picture it was made from, and
// only then takes the output's name in one rename. Any other outcome removes the new file
// and leaves every existing file as it was, byte for byte.
//
// The lines the tools write keep their text; the interpreter shows them as written.
struct MagickJob {
    QByteArray program;           // what runs: convert, or magick
    QList<QByteArray> argv;       // its arguments, argv[outputSlot] empty until run
    int outputSlot = -1;          // where the new file is written and read back
    QString outputFormat;         // a format written in front of the output ("PNG:"), or empty
    QString output;               // the file the line writes, as the line names it
    QString input;                // the picture it is made from (its date goes to the
                                  // result); empty when the line names none
    bool firstFrameOnly = false;  // a conversion: only the first frame is read
};

// The job for a program line (the program as written, then its arguments; programPath is
// where it was found). Nothing when the line is no picture command of ImageMagick, which
// then runs as written: programs other than convert, mogrify and magick, listings such as
// "convert -list font", outputs that are no file ("null:", "-"), and mogrify lines that
// name more than one file or write elsewhere (-format, -path).
//
// convert IN … OUT: IN is the first argument that names an existing file and is no
// option's value; a conversion into another format reads only its first frame ("[0]").
// mogrify … FILE runs as convert FILE … FILE, the same change written the safe way.
std::optional<MagickJob> planMagickJob(const QStringList& args, const QByteArray& programPath);

struct MagickOutcome {
    enum class Result { Replaced, Failed, Stopped };
    Result result = Result::Failed;
    int errorLevel = 1;  // 0 only when the output was written
    QString message;     // for the console when it was not
};

// Runs the job and waits. It keeps nothing between calls, so jobs with different outputs
// may run side by side; a stop reaches each of their programs.
MagickOutcome runMagickJob(const MagickJob& job, const ProgramSetup& setup = {});

// What an ImageMagick line may touch, as its text names it, for telling whether two lines
// may run side by side: every argument that is no option counts as read (an option's value
// that is no file costs nothing, as no other line writes a file of that name), and written
// are convert's output and "-write" files, and every picture a mogrify line names. A name
// also counts without a format in front ("PNG:out.png") and without a frame behind
// ("in.gif[0]").
struct MagickLineFiles {
    QStringList reads;
    QStringList writes;
};

// The files of a convert, mogrify or magick line (the program as written, then its
// arguments). Nothing when the line may touch files its text does not name: another of
// ImageMagick's tools, a name pattern ("*.jpg"), a mogrify that writes elsewhere (-path,
// -format).
std::optional<MagickLineFiles> magickLineFilesOf(const QStringList& args);

}  // namespace kadrano::batch
