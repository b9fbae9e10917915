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

bool CanStandInScript(const QString& s) {
    for (QChar c : s) {
        if (c == u'"' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
        // Line and paragraph separators are line breaks to some editors and readers.
        if (c.unicode() == 0x2028 || c.unicode() == 0x2029 || c.unicode() == 0x85)
            return false;
    }
    return true;
}

void AppendScriptArg(QString& line, QStringView s) {
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

QString ScriptArg(const QString& s) {
    QString out;
    out.reserve(s.size() + 4);
    AppendScriptArg(out, s);
    return out;
}

QStringList ScriptHeader() {
    return {QStringLiteral("chcp 1252"),
            QStringLiteral("if \"%1\"==\"\" (set Zeit=%time%) else (set Zeit=%1%2%3)")};
}

QString ProgressLine(int index, int count) {
    const qint64 percent = count > 0 ? RoundHalfEven(qint64(index) * 100, count) : 0;
    const int remaining = count - index + 1;
    return QStringLiteral(
               "@Echo #####  %1%% - Verb.: %2    (Nr: %3 / %4)  Start: %Zeit% Uhr  #####")
        .arg(QString::number(percent), QString::number(remaining), QString::number(index + 1),
             QString::number(count));
}

ScriptBuilder::ScriptBuilder() : lines_(ScriptHeader()) {}

void ScriptBuilder::finish(bool pauseAtEnd) {
    if (pauseAtEnd)
        lines_.append(QStringLiteral("pause"));
}

QByteArray EncodeScriptText(const QStringList& lines) {
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

bool WriteScriptFile(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    // A folder we may not create files in still lets us replace a script we own.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = EncodeScriptText(lines);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace kadrano
