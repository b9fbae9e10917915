#include "filestatus.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "clickablelabel.h"
#include "controlfactory.h"
#include "core/filecollector.h"
#include "core/scripttext.h"
#include "core/toolhost.h"

namespace kadrano {

FileStatus::FileStatus(QWidget* strip, ToolHost& host, QString listPath)
    : QObject(strip), host_(host), listPath_(std::move(listPath)) {
    label_ = make<ClickableLabel>(strip, "FileStatus", QStringLiteral("Keine Dateien gefunden!"));
    ownTip_ =
        QStringLiteral("Doppelklick erstellt und öffenet eine Liste aller gefundenen Dateien");
    label_->setToolTip(ownTip_);
    QFont bold = label_->font();
    bold.setBold(true);
    label_->setFont(bold);
    label_->setCursor(Qt::PointingHandCursor);
    connect(label_, &ClickableLabel::clicked, this, &FileStatus::onClicked);
}

void FileStatus::setText(const QString& text) {
    label_->setText(text);
}

QString FileStatus::text() const {
    return label_->text();
}

void FileStatus::showCollected(const CollectLeftOut& leftOut, bool cancelled) {
    // The label's own tip stays; what the collection had to leave out is added below it, so
    // that "Keine Dateien gefunden" for a folder that is not there, or a count short of an
    // unreadable sub-folder, does not go unexplained.
    const Language language = host_.language();
    const QString note = collectLeftOutNote(leftOut, language);
    label_->setToolTip(note.isEmpty() ? ownTip_ : ownTip_ + QStringLiteral("\n\n") + note);
    const int count = host_.fileList().count();
    if (count > 0) {
        label_->setStyleSheet(QString());
        label_->setText(collectedStatusText(count, cancelled, language));
    } else {
        label_->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
        label_->setText(noFilesFoundStatusText(language));
    }
}

void FileStatus::switchToEnglish() {
    label_->setText(label_->text().replace(QStringLiteral("Gefunden"), QStringLiteral("Found")));
}

void FileStatus::onClicked() {
    Person& person = host_.person();
    const int answer =
        person.messageBox(QStringLiteral("Dateiliste in Text-Datei speichern und anzeigen?"),
                          Mb::YesNo, QStringLiteral("Dateiliste anzeigen?"));
    if (answer == Mb::ResultNo)
        return;
    if (!writeScriptFile(listPath_, fileListLines(host_.fileList()))) {
        person.messageBox(
            QStringLiteral("Die Dateiliste konnte nicht gespeichert werden:\r") + listPath_,
            Mb::OK | Mb::IconError, QStringLiteral("Dateiliste"));
        return;
    }
    person.openInEditor(listPath_);
}

void StatusLinePerson::setStatus(const QString& text) {
    if (status_)
        status_->setText(text);
}

QString StatusLinePerson::statusText() const {
    return status_ ? status_->text() : QString();
}

void StatusLinePerson::processEvents() {
    QCoreApplication::processEvents();
}

void FileStatus::deleteListText() {
    if (QFileInfo::exists(listPath_))
        QFile::remove(listPath_);
}

}  // namespace kadrano
