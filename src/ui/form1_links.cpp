#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "clickablelabel.h"
#include "englishtexts.h"
#include "form1.h"
#include "form1geometry.h"
#include "icons.h"
#include "messageboxperson.h"
#include "update/update.h"

// The language button, and the links to the maker's server in the top strip.

namespace kadrano {

void Form1::setUpLinks(const Options& options) {
    if (options.updateServer) {
        updateServer_ = options.updateServer;
    } else {
        ownUpdateServer_ = std::make_unique<UpdateServer>();
        updateServer_ = ownUpdateServer_.get();
    }
    if (options.updateHost) {
        updateHost_ = options.updateHost;
    } else {
        ownUpdateHost_ = std::make_unique<DesktopUpdateHost>();
        updateHost_ = ownUpdateHost_.get();
    }
}

void Form1::connectLinks() {
    if (c_.SwitchLAnguage_Label)
        connect(c_.SwitchLAnguage_Label, &QPushButton::clicked, this,
                &Form1::SwitchLanguageClicked);
    if (c_.Label13)
        connect(c_.Label13, &ClickableLabel::clicked, this, &Form1::onUpdateLink);
    if (c_.Label42)
        connect(c_.Label42, &ClickableLabel::clicked, this, &Form1::onHomepageLink);
}

// The settings name English: the window comes up as if the button had been clicked.
void Form1::switchToEnglish() {
    if (language_ != Language::English)
        SwitchLanguageClicked();
}

void Form1::SwitchLanguageClicked() {
    if (language_ == Language::English) {
        // The German texts are not kept anywhere once replaced: German comes back with the
        // next start.
        language_ = Language::German;
        settings_.WriteSetting(QStringLiteral("Language"), QStringLiteral("DE"));
        if (c_.SwitchLAnguage_Label)
            c_.SwitchLAnguage_Label->setIcon(QIcon(EnglishFlagPixmap(geometry::kFlagSize)));
        const int answer = dialogs_->messageBox(
            QStringLiteral("Neustart für deutsche Sprache notwendig - Programm beenden?\r\r"
                           "Restart for german language needed - Restart now?"),
            Mb::OKCancel | Mb::IconInformation,
            QStringLiteral("Programm neu starten  /Restart Program"));
        if (answer == Mb::ResultOK)
            updateHost_->endProgram();
        return;
    }

    ApplyEnglishTexts(*this);
    for (ToolArea* a : areas_)
        a->switchedToEnglish();
    nameInfoButtons();
    language_ = Language::English;
    UseQtTranslations(language_);
    Q_EMIT languageChanged(language_);
    refreshUndoButton();
    // While the settings are read, "EN" is what they hold already.
    if (!loading_) {
        settings_.WriteSetting(QStringLiteral("Language"), QStringLiteral("EN"));
        dialogs_->messageBox(
            QStringLiteral("Please note that the english translation is currently incomplete.\r"
                           "Most controls are in english but some texts and message-boxes are "
                           "still in german.\r\rI'm working on this.."),
            Mb::OK | Mb::IconInformation, QStringLiteral("Translation still in progress"));
    }
    if (c_.SwitchLAnguage_Label && c_.DE_Flag)
        c_.SwitchLAnguage_Label->setIcon(QIcon(c_.DE_Flag->pixmap()));
}

void Form1::onUpdateLink() {
    if (c_.Label13)
        c_.Label13->hide();
    UpdateLinkClicked(*updateServer_, UpdatePaths::For(paths_.programDir, paths_.programName),
                      commandLine_, person(), *updateHost_);
    if (c_.Label13)
        c_.Label13->show();
}

void Form1::onHomepageLink() {
    HomepageLinkClicked(*updateServer_, person(), *updateHost_);
}

}  // namespace kadrano
