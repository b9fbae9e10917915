#include <gtest/gtest.h>

#include "berlintime.h"
#include "dates/dateshuffle.h"
#include "dates/filedate.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::berlinSeconds;
using kadrano::test::DiskTimes;
using kadrano::test::FakeHost;
using kadrano::test::q;
using kadrano::test::readDiskTimes;
using kadrano::test::setDiskTimes;
using kadrano::test::TempFolder;

namespace {

class DateShuffle : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kadrano::test::pinBerlinTime(); }
    void SetUp() override { host.dirText = folder.path(); }

    TempFolder folder;
    FakeHost host;
    TimeLeft rest;
    const qint64 old = berlinSeconds(2001, 2, 3, 4, 5, 6);

    QString file(const QString& name) {
        const QString path = folder.write(name);
        EXPECT_TRUE(setDiskTimes(path, old, old));
        return path;
    }
};

}  // namespace

// Every file gets the date with a random time as all three stamps; the times are the
// generator's hour, minute, second draws in file order, so a fresh start repeats them.
TEST_F(DateShuffle, OneDateRandomTimesAllStampsEqualAndRepeatable) {
    const QStringList names = {q("a.jpg"), q("b b.jpg"), q("c.jpg"), q("d.jpg")};
    for (const QString& n : names)
        file(n);
    const QString readOnly = file(q("b0 geschützt.jpg"));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner));

    RandomSource firstStart;
    runDateShuffle(host, {q("11.11.2019")}, rest, firstStart);
    EXPECT_EQ(host.recorder.boxes.back().text,
              q("Vorgang abgeschlossen\rDas Datum wurde bei 4/5 Dateien gesetzt!"));
    EXPECT_EQ(host.recorder.boxes.back().title, q("Beendet"));
    EXPECT_EQ(readDiskTimes(readOnly), (DiskTimes{old, old}));

    // The collection order: a.jpg, b b.jpg, b0 geschützt.jpg, c.jpg, d.jpg. The read-only
    // file is readable, so it takes its draws like the others.
    const QStringList order = {q("a.jpg"), q("b b.jpg"), q("b0 geschützt.jpg"), q("c.jpg"),
                               q("d.jpg")};
    RandomSource expected;
    QList<qint64> firstTimes;
    for (const QString& n : order) {
        const int h = expected.RandomInt(0, 23);
        const int mi = expected.RandomInt(0, 59);
        const int s = expected.RandomInt(0, 59);
        if (n == q("b0 geschützt.jpg"))
            continue;
        const qint64 want = berlinSeconds(2019, 11, 11, h, mi, s);
        EXPECT_EQ(readDiskTimes(folder.file(n)), (DiskTimes{want, want})) << n.toStdString();
        FileTimes t;
        ASSERT_TRUE(ReadFileTimes(folder.file(n), t));
        EXPECT_EQ(t.created, t.written);
        EXPECT_EQ(t.accessed, t.written);
        EXPECT_EQ(t.written.date(), QDate(2019, 11, 11));
        firstTimes.append(want);
    }
    EXPECT_GT(QSet<qint64>(firstTimes.begin(), firstTimes.end()).size(), 2);

    // A second program start over the same folder gives the same times.
    for (const QString& n : names)
        setDiskTimes(folder.file(n), old, old);
    RandomSource secondStart;
    runDateShuffle(host, {q("11.11.2019")}, rest, secondStart);
    QList<qint64> secondTimes;
    for (const QString& n : names)
        secondTimes.append(readDiskTimes(folder.file(n)).modified);
    EXPECT_EQ(secondTimes, firstTimes);
    EXPECT_EQ(host.settingsSaved, 0);
    EXPECT_TRUE(host.recorder.statuses.last().endsWith(q(")   Setze Datum: 4/5")));
}

TEST_F(DateShuffle, AnUnreadableDateWritesNothing) {
    const QString a = file(q("a.jpg"));
    RandomSource random, untouched;
    runDateShuffle(host, {q("2019_11_11")}, rest, random);
    EXPECT_EQ(readDiskTimes(a), (DiskTimes{old, old}));
    ASSERT_EQ(host.recorder.boxes.size(), 1u);
    EXPECT_EQ(host.recorder.boxes[0].title, q("Ungültiges Datum"));
    EXPECT_EQ(random.RandomInt(0, 1000000), untouched.RandomInt(0, 1000000));
}
