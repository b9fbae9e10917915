#include <gtest/gtest.h>

#include "dates/datetext.h"
#include "support/qtprinters.h"

using namespace kadrano;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kUk(QLocale::English, QLocale::UnitedKingdom);

QDate parse(const char* text, const QLocale& locale = kGerman) {
    return parseUserDate(QString::fromUtf8(text), locale);
}

}  // namespace

TEST(ParseUserDate, GermanNumericFormsAndIso) {
    const QDate march4(2015, 3, 4);
    EXPECT_EQ(parse("2015-03-04"), march4);
    EXPECT_EQ(parse("04.03.2015"), march4);
    EXPECT_EQ(parse("4.3.2015"), march4);
    EXPECT_EQ(parse("04.03.15"), march4);
    EXPECT_EQ(parse("2015-3-4"), march4);
    EXPECT_EQ(parse("04/03/2015"), march4);
    EXPECT_EQ(parse("  04.03.2015 "), march4);
    EXPECT_EQ(parse("29.02.2016"), QDate(2016, 2, 29));
}

TEST(ParseUserDate, RejectsWhatIsNoWholeDate) {
    for (const char* text :
         {"", "Urlaub", "2015_03_04", "2015-03", "2015", "2015-03 Urla", "04.03.2015 x",
          "31.02.2015", "29.02.2015", "13.13.2015", "00.03.2015", "04.03.201", "04.03.15.1",
          "04.03-2015", "2015-03-04x", "IMG_201903", "04..03.2015", "+4.3.2015", "٠٤.٠٣.٢٠١٥"})
        EXPECT_FALSE(parse(text).isValid()) << text;
}

TEST(ParseUserDate, FollowsTheLocalesFieldOrder) {
    EXPECT_EQ(parse("3/4/2015", kUs), QDate(2015, 3, 4));
    EXPECT_EQ(parse("3/4/2015", kUk), QDate(2015, 4, 3));
    EXPECT_EQ(parse("2015-03-04", kUs), QDate(2015, 3, 4));
    EXPECT_FALSE(parse("13/4/2015", kUs).isValid());
    // Without a locale argument the program's locale is used (the tests pin German).
    EXPECT_EQ(parseUserDate(QStringLiteral("4.3.15")), QDate(2015, 3, 4));
}

TEST(FormatShortDate, FourDigitYearsAndTheRoundTrip) {
    const QDate d(2015, 3, 4);
    EXPECT_EQ(formatShortDate(d, kGerman), QStringLiteral("04.03.2015"));
    EXPECT_EQ(formatShortDate(d), QStringLiteral("04.03.2015"));
    EXPECT_EQ(formatShortDate(d, kUs), QStringLiteral("3/4/2015"));
    EXPECT_EQ(formatShortDate(d, QLocale::c()), QStringLiteral("2015-03-04"));
    EXPECT_EQ(formatShortDate(QDate(), kGerman), QString());
    // Whatever a locale writes, it reads back as the same date.
    for (const QLocale& l : {kGerman, kUs, kUk, QLocale::c(), QLocale(QLocale::Japanese),
                             QLocale(QLocale::Dutch), QLocale(QLocale::French)}) {
        for (const QDate& date : {d, QDate(1999, 12, 31), QDate(2024, 2, 29)})
            EXPECT_EQ(parseUserDate(formatShortDate(date, l), l), date)
                << l.name().toStdString() << ' ' << formatShortDate(date, l).toStdString();
    }
}
