#include "interpreter.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "blocks.h"
#include "core/blanks.h"
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
    QString text = decodeText(file.readAll());
    // An editor's byte order mark is not part of the first command.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return run(text);
}

void Interpreter::setJobs(int jobs) {
    // ImageMagick keeps the thread count the person has (a thread per core unless
    // MAGICK_THREAD_LIMIT says otherwise): with pictures side by side, limiting each to its
    // share of the cores measured no faster (bench/imagemagick/run-parallel.sh).
    jobs_ = std::clamp(jobs, 1, kMaxJobs);
}

namespace {

// Calls back for each line of the script (CR LF or LF) with its number, until told to end.
template <typename Each>
void forEachScriptLine(QStringView script, Each each) {
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
        if (!each(line, ++number))
            return;
    }
}

}  // namespace

int Interpreter::runInOrder(QStringView script) {
    int failed = 0;
    forEachScriptLine(script, [&](QStringView line, int number) {
        if (!runLine(line, number))
            ++failed;
        output_.lineDone();
        return !stopSignal();
    });
    return failed;
}

bool Interpreter::prepare(QStringView line, int number, Line& out) {
    if (trimBlanks(line).isEmpty())
        return false;
    QString expandedText;
    QStringView expanded = line;
    if (line.contains(u'%')) {
        expandedText = expandPercents(line, params_, vars_);
        expanded = expandedText;
    }
    out.number = number;
    out.command = parser_.parse(expanded);
    if (out.command.kind == CommandKind::Nothing)
        return false;
    // Echo on and off are lines of their own, which run after every line before them: the
    // state now is the state this line runs in.
    out.echo = echoOn_ && !out.command.quiet && out.command.kind != CommandKind::Refused;
    if (out.echo)
        out.shown = trimBlanks(expanded).toString();
    return true;
}

bool Interpreter::runPrepared(const Line& line) {
    const Command& c = line.command;
    if (c.kind == CommandKind::Refused) {
        output_.error(QStringLiteral("kadrano-bat: line %1: %2; the line is skipped.")
                          .arg(QString::number(line.number), c.text));
        vars_.setErrorLevel(1);
        return false;
    }
    if (line.echo) {
        output_.write(prompt_);
        output_.write(line.shown);
        output_.write("\n");
    }
    return execute(c, line.number);
}

bool Interpreter::runLine(QStringView line, int number) {
    Line l;
    return !prepare(line, number, l) || runPrepared(l);
}

// The undo journal's notes of a block that runs beside others. The journal is to list
// what a run did in the script's order, so a block writes its notes at once only while
// every block before it has been shown; until then it keeps them, and they are written when
// the blocks before it are. A block that never started notes nothing.
class Interpreter::BlockNotes {
public:
    explicit BlockNotes(UndoJournalWriter& journal) : journal_(journal) {}

    void deleted(const QString& path) { note(true, path); }
    void programStarting(const QString& name) { note(false, name); }
    // Writes what was kept, and every note from now on at once.
    void writeThrough() {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Kept& k : kept_)
            write(k.deletion, k.text);
        kept_.clear();
        direct_ = true;
    }

private:
    struct Kept {
        bool deletion;  // else a program start
        QString text;
    };
    void note(bool deletion, const QString& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (direct_)
            write(deletion, text);
        else
            kept_.push_back(Kept{deletion, text});
    }
    void write(bool deletion, const QString& text) {
        if (deletion)
            journal_.deleted(text);
        else
            journal_.programStarting(text);
    }

    UndoJournalWriter& journal_;
    std::mutex mutex_;
    std::vector<Kept> kept_;
    bool direct_ = false;
};

void Interpreter::noteDeleted(const QString& path) {
    if (blockNotes_)
        blockNotes_->deleted(path);
    else if (journal_)
        journal_->deleted(path);
}

void Interpreter::noteProgramStarting(const QString& name) {
    if (blockNotes_)
        blockNotes_->programStarting(name);
    else if (journal_)
        journal_->programStarting(name);
}

// Runs the blocks of a script side by side (see blocks.h). The main thread reads the lines
// in order, gathers each block, starts it when a job is free and its files are apart from
// those of every earlier block not yet done, and shows the output of finished blocks in
// the script's order; a block runs in a copy of the interpreter whose output is kept.
class Interpreter::Parallel {
public:
    explicit Parallel(Interpreter& in) : in_(in), namer_(in.currentDir_) {}
    ~Parallel() { waitForAll(); }
    Parallel(const Parallel&) = delete;
    Parallel& operator=(const Parallel&) = delete;

    int run(QStringView script) {
        forEachScriptLine(script, [this](QStringView raw, int number) {
            Line line;
            if (!in_.prepare(raw, number, line))
                return true;
            const LineRole role = line.command.kind == CommandKind::Refused
                                      ? LineRole::Barrier
                                      : roleOf(line.command, raw);
            if (role == LineRole::Progress) {
                closeBlock();
                open_ = std::make_unique<Block>();
                open_->lines.push_back(std::move(line));
            } else if (role == LineRole::Member && open_) {
                join(std::move(line));
            } else if (role != LineRole::Nothing) {
                closeBlock();
                waitForAll();
                namer_.forget();  // a barrier may make, rename or remove folders
                runHere(line);
            }
            showFinished();
            return !stopSignal();
        });
        if (!stopSignal())
            closeBlock();
        waitForAll();
        return failed_;
    }

private:
    struct Block {
        std::vector<Line> lines;
        BlockFiles files;
        bool program = false;        // runs ImageMagick (else it only prints)
        bool levelSet = false;       // a program line has set the error level
        bool needsPrevious = false;  // tests the error level before it sets one
        enum class State { Waiting, Running, Done } state = State::Waiting;
        std::unique_ptr<Output> output;
        std::unique_ptr<Interpreter> runner;
        std::unique_ptr<BlockNotes> notes;  // with an undo journal
        std::thread thread;
        int failed = 0;
        int levelSets = 0;
    };

    void join(Line&& line) {
        const Command& c = line.command;
        if (testsErrorLevel(c) && !open_->levelSet)
            open_->needsPrevious = true;
        if (c.kind == CommandKind::Program)
            open_->levelSet = true;
        open_->program = open_->program || mayRunProgram(c);
        namer_.add(c, open_->files);
        open_->lines.push_back(std::move(line));
    }

    void runHere(const Line& line) {
        if (!in_.runPrepared(line))
            ++failed_;
        in_.output_.lineDone();
    }

    void closeBlock() {
        if (!open_)
            return;
        std::unique_ptr<Block> b = std::move(open_);
        if (!b->program) {
            // Only output: no job is worth its start, but it keeps its place in the order.
            waitForAll();
            for (const Line& l : b->lines) {
                runHere(l);
                if (stopSignal())
                    break;
            }
            return;
        }
        if (in_.journal_)
            b->notes = std::make_unique<BlockNotes>(*in_.journal_);
        window_.push_back(std::move(b));
        showFinished();  // the first block of a row notes at once
        startWhatMay();
        // Enough blocks gathered to keep every job busy while one at the front takes
        // long (a large picture): wait for one to finish.
        const size_t enough = size_t(std::max(64, in_.jobs_ * 8));
        while (window_.size() >= enough && !stopSignal())
            waitForChange();
    }

    void startWhatMay() {
        std::lock_guard<std::mutex> lock(mutex_);
        for (size_t i = 0; i < window_.size() && running_ < in_.jobs_ && !stopSignal(); ++i) {
            Block& b = *window_[i];
            if (b.state != Block::State::Waiting)
                continue;
            // One that tests the error level first needs the level of the blocks before it,
            // known once they are all shown; any other waits only for blocks it meets.
            bool free = !b.needsPrevious || i == 0;
            for (size_t j = 0; j < i && free; ++j)
                free = window_[j]->state == Block::State::Done || !window_[j]->files.meets(b.files);
            if (free)
                start(b);
        }
    }

    void start(Block& b) {
        b.state = Block::State::Running;
        ++running_;
        b.output = std::make_unique<Output>(Output::Capturing{});
        b.runner =
            std::make_unique<Interpreter>(*b.output, in_.vars_, in_.params_, in_.currentDir_);
        Interpreter& r = *b.runner;
        r.echoOn_ = in_.echoOn_;
        r.codePage_ = in_.codePage_;
        r.programs_ = in_.programs_;
        r.blockNotes_ = b.notes.get();
        b.levelSets = r.vars_.errorLevelSets();
        b.thread = std::thread([this, &b] {
            int failed = 0;
            for (const Line& l : b.lines) {
                if (!b.runner->runPrepared(l))
                    ++failed;
                if (stopSignal())
                    break;
            }
            b.runner->output_.flush();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                b.failed = failed;
                b.state = Block::State::Done;
                --running_;
                ++ended_;
            }
            changed_.notify_all();
        });
    }

    // Shows the blocks at the front that are done, in order; after a stop, blocks that
    // never started are left out. The block now at the front writes its journal notes.
    void showFinished() {
        bool shown = false;
        while (!window_.empty()) {
            Block& b = *window_.front();
            if (b.notes)
                b.notes->writeThrough();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (b.state == Block::State::Running ||
                    (b.state == Block::State::Waiting && !stopSignal()))
                    break;
            }
            if (b.state == Block::State::Done) {
                b.thread.join();
                b.output->replayInto(in_.output_);
                shown = true;
                failed_ += b.failed;
                Interpreter& r = *b.runner;
                if (r.vars_.errorLevelSets() != b.levelSets)
                    in_.vars_.setErrorLevel(r.vars_.errorLevel());
                in_.magickDone_ += r.magickDone_;
                if (r.magickDone_ > 0)
                    in_.lastMagickDone_ = r.lastMagickDone_;
                in_.magickInterrupted_ += r.magickInterrupted_;
            }
            window_.pop_front();
        }
        // The next block may take seconds: what is shown goes out now, not with it.
        if (shown)
            in_.output_.flush();
    }

    // Waits until a running block ends (or a stop), then shows what it can and starts
    // what may.
    void waitForChange() {
        int seen;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            seen = ended_;
        }
        startWhatMay();
        showFinished();
        if (window_.empty())
            return;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // The timeout only makes sure that a stop is seen.
            changed_.wait_for(lock, std::chrono::milliseconds(100), [&] { return ended_ != seen; });
        }
        showFinished();
        startWhatMay();
    }

    void waitForAll() {
        showFinished();
        while (!window_.empty())
            waitForChange();
    }

    Interpreter& in_;
    BlockFileNamer namer_;
    std::unique_ptr<Block> open_;
    std::deque<std::unique_ptr<Block>> window_;  // blocks not yet shown, in order
    std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0;
    int ended_ = 0;  // blocks that have ended so far
    int failed_ = 0;
};

int Interpreter::run(QStringView script) {
    const int failed = jobs_ > 1 ? Parallel(*this).run(script) : runInOrder(script);
    if (stopSignal())
        reportStop();
    output_.flush();
    // The exit status tells the caller how many lines failed; an exit status holds no more
    // than 255.
    return std::min(failed, 255);
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
    appendUtf8(buffer, text);
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
    appendUtf8(to_, QStringView(source).left(source.lastIndexOf(u'/') + 1));
    appendUtf8(to_, newName);
    if (journal_)
        journal_->renameStarting(source, source.left(source.lastIndexOf(u'/') + 1) + newName);
    const int e = renameNoReplace(from_.constData(), to_.constData());
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
    const int e = removeOneFile(encoded(from_, path).constData());
    if (e == 0) {
        noteDeleted(path);
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
        const int e = path.isEmpty() ? ENOENT : makeFolderPath(encoded(from_, path).constData());
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
        path = findProgram(name, &error);
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
    noteProgramStarting(name);
    ProgramSetup setup;
    if (output_.capturing())
        setup.capture = &output_;
    if (!c.redirect) {
        if (const std::optional<MagickJob> job = planMagickJob(c.args, path))
            return magick(*job, setup);
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
        appendUtf8(b, a);
        argv.append(b);
    }
    const int code = runProgram(path, argv, fd, &error, setup);
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

bool Interpreter::magick(const MagickJob& job, const ProgramSetup& setup) {
    const MagickOutcome o = runMagickJob(job, setup);
    vars_.setErrorLevel(o.errorLevel);
    switch (o.result) {
        case MagickOutcome::Result::Replaced:
            ++magickDone_;
            lastMagickDone_ = job.output;
            return true;
        case MagickOutcome::Result::Stopped:
            magickInterrupted_.append(job.output);
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
    if (magickInterrupted_.size() == 1)
        text += QStringLiteral(" %1, on which it was working, was left as it was.")
                    .arg(magickInterrupted_.front());
    else if (magickInterrupted_.size() > 1)
        text += QStringLiteral(" %1, on which it was working, were left as they were.")
                    .arg(magickInterrupted_.join(QStringLiteral(", ")));
    fail(text);
}

void Interpreter::pause() {
    output_.write("Press any key to continue . . . ");
    output_.flush();
    waitForKey();
    output_.write("\n");
}

}  // namespace kadrano::batch
