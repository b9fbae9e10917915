#pragma once

#include <QString>
#include <span>

#include "inifile.h"
#include "language.h"

namespace kadrano {

// How a setting's value sits in its control.
enum class SettingKind {
    Check,     // check box: "0" or "1"
    Text,      // text box
    ListText,  // the text of a combo box
    Scroll,    // whole-number value of a scroll bar
    Language,  // not a control: the window's language
};

// Where a missing or empty key takes its value from.
enum class SettingDefault {
    Fixed,             // the text given in the table
    CurrentValue,      // whatever the control shows when the settings are read
    ColourByLanguage,  // "Weiss", or "White" while the window is English
};

struct SettingDef {
    const char* key;
    const char* control;  // objectName of the control
    SettingKind kind;
    SettingDefault defaultKind;
    const char* defaultValue;
};

// Every key of the settings file in the order the settings are read.
std::span<const SettingDef> settingsReadOrder();
// The keys in the order they are written (every key but "Language").
std::span<const char* const> settingsWriteOrder();
const SettingDef* findSetting(const char* key);

inline constexpr const char* kSettingsSection = "Settings";

// The window as the settings see it: controls found by their objectName, plus the few
// steps that reading and writing trigger. A control the window does not have is skipped.
class SettingsTarget {
public:
    virtual ~SettingsTarget() = default;
    virtual bool hasControl(const QString& name) const = 0;
    // The value as it is stored: a check box "0"/"1", a scroll bar its number, else the text.
    virtual QString controlValue(const QString& name, SettingKind kind) const = 0;
    // False when the control refuses the value (it then keeps its state).
    virtual bool setControlValue(const QString& name, SettingKind kind, const QString& value) = 0;

    virtual Language language() const = 0;
    virtual void switchToEnglish() = 0;
    virtual QString programDir() const = 0;
    virtual bool fileExists(const QString& path) const = 0;
    virtual void fillOutputFormatList() {}
    virtual void fontChosen() {}
    virtual void showIniButton() {}
};

// What came of saving the settings.
struct SettingsSaveResult {
    enum Outcome {
        Saved,
        Unchanged,       // the file already held every value
        LeftAlone,       // the file could not be read, so it is not written either
        WriteProtected,  // someone protected the file; it stays as it is
        Failed,          // the file could not be written; error says why
    } outcome = Saved;
    QString error;
    bool ok() const { return outcome == Saved || outcome == Unchanged; }
};

// Typed access to section "Settings" of one file.
//
// A file that exists but could not be read (no permission, not a regular file, too
// large, garbled) is never written for the rest of the session: writing would replace
// the person's lines with defaults.
class Settings {
public:
    explicit Settings(QString iniPath) : path_(std::move(iniPath)) {}
    const QString& path() const { return path_; }

    QString ReadSetting(const QString& key, const QString& defaultValue) const;
    // 16-bit whole number; -1 when the text is no such number or is negative.
    int ReadSettingNumber(const QString& key, int defaultValue) const;
    void WriteSetting(const QString& key, const QString& value) const;
    void WriteSettingNumber(const QString& key, int value) const;

    // Puts the stored values into the controls. Without a file nothing happens (and no
    // file is created). Keys missing from the file are added with their defaults. A file
    // that could not be read leaves every control at its default.
    IniReadStatus LoadAllSettings(SettingsTarget& target);
    // Writes every control's value; the first save creates the file.
    SettingsSaveResult SaveAllSettings(SettingsTarget& target);

    // Why the file is being left alone (Read or Missing while it is not).
    IniReadStatus readProblem() const { return readProblem_; }
    bool leftAlone() const {
        return readProblem_ != IniReadStatus::Read && readProblem_ != IniReadStatus::Missing;
    }

private:
    // Remembers a read that failed; true when the file may be written.
    bool noteRead(IniReadStatus status);

    QString path_;
    IniReadStatus readProblem_ = IniReadStatus::Read;
};

// The texts of the box that tells the person about a settings file we could not read, or
// could not save; the title is the same for both.
QString settingsBoxTitle(Language language);
QString settingsNotReadText(IniReadStatus status, const QString& path, Language language);
QString settingsNotSavedText(const SettingsSaveResult& result, IniReadStatus readProblem,
                             const QString& path, Language language);

// The number rule of ReadSettingNumber on a text: rounded to a whole number (halves to
// even), -1 for anything that is not a number from 0 to 32767.
int settingNumberFromText(const QString& text);

}  // namespace kadrano
