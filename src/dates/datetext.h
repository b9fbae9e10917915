#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace kadrano {

// Dates typed by the person or found at the start of file names, and the way the program
// writes dates back. Every date tool goes through these two functions so that a date the
// program writes can always be read again.
//
// Qt's own short-format parser rejects four-digit years in many locales (German "dd.MM.yy"
// refuses "04.03.2015"), and names carry ISO dates whatever the locale, so the parser is
// our own: the whole (trimmed) text must be one date, either year first ("2015-03-04",
// also with "." or "/") or in the field order of the locale's short format with ".", "/"
// or "-" between the fields. Day and month have one or two digits, the year two (20xx)
// or four. Impossible calendar dates ("31.02.2015") are rejected.

// The date the text holds, or an invalid QDate.
QDate parseUserDate(const QString& text, const QLocale& locale = QLocale());

// The locale's short date format with a four-digit year ("dd.MM.yyyy" in German). A
// locale whose short format names the month in words (the C locale) gets ISO "yyyy-MM-dd",
// which the parser reads back in every locale.
QString shortDateFormat(const QLocale& locale = QLocale());

// The date in shortDateFormat; an empty text for an invalid date.
QString formatShortDate(const QDate& date, const QLocale& locale = QLocale());

}  // namespace kadrano
