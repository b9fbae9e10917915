#include "editorlauncher.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

#include "core/textcodec.h"

namespace kadrano {

namespace {

#ifndef Q_OS_WIN
// The .desktop file the desktop associates with plain text, found through xdg-mime.
QString textEditorDesktopFile() {
    QProcess q;
    q.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                         QStringLiteral("text/plain")});
    if (!q.waitForFinished(3000)) return QString();
    const QString id = QString::fromUtf8(q.readAllStandardOutput()).trimmed();
    if (id.isEmpty()) return QString();
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
}

bool startDesktopEditor(const QString& path) {
    const QString desktop = textEditorDesktopFile();
    if (!desktop.isEmpty() && !QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
        return QProcess::startDetached(QStringLiteral("gio"),
                                       {QStringLiteral("launch"), desktop, path});
    static const char* const kEditors[] = {"gnome-text-editor", "gedit", "kate", "kwrite",
                                           "mousepad", "xed", "pluma", "featherpad", "leafpad"};
    for (const char* e : kEditors) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(e));
        if (!exe.isEmpty()) return QProcess::startDetached(exe, {path});
    }
    return false;
}
#endif

void showViewer(const QString& path, QWidget* parent) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return;
    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QFileInfo(path).fileName());
    auto* text = new QPlainTextEdit(dialog);
    text->setReadOnly(true);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setPlainText(DecodeText(f.readAll()));
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    dialog->resize(800, 500);
    dialog->show();
}

}  // namespace

void OpenTextInEditor(const QString& path, QWidget* parent) {
#ifdef Q_OS_WIN
    if (QProcess::startDetached(QStringLiteral("notepad.exe"), {QDir::toNativeSeparators(path)}))
        return;
#else
    if (qEnvironmentVariableIsEmpty("KADRANO_NO_EXTERNAL_EDITOR") && startDesktopEditor(path))
        return;
#endif
    showViewer(path, parent);
}

}  // namespace kadrano
