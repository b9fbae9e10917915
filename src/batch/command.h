#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace kadrano::batch {

// One line of a script after percent expansion, read the way the command interpreter reads
// it: double quotes group, ^ takes the next character literally outside quotes, and an
// unquoted & | < > would start another command or a redirection. We run a single command
// per line, so those characters are refused (apart from one output redirection at the end
// of a program line); parentheses only matter as the branches of "if".

enum class CommandKind {
    Nothing,  // an empty line or a label
    Rem,
    Echo,
    Rename,
    Delete,
    MakeDir,
    Pause,
    Chcp,
    Set,
    If,
    Program,
    Refused,  // not run; text says why
};

enum class EchoMode { Print, ShowState, On, Off };

// What an "if" tests: two texts, the exit code of the last program ("errorlevel N" holds
// when it is N or more), or whether a file or folder exists.
enum class IfTest { Compare, ErrorLevel, Exist };

struct Redirection {
    QString path;
    bool append = false;
};

struct Command {
    CommandKind kind = CommandKind::Nothing;
    bool quiet = false;  // led by "@": the command itself is not echoed
    // Rename, Delete, MakeDir, Chcp: the arguments without their quotes. Program: the
    // program as written, then its arguments.
    QStringList args;
    // Echo: what it prints. Set: "NAME=value" or a name prefix to list. Refused: the reason.
    QString text;
    EchoMode echo = EchoMode::Print;
    std::optional<Redirection> redirect;  // Program only

    // If: the test and its branches ("otherwise" may be empty). Compare uses left and
    // right, ErrorLevel the level, Exist the path (without its quotes).
    IfTest test = IfTest::Compare;
    bool negate = false;
    bool ignoreCase = false;
    QString left;
    QString right;
    int level = 0;
    QString path;
    std::unique_ptr<Command> then;
    std::unique_ptr<Command> otherwise;

    // The condition, given the current error level and, for Exist, whether the path exists.
    bool conditionHolds(int errorLevel = 0, bool pathExists = false) const {
        bool holds = false;
        switch (test) {
            case IfTest::Compare:
                holds = QString::compare(left, right,
                                         ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
                break;
            case IfTest::ErrorLevel:
                holds = errorLevel >= level;
                break;
            case IfTest::Exist:
                holds = pathExists;
                break;
        }
        return holds != negate;
    }
};

// Reads one expanded line. Keeps its scratch space between calls, so one parser serves a
// whole script without allocating per character.
class LineParser {
public:
    Command parse(QStringView line);

    enum class CellKind : unsigned char { Plain, Literal, Quote };
    struct Cell {
        char16_t ch;
        CellKind kind;
    };

private:
    Command parseRange(size_t begin, size_t end);
    Command parseIf(Command c, size_t pos, size_t end);
    Command parseProgram(Command c, size_t pos, size_t end);
    QStringList splitArguments(size_t pos, size_t end) const;
    QString text(size_t pos, size_t end) const;
    std::optional<QChar> refusedSpecial(size_t pos, size_t end) const;

    std::vector<Cell> cells_;
};

// The message for a line that is not run because of the character c outside quotes.
QString refusedCharacterText(QChar c);

}  // namespace kadrano::batch
