#pragma once

#include <QByteArray>
#include <QString>

namespace kadrano {

// Text files we read may come from this machine (UTF-8) or from a Windows machine
// (Windows-1252). Valid UTF-8 is read as such; anything else as Windows-1252.
bool isValidUtf8(const char* data, qsizetype size);
inline bool isValidUtf8(const QByteArray& b) {
    return isValidUtf8(b.constData(), b.size());
}
QString decodeWindows1252(const char* data, qsizetype size);
QString decodeText(const QByteArray& bytes);

// The reverse of decodeWindows1252; false (and nothing appended) when a character has no
// Windows-1252 byte.
bool encodeWindows1252(const QString& text, QByteArray* out);

// A text file's encoding as far as its first bytes tell: a byte-order mark names one of the
// Unicode encodings; without one the file is 8-bit text (UTF-8 or Windows-1252).
enum class ByteOrderMark { None, Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE };
ByteOrderMark detectByteOrderMark(const QByteArray& bytes);
QByteArray byteOrderMarkBytes(ByteOrderMark bom);

// The text behind a byte-order mark (the mark itself skipped). False when the bytes are
// not clean text in that encoding, i.e. when writing the text back in it would not give
// the same bytes (a lone surrogate, a cut-off character, invalid UTF-8).
bool decodeUnicode(const QByteArray& bytes, ByteOrderMark bom, QString* text);
QByteArray encodeUnicode(const QString& text, ByteOrderMark bom);  // with the mark

}  // namespace kadrano
