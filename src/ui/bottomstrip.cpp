#include "bottomstrip.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QPushButton>

#include "areastack.h"
#include "clickablelabel.h"
#include "controlfactory.h"
#include "form1geometry.h"
#include "rename/undolast.h"
#include "settingsbinding.h"
#include "twips.h"

namespace kadrano {

BottomStrip::BottomStrip(QWidget* window, SettingsBinding& settings, AreaStack& areas)
    : QObject(window), settings_(settings) {
    frame_ = make<QFrame>(window, "BeendenFrame");
    frame_->setFrameShape(QFrame::StyledPanel);
    noQuestionsCheck_ =
        make<QCheckBox>(frame_, "KeineNachfragen", QStringLiteral("Nachfragen abschalten"));
    noQuestionsCheck_->setToolTip(
        QStringLiteral("Die Aktionen starten sofort ohne weitere Nachfrage (Vorsicht!!)"));
    pauseCheck_ = make<QCheckBox>(frame_, "BatPAuse",
                                  QStringLiteral("Pause am Ende der bat-Dateien einfügen"));
    settings.buildButtons(frame_);
    exitButton_ = make<QPushButton>(frame_, "ExitBtn", QStringLiteral("Beenden"));
    undoButton_ = make<QPushButton>(frame_, "UndoBtn", QStringLiteral("Rückgängig"));
    undoButton_->setEnabled(false);
    cameraLink_ = areas.buildCameraLink(frame_);
    connect(exitButton_, &QPushButton::clicked, this, &BottomStrip::exitClicked);
    connect(undoButton_, &QPushButton::clicked, this, &BottomStrip::undoClicked);
}

bool BottomStrip::noQuestions() const {
    return noQuestionsCheck_->isChecked();
}

bool BottomStrip::pauseAtEnd() const {
    return pauseCheck_->isChecked();
}

void BottomStrip::refreshUndoButton(const QString& undoFolder, const QString& folder,
                                    Language language) {
    const QString path = undoJournalPath(undoFolder, folder);
    const QFileInfo info(path);
    const QString seen = path + u'|' + QString::number(info.size()) + u'|' +
                         QString::number(info.lastModified().toMSecsSinceEpoch()) + u'|' +
                         languageText(language);
    if (seen == undoJournalSeen_)
        return;
    undoJournalSeen_ = seen;
    const UndoButtonState state = undoButtonFor(undoFolder, folder, language);
    undoButton_->setEnabled(state.enabled);
    undoButton_->setToolTip(state.toolTip);
}

void BottomStrip::setWidth(int width) {
    width_ = width;
    frame_->resize(width, px(geometry::kBottomStripHeight));
}

void BottomStrip::layOut() {
    const int height = px(geometry::kBottomStripHeight);
    noQuestionsCheck_->setGeometry(8, 4, noQuestionsCheck_->sizeHint().width(), 22);
    pauseCheck_->setGeometry(8, height - 26, pauseCheck_->sizeHint().width(), 22);
    int x = width_ - 10;
    QPushButton* ini = settings_.iniButton();
    for (QPushButton* b : {exitButton_, ini, settings_.saveButton(), undoButton_}) {
        const int width = std::max(b->sizeHint().width(), b == ini ? 56 : 96);
        x -= width;
        b->setGeometry(x, (height - 28) / 2, width, 28);
        x -= 8;
    }
    const int checksRight = 8 + std::max(noQuestionsCheck_->width(), pauseCheck_->width()) + 24;
    cameraLink_->setGeometry(checksRight, height - 26, cameraLink_->sizeHint().width(), 22);
}

}  // namespace kadrano
