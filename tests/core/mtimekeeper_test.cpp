#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>

#include "core/mtimekeeper.h"
#include "support/testfiles.h"

using namespace kadrano;
using kadrano::test::TempFolder;

namespace {

struct timespec modified(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mtim;
}

void setModified(const QString& path, time_t seconds, long nanoseconds) {
    struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

bool sameTime(const struct timespec& a, time_t seconds, long nanoseconds) {
    return a.tv_sec == seconds && a.tv_nsec == nanoseconds;
}

}  // namespace

// Files rewritten in place and files converted into new ones get the picture's time back,
// to the nanosecond; untouched and vanished files are left alone.
TEST(MtimeKeeper, GivesRewrittenAndConvertedFilesTheirTimeBack) {
    TempFolder f;
    const QString rewritten = f.write(QStringLiteral("a b.jpg"), "old");
    const QString untouched = f.write(QStringLiteral("c.jpg"), "old");
    const QString source = f.write(QStringLiteral("d.png"), "png");
    const QString target = f.file(QStringLiteral("d.jpg"));
    const QString vanishing = f.write(QStringLiteral("e.jpg"), "old");
    setModified(rewritten, 1262347200, 123456789);
    setModified(untouched, 1262347201, 5);
    setModified(source, 1262347202, 42);
    setModified(vanishing, 1262347203, 0);

    MtimeKeeper keeper;
    keeper.keep(rewritten);
    keeper.keep(untouched);
    keeper.keep(source, target);
    keeper.keep(vanishing);
    keeper.keep(f.file(QStringLiteral("missing.jpg")));
    EXPECT_EQ(keeper.size(), 4);

    // What the script does: rewrite one, convert one (and delete the old file), delete one.
    f.write(QStringLiteral("a b.jpg"), "new bytes");
    f.write(QStringLiteral("d.jpg"), "jpeg");
    QFile::remove(source);
    QFile::remove(vanishing);
    EXPECT_FALSE(sameTime(modified(rewritten), 1262347200, 123456789));

    EXPECT_EQ(keeper.restore(), 2);
    EXPECT_TRUE(sameTime(modified(rewritten), 1262347200, 123456789));
    EXPECT_TRUE(sameTime(modified(target), 1262347202, 42));
    EXPECT_TRUE(sameTime(modified(untouched), 1262347201, 5));
    EXPECT_EQ(f.read(QStringLiteral("a b.jpg")), QByteArray("new bytes"));
    EXPECT_EQ(keeper.restore(), 0);  // nothing changed since
}

// Which targets a run wrote: a picture replaced by a new file under its name (even with the
// old date, as the interpreter leaves it), one rewritten in place, a new file; the others
// are reported as they were, by their sources.
TEST(MtimeKeeper, TellsWhichTargetsTheRunWrote) {
    TempFolder f;
    const QString replaced = f.write(QStringLiteral("a.jpg"), "old");
    const QString inPlace = f.write(QStringLiteral("b.jpg"), "old");
    const QString untouched = f.write(QStringLiteral("c.jpg"), "old");
    const QString source = f.write(QStringLiteral("d.png"), "png");
    const QString failed = f.write(QStringLiteral("e.png"), "png");
    for (const QString& p : {replaced, inPlace, untouched})
        setModified(p, 1262347200, 0);
    MtimeKeeper keeper;
    keeper.keep(replaced);
    keeper.keep(inPlace);
    keeper.keep(untouched);
    keeper.keep(source, f.file(QStringLiteral("d.jpg")));
    keeper.keep(failed, f.file(QStringLiteral("e.jpg")));
    keeper.keep(f.file(QStringLiteral("missing.jpg")));

    const QString fresh = f.write(QStringLiteral(".new"), "new");
    setModified(fresh, 1262347200, 0);
    ASSERT_TRUE(::rename(QFile::encodeName(fresh).constData(),
                         QFile::encodeName(replaced).constData()) == 0);
    f.write(QStringLiteral("b.jpg"), "new!");
    setModified(inPlace, 1262347200, 0);  // same date, other size
    f.write(QStringLiteral("d.jpg"), "jpeg");

    keeper.restore();
    EXPECT_EQ(keeper.writtenSources(), QStringList({replaced, inPlace, source}));
    EXPECT_EQ(keeper.unchangedSources(),
              QStringList({untouched, failed, f.file(QStringLiteral("missing.jpg"))}));
}
