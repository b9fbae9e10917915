#pragma once

#include <QObject>
#include <QString>

#include "core/settings.h"

class QPushButton;
class QWidget;

namespace kadrano {

class ToolHost;

// The settings file and the window: every setting's control is found in the window by its
// objectName; reading puts the stored values into the controls, saving writes them back.
// Owns "Speichern" and "Ini" of the bottom strip.
class SettingsBinding : public QObject, private SettingsTarget {
    Q_OBJECT
public:
    SettingsBinding(QWidget* window, ToolHost& host, const QString& settingsPath,
                    QString programDir);

    // Builds "Speichern" and "Ini" into the strip.
    void buildButtons(QWidget* strip);
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* iniButton() const { return iniButton_; }

    // First start without a settings file: the controls take the values a new settings file
    // would hold.
    void applyDefaults();
    // Reads the file into the controls; a file that cannot be read is said.
    void load();
    // Saves; a failure is said every time when the person asked for the save ("Speichern",
    // "Beenden"), else once until a save succeeds again.
    void save(bool asked);
    // Stores the window's language at once.
    void storeLanguage(Language language);

Q_SIGNALS:
    // The file names English: the window is to switch as if the button had been clicked.
    void englishStored();
    // Lists whose entries depend on the language are to be filled again.
    void listsToRefill();

private:
    // SettingsTarget
    bool hasControl(const QString& name) const override;
    QString controlValue(const QString& name, SettingKind kind) const override;
    bool setControlValue(const QString& name, SettingKind kind, const QString& value) override;
    Language language() const override;
    void switchToEnglish() override { Q_EMIT englishStored(); }
    QString programDir() const override { return programDir_; }
    bool fileExists(const QString& path) const override;
    void fillOutputFormatList() override { Q_EMIT listsToRefill(); }
    void showIniButton() override;

    QWidget* window_;
    ToolHost& host_;
    Settings settings_;
    QString programDir_;
    bool saveFailureSaid_ = false;
    QPushButton* saveButton_ = nullptr;
    QPushButton* iniButton_ = nullptr;
};

}  // namespace kadrano
