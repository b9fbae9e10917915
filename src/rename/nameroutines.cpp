#include "nameroutines.h"

#include "core/pathhelpers.h"
#include "dates/datetext.h"

namespace kadrano {

namespace {

// Replaces every occurrence; an empty search text changes nothing (QString::replace would
// put the replacement between every two characters).
// QString::replace builds a search table on every call, and most names hold none of the
// words looked for: a plain search first keeps the name analysis of a large folder cheap.
void replaceAll(QString& s, const QString& from, const QString& to) {
    if (!from.isEmpty() && s.contains(from))
        s.replace(from, to);
}

void removeAll(QString& s, const QString& what) {
    replaceAll(s, what, QString());
}

void replaceAll(QString& s, const char* from, const char* to) {
    const QLatin1StringView word(from);
    if (s.contains(word))
        s.replace(word, QLatin1StringView(to));
}

void removeAll(QString& s, const char* what) {
    replaceAll(s, what, "");
}

// The character at 1-based position p, or an empty text outside the text.
QString charAt(const QString& s, qsizetype p) {
    return p >= 1 ? s.mid(p - 1, 1) : QString();
}

bool endsWith(const QString& s, const char* tail) {
    return s.endsWith(QLatin1String(tail));
}

void chopEnd(QString& s, const char* tail) {
    if (endsWith(s, tail))
        s.chop(qsizetype(qstrlen(tail)));
}

// "20" or "19" at position p that may begin a year. Inside a longer run of digits they are
// part of a number, not a year: the camera number of IMG_01923 holds "19" at position 3
// once "IMG" is gone, and a camera counts through 01900 to 02099 like any other number.
bool startsTwoDigitYear(const QString& s, qsizetype p) {
    const QString two = s.mid(p - 1, 2);
    if (two != QLatin1String("20") && two != QLatin1String("19"))
        return false;
    return p == 1 || !isNumber(charAt(s, p - 1));
}

}  // namespace

bool isNumber(const QString& text) {
    return !text.isEmpty() && text.at(0) >= u'0' && text.at(0) <= u'9';
}

int CheckXNumbers(const QString& text, int count, int start) {
    if (count < 1)
        return -1;
    int left = count;
    for (qsizetype p = qMax(start, 1); p <= text.size(); ++p) {
        if (isNumber(text.mid(p - 1, 1))) {
            if (--left == 0)
                return int(p) - count;
        } else {
            left = count;
        }
    }
    return -1;
}

bool CheckFN(const QString& path, const QString& startText, int digits, QString& numberText) {
    const QString s = FileNamePart(path);
    if (startText.isEmpty()) {
        const int r = CheckXNumbers(s, digits, 1);
        if (r < 0)
            return false;
        numberText = s.mid(r, digits);
        return true;
    }
    int p = int(s.indexOf(startText)) + 1;
    for (;;) {
        if (p < 1) {
            if (numberText == startText)
                numberText.clear();
            return false;
        }
        const int r = CheckXNumbers(s, digits, p + int(startText.size()));
        p = r;
        if (r < 1)
            continue;
        numberText = startText + s.mid(r, digits);
        if (s.contains(numberText))
            return true;
        // A run not preceded by the start text: look again from inside it.
        p = r + 1;
        numberText = startText;
    }
}

QString GetDatePrefix(const QString& name, const QLocale& locale) {
    const QDate date = ParseUserDate(name.left(10), locale);
    if (date.isValid())
        return FormatShortDate(date, locale) + u'-';
    if (!startsTwoDigitYear(name, 1) && !startsTwoDigitYear(name, 7) &&
        !startsTwoDigitYear(name, 3))
        return QString();
    qsizetype length = 4;
    if (isNumber(charAt(name, 10)))
        length = 10;
    else if (isNumber(charAt(name, 6)))
        length = 7;
    return name.left(length) + u'-';
}

QString StripPictureExtensions(const QString& name) {
    QString s = name;
    for (const char* ext : {".jpg", ".JPG", ".tif", ".jpeg", ".JPEG"})
        removeAll(s, ext);
    return s;
}

QString TrimBlanks(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

QString StripCameraWords(const QString& name, const TagTexts& tags) {
    QString s = name;
    removeAll(s, tags.landscape);
    removeAll(s, tags.portrait);
    s = TrimBlanks(s);
    removeAll(s, "Lumix");
    if (s.startsWith(QLatin1String("IMG")))
        s.remove(0, 3);
    removeAll(s, "Panasonic");
    removeAll(s, tags.duplicate);
    for (const char* word :
         {"[K1]", "[K2]", "Panasonic", "Canon", "HandyVek", "HandyMobil", "HandyTamsira"})
        removeAll(s, word);
    return s;
}

QString MakePictureText(const QString& fileName, const CaptionOptions& o, const QLocale& locale) {
    const QString quote = QStringLiteral("\"");
    const QString end = QStringLiteral("  \"");
    if (o.freeTextOnly)
        return quote + o.freeText + end;

    QString s = StripPictureExtensions(fileName);
    replaceAll(s, o.replaceFrom, o.replaceWith);
    if (!o.keepName) {
        s = StripCameraWords(s, o.tags);
        const QString datePrefix = GetDatePrefix(s, locale);
        replaceAll(s, ".", " ");
        for (char digit = '0'; digit <= '9'; ++digit)
            s.remove(QChar(digit));
        replaceAll(s, "#", "-");
        replaceAll(s, "--", "-");
        replaceAll(s, "--", "-");
        replaceAll(s, "__", " ");
        replaceAll(s, "_", " ");
        replaceAll(s, "  ", " ");
        replaceAll(s, "  ", " ");
        replaceAll(s, " -", "-");
        replaceAll(s, "- ", "-");
        for (const char* word : {"-IMG -", "-IMG ", "-IMG", "IMG-", " IMG"})
            removeAll(s, word);
        chopEnd(s, "-P");
        for (const char* empty : {"()", "( )", "[]"})
            removeAll(s, empty);
        replaceAll(s, "-P-", "-");
        s = TrimBlanks(s);
        // A lone letter left at the end of the name goes.
        if (charAt(s, s.size() - 1) == QLatin1String(" "))
            s.chop(2);
        if (s.startsWith(u'-'))
            s.remove(0, 1);
        if (s.endsWith(u'-'))
            s.chop(1);
        if (s.endsWith(u'-'))
            s.chop(1);
        if (charAt(s, s.size() - 1) == QLatin1String("-"))
            s.chop(2);
        chopEnd(s, "-PA");
        chopEnd(s, "-P");
        s = datePrefix + TrimBlanks(s);
    }
    replaceAll(s, "--", "-");
    if (o.freeTextLeft)
        return quote + o.freeText + s + end;
    return quote + s + o.freeText + end;
}

QString CaptionPreviewText(const QString& caption) {
    QString inner = caption;
    inner.remove(u'"');
    QString text = u'"' + TrimBlanks(inner) + u'"';
    if (text.size() >= 55)
        text.insert(54, QStringLiteral(".. "));
    return text;
}

}  // namespace kadrano
