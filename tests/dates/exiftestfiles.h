#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <utility>
#include <vector>

namespace kadrano::test {

// EXIF tags by their Exiv2 names, with their values as text:
// {"Exif.Photo.DateTimeOriginal", "2019:07:21 14:30:05"}.
using ExifTags = std::vector<std::pair<std::string, std::string>>;

// A small real picture made by Qt, without any EXIF block.
QByteArray PlainJpeg();
QByteArray PlainPng();

// The TIFF-structured EXIF block of these tags, as a JPEG's APP1 segment (after "Exif\0\0")
// or a PNG's eXIf chunk holds it. Written by Exiv2, so the tests need no sample files.
QByteArray ExifBlock(const ExifTags& tags);

// A JPEG whose first segment is an APP1 "Exif" segment holding block (which may be
// anything, for a damaged block).
QByteArray JpegWithExifBlock(const QByteArray& block);
// A JPEG with these tags.
QByteArray JpegWithExif(const ExifTags& tags);
// The same with an XMP packet in a second APP1 segment, as editors write it.
QByteArray JpegWithExifAndXmp(const ExifTags& tags);
// A PNG with an eXIf chunk holding block, before its pixel data.
QByteArray PngWithExifChunk(const QByteArray& block);

// The tags of the usual camera picture: DateTimeOriginal and DateTimeDigitized both, the
// offset when one is given ("+02:00").
ExifTags TakenAt(const char* dateTime, const char* offset = nullptr);

}  // namespace kadrano::test
