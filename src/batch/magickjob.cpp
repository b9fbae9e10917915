#include "magickjob.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "fileops.h"
#include "output.h"
#include "process.h"

namespace kadrano::batch {

namespace {

// Put in front of everything the line passes: a damaged picture fails instead of being
// read with grey where its data is missing, and no name is read as a pattern ("%d",
// "%[width]") that would send the result to another file.
const char* const kMagickSafety[] = {"-regard-warnings", "-define", "filename:literal=true"};

// Options that take no value, so that a file name right after one may still be the input.
const char* const kMagickFlags[] = {
    "-regard-warnings", "-quiet",   "-verbose",  "-monitor", "-auto-orient", "-strip",
    "-flatten",         "-flip",    "-flop",     "-trim",    "-normalize",   "-negate",
    "-despeckle",       "-enhance", "-equalize", "+repage",  "-adjoin",      "+adjoin"};

// ImageMagick 7's tools that write no picture of a line's naming.
const char* const kMagickOtherTools[] = {"animate",  "compare", "composite", "conjure", "display",
                                         "identify", "import",  "montage",   "stream"};

std::atomic<unsigned> g_magickTempCounter{0};

QByteArray magickEncoded(const QString& s) {
    QByteArray b;
    appendUtf8(b, s);
    return b;
}

bool magickIsOption(const QString& a) {
    return a.size() > 1 && (a.front() == u'-' || a.front() == u'+');
}

bool magickIsFlag(const QString& a) {
    for (const char* f : kMagickFlags)
        if (a.compare(QLatin1String(f), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// An argument that can be a file the line reads: no option, and not the value of one.
bool magickMayBeFile(const QStringList& rest, qsizetype i) {
    if (magickIsOption(rest.at(i)))
        return false;
    return i == 0 || !magickIsOption(rest.at(i - 1)) || magickIsFlag(rest.at(i - 1));
}

bool magickIsRegularFile(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::stat(magickEncoded(path).constData(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

bool magickExists(const QString& path) {
    struct stat st;
    return ::lstat(magickEncoded(path).constData(), &st) == 0;
}

// The extension that tells the format, compared as ImageMagick's names go.
QString magickFormatOf(const QString& name) {
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.lastIndexOf(u'.');
    QString ext = dot > slash ? name.mid(dot + 1).toLower() : QString();
    if (ext == QLatin1String("jpeg") || ext == QLatin1String("jpe"))
        ext = QStringLiteral("jpg");
    else if (ext == QLatin1String("tiff"))
        ext = QStringLiteral("tif");
    return ext;
}

// A plain extension to give the temporary file, so ImageMagick picks the output's format
// from it as it would from the output's own name.
QString magickTempExtension(const QString& output) {
    const qsizetype slash = output.lastIndexOf(u'/');
    const qsizetype dot = output.lastIndexOf(u'.');
    if (dot <= slash + 1)
        return QString();  // no extension, or a hidden name without one
    const QString ext = output.mid(dot + 1);
    if (ext.isEmpty() || ext.size() > 8)
        return QString();
    for (QChar c : ext)
        if (!(c.isDigit() || (c.unicode() < 0x80 && c.isLetter())))
            return QString();
    return ext;
}

// "PNG:out.png" names a format in front of the file; a name that exists is a name.
bool magickSplitFormat(const QString& arg, QString& format, QString& path) {
    format.clear();
    path = arg;
    if (magickExists(arg))
        return true;
    const qsizetype colon = arg.indexOf(u':');
    if (colon < 2)
        return true;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = arg.at(i);
        if (!(c.isDigit() || (c.unicode() < 0x80 && c.isLetter())))
            return true;
    }
    format = arg.left(colon + 1);
    path = arg.mid(colon + 1);
    // "null:", "info:", "fd:1", "png:-": ImageMagick's own outputs, no file of ours.
    return path.contains(u'/') || path.contains(u'.');
}

QByteArray magickSibling(const QByteArray& programPath, const char* name) {
    const qsizetype slash = programPath.lastIndexOf('/');
    const QByteArray candidate = programPath.left(slash + 1) + name;
    if (::access(candidate.constData(), X_OK) == 0)
        return candidate;
    return QByteArray();
}

// The hidden file beside the output that ImageMagick writes, created here so that its
// name is certainly ours, with the mode a new file gets (as ImageMagick would create it).
struct MagickTemp {
    QByteArray path;
    QByteArray stem;  // path without the extension, for the files of several frames
    QByteArray dotExtension;

    bool create(const QString& output, int& error) {
        const qsizetype slash = output.lastIndexOf(u'/');
        const QByteArray folder = magickEncoded(output.left(slash + 1));
        const QString ext = magickTempExtension(output);
        dotExtension = ext.isEmpty() ? QByteArray() : '.' + ext.toLatin1();
        for (int attempt = 0; attempt < 100; ++attempt) {
            stem = folder + ".kadrano-" + QByteArray::number(::getpid()) + '-' +
                   QByteArray::number(g_magickTempCounter.fetch_add(1));
            path = stem + dotExtension;
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::close(fd);
                return true;
            }
            if (errno != EEXIST) {
                error = errno;
                return false;
            }
        }
        error = EEXIST;
        return false;
    }

    QByteArray frame(int n) const { return stem + '-' + QByteArray::number(n) + dotExtension; }

    // Whether ImageMagick wrote one file per frame instead of the one asked for.
    bool splitIntoFrames() const {
        struct stat st;
        return ::lstat(frame(0).constData(), &st) == 0;
    }

    void remove() const {
        ::unlink(path.constData());
        for (int n = 0;; ++n) {
            if (::unlink(frame(n).constData()) != 0 && errno == ENOENT)
                break;
        }
    }
};

QString magickErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return QStringLiteral("Access is denied.");
        case ENOENT:
        case ENOTDIR:
            return QStringLiteral("The system cannot find the path specified.");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("There is not enough space on the disk.");
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

// The line's tool, and where its own arguments begin; nothing for another program or tool.
struct MagickTool {
    bool mogrify = false;
    bool magick = false;  // ImageMagick 7's magick
    qsizetype first = 1;  // the first argument after the program and its sub-command
};

std::optional<MagickTool> magickToolOf(const QStringList& args) {
    if (args.isEmpty())
        return std::nullopt;
    QString name = args.front().mid(args.front().lastIndexOf(u'/') + 1).toLower();
    if (name.endsWith(QLatin1String(".exe")))
        name.chop(4);
    MagickTool t;
    if (name == QLatin1String("convert"))
        return t;
    if (name == QLatin1String("mogrify")) {
        t.mogrify = true;
        return t;
    }
    if (name != QLatin1String("magick"))
        return std::nullopt;
    t.magick = true;
    const QString sub = args.size() > 1 ? args.at(1).toLower() : QString();
    for (const char* other : kMagickOtherTools)
        if (sub == QLatin1String(other))
            return std::nullopt;
    t.mogrify = sub == QLatin1String("mogrify");
    if (sub == QLatin1String("convert") || sub == QLatin1String("mogrify"))
        t.first = 2;
    return t;
}

// The name, and the name without a format in front or a frame behind, when it has them.
void magickAddNames(QStringList& to, const QString& arg) {
    to.append(arg);
    QString name = arg;
    const qsizetype colon = name.indexOf(u':');
    if (colon >= 2) {
        bool format = true;
        for (qsizetype i = 0; i < colon && format; ++i)
            format = name.at(i).unicode() < 0x80 && name.at(i).isLetterOrNumber();
        if (format) {
            name = name.mid(colon + 1);
            to.append(name);
        }
    }
    if (name.endsWith(u']')) {
        const qsizetype open = name.lastIndexOf(u'[');
        if (open > 0)
            to.append(name.left(open));
    }
}

MagickOutcome magickFailed(const QString& message, int level = 1) {
    MagickOutcome o;
    o.result = MagickOutcome::Result::Failed;
    o.errorLevel = level > 0 ? level : 1;
    o.message = message;
    return o;
}

}  // namespace

std::optional<MagickJob> planMagickJob(const QStringList& args, const QByteArray& programPath) {
    const std::optional<MagickTool> t = magickToolOf(args);
    if (!t)
        return std::nullopt;
    enum class Tool { Convert, Mogrify } tool = t->mogrify ? Tool::Mogrify : Tool::Convert;
    const bool magick = t->magick;
    const qsizetype first = t->first;
    QStringList rest = args.mid(first);
    if (rest.isEmpty())
        return std::nullopt;
    for (const QString& a : rest) {
        const QString lower = a.toLower();
        if (lower == QLatin1String("-list") || lower == QLatin1String("-version") ||
            lower == QLatin1String("-help") || lower == QLatin1String("-usage"))
            return std::nullopt;
    }

    MagickJob job;
    job.program = programPath;
    QList<QByteArray> head;
    for (qsizetype i = 0; i < first; ++i)
        head.append(magickEncoded(args.at(i)));
    const qsizetype last = rest.size() - 1;

    if (tool == Tool::Mogrify) {
        const QString& file = rest.at(last);
        if (magickIsOption(file) || !magickIsRegularFile(file))
            return std::nullopt;
        for (qsizetype i = 0; i < last; ++i) {
            const QString lower = rest.at(i).toLower();
            if (lower == QLatin1String("-format") || lower == QLatin1String("-path"))
                return std::nullopt;  // writes other files, not this one
            if (magickMayBeFile(rest, i) && magickIsRegularFile(rest.at(i)))
                return std::nullopt;  // a second picture
        }
        if (magick) {
            head.resize(1);  // ImageMagick 7 writes like convert without a sub-command
        } else {
            job.program = magickSibling(programPath, "convert");
            if (job.program.isEmpty())
                return std::nullopt;
            head = {QByteArrayLiteral("convert")};
        }
        job.input = file;
        job.output = file;
        job.argv = head;
        for (const char* s : kMagickSafety)
            job.argv.append(s);
        job.argv.append(magickEncoded(file));
        for (qsizetype i = 0; i < last; ++i)
            job.argv.append(magickEncoded(rest.at(i)));
        job.outputSlot = int(job.argv.size());
        job.argv.append(QByteArray());
        return job;
    }

    if (rest.size() < 2)
        return std::nullopt;
    const QString& out = rest.at(last);
    if (magickIsOption(out) || out == QLatin1String("-") || out.startsWith(u'|'))
        return std::nullopt;
    if (!magickSplitFormat(out, job.outputFormat, job.output) || job.output.isEmpty())
        return std::nullopt;
    qsizetype inputAt = -1;
    for (qsizetype i = 0; i < last && inputAt < 0; ++i)
        if (magickMayBeFile(rest, i) && magickIsRegularFile(rest.at(i)))
            inputAt = i;
    if (inputAt >= 0) {
        job.input = rest.at(inputAt);
        const QString to = job.outputFormat.isEmpty() ? magickFormatOf(job.output)
                                                      : job.outputFormat.chopped(1).toLower();
        // A GIF or a multi-page TIFF would become one file per frame in a format that
        // holds one picture, over whatever carries those names.
        if (magickFormatOf(job.input) != magickFormatOf(u'.' + to) && !job.input.endsWith(u']')) {
            job.firstFrameOnly = true;
            rest[inputAt] += QStringLiteral("[0]");
        }
    }
    job.argv = head;
    for (const char* s : kMagickSafety)
        job.argv.append(s);
    for (qsizetype i = 0; i < last; ++i)
        job.argv.append(magickEncoded(rest.at(i)));
    job.outputSlot = int(job.argv.size());
    job.argv.append(QByteArray());
    return job;
}

std::optional<MagickLineFiles> magickLineFilesOf(const QStringList& args) {
    const std::optional<MagickTool> tool = magickToolOf(args);
    if (!tool)
        return std::nullopt;
    const QStringList rest = args.mid(tool->first);
    MagickLineFiles files;
    const qsizetype last = rest.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        const QString& a = rest.at(i);
        if (magickIsOption(a)) {
            const QString lower = a.toLower();
            if (tool->mogrify &&
                (lower == QLatin1String("-path") || lower == QLatin1String("-format")))
                return std::nullopt;
            continue;
        }
        const bool mayBeFile = magickMayBeFile(rest, i);
        if (mayBeFile && (a.contains(u'*') || a.contains(u'?')))
            return std::nullopt;
        magickAddNames(files.reads, a);
        const bool written =
            i == last ||
            (i > 0 && (rest.at(i - 1).compare(QLatin1String("-write"), Qt::CaseInsensitive) == 0 ||
                       rest.at(i - 1).compare(QLatin1String("+write"), Qt::CaseInsensitive) == 0));
        if (written || (tool->mogrify && mayBeFile && magickIsRegularFile(a)))
            magickAddNames(files.writes, a);
    }
    return files;
}

MagickOutcome runMagickJob(const MagickJob& job, const ProgramSetup& setup) {
    const QByteArray output = magickEncoded(job.output);
    // What the new file takes over: the old file's mode and owner, the picture's date.
    struct stat old;
    const bool replaces = ::stat(output.constData(), &old) == 0;
    const bool nameTaken = replaces || magickExists(job.output);
    if (nameTaken && (!replaces || !S_ISREG(old.st_mode))) {
        // A folder, a link to nothing, a device: nothing a picture may replace.
        return magickFailed(
            QStringLiteral("%1 is no file that a picture may replace; nothing was written.")
                .arg(job.output));
    }
    if (replaces) {
        // Read-only stays read-only, also for the administrator, as with del.
        if ((old.st_mode & 0222) == 0 ||
            ::faccessat(AT_FDCWD, output.constData(), W_OK, AT_EACCESS) != 0)
            return magickFailed(
                QStringLiteral("Access is denied. %1 is unchanged.").arg(job.output));
    }
    struct stat source;
    const bool dated =
        !job.input.isEmpty() && ::stat(magickEncoded(job.input).constData(), &source) == 0;
    const QString untouched = nameTaken ? QStringLiteral("%1 is unchanged.").arg(job.output)
                                        : QStringLiteral("%1 was not written.").arg(job.output);
    if (stopSignal()) {
        MagickOutcome o = magickFailed(untouched);
        o.result = MagickOutcome::Result::Stopped;
        return o;
    }

    MagickTemp temp;
    int error = 0;
    if (!temp.create(job.output, error))
        return magickFailed(magickErrorText(error) + u' ' + untouched);

    // The result is written, and read back whole in the same run: what a full disk or an
    // encoder's error cut short does not pass. A JPEG is read back at an eighth of its
    // size, which still decodes all of its data.
    const QByteArray target = magickEncoded(job.outputFormat) + temp.path;
    QList<QByteArray> argv = job.argv.mid(0, job.outputSlot);
    argv << "-write" << target << "-delete"
         << "0--1"
         << "-define"
         << "jpeg:size=64x64" << target << "null:";
    argv.append(job.argv.mid(job.outputSlot + 1));
    const int code = runProgram(job.program, argv, -1, &error, setup);
    const auto giveUp = [&](const QString& why, int level) {
        temp.remove();
        MagickOutcome o = magickFailed(why + u' ' + untouched, level);
        if (stopSignal())
            o.result = MagickOutcome::Result::Stopped;
        return o;
    };
    if (code < 0)
        return giveUp(magickErrorText(error), 9009);
    if (stopSignal())
        return giveUp(QStringLiteral("Stopped."), code == 0 ? 1 : code);
    if (temp.splitIntoFrames())
        return giveUp(
            QStringLiteral("ImageMagick wrote one file per frame instead of one picture."), 1);
    if (code != 0)
        return giveUp(QStringLiteral("ImageMagick ended with exit status %1.").arg(code), code);
    struct stat made;
    if (::stat(temp.path.constData(), &made) != 0 || made.st_size == 0)
        return giveUp(QStringLiteral("ImageMagick wrote nothing."), 1);

    if (replaces)
        ::chmod(temp.path.constData(), old.st_mode & 07777);
    if (replaces && (old.st_uid != made.st_uid || old.st_gid != made.st_gid) &&
        ::chown(temp.path.constData(), old.st_uid, old.st_gid) != 0) {
        // Only the administrator may give a file away; anyone else's result stays theirs.
    }
    if (dated) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
        ::utimensat(AT_FDCWD, temp.path.constData(), times, 0);
    }
    // On the disk before it takes the name, so that a crash cannot leave an empty picture.
    const int fd = ::open(temp.path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        const int synced = ::fsync(fd);
        const int e = errno;
        ::close(fd);
        if (synced != 0 && e != EINVAL)
            return giveUp(magickErrorText(e), 1);
    }
    // Over the old name in one step: other names of the old file (hard links) keep the old
    // picture, and a symbolic link is replaced, never the file it points to. A new name
    // replaces nothing that appeared meanwhile.
    const int renamed = replaces
                            ? (::rename(temp.path.constData(), output.constData()) == 0 ? 0 : errno)
                            : renameNoReplace(temp.path.constData(), output.constData());
    if (renamed != 0) {
        if (renamed == EEXIST)
            return giveUp(QStringLiteral("A file named %1 appeared meanwhile; it was not replaced.")
                              .arg(job.output),
                          1);
        return giveUp(magickErrorText(renamed), 1);
    }
    MagickOutcome o;
    o.result = MagickOutcome::Result::Replaced;
    o.errorLevel = 0;
    return o;
}

}  // namespace kadrano::batch
