#pragma once

#include <QByteArray>
#include <QString>

namespace kadrano {

// Text files we read may come from this machine (UTF-8) or from a Windows machine
// (Windows-1252). Valid UTF-8 is read as such; anything else as Windows-1252.
bool IsValidUtf8(const char* data, qsizetype size);
inline bool IsValidUtf8(const QByteArray& b) {
    return IsValidUtf8(b.constData(), b.size());
}
QString DecodeWindows1252(const char* data, qsizetype size);
QString DecodeText(const QByteArray& bytes);

}  // namespace kadrano
