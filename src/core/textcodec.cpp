#include "textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kadrano {

bool isValidUtf8(const char* data, qsizetype size) {
    const auto* s = reinterpret_cast<const unsigned char*>(data);
    qsizetype i = 0;
    while (i < size) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned minimum;
        unsigned cp;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, minimum = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, minimum = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, minimum = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= size)
            return false;  // sequence cut off at the end
        for (int k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

namespace {

// 0x80..0x9F differ from Latin-1; the rest is the same. The five bytes Windows leaves
// undefined map to the control characters of the same number, so every byte decodes and
// encodes back to itself.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QStringConverter::Encoding converterOf(ByteOrderMark bom) {
    switch (bom) {
        case ByteOrderMark::Utf16LE:
            return QStringConverter::Utf16LE;
        case ByteOrderMark::Utf16BE:
            return QStringConverter::Utf16BE;
        case ByteOrderMark::Utf32LE:
            return QStringConverter::Utf32LE;
        case ByteOrderMark::Utf32BE:
            return QStringConverter::Utf32BE;
        case ByteOrderMark::None:
        case ByteOrderMark::Utf8:
            break;
    }
    return QStringConverter::Utf8;
}

}  // namespace

QString decodeWindows1252(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* o = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        o[i] = (c >= 0x80 && c < 0xA0) ? QChar(kHigh[c - 0x80]) : QChar(c);
    }
    return out;
}

QString decodeText(const QByteArray& bytes) {
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return decodeWindows1252(bytes.constData(), bytes.size());
}

bool encodeWindows1252(const QString& text, QByteArray* out) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes += char(c);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] == c)
                found = i;
        if (found < 0)
            return false;
        bytes += char(0x80 + found);
    }
    *out += bytes;
    return true;
}

ByteOrderMark detectByteOrderMark(const QByteArray& b) {
    // UTF-32LE first: its mark begins with the UTF-16LE one.
    if (b.startsWith(QByteArray("\xFF\xFE\x00\x00", 4)))
        return ByteOrderMark::Utf32LE;
    if (b.startsWith(QByteArray("\x00\x00\xFE\xFF", 4)))
        return ByteOrderMark::Utf32BE;
    if (b.startsWith("\xEF\xBB\xBF"))
        return ByteOrderMark::Utf8;
    if (b.startsWith("\xFF\xFE"))
        return ByteOrderMark::Utf16LE;
    if (b.startsWith("\xFE\xFF"))
        return ByteOrderMark::Utf16BE;
    return ByteOrderMark::None;
}

QByteArray byteOrderMarkBytes(ByteOrderMark bom) {
    switch (bom) {
        case ByteOrderMark::None:
            return QByteArray();
        case ByteOrderMark::Utf8:
            return QByteArray("\xEF\xBB\xBF");
        case ByteOrderMark::Utf16LE:
            return QByteArray("\xFF\xFE");
        case ByteOrderMark::Utf16BE:
            return QByteArray("\xFE\xFF");
        case ByteOrderMark::Utf32LE:
            return QByteArray("\xFF\xFE\x00\x00", 4);
        case ByteOrderMark::Utf32BE:
            return QByteArray("\x00\x00\xFE\xFF", 4);
    }
    return QByteArray();
}

QByteArray encodeUnicode(const QString& text, ByteOrderMark bom) {
    QStringEncoder encoder(converterOf(bom), QStringConverter::Flag::Stateless);
    return byteOrderMarkBytes(bom) + QByteArray(encoder.encode(text));
}

bool decodeUnicode(const QByteArray& bytes, ByteOrderMark bom, QString* text) {
    const QByteArray body = bytes.mid(byteOrderMarkBytes(bom).size());
    QStringDecoder decoder(converterOf(bom), QStringConverter::Flag::Stateless |
                                                 QStringConverter::Flag::ConvertInitialBom);
    *text = decoder.decode(body);
    // The decoders pass a lone surrogate through, which no other encoding can hold; and only
    // a text that encodes back to the very same bytes is one we may later write in its place.
    for (qsizetype i = 0; i < text->size(); ++i) {
        const QChar c = text->at(i);
        if (c.isHighSurrogate() && i + 1 < text->size() && text->at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return !decoder.hasError() && encodeUnicode(*text, bom) == byteOrderMarkBytes(bom) + body;
}

}  // namespace kadrano
