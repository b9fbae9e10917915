#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTimeZone>

#include "berlintime.h"
#include "dates/filedate.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::TempFolder;

namespace {

struct RealTimes {
    qint64 accessed = 0, modified = 0;
    long accessedNs = 0, modifiedNs = 0;
    bool operator==(const RealTimes&) const = default;
};

RealTimes realTimes(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return {st.st_atim.tv_sec, st.st_mtim.tv_sec, st.st_atim.tv_nsec, st.st_mtim.tv_nsec};
}

qint64 utcSeconds(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc()).toSecsSinceEpoch();
}

QDateTime local(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

class FileDate : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kadrano::test::pinBerlinTime(); }
    TempFolder folder;
};

}  // namespace

// A winter and a summer date go to disk with the offset of their own day (+1 and +2 in
// Berlin, whatever today's offset is) and come back as the same clock time.
TEST_F(FileDate, RoundTripKeepsTheClockTimeOnBothSidesOfDaylightSaving) {
    struct Case {
        QDateTime when;
        qint64 utc;
    };
    const Case cases[] = {
        {local(2019, 12, 24, 18, 30, 15), utcSeconds(2019, 12, 24, 17, 30, 15)},
        {local(2019, 7, 21, 9, 5, 30), utcSeconds(2019, 7, 21, 7, 5, 30)},
        {local(1999, 3, 28, 1, 59, 59),
         utcSeconds(1999, 3, 28, 0, 59, 59)},  // just before the change
    };
    for (const Case& c : cases) {
        const QString path = folder.write(QStringLiteral("Bild 1.jpg"));
        ASSERT_TRUE(WriteFileTimes(path, c.when, c.when, c.when));
        const RealTimes real = realTimes(path);
        EXPECT_EQ(real.modified, c.utc) << c.when.toString().toStdString();
        EXPECT_EQ(real.accessed, c.utc);
        EXPECT_EQ(real.modifiedNs, 0);

        FileTimes t;
        ASSERT_TRUE(ReadFileTimes(path, t));
        EXPECT_EQ(t.created, c.when);
        EXPECT_EQ(t.accessed, c.when);
        EXPECT_EQ(t.written, c.when);
        EXPECT_EQ(t.written.time().toString(QStringLiteral("HH:mm:ss")),
                  c.when.time().toString(QStringLiteral("HH:mm:ss")));
    }
}

// The quick conversion the tools use agrees with the zone rules of each date, and a clock
// time in the skipped spring hour moves forward by that hour.
TEST_F(FileDate, LocalDateTimeUsesTheOffsetOfItsOwnDate) {
    const QDateTime winter = localDateTime(QDate(2019, 12, 24), QTime(18, 30, 15, 700));
    EXPECT_EQ(winter.toSecsSinceEpoch(), utcSeconds(2019, 12, 24, 17, 30, 15));
    EXPECT_EQ(winter.time(), QTime(18, 30, 15));
    const QDateTime summer = localDateTime(QDate(2019, 7, 21), QTime(0, 30, 0));
    EXPECT_EQ(summer.toSecsSinceEpoch(), utcSeconds(2019, 7, 20, 22, 30, 0));
    EXPECT_EQ(summer.date(), QDate(2019, 7, 21));
    const QDateTime skipped = localDateTime(QDate(2019, 3, 31), QTime(2, 30, 0));
    EXPECT_EQ(skipped.toSecsSinceEpoch(), utcSeconds(2019, 3, 31, 1, 30, 0));
    EXPECT_EQ(skipped.time(), QTime(3, 30, 0));
    const QDateTime repeated = localDateTime(QDate(2019, 10, 27), QTime(2, 30, 0));
    EXPECT_EQ(repeated.time(), QTime(2, 30, 0));
    EXPECT_FALSE(localDateTime(QDate(), QTime(12, 0)).isValid());
}

// Milliseconds are dropped on the way in (not rounded), and stamps that differ come back
// in the order creation, access, write.
TEST_F(FileDate, WholeSecondsAndStampOrder) {
    const QString path = folder.write(QStringLiteral("a.jpg"));
    ASSERT_TRUE(WriteFileTimes(path, local(2015, 3, 4, 8, 0, 0), local(2016, 5, 6, 10, 11, 12, 999),
                               local(2015, 3, 4, 9, 0, 0, 500)));
    FileTimes t;
    ASSERT_TRUE(ReadFileTimes(path, t));
    EXPECT_EQ(t.accessed, local(2016, 5, 6, 10, 11, 12));
    EXPECT_EQ(t.written, local(2015, 3, 4, 9, 0, 0));
    // The file was born today, after the write time that was just set: creation reads
    // as the last write, so the set date is the file's earliest stamp.
    EXPECT_EQ(t.created, t.written);
    EXPECT_EQ(t.earliest(), local(2015, 3, 4, 9, 0, 0));

    // A stamp on disk with a fraction reads as its whole second.
    struct timespec stamps[2] = {{utcSeconds(2020, 1, 2, 3, 4, 5), 999999999},
                                 {utcSeconds(2020, 1, 2, 3, 4, 6), 1}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), stamps, 0), 0);
    ASSERT_TRUE(ReadFileTimes(path, t));
    EXPECT_EQ(t.accessed, local(2020, 1, 2, 4, 4, 5));
    EXPECT_EQ(t.written, local(2020, 1, 2, 4, 4, 6));
}

// A file's birth time is reported while it is earlier than the last write.
TEST_F(FileDate, BirthTimeIsCreationWhenEarlierThanTheLastWrite) {
    const QString path = folder.write(QStringLiteral("neu.jpg"));
    struct statx sx {};
    ASSERT_EQ(statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BTIME, &sx), 0);
    if (!(sx.stx_mask & STATX_BTIME))
        GTEST_SKIP() << "this file system keeps no birth time";
    const QDateTime later = QDateTime::currentDateTime().addYears(1);
    ASSERT_TRUE(WriteFileTimes(path, later, later, later));
    FileTimes t;
    ASSERT_TRUE(ReadFileTimes(path, t));
    EXPECT_EQ(t.created.toSecsSinceEpoch(), qint64(sx.stx_btime.tv_sec));
    EXPECT_LT(t.created, t.written);
    EXPECT_EQ(t.earliest(), t.created);
}

// Files that cannot be written fail and keep every stamp: a read-only file (the tests
// may run as root, who could write it), a missing file, a folder, an invalid date.
TEST_F(FileDate, FilesThatCannotBeWrittenFailAndStayUnchanged) {
    const QDateTime when = local(2019, 11, 11, 12, 0, 0);
    const QString readOnly = folder.write(QStringLiteral("schreibgeschützt.jpg"));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup));
    const QString dir = folder.file(QStringLiteral("Ordner"));
    folder.mkdir(QStringLiteral("Ordner"));
    const QString plain = folder.write(QStringLiteral("b.jpg"));

    for (const QString& path : {readOnly, dir}) {
        const RealTimes before = realTimes(path);
        EXPECT_FALSE(WriteFileTimes(path, when, when, when)) << path.toStdString();
        EXPECT_EQ(realTimes(path), before) << path.toStdString();
    }
    const RealTimes before = realTimes(plain);
    EXPECT_FALSE(WriteFileTimes(plain, when, QDateTime(), when));
    EXPECT_EQ(realTimes(plain), before);

    const QString missing = folder.file(QStringLiteral("fehlt.jpg"));
    EXPECT_FALSE(WriteFileTimes(missing, when, when, when));
    EXPECT_FALSE(QFile::exists(missing));  // never created on the way

    // Reading: a read-only file is fine; a missing file or a folder fail and leave the
    // caller's values alone.
    FileTimes t;
    EXPECT_TRUE(ReadFileTimes(readOnly, t));
    const FileTimes sentinel{when, when, when};
    t = sentinel;
    EXPECT_FALSE(ReadFileTimes(missing, t));
    EXPECT_FALSE(ReadFileTimes(dir, t));
    EXPECT_EQ(t.created, when);
    EXPECT_EQ(t.accessed, when);
    EXPECT_EQ(t.written, when);
}

// The batch keeps a folder open between files; it must give the same answers as the free
// functions when the folder changes, vanishes, or a name is no plain file.
TEST_F(FileDate, BatchAgreesWithTheSingleCallsAcrossFolders) {
    const QDateTime when = local(2019, 7, 21, 12, 0, 0);
    folder.mkdir(QStringLiteral("eins"));
    folder.mkdir(QStringLiteral("zwei"));
    folder.write(QStringLiteral("eins/a.jpg"));
    folder.write(QStringLiteral("zwei/a.jpg"));
    const QString readOnly = folder.write(QStringLiteral("zwei/b.jpg"));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner));
    folder.mkdir(QStringLiteral("zwei/c.jpg"));
    const QString one = folder.file(QStringLiteral("eins/"));
    const QString two = folder.file(QStringLiteral("zwei/"));

    FileTimesBatch batch;
    EXPECT_TRUE(batch.write(one, QStringLiteral("a.jpg"), when, when, when));
    EXPECT_TRUE(batch.write(two, QStringLiteral("a.jpg"), when, when, when));
    EXPECT_FALSE(batch.write(two, QStringLiteral("b.jpg"), when, when, when));
    EXPECT_FALSE(batch.write(two, QStringLiteral("c.jpg"), when, when, when));
    EXPECT_FALSE(batch.write(two, QStringLiteral("fehlt.jpg"), when, when, when));
    EXPECT_FALSE(batch.write(folder.file(QStringLiteral("gibtsnicht/")), QStringLiteral("a.jpg"),
                             when, when, when));
    for (const QString& dir : {one, two}) {
        FileTimes t;
        ASSERT_TRUE(batch.read(dir, QStringLiteral("a.jpg"), t));
        EXPECT_EQ(t.written, when);
        EXPECT_EQ(realTimes(dir + QStringLiteral("a.jpg")).modified,
                  utcSeconds(2019, 7, 21, 10, 0, 0));
    }
    FileTimes t;
    EXPECT_TRUE(batch.read(two, QStringLiteral("b.jpg"), t));
    EXPECT_NE(t.written, when);
    EXPECT_FALSE(batch.read(two, QStringLiteral("c.jpg"), t));
    // The earliest stamp alone is the same moment, also with an access time before the
    // last write, and nothing for what is no file.
    const QString early = folder.write(QStringLiteral("zwei/d.jpg"));
    const struct timespec stamps[2] = {{1000000000, 0}, {1200000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(early).constData(), stamps, 0), 0);
    qint64 seconds = 0;
    ASSERT_TRUE(batch.readEarliest(two, QStringLiteral("d.jpg"), seconds));
    ASSERT_TRUE(batch.read(two, QStringLiteral("d.jpg"), t));
    EXPECT_EQ(seconds, 1000000000);
    EXPECT_EQ(localFromSeconds(seconds), t.earliest());
    EXPECT_FALSE(batch.readEarliest(two, QStringLiteral("c.jpg"), seconds));
    EXPECT_FALSE(batch.readEarliest(two, QStringLiteral("fehlt.jpg"), seconds));
    // A folder renamed away between two files is not found under its old name.
    ASSERT_TRUE(QDir().rename(one, folder.file(QStringLiteral("drei"))));
    EXPECT_FALSE(batch.read(one, QStringLiteral("a.jpg"), t));
    EXPECT_TRUE(batch.read(folder.file(QStringLiteral("drei/")), QStringLiteral("a.jpg"), t));
}
