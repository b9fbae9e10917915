#pragma once

#include <QIcon>
#include <QPixmap>

namespace kadrano {

// The window's pictures, all drawn here so that they stay sharp at any screen scale: each
// is painted for the device pixel ratio of the screen at the time it is asked for.

enum class AreaPicture { Resize, Orientation, Rename, Text, Shuffle, Duplicates, Date };
QPixmap areaIconPixmap(AreaPicture which, int size);

// The drop target: a folder with an arrow pointing into it.
QPixmap dropFolderPixmap(QSize size);

// The language button shows the flag of the language a click switches to.
QPixmap englishFlagPixmap(QSize size);
QPixmap germanFlagPixmap(QSize size);

// The three faces of the always-on-top button: a loose pin (normal), the same pin in
// colour while the mouse is over it, and the pin stuck upright (on top).
enum class PinState { Disabled, Hover, Enabled };
QPixmap pinPixmap(PinState state, QSize size);

// A script page with a green start arrow, for the buttons that run a kept script.
QIcon runScriptIcon();

}  // namespace kadrano
