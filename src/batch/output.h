#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <chrono>

namespace kadrano::batch {

// Appends the text as UTF-8 (a lone surrogate becomes U+FFFD). Used for everything that
// leaves the interpreter, output and file names alike, without a temporary per call.
void AppendUtf8(QByteArray& out, QStringView text);

// The interpreter's standard output and error. Output is buffered, since a rename script
// prints a line per file; it is written out when a program starts, at "pause", before an
// error message (so both streams keep their order in a shared pipe), at the end, and at
// least every few hundredths of a second, so a window that shows it stays current. On a
// terminal every line goes out at once.
class Output {
public:
    explicit Output(int outFd = 1, int errFd = 2);
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void write(QStringView text) { AppendUtf8(buffer_, text); }
    void write(const char* ascii) { buffer_.append(ascii); }
    // One line to standard error.
    void error(QStringView line);
    void error(const char* ascii) { error(QString::fromLatin1(ascii)); }
    void flush();
    // Called after each script line.
    void lineDone();

private:
    QByteArray buffer_;
    QByteArray errorBuffer_;
    int outFd_;
    int errFd_;
    bool interactive_;
    std::chrono::steady_clock::time_point lastFlush_;
};

}  // namespace kadrano::batch
