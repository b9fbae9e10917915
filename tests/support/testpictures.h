#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace kadrano::test {

// A small plain JPEG of one grey: real picture bytes with a known size in the header, and a
// different grey gives different bytes. Header only, so that only tests that link Qt Gui
// anyway take it in.
inline QByteArray greyJpeg(int width, int height, int grey = 128) {
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(grey);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 50);
    return bytes;
}

}  // namespace kadrano::test
