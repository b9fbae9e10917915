#include <gtest/gtest.h>

#include "core/pathhelpers.h"

using namespace kadrano;

TEST(PathHelpers, QuoteIfSpaces) {
    EXPECT_EQ(QuoteIfSpaces(QStringLiteral("C:\\Meine Bilder\\x.bat")),
              QStringLiteral("\"C:\\Meine Bilder\\x.bat\""));
    EXPECT_EQ(QuoteIfSpaces(QStringLiteral("C:\\Fotos\\x.bat")), QStringLiteral("C:\\Fotos\\x.bat"));
    EXPECT_EQ(QuoteIfSpaces(QStringLiteral("\"a b\" c")), QStringLiteral("\"a b\" c"));
    EXPECT_EQ(QuoteIfSpaces(QStringLiteral("   ")), QStringLiteral("   "));
    EXPECT_EQ(QuoteIfSpaces(QStringLiteral("  /tmp/a b  ")), QStringLiteral("\"/tmp/a b\""));
}
