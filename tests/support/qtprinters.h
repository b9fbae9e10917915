#pragma once

#include <QString>
#include <ostream>

// Readable test failures: Qt strings print as text, not as arrays of code units.
inline void printTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void printTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}
