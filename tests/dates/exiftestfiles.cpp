#include "exiftestfiles.h"

#include <exiv2/exif.hpp>

#include <QBuffer>
#include <QImage>
#include <QtEndian>

namespace kadrano::test {

namespace {

QByteArray encodedPicture(const char* format) {
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The CRC of a PNG chunk (over its type and data).
quint32 pngCrc(const QByteArray& typeAndData) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : typeAndData) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

QByteArray bigEndian32(quint32 v) {
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

}  // namespace

QByteArray PlainJpeg() {
    return encodedPicture("JPEG");
}

QByteArray PlainPng() {
    return encodedPicture("PNG");
}

QByteArray ExifBlock(const ExifTags& tags) {
    Exiv2::ExifData exif;
    for (const auto& [key, value] : tags)
        exif[key] = value;
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    return QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
}

namespace {

QByteArray app1(const QByteArray& payload) {
    QByteArray segment("\xFF\xE1", 2);
    const int length = int(payload.size()) + 2;
    return segment.append(char(length >> 8)).append(char(length & 0xFF)).append(payload);
}

}  // namespace

QByteArray JpegWithExifBlock(const QByteArray& block) {
    const QByteArray jpeg = PlainJpeg();
    return jpeg.left(2) + app1(QByteArray("Exif\0\0", 6) + block) + jpeg.mid(2);
}

QByteArray JpegWithExif(const ExifTags& tags) {
    return JpegWithExifBlock(ExifBlock(tags));
}

QByteArray JpegWithExifAndXmp(const ExifTags& tags) {
    const QByteArray jpeg = JpegWithExif(tags);
    const QByteArray xmp =
        QByteArray("http://ns.adobe.com/xap/1.0/\0", 29) +
        QByteArray(
            "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?><x:xmpmeta "
            "xmlns:x='adobe:ns:meta/'><rdf:RDF "
            "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description "
            "rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'><dc:format>image/jpeg"
            "</dc:format></rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>");
    // After SOI and the EXIF segment.
    const int exifEnd = 4 + ((quint8(jpeg[4]) << 8) | quint8(jpeg[5]));
    return jpeg.left(exifEnd) + app1(xmp) + jpeg.mid(exifEnd);
}

QByteArray PngWithExifChunk(const QByteArray& block) {
    const QByteArray png = PlainPng();
    // Signature (8) and the header chunk (4 + 4 + 13 + 4) come first.
    const qsizetype afterHeader = 8 + 25;
    const QByteArray typeAndData = QByteArray("eXIf") + block;
    const QByteArray chunk =
        bigEndian32(quint32(block.size())) + typeAndData + bigEndian32(pngCrc(typeAndData));
    return png.left(afterHeader) + chunk + png.mid(afterHeader);
}

ExifTags TakenAt(const char* dateTime, const char* offset) {
    ExifTags tags = {{"Exif.Image.Make", "Testkamera"},
                     {"Exif.Photo.DateTimeOriginal", dateTime},
                     {"Exif.Photo.DateTimeDigitized", dateTime}};
    if (offset) {
        tags.emplace_back("Exif.Photo.OffsetTimeOriginal", offset);
        tags.emplace_back("Exif.Photo.OffsetTimeDigitized", offset);
    }
    return tags;
}

}  // namespace kadrano::test
