#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ctime>

namespace kadrano::test {

// A white picture with a red block in its top left quarter, so a turn can be seen.
void writePicture(const QString& path, int width, int height, const char* format = "JPEG");

// A JPEG whose EXIF block holds only the orientation tag (none for 0).
void writeJpegWithOrientation(const QString& path, int width, int height, int orientation);

// Whether the pixel is clearly red.
bool isRedAt(const QString& path, int x, int y);

void setModified(const QString& path, time_t seconds, long nanoseconds);
bool modifiedAt(const QString& path, time_t seconds, long nanoseconds);

// A JPEG of noise, which compresses as badly as a photo and takes ImageMagick a photo's
// time; with an EXIF orientation tag when orientation is not 0.
void writeNoisyJpeg(const QString& path, int width, int height, int orientation = 0,
                    unsigned seed = 1);

// Runs ImageMagick's convert with the arguments (to make pictures Qt cannot write);
// true when it succeeded.
bool makeWithImageMagick(const QStringList& arguments);

// Whether the file is a whole picture: a JPEG up to its end marker, a PNG up to its end
// chunk, anything else as ImageMagick reads it without a warning.
bool isWholePicture(const QString& path);

// The pictures (frames, pages) in a file, as ImageMagick counts them; 0 when unreadable.
int frameCount(const QString& path);

// Every entry of a folder, hidden ones included, sorted.
QStringList allEntries(const QString& folder);

}  // namespace kadrano::test
