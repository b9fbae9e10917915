#include "expansion.h"

#include <QDate>
#include <QLocale>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdlib>

extern char** environ;

namespace kadrano::batch {

namespace {

bool isParameterDelimiter(QChar c) {
    return c == u' ' || c == u'\t' || c == u',' || c == u';' || c == u'=';
}

// %~1 takes off the quotes around a parameter, not those inside it.
QString withoutQuotes(const QString& s) {
    QStringView v(s);
    if (v.startsWith(u'"'))
        v = v.mid(1);
    if (v.endsWith(u'"'))
        v.chop(1);
    return v.toString();
}

// The short date of the locale, but always with a four-digit year as the command
// interpreter shows it ("15.01.2024" on a German system).
QString commandDate() {
    const QLocale locale = QLocale::system();
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return locale.toString(QDate::currentDate(), format);
}

}  // namespace

Variables Variables::fromEnvironment() {
    Variables vars;
    for (char** e = environ; e && *e; ++e) {
        const QString entry = QString::fromLocal8Bit(*e);
        // Windows keeps per-drive folders as "=C:=C:\x"; a name never starts with "=" here,
        // but skipping the first character keeps such an entry whole.
        const qsizetype eq = entry.indexOf(u'=', 1);
        if (eq <= 0)
            continue;
        const QString name = entry.left(eq);
        vars.vars_.insert(name.toUpper(), Entry{name, entry.mid(eq + 1)});
    }
    return vars;
}

QString Variables::value(QStringView name) const {
    const QString upper = name.toString().toUpper();
    const auto it = vars_.constFind(upper);
    if (it != vars_.constEnd())
        return it->value;
    return dynamicValue(upper);
}

QString Variables::dynamicValue(const QString& upper) const {
    if (upper == QLatin1String("TIME")) {
        const QString point = QLocale::system().decimalPoint();
        return commandTime(QTime::currentTime(), point.isEmpty() ? QChar(u'.') : point.front());
    }
    if (upper == QLatin1String("DATE"))
        return commandDate();
    if (upper == QLatin1String("CD"))
        return currentDir_;
    if (upper == QLatin1String("RANDOM"))
        return QString::number(QRandomGenerator::global()->bounded(32768));
    if (upper == QLatin1String("ERRORLEVEL"))
        return QString::number(errorLevel_);
    return QString();
}

void Variables::set(const QString& name, const QString& value, bool exportToEnvironment) {
    const QString upper = name.toUpper();
    const auto it = vars_.find(upper);
    // The environment on Linux tells "Path" from "PATH": keep the spelling that is there.
    const QString envName = it != vars_.end() ? it->name : name;
    if (value.isEmpty()) {
        if (it != vars_.end())
            vars_.erase(it);
        if (exportToEnvironment)
            unsetenv(envName.toLocal8Bit().constData());
        return;
    }
    vars_.insert(upper, Entry{envName, value});
    if (exportToEnvironment)
        setenv(envName.toLocal8Bit().constData(), value.toLocal8Bit().constData(), 1);
}

QStringList Variables::listing(QStringView prefix) const {
    QStringList out;
    for (const Entry& e : vars_) {
        if (e.name.startsWith(prefix, Qt::CaseInsensitive))
            out.append(e.name + u'=' + e.value);
    }
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return out;
}

QString commandTime(const QTime& time, QChar decimalPoint) {
    return QStringLiteral("%1:%2:%3%4%5")
        .arg(time.hour(), 2, 10, QChar(u' '))
        .arg(time.minute(), 2, 10, QChar(u'0'))
        .arg(time.second(), 2, 10, QChar(u'0'))
        .arg(decimalPoint)
        .arg(time.msec() / 10, 2, 10, QChar(u'0'));
}

QStringList splitParameterText(QStringView text) {
    QStringList out;
    QString current;
    bool inQuotes = false;
    bool any = false;
    for (QChar c : text) {
        if (c == u'"')
            inQuotes = !inQuotes;
        if (!inQuotes && c != u'"' && isParameterDelimiter(c)) {
            if (any)
                out.append(current);
            current.clear();
            any = false;
            continue;
        }
        current += c;
        any = true;
    }
    if (any)
        out.append(current);
    return out;
}

Parameters makeParameters(const QString& script, const QStringList& arguments) {
    Parameters p;
    p.tail = arguments.join(u' ');
    p.items.append(script);
    p.items.append(splitParameterText(p.tail));
    return p;
}

QString expandPercents(QStringView line, const Parameters& params, const Variables& vars) {
    QString out;
    out.reserve(line.size() + 16);
    const qsizetype n = line.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = line[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 >= n)
            break;  // a lone % at the end is dropped
        const QChar next = line[i + 1];
        if (next == u'%') {
            out += u'%';
            ++i;
        } else if (next.isDigit() && next.unicode() < 128) {
            out += params.item(next.unicode() - u'0');
            ++i;
        } else if (next == u'*') {
            out += params.tail;
            ++i;
        } else if (next == u'~' && i + 2 < n && line[i + 2].isDigit() &&
                   line[i + 2].unicode() < 128) {
            out += withoutQuotes(params.item(line[i + 2].unicode() - u'0'));
            i += 2;
        } else {
            const qsizetype close = line.indexOf(u'%', i + 1);
            if (close < 0)
                continue;  // no closing %: this one is dropped, the rest stays
            out += vars.value(line.mid(i + 1, close - i - 1));
            i = close;
        }
    }
    return out;
}

}  // namespace kadrano::batch
