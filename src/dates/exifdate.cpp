#include "exifdate.h"

#include <exiv2/basicio.hpp>
#include <exiv2/bmffimage.hpp>
#include <exiv2/error.hpp>
#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>
#include <exiv2/version.hpp>
#include <exiv2/xmp_exiv2.hpp>

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <mutex>

#include "filedate.h"

namespace kadrano {

namespace {

Q_LOGGING_CATEGORY(lcExifDate, "kadrano.exif", QtCriticalMsg)

// Exiv2 parses an XMP packet it meets on the way to the EXIF block; its XMP toolkit keeps
// global state that must be set up once, and used under a lock, when pictures are read on
// several threads.
std::mutex exifXmpMutex;

void exifXmpLock(void* data, bool lock) {
    auto* m = static_cast<std::mutex*>(data);
    if (lock)
        m->lock();
    else
        m->unlock();
}

void exifLogToQt(int level, const char* text) {
    const QByteArray line = QByteArray(text).trimmed();
    if (level >= Exiv2::LogMsg::warn)
        qCWarning(lcExifDate, "%s", line.constData());
    else
        qCDebug(lcExifDate, "%s", line.constData());
}

void prepareExiv2Once() {
    static std::once_flag once;
    std::call_once(once, [] {
        // A damaged block is an everyday thing in a photo folder (messengers and editors
        // leave half blocks behind) and falls back to the other dates quietly; the
        // library's own warnings would fill the terminal. They are there for a developer
        // who turns on the category "kadrano.exif".
        if (lcExifDate().isWarningEnabled()) {
            Exiv2::LogMsg::setHandler(exifLogToQt);
            Exiv2::LogMsg::setLevel(lcExifDate().isDebugEnabled() ? Exiv2::LogMsg::debug
                                                                  : Exiv2::LogMsg::warn);
        } else {
            Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        }
        Exiv2::XmpParser::initialize(exifXmpLock, &exifXmpMutex);
#if EXIV2_TEST_VERSION(0, 27, 4)
        // HEIC, the phones' format, is read only when asked for.
        Exiv2::enableBMFF(true);
#endif
    });
}

// Two digits at text[at].
bool exifTwoDigits(std::string_view text, std::size_t at, int& value) {
    const char a = text[at], b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return false;
    value = (a - '0') * 10 + (b - '0');
    return true;
}

bool isExifDateSeparator(char c) {
    return c == ':' || c == '-' || c == '/';
}

// The date and its offset as a moment; false when the date is no date.
bool exifMomentOf(const Exiv2::ExifData& exif, const Exiv2::ExifKey& dateKey,
                  const Exiv2::ExifKey& offsetKey, ExifDate& out) {
    const auto date = exif.findKey(dateKey);
    if (date == exif.end())
        return false;
    QDate d;
    QTime t;
    if (!ParseExifDateTime(date->toString(), d, t))
        return false;
    const auto offset = exif.findKey(offsetKey);
    int offsetSeconds = 0;
    if (offset != exif.end() && ParseExifOffset(offset->toString(), offsetSeconds)) {
        out.seconds = QDateTime(d, t, Qt::OffsetFromUTC, offsetSeconds).toSecsSinceEpoch();
        out.hasOffset = true;
    } else {
        out.seconds = LocalDateTime(d, t).toSecsSinceEpoch();
        out.hasOffset = false;
    }
    return true;
}

}  // namespace

bool ParseExifDateTime(std::string_view text, QDate& date, QTime& time) {
    if (text.size() < 19)
        return false;
    int century = 0, year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!exifTwoDigits(text, 0, century) || !exifTwoDigits(text, 2, year) ||
        !isExifDateSeparator(text[4]) || !exifTwoDigits(text, 5, month) || text[7] != text[4] ||
        !exifTwoDigits(text, 8, day) || (text[10] != ' ' && text[10] != 'T') ||
        !exifTwoDigits(text, 11, hour) || text[13] != ':' || !exifTwoDigits(text, 14, minute) ||
        text[16] != ':' || !exifTwoDigits(text, 17, second))
        return false;
    const QDate d(century * 100 + year, month, day);
    const QTime t(hour, minute, second);
    if (century * 100 + year == 0 || !d.isValid() || !t.isValid())
        return false;
    date = d;
    time = t;
    return true;
}

bool ParseExifOffset(std::string_view text, int& seconds) {
    // A trailing NUL or blank is part of how the block stores the text.
    while (!text.empty() && (text.back() == '\0' || text.back() == ' '))
        text.remove_suffix(1);
    int hours = 0, minutes = 0;
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || !exifTwoDigits(text, 1, hours) ||
        text[3] != ':' || !exifTwoDigits(text, 4, minutes))
        return false;
    // The widest offsets in use are -12:00 and +14:00.
    if (hours > 14 || minutes > 59 || (hours == 14 && minutes > 0))
        return false;
    seconds = (text[0] == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    return true;
}

bool ReadExifDate(const QString& path, ExifDate& date) {
    prepareExiv2Once();
    try {
        // The file itself, never a web address or standard input, whatever its name says.
#if defined(Q_OS_WIN) && defined(EXV_UNICODE_PATH)
        Exiv2::BasicIo::AutoPtr io(new Exiv2::FileIo(path.toStdWString()));
#else
        Exiv2::BasicIo::AutoPtr io(new Exiv2::FileIo(QFile::encodeName(path).toStdString()));
#endif
        const auto image = Exiv2::ImageFactory::open(io);
        // Videos keep their dates elsewhere, and the library's video readers walk the
        // whole file.
        if (!image.get() || image->mimeType().rfind("image/", 0) != 0)
            return false;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        if (exif.empty())
            return false;
        static const Exiv2::ExifKey original("Exif.Photo.DateTimeOriginal");
        static const Exiv2::ExifKey originalOffset("Exif.Photo.OffsetTimeOriginal");
        static const Exiv2::ExifKey digitized("Exif.Photo.DateTimeDigitized");
        static const Exiv2::ExifKey digitizedOffset("Exif.Photo.OffsetTimeDigitized");
        return exifMomentOf(exif, original, originalOffset, date) ||
               exifMomentOf(exif, digitized, digitizedOffset, date);
    } catch (...) {
        // Exiv2 reports broken input by throwing (its own errors, and now and then a
        // standard one from a bounds check): the picture has no usable date.
        return false;
    }
}

}  // namespace kadrano
