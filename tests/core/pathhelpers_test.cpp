#include <gtest/gtest.h>

#include "core/pathhelpers.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;

TEST(PathHelpers, QuoteIfSpacesQuotesOnlyTextsWithBlanksAndNoQuotes) {
    EXPECT_EQ(QuoteIfSpaces(q("C:\\Meine Bilder\\x.bat")), q("\"C:\\Meine Bilder\\x.bat\""));
    EXPECT_EQ(QuoteIfSpaces(q("C:\\Fotos\\x.bat")), q("C:\\Fotos\\x.bat"));
    EXPECT_EQ(QuoteIfSpaces(q("\"C:\\a b\\x.bat\" 14:05")), q("\"C:\\a b\\x.bat\" 14:05"));
    EXPECT_EQ(QuoteIfSpaces(q("   ")), q("   "));
    EXPECT_EQ(QuoteIfSpaces(q("")), q(""));
    // Blanks at both ends go before the test.
    EXPECT_EQ(QuoteIfSpaces(q("  /tmp/Fotos  ")), q("/tmp/Fotos"));
    EXPECT_EQ(QuoteIfSpaces(q("  /tmp/a b  ")), q("\"/tmp/a b\""));
}

TEST(PathHelpers, UnquoteRemovesOnlyAnEnclosingPair) {
    EXPECT_EQ(Unquote(q("  \"D:\\Fotos 2019\"  ")), q("D:\\Fotos 2019"));
    EXPECT_EQ(Unquote(q("\"C:\\a b\\x.bat\" 14:05")), q("\"C:\\a b\\x.bat\" 14:05"));
    EXPECT_EQ(Unquote(q("   ")), q(""));
    EXPECT_EQ(Unquote(q("\"\"")), q(""));
    EXPECT_EQ(Unquote(q("/tmp/Fotos")), q("/tmp/Fotos"));
}

TEST(PathHelpers, AddSeparatorKeepsThePathsOwnStyle) {
    EXPECT_EQ(AddSeparator(q("C:\\Fotos")), q("C:\\Fotos\\"));
    EXPECT_EQ(AddSeparator(q("C:\\Fotos\\")), q("C:\\Fotos\\"));
    EXPECT_EQ(AddSeparator(q("C:")), q("C:\\"));
    EXPECT_EQ(AddSeparator(q("Fotos")), q("Fotos"));
    EXPECT_EQ(AddSeparator(q("a/b")), q("a/b/"));
    EXPECT_EQ(AddSeparator(q("a/b/")), q("a/b/"));
    EXPECT_EQ(AddSeparator(q("C:\\a b\"")), q("C:\\a b\\\""));
    EXPECT_EQ(AddSeparator(q("")), q(""));
}

#ifndef Q_OS_WIN
TEST(PathHelpers, NativePathsWithBackslashOrColonInANameStaySlashPaths) {
    // On Linux "\" and ":" are ordinary name characters.
    EXPECT_EQ(AddSeparator(q("/tmp/Urlaub: Rom")), q("/tmp/Urlaub: Rom/"));
    EXPECT_EQ(AddSeparator(q("/tmp/a\\b")), q("/tmp/a\\b/"));
    EXPECT_EQ(FileNamePart(q("/tmp/x/a\\b.jpg")), q("a\\b.jpg"));
    EXPECT_EQ(DirNamePart(q("/tmp/Rom\\2019/IMG_0001.jpg")), q("Rom\\2019"));
}
#endif

TEST(PathHelpers, FileNamePart) {
    EXPECT_EQ(FileNamePart(q("C:\\x\\_Rename_Random.bat")), q("_Rename_Random.bat"));
    EXPECT_EQ(FileNamePart(q("/tmp/x/_Rename_Random.bat")), q("_Rename_Random.bat"));
    EXPECT_EQ(FileNamePart(q("name.jpg")), q("name.jpg"));
    EXPECT_EQ(FileNamePart(q("C:\\x\\")), q(""));
    EXPECT_EQ(FileNamePart(q("")), q(""));
}

TEST(PathHelpers, DirNamePartNamesTheFolderThatHoldsAFileOrTheLastFolder) {
    EXPECT_EQ(DirNamePart(q("C:\\Fotos\\2015-03-04 Urlaub\\IMG_0001.jpg")), q("2015-03-04 Urlaub"));
    EXPECT_EQ(DirNamePart(q("C:\\Fotos\\2015-03-04 Urlaub\\")), q("2015-03-04 Urlaub"));
    EXPECT_EQ(DirNamePart(q("C:\\Fotos\\Rom")), q("Rom"));
    EXPECT_EQ(DirNamePart(q("/home/a/Fotos/Rom/IMG_0001.jpg")), q("Rom"));
    EXPECT_EQ(DirNamePart(q("/home/a/Fotos/Rom/")), q("Rom"));
    EXPECT_EQ(DirNamePart(q("/x.jpg")), q(""));
    EXPECT_EQ(DirNamePart(q("")), q(""));
}
