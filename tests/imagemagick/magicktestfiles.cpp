#include "magicktestfiles.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>

namespace kadrano::test {

namespace {

QImage picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < height / 4; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width / 4; ++x)
            line[x] = qRgb(255, 0, 0);
    }
    return image;
}

void appendLittle(QByteArray& b, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.append(char((value >> (8 * i)) & 0xFF));
}

// "Exif", then a little-endian TIFF header and one directory with the orientation.
QByteArray exifSegment(int orientation) {
    QByteArray tiff("II*\0", 4);
    appendLittle(tiff, 8, 4);       // offset of the first directory
    appendLittle(tiff, 1, 2);       // one entry
    appendLittle(tiff, 0x0112, 2);  // Orientation
    appendLittle(tiff, 3, 2);       // SHORT
    appendLittle(tiff, 1, 4);       // one value
    appendLittle(tiff, quint32(orientation), 2);
    appendLittle(tiff, 0, 2);
    appendLittle(tiff, 0, 4);  // no next directory
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    const int length = int(payload.size()) + 2;
    segment.append(char(length >> 8));
    segment.append(char(length & 0xFF));
    return segment + payload;
}

}  // namespace

void writePicture(const QString& path, int width, int height, const char* format) {
    picture(width, height).save(path, format, 95);
}

void writeNoisyJpeg(const QString& path, int width, int height, int orientation, unsigned seed) {
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = qRgb(int(state >> 24), int((state >> 16) & 0xFF), int((state >> 8) & 0xFF));
        }
    }
    // The top left quarter red, so a turn can be seen.
    for (int y = 0; y < height / 4; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width / 4; ++x)
            line[x] = qRgb(255, 0, 0);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    if (orientation > 0)
        jpeg.insert(2, exifSegment(orientation));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(jpeg);
}

bool makeWithImageMagick(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("convert"), arguments);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool isWholePicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return bytes.endsWith("\xFF\xD9") && !QImageReader(path).read().isNull();
    if (bytes.startsWith("\x89PNG"))
        return bytes.endsWith(QByteArray("IEND\xAE\x42\x60\x82", 8)) &&
               !QImageReader(path).read().isNull();
    QProcess p;
    p.start(QStringLiteral("convert"),
            {QStringLiteral("-regard-warnings"), path, QStringLiteral("null:")});
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

int frameCount(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("x"), path});
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        return 0;
    return int(p.readAllStandardOutput().count('x'));
}

QStringList allEntries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void writeJpegWithOrientation(const QString& path, int width, int height, int orientation) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture(width, height).save(&buffer, "JPEG", 95);
    if (orientation > 0)
        jpeg.insert(2, exifSegment(orientation));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(jpeg);
}

bool isRedAt(const QString& path, int x, int y) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (!image.valid(x, y))
        return false;
    const QColor c = image.pixelColor(x, y);
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
}

void setModified(const QString& path, time_t seconds, long nanoseconds) {
    struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

bool modifiedAt(const QString& path, time_t seconds, long nanoseconds) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return st.st_mtim.tv_sec == seconds && st.st_mtim.tv_nsec == nanoseconds;
}

}  // namespace kadrano::test
