#pragma once

#include <QStringList>

class QMimeData;

namespace kadrano {

// The paths a drop on the window names, in the order the drop gives them: its local file
// URLs, then each line of its text. A line of text is a path or a file URL (file managers on
// Linux, and Qt itself, offer the URL list as text too).
QStringList droppedPaths(const QMimeData& data);

}  // namespace kadrano
