#pragma once

#include <QStringView>

namespace kadrano {

// s without the blanks and tabs at its ends. Batch lines and settings lines both ignore
// these two around a word, and only these: a no-break space or a line break stays.
inline QStringView trimBlanks(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t'))
        ++b;
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t'))
        --e;
    return s.mid(b, e - b);
}

}  // namespace kadrano
