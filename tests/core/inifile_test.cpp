#include <gtest/gtest.h>

#include <QFile>

#include "core/inifile.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {
IniDocument docOf(const QByteArray& bytes) {
    IniDocument d;
    d.setBytes(bytes);
    return d;
}
}  // namespace

TEST(IniDocument, ReadsWithoutRegardToCaseAndTrimsBlanks) {
    IniDocument d = docOf(
        "[other]\r\nKey=wrong\r\n[ settings ]\r\n  KEINE_nachfragen =  1  \r\n"
        "Text=  a b  \r\n");
    EXPECT_EQ(d.value(q("Settings"), q("Keine_Nachfragen")), q("1"));
    EXPECT_EQ(d.value(q("SETTINGS"), q("text")), q("a b"));
    EXPECT_EQ(d.value(q("Settings"), q("Key")), std::nullopt);
    EXPECT_EQ(d.value(q("Missing"), q("Key")), std::nullopt);
}

TEST(IniDocument, GarbageDuplicatesAndKeysOutsideASectionDoNotConfuseIt) {
    IniDocument d = docOf(
        "Orphan=1\n\x01\x02garbage\xff\n=novalue\n[Settings]\nnot a key line\n"
        "A=first\nA=second\n;A=comment\n[Settings]\nA=third\n");
    EXPECT_EQ(d.value(q("Settings"), q("Orphan")), std::nullopt);
    EXPECT_EQ(d.value(q("Settings"), q("A")), q("first"));
    d.setValue(q("Settings"), q("A"), q("new"));
    EXPECT_EQ(d.bytes(),
              QByteArray("Orphan=1\n\x01\x02garbage\xff\n=novalue\n[Settings]\nnot a key line\n"
                         "A=new\nA=second\n;A=comment\n[Settings]\nA=third\n"));
}

TEST(IniDocument, ReplacesInPlaceAndKeepsEverythingElseByteForByte) {
    const QByteArray before =
        "; written by hand\r\n[Fenster]\r\nBreite = 800\r\n\r\n[Settings]\r\nBAT_Pause_Check=1\r\n"
        "Schriftart=Arial\r\n\r\n[AlwaysOnTop]\r\nOnTop=False\r\n";
    IniDocument d = docOf(before);
    d.setValue(q("Settings"), q("schriftart"), q("DejaVu Sans"));
    EXPECT_EQ(d.bytes(),
              QByteArray("; written by hand\r\n[Fenster]\r\nBreite = 800\r\n\r\n[Settings]\r\n"
                         "BAT_Pause_Check=1\r\nSchriftart=DejaVu Sans\r\n\r\n[AlwaysOnTop]\r\n"
                         "OnTop=False\r\n"));
    d.setValue(q("Settings"), q("Schriftart"), q("DejaVu Sans"));
    EXPECT_TRUE(d.isModified());
}

TEST(IniDocument, AppendsNewKeysToTheirSectionAndNewSectionsToTheEnd) {
    IniDocument d = docOf("[Settings]\r\nA=1\r\n\r\n[Other]\r\nB=2");
    d.setValue(q("Settings"), q("C"), q("3"));
    d.setValue(q("AlwaysOnTop"), q("OnTop"), q("True"));
    EXPECT_EQ(d.bytes(), QByteArray("[Settings]\r\nA=1\r\nC=3\r\n\r\n[Other]\r\nB=2\r\n\r\n"
                                    "[AlwaysOnTop]\r\nOnTop=True\r\n"));
    IniDocument empty;
    empty.setValue(q("Settings"), q("Language"), q("EN"));
    EXPECT_EQ(empty.bytes(), QByteArray("[Settings]\r\nLanguage=EN\r\n"));
}

TEST(IniDocument, NewLinesFollowTheFilesLineEnds) {
    IniDocument lf = docOf("[Settings]\nA=1\n");
    lf.setValue(q("Settings"), q("B"), q("2"));
    EXPECT_EQ(lf.bytes(), QByteArray("[Settings]\nA=1\nB=2\n"));
    IniDocument cr = docOf("[Settings]\rA=1\r");
    cr.setValue(q("Settings"), q("A"), q("9"));
    cr.setValue(q("Settings"), q("B"), q("2"));
    EXPECT_EQ(cr.value(q("Settings"), q("A")), q("9"));
    EXPECT_EQ(cr.bytes(), QByteArray("[Settings]\rA=9\rB=2\r"));
}

TEST(IniDocument, AValueCannotBreakIntoNewLines) {
    IniDocument d;
    d.setValue(q("Settings"), q("FreiText"), q("a\r\n[Evil]\nx=1"));
    EXPECT_EQ(d.bytes(), QByteArray("[Settings]\r\nFreiText=a  [Evil] x=1\r\n"));
    EXPECT_EQ(d.value(q("Evil"), q("x")), std::nullopt);
}

TEST(IniDocument, NonAsciiValuesRoundTripAndWindowsFilesAreReadToo) {
    TempFolder dir;
    const QString path = dir.file(q("k.ini"));
    WriteIniText(q("Settings"), q("Text_Farbe"), q("Grün"), path, true);
    EXPECT_EQ(ReadIniText(q("Settings"), q("Text_Farbe"), path, q("x"), false), q("Grün"));
    // A file written on Windows holds Windows-1252.
    dir.write(q("w.ini"), QByteArray("[Settings]\r\nText_Farbe=Gr\xfcn\r\n"));
    EXPECT_EQ(ReadIniText(q("Settings"), q("Text_Farbe"), dir.file(q("w.ini")), q("x"), false),
              q("Grün"));
}

TEST(IniText, MissingFileAndMissingKeysFollowTheCreateFlag) {
    TempFolder dir;
    const QString path = dir.file(q("k.ini"));
    EXPECT_EQ(ReadIniText(q("Settings"), q("A"), path, q("dflt"), false), q("dflt"));
    EXPECT_FALSE(dir.exists(q("k.ini")));
    WriteIniText(q("Settings"), q("A"), q("1"), path, false);
    EXPECT_FALSE(dir.exists(q("k.ini")));
    // With create the file appears empty, and the next read adds the default.
    EXPECT_EQ(ReadIniText(q("Settings"), q("A"), path, q("dflt"), true), q("dflt"));
    EXPECT_EQ(dir.read(q("k.ini")), QByteArray());
    EXPECT_EQ(ReadIniText(q("Settings"), q("A"), path, q("dflt"), true), q("dflt"));
    EXPECT_EQ(dir.read(q("k.ini")), QByteArray("[Settings]\r\nA=dflt\r\n"));
    // An empty default is not written.
    EXPECT_EQ(ReadIniText(q("Settings"), q("B"), path, QString(), true), QString());
    EXPECT_EQ(dir.read(q("k.ini")), QByteArray("[Settings]\r\nA=dflt\r\n"));
}

TEST(IniText, LongValuesAreReadCutTo148Characters) {
    TempFolder dir;
    const QString path = dir.file(q("k.ini"));
    const QString longValue(200, u'x');
    WriteIniText(q("Settings"), q("FreiText"), longValue, path, true);
    EXPECT_EQ(ReadIniText(q("Settings"), q("FreiText"), path, QString(), true),
              longValue.left(148));
}

TEST(IniText, AWriteProtectedFileIsNeverChanged) {
    TempFolder dir;
    const QByteArray content("[Settings]\r\nA=1\r\n");
    const QString path = dir.write(q("k.ini"), content);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    WriteIniText(q("Settings"), q("A"), q("2"), path, true);
    EXPECT_EQ(ReadIniText(q("Settings"), q("B"), path, q("dflt"), true), q("dflt"));
    EXPECT_EQ(dir.read(q("k.ini")), content);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
