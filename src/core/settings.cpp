#include "settings.h"

#include <cmath>

#include "inifile.h"
#include "numbers.h"

namespace kadrano {

namespace {

using K = SettingKind;
using D = SettingDefault;

constexpr SettingDef kReadOrder[] = {
    {"Language", "", K::Language, D::Fixed, "DE"},
    {"BAT_Pause_Check", "BatPAuse", K::Check, D::Fixed, "1"},
    {"NoNumbers_Check", "NoNumbers", K::Check, D::Fixed, "1"},
    {"Unterverz_Check", "DubDir_Check", K::Check, D::Fixed, "1"},
    {"HochFormat_Text", "PortraitTxt", K::Text, D::Fixed, "[HF]"},
    {"Querformat_Text", "LAndscaptTxt", K::Text, D::Fixed, "[QF]"},
    {"Ersetzen_Text", "REplaceText", K::Text, D::Fixed, ""},
    {"Cam_Start_Zeichen_Text", "CameraNr_Combo", K::ListText, D::Fixed, "IMG_"},
    {"Cam_Anz_Zeichen_Text", "CameraNr_NrCombo", K::ListText, D::Fixed, "8"},
    {"DateFormatCOmbo", "DateFormatCOmbo", K::ListText, D::CurrentValue, ""},
    {"DatumSetzenTxt", "DatumSetzenTxt", K::Text, D::CurrentValue, ""},
    {"DatumDateinameNutzen", "DatumDateinameNutzen", K::Check, D::CurrentValue, ""},
    {"TrennzDatetxt", "TrennzDatetxt", K::Text, D::CurrentValue, ""},
    {"DatumAusVerzNamen", "DatumAusVerzNamen", K::Check, D::Fixed, "0"},
    {"Rename_UnwantedChars", "Rename_UnwantedChars", K::Check, D::Fixed, "0"},
    {"Doppelte_Txt", "DoppelteTxt", K::Text, D::CurrentValue, ""},
    {"DoppelteLoeschen_Check", "DoublettenCheck", K::Check, D::Fixed, "0"},
    {"FixDatumWennKeinsGefundenCheck", "FixDatumWennKeinsGefundenCheck", K::Check, D::Fixed, "0"},
    {"Text_Farbe", "TextfarbeCOmbo", K::ListText, D::ColourByLanguage, ""},
    {"Resize_Max_Pixel", "MaxPixel", K::Text, D::Fixed, "2000"},
    {"Wenn_Unbenannt_OriginalNamen", "OriginalNamen", K::Check, D::Fixed, "1"},
    {"Resize_JPG_Qualitaet", "Qualität", K::Scroll, D::Fixed, "95"},
    {"Kein_Dateiname_Text_Check", "KeinDAteinameText", K::Check, D::Fixed, "0"},
    {"Shuffle_Trennzeichen", "TrennzeichenTxt", K::Text, D::Fixed, "#"},
    {"Nr_Rechtsbuendig", "PutOnRightSide", K::Check, D::Fixed, "1"},
    {"Cam_No_Numbers", "NoNumbers", K::Check, D::Fixed, "1"},
    {"Datei_Erweiterung_Text", "Combo2", K::ListText, D::Fixed, "*.jpg"},
    {"BildAusr_Links_Anf_Check", "LinksAnfügen_LAndscape", K::Check, D::Fixed, "1"},
    {"ImageMagic_Pfad", "ImageMagicPath", K::Text, D::Fixed, ""},
    {"SchriftGroesse", "SchriftGr", K::ListText, D::Fixed, "60"},
    {"FreiText", "FreiText_Bild", K::Text, D::Fixed, ""},
    {"FreiText_Links", "FreiTextLinksCheck", K::Check, D::Fixed, "0"},
    {"Schriftart", "SchriftartCombo", K::ListText, D::Fixed, "Arial"},
    {"Text_Fett", "FettCheck", K::Check, D::Fixed, "1"},
    {"Text_Kursiv", "KursivCheck", K::Check, D::Fixed, "0"},
    {"Keine_Nachfragen", "KeineNachfragen", K::Check, D::Fixed, "0"},
    {"Text_in_JPG_Optimieren", "REmoveNumbers", K::Check, D::Fixed, "0"},
    {"Umben_LinksAnf", "Umben_LinksAnf", K::Text, D::Fixed, ""},
    {"Umben_RechtsAnf", "Umben_RechtsAnf", K::Text, D::Fixed, ""},
    {"Umben_ErsetzenVon", "Umben_ErsetzenVon", K::Text, D::Fixed, ""},
    {"Umben_ErsetzenMit", "Umben_ErsetzenMit", K::Text, D::Fixed, ""},
    {"Umben_VerzLinksAnf", "Umben_VerzLinksAnf", K::Check, D::Fixed, "0"},
    {"Umben_VerzRechtsAnf", "Umben_VerzRechtsAnf", K::Check, D::Fixed, "0"},
    {"Resize_Convert_Format", "FormatConvertCombo", K::ListText, D::Fixed, "JPEG"},
    {"Resize_ChangeToJPG", "Resize_Change_To_JPG_Check", K::Check, D::Fixed, "0"},
    // Keys added later go last: a file from an older version gets them added at its end.
    {"Aufnahmedatum_Exif_Check", "AufnahmedatumExifCheck", K::Check, D::Fixed, "1"},
};

constexpr const char* kWriteOrder[] = {
    "Resize_ChangeToJPG",
    "Resize_Convert_Format",
    "BAT_Pause_Check",
    "NoNumbers_Check",
    "Unterverz_Check",
    "HochFormat_Text",
    "Querformat_Text",
    "Ersetzen_Text",
    "Cam_Start_Zeichen_Text",
    "Cam_Anz_Zeichen_Text",
    "Nr_Rechtsbuendig",
    "Cam_No_Numbers",
    "Rename_UnwantedChars",
    "Text_Farbe",
    "Datei_Erweiterung_Text",
    "Resize_Max_Pixel",
    "ImageMagic_Pfad",
    "Shuffle_Trennzeichen",
    "BildAusr_Links_Anf_Check",
    "Kein_Dateiname_Text_Check",
    "Doppelte_Txt",
    "DoppelteLoeschen_Check",
    "DatumAusVerzNamen",
    "FixDatumWennKeinsGefundenCheck",
    "DateFormatCOmbo",
    "DatumSetzenTxt",
    "DatumDateinameNutzen",
    "TrennzDatetxt",
    "Resize_JPG_Qualitaet",
    "SchriftGroesse",
    "FreiText",
    "FreiText_Links",
    "Schriftart",
    "Text_Fett",
    "Text_Kursiv",
    "Keine_Nachfragen",
    "Text_in_JPG_Optimieren",
    "Umben_LinksAnf",
    "Umben_RechtsAnf",
    "Umben_ErsetzenVon",
    "Umben_ErsetzenMit",
    "Umben_VerzLinksAnf",
    "Umben_VerzRechtsAnf",
    "Wenn_Unbenannt_OriginalNamen",
    "Aufnahmedatum_Exif_Check",
};

static_assert(std::size(kReadOrder) == 46);
static_assert(std::size(kWriteOrder) == 45);

const QString kSection = QString::fromLatin1(kSettingsSection);

// Check boxes and scroll bars take numbers; everything else the text as it is.
bool isNumeric(SettingKind k) {
    return k == K::Check || k == K::Scroll;
}

}  // namespace

std::span<const SettingDef> settingsReadOrder() {
    return kReadOrder;
}
std::span<const char* const> settingsWriteOrder() {
    return kWriteOrder;
}

const SettingDef* findSetting(const char* key) {
    for (const SettingDef& d : kReadOrder)
        if (qstrcmp(d.key, key) == 0)
            return &d;
    return nullptr;
}

int settingNumberFromText(const QString& text) {
    bool ok = false;
    const QString t = text.trimmed();
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return -1;
    if (v >= 32767.5 || v < -32768.5)
        return -1;  // does not fit 16 bits
    const qint64 rounded = roundHalfEven(v);
    if (rounded < 0 || rounded > 32767)
        return -1;
    return int(rounded);
}

QString Settings::ReadSetting(const QString& key, const QString& defaultValue) const {
    return ReadIniText(kSection, key, path_, defaultValue, !leftAlone());
}

int Settings::ReadSettingNumber(const QString& key, int defaultValue) const {
    return settingNumberFromText(ReadSetting(key, QString::number(defaultValue)));
}

void Settings::WriteSetting(const QString& key, const QString& value) const {
    if (!leftAlone())
        WriteIniText(kSection, key, value, path_, true);
}

void Settings::WriteSettingNumber(const QString& key, int value) const {
    WriteSetting(key, QString::number(value));
}

bool Settings::noteRead(IniReadStatus status) {
    if (status != IniReadStatus::Read && status != IniReadStatus::Missing)
        readProblem_ = status;
    return !leftAlone();
}

IniReadStatus Settings::LoadAllSettings(SettingsTarget& target) {
    // One pass over one copy of the file: each key is read as ReadSetting would read it,
    // and the defaults it adds are written back together at the end.
    IniDocument doc;
    const IniReadStatus status = doc.read(path_);
    if (status == IniReadStatus::Missing)
        return status;
    target.showIniButton();
    if (!noteRead(status))
        return status;

    const QString language =
        readIniValue(doc, kSection, QStringLiteral("Language"), QStringLiteral("DE"), true);
    if (language == QLatin1String("EN"))
        target.switchToEnglish();

    for (const SettingDef& def : kReadOrder) {
        if (def.kind == K::Language)
            continue;
        const QString key = QString::fromLatin1(def.key);
        const QString control = QString::fromUtf8(def.control);
        if (key == QLatin1String("Resize_Convert_Format"))
            target.fillOutputFormatList();

        QString defaultValue;
        switch (def.defaultKind) {
            case D::Fixed:
                defaultValue = QString::fromUtf8(def.defaultValue);
                break;
            case D::CurrentValue:
                if (target.hasControl(control))
                    defaultValue = target.controlValue(control, def.kind);
                break;
            case D::ColourByLanguage:
                defaultValue = target.language() == Language::English ? QStringLiteral("White")
                                                                      : QStringLiteral("Weiss");
                break;
        }
        const QString stored = readIniValue(doc, kSection, key, defaultValue, true);
        if (!target.hasControl(control))
            continue;

        if (isNumeric(def.kind)) {
            const int number = settingNumberFromText(stored);
            if (number >= 0)
                target.setControlValue(control, def.kind, QString::number(number));
        } else if (key == QLatin1String("ImageMagic_Pfad")) {
            // A path stored relative to the program's folder is made whole again.
            QString path = stored;
            if (!path.isEmpty() && !target.fileExists(path) &&
                target.fileExists(target.programDir() + path))
                path = target.programDir() + path;
            target.setControlValue(control, def.kind, path);
        } else {
            target.setControlValue(control, def.kind, stored);
        }
        if (key == QLatin1String("Schriftart"))
            target.fontChosen();
    }
    // The defaults are added quietly; a failing write is said by the next save.
    if (doc.isModified())
        doc.save(path_);
    return status;
}

SettingsSaveResult Settings::SaveAllSettings(SettingsTarget& target) {
    if (leftAlone())
        return {SettingsSaveResult::LeftAlone, QString()};
    IniDocument doc;
    const IniReadStatus status = doc.read(path_);
    if (!noteRead(status))
        return {SettingsSaveResult::LeftAlone, QString()};
    const bool existed = status == IniReadStatus::Read;
    for (const char* keyName : kWriteOrder) {
        const SettingDef* def = findSetting(keyName);
        const QString control = QString::fromUtf8(def->control);
        if (qstrcmp(keyName, "Text_in_JPG_Optimieren") == 0)
            target.showIniButton();
        if (!target.hasControl(control))
            continue;
        QString value = target.controlValue(control, def->kind);
        if (qstrcmp(keyName, "ImageMagic_Pfad") == 0 && !target.programDir().isEmpty())
            value.remove(target.programDir());  // stored relative to the program's folder
        doc.setValue(kSection, QString::fromLatin1(keyName), value);
    }
    if (existed && !doc.isModified())
        return {SettingsSaveResult::Unchanged, QString()};
    if (IniDocument::isWriteProtected(path_))
        return {SettingsSaveResult::WriteProtected, QString()};
    QString error;
    if (!doc.save(path_, &error))
        return {SettingsSaveResult::Failed, error};
    return {SettingsSaveResult::Saved, QString()};
}

QString settingsBoxTitle(Language language) {
    return pick(language, QStringLiteral("Einstellungen"), QStringLiteral("Settings"));
}

namespace {

QString readProblemReason(IniReadStatus status, Language language) {
    switch (status) {
        case IniReadStatus::Unreadable:
            return pick(language, QStringLiteral("Sie darf nicht gelesen werden."),
                        QStringLiteral("It may not be read."));
        case IniReadStatus::NotAFile:
            return pick(language, QStringLiteral("Sie ist keine gewöhnliche Datei."),
                        QStringLiteral("It is not a regular file."));
        case IniReadStatus::TooLarge:
            return pick(language, QStringLiteral("Sie ist größer als 1 MB."),
                        QStringLiteral("It is larger than 1 MB."));
        case IniReadStatus::Undecodable:
            return pick(language, QStringLiteral("Ihr Inhalt passt nicht zu ihrer Kodierung."),
                        QStringLiteral("Its content does not match its encoding."));
        case IniReadStatus::Read:
        case IniReadStatus::Missing:
            break;
    }
    return QString();
}

}  // namespace

QString settingsNotReadText(IniReadStatus status, const QString& path, Language language) {
    return pick(language, QStringLiteral("Die Einstellungsdatei konnte nicht gelesen werden:\r"),
                QStringLiteral("The settings file could not be read:\r")) +
           path + u'\r' + readProblemReason(status, language) + u'\r' +
           pick(language,
                QStringLiteral("Es gelten die Grundeinstellungen. Die Datei bleibt unverändert; "
                               "Einstellungen werden in dieser Sitzung nicht gespeichert."),
                QStringLiteral("The default settings apply. The file is left unchanged; settings "
                               "are not saved in this session."));
}

QString settingsNotSavedText(const SettingsSaveResult& result, IniReadStatus readProblem,
                             const QString& path, Language language) {
    QString text = pick(language, QStringLiteral("Die Einstellungen wurden nicht gespeichert:\r"),
                        QStringLiteral("The settings were not saved:\r")) +
                   path + u'\r';
    if (result.outcome == SettingsSaveResult::LeftAlone)
        return text +
               pick(language,
                    QStringLiteral("Die Datei konnte nicht gelesen werden und bleibt "
                                   "unverändert. "),
                    QStringLiteral("The file could not be read and is left unchanged. ")) +
               readProblemReason(readProblem, language);
    if (result.outcome == SettingsSaveResult::WriteProtected)
        return text + pick(language, QStringLiteral("Die Datei ist schreibgeschützt."),
                           QStringLiteral("The file is write-protected."));
    return text + result.error;
}

}  // namespace kadrano
