#include "datetext.h"

#include <array>

namespace kadrano {

namespace {

enum class Field { Day, Month, Year };

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isDateSeparator(QChar c) {
    return c == u'.' || c == u'/' || c == u'-';
}

// The order of day, month and year in the locale's short format; day-month-year when the
// format does not tell.
std::array<Field, 3> fieldOrder(const QLocale& locale) {
    const QString f = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype d = f.indexOf(u'd'), m = f.indexOf(u'M'), y = f.indexOf(u'y');
    if (d < 0 || m < 0 || y < 0)
        return {Field::Day, Field::Month, Field::Year};
    std::array<std::pair<qsizetype, Field>, 3> p = {
        {{d, Field::Day}, {m, Field::Month}, {y, Field::Year}}};
    std::sort(p.begin(), p.end(), [](auto a, auto b) { return a.first < b.first; });
    return {p[0].second, p[1].second, p[2].second};
}

// Splits "a?b?c" with one separator kind into three digit groups of 1 to 4 digits.
bool splitThree(const QString& t, std::array<QString, 3>& parts) {
    QChar sep;
    int part = 0;
    for (QChar c : t) {
        if (isAsciiDigit(c)) {
            parts[part] += c;
            if (parts[part].size() > 4)
                return false;
        } else if (isDateSeparator(c)) {
            if (parts[part].isEmpty() || part == 2)
                return false;
            if (!sep.isNull() && c != sep)
                return false;
            sep = c;
            ++part;
        } else {
            return false;
        }
    }
    return part == 2 && !parts[2].isEmpty();
}

int yearOf(const QString& digits) {
    if (digits.size() == 4)
        return digits.toInt();
    if (digits.size() == 2)
        return 2000 + digits.toInt();
    return -1;
}

QDate makeDate(int year, const QString& month, const QString& day) {
    if (year < 0 || month.size() > 2 || day.size() > 2)
        return QDate();
    const QDate d(year, month.toInt(), day.toInt());
    return d.isValid() ? d : QDate();
}

bool isNumericFormat(const QString& format) {
    return !format.contains(QLatin1String("MMM")) && !format.contains(QLatin1String("ddd")) &&
           format.contains(u'd') && format.contains(u'M') && format.contains(u'y');
}

}  // namespace

QDate parseUserDate(const QString& text, const QLocale& locale) {
    std::array<QString, 3> parts;
    if (!splitThree(text.trimmed(), parts))
        return QDate();
    if (parts[0].size() == 4)
        return makeDate(parts[0].toInt(), parts[1], parts[2]);
    QString day, month;
    int year = -1;
    const std::array<Field, 3> order = fieldOrder(locale);
    for (int i = 0; i < 3; ++i) {
        switch (order[i]) {
            case Field::Day:
                day = parts[i];
                break;
            case Field::Month:
                month = parts[i];
                break;
            case Field::Year:
                year = yearOf(parts[i]);
                break;
        }
    }
    return makeDate(year, month, day);
}

QString shortDateFormat(const QLocale& locale) {
    QString f = locale.dateFormat(QLocale::ShortFormat);
    if (!isNumericFormat(f))
        return QStringLiteral("yyyy-MM-dd");
    if (!f.contains(QLatin1String("yyyy")))
        f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}

QString formatShortDate(const QDate& date, const QLocale& locale) {
    if (!date.isValid())
        return QString();
    // The format holds only numeric fields, so the C locale writes the same digits and
    // keeps native digits of some locales out of names.
    return QLocale::c().toString(date, shortDateFormat(locale));
}

}  // namespace kadrano
