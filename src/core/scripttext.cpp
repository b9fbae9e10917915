#include "scripttext.h"

#include <QSaveFile>
#include <QStringEncoder>

#include "numbers.h"

namespace kadrano {

namespace {

bool needsQuotes(QChar c) {
    switch (c.unicode()) {
        case u' ':
        case u'\t':
        case u'&':
        case u'|':
        case u'<':
        case u'>':
        case u'^':
        case u'(':
        case u')':
        case u',':
        case u';':
        case u'=':
        case u'!':
            return true;
        default:
            return false;
    }
}

}  // namespace

bool canStandInScript(const QString& s) {
    for (QChar c : s) {
        if (c == u'"' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
        // Line and paragraph separators are line breaks to some editors and readers.
        if (c.unicode() == 0x2028 || c.unicode() == 0x2029 || c.unicode() == 0x85)
            return false;
    }
    return true;
}

void appendScriptArg(QString& line, QStringView s) {
    bool quote = false;
    for (QChar c : s) {
        if (needsQuotes(c)) {
            quote = true;
            break;
        }
    }
    if (quote)
        line += u'"';
    for (QChar c : s) {
        if (c == u'%')
            line += u'%';
        line += c;
    }
    if (quote)
        line += u'"';
}

QString scriptArg(const QString& s) {
    // Every file of a run passes through here, often twice; most names need nothing, and
    // then the text itself is handed back without a copy.
    bool quote = false;
    qsizetype percents = 0;
    for (QChar c : s) {
        if (needsQuotes(c))
            quote = true;
        if (c == u'%')
            ++percents;
    }
    if (!quote && percents == 0)
        return s;
    QString out(s.size() + percents + (quote ? 2 : 0), Qt::Uninitialized);
    QChar* w = out.data();
    if (quote)
        *w++ = u'"';
    for (QChar c : s) {
        if (c == u'%')
            *w++ = u'%';
        *w++ = c;
    }
    if (quote)
        *w++ = u'"';
    return out;
}

QStringList scriptHeader() {
    return {QStringLiteral("chcp 1252"),
            QStringLiteral("if \"%1\"==\"\" (set Zeit=%time%) else (set Zeit=%1%2%3)")};
}

QString progressLine(int index, int count) {
    const qint64 percent = count > 0 ? roundHalfEven(qint64(index) * 100, count) : 0;
    const int remaining = count - index + 1;
    // Built piece by piece: one line per file, and arg() would scan the pattern each time.
    QString line;
    line.reserve(96);
    line += QLatin1String("@Echo #####  ");
    line += QString::number(percent);
    line += QLatin1String("%% - Verb.: ");
    line += QString::number(remaining);
    line += QLatin1String("    (Nr: ");
    line += QString::number(index + 1);
    line += QLatin1String(" / ");
    line += QString::number(count);
    line += QLatin1String(")  Start: %Zeit% Uhr  #####");
    return line;
}

ScriptBuilder::ScriptBuilder() : lines_(scriptHeader()) {}

void ScriptBuilder::finish(bool pauseAtEnd) {
    if (pauseAtEnd)
        lines_.append(QStringLiteral("pause"));
}

QByteArray encodeScriptText(const QStringList& lines) {
    QString text;
    qsizetype size = 0;
    for (const QString& l : lines)
        size += l.size() + 2;
    text.reserve(size);
    for (const QString& l : lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
#ifdef Q_OS_WIN
    QStringEncoder encoder(QStringEncoder::System);
    return encoder(text);
#else
    return text.toUtf8();
#endif
}

void appendScriptLine(QByteArray& out, QStringView line) {
#ifdef Q_OS_WIN
    QStringEncoder encoder(QStringEncoder::System);
#else
    QStringEncoder encoder(QStringEncoder::Utf8);
#endif
    const qsizetype start = out.size();
    out.resize(start + encoder.requiredSpace(line.size()) + 2);
    char* end = encoder.appendToBuffer(out.data() + start, line);
    *end++ = '\r';
    *end++ = '\n';
    out.resize(end - out.constData());
}

bool writeScriptFile(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    // A folder we may not create files in still lets us replace a script we own.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encodeScriptText(lines);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace kadrano
