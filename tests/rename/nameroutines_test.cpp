#include <gtest/gtest.h>

#include "rename/nameroutines.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

// The caption without its quotes and the two trailing blanks, so that a failure shows
// the interesting part.
QString caption(const char* name, const CaptionOptions& o = CaptionOptions()) {
    const QString c = MakePictureText(q(name), o, kGerman);
    EXPECT_TRUE(c.startsWith(u'"') && c.endsWith(q("  \""))) << c.toStdString();
    return c.mid(1, c.size() - 4);
}

struct FnResult {
    bool found;
    QString number;
};

FnResult checkFN(const char* path, const char* start, int digits, QString number = QString()) {
    const bool found = CheckFN(q(path), q(start), digits, number);
    return {found, number};
}

}  // namespace

TEST(IsNumber, OnlyTheTenAsciiDigitsAtTheFirstPosition) {
    EXPECT_TRUE(isNumber(q("0")));
    EXPECT_TRUE(isNumber(q("9x")));
    EXPECT_FALSE(isNumber(q("")));
    EXPECT_FALSE(isNumber(q("a1")));
    EXPECT_FALSE(isNumber(q("/")));  // the characters next to the digits
    EXPECT_FALSE(isNumber(q(":")));
    EXPECT_FALSE(isNumber(q("²")));
    EXPECT_FALSE(isNumber(q("٣")));  // a digit, but not an ASCII one
}

TEST(CheckXNumbers, FindsTheFirstRunFromTheStart) {
    EXPECT_EQ(CheckXNumbers(q("IMG_12345"), 4, 1), 4);
    EXPECT_EQ(CheckXNumbers(q("12a"), 2, 1), 0);
    EXPECT_EQ(CheckXNumbers(q("a1b2"), 2, 1), -1);
    EXPECT_EQ(CheckXNumbers(q("a12b3456"), 3, 1), 4);
    EXPECT_EQ(CheckXNumbers(q("12345"), 5, 1), 0);
    EXPECT_EQ(CheckXNumbers(q("1234"), 5, 1), -1);
    EXPECT_EQ(CheckXNumbers(q(""), 1, 1), -1);
}

TEST(CheckXNumbers, DigitsBeforeTheStartNeverCountAndOddArgumentsFindNothing) {
    EXPECT_EQ(CheckXNumbers(q("123456"), 4, 2), 1);
    EXPECT_EQ(CheckXNumbers(q("123456"), 4, 4), -1);
    EXPECT_EQ(CheckXNumbers(q("ab12"), 2, 99), -1);
    EXPECT_EQ(CheckXNumbers(q("12ab"), 2, 0), 0);   // a start in front of the text
    EXPECT_EQ(CheckXNumbers(q("12ab"), 2, -5), 0);  // is the first character
    EXPECT_EQ(CheckXNumbers(q("1234"), 0, 1), -1);  // an empty digit combo
}

TEST(CheckFN, WithoutStartTextTheFirstRunOfNDigits) {
    EXPECT_EQ(checkFN("1234_abc.jpg", "", 4).number, q("1234"));
    EXPECT_EQ(checkFN("123_4567.jpg", "", 4).number, q("4567"));
    EXPECT_EQ(checkFN("/Fotos/2019/IMG_20190313_101512.jpg", "", 8).number, q("20190313"));
    EXPECT_EQ(checkFN("P1000123.JPG", "", 7).number, q("1000123"));
    const FnResult none = checkFN("abc.jpg", "", 4, q("left over"));
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.number, q("left over"));  // untouched when nothing is found
}

TEST(CheckFN, WithStartTextTheRunMustFollowIt) {
    FnResult r = checkFN("IMG_1234.jpg", "_", 4);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.number, q("_1234"));
    r = checkFN("a_b1234_5678", "_", 4);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.number, q("_5678"));
    r = checkFN("DSC1234.jpg", "_", 4);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.number, q(""));
    r = checkFN("/F/P1000123.JPG", "P", 7);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.number, q("P1000123"));
    r = checkFN("DSC_0001 (2).jpg", "DSC_", 4);
    EXPECT_EQ(r.number, q("DSC_0001"));
    r = checkFN("IMG_20190313_101512.jpg", "IMG_", 8);
    EXPECT_EQ(r.number, q("IMG_20190313"));
    // The directory never counts, only the file name.
    EXPECT_FALSE(checkFN("/IMG_1234/x.jpg", "IMG_", 4).found);
}

TEST(CheckFN, TheNumberTextCarriesFromOneFileToTheNext) {
    // A rejected run leaves the bare start text behind, and the next miss clears it.
    QString number;
    EXPECT_FALSE(CheckFN(q("a_b1234.jpg"), q("_"), 4, number));
    EXPECT_EQ(number, q(""));
    number = q("_");
    EXPECT_FALSE(CheckFN(q("nothing.jpg"), q("_"), 4, number));
    EXPECT_EQ(number, q(""));
    number = q("_9999");
    EXPECT_FALSE(CheckFN(q("nothing.jpg"), q("_"), 4, number));
    EXPECT_EQ(number, q("_9999"));
    // A run right at the start of the name lies in front of any start text.
    number.clear();
    EXPECT_FALSE(CheckFN(q("1234_.jpg"), q("_"), 4, number));
}

TEST(GetDatePrefix, DatesTheParserReadsComeBackInTheShortFormat) {
    EXPECT_EQ(GetDatePrefix(q("2015-03-04 Urlaub"), kGerman), q("04.03.2015-"));
    EXPECT_EQ(GetDatePrefix(q("04.03.2015 Urlaub"), kGerman), q("04.03.2015-"));
    EXPECT_EQ(GetDatePrefix(q("4.3.15"), kGerman), q("04.03.2015-"));
    // The first ten characters must be the date alone; then the digit rules decide.
    EXPECT_EQ(GetDatePrefix(q("4.3.2015 Urlaub"), kGerman), q(""));
    EXPECT_EQ(
        GetDatePrefix(q("2015-03-04 Urlaub"), QLocale(QLocale::English, QLocale::UnitedStates)),
        q("3/4/2015-"));
}

TEST(GetDatePrefix, OtherwiseTheDigitRules) {
    EXPECT_EQ(GetDatePrefix(q("Urlaub"), kGerman), q(""));
    EXPECT_EQ(GetDatePrefix(q(""), kGerman), q(""));
    EXPECT_EQ(GetDatePrefix(q("2015_03 Urlaub"), kGerman), q("2015_03-"));
    EXPECT_EQ(GetDatePrefix(q("2015_03_04 x"), kGerman), q("2015_03_04-"));
    EXPECT_EQ(GetDatePrefix(q("2015-03 Urlaub"), kGerman), q("2015-03-"));
    EXPECT_EQ(GetDatePrefix(q("2015 Urlaub"), kGerman), q("2015-"));
    EXPECT_EQ(GetDatePrefix(q("1999"), kGerman), q("1999-"));
    EXPECT_EQ(GetDatePrefix(q("19"), kGerman), q("19-"));            // shorter than its length
    EXPECT_EQ(GetDatePrefix(q("x-1999"), kGerman), q("x-1999-"));    // "19" at position 3
    EXPECT_EQ(GetDatePrefix(q("Urlaub 2019.jpg"), kGerman), q(""));  // 7 is a blank
    EXPECT_EQ(GetDatePrefix(q("Urlau 2019.jpg"), kGerman), q("Urlau 2019-"));
    EXPECT_EQ(GetDatePrefix(q("Urlaub2019.jpg"), kGerman), q("Urlaub2019-"));
}

// A camera counts through 01900 … 02099 like through any other number: "19" or "20" right
// behind another digit is part of that number, while a year that begins the name or
// follows a separator is still found.
TEST(GetDatePrefix, DigitsInsideACameraNumberAreNoYear) {
    for (const char* camera : {"IMG_01923", "IMG_02015", "IMG_12000", "DSC_1920", "P1190123"})
        EXPECT_EQ(GetDatePrefix(StripCameraWords(q(camera)), kGerman), q("")) << camera;
    EXPECT_EQ(GetDatePrefix(q("_01923"), kGerman), q(""));
    // Real dates at each of the three positions stay dates.
    EXPECT_EQ(GetDatePrefix(q("20190313_101500"), kGerman), q("20190313_1-"));
    EXPECT_EQ(GetDatePrefix(q("a_2019 Rom"), kGerman), q("a_2019 -"));
    EXPECT_EQ(GetDatePrefix(q("Rom 0 2019"), kGerman), q("Rom 0 2019-"));
    EXPECT_EQ(GetDatePrefix(q("Rom 012019"), kGerman), q(""));  // 7 is inside "012019"
}

TEST(StripPictureExtensions, EveryKnownExtensionWhereverItStands) {
    EXPECT_EQ(StripPictureExtensions(q("a.jpg")), q("a"));
    EXPECT_EQ(StripPictureExtensions(q("a.JPG.jpg")), q("a"));
    EXPECT_EQ(StripPictureExtensions(q("a.jpeg")), q("a"));
    EXPECT_EQ(StripPictureExtensions(q("a.JPEG")), q("a"));
    EXPECT_EQ(StripPictureExtensions(q("a.tif")), q("a"));
    EXPECT_EQ(StripPictureExtensions(q("a.Jpg")), q("a.Jpg"));  // case-sensitive
    EXPECT_EQ(StripPictureExtensions(q("a.png")), q("a.png"));
    EXPECT_EQ(StripPictureExtensions(q("a.tiff")), q("af"));
}

TEST(StripCameraWords, TagsAndCameraWords) {
    EXPECT_EQ(StripCameraWords(q(" [QF] Rom [HF] ")), q("Rom"));
    EXPECT_EQ(StripCameraWords(q("IMG_1234")), q("_1234"));
    EXPECT_EQ(StripCameraWords(q("xIMG_1234")), q("xIMG_1234"));  // only at the start
    EXPECT_EQ(StripCameraWords(q("LumixIMG_1")), q("_1"));        // after "Lumix" went
    EXPECT_EQ(
        StripCameraWords(q("Canon Panasonic[Doppelt][K1][K2]HandyVekHandyMobilHandyTamsira x")),
        q("  x"));
    EXPECT_EQ(StripCameraWords(q("canon")), q("canon"));
    TagTexts tags{q("<L>"), q("<P>"), q("<D>")};
    EXPECT_EQ(StripCameraWords(q("a<L>b<P>c<D>[QF]"), tags), q("abc[QF]"));
    TagTexts empty{q(""), q(""), q("")};
    EXPECT_EQ(StripCameraWords(q("ab"), empty), q("ab"));  // empty tags remove nothing
}

TEST(MakePictureText, FreeTextOnlyAndAnOptimisedAwayName) {
    CaptionOptions only;
    only.freeTextOnly = true;
    EXPECT_EQ(MakePictureText(q("IMG_1234.jpg"), only, kGerman), q("\"  \""));
    only.freeText = q("Rom");
    EXPECT_EQ(MakePictureText(q("IMG_1234.jpg"), only, kGerman), q("\"Rom  \""));
    EXPECT_EQ(MakePictureText(q("IMG_1234.jpg"), CaptionOptions(), kGerman), q("\"  \""));
}

TEST(MakePictureText, DatedNamesAndTheFreeText) {
    CaptionOptions o;
    o.freeText = q(" Ostsee");
    EXPECT_EQ(caption("2015-03-04 Urlaub am See.jpg", o), q("04.03.2015-Urlaub am See Ostsee"));
    o.freeTextLeft = true;
    o.freeText = q("Ostsee: ");
    EXPECT_EQ(caption("2015-03-04 Urlaub am See.jpg", o), q("Ostsee: 04.03.2015-Urlaub am See"));
    EXPECT_EQ(caption("WhatsApp Image 2019-07-21 at 12.01.33.jpeg"), q("WhatsApp Image-at"));
    EXPECT_EQ(caption("2015_03_04 Urlaub.jpg"), q("2015_03_04-Urlaub"));
}

TEST(MakePictureText, NamesFromCameras) {
    EXPECT_EQ(caption("IMG_20190313_101512.jpg"), q(""));
    EXPECT_EQ(caption("P1000123.JPG"), q("P"));
    EXPECT_EQ(caption("DSC_0001 (2).jpg"), q("DSC"));
    EXPECT_EQ(caption("Rom_Kolosseum_[QF]_0042.jpg"), q("Rom Kolosseum"));
    EXPECT_EQ(caption("Canon Geburtstag#Oma--12.jpg"), q("Geburtstag-Oma"));
    EXPECT_EQ(caption("-Strand-PA.jpg"), q("Strand"));
    EXPECT_EQ(caption("Fest.2019.Tanz.jpg"), q("Fest Tanz"));
}

TEST(MakePictureText, ReplacementAndTheUnoptimisedName) {
    CaptionOptions o;
    o.keepName = true;
    EXPECT_EQ(caption("Fest--2019.jpg", o), q("Fest-2019"));
    EXPECT_EQ(caption("IMG_1234.jpg", o), q("IMG_1234"));
    o.replaceFrom = q("_");
    o.replaceWith = q(" ");
    EXPECT_EQ(caption("Rom_am_Tiber.jpg", o), q("Rom am Tiber"));
    o.replaceFrom = q("Rom");
    o.replaceWith = q("Roma");
    o.keepName = false;
    EXPECT_EQ(caption("Rom Tiber 2019.jpg", o), q("Roma Tiber"));
    o.replaceFrom = q("rom");  // case-sensitive: nothing to replace
    EXPECT_EQ(caption("Rom Tiber 2019.jpg", o), q("Rom Tiber"));
    // "19" at position 7 is inside the number 2019, no year of its own: the name does not
    // begin with a date (it once came out as the date "Rom 201").
    EXPECT_EQ(caption("Rom 2019.jpg", o), q("Rom"));
    EXPECT_EQ(caption("Rom 0 2019.jpg", o), q("Rom 0 2019-Rom"));  // "20" at 7 begins a year
}

TEST(MakePictureText, ShortTextsNeverReachInFrontOfTheFirstCharacter) {
    for (const char* name : {"", ".jpg", "a", "a.jpg", "-", "--", "- -", " a", "P", "-P", "1"}) {
        const QString c = MakePictureText(q(name), CaptionOptions(), kGerman);
        EXPECT_TRUE(c.startsWith(u'"') && c.endsWith(q("  \""))) << name;
    }
    EXPECT_EQ(caption("a.jpg"), q("a"));
    EXPECT_EQ(caption("x a.jpg"), q("x"));  // a lone trailing letter goes
    EXPECT_EQ(caption("-.jpg"), q(""));
}

TEST(CaptionPreviewText, QuotesAndThe55CharacterRule) {
    EXPECT_EQ(CaptionPreviewText(q("\"Rom  \"")), q("\"Rom\""));
    EXPECT_EQ(CaptionPreviewText(q("\"  \"")), q("\"\""));
    EXPECT_EQ(CaptionPreviewText(q("\"a\"b\"  \"")), q("\"ab\""));
    const QString inner52(52, u'x');  // 54 with the quotes: unchanged
    EXPECT_EQ(CaptionPreviewText(u'"' + inner52 + u'"'), u'"' + inner52 + u'"');
    const QString inner53 = QString(52, u'x') + u'y';  // 55: ".. " after the 54th
    EXPECT_EQ(CaptionPreviewText(u'"' + inner53 + u'"'), u'"' + QString(52, u'x') + q("y.. \""));
    const QString longer = QString(60, u'z');
    const QString shown = CaptionPreviewText(u'"' + longer + u'"');
    EXPECT_EQ(shown.size(), 62 + 3);
    EXPECT_EQ(shown.mid(54, 3), q(".. "));
}
