#pragma once

#include <QByteArray>
#include <QString>
#include <ctime>

namespace kadrano::test {

// A white picture with a red block in its top left quarter, so a turn can be seen.
void WritePicture(const QString& path, int width, int height, const char* format = "JPEG");

// A JPEG whose EXIF block holds only the orientation tag (none for 0).
void WriteJpegWithOrientation(const QString& path, int width, int height, int orientation);

// Whether the pixel is clearly red.
bool IsRedAt(const QString& path, int x, int y);

void SetModified(const QString& path, time_t seconds, long nanoseconds);
bool ModifiedAt(const QString& path, time_t seconds, long nanoseconds);

}  // namespace kadrano::test
