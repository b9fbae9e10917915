#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <csignal>
#include <thread>

#include "analysis/digestcache.h"
#include "analysis/duplicatefinder.h"
#include "analysis/duplicates.h"
#include "core/pathhelpers.h"
#include "support/fakehost.h"
#include "support/testfiles.h"

using namespace kadrano;
using namespace kadrano::test;
using namespace std::chrono_literals;

namespace {

QString md5Text(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex())
        .toUpper();
}

// A file as a search found it, with the digest of bytes (its own, or others').
SearchedFile seenFile(FileKeys& keys, const QString& path, const QByteArray& bytes) {
    const ContentStamp stamp = stampOfPath(path);
    const QString name = QFileInfo(path).fileName();
    return {keys.keyOf(path, stamp),   stamp, *digestFromText(md5Text(bytes)), true,
            path.chopped(name.size()), name};
}

class NoView : public DuplicatesView {
public:
    void setStartButtonText(const QString&) override {}
    void setCancelHintVisible(bool) override {}
};

// What a search left: its list, its script and where its digests came from.
struct Outcome {
    QByteArray list;
    QByteArray script;
    DuplicateSearchCounts counts;
    int boxes = 0;
};

// One search of dir, answering the question with No (nothing runs); cacheFile empty: none.
Outcome searchOnce(const QString& dir, bool withSubdirs, const QString& cacheFile) {
    FakeHost host;
    host.dirText = dir;
    host.withSubdirs = withSubdirs;
    host.recorder.replies = {Mb::ResultNo};
    DuplicateFinderOptions options{2, 0};
    options.useDigestCache = !cacheFile.isEmpty();
    options.digestCache.file = cacheFile;
    options.digestCache.busyTimeout = 200ms;
    DuplicateFinder finder(options);
    NoView view;
    finder.startClicked(host, view, {QStringLiteral("[Doppelt]"), false});
    finder.waitForCache();
    Outcome out;
    QFile list(AddSeparator(dir) + QLatin1String(kChecksumListName));
    QFile script(AddSeparator(dir) + QLatin1String(kDuplicatesScriptName));
    if (list.open(QIODevice::ReadOnly))
        out.list = list.readAll();
    if (script.open(QIODevice::ReadOnly))
        out.script = script.readAll();
    out.counts = finder.lastCounts();
    out.boxes = int(host.recorder.boxes.size());
    return out;
}

// A picture folder with sub-folders, copies among them, and a cache of its own.
class CachedSearch : public ::testing::Test {
protected:
    CachedSearch() : cacheFile(cacheHome.file(QStringLiteral("digests.sqlite"))) {
        pics.write(QStringLiteral("a.jpg"), "alpha");
        pics.write(QStringLiteral("b.jpg"), "beta");
        pics.write(QStringLiteral("Sub/a copy.jpg"), "alpha");
        pics.write(QStringLiteral("Sub/c.jpg"), "gamma");
        pics.write(QStringLiteral("Sub/Deep/d.jpg"), "delta");
        pics.write(QStringLiteral("Sub/Deep/z.jpg"), "gamma");
        pics.write(QStringLiteral("Other/e.jpg"), "epsilon");
    }

    Outcome search(const QString& cache) { return searchOnce(pics.path(), true, cache); }
    Outcome search() { return search(cacheFile); }
    // The search must say exactly what one without any cache says, and nothing more.
    void expectTrueAnswer(const Outcome& out) {
        const Outcome truth = search(QString());
        EXPECT_EQ(out.list, truth.list);
        EXPECT_EQ(out.script, truth.script);
        EXPECT_EQ(out.boxes, 1);  // the question only
    }
    // Leaves a record as a FAT card does after a picture was rewritten in place with its
    // date put back: every field matches the file, the digest is that of other bytes.
    void plantRecord(const QString& relative, const QByteArray& claimedBytes) {
        DigestCache cache({cacheFile});
        ASSERT_TRUE(cache.waitLoaded(5s));
        const QString path = pics.file(relative);
        ASSERT_TRUE(stampOfPath(path).valid);
        cache.save({seenFile(cache.keys(), path, claimedBytes)}, QString(), false);
    }
    QString line(const char* relative, const QByteArray& bytes) {
        return md5Text(bytes) + u';' + pics.file(QString::fromUtf8(relative));
    }

    TempFolder pics;
    TempFolder cacheHome;
    const QString cacheFile;
};

TEST_F(CachedSearch, RepeatedSearchTakesUnchangedFilesFromTheCache) {
    const Outcome first = search();
    EXPECT_EQ(first.counts.read, 7);
    EXPECT_EQ(first.counts.fromCache + first.counts.checked, 0);
    expectTrueAnswer(first);

    // Every file of every folder comes from the cache; the four that have a copy (and
    // would be marked or kept) are read again.
    const Outcome again = search();
    EXPECT_EQ(again.counts.read, 0);
    EXPECT_EQ(again.counts.checked, 4);
    EXPECT_EQ(again.counts.fromCache, 3);
    EXPECT_EQ(again.counts.stale, 0);
    EXPECT_EQ(again.list, first.list);
    EXPECT_EQ(again.script, first.script);

    // A folder renamed into another keeps its pictures' stamps: still known, and their
    // records move with them.
    ASSERT_TRUE(QDir().rename(pics.file(QStringLiteral("Other")),
                              pics.file(QStringLiteral("Sub/Deep/Moved"))));
    const Outcome moved = search();
    EXPECT_EQ(moved.counts.read, 0);
    EXPECT_TRUE(QString::fromUtf8(moved.list)
                    .contains(line("Sub/Deep/Moved/e.jpg", "epsilon") + QStringLiteral("\r\n")));
    expectTrueAnswer(moved);
    EXPECT_EQ(search().counts.read, 0);
    // A file renamed on its own gets a new change time from the system (which cannot
    // tell a rename from a rewrite): it is read again, under its new name.
    ASSERT_TRUE(QFile::rename(pics.file(QStringLiteral("b.jpg")),
                              pics.file(QStringLiteral("Sub/b renamed.jpg"))));
    const Outcome renamed = search();
    EXPECT_EQ(renamed.counts.read, 1);
    expectTrueAnswer(renamed);
    EXPECT_EQ(search().counts.read, 0);
}

TEST_F(CachedSearch, FilesChangedBehindTheCacheAreReadAgain) {
    search();
    const QString b = pics.file(QStringLiteral("b.jpg"));
    const ContentStamp before = stampOfPath(b);
    // Same size, and the modification time put back as the picture tools do.
    {
        QFile f(b);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_EQ(f.write("BETA"), 4);
    }
    const timespec times[2] = {{0, UTIME_OMIT},
                               {before.mtimeNs / 1000000000, before.mtimeNs % 1000000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(b).constData(), times, 0), 0);
    const ContentStamp after = stampOfPath(b);
    ASSERT_EQ(after.size, before.size);
    ASSERT_EQ(after.mtimeNs, before.mtimeNs);
    ASSERT_EQ(after.inode, before.inode);
    // A picture replaced by a copy of another under its own name.
    const QString d = pics.file(QStringLiteral("Sub/Deep/d.jpg"));
    ASSERT_TRUE(QFile::remove(d));
    ASSERT_TRUE(QFile::copy(pics.file(QStringLiteral("a.jpg")), d));

    const Outcome out = search();
    EXPECT_EQ(out.counts.read, 2);
    EXPECT_FALSE(QString::fromUtf8(out.list).contains(line("b.jpg", "beta")));
    EXPECT_TRUE(QString::fromUtf8(out.list).contains(line("b.jpg", "BETA")));
    // d is now a third copy of a: the two whose paths sort first are marked.
    EXPECT_TRUE(QString::fromUtf8(out.script).contains(QStringLiteral("Deep/d.jpg")));
    expectTrueAnswer(out);
}

// The cache can be wrong where the file system cannot tell a change (a FAT card keeps
// every stamp of a picture rewritten in place). It may then say a file is unique, but it
// can never have a file marked, deleted or kept: those are read again.
TEST_F(CachedSearch, WrongRecordsNeverMarkOrKeepAFile) {
    search();
    // a.jpg claims to be a copy of c.jpg, whose path sorts after a's: without reading a
    // again it would be marked. z.jpg (a true copy of c) keeps its digest.
    plantRecord(QStringLiteral("a.jpg"), "gamma");
    // e.jpg claims the same, and its path sorts after all of them: it would be kept while
    // the true copies were marked.
    plantRecord(QStringLiteral("Other/e.jpg"), "gamma");
    const Outcome out = search();
    EXPECT_EQ(out.counts.stale, 2);
    EXPECT_TRUE(QString::fromUtf8(out.list).contains(line("a.jpg", "alpha")));
    EXPECT_TRUE(QString::fromUtf8(out.list).contains(line("Other/e.jpg", "epsilon")));
    expectTrueAnswer(out);

    // A new picture that copies one the cache knows: the known one is read again before
    // the pair is written, and again a wrong record cannot pass.
    plantRecord(QStringLiteral("b.jpg"), "new");
    pics.write(QStringLiteral("Sub/new.jpg"), "new");
    const Outcome added = search();
    EXPECT_EQ(added.counts.read, 1);
    EXPECT_EQ(added.counts.stale, 1);
    EXPECT_FALSE(QString::fromUtf8(added.script).contains(QStringLiteral("b.jpg")));
    expectTrueAnswer(added);
}

// Damage of any kind: the file is not trusted at all and is made anew.
TEST_F(CachedSearch, DamagedTruncatedOrForeignCacheIsMadeAnew) {
    const auto damage = [&](const std::function<void(QFile&)>& how) {
        search();
        QFile f(cacheFile);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        how(f);
        f.close();
        const Outcome out = search();
        EXPECT_EQ(out.counts.read, 7);
        EXPECT_EQ(out.counts.fromCache + out.counts.checked, 0);
        expectTrueAnswer(out);
        EXPECT_EQ(search().counts.read, 0);  // made anew
    };
    // One byte of one digest: SQLite would hand the wrong digest out as it stands.
    damage([&](QFile& f) {
        const QByteArray bytes = f.readAll();
        const qsizetype at = bytes.indexOf(QByteArray::fromHex(md5Text("epsilon").toLatin1()));
        ASSERT_GE(at, 0);
        f.seek(at + 3);
        f.write(QByteArray(1, char(bytes.at(at + 3) ^ 0x10)));
    });
    damage([](QFile& f) { f.resize(f.size() / 2); });
    damage([](QFile& f) {
        f.seek(0);
        f.write(QByteArray(int(f.size()), 'x'));
    });
    // A database of another program, or of another version of this one.
    damage([](QFile& f) {
        const QString name = f.fileName();
        f.close();
        QFile::remove(name);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "foreign");
            db.setDatabaseName(name);
            ASSERT_TRUE(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE folders (x)"));
            QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version=7"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    });
}

TEST_F(CachedSearch, CacheFolderThatCannotBeMadeLeavesTheSearchWithout) {
    cacheHome.write(QStringLiteral("plain file"), "not a folder");
    const QString cache = cacheHome.file(QStringLiteral("plain file/digests.sqlite"));
    const Outcome out = search(cache);
    expectTrueAnswer(out);
    EXPECT_EQ(search(cache).counts.read, 7);
    EXPECT_EQ(cacheHome.read(QStringLiteral("plain file")), QByteArray("not a folder"));
}

// Write protection stops root only through the immutable flag.
class WriteProtection {
public:
    explicit WriteProtection(const QString& path) : path_(QFile::encodeName(path)) {
        ::chmod(path_.constData(), 0444);
        if (::geteuid() == 0) {
            const int fd = ::open(path_.constData(), O_RDONLY);
            int flags = 0;
            immutable_ = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                         (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
            if (fd >= 0)
                ::close(fd);
        }
        const int probe = ::open(path_.constData(), O_WRONLY);
        works_ = probe < 0;
        if (probe >= 0)
            ::close(probe);
    }
    ~WriteProtection() {
        if (immutable_) {
            const int fd = ::open(path_.constData(), O_RDONLY);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0)
                ::close(fd);
        }
        ::chmod(path_.constData(), 0644);
    }
    bool works() const { return works_; }

private:
    QByteArray path_;
    bool immutable_ = false;
    bool works_ = false;
};

// A cache that cannot be written still gives what it holds.
TEST_F(CachedSearch, ReadOnlyCacheIsReadButNotWritten) {
    search();
    pics.write(QStringLiteral("Sub/f.jpg"), "phi");
    const QByteArray before = cacheHome.read(QStringLiteral("digests.sqlite"));
    WriteProtection protect(cacheFile);
    if (!protect.works())
        GTEST_SKIP() << "this file system cannot protect a file from this user";
    const Outcome out = search();
    EXPECT_EQ(out.counts.read, 1);
    EXPECT_EQ(out.counts.fromCache + out.counts.checked, 7);
    expectTrueAnswer(out);
    EXPECT_EQ(search().counts.read, 1);
    EXPECT_EQ(cacheHome.read(QStringLiteral("digests.sqlite")), before);
}

// Another program holds the cache locked: the search waits a moment, then goes without.
TEST_F(CachedSearch, LockedCacheLeavesTheSearchWithout) {
    search();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
        db.setDatabaseName(cacheFile);
        ASSERT_TRUE(db.open());
        QSqlQuery lock(db);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        const Outcome out = search();
        EXPECT_EQ(out.counts.read, 7);
        expectTrueAnswer(out);
        lock.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    EXPECT_EQ(search().counts.read, 0);
}

// The disk is full: the cache cannot grow, the search's answer is the same, and what the
// cache held before is still there.
TEST_F(CachedSearch, CacheOnAFullDisk) {
    // Another folder's many long names make the cache larger than this folder's list.
    TempFolder big;
    for (int i = 0; i < 300; ++i)
        big.write(QStringLiteral("%1 %2.jpg").arg(i).arg(QString(120, u'x')),
                  QByteArray::number(i));
    EXPECT_EQ(searchOnce(big.path(), false, cacheFile).counts.read, 300);
    // Records that need new pages, in a list that the limit below leaves room for.
    for (int i = 0; i < 60; ++i)
        pics.write(QStringLiteral("More/%1 %2.jpg").arg(i).arg(QString(120, u'y')),
                   QByteArray::number(i + 1000));
    {
        struct rlimit old;
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        // Files may grow to the size the cache has now, and no further.
        struct rlimit full = old;
        full.rlim_cur = rlim_t(QFileInfo(cacheFile).size());
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
        const Outcome out = searchOnce(pics.path(), true, cacheFile);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(out.counts.read, 67);
        expectTrueAnswer(out);
    }
    EXPECT_EQ(search().counts.read, 67);  // the full disk kept them out
    EXPECT_EQ(search().counts.read, 0);
    EXPECT_EQ(searchOnce(big.path(), false, cacheFile).counts.read, 0);
}

// Two windows search at once, one the whole folder, the other a part of it: each gets its
// own true answer, however their reading and writing of the cache interleave.
TEST_F(CachedSearch, TwoSearchesAtOnce) {
    const QString sub = pics.file(QStringLiteral("Sub"));
    const Outcome wholeTruth = searchOnce(pics.path(), true, QString());
    const Outcome subTruth = searchOnce(sub, false, QString());
    for (int round = 0; round < 4; ++round) {
        if (round == 2)
            pics.write(QStringLiteral("Sub/a again.jpg"), "alpha");
        const Outcome truthWhole =
            round < 2 ? wholeTruth : searchOnce(pics.path(), true, QString());
        const Outcome truthSub = round < 2 ? subTruth : searchOnce(sub, false, QString());
        Outcome whole, part;
        std::thread other([&] { part = searchOnce(sub, false, cacheFile); });
        whole = searchOnce(pics.path(), true, cacheFile);
        other.join();
        EXPECT_EQ(whole.list, truthWhole.list) << "round " << round;
        EXPECT_EQ(whole.script, truthWhole.script) << "round " << round;
        EXPECT_EQ(part.list, truthSub.list) << "round " << round;
        EXPECT_EQ(part.script, truthSub.script) << "round " << round;
    }
}

// ------------------------------------------------------------------ the cache on its own

class DigestCacheTest : public ::testing::Test {
protected:
    DigestCacheOptions options() const { return {cacheHome.file(QStringLiteral("c.sqlite"))}; }
    SearchedFile seen(const QString& path, const QByteArray& bytes, FileKeys& keys) {
        return seenFile(keys, path, bytes);
    }

    TempFolder pics;
    TempFolder cacheHome;
};

TEST_F(DigestCacheTest, ARecordCountsOnlyWhenEveryStampMatches) {
    const QString path = pics.write(QStringLiteral("p.jpg"), "picture");
    {
        DigestCache cache(options());
        ASSERT_TRUE(cache.waitLoaded(5s));
        cache.save({seen(path, "picture", cache.keys())}, QString(), false);
    }
    DigestCache cache(options());
    ASSERT_TRUE(cache.waitLoaded(5s));
    const ContentStamp stamp = stampOfPath(path);
    const FileKey key = cache.keys().keyOf(path, stamp);
    ASSERT_EQ(cache.find(key, stamp), digestFromText(md5Text("picture")));
    for (qint64 ContentStamp::*field :
         {&ContentStamp::size, &ContentStamp::mtimeNs, &ContentStamp::ctimeNs}) {
        ContentStamp changed = stamp;
        changed.*field += 1;
        EXPECT_FALSE(cache.find(key, changed));
    }
    EXPECT_FALSE(cache.find({key.volume, key.fileId + 1}, stamp));
    EXPECT_FALSE(cache.find({QStringLiteral("uuid:elsewhere"), key.fileId}, stamp));
}

// Records of files that are gone go, but only where their volume is there to say so; a
// card not plugged in keeps its digests for 90 days, and the cache keeps its limit.
TEST_F(DigestCacheTest, RecordsOfGoneFilesAgeAndLimit) {
    const QString dir = pics.path();
    const QString kept = pics.write(QStringLiteral("Sub/kept.jpg"), "kept");
    const QString gone = pics.write(QStringLiteral("Sub/gone.jpg"), "gone");
    const QString goneFolder = pics.write(QStringLiteral("Old/x.jpg"), "x");
    const QString excluded = pics.write(QStringLiteral("Sub/photo.png"), "png");
    DigestCacheOptions o = options();
    o.today = 20000;
    {
        DigestCache cache(o);
        ASSERT_TRUE(cache.waitLoaded(5s));
        FileKeys& keys = cache.keys();
        SearchedFile card = seen(kept, "kept", keys);
        card.key.volume = QStringLiteral("uuid:card-not-plugged-in");
        card.name = QStringLiteral("card.jpg");
        SearchedFile cardFolder = card;
        cardFolder.key.fileId += 1;
        cardFolder.folder = pics.file(QStringLiteral("Card/DCIM/"));
        cardFolder.name = QStringLiteral("y.jpg");
        cache.save({seen(kept, "kept", keys), seen(gone, "gone", keys), seen(goneFolder, "x", keys),
                    seen(excluded, "png", keys), card, cardFolder},
                   QString(), false);
    }
    ASSERT_TRUE(QFile::remove(gone));
    ASSERT_TRUE(QFile::remove(goneFolder));
    ASSERT_TRUE(QDir(pics.file(QStringLiteral("Old"))).removeRecursively());
    {
        DigestCache cache(o);
        ASSERT_TRUE(cache.waitLoaded(5s));
        EXPECT_EQ(cache.recordCount(), 6);
        // A search of the folder and its sub-folders that met only kept.jpg.
        SearchedFile found = seen(kept, "kept", cache.keys());
        found.fromBytes = false;
        cache.save({found}, dir, true);
    }
    auto holds = [&](const QString& path, const QByteArray& bytes, const QString& volume) {
        DigestCache cache(o);
        EXPECT_TRUE(cache.waitLoaded(5s));
        const ContentStamp stamp = stampOfPath(path);
        FileKey key = cache.keys().keyOf(path, stamp);
        if (!volume.isEmpty())
            key.volume = volume;
        return cache.find(key, stamp) == digestFromText(md5Text(bytes));
    };
    {
        DigestCache cache(o);
        ASSERT_TRUE(cache.waitLoaded(5s));
        EXPECT_EQ(cache.recordCount(), 4);  // gone.jpg and Old/x.jpg went
    }
    EXPECT_TRUE(holds(kept, "kept", QString()));
    EXPECT_TRUE(holds(excluded, "png", QString()));  // left out by the pattern, not gone
    EXPECT_TRUE(holds(kept, "kept", QStringLiteral("uuid:card-not-plugged-in")));

    // 90 days later the card's folders go, as soon as anything is written.
    o.today += 91;
    {
        DigestCache cache(o);
        ASSERT_TRUE(cache.waitLoaded(5s));
        cache.save({seen(kept, "kept2", cache.keys())}, QString(), false);
    }
    {
        DigestCache cache(o);
        ASSERT_TRUE(cache.waitLoaded(5s));
        EXPECT_EQ(cache.recordCount(), 2);  // the folder written today holds two
    }
    EXPECT_FALSE(holds(kept, "kept", QStringLiteral("uuid:card-not-plugged-in")));

    // Above its limit the folders searched longest ago go first.
    o.limitBytes = 150;
    const QString fresh = pics.write(QStringLiteral("New/n.jpg"), "n");
    o.today += 1;
    {
        DigestCache cache(o);
        ASSERT_TRUE(cache.waitLoaded(5s));
        cache.save({seen(fresh, "n", cache.keys())}, QString(), false);
    }
    EXPECT_FALSE(holds(kept, "kept2", QString()));
    EXPECT_TRUE(holds(fresh, "n", QString()));
}

// A folder searched now and then keeps its records, though nothing in it changes.
TEST_F(DigestCacheTest, SearchingAFolderKeepsItsRecords) {
    const QString a = pics.write(QStringLiteral("A/a.jpg"), "a");
    const QString b = pics.write(QStringLiteral("B/b.jpg"), "b");
    DigestCacheOptions o = options();
    auto saveOn = [&](qint64 day, const QString& path, const QByteArray& bytes, bool fromBytes) {
        o.today = day;
        DigestCache cache(o);
        ASSERT_TRUE(cache.waitLoaded(5s));
        SearchedFile f = seen(path, bytes, cache.keys());
        f.fromBytes = fromBytes;
        cache.save({f}, QString(), false);
    };
    saveOn(20000, a, "a", true);
    saveOn(20060, a, "a", false);  // found unchanged
    saveOn(20100, b, "b", true);   // a write; folders not seen since day 20010 go
    DigestCache cache(o);
    ASSERT_TRUE(cache.waitLoaded(5s));
    EXPECT_EQ(cache.recordCount(), 2);
}

}  // namespace
