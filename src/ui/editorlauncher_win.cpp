#include <QDir>
#include <QProcess>

#include "editorlauncher.h"

namespace kadrano {

bool startTextEditor(const QString& path) {
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {QDir::toNativeSeparators(path)});
}

}  // namespace kadrano
