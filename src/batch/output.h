#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <chrono>
#include <vector>

namespace kadrano::batch {

// Appends the text as UTF-8 (a lone surrogate becomes U+FFFD). Used for everything that
// leaves the interpreter, output and file names alike, without a temporary per call.
void appendUtf8(QByteArray& out, QStringView text);

// The interpreter's standard output and error. Output is buffered, since a rename script
// prints a line per file; it is written out when a program starts, at "pause", before an
// error message (so both streams keep their order in a shared pipe), at the end, and at
// least every few hundredths of a second, so a window that shows it stays current. On a
// terminal every line goes out at once.
//
// A capturing Output writes nothing: it keeps what is written, and what the programs it is
// given to print, standard output and error apart and in order, until replayInto() writes
// it out through another Output. A block that runs beside others prints this way, so the
// console shows each block's output whole and in the script's order.
class Output {
public:
    explicit Output(int outFd = 1, int errFd = 2);
    struct Capturing {};
    explicit Output(Capturing);
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void write(QStringView text) { appendUtf8(buffer_, text); }
    void write(const char* ascii) { buffer_.append(ascii); }
    // One line to standard error.
    void error(QStringView line);
    void error(const char* ascii) { error(QString::fromLatin1(ascii)); }
    void flush();
    // Called after each script line.
    void lineDone();

    bool capturing() const { return capturing_; }
    // What a program printed on its stream (1 or 2); capturing only.
    void programOutput(int stream, const char* data, qsizetype size);
    // Writes everything kept, in its order, and forgets it.
    void replayInto(Output& target);

private:
    struct Chunk {
        int stream;
        QByteArray bytes;
    };
    void keep(int stream, const char* data, qsizetype size);

    std::vector<Chunk> kept_;
    QByteArray buffer_;
    QByteArray errorBuffer_;
    int outFd_;
    int errFd_;
    bool interactive_;
    bool capturing_ = false;
    std::chrono::steady_clock::time_point lastFlush_;
};

}  // namespace kadrano::batch
