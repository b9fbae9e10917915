#include "messageboxperson.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "editorlauncher.h"

namespace kadrano {

QString DisplayText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

int MessageBoxPerson::messageBox(const QString& text, int flags, const QString& title) {
    QMessageBox box(parent_);
    box.setText(DisplayText(text));
    // A box without a title of its own carries the program's name, as message boxes do.
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Kadrano") : title;
    box.setWindowTitle(DisplayText(shownTitle).replace(u'\n', u' '));
    box.setTextFormat(Qt::PlainText);
    switch (flags & 0x70) {
        case Mb::IconError:
            box.setIcon(QMessageBox::Critical);
            break;
        case Mb::IconQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case Mb::IconWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Mb::IconInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
    }
    switch (flags & 0x7) {
        case Mb::OKCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Mb::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Mb::ResultYes;
        case QMessageBox::No:
            return Mb::ResultNo;
        case QMessageBox::Cancel:
            return Mb::ResultCancel;
        default:
            // Closing a Yes/No box by its frame is no "Yes".
            return (flags & 0x7) == Mb::YesNo ? Mb::ResultNo : Mb::ResultOK;
    }
}

void MessageBoxPerson::openInEditor(const QString& path) { OpenTextInEditor(path, parent_); }

void MessageBoxPerson::openDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void MessageBoxPerson::openFolder(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace kadrano
