#pragma once

#include <QString>
#include <QStringList>

namespace kadrano {

// Everything a generated batch script is made of, apart from the tool's own commands.

// A path or file name as one argument of a script line.
//
// The command interpreter acts on & | < > ^ outside quotes, splits ren/del/md arguments at
// , ; = and closes an if block at ), and it expands % even inside quotes. Quoting only on
// blanks would let a name such as "x&y.jpg" start a second command, and "50%.jpg" rename
// a different file. So the argument is quoted when it holds a blank, a tab or any of
// & | < > ^ ( ) , ; = ! and every % is doubled. Leading and trailing blanks belong to
// the name and are kept. An ordinary name comes out exactly as QuoteIfSpaces gives it.
QString scriptArg(const QString& pathOrName);
// The same, appended to a line being built (no text of its own for each argument: tools
// that write a line for each of many thousand files use this).
void appendScriptArg(QString& line, QStringView pathOrName);

// Whether a name can stand in a script line at all. A double quote cannot be escaped
// inside a quoted argument, and a line break or other control character would end or
// corrupt the line; such names (possible on Linux, not on Windows) must be skipped.
bool canStandInScript(const QString& pathOrName);

// The two lines every script starts with.
QStringList scriptHeader();

// The progress line written before each file's command: percent done (halves to even),
// a countdown that starts at count + 1, and the file's number.
QString progressLine(int index, int count);

// Builds a script in memory: the header, the tool's lines, the optional "pause".
class ScriptBuilder {
public:
    ScriptBuilder();
    void add(const QString& line) { lines_.append(line); }
    void addProgress(int index, int count) { lines_.append(progressLine(index, count)); }
    void finish(bool pauseAtEnd);
    const QStringList& lines() const { return lines_; }

private:
    QStringList lines_;
};

// Writes the lines with CR LF endings, replacing an old file of that name. The file is
// written completely or not at all (a full disk leaves no half script that could run).
bool writeScriptFile(const QString& path, const QStringList& lines);

// The bytes of a script or list text as they go to disk (the system's encoding: UTF-8
// here, the ANSI code page on Windows).
QByteArray encodeScriptText(const QStringList& lines);
// Appends one line and its CR LF, encoded as encodeScriptText does: for a long list written
// line by line, without a text of its own for every line.
void appendScriptLine(QByteArray& out, QStringView line);

}  // namespace kadrano
