#pragma once

#include <QRect>
#include <QSize>

namespace kadrano {

// The window's geometry is measured in twips (1440 to the inch): every height and place of
// the strips and areas is a whole number of them, whatever the screen. On screen one
// logical pixel is 15 twips (96 pixels to the inch); Qt's high-DPI scaling takes care of
// screens at 150 % or 200 %, so nothing here depends on the screen. Every conversion
// between the two goes through these functions.
inline constexpr int kTwipsPerPixel = 15;

// Twips to logical pixels, to the nearest pixel.
constexpr int px(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

// Logical pixels to twips.
constexpr int toTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect pxRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

inline QSize pxSize(int width, int height) {
    return QSize(px(width), px(height));
}

}  // namespace kadrano
