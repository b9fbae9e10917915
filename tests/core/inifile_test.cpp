#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <chrono>
#include <future>

#include "core/blanks.h"
#include "core/inifile.h"
#include "support/ordinaryuser.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::giveToOrdinaryUser;
using kadrano::test::q;
using kadrano::test::TempFolder;

namespace {
IniDocument docOf(const QByteArray& bytes) {
    IniDocument d;
    d.setBytes(bytes);
    return d;
}

// Reads the file on another thread, so that a read that hangs fails the test instead of
// stopping it; a reader stuck on a pipe is set free by opening and closing its other end.
IniReadStatus readGuarded(const QString& path, QByteArray* bytes) {
    auto pending = std::async(std::launch::async, [&] { return readIniFileBytes(path, bytes); });
    if (pending.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "reading " << path.toStdString() << " does not return";
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
        if (fd >= 0)
            ::close(fd);
    }
    return pending.get();
}

// A text in one of the Unicode encodings, with its byte-order mark, as Qt writes it.
QByteArray unicodeBytes(const QString& text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

bool isFifo(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}
}  // namespace

// Settings lines and batch lines share this rule: blanks and tabs go, nothing else does (a
// no-break space may be part of a value, a line break is not the line's to lose).
TEST(TrimBlanks, TakesOnlyBlanksAndTabsAtTheEnds) {
    EXPECT_EQ(trimBlanks(u" \t a b \t "), u"a b");
    EXPECT_EQ(trimBlanks(u"\u00a0x\u00a0"), u"\u00a0x\u00a0");
    EXPECT_EQ(trimBlanks(u"x\r\n"), u"x\r\n");
    EXPECT_TRUE(trimBlanks(u" \t\t ").isEmpty());
    EXPECT_TRUE(trimBlanks(QStringView()).isEmpty());
}

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

TEST(IniFileReading, OnlyARegularFileBelowOneMebibyteIsReadAndNothingElseWritten) {
    TempFolder dir;
    QByteArray bytes;

    const QString fifo = dir.file(q("kadrano.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_EQ(readGuarded(fifo, &bytes), IniReadStatus::NotAFile);
    // The profile calls on it neither hang nor put a file in its place.
    EXPECT_EQ(ReadIniText(q("Settings"), q("A"), fifo, q("dflt"), true), q("dflt"));
    WriteIniText(q("Settings"), q("A"), q("1"), fifo, true);
    EXPECT_TRUE(isFifo(fifo));

    const QString zero = dir.file(q("zero.ini"));
    ASSERT_TRUE(QFile::link(q("/dev/zero"), zero));
    EXPECT_EQ(readGuarded(zero, &bytes), IniReadStatus::NotAFile);
    dir.mkdir(q("folder.ini"));
    EXPECT_EQ(readGuarded(dir.file(q("folder.ini")), &bytes), IniReadStatus::NotAFile);

    const QByteArray big = "[Settings]\r\nA=1\r\n" + QByteArray(kIniSizeLimit, ';');
    const QString bigPath = dir.write(q("big.ini"), big);
    EXPECT_EQ(readGuarded(bigPath, &bytes), IniReadStatus::TooLarge);
    WriteIniText(q("Settings"), q("A"), q("2"), bigPath, true);
    EXPECT_EQ(dir.read(q("big.ini")), big);
    const QByteArray justBelow = big.left(kIniSizeLimit - 1);
    EXPECT_EQ(readGuarded(dir.write(q("below.ini"), justBelow), &bytes), IniReadStatus::Read);
    EXPECT_EQ(bytes, justBelow);

    // Links are followed to what they name.
    const QByteArray content("[Settings]\r\nA=1\r\n");
    dir.write(q("real.ini"), content);
    ASSERT_TRUE(QFile::link(dir.file(q("real.ini")), dir.file(q("link.ini"))));
    EXPECT_EQ(readGuarded(dir.file(q("link.ini")), &bytes), IniReadStatus::Read);
    EXPECT_EQ(bytes, content);
    ASSERT_TRUE(QFile::link(dir.file(q("gone.ini")), dir.file(q("dangling.ini"))));
    EXPECT_EQ(readGuarded(dir.file(q("dangling.ini")), &bytes), IniReadStatus::Missing);
    EXPECT_EQ(readGuarded(dir.file(q("none.ini")), &bytes), IniReadStatus::Missing);
}

TEST(IniFileReading, AFileThatMayBeWrittenButNotReadIsNeverWritten) {
    TempFolder dir;
    const QByteArray content("[Settings]\r\nKeine_Nachfragen=1\r\n");
    const QString path = dir.write(q("kadrano.ini"), content);
    giveToOrdinaryUser(dir.path());
    giveToOrdinaryUser(path);
    KADRANO_AS_ORDINARY_USER(run, [&] {
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        QByteArray answer;
        IniDocument doc;
        answer += doc.read(path) == IniReadStatus::Unreadable ? "unreadable;" : "read;";
        answer += ReadIniText(q("Settings"), q("B"), path, q("dflt"), true).toUtf8() + ';';
        WriteIniText(q("Settings"), q("B"), q("2"), path, true);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? answer + f.readAll() : answer + "<gone>";
    });
    EXPECT_EQ(run.answer, "unreadable;dflt;" + content);
}

TEST(IniFileWriting, AFileIsReplacedWholeAndNeverWrittenInPlace) {
    TempFolder dir;
    const QByteArray content("[Settings]\r\nA=1\r\n");
    const QString path = dir.write(q("kadrano.ini"), content);
    const ino_t before = inodeOf(path);
    WriteIniText(q("Settings"), q("A"), q("2"), path, true);
    EXPECT_EQ(dir.read(q("kadrano.ini")), QByteArray("[Settings]\r\nA=2\r\n"));
    EXPECT_NE(inodeOf(path), before) << "written in place";

    // A folder that takes no new file leaves no way to replace the file whole; the file
    // itself being writable is no reason to write into it (a kill would cut it short).
    giveToOrdinaryUser(path);
    const auto openFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
    QFile::setPermissions(dir.path(), openFolder & ~QFileDevice::WriteOwner);
    KADRANO_AS_ORDINARY_USER(run, [&] {
        if (QFileInfo(dir.path()).isWritable())
            return QByteArray("the folder is writable");
        IniDocument doc;
        doc.load(path);
        doc.setValue(q("Settings"), q("A"), q("3"));
        QString error;
        const bool saved = doc.save(path, &error);
        WriteIniText(q("Settings"), q("A"), q("4"), path, true);
        return QByteArray(saved ? "saved" : error.isEmpty() ? "failed silently" : "refused");
    });
    QFile::setPermissions(dir.path(), openFolder);
    EXPECT_EQ(run.answer, "refused");
    EXPECT_EQ(dir.read(q("kadrano.ini")), QByteArray("[Settings]\r\nA=2\r\n"));
}

TEST(IniDocument, UnicodeFilesAreReadAndWrittenInTheirOwnEncoding) {
    const QStringConverter::Encoding encodings[] = {
        QStringConverter::Utf8, QStringConverter::Utf16LE, QStringConverter::Utf16BE,
        QStringConverter::Utf32LE, QStringConverter::Utf32BE};
    for (const auto encoding : encodings) {
        for (const char* ending : {"\r\n", "\n", "\r"}) {
            const QString e = q(ending);
            const QString before = q("[Settings]") + e + q("Text_Farbe=Grün") + e +
                                   q("FreiText = 日本 €😀") + e + q("[AlwaysOnTop]") + e +
                                   q("OnTop=True") + e;
            SCOPED_TRACE(QStringConverter::nameForEncoding(encoding) + std::string(" ") +
                         (e == q("\r\n") ? "CR LF"
                          : e == q("\n") ? "LF"
                                         : "CR"));
            IniDocument d;
            ASSERT_TRUE(d.setBytes(unicodeBytes(before, encoding)));
            EXPECT_EQ(d.value(q("Settings"), q("Text_Farbe")), q("Grün"));
            EXPECT_EQ(d.value(q("Settings"), q("FreiText")), q("日本 €😀"));
            EXPECT_EQ(d.value(q("AlwaysOnTop"), q("OnTop")), q("True"));
            d.setValue(q("Settings"), q("Text_Farbe"), q("Weiß"));
            d.setValue(q("Settings"), q("Schriftart"), q("Ärial"));
            const QString after = q("[Settings]") + e + q("Text_Farbe=Weiß") + e +
                                  q("FreiText = 日本 €😀") + e + q("Schriftart=Ärial") + e +
                                  q("[AlwaysOnTop]") + e + q("OnTop=True") + e;
            EXPECT_EQ(d.bytes(), unicodeBytes(after, encoding));
        }
    }
}

TEST(IniDocument, EightBitFilesKeepTheirEncoding) {
    // A Windows-1252 file takes new values in Windows-1252 ...
    IniDocument ansi = docOf("[Settings]\r\nText_Farbe=Gr\xfcn\r\n");
    EXPECT_EQ(ansi.value(q("Settings"), q("Text_Farbe")), q("Grün"));
    ansi.setValue(q("Settings"), q("FreiText"), q("Größe 5 €"));
    EXPECT_EQ(ansi.bytes(), QByteArray("[Settings]\r\nText_Farbe=Gr\xfcn\r\nFreiText=Gr\xf6\xdf"
                                       "e 5 \x80\r\n"));
    // ... and changes over to UTF-8 as a whole for a value Windows-1252 cannot hold.
    ansi.setValue(q("Settings"), q("FreiText"), q("日本"));
    EXPECT_EQ(ansi.bytes(), q("[Settings]\r\nText_Farbe=Grün\r\nFreiText=日本\r\n").toUtf8());
    IniDocument utf8 = docOf(q("[Settings]\nText_Farbe=Grün\n").toUtf8());
    utf8.setValue(q("Settings"), q("FreiText"), q("Größe"));
    EXPECT_EQ(utf8.bytes(), q("[Settings]\nText_Farbe=Grün\nFreiText=Größe\n").toUtf8());
}

TEST(IniDocument, AFileThatBreaksItsByteOrderMarkIsLeftUntouched) {
    TempFolder dir;
    const QByteArray good = unicodeBytes(q("[Settings]\r\nA=1\r\n"), QStringConverter::Utf16LE);
    const QByteArray broken[] = {
        good + QByteArray(1, 'x'),                           // half a character at the end
        good + QByteArray("\x00\xD8\x41\x00", 4),            // a lone surrogate
        QByteArray("\xEF\xBB\xBF[Settings]\r\nA=\xfc\r\n"),  // not UTF-8 behind a UTF-8 mark
    };
    for (const QByteArray& bytes : broken) {
        const QString path = dir.write(q("k.ini"), bytes);
        IniDocument d;
        EXPECT_EQ(d.read(path), IniReadStatus::Undecodable);
        WriteIniText(q("Settings"), q("A"), q("2"), path, true);
        EXPECT_EQ(ReadIniText(q("Settings"), q("B"), path, q("dflt"), true), q("dflt"));
        EXPECT_EQ(dir.read(q("k.ini")), bytes);
    }
}
