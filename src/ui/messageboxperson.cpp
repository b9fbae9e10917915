#include "messageboxperson.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <QUrl>

#include "editorlauncher.h"

namespace kadrano {

QString displayText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

namespace {

// A Yes/No question has no way out but its two buttons, as on the system the scripts come
// from: ESC or the frame's close button would otherwise count as "No", which for most
// questions here opens a script in the editor that the person never asked to see.
class QuestionBox : public QMessageBox {
public:
    QuestionBox(QWidget* parent, bool yesNo) : QMessageBox(parent), yesNo_(yesNo) {
        if (yesNo_)
            setWindowFlag(Qt::WindowCloseButtonHint, false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (yesNo_ && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (yesNo_) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool yesNo_;
};

// The window's language as last set through useQtTranslations: the boxes of this file speak it.
Language g_language = Language::German;

// A desktop without an opener for the path (no xdg-open, no default program) would otherwise
// swallow the click; saying where the file is lets the person open it by hand.
void openWithDesktop(const QString& path, QWidget* parent) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return;
    QMessageBox::warning(
        parent, QStringLiteral("Kadrano"),
        pick(g_language, QStringLiteral("Kein Programm zum Öffnen gefunden (xdg-open fehlt?):\n"),
             QStringLiteral("No program found to open this (is xdg-open missing?):\n")) +
            QDir::toNativeSeparators(path));
}

}  // namespace

void useQtTranslations(Language language) {
    g_language = language;
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (language == Language::English)
        return;
    auto* translator = new QTranslator;
    if (translator->load(QStringLiteral("qtbase_de"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator)) {
        installed = translator;
    } else {
        delete translator;
    }
}

int MessageBoxPerson::messageBox(const QString& text, int flags, const QString& title) {
    QuestionBox box(parent_, (flags & 0x7) == Mb::YesNo);
    box.setText(displayText(text));
    // A box without a title of its own carries the program's name, as message boxes do.
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Kadrano") : title;
    box.setWindowTitle(displayText(shownTitle).replace(u'\n', u' '));
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
            return Mb::ResultOK;
    }
}

void MessageBoxPerson::openInEditor(const QString& path) {
    openTextInEditor(path, parent_);
}

void MessageBoxPerson::openDocument(const QString& path) {
    openWithDesktop(path, parent_);
}

void MessageBoxPerson::openFolder(const QString& path) {
    openWithDesktop(path, parent_);
}

}  // namespace kadrano
