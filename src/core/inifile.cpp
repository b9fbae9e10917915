#include "inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "textcodec.h"

namespace kadrano {

namespace {

QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t'))
        --e;
    return s.mid(b, e - b);
}

QByteArray encodeLine(const QString& s) {
    // The settings file is read back by DecodeText, which takes UTF-8 first.
    return s.toUtf8();
}

}  // namespace

void IniDocument::setBytes(const QByteArray& bytes) {
    lines_.clear();
    modified_ = false;
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
}

bool IniDocument::load(const QString& path) {
    lines_.clear();
    modified_ = false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    setBytes(f.readAll());
    return true;
}

QByteArray IniDocument::bytes() const {
    QByteArray out;
    for (const Line& l : lines_) {
        out += l.content;
        out += l.ending;
    }
    return out;
}

IniDocument::Parsed IniDocument::parse(const QByteArray& content) {
    Parsed p;
    const QString text = trimBlanks(DecodeText(content));
    if (text.startsWith(u'[')) {
        qsizetype close = text.indexOf(u']');
        if (close < 0)
            close = text.size();
        p.kind = Parsed::Section;
        p.name = trimBlanks(text.mid(1, close - 1));
        return p;
    }
    if (text.startsWith(u';'))
        return p;  // comment
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0)
        return p;
    p.kind = Parsed::Key;
    p.name = trimBlanks(text.left(eq));
    p.value = trimBlanks(text.mid(eq + 1));
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
        if (!lines_.empty() && !trimBlanks(DecodeText(lines_.back().content)).isEmpty())
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
        if (!trimBlanks(DecodeText(lines_[i].content)).isEmpty())
            lastContent = i;
    }
    if (lines_[lastContent].ending.isEmpty())
        lines_[lastContent].ending = ending;
    lines_.insert(lines_.begin() + qsizetype(lastContent) + 1,
                  Line{encodeLine(key + u'=' + clean), ending});
    modified_ = true;
}

bool IniDocument::save(const QString& path) const {
    // The write bit decides, not whether we could write anyway (as root we always can):
    // a file someone protected stays as it is.
    const QFileInfo info(path);
    if (info.exists() && (!(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable()))
        return false;
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray out = bytes();
    if (file.write(out) != out.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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

QString ReadIniValue(IniDocument& doc, const QString& section, const QString& key,
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
    doc.load(name);
    const QString result = ReadIniValue(doc, section, key, defaultValue, create);
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
