#include "editorlauncher.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/textcodec.h"

namespace kadrano {

void showTextViewer(const QString& path, QWidget* parent) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QFileInfo(path).fileName());
    auto* text = new QPlainTextEdit(dialog);
    text->setReadOnly(true);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setPlainText(decodeText(f.readAll()));
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    dialog->resize(800, 500);
    dialog->show();
}

void openTextInEditor(const QString& path, QWidget* parent) {
    if (startTextEditor(path))
        return;
    showTextViewer(path, parent);
}

}  // namespace kadrano
