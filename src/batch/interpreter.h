#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include "command.h"
#include "expansion.h"
#include "magickjob.h"
#include "output.h"

namespace kadrano {
class UndoJournalWriter;
}

namespace kadrano::batch {

// Runs the lines of a batch script with the command interpreter's effect, one after the
// other. A line that fails is reported and the script goes on, as in the command
// interpreter; a line we do not run (unquoted & | < >, a command we do not know) is named by
// its number and skipped whole.
//
// Like the command interpreter, ECHO starts on: each command not led by "@" is shown after
// a prompt with the current folder before it runs, so the person at the console window can
// see which file an error belongs to. "echo off" ends that.
class Interpreter {
public:
    Interpreter(Output& output, Variables variables, Parameters parameters,
                const QString& currentDir);

    // Runs every line of the script text (CR LF or LF). Returns how many lines failed (at
    // most 255, as an exit status can hold). Stops early only on a stop signal.
    int run(QStringView script);

    // Reads the file (UTF-8, or Windows-1252 when it is not valid UTF-8) and runs it; -1
    // when it cannot be read.
    int runFile(const QString& path);

    // Notes every rename, deletion and program line in the undo journal from now on.
    void setJournal(UndoJournalWriter* journal) { journal_ = journal; }

private:
    bool runLine(QStringView line, int number);
    bool execute(const Command& c, int number);
    bool executeOne(const Command& c, int number);
    bool pathExists(const QString& path);
    bool echo(const Command& c);
    bool rename(const Command& c);
    bool remove(const Command& c);
    bool makeDirs(const Command& c);
    bool chcp(const Command& c);
    bool set(const Command& c);
    bool program(const Command& c);
    // An ImageMagick line: written to a new file, which replaces the output only whole.
    bool magick(const MagickJob& job);
    // After a stop: which pictures ImageMagick finished, and which one it left.
    void reportStop();
    void pause();
    void fail(const char* message) { output_.error(message); }
    void fail(const QString& message) { output_.error(message); }
    void failWith(int error);
    QByteArray& encoded(QByteArray& buffer, QStringView text);

    Output& output_;
    Variables vars_;
    Parameters params_;
    QString prompt_;  // the empty line and "folder>" shown before an echoed command
    QString currentDir_;
    LineParser parser_;
    bool echoOn_ = true;
    int codePage_ = 65001;
    QHash<QString, QByteArray> programs_;  // where each program name was found
    QByteArray from_;
    QByteArray to_;
    int magickDone_ = 0;
    QString lastMagickDone_;
    QString magickInterrupted_;
    UndoJournalWriter* journal_ = nullptr;
};

}  // namespace kadrano::batch
