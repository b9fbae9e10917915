#pragma once

#include <QString>

class QWidget;

namespace kadrano {

// Shows a text file (a script, the settings file, the file list) in a text editor, without
// waiting. A script must never be opened by "the program for .bat files": with Wine
// installed that would run it. So the desktop's editor for plain text is started
// explicitly; without one the file is shown in a read-only viewer of our own.
void openTextInEditor(const QString& path, QWidget* parent);

// The platform's part (editorlauncher_posix.cpp, editorlauncher_win.cpp): starts the text
// editor on the file; false when there is none to start.
bool startTextEditor(const QString& path);
// The read-only viewer of our own.
void showTextViewer(const QString& path, QWidget* parent);

}  // namespace kadrano
