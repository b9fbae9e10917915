#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kadrano::batch {

// Where the program a line names lies: a name with "/" as written (relative names from the
// current folder), any other the first executable file of that name on the PATH. Unlike
// the command interpreter we do not look in the current folder first: a picture folder
// must not be able to supply a "convert" of its own. Empty with *error set when none.
QByteArray findProgram(const QString& name, int* error);

class Output;

// How a program started by a block that runs beside others differs from one started alone.
struct ProgramSetup {
    // Where its standard output (unless outFd is given) and error go, each in the order it
    // arrived, so that the block's output can be shown whole later. Null: inherited.
    Output* capture = nullptr;
};

// Starts the program directly (never through a shell) with stdin and stderr inherited and
// stdout to outFd when that is not -1, and waits for it. Returns the exit code (128 + the
// signal for a program killed by one), or -1 with *error set when it could not start.
// Programs may run from several threads at once; a stop reaches every one of them.
int runProgram(const QByteArray& path, const QList<QByteArray>& argv, int outFd, int* error,
               const ProgramSetup& setup = {});

// The processors this process may run on.
int availableCores();

// Waits for one key: on a terminal a single key press without Enter, otherwise one byte of
// input. Returns at the end of input as well.
void waitForKey();

// SIGTERM, SIGINT and SIGHUP stop the script: every running program gets the same signal,
// the terminal gets its settings back, and stopSignal() tells the loop to end.
void installStopHandlers();
int stopSignal();
// Ends this process by the signal that stopped it, as a parent expects.
[[noreturn]] void dieBySignal(int signal);

}  // namespace kadrano::batch
