#include "command.h"

#include <string_view>

namespace kadrano::batch {

namespace {

using CellKind = LineParser::CellKind;

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// Where the command interpreter ends a command word and separates the arguments of its own
// commands.
bool isArgumentDelimiter(char16_t c) {
    return isBlank(c) || c == u',' || c == u';' || c == u'=';
}

bool isSpecial(char16_t c) {
    return c == u'&' || c == u'|' || c == u'<' || c == u'>';
}

bool isAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The command interpreter's own commands that our scripts never use. A Linux program of the
// same name (dir, more, find, sort …) does something else entirely, so they are refused
// rather than looked up on the PATH.
constexpr std::u16string_view kUnsupported[] = {
    u"assoc",  u"break", u"call", u"cd",     u"chdir",    u"cls",   u"color",
    u"copy",   u"date",  u"dir",  u"dpath",  u"endlocal", u"exit",  u"for",
    u"ftype",  u"goto",  u"keys", u"mklink", u"move",     u"path",  u"popd",
    u"prompt", u"pushd", u"rd",   u"rmdir",  u"setlocal", u"shift", u"start",
    u"time",   u"title", u"type", u"ver",    u"verify"};

bool isUnsupported(const QString& lowerWord) {
    const std::u16string_view w(reinterpret_cast<const char16_t*>(lowerWord.utf16()),
                                size_t(lowerWord.size()));
    for (std::u16string_view u : kUnsupported) {
        if (u == w)
            return true;
    }
    return false;
}

Command refused(Command c, const QString& reason) {
    c.kind = CommandKind::Refused;
    c.text = reason;
    c.args.clear();
    c.then.reset();
    c.otherwise.reset();
    c.redirect.reset();
    return c;
}

QString ifSyntaxText() {
    return QStringLiteral("this form of \"if\" is not supported");
}

}  // namespace

QString refusedCharacterText(QChar c) {
    return QStringLiteral("\"%1\" outside double quotes is not supported").arg(c);
}

Command LineParser::parse(QStringView line) {
    cells_.clear();
    cells_.reserve(size_t(line.size()));
    bool inQuotes = false;
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = line[i].unicode();
        if (c == u'"') {
            cells_.push_back({c, CellKind::Quote});
            inQuotes = !inQuotes;
        } else if (inQuotes) {
            cells_.push_back({c, CellKind::Literal});
        } else if (c == u'^') {
            // A caret at the very end would join the next line in the command interpreter;
            // we read one line at a time, so it simply goes.
            if (i + 1 < n)
                cells_.push_back({line[++i].unicode(), CellKind::Literal});
        } else {
            cells_.push_back({c, CellKind::Plain});
        }
    }
    return parseRange(0, cells_.size());
}

QString LineParser::text(size_t pos, size_t end) const {
    QString out(qsizetype(end - pos), Qt::Uninitialized);
    QChar* o = out.data();
    for (size_t i = pos; i < end; ++i)
        *o++ = QChar(cells_[i].ch);
    return out;
}

std::optional<QChar> LineParser::refusedSpecial(size_t pos, size_t end) const {
    for (size_t i = pos; i < end; ++i) {
        if (cells_[i].kind == CellKind::Plain && isSpecial(cells_[i].ch))
            return QChar(cells_[i].ch);
    }
    return std::nullopt;
}

QStringList LineParser::splitArguments(size_t pos, size_t end) const {
    QStringList out;
    QString current;
    bool any = false;  // "" is an argument too, an empty one
    for (size_t i = pos; i < end; ++i) {
        const Cell& c = cells_[i];
        if (c.kind == CellKind::Quote) {
            any = true;
        } else if (c.kind == CellKind::Plain && isArgumentDelimiter(c.ch)) {
            if (any)
                out.append(current);
            current.clear();
            any = false;
        } else {
            current += QChar(c.ch);
            any = true;
        }
    }
    if (any)
        out.append(current);
    return out;
}

Command LineParser::parseRange(size_t begin, size_t end) {
    Command c;
    size_t p = begin;
    while (p < end && cells_[p].kind == CellKind::Plain &&
           (isArgumentDelimiter(cells_[p].ch) || cells_[p].ch == u'@')) {
        if (cells_[p].ch == u'@')
            c.quiet = true;
        ++p;
    }
    if (p == end)
        return c;
    if (cells_[p].kind == CellKind::Plain && cells_[p].ch == u':')
        return c;  // a label

    size_t w = p;
    while (w < end && cells_[w].kind == CellKind::Plain && isAsciiLetter(cells_[w].ch))
        ++w;
    const QString word = text(p, w).toLower();
    const bool wordEnds =
        w == end || (cells_[w].kind == CellKind::Plain && isArgumentDelimiter(cells_[w].ch));

    if (word == QLatin1String("rem") && wordEnds) {
        c.kind = CommandKind::Rem;  // the rest, & and | included, is only a comment
        return c;
    }
    if (!word.isEmpty() && word != QLatin1String("rem") && wordEnds && isUnsupported(word)) {
        return refused(std::move(c),
                       QStringLiteral("the command \"%1\" is not supported").arg(text(p, w)));
    }

    const bool echoWord =
        word == QLatin1String("echo") &&
        (w == end ||
         (cells_[w].kind == CellKind::Plain &&
          std::u16string_view(u" \t,;=.:/\\([]+").find(cells_[w].ch) != std::u16string_view::npos));
    const bool internal =
        echoWord || (wordEnds && (word == QLatin1String("ren") || word == QLatin1String("rename") ||
                                  word == QLatin1String("del") || word == QLatin1String("erase") ||
                                  word == QLatin1String("md") || word == QLatin1String("mkdir") ||
                                  word == QLatin1String("pause") || word == QLatin1String("chcp") ||
                                  word == QLatin1String("set") || word == QLatin1String("if")));
    if (!internal)
        return parseProgram(std::move(c), p, end);

    if (const auto special = refusedSpecial(w, end))
        return refused(std::move(c), refusedCharacterText(*special));

    if (echoWord) {
        c.kind = CommandKind::Echo;
        if (w == end) {
            c.echo = EchoMode::ShowState;
            return c;
        }
        // The one character after "echo" only separates; everything after it is printed,
        // trailing blanks included.
        c.text = text(w + 1, end);
        if (isBlank(cells_[w].ch)) {
            const QString t = c.text.trimmed();
            if (t.isEmpty()) {
                c.echo = EchoMode::ShowState;
            } else if (t.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0) {
                c.echo = EchoMode::On;
            } else if (t.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
                c.echo = EchoMode::Off;
            }
        }
        return c;
    }
    if (word == QLatin1String("if"))
        return parseIf(std::move(c), w, end);
    if (word == QLatin1String("set")) {
        c.kind = CommandKind::Set;
        size_t q = w;
        while (q < end && cells_[q].kind == CellKind::Plain && isArgumentDelimiter(cells_[q].ch))
            ++q;
        if (q < end && cells_[q].kind == CellKind::Quote) {
            // set "NAME=value": the value ends at the last quote, so trailing blanks and
            // the quotes themselves stay out.
            size_t last = end;
            while (last > q + 1 && cells_[last - 1].kind != CellKind::Quote)
                --last;
            c.text = last > q + 1 ? text(q + 1, last - 1) : text(q + 1, end);
        } else {
            c.text = text(q, end);
        }
        return c;
    }

    if (word == QLatin1String("ren") || word == QLatin1String("rename")) {
        c.kind = CommandKind::Rename;
    } else if (word == QLatin1String("del") || word == QLatin1String("erase")) {
        c.kind = CommandKind::Delete;
    } else if (word == QLatin1String("md") || word == QLatin1String("mkdir")) {
        c.kind = CommandKind::MakeDir;
    } else if (word == QLatin1String("pause")) {
        c.kind = CommandKind::Pause;
    } else {
        c.kind = CommandKind::Chcp;
    }
    c.args = splitArguments(w, end);
    return c;
}

Command LineParser::parseIf(Command c, size_t pos, size_t end) {
    c.kind = CommandKind::If;
    size_t i = pos;
    const auto plainAt = [&](size_t k, char16_t ch) {
        return k < end && cells_[k].kind == CellKind::Plain && cells_[k].ch == ch;
    };
    const auto skipBlanks = [&] {
        while (i < end && cells_[i].kind == CellKind::Plain && isBlank(cells_[i].ch))
            ++i;
    };
    // A keyword in any case, followed by a blank (or by "(" where a block may follow).
    const auto keyword = [&](std::u16string_view lower, bool parenthesisMayFollow) {
        size_t k = i;
        for (char16_t ch : lower) {
            if (k >= end || cells_[k].kind != CellKind::Plain ||
                QChar(cells_[k].ch).toLower().unicode() != ch)
                return false;
            ++k;
        }
        if (k < end && !(cells_[k].kind == CellKind::Plain &&
                         (isBlank(cells_[k].ch) || (parenthesisMayFollow && cells_[k].ch == u'('))))
            return false;
        i = k;
        skipBlanks();
        return true;
    };
    const auto operand = [&](QString& out) {
        const size_t start = i;
        while (i < end && !(cells_[i].kind == CellKind::Plain &&
                            (isBlank(cells_[i].ch) || cells_[i].ch == u'=')))
            ++i;
        out = text(start, i);
        return i > start;
    };
    // The first unquoted ")" closes a block, as in the command interpreter.
    const auto closing = [&](size_t from) {
        for (size_t k = from; k < end; ++k) {
            if (plainAt(k, u')'))
                return k;
        }
        return end;
    };
    const auto branch = [&](std::unique_ptr<Command>& into) {
        if (plainAt(i, u'(')) {
            const size_t close = closing(i + 1);
            if (close == end)
                return false;
            into = std::make_unique<Command>(parseRange(i + 1, close));
            i = close + 1;
            skipBlanks();
        } else {
            into = std::make_unique<Command>(parseRange(i, end));
            i = end;
        }
        return true;
    };

    // A path as "if exist" reads it: quotes group and go, a delimiter outside them ends it.
    const auto pathOperand = [&](QString& out) {
        bool any = false;
        out.clear();
        while (i < end &&
               !(cells_[i].kind == CellKind::Plain && isArgumentDelimiter(cells_[i].ch))) {
            if (cells_[i].kind != CellKind::Quote)
                out += QChar(cells_[i].ch);
            any = true;
            ++i;
        }
        return any;
    };
    // "errorlevel" and "exist" are keywords only where no comparison follows them.
    const auto comparisonFollows = [&] { return plainAt(i, u'=') && plainAt(i + 1, u'='); };

    skipBlanks();
    if (keyword(u"/i", false))
        c.ignoreCase = true;
    if (keyword(u"not", false))
        c.negate = true;
    const size_t condition = i;
    if (keyword(u"errorlevel", false) && !comparisonFollows()) {
        c.test = IfTest::ErrorLevel;
        QString number;
        bool isNumber = false;
        if (operand(number))
            c.level = number.toInt(&isNumber);
        if (!isNumber || c.ignoreCase)
            return refused(std::move(c), ifSyntaxText());
    } else if ((i = condition, keyword(u"exist", false)) && !comparisonFollows()) {
        c.test = IfTest::Exist;
        if (!pathOperand(c.path) || c.ignoreCase)
            return refused(std::move(c), ifSyntaxText());
    } else {
        i = condition;
        if (!operand(c.left))
            return refused(std::move(c), ifSyntaxText());
        skipBlanks();
        if (!plainAt(i, u'=') || !plainAt(i + 1, u'='))
            return refused(std::move(c), ifSyntaxText());
        i += 2;
        skipBlanks();
        if (!operand(c.right))
            return refused(std::move(c), ifSyntaxText());
    }
    skipBlanks();
    if (i == end)
        return refused(std::move(c), ifSyntaxText());

    const bool block = plainAt(i, u'(');
    if (!branch(c.then))
        return refused(std::move(c), ifSyntaxText());
    if (block && i < end) {
        if (!keyword(u"else", true) || i == end || !branch(c.otherwise))
            return refused(std::move(c), ifSyntaxText());
        if (i < end)
            return refused(std::move(c), ifSyntaxText());
    }
    // The whole line is read before any of it runs: a bad branch stops both.
    for (const auto* part : {c.then.get(), c.otherwise.get()}) {
        if (part && part->kind == CommandKind::Refused)
            return refused(std::move(c), part->text);
    }
    return c;
}

Command LineParser::parseProgram(Command c, size_t pos, size_t end) {
    c.kind = CommandKind::Program;
    QString current;
    bool any = false;
    const auto push = [&] {
        if (any)
            c.args.append(current);
        current.clear();
        any = false;
    };
    size_t i = pos;
    while (i < end) {
        const Cell& x = cells_[i];
        if (x.kind == CellKind::Quote) {
            any = true;
            ++i;
            continue;
        }
        if (x.kind == CellKind::Plain && isBlank(x.ch)) {
            push();
            ++i;
            continue;
        }
        if (x.kind == CellKind::Plain && x.ch == u'>') {
            // "2>" redirects a numbered handle in the command interpreter.
            if (any && current.size() == 1 && current.front().isDigit() &&
                cells_[i - 1].kind == CellKind::Plain) {
                return refused(
                    std::move(c),
                    QStringLiteral("redirecting handle %1 is not supported").arg(current));
            }
            push();
            Redirection r;
            ++i;
            if (i < end && cells_[i].kind == CellKind::Plain && cells_[i].ch == u'>') {
                r.append = true;
                ++i;
            }
            while (i < end && cells_[i].kind == CellKind::Plain && isBlank(cells_[i].ch))
                ++i;
            bool named = false;
            while (i < end && !(cells_[i].kind == CellKind::Plain && isBlank(cells_[i].ch))) {
                if (cells_[i].kind == CellKind::Plain && isSpecial(cells_[i].ch))
                    return refused(std::move(c), refusedCharacterText(QChar(cells_[i].ch)));
                if (cells_[i].kind != CellKind::Quote)
                    r.path += QChar(cells_[i].ch);
                named = true;
                ++i;
            }
            while (i < end && cells_[i].kind == CellKind::Plain && isBlank(cells_[i].ch))
                ++i;
            if (i < end || !named || r.path.isEmpty()) {
                return refused(std::move(c),
                               QStringLiteral("only one output redirection (\"> FILE\" or "
                                              "\">> FILE\") at the end of a program line is "
                                              "supported"));
            }
            c.redirect = std::move(r);
            break;
        }
        if (x.kind == CellKind::Plain && isSpecial(x.ch))
            return refused(std::move(c), refusedCharacterText(QChar(x.ch)));
        current += QChar(x.ch);
        any = true;
        ++i;
    }
    push();
    if (c.args.isEmpty())
        return refused(std::move(c), QStringLiteral("a redirection without a program"));
    return c;
}

}  // namespace kadrano::batch
