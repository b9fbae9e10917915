#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "areas/cameranumbersarea.h"
#include "areastack.h"
#include "englishtexts.h"
#include "filestatus.h"
#include "form1.h"
#include "form1geometry.h"
#include "icons.h"
#include "magickpathbox.h"
#include "messageboxperson.h"
#include "serverlinks.h"
#include "settingsbinding.h"
#include "update/update.h"

// The language button of the top strip: English at once, German from the next start.

namespace kadrano {

void Form1::switchLanguage() {
    if (language_ == Language::English) {
        // The German texts are not kept anywhere once replaced: German comes back with the
        // next start.
        language_ = Language::German;
        settings_->storeLanguage(language_);
        languageButton_->setIcon(QIcon(englishFlagPixmap(geometry::kFlagSize)));
        const int answer = dialogs_->messageBox(
            QStringLiteral("Neustart für deutsche Sprache notwendig - Programm beenden?\r\r"
                           "Restart for german language needed - Restart now?"),
            Mb::OKCancel | Mb::IconInformation,
            QStringLiteral("Programm neu starten  /Restart Program"));
        if (answer == Mb::ResultOK)
            links_->desktop().endProgram();
        return;
    }

    ApplyEnglishTexts(*this, shellEnglishTexts());
    status_->switchToEnglish();
    setWindowTitle(windowTitle().replace(QStringLiteral("Kadrano für digitale Bilderrahmen"),
                                         QStringLiteral("Kadrano for digital picture-frames")));
    magickBox_->switchToEnglish();
    for (ToolArea* a : areaStack_->areas())
        a->switchToEnglish();
    areaStack_->cameraNumbers().switchToEnglish();
    language_ = Language::English;
    useQtTranslations(language_);
    Q_EMIT languageChanged(language_);
    refreshUndoButton();
    // While the settings are read, "EN" is what they hold already.
    if (!loading_) {
        settings_->storeLanguage(language_);
        dialogs_->messageBox(
            QStringLiteral("Please note that the english translation is currently incomplete.\r"
                           "Most controls are in english but some texts and message-boxes are "
                           "still in german.\r\rI'm working on this.."),
            Mb::OK | Mb::IconInformation, QStringLiteral("Translation still in progress"));
    }
    languageButton_->setIcon(QIcon(germanFlag_->pixmap()));
}

}  // namespace kadrano
