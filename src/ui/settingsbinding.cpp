#include "settingsbinding.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPushButton>

#include "controlbinding.h"
#include "controlfactory.h"
#include "core/toolhost.h"

namespace kadrano {

SettingsBinding::SettingsBinding(QWidget* window, ToolHost& host, const QString& settingsPath,
                                 QString programDir)
    : QObject(window),
      window_(window),
      host_(host),
      settings_(settingsPath),
      programDir_(std::move(programDir)) {}

void SettingsBinding::buildButtons(QWidget* strip) {
    saveButton_ = make<QPushButton>(strip, "SaveIniBtn", QStringLiteral("Speichern"));
    saveButton_->setToolTip(QStringLiteral(
        "Speichert die gesetzten Programm-Einstellungen (Pfad wird nicht gespeichert)"));
    iniButton_ = make<QPushButton>(strip, "IniBtn", QStringLiteral("Ini"));
    iniButton_->setToolTip(QStringLiteral("Ini-Datei öffnen"));
    iniButton_->hide();
    connect(saveButton_, &QPushButton::clicked, this, [this] {
        save(true);
        QCoreApplication::processEvents();
    });
    connect(iniButton_, &QPushButton::clicked, this,
            [this] { host_.person().openInEditor(settings_.path()); });
}

void SettingsBinding::applyDefaults() {
    for (const SettingDef& def : settingsReadOrder()) {
        if (def.defaultKind != SettingDefault::Fixed || def.kind == SettingKind::Language)
            continue;
        QWidget* control = window_->findChild<QWidget*>(QString::fromUtf8(def.control));
        if (!control)
            continue;
        const QString value = QString::fromUtf8(def.defaultValue);
        if (def.kind == SettingKind::Check ||
            (def.kind == SettingKind::Text && widgetValue(control, def.kind).isEmpty()))
            setWidgetValue(control, def.kind, value);
    }
}

void SettingsBinding::load() {
    const IniReadStatus status = settings_.LoadAllSettings(*this);
    if (settings_.leftAlone())
        host_.person().messageBox(settingsNotReadText(status, settings_.path(), language()),
                                  Mb::OK | Mb::IconWarning, settingsBoxTitle(language()));
}

void SettingsBinding::save(bool asked) {
    const SettingsSaveResult result = settings_.SaveAllSettings(*this);
    if (result.ok()) {
        saveFailureSaid_ = false;
        return;
    }
    // A file left alone since the start was explained then; a tool's own save keeps quiet.
    if (!asked && (saveFailureSaid_ || result.outcome == SettingsSaveResult::LeftAlone))
        return;
    saveFailureSaid_ = true;
    host_.person().messageBox(
        settingsNotSavedText(result, settings_.readProblem(), settings_.path(), language()),
        Mb::OK | Mb::IconWarning, settingsBoxTitle(language()));
}

void SettingsBinding::storeLanguage(Language language) {
    settings_.WriteSetting(QStringLiteral("Language"), languageText(language));
}

bool SettingsBinding::hasControl(const QString& name) const {
    return window_->findChild<QWidget*>(name) != nullptr;
}

QString SettingsBinding::controlValue(const QString& name, SettingKind kind) const {
    return widgetValue(window_->findChild<QWidget*>(name), kind);
}

bool SettingsBinding::setControlValue(const QString& name, SettingKind kind, const QString& value) {
    return setWidgetValue(window_->findChild<QWidget*>(name), kind, value);
}

Language SettingsBinding::language() const {
    return host_.language();
}

bool SettingsBinding::fileExists(const QString& path) const {
    return QFileInfo(path).isFile();
}

void SettingsBinding::showIniButton() {
    if (iniButton_)
        iniButton_->setVisible(true);
}

}  // namespace kadrano
