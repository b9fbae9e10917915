#pragma once

#include <QRect>
#include <QSize>

// The main window's fixed measures. Heights and positions of strips and areas are in
// twips (see twips.h); the sizes of pictures drawn for the screen are in logical pixels.

namespace kadrano::geometry {

inline constexpr int kWindowWidth = 11400;
inline constexpr int kTopStripHeight = 1200;
inline constexpr int kNameStripHeight = 1320;
inline constexpr int kBottomStripHeight = 780;
inline constexpr int kCameraAreaHeight = 2040;
// Room below the bottom strip: the window is this much taller than the stack.
inline constexpr int kWindowBottomMargin = 800;
// With the camera numbers shown the window is this tall.
inline constexpr int kCameraWindowHeight = 9645;
// The strips and areas are wider than the window by this much.
inline constexpr int kStripOverhang = 1000;

inline constexpr int kCollapsedHeight = 615;
// Each tool area names its own open height.

// The picture preview's small box.
inline constexpr int kPreviewLeft = 120;
inline constexpr int kPreviewTop = 1185;
inline constexpr int kPreviewWidth = 1035;
inline constexpr int kPreviewHeight = 840;

// Logical pixels.
inline constexpr int kAreaIconSize = 32;
inline constexpr QRect kAreaIconRect{6, 4, 33, 33};
inline constexpr int kHeaderLeft = 48;
inline constexpr QSize kDropPictureSize{150, 156};
inline constexpr QSize kFlagSize{30, 20};

}  // namespace kadrano::geometry
