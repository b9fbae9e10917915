#include <gtest/gtest.h>

#include <QFile>
#include <QFileDevice>

#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;
using kadrano::test::TempFolder;

TEST(ScriptArg, OrdinaryNamesComeOutAsQuoteIfSpacesGivesThem) {
    for (const char* name : {"/tmp/Fotos/IMG_0001.jpg", "/tmp/Fotos 2019/a b.jpg", "0434#File1.jpg",
                             "Müll.jpg", "[Doppelt]x.jpg", "-führend.jpg"})
        EXPECT_EQ(scriptArg(q(name)), QuoteIfSpaces(q(name))) << name;
}

TEST(ScriptArg, NamesTheInterpreterWouldActOnAreQuotedAndPercentDoubled) {
    // Unquoted, cmd would start "y.jpg" as a second command.
    EXPECT_EQ(scriptArg(q("/tmp/x&y.jpg")), q("\"/tmp/x&y.jpg\""));
    EXPECT_EQ(scriptArg(q("a|b.jpg")), q("\"a|b.jpg\""));
    EXPECT_EQ(scriptArg(q("a<b>.jpg")), q("\"a<b>.jpg\""));
    EXPECT_EQ(scriptArg(q("s^t.jpg")), q("\"s^t.jpg\""));
    // ren and del split their arguments at , ; = and an if block ends at ).
    EXPECT_EQ(scriptArg(q("c;d.jpg")), q("\"c;d.jpg\""));
    EXPECT_EQ(scriptArg(q("a,b=c.jpg")), q("\"a,b=c.jpg\""));
    EXPECT_EQ(scriptArg(q("a(1).jpg")), q("\"a(1).jpg\""));
    EXPECT_EQ(scriptArg(q("Hey!.jpg")), q("\"Hey!.jpg\""));
    // % is expanded even inside quotes: "50%.jpg" would become "50.jpg".
    EXPECT_EQ(scriptArg(q("50%.jpg")), q("50%%.jpg"));
    EXPECT_EQ(scriptArg(q("/tmp/F 1/Foto%20Urlaub.jpg")), q("\"/tmp/F 1/Foto%%20Urlaub.jpg\""));
    // Blanks at the ends belong to the name.
    EXPECT_EQ(scriptArg(q(" a.jpg")), q("\" a.jpg\""));
    EXPECT_EQ(scriptArg(q("a.jpg ")), q("\"a.jpg \""));
    EXPECT_EQ(scriptArg(q("a\tb.jpg")), q("\"a\tb.jpg\""));
}

TEST(ScriptArg, NamesThatCannotStandInALineAreRecognised) {
    EXPECT_TRUE(canStandInScript(q("/tmp/Tom&Jerry 50%.jpg")));
    EXPECT_FALSE(canStandInScript(q("/tmp/say \"cheese\".jpg")));
    EXPECT_FALSE(canStandInScript(q("/tmp/a\r\ndel x.jpg")));
    EXPECT_FALSE(canStandInScript(q("/tmp/a\nb.jpg")));
    EXPECT_FALSE(canStandInScript(QStringLiteral("a") + QChar(0x2028) + QStringLiteral("b.jpg")));
}

TEST(ScriptFrame, ProgressLinesCountPercentAndRemaining) {
    const QStringList four = {progressLine(0, 4), progressLine(1, 4), progressLine(2, 4),
                              progressLine(3, 4)};
    EXPECT_EQ(four[0], q("@Echo #####  0%% - Verb.: 5    (Nr: 1 / 4)  Start: %Zeit% Uhr  #####"));
    EXPECT_EQ(four[1], q("@Echo #####  25%% - Verb.: 4    (Nr: 2 / 4)  Start: %Zeit% Uhr  #####"));
    EXPECT_EQ(four[2], q("@Echo #####  50%% - Verb.: 3    (Nr: 3 / 4)  Start: %Zeit% Uhr  #####"));
    EXPECT_EQ(four[3], q("@Echo #####  75%% - Verb.: 2    (Nr: 4 / 4)  Start: %Zeit% Uhr  #####"));
    // 12.5 and 37.5 round to the even neighbour, 62.5 too.
    EXPECT_EQ(progressLine(1, 8),
              q("@Echo #####  12%% - Verb.: 8    (Nr: 2 / 8)  Start: %Zeit% Uhr  #####"));
    EXPECT_EQ(progressLine(3, 8).mid(13, 4), q("38%%"));
    EXPECT_EQ(progressLine(5, 8).mid(13, 4), q("62%%"));
    EXPECT_EQ(progressLine(7, 40).mid(13, 4), q("18%%"));
}

TEST(ScriptFrame, HeaderAndPause) {
    ScriptBuilder without;
    without.add(q("ren a b"));
    without.finish(false);
    EXPECT_EQ(
        without.lines(),
        QStringList({q("chcp 1252"), q("if \"%1\"==\"\" (set Zeit=%time%) else (set Zeit=%1%2%3)"),
                     q("ren a b")}));
    ScriptBuilder with;
    with.add(q("ren a b"));
    with.finish(true);
    EXPECT_EQ(with.lines().last(), q("pause"));
    EXPECT_EQ(with.lines().size(), 4);
}

// A list written line by line has the very bytes of one written as a whole.
TEST(ScriptFile, LinesAppendedOneByOneAreTheWholeText) {
    const QStringList lines = {q("chcp 1252"), q("0123;/tmp/Müll & Töpfe 😀/bild.jpg"), QString(),
                               q("ren \"a\" \"[Doppelt]a\"")};
    QByteArray oneByOne = "x";
    for (const QString& line : lines)
        appendScriptLine(oneByOne, line);
    EXPECT_EQ(oneByOne, "x" + encodeScriptText(lines));
}

TEST(ScriptFile, IsWrittenWithCrLfInUtf8AndReplacesAnOldOne) {
    TempFolder dir;
    const QString path =
        dir.write(q("_x.bat"), QByteArray("old content that is longer than the new"));
    ASSERT_TRUE(writeScriptFile(path, {q("chcp 1252"), q("ren Müll.jpg x.jpg")}));
    EXPECT_EQ(dir.read(q("_x.bat")), QByteArray("chcp 1252\r\nren M\xc3\xbcll.jpg x.jpg\r\n"));
}

TEST(ScriptFile, AFailedWriteLeavesNoScript) {
    TempFolder dir;
    EXPECT_FALSE(writeScriptFile(dir.file(q("missing-folder/_x.bat")), {q("pause")}));
    EXPECT_FALSE(dir.exists(q("missing-folder/_x.bat")));
}
