#include "inifile.h"

#include "blanks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kadrano {

#ifdef Q_OS_WIN

IniReadStatus readIniFileBytes(const QString& path, QByteArray* bytes) {
    bytes->clear();
    const QFileInfo info(path);  // follows links
    if (!info.exists())
        return IniReadStatus::Missing;
    if (!info.isFile())
        return IniReadStatus::NotAFile;
    if (info.size() >= kIniSizeLimit)
        return IniReadStatus::TooLarge;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return IniReadStatus::Unreadable;
    *bytes = f.read(kIniSizeLimit);
    if (f.error() != QFileDevice::NoError) {
        bytes->clear();
        return IniReadStatus::Unreadable;
    }
    if (bytes->size() >= kIniSizeLimit) {
        bytes->clear();
        return IniReadStatus::TooLarge;
    }
    return IniReadStatus::Read;
}

#else

IniReadStatus readIniFileBytes(const QString& path, QByteArray* bytes) {
    bytes->clear();
    // Without O_NONBLOCK the open of a pipe waits for a writer that never comes; what the
    // name really is is asked of the open file, so it cannot change in between.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? IniReadStatus::Missing
                                                     : IniReadStatus::Unreadable;
    }
    struct stat st {};
    IniReadStatus status = IniReadStatus::Read;
    if (::fstat(fd, &st) != 0) {
        status = IniReadStatus::Unreadable;
    } else if (!S_ISREG(st.st_mode)) {
        status = IniReadStatus::NotAFile;
    } else if (st.st_size >= kIniSizeLimit) {
        status = IniReadStatus::TooLarge;
    } else {
        // The size may change while we read; the limit holds all the same.
        QByteArray buffer(kIniSizeLimit, Qt::Uninitialized);
        qsizetype total = 0;
        while (total < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + total, size_t(buffer.size() - total));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                status = IniReadStatus::Unreadable;
                break;
            }
            if (n == 0)
                break;
            total += n;
        }
        if (status == IniReadStatus::Read && total >= kIniSizeLimit)
            status = IniReadStatus::TooLarge;
        if (status == IniReadStatus::Read) {
            buffer.truncate(total);
            *bytes = std::move(buffer);
        }
    }
    ::close(fd);
    return status;
}

#endif

bool IniDocument::setBytes(const QByteArray& fileBytes) {
    lines_.clear();
    modified_ = false;
    windows1252_ = false;
    bom_ = detectByteOrderMark(fileBytes);
    QByteArray bytes;
    if (bom_ == ByteOrderMark::None) {
        bytes = fileBytes;
        windows1252_ = !isValidUtf8(bytes);
    } else {
        // Split into lines only after decoding: in UTF-16 a CR is two bytes, one of them 0.
        QString text;
        if (!decodeUnicode(fileBytes, bom_, &text)) {
            bom_ = ByteOrderMark::None;
            return false;
        }
        bytes = text.toUtf8();
    }
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            Line l;
            l.content = bytes.mid(start, i - start);
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
                l.ending = QByteArrayLiteral("\r\n");
                i += 2;
            } else {
                l.ending = QByteArray(1, c);
                i += 1;
            }
            lines_.push_back(std::move(l));
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines_.push_back(Line{bytes.mid(start), QByteArray()});
    return true;
}

IniReadStatus IniDocument::read(const QString& path) {
    lines_.clear();
    modified_ = false;
    bom_ = ByteOrderMark::None;
    windows1252_ = false;
    QByteArray bytes;
    const IniReadStatus status = readIniFileBytes(path, &bytes);
    if (status != IniReadStatus::Read)
        return status;
    return setBytes(bytes) ? IniReadStatus::Read : IniReadStatus::Undecodable;
}

QString IniDocument::decodeLine(const QByteArray& content) const {
    return windows1252_ ? decodeWindows1252(content.constData(), content.size())
                        : QString::fromUtf8(content);
}

QByteArray IniDocument::encodeLine(const QString& text) {
    if (windows1252_) {
        QByteArray out;
        if (encodeWindows1252(text, &out))
            return out;
        // One line in UTF-8 among Windows-1252 ones would make the file unreadable as
        // either; the whole file changes over instead.
        for (Line& l : lines_)
            l.content = decodeLine(l.content).toUtf8();
        windows1252_ = false;
        modified_ = true;
    }
    return text.toUtf8();
}

QByteArray IniDocument::bytes() const {
    QByteArray out;
    for (const Line& l : lines_) {
        out += l.content;
        out += l.ending;
    }
    if (bom_ == ByteOrderMark::None)
        return out;
    return encodeUnicode(QString::fromUtf8(out), bom_);
}

IniDocument::Parsed IniDocument::parse(const QByteArray& content) const {
    Parsed p;
    const QString text = trimBlanks(decodeLine(content)).toString();
    if (text.startsWith(u'[')) {
        qsizetype close = text.indexOf(u']');
        if (close < 0)
            close = text.size();
        p.kind = Parsed::Section;
        p.name = trimBlanks(QStringView(text).mid(1, close - 1)).toString();
        return p;
    }
    if (text.startsWith(u';'))
        return p;  // comment
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0)
        return p;
    p.kind = Parsed::Key;
    p.name = trimBlanks(QStringView(text).left(eq)).toString();
    p.value = trimBlanks(QStringView(text).mid(eq + 1)).toString();
    return p;
}

int IniDocument::findSection(const QString& section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Parsed p = parse(lines_[i].content);
        if (p.kind == Parsed::Section && p.name.compare(section, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const int header = findSection(section);
    if (header < 0)
        return std::nullopt;
    for (size_t i = size_t(header) + 1; i < lines_.size(); ++i) {
        const Parsed p = parse(lines_[i].content);
        if (p.kind == Parsed::Section)
            break;
        if (p.kind == Parsed::Key && p.name.compare(key, Qt::CaseInsensitive) == 0)
            return p.value;
    }
    return std::nullopt;
}

QByteArray IniDocument::newLineEnding() const {
    for (const Line& l : lines_)
        if (!l.ending.isEmpty())
            return l.ending;
    return QByteArrayLiteral("\r\n");
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray ending = newLineEnding();
    const int header = findSection(section);
    if (header < 0) {
        if (!lines_.empty() && lines_.back().ending.isEmpty())
            lines_.back().ending = ending;
        if (!lines_.empty() && !trimBlanks(decodeLine(lines_.back().content)).isEmpty())
            lines_.push_back(Line{QByteArray(), ending});
        lines_.push_back(Line{encodeLine(u'[' + section + u']'), ending});
        lines_.push_back(Line{encodeLine(key + u'=' + clean), ending});
        modified_ = true;
        return;
    }
    size_t lastContent = size_t(header);
    for (size_t i = size_t(header) + 1; i < lines_.size(); ++i) {
        const Parsed p = parse(lines_[i].content);
        if (p.kind == Parsed::Section)
            break;
        if (p.kind == Parsed::Key && p.name.compare(key, Qt::CaseInsensitive) == 0) {
            const QByteArray newContent = encodeLine(p.name + u'=' + clean);
            if (newContent != lines_[i].content) {
                lines_[i].content = newContent;
                modified_ = true;
            }
            return;
        }
        if (!trimBlanks(decodeLine(lines_[i].content)).isEmpty())
            lastContent = i;
    }
    if (lines_[lastContent].ending.isEmpty())
        lines_[lastContent].ending = ending;
    lines_.insert(lines_.begin() + qsizetype(lastContent) + 1,
                  Line{encodeLine(key + u'=' + clean), ending});
    modified_ = true;
}

bool IniDocument::isWriteProtected(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && (!(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable());
}

bool IniDocument::save(const QString& path, QString* error) const {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    // A file someone protected stays as it is.
    if (isWriteProtected(path))
        return fail(QStringLiteral("write-protected"));
    // Never written in place, not even where the folder refuses the new file: a write cut
    // short would leave half a file.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    const QByteArray out = bytes();
    if (file.write(out) != out.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

namespace {

// Relative names are looked up in the current directory first, as the profile API does.
QString fullIniName(const QString& file) {
    if (file.contains(u':') || QDir::isAbsolutePath(file))
        return file;
    const QString inCurrent = QDir::currentPath() + u'/' + file;
    if (QFileInfo(inCurrent).isFile())
        return inCurrent;
    return file;
}

bool createEmpty(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::NewOnly) || QFileInfo::exists(file);
}

}  // namespace

QString readIniValue(IniDocument& doc, const QString& section, const QString& key,
                     const QString& defaultValue, bool create) {
    const QString value = doc.value(section, key).value_or(QString()).left(kIniValueLimit);
    if (!value.isEmpty())
        return value;
    if (defaultValue.isEmpty())
        return QString();
    if (create)
        doc.setValue(section, key, defaultValue);
    return defaultValue;
}

QString ReadIniText(const QString& section, const QString& key, const QString& file,
                    const QString& defaultValue, bool create) {
    if (!QFileInfo::exists(file)) {
        if (create)
            createEmpty(file);
        return defaultValue;
    }
    const QString name = fullIniName(file);
    IniDocument doc;
    // A file we could not read is never written: the default would replace its lines.
    if (!doc.load(name))
        return defaultValue;
    const QString result = readIniValue(doc, section, key, defaultValue, create);
    if (doc.isModified())
        doc.save(name);
    return result;
}

void WriteIniText(const QString& section, const QString& key, const QString& value,
                  const QString& file, bool create) {
    if (!QFileInfo::exists(file)) {
        if (!create)
            return;
        if (!createEmpty(file))
            return;
    }
    const QString name = fullIniName(file);
    IniDocument doc;
    if (!doc.load(name))
        return;  // unreadable: never replace it with a one-key file
    doc.setValue(section, key, value);
    if (doc.isModified())
        doc.save(name);
}

}  // namespace kadrano
