#include "blocks.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include "magickjob.h"

namespace kadrano::batch {

namespace {

bool blockBranchJoins(const Command* c);

// A command that may stand in a block, inside an "if" (where a del acts on the outcome of
// the block's ImageMagick line) or on its own line.
bool blockCommandJoins(const Command& c) {
    switch (c.kind) {
        case CommandKind::Nothing:
        case CommandKind::Rem:
        case CommandKind::Delete:
            return true;
        case CommandKind::Echo:
            return c.echo == EchoMode::Print;
        case CommandKind::Program:
            return !c.redirect && magickLineFilesOf(c.args).has_value();
        case CommandKind::If:
            return blockBranchJoins(c.then.get()) && blockBranchJoins(c.otherwise.get());
        default:
            return false;
    }
}

bool blockBranchJoins(const Command* c) {
    return !c || blockCommandJoins(*c);
}

QByteArray blockEncoded(const QString& s) {
    return QFile::encodeName(s);
}

}  // namespace

LineRole roleOf(const Command& c, QStringView rawLine) {
    if (rawLine.contains(QLatin1String("%errorlevel%"), Qt::CaseInsensitive))
        return LineRole::Barrier;
    switch (c.kind) {
        case CommandKind::Nothing:
            return LineRole::Nothing;
        case CommandKind::Echo:
            if (c.echo == EchoMode::Print && c.text.trimmed().startsWith(QLatin1String("#####")))
                return LineRole::Progress;
            return c.echo == EchoMode::Print ? LineRole::Member : LineRole::Barrier;
        case CommandKind::Delete:
            return LineRole::Barrier;  // a del of its own is no part of a picture's block
        case CommandKind::Rem:
        case CommandKind::Program:
        case CommandKind::If:
            return blockCommandJoins(c) ? LineRole::Member : LineRole::Barrier;
        default:
            return LineRole::Barrier;
    }
}

bool testsErrorLevel(const Command& c) {
    if (c.kind != CommandKind::If)
        return false;
    return c.test == IfTest::ErrorLevel || (c.then && testsErrorLevel(*c.then)) ||
           (c.otherwise && testsErrorLevel(*c.otherwise));
}

bool mayRunProgram(const Command& c) {
    if (c.kind == CommandKind::Program)
        return true;
    return c.kind == CommandKind::If &&
           ((c.then && mayRunProgram(*c.then)) || (c.otherwise && mayRunProgram(*c.otherwise)));
}

void BlockFiles::clear() {
    names_.clear();
    writes_.clear();
}

bool BlockFiles::meets(const BlockFiles& other) const {
    for (const QString& w : writes_)
        if (other.names_.contains(w))
            return true;
    for (const QString& w : other.writes_)
        if (names_.contains(w))
            return true;
    return false;
}

void BlockFileNamer::add(const Command& c, BlockFiles& files) {
    switch (c.kind) {
        case CommandKind::Program:
            if (const std::optional<MagickLineFiles> f = magickLineFilesOf(c.args)) {
                for (const QString& r : f->reads)
                    addPath(r, false, files);
                for (const QString& w : f->writes)
                    addPath(w, true, files);
            }
            break;
        case CommandKind::Delete:
            for (const QString& a : c.args)
                addPath(a, true, files);
            break;
        case CommandKind::If:
            if (c.test == IfTest::Exist)
                addPath(c.path, false, files);
            if (c.then)
                add(*c.then, files);
            if (c.otherwise)
                add(*c.otherwise, files);
            break;
        default:
            break;
    }
}

void BlockFileNamer::addPath(const QString& path, bool written, BlockFiles& files) {
    if (path.isEmpty())
        return;
    const QString absolute =
        QDir::cleanPath(path.startsWith(u'/') ? path : currentDir_ + u'/' + path);
    QStringList names{absolute.toCaseFolded()};
    const qsizetype slash = absolute.lastIndexOf(u'/');
    const QString folder = slash > 0 ? absolute.left(slash) : QStringLiteral("/");
    auto real = realFolders_.constFind(folder);
    if (real == realFolders_.constEnd()) {
        char* resolved = ::realpath(blockEncoded(folder).constData(), nullptr);
        real = realFolders_.insert(folder, resolved ? QFile::decodeName(resolved) : QString());
        ::free(resolved);
    }
    if (!real->isEmpty() && *real != folder)
        names.append((*real + absolute.mid(slash)).toCaseFolded());
    struct stat st;
    if (::stat(blockEncoded(absolute).constData(), &st) == 0)
        names.append(QChar(0) + QString::number(st.st_dev) + u':' + QString::number(st.st_ino));
    for (const QString& n : names) {
        files.names_.insert(n);
        if (written)
            files.writes_.insert(n);
    }
}

}  // namespace kadrano::batch
