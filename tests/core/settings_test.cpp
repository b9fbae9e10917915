#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include "core/inifile.h"
#include "core/settings.h"
#include "support/ordinaryuser.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::GiveToOrdinaryUser;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {

// A window with every control of the settings table, holding plain values. Check boxes
// and scroll bars refuse what a real control would refuse.
class FakeControls : public SettingsTarget {
public:
    QHash<QString, QString> values;
    QSet<QString> missing;
    Language lang = Language::German;
    QString dir = q("/opt/kadrano/");
    QSet<QString> existingFiles;
    QStringList events;

    FakeControls() {
        for (const SettingDef& d : SettingsReadOrder()) {
            if (d.kind == SettingKind::Language)
                continue;
            const QString c = QString::fromUtf8(d.control);
            if (d.kind == SettingKind::Check)
                values[c] = q("0");
            else if (d.kind == SettingKind::Scroll)
                values[c] = q("50");
            else
                values[c] = QString();
        }
        values[q("DateFormatCOmbo")] = q("YYYY.MM.DD");
        values[q("DatumSetzenTxt")] = q("11.11.2019");
        values[q("TrennzDatetxt")] = q("-");
        values[q("DoppelteTxt")] = q("[Doppelt]");
    }
    bool hasControl(const QString& name) const override {
        return values.contains(name) && !missing.contains(name);
    }
    QString controlValue(const QString& name, SettingKind) const override {
        return values.value(name);
    }
    bool setControlValue(const QString& name, SettingKind kind, const QString& value) override {
        if (kind == SettingKind::Check && value != q("0") && value != q("1"))
            return false;
        if (kind == SettingKind::Scroll && (value.toInt() < 1 || value.toInt() > 99))
            return false;
        values[name] = value;
        return true;
    }
    Language language() const override { return lang; }
    void switchToEnglish() override {
        lang = Language::English;
        events << q("english");
    }
    QString programDir() const override { return dir; }
    bool fileExists(const QString& path) const override { return existingFiles.contains(path); }
    void fillOutputFormatList() override { events << q("formats"); }
    void fontChosen() override { events << q("font:") + values.value(q("SchriftartCombo")); }
    void showIniButton() override { events << q("ini"); }
};

QString valueIn(const QString& path, const char* key) {
    IniDocument d;
    d.load(path);
    return d.value(q("Settings"), q(key)).value_or(q("<missing>"));
}

}  // namespace

TEST(Settings, TheTableHasEveryKeyOnceAndWritesAllButLanguage) {
    QSet<QString> read, written;
    for (const SettingDef& d : SettingsReadOrder())
        read.insert(q(d.key));
    for (const char* k : SettingsWriteOrder())
        written.insert(q(k));
    EXPECT_EQ(read.size(), 46);
    EXPECT_EQ(written.size(), 45);
    read.remove(q("Language"));
    EXPECT_EQ(read, written);
}

TEST(Settings, FirstStartCreatesNothingAndTheFirstSaveWritesEveryKeyInOrder) {
    TempFolder dir;
    Settings settings(dir.file(q("kadrano.ini")));
    FakeControls controls;
    EXPECT_EQ(settings.LoadAllSettings(controls), IniReadStatus::Missing);
    EXPECT_FALSE(dir.exists(q("kadrano.ini")));
    EXPECT_TRUE(controls.events.isEmpty());

    controls.values[q("KeineNachfragen")] = q("1");
    controls.values[q("Qualität")] = q("95");
    controls.values[q("TrennzeichenTxt")] = q("#");
    ASSERT_EQ(settings.SaveAllSettings(controls).outcome, SettingsSaveResult::Saved);
    const QStringList lines = test::SplitCrLf(dir.read(q("kadrano.ini")));
    ASSERT_EQ(lines.size(), 47);  // section, 45 keys, the empty piece after the last CR LF
    EXPECT_EQ(lines[0], q("[Settings]"));
    int i = 1;
    for (const char* key : SettingsWriteOrder())
        EXPECT_TRUE(lines[i++].startsWith(q(key) + u'=')) << key;
    EXPECT_EQ(lines[1], q("Resize_ChangeToJPG=0"));
    EXPECT_TRUE(lines.contains(q("Keine_Nachfragen=1")));
    EXPECT_TRUE(lines.contains(q("Resize_JPG_Qualitaet=95")));
    EXPECT_TRUE(controls.events.contains(q("ini")));
}

TEST(Settings, AFileWithOnlyLanguageEnglishSwitchesAndAddsEveryDefault) {
    TempFolder dir;
    const QString path = dir.write(q("kadrano.ini"), QByteArray("[Settings]\r\nLanguage=EN\r\n"));
    FakeControls controls;
    Settings(path).LoadAllSettings(controls);
    EXPECT_EQ(controls.lang, Language::English);
    EXPECT_EQ(controls.events.first(), q("ini"));
    EXPECT_EQ(valueIn(path, "Text_Farbe"), q("White"));
    EXPECT_EQ(controls.values[q("TextfarbeCOmbo")], q("White"));
    EXPECT_EQ(valueIn(path, "BAT_Pause_Check"), q("1"));
    EXPECT_EQ(valueIn(path, "DateFormatCOmbo"), q("YYYY.MM.DD"));  // the control's own text
    EXPECT_EQ(valueIn(path, "Resize_Max_Pixel"), q("2000"));
    EXPECT_EQ(valueIn(path, "Ersetzen_Text"), q("<missing>"));  // empty default: not written
    EXPECT_EQ(controls.values[q("DubDir_Check")], q("1"));
    EXPECT_EQ(controls.values[q("Qualität")], q("95"));
    // The format list is filled before its key, the font reacts after its own.
    EXPECT_LT(controls.events.indexOf(q("font:Arial")), controls.events.indexOf(q("formats")));
}

TEST(Settings, UnusableValuesLeaveTheControlsAsTheyWere) {
    TempFolder dir;
    const QString path = dir.write(
        q("kadrano.ini"),
        QByteArray(
            "[Settings]\r\nUnterverz_Check=abc\r\nBAT_Pause_Check=2\r\nResize_JPG_Qualitaet=150\r\n"
            "Keine_Nachfragen=-1\r\nNoNumbers_Check=1\r\nCam_No_Numbers=0\r\nText_Fett=0.6\r\n"));
    FakeControls controls;
    controls.values[q("DubDir_Check")] = q("1");
    Settings(path).LoadAllSettings(controls);
    EXPECT_EQ(controls.values[q("DubDir_Check")], q("1"));
    EXPECT_EQ(controls.values[q("BatPAuse")], q("0"));
    EXPECT_EQ(controls.values[q("Qualität")], q("50"));
    EXPECT_EQ(controls.values[q("KeineNachfragen")], q("0"));
    EXPECT_EQ(controls.values[q("NoNumbers")], q("0"));  // the later key decides
    EXPECT_EQ(controls.values[q("FettCheck")], q("1"));  // 0.6 rounds to 1
}

TEST(Settings, ImageMagickPathIsStoredRelativeToTheProgramFolder) {
    TempFolder dir;
    const QString path = dir.write(
        q("kadrano.ini"), QByteArray("[Settings]\r\nImageMagic_Pfad=ImageMagick\\magick.exe\r\n"));
    FakeControls controls;
    controls.existingFiles.insert(q("/opt/kadrano/ImageMagick\\magick.exe"));
    Settings settings(path);
    settings.LoadAllSettings(controls);
    EXPECT_EQ(controls.values[q("ImageMagicPath")], q("/opt/kadrano/ImageMagick\\magick.exe"));
    settings.SaveAllSettings(controls);
    EXPECT_EQ(valueIn(path, "ImageMagic_Pfad"), q("ImageMagick\\magick.exe"));
    controls.values[q("ImageMagicPath")] = q("/usr/bin/convert");
    settings.SaveAllSettings(controls);
    EXPECT_EQ(valueIn(path, "ImageMagic_Pfad"), q("/usr/bin/convert"));
}

TEST(Settings, ValuesAreReadCutAndControlsTheWindowLacksAreSkipped) {
    TempFolder dir;
    const QByteArray longText(200, 'y');
    const QString path = dir.write(q("kadrano.ini"), "[Settings]\r\nFreiText=" + longText + "\r\n");
    FakeControls controls;
    controls.missing.insert(q("MaxPixel"));
    Settings settings(path);
    settings.LoadAllSettings(controls);
    EXPECT_EQ(controls.values[q("FreiText_Bild")], QString(148, u'y'));
    settings.SaveAllSettings(controls);
    EXPECT_EQ(valueIn(path, "Resize_Max_Pixel"),
              q("2000"));  // added on reading, left alone on saving
}

TEST(Settings, AProtectedFileIsReadButNotReplaced) {
    TempFolder dir;
    const QByteArray content("[Settings]\r\nKeine_Nachfragen=1\r\n");
    const QString path = dir.write(q("kadrano.ini"), content);
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    FakeControls controls;
    Settings settings(path);
    EXPECT_EQ(settings.LoadAllSettings(controls), IniReadStatus::Read);
    EXPECT_EQ(controls.values[q("KeineNachfragen")], q("1"));
    EXPECT_EQ(settings.SaveAllSettings(controls).outcome, SettingsSaveResult::WriteProtected);
    EXPECT_EQ(dir.read(q("kadrano.ini")), content);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST(Settings, AFileThatCouldNotBeReadIsNeverWrittenThatSession) {
    TempFolder dir;
    const QByteArray content("[Settings]\r\nKeine_Nachfragen=1\r\nFreiText=mine\r\n");
    const QString path = dir.write(q("kadrano.ini"), content);
    GiveToOrdinaryUser(dir.path());
    GiveToOrdinaryUser(path);
    KADRANO_AS_ORDINARY_USER(run, [&] {
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        FakeControls controls;
        Settings settings(path);
        QStringList answer;
        answer << (settings.LoadAllSettings(controls) == IniReadStatus::Unreadable ? q("unreadable")
                                                                                   : q("read"));
        answer << controls.values[q("KeineNachfragen")];
        // Readable again later in the session: still not written, the person was told.
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        answer << QString::number(settings.SaveAllSettings(controls).outcome);
        settings.WriteSetting(q("FreiText"), q("other"));
        QFile f(path);
        answer << (f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : q("<gone>"));
        return answer.join(u'|').toUtf8();
    });
    EXPECT_EQ(run.answer,
              "unreadable|0|" + QByteArray::number(SettingsSaveResult::LeftAlone) + '|' + content);
}

TEST(Settings, APipeOrAHugeFileNamedLikeTheSettingsGivesDefaultsAndNoWrite) {
    TempFolder dir;
    const QString fifo = dir.file(q("fifo.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QByteArray huge = "[Settings]\r\nKeine_Nachfragen=1\r\n" + QByteArray(2 << 20, ';');
    const QString hugePath = dir.write(q("huge.ini"), huge);
    for (const QString& path : {fifo, hugePath}) {
        FakeControls controls;
        Settings settings(path);
        const IniReadStatus status = settings.LoadAllSettings(controls);
        EXPECT_TRUE(status == IniReadStatus::NotAFile || status == IniReadStatus::TooLarge);
        EXPECT_TRUE(settings.leftAlone());
        EXPECT_EQ(controls.values[q("KeineNachfragen")], q("0"));
        EXPECT_EQ(settings.SaveAllSettings(controls).outcome, SettingsSaveResult::LeftAlone);
    }
    struct stat st {};
    EXPECT_TRUE(::lstat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    EXPECT_EQ(dir.read(q("huge.ini")), huge);
}

TEST(Settings, AUtf16FileIsReadAndStaysUtf16) {
    TempFolder dir;
    QStringEncoder encoder(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
    const QString path = dir.write(
        q("kadrano.ini"), encoder.encode(q("[Settings]\rKeine_Nachfragen=1\rFreiText=Grüße\r")));
    FakeControls controls;
    Settings settings(path);
    ASSERT_EQ(settings.LoadAllSettings(controls), IniReadStatus::Read);
    EXPECT_EQ(controls.values[q("KeineNachfragen")], q("1"));
    EXPECT_EQ(controls.values[q("FreiText_Bild")], q("Grüße"));
    controls.values[q("FreiText_Bild")] = q("Weiß");
    EXPECT_EQ(settings.SaveAllSettings(controls).outcome, SettingsSaveResult::Saved);

    const QByteArray bytes = dir.read(q("kadrano.ini"));
    ASSERT_TRUE(bytes.startsWith("\xFE\xFF"));
    QStringDecoder decoder(QStringConverter::Utf16BE);
    const QString text = decoder.decode(bytes);
    EXPECT_FALSE(decoder.hasError());
    const QStringList lines = text.split(u'\r');
    ASSERT_EQ(lines.size(), 48);  // the section, 46 keys, the empty piece after the last CR
    EXPECT_EQ(lines[0], q("[Settings]"));
    EXPECT_EQ(lines[1], q("Keine_Nachfragen=1"));
    EXPECT_EQ(lines[2], q("FreiText=Weiß"));
    EXPECT_FALSE(text.contains(u'\n'));
}

TEST(Settings, NumbersAreSixteenBitWholeNumbersRoundedHalfToEven) {
    EXPECT_EQ(SettingNumberFromText(q("1")), 1);
    EXPECT_EQ(SettingNumberFromText(q(" 95 ")), 95);
    EXPECT_EQ(SettingNumberFromText(q("1.5")), 2);
    EXPECT_EQ(SettingNumberFromText(q("2.5")), 2);
    EXPECT_EQ(SettingNumberFromText(q("32767")), 32767);
    EXPECT_EQ(SettingNumberFromText(q("32768")), -1);
    EXPECT_EQ(SettingNumberFromText(q("-3")), -1);
    EXPECT_EQ(SettingNumberFromText(q("abc")), -1);
    EXPECT_EQ(SettingNumberFromText(q("")), -1);
    TempFolder dir;
    Settings settings(dir.file(q("k.ini")));
    settings.WriteSettingNumber(q("Resize_JPG_Qualitaet"), 80);
    EXPECT_EQ(settings.ReadSettingNumber(q("Resize_JPG_Qualitaet"), 95), 80);
    EXPECT_EQ(settings.ReadSettingNumber(q("Fehlt"), 7), 7);
    EXPECT_EQ(valueIn(dir.file(q("k.ini")), "Fehlt"), q("7"));
}

// The date-taken box came after the other keys: a file the older version wrote reads its
// default (ticked) and gets just that line added at the end of its section; everything
// else stays byte for byte, and a stored "0" is kept.
TEST(Settings, AFileWithoutTheDateTakenKeyReadsItTickedAndOnlyGainsThatLine) {
    TempFolder dir;
    const QString path = dir.file(q("kadrano.ini"));
    // A file as the older version leaves it: every key written, the defaults read in.
    FakeControls before;
    before.values[q("FreiText_Bild")] = q("Grüße aus Rom");
    ASSERT_EQ(Settings(path).SaveAllSettings(before).outcome, SettingsSaveResult::Saved);
    Settings(path).LoadAllSettings(before);
    QByteArray older = dir.read(q("kadrano.ini"));
    const QByteArray newLine = "Aufnahmedatum_Exif_Check=0\r\n";
    ASSERT_TRUE(older.contains(newLine));
    older.replace(newLine, "");
    older += "\r\n[Andere]\r\nx=1\r\n";
    dir.write(q("kadrano.ini"), older);

    FakeControls controls;
    Settings settings(path);
    ASSERT_EQ(settings.LoadAllSettings(controls), IniReadStatus::Read);
    EXPECT_EQ(controls.values[q("AufnahmedatumExifCheck")], q("1"));
    const QByteArray settingsPart = older.left(older.indexOf("\r\n[Andere]"));
    EXPECT_EQ(dir.read(q("kadrano.ini")),
              settingsPart + "Aufnahmedatum_Exif_Check=1\r\n" + older.mid(settingsPart.size()));
    EXPECT_EQ(settings.SaveAllSettings(controls).outcome, SettingsSaveResult::Unchanged);

    controls.values[q("AufnahmedatumExifCheck")] = q("0");
    ASSERT_EQ(settings.SaveAllSettings(controls).outcome, SettingsSaveResult::Saved);
    EXPECT_EQ(valueIn(path, "Aufnahmedatum_Exif_Check"), q("0"));
    FakeControls again;
    again.values[q("AufnahmedatumExifCheck")] = q("1");
    Settings(path).LoadAllSettings(again);
    EXPECT_EQ(again.values[q("AufnahmedatumExifCheck")], q("0"));
}
