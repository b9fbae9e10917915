#include "interpreter.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "core/textcodec.h"
#include "core/undojournal.h"
#include "fileops.h"
#include "magickjob.h"
#include "process.h"

namespace kadrano::batch {

namespace {

// The command interpreter's own wording, so the console reads as it does on Windows.
constexpr const char* kSyntax = "The syntax of the command is incorrect.";
constexpr const char* kDuplicate = "A duplicate file name exists, or the file cannot be found.";
constexpr const char* kFileNotFound = "The system cannot find the file specified.";
constexpr const char* kPathNotFound = "The system cannot find the path specified.";
constexpr const char* kAccessDenied = "Access is denied.";
constexpr const char* kBadName =
    "The filename, directory name, or volume label syntax is incorrect.";

QString notRecognized(const QString& program) {
    return QStringLiteral(
               "'%1' is not recognized as an internal or external command,\n"
               "operable program or batch file.")
        .arg(program);
}

QStringView trimmedView(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t'))
        --e;
    return s.mid(b, e - b);
}

}  // namespace

Interpreter::Interpreter(Output& output, Variables variables, Parameters parameters,
                         const QString& currentDir)
    : output_(output),
      vars_(std::move(variables)),
      params_(std::move(parameters)),
      prompt_(u'\n' + currentDir + u'>'),
      currentDir_(currentDir) {}

int Interpreter::runFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QString text = DecodeText(file.readAll());
    // An editor's byte order mark is not part of the first command.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return run(text);
}

int Interpreter::run(QStringView script) {
    int failed = 0;
    int number = 0;
    qsizetype pos = 0;
    const qsizetype n = script.size();
    while (pos < n) {
        qsizetype nl = script.indexOf(u'\n', pos);
        if (nl < 0)
            nl = n;
        QStringView line = script.mid(pos, nl - pos);
        if (line.endsWith(u'\r'))
            line.chop(1);
        pos = nl + 1;
        ++number;
        if (!runLine(line, number))
            ++failed;
        output_.lineDone();
        if (StopSignal())
            break;
    }
    if (StopSignal())
        reportStop();
    output_.flush();
    // The exit status tells the caller how many lines failed; an exit status holds no more
    // than 255.
    return std::min(failed, 255);
}

bool Interpreter::runLine(QStringView line, int number) {
    if (trimmedView(line).isEmpty())
        return true;
    QString expandedText;
    QStringView expanded = line;
    if (line.contains(u'%')) {
        expandedText = ExpandPercents(line, params_, vars_);
        expanded = expandedText;
    }
    const Command c = parser_.parse(expanded);
    if (c.kind == CommandKind::Nothing)
        return true;
    if (c.kind == CommandKind::Refused) {
        output_.error(QStringLiteral("kadrano-bat: line %1: %2; the line is skipped.")
                          .arg(QString::number(number), c.text));
        vars_.setErrorLevel(1);
        return false;
    }
    if (echoOn_ && !c.quiet) {
        output_.write(prompt_);
        output_.write(trimmedView(expanded));
        output_.write("\n");
    }
    return execute(c, number);
}

bool Interpreter::execute(const Command& c, int number) {
    const bool ok = executeOne(c, number);
    // A program sets the error level to its exit code itself; an "if" leaves it to the
    // branch that ran.
    if (!ok && c.kind != CommandKind::Program && c.kind != CommandKind::If)
        vars_.setErrorLevel(1);
    return ok;
}

bool Interpreter::executeOne(const Command& c, int number) {
    switch (c.kind) {
        case CommandKind::Nothing:
        case CommandKind::Rem:
            return true;
        case CommandKind::Echo:
            return echo(c);
        case CommandKind::Rename:
            return rename(c);
        case CommandKind::Delete:
            return remove(c);
        case CommandKind::MakeDir:
            return makeDirs(c);
        case CommandKind::Pause:
            pause();
            return true;
        case CommandKind::Chcp:
            return chcp(c);
        case CommandKind::Set:
            return set(c);
        case CommandKind::If: {
            const bool holds =
                c.conditionHolds(vars_.errorLevel(), c.test == IfTest::Exist && pathExists(c.path));
            const Command* branch = holds ? c.then.get() : c.otherwise.get();
            return branch ? execute(*branch, number) : true;
        }
        case CommandKind::Program:
            return program(c);
        case CommandKind::Refused:
            break;
    }
    return false;
}

QByteArray& Interpreter::encoded(QByteArray& buffer, QStringView text) {
    buffer.resize(0);
    AppendUtf8(buffer, text);
    return buffer;
}

void Interpreter::failWith(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            fail(kAccessDenied);
            break;
        case ENOENT:
        case ENOTDIR:
            fail(kPathNotFound);
            break;
        case ENAMETOOLONG:
            fail(kBadName);
            break;
        case EBUSY:
            fail(
                "The process cannot access the file because it is being used by another "
                "process.");
            break;
        case ENOSPC:
            fail("There is not enough space on the disk.");
            break;
        default:
            fail(QString::fromLocal8Bit(std::strerror(error)));
    }
}

bool Interpreter::echo(const Command& c) {
    switch (c.echo) {
        case EchoMode::ShowState:
            output_.write(echoOn_ ? "ECHO is on.\n" : "ECHO is off.\n");
            break;
        case EchoMode::On:
            echoOn_ = true;
            break;
        case EchoMode::Off:
            echoOn_ = false;
            break;
        case EchoMode::Print:
            output_.write(c.text);
            output_.write("\n");
            break;
    }
    return true;
}

bool Interpreter::pathExists(const QString& path) {
    // The name is taken literally: a Linux file name may hold "*" or "?", and the tools only
    // ever write the names of real files, never patterns.
    struct stat st;
    return !path.isEmpty() && ::stat(encoded(from_, path).constData(), &st) == 0;
}

bool Interpreter::rename(const Command& c) {
    if (c.args.size() != 2) {
        fail(kSyntax);
        return false;
    }
    const QString& source = c.args.at(0);
    const QString& newName = c.args.at(1);
    // The new name is a bare name: ren renames in place and never moves.
    if (source.isEmpty() || source.endsWith(u'/') || newName.isEmpty() || newName.contains(u'/')) {
        fail(kSyntax);
        return false;
    }
    encoded(from_, source);
    to_.resize(0);
    AppendUtf8(to_, QStringView(source).left(source.lastIndexOf(u'/') + 1));
    AppendUtf8(to_, newName);
    if (journal_)
        journal_->renameStarting(source, source.left(source.lastIndexOf(u'/') + 1) + newName);
    const int e = RenameNoReplace(from_.constData(), to_.constData());
    if (e == 0)
        return true;
    if (journal_)
        journal_->renameFailed(e);
    if (e == EEXIST || e == ENOTEMPTY) {
        fail(kDuplicate);
    } else if (e == ENOENT) {
        fail(kFileNotFound);
    } else {
        failWith(e);
    }
    return false;
}

bool Interpreter::remove(const Command& c) {
    if (c.args.isEmpty() || c.args.front().isEmpty()) {
        fail(kSyntax);
        return false;
    }
    // The command interpreter would delete every name; one line of ours names one file,
    // so a second name can only come from a name that lost its quotes.
    if (c.args.size() > 1) {
        fail(QStringLiteral("More than one name after del; nothing was deleted."));
        return false;
    }
    const QString& path = c.args.front();
    const int e = RemoveOneFile(encoded(from_, path).constData());
    if (e == 0) {
        if (journal_)
            journal_->deleted(path);
        return true;
    }
    if (e == ENOENT || e == ENOTDIR) {
        fail(QStringLiteral("Could Not Find ") +
             (path.startsWith(u'/') ? path : currentDir_ + u'/' + path));
    } else if (e == EISDIR) {
        fail(QStringLiteral("%1 is a folder; del removes single files only, nothing was deleted.")
                 .arg(path));
    } else {
        failWith(e);
    }
    return false;
}

bool Interpreter::makeDirs(const Command& c) {
    if (c.args.isEmpty()) {
        fail(kSyntax);
        return false;
    }
    bool ok = true;
    for (const QString& path : c.args) {
        const int e = path.isEmpty() ? ENOENT : MakeFolderPath(encoded(from_, path).constData());
        if (e == 0)
            continue;
        ok = false;
        if (e == EEXIST) {
            fail(QStringLiteral("A subdirectory or file %1 already exists.").arg(path));
        } else {
            failWith(e);
        }
    }
    return ok;
}

bool Interpreter::chcp(const Command& c) {
    if (c.args.size() == 1) {
        bool number = false;
        const int page = c.args.front().toInt(&number);
        if (!number || page <= 0 || page > 65535) {
            fail("Invalid code page");
            return false;
        }
        // The script was decoded as a whole already and our output is always UTF-8;
        // the page is only remembered for a later "chcp".
        codePage_ = page;
    } else if (c.args.size() > 1) {
        fail("Parameter format not correct");
        return false;
    }
    output_.write(QStringLiteral("Active code page: %1\n").arg(codePage_));
    return true;
}

bool Interpreter::set(const Command& c) {
    const qsizetype eq = c.text.indexOf(u'=');
    if (eq < 0) {
        const QStringList lines = vars_.listing(c.text);
        if (lines.isEmpty()) {
            fail(QStringLiteral("Environment variable %1 not defined").arg(c.text));
            return false;
        }
        for (const QString& l : lines) {
            output_.write(l);
            output_.write("\n");
        }
        return true;
    }
    if (eq == 0) {
        fail(kSyntax);
        return false;
    }
    vars_.set(c.text.left(eq), c.text.mid(eq + 1));
    programs_.clear();  // PATH may have changed
    return true;
}

bool Interpreter::program(const Command& c) {
    output_.flush();  // what the script printed so far comes before the program's output
    const QString& name = c.args.front();
    int error = 0;
    QByteArray path = programs_.value(name);
    if (path.isEmpty()) {
        path = FindProgram(name, &error);
        if (!path.isEmpty())
            programs_.insert(name, path);
    }
    if (path.isEmpty()) {
        if (error == EACCES) {
            fail(kAccessDenied);
        } else {
            fail(notRecognized(name));
        }
        vars_.setErrorLevel(9009);
        return false;
    }
    if (journal_)
        journal_->programStarting(name);
    if (!c.redirect) {
        if (const std::optional<MagickJob> job = PlanMagickJob(c.args, path))
            return magick(*job);
    }
    int fd = -1;
    if (c.redirect) {
        const int flags =
            O_WRONLY | O_CREAT | O_CLOEXEC | (c.redirect->append ? O_APPEND : O_TRUNC);
        fd = ::open(encoded(to_, c.redirect->path).constData(), flags, 0666);
        if (fd < 0) {
            failWith(errno);
            vars_.setErrorLevel(1);
            return false;
        }
    }
    QList<QByteArray> argv;
    argv.reserve(c.args.size());
    for (const QString& a : c.args) {
        QByteArray b;
        AppendUtf8(b, a);
        argv.append(b);
    }
    const int code = RunProgram(path, argv, fd, &error);
    if (fd >= 0)
        ::close(fd);
    if (code < 0) {
        if (error == ENOEXEC) {
            fail(notRecognized(name));
        } else {
            failWith(error);
        }
        vars_.setErrorLevel(9009);
        return false;
    }
    vars_.setErrorLevel(code);
    return code == 0;
}

bool Interpreter::magick(const MagickJob& job) {
    const MagickOutcome o = RunMagickJob(job);
    vars_.setErrorLevel(o.errorLevel);
    switch (o.result) {
        case MagickOutcome::Result::Replaced:
            ++magickDone_;
            lastMagickDone_ = job.output;
            return true;
        case MagickOutcome::Result::Stopped:
            magickInterrupted_ = job.output;
            break;
        case MagickOutcome::Result::Failed:
            break;
    }
    fail(QStringLiteral("kadrano-bat: ") + o.message);
    return false;
}

void Interpreter::reportStop() {
    if (magickDone_ == 0 && magickInterrupted_.isEmpty())
        return;
    QString text =
        QStringLiteral("kadrano-bat: stopped. ImageMagick finished %1 picture(s)").arg(magickDone_);
    if (magickDone_ > 0)
        text += QStringLiteral(", the last one %1").arg(lastMagickDone_);
    text += u'.';
    if (!magickInterrupted_.isEmpty())
        text += QStringLiteral(" %1, on which it was working, was left as it was.")
                    .arg(magickInterrupted_);
    fail(text);
}

void Interpreter::pause() {
    output_.write("Press any key to continue . . . ");
    output_.flush();
    WaitForKey();
    output_.write("\n");
}

}  // namespace kadrano::batch
