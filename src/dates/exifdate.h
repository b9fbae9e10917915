#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <string_view>

namespace kadrano {

// When a picture was taken, as the camera wrote it into the picture's EXIF block. File
// stamps often tell when a picture was copied or downloaded instead; the picture itself
// keeps the moment it was taken.
struct ExifDate {
    qint64 seconds = 0;  // the moment, in seconds since 1970
    // The block named its offset from UTC, so the moment is exact. Without one the clock
    // reading is taken as local time here, as the program reads every other date.
    bool hasOffset = false;
};

// An EXIF date-time "YYYY:MM:DD HH:MM:SS" (also with "-" or "/" between the date's fields,
// as some programs write it; anything after the seconds is ignored). Blank or zeroed
// fields ("0000:00:00 00:00:00", what a camera without a set clock writes) and impossible
// dates are no date.
bool ParseExifDateTime(std::string_view text, QDate& date, QTime& time);

// An EXIF offset from UTC, "+HH:MM" or "-HH:MM", in seconds.
bool ParseExifOffset(std::string_view text, int& seconds);

// The moment a picture was taken: DateTimeOriginal with OffsetTimeOriginal, else
// DateTimeDigitized with OffsetTimeDigitized (each date with the offset that belongs to
// it; OffsetTime belongs to the time the file was last changed and is never used).
//
// False, and date unchanged, when the file is no picture the metadata library knows
// (JPEG, PNG, TIFF, HEIC, WebP, camera raw ...), has no EXIF block, a damaged one, or
// neither date. Never throws; may run on several threads at once. The path must name a
// regular file: opening a pipe would wait for a writer.
bool ReadExifDate(const QString& path, ExifDate& date);

}  // namespace kadrano
