// kadrano-bat SCRIPT [ARGUMENT …]: runs a batch script the tools wrote, with the command
// interpreter's effect, in the script's folder. Exit status 0 when every line succeeded,
// else the number of lines that failed (255 for 255 or more).

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "core/undojournal.h"
#include "interpreter.h"
#include "process.h"

using namespace kadrano::batch;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("Usage: kadrano-bat SCRIPT [ARGUMENT ...]\n", stderr);
        return 1;
    }
    InstallStopHandlers();
    const QString script = QFile::decodeName(argv[1]);
    QStringList arguments;
    for (int i = 2; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));

    const QFileInfo info(script);
    const QString folder = QDir::cleanPath(info.absolutePath());
    const QString path = info.absoluteFilePath();
    if (!info.isFile() || ::chdir(QFile::encodeName(folder).constData()) != 0) {
        std::fprintf(stderr, "kadrano-bat: cannot open the script %s\n", argv[1]);
        return 1;
    }

    Variables variables = Variables::FromEnvironment();
    variables.setCurrentDir(folder);
    Output output;
    Interpreter interpreter(output, std::move(variables), MakeParameters(script, arguments),
                            folder);
    // The window names a journal; a script run by hand is not noted.
    kadrano::UndoJournalWriter journal(qEnvironmentVariable(kadrano::kUndoJournalVariable),
                                       info.fileName(), folder);
    if (journal.active())
        interpreter.setJournal(&journal);
    const int status = interpreter.runFile(path);
    if (status >= 0 && !StopSignal())
        journal.finish(status);
    output.flush();
    if (const QString problem = journal.problem(); !problem.isEmpty())
        std::fprintf(stderr,
                     "kadrano-bat: the undo journal could not be written (%s); this run "
                     "cannot be undone.\n",
                     qPrintable(problem));
    if (StopSignal())
        DieBySignal(StopSignal());
    if (status < 0) {
        std::fprintf(stderr, "kadrano-bat: cannot read the script %s\n", argv[1]);
        return 1;
    }
    return status;
}
