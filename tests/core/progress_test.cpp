#include <gtest/gtest.h>

#include "core/numbers.h"
#include "core/progress.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::q;

TEST(TimeLeft, EstimatesFromTheAverageSoFar) {
    QTime now(14, 6, 40);
    TimeLeft r([&] { return now; });
    // 100 s for 10 files, 30 to go.
    EXPECT_EQ(r.CalculateRestZeit(q("14:05"), 10, 40), q("00:05:00"));
}

TEST(TimeLeft, RoundsHalvesToEven) {
    QTime now(10, 0, 7);
    TimeLeft seven([&] { return now; });
    EXPECT_EQ(seven.CalculateRestZeit(q("10:00"), 2, 3), q("00:00:04"));  // 3.5
    now = QTime(10, 0, 5);
    TimeLeft five([&] { return now; });
    EXPECT_EQ(five.CalculateRestZeit(q("10:00"), 2, 3), q("00:00:02"));  // 2.5
}

TEST(TimeLeft, RecomputesOnTheFirstAndEveryFifthCallAcrossRuns) {
    QTime now(10, 0, 10);
    TimeLeft r([&] { return now; });
    EXPECT_EQ(r.CalculateRestZeit(q("10:00"), 1, 2), q("00:00:10"));
    now = QTime(10, 0, 40);
    for (int call = 2; call <= 5; ++call)
        EXPECT_EQ(r.CalculateRestZeit(q("10:00"), 1, 2), q("00:00:10")) << call;
    EXPECT_EQ(r.CalculateRestZeit(q("10:00"), 1, 2), q("00:00:40"));
    // A new run starts with what the last one left: four repeats, then fresh.
    now = QTime(11, 0, 30);
    for (int call = 1; call <= 4; ++call)
        EXPECT_EQ(r.CalculateRestZeit(q("11:00"), 1, 3), q("00:00:40"));
    EXPECT_EQ(r.CalculateRestZeit(q("11:00"), 1, 3), q("00:01:00"));
}

TEST(TimeLeft, NoFilesDoneGivesNoNewEstimate) {
    QTime now(10, 0, 30);
    TimeLeft r([&] { return now; });
    EXPECT_EQ(r.CalculateRestZeit(q("10:00"), 0, 10), QString());
    EXPECT_EQ(r.CalculateRestZeit(q("10:00"), 1, 10), q("00:04:30"));
}

TEST(TimeLeft, LongAndNegativeSpans) {
    EXPECT_EQ(formatTimeLeft(360000), q("100:00:00"));
    EXPECT_EQ(formatTimeLeft(3 * 3600 + 7 * 60 + 9), q("03:07:09"));
    EXPECT_EQ(formatTimeLeft(-(3600 + 5 * 60 + 3)), q("-01:-05:-03"));
    // Started 23:59, now just after midnight: the estimate comes out negative.
    QTime now(0, 0, 30);
    TimeLeft r([&] { return now; });
    EXPECT_TRUE(r.CalculateRestZeit(q("23:59"), 1, 2).startsWith(u'-'));
    EXPECT_EQ(timeLeftFragment(q("00:01:00"), false), q("(Restzeit: 00:01:00)"));
    EXPECT_EQ(timeLeftFragment(q("00:01:00"), true), q("(Time left: 00:01:00)"));
}

TEST(Rounding, HalfToEvenForFractionsAndDoubles) {
    EXPECT_EQ(roundHalfEven(5, 2), 2);
    EXPECT_EQ(roundHalfEven(7, 2), 4);
    EXPECT_EQ(roundHalfEven(-7, 2), -4);
    EXPECT_EQ(roundHalfEven(-5, 2), -2);
    EXPECT_EQ(roundHalfEven(10, 3), 3);
    EXPECT_EQ(roundHalfEven(11, 3), 4);
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
}
