// kadrano-bat [--jobs N] SCRIPT [ARGUMENT …]: runs a batch script the tools wrote, with the
// command interpreter's effect, in the script's folder. Exit status 0 when every line
// succeeded, else the number of lines that failed (255 for 255 or more).
//
// --jobs N: how many pictures of an ImageMagick script are worked on at once (default: one
// per processor core; 1 runs every line in turn).

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "core/undojournal.h"
#include "interpreter.h"
#include "process.h"

using namespace kadrano::batch;

namespace {

constexpr const char* kUsage = "Usage: kadrano-bat [--jobs N] SCRIPT [ARGUMENT ...]\n";

// A whole number from 1 to the most jobs; 0 for anything else.
int jobsFrom(const char* text) {
    const QByteArray t(text);
    bool ok = false;
    const int n = t.toInt(&ok);
    return ok && n >= 1 && n <= Interpreter::kMaxJobs ? n : 0;
}

}  // namespace

int main(int argc, char** argv) {
    int jobs = availableCores();
    int first = 1;  // the script's place among the arguments
    while (first < argc && std::strncmp(argv[first], "--", 2) == 0) {
        const char* option = argv[first];
        if (std::strcmp(option, "--") == 0) {
            ++first;
            break;
        }
        const char* value = nullptr;
        if (std::strcmp(option, "--jobs") == 0 && first + 1 < argc) {
            value = argv[first + 1];
            first += 2;
        } else if (std::strncmp(option, "--jobs=", 7) == 0) {
            value = option + 7;
            first += 1;
        } else {
            std::fprintf(stderr, "kadrano-bat: unknown option %s\n%s", option, kUsage);
            return 1;
        }
        jobs = jobsFrom(value);
        if (jobs == 0) {
            std::fprintf(stderr, "kadrano-bat: --jobs takes a number from 1 to %d, not %s\n",
                         Interpreter::kMaxJobs, value);
            return 1;
        }
    }
    if (first >= argc) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    installStopHandlers();
    const QString script = QFile::decodeName(argv[first]);
    QStringList arguments;
    for (int i = first + 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));

    const QFileInfo info(script);
    const QString folder = QDir::cleanPath(info.absolutePath());
    const QString path = info.absoluteFilePath();
    if (!info.isFile() || ::chdir(QFile::encodeName(folder).constData()) != 0) {
        std::fprintf(stderr, "kadrano-bat: cannot open the script %s\n", argv[first]);
        return 1;
    }

    Variables variables = Variables::fromEnvironment();
    variables.setCurrentDir(folder);
    Output output;
    Interpreter interpreter(output, std::move(variables), makeParameters(script, arguments),
                            folder);
    interpreter.setJobs(jobs);
    // The window names a journal; a script run by hand is not noted.
    kadrano::UndoJournalWriter journal(qEnvironmentVariable(kadrano::kUndoJournalVariable),
                                       info.fileName(), folder);
    if (journal.active())
        interpreter.setJournal(&journal);
    const int status = interpreter.runFile(path);
    if (status >= 0 && !stopSignal())
        journal.finish(status);
    output.flush();
    if (const QString problem = journal.problem(); !problem.isEmpty())
        std::fprintf(stderr,
                     "kadrano-bat: the undo journal could not be written (%s); this run "
                     "cannot be undone.\n",
                     qPrintable(problem));
    if (stopSignal())
        dieBySignal(stopSignal());
    if (status < 0) {
        std::fprintf(stderr, "kadrano-bat: cannot read the script %s\n", argv[first]);
        return 1;
    }
    return status;
}
