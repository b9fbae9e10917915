#include <QProcess>
#include <QStandardPaths>

#include "editorlauncher.h"

namespace kadrano {

namespace {
// The .desktop file the desktop associates with plain text, found through xdg-mime.
QString textEditorDesktopFile() {
    QProcess q;
    q.start(QStringLiteral("xdg-mime"),
            {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
    if (!q.waitForFinished(3000))
        return QString();
    const QString id = QString::fromUtf8(q.readAllStandardOutput()).trimmed();
    if (id.isEmpty())
        return QString();
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
}

bool startDesktopEditor(const QString& path) {
    const QString desktop = textEditorDesktopFile();
    if (!desktop.isEmpty() && !QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
        return QProcess::startDetached(QStringLiteral("gio"),
                                       {QStringLiteral("launch"), desktop, path});
    static const char* const kEditors[] = {
        "gnome-text-editor", "gedit",  "kate", "kwrite", "mousepad", "xed", "pluma",
        "featherpad",        "leafpad"};
    for (const char* e : kEditors) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(e));
        if (!exe.isEmpty())
            return QProcess::startDetached(exe, {path});
    }
    return false;
}

}  // namespace

bool startTextEditor(const QString& path) {
    return qEnvironmentVariableIsEmpty("KADRANO_NO_EXTERNAL_EDITOR") && startDesktopEditor(path);
}

}  // namespace kadrano
