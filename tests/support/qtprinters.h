#pragma once

#include <QString>
#include <ostream>

// Readable test failures: Qt strings print as text, not as arrays of code units.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}
