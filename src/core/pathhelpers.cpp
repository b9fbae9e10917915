#include "pathhelpers.h"

#include <algorithm>

namespace kadrano {

namespace {

#ifdef Q_OS_WIN
constexpr QChar kFirstSeparator = u'\\';
constexpr QChar kSecondSeparator = u'/';
#else
constexpr QChar kFirstSeparator = u'/';
constexpr QChar kSecondSeparator = u'\\';
#endif

// Which separator a text uses, or a null QChar when it has none.
QChar separatorIn(const QString& s) {
    if (s.contains(kFirstSeparator))
        return kFirstSeparator;
    if (s.contains(kSecondSeparator))
        return kSecondSeparator;
    return QChar();
}

}  // namespace

QChar pathSeparatorOf(const QString& s) {
    const QChar sep = separatorIn(s);
    return sep.isNull() ? kFirstSeparator : sep;
}

QString QuoteIfSpaces(const QString& s) {
    const QString t = s.trimmed();
    if (t.isEmpty())
        return s;
    if (!t.contains(u'"') && t.contains(u' '))
        return u'"' + t + u'"';
    return t;
}

QString Unquote(const QString& s) {
    const QString t = s.trimmed();
    if (t.isEmpty())
        return QString();
    if (t.size() >= 2 && t.front() == u'"' && t.back() == u'"')
        return t.mid(1, t.size() - 2);
    // A lone double quote is both first and last character: it goes as well.
    if (t == QStringLiteral("\""))
        return QString();
    return t;
}

QString AddSeparator(const QString& s) {
    QString t = s;
    bool quoteAtEnd = false;
    if (t.endsWith(u'"')) {
        t.chop(1);
        quoteAtEnd = true;
    }
#ifdef Q_OS_WIN
    const bool backslashStyle = t.contains(u'\\') || t.contains(u':');
    const bool slashStyle = !backslashStyle && t.contains(u'/');
#else
    // A "/" path is a native path here even when a name in it holds "\" or ":".
    const bool slashStyle = t.contains(u'/');
    const bool backslashStyle = !slashStyle && (t.contains(u'\\') || t.contains(u':'));
#endif
    if (backslashStyle && !t.endsWith(u'\\'))
        t += u'\\';
    if (slashStyle && !t.endsWith(u'/'))
        t += u'/';
    if (quoteAtEnd)
        t += u'"';
    return t;
}

QString FileNamePart(const QString& s) {
    if (s.isEmpty())
        return QString();
    const QChar sep = separatorIn(s);
    if (sep.isNull())
        return s;
    return s.mid(s.lastIndexOf(sep) + 1);
}

QString DirNamePart(const QString& s) {
    if (s.isEmpty())
        return QString();
    const QChar sep = pathSeparatorOf(s);
    QString t = s;
    if (t.size() > 3 && t.endsWith(sep))
        t.chop(1);
    const int last = t.lastIndexOf(sep);
    if (t.size() >= 4 && t.at(t.size() - 4) == u'.') {
        // A file with a three-letter extension: the directory holding it.
        if (last < 0)
            return QString();
        const int before = last > 0 ? t.lastIndexOf(sep, last - 1) : -1;
        return t.mid(before + 1, last - before - 1);
    }
    return t.mid(last + 1);
}

bool cannotStandInName(QChar c) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7f)
        return true;
    switch (c.unicode()) {
        case u'\\':
        case u'/':
        case u':':
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|':
            return true;
        default:
            return false;
    }
}

bool holdsForbiddenNameCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return cannotStandInName(c); });
}

}  // namespace kadrano
