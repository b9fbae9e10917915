// The whole duplicate search (collect, digest, list, sort, pair, script) on a picture tree,
// driven headless through the same entry point the window's Start button uses, and in
// the same run the programs it is measured against: a plain read loop over the same files
// in one and in two processes (the read limit; cat maps a new buffer per file and is far
// slower), md5sum of them, jdupes, fdupes and rmlint on the tree. Each program runs as a
// child process, so wall time and peak memory are measured the same way for all; the
// rounds alternate between them and the median counts. The script the search writes is
// then checked against the corpus manifest.
//
// With --repeat it measures the digest cache instead: the first search (an empty cache) and
// a repeated one, each with the pictures in the page cache and with them dropped from it (as
// after a restart), the search without a cache, and jdupes and the read loop under the
// same two conditions; the outputs of every search must be the same byte for byte.
//
//   bench_duplicates --tree DIR --manifest FILE [--work DIR] [--rounds N] [--threads N]
//                    [--repeat [--baseline BIN]]   (BIN: a bench_duplicates of an earlier
//                                                   version, whose --scan is run as well)
//   bench_duplicates --scan DIR [--threads N] [--scalar] [--cache FILE | --no-cache]
//                                                   (one search; used by the above)
//   bench_duplicates --read LIST PART COUNT         (read every COUNT-th file of the
//                                                    NUL-separated LIST from PART on)
//   bench_duplicates --drop LIST [FILE...]          (drop the files of the NUL-separated
//                                                    LIST, and the FILEs, from the page cache)

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <QTime>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/benchdata.h"
#include "support/benchtools.h"
#include "support/fakehost.h"
#include "support/processtimer.h"

#include "analysis/duplicatefinder.h"
#include "analysis/duplicates.h"
#include "core/filecollector.h"
#include "core/pathhelpers.h"
#include "md5/md5.h"

using namespace kadrano;
using kadrano::bench::ProgramOutput;
using kadrano::bench::ProgramRun;
using kadrano::bench::QuietObserver;
using kadrano::bench::runProgram;

namespace {

// ---------------------------------------------------------------- the headless search

class HeadlessPerson : public Person {
public:
    QElapsedTimer clock;
    double digestsDone = 0;  // seconds until the list was complete
    double questionAsked = 0;
    int events = 0;
    QString lastBox;
    int messageBox(const QString& text, int, const QString&) override {
        questionAsked = seconds();
        lastBox = text;
        return Mb::ResultNo;  // the question: open in the editor, run nothing
    }
    void openInEditor(const QString&) override {}
    void openDocument(const QString&) override {}
    void openFolder(const QString&) override {}
    void setStatus(const QString& text) override {
        if (text == QLatin1String("Sortiere Liste..."))
            digestsDone = seconds();
    }
    void processEvents() override {
        ++events;
        QCoreApplication::processEvents();
    }
    double seconds() const { return double(clock.nsecsElapsed()) / 1e9; }
};

class NoRunner : public ScriptRunner {
public:
    int runAndWait(const QString&, const QStringList&) override { return -1; }
};

// The window stand-in with a person that times the search and a runner that runs nothing.
class BenchHost : public test::FakeHost {
public:
    explicit BenchHost(const QString& dir) : FakeHost(&runner_, &person_) {
        dirText = dir;
        withSubdirs = true;
        recorder.onProcessEvents = [] { QCoreApplication::processEvents(); };
    }
    HeadlessPerson person_;
    NoRunner runner_;
    double collectSeconds = 0;

    void collectFiles() override {
        QElapsedTimer t;
        t.start();
        FakeHost::collectFiles();
        collectSeconds = double(t.nsecsElapsed()) / 1e9;
    }
    QString currentTimeHHMM() const override {
        return QTime::currentTime().toString(QStringLiteral("HH:mm"));
    }
};

class BenchView : public DuplicatesView {
public:
    QString button = QStringLiteral("Start");
    void setStartButtonText(const QString& t) override { button = t; }
    void setCancelHintVisible(bool) override {}
};

// cacheFile: the digest cache to use; empty: none.
int scanOnly(const QString& dir, int threads, bool scalar, const QString& cacheFile) {
    BenchHost host(AddSeparator(QDir(dir).absolutePath()));
    host.person_.clock.start();
    BenchView view;
    DuplicateFinderOptions options;
    if (threads > 0)
        options.digestThreads = threads;
    if (scalar)
        options.md5Kind = Md5Kind::Scalar;
    options.useDigestCache = !cacheFile.isEmpty();
    options.digestCache.file = cacheFile;
    DuplicateFinder finder(options);
    finder.startClicked(host, view, {QStringLiteral("[Doppelt]"), false});
    const double asked = host.person_.seconds();
    finder.waitForCache();
    const double cached = host.person_.seconds();
    const HeadlessPerson& p = host.person_;
    const DuplicateSearchCounts& c = finder.lastCounts();
    std::printf("files %d, event rounds %d\n", host.files.count(), p.events);
    std::printf(
        "collected after %.3f s, digests done after %.3f s, question after %.3f s, "
        "cache written after %.3f s\n",
        host.collectSeconds, p.digestsDone, asked, cached);
    std::printf("digests: %d read, %d from the cache, %d of them read again (%d wrong)\n", c.read,
                c.fromCache + c.checked, c.checked, c.stale);
    std::printf("question: %s\n", qPrintable(p.lastBox.section(u'\r', 0, 0)));
    return 0;
}

// Drops the files from the page cache, as a restart would: the next read comes from the disk.
int dropFromPageCache(const QString& listPath, const QStringList& more) {
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly))
        return 1;
    QList<QByteArray> paths = list.readAll().split('\0');
    for (const QString& m : more)
        paths.append(QFile::encodeName(m));
    for (const QByteArray& p : std::as_const(paths)) {
        if (p.isEmpty())
            continue;
        const int fd = open(p.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        fdatasync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
    return 0;
}

// ---------------------------------------------------------------- measuring children

// Standard output to out (nothing kept when empty), standard error dropped, run in cwd.
ProgramRun runQuiet(const std::vector<std::string>& argv, const std::string& out,
                    const std::string& cwd = std::string()) {
    ProgramOutput output;
    output.stdoutPath = out;
    output.quietStderr = true;
    output.workingDir = cwd;
    return runProgram(argv, output);
}

bool haveProgram(const char* name) {
    return runQuiet({"sh", "-c", std::string("command -v ") + name}, "").exitCode == 0;
}

// ---------------------------------------------------------------- checking the result

// The path below the tree: the manifest may name the tree by another (relative) path.
QString belowTree(const QString& path) {
    static const QRegularExpression top(QStringLiteral("(?:^|/)(A\\d\\d/.*)$"));
    const QRegularExpressionMatch m = top.match(path);
    return m.hasMatch() ? m.captured(1) : path;
}

// The first argument of a script line after its command word.
QString firstArgument(const QString& line, int commandLength) {
    QString rest = line.mid(commandLength);
    QString arg;
    if (rest.startsWith(u'"')) {
        arg = rest.mid(1, rest.indexOf(u'"', 1) - 1);
    } else {
        arg = rest.section(u' ', 0, 0);
    }
    return arg.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

struct Check {
    bool ok = true;
    QStringList notes;
    void fail(const QString& why) {
        ok = false;
        notes.append(QStringLiteral("FAIL: ") + why);
    }
};

Check checkAgainstManifest(const QString& tree, const QString& manifestPath,
                           const QString& listPath, const QString& scriptPath) {
    Check c;
    QFile mf(manifestPath);
    if (!mf.open(QIODevice::ReadOnly | QIODevice::Text)) {
        c.fail(QStringLiteral("manifest not readable: ") + manifestPath);
        return c;
    }
    QHash<QString, QStringList> groups;  // source -> the files equal to it
    QSet<QString> nearDuplicates;
    QSet<QString> matched;  // every file "*.jpg" matches, without regard to case
    QHash<QByteArray, QStringList> upperCaseGroups;
    int dupCount = 0;
    QTextStream in(&mf);
    in.readLine();
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u'\t');
        if (f.size() < 7)
            continue;
        const QString rel = belowTree(f[0]);
        const QString& kind = f[1];
        if (kind == QLatin1String("unique") || kind == QLatin1String("dup") ||
            kind == QLatin1String("near_dup"))
            matched.insert(rel);
        if (kind == QLatin1String("dup")) {
            const QString src = belowTree(f[6]);
            if (!groups.contains(src))
                groups[src].append(src);
            groups[src].append(rel);
            ++dupCount;
        } else if (kind == QLatin1String("near_dup")) {
            nearDuplicates.insert(rel);
        } else if (kind == QLatin1String("nonmatch.JPG")) {
            matched.insert(rel);
            QFile jf(tree + rel);
            if (jf.open(QIODevice::ReadOnly))
                upperCaseGroups[jf.readAll()].append(rel);
        }
    }
    QSet<QString> expected;
    int expectedUpper = 0;
    auto surplusOf = [&](QStringList members, int* counter) {
        if (members.size() < 2)
            return;
        std::sort(members.begin(), members.end());  // the last one stays
        for (int i = 0; i + 1 < members.size(); ++i)
            expected.insert(members[i]);
        if (counter)
            *counter += int(members.size()) - 1;
    };
    for (const QStringList& g : std::as_const(groups))
        surplusOf(g, nullptr);
    for (const QStringList& g : std::as_const(upperCaseGroups))
        surplusOf(g, &expectedUpper);

    // Every matched file has its line in the list.
    QFile lf(listPath);
    QSet<QString> listed;
    if (lf.open(QIODevice::ReadOnly))
        for (const QString& l : checksumEntryLines(lf.readAll()))
            listed.insert(belowTree(splitChecksumLine(l).path));
    if (listed != matched)
        c.fail(QStringLiteral("list holds %1 files, %2 expected")
                   .arg(listed.size())
                   .arg(matched.size()));
    else
        c.notes.append(QStringLiteral("list holds every one of the %1 files").arg(listed.size()));

    QFile sf(scriptPath);
    QSet<QString> marked;
    if (sf.open(QIODevice::ReadOnly))
        for (const QString& l : QString::fromUtf8(sf.readAll()).split(QStringLiteral("\r\n")))
            if (l.startsWith(QLatin1String("ren ")))
                marked.insert(belowTree(firstArgument(l, 4)));
    const QSet<QString> reportedNear = marked & nearDuplicates;
    if (!reportedNear.isEmpty())
        c.fail(QStringLiteral("%1 near-duplicates marked").arg(reportedNear.size()));
    if (marked != expected) {
        c.fail(QStringLiteral("%1 marked, %2 expected; %3 missing, %4 wrong")
                   .arg(marked.size())
                   .arg(expected.size())
                   .arg((expected - marked).size())
                   .arg((marked - expected).size()));
    } else {
        c.notes.append(QStringLiteral("%1 surplus copies marked as the manifest says: %2 of the "
                                      ".jpg duplicates, %3 among the .JPG extras (copies of the "
                                      "same base pictures); every kept copy sorts last")
                           .arg(marked.size())
                           .arg(dupCount)
                           .arg(expectedUpper));
        c.notes.append(
            QStringLiteral("none of the %1 near-duplicates reported").arg(nearDuplicates.size()));
    }
    return c;
}

// ---------------------------------------------------------------- the read limit

// Reads the files as the search does (64 KiB at a time into one buffer) and nothing else.
int readOnly(const QString& listPath, int part, int count) {
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly))
        return 1;
    const QList<QByteArray> paths = list.readAll().split('\0');
    std::vector<char> buffer(kMd5ChunkSize);
    unsigned long long sum = 0;
    for (qsizetype i = part; i < paths.size(); i += std::max(count, 1)) {
        if (paths[i].isEmpty())
            continue;
        const int fd = open(paths[i].constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ssize_t got;
        while ((got = read(fd, buffer.data(), buffer.size())) > 0)
            sum += std::uint8_t(buffer[0]);
        close(fd);
    }
    return sum == 1 ? 3 : 0;  // keeps the reads from being optimised away
}

// ---------------------------------------------------------------- the comparison

// The tree and the work folder of a comparison, and the files the search digests (also
// written NUL-separated to WORK/files.nul for the read loops and md5sum).
struct BenchTree {
    QString tree;  // ends with a separator
    QString work;
    std::string t;
    std::string w;
    FileList files;
    qint64 bytes = 0;
};

std::optional<BenchTree> prepareTree(const QString& treeArg, const QString& workArg) {
    BenchTree b;
    b.tree = AddSeparator(QDir(treeArg).absolutePath());
    b.work = QDir(workArg).absolutePath();
    QDir().mkpath(b.work);
    b.t = b.tree.toStdString();
    b.w = b.work.toStdString();
    QuietObserver quiet;
    b.files =
        collectPictureFiles(b.tree, QStringLiteral("*.jpg"), true, Language::German, quiet).files;
    QFile list(b.work + QStringLiteral("/files.nul"));
    if (!list.open(QIODevice::WriteOnly))
        return std::nullopt;
    for (int i = 0; i < b.files.count(); ++i) {
        const QByteArray p = QFile::encodeName(b.files.fullPath(i));
        list.write(p.constData(), p.size() + 1);
        b.bytes += QFileInfo(b.files.fullPath(i)).size();
    }
    std::printf("tree %s: %d files matching *.jpg, %.2f GB\n", b.t.c_str(), b.files.count(),
                double(b.bytes) / 1e9);
    return b;
}

struct Entry {
    const char* name;
    std::vector<std::string> argv;
    std::string cwd;
    ProgramRun best;  // the median round's time, the largest peak memory of all rounds
    bool present = true;
    std::vector<double> seconds{};
};

int compare(const QString& treeArg, const QString& manifest, const QString& workArg, int rounds,
            int threads) {
    const std::optional<BenchTree> prepared = prepareTree(treeArg, workArg);
    if (!prepared)
        return 1;
    const auto& [tree, work, t, w, files, bytes] = *prepared;
    const std::string nul = w + "/files.nul";

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    // Every byte read and digested, every round: the cache is measured with --repeat.
    std::vector<std::string> scan = {self, "--scan", t, "--no-cache"};
    if (threads > 0)
        scan.insert(scan.end(), {"--threads", std::to_string(threads)});
    std::vector<std::string> scalarScan = scan;
    scalarScan.push_back("--scalar");
    std::vector<Entry> entries = {
        {"kadrano duplicate search", scan, "", {}},
        {"read loop, 1 process", {self, "--read", nul, "0", "1"}, "", {}},
        {"read loop, 2 processes",
         {"sh", "-c",
          "'" + self + "' --read '" + nul + "' 0 2 & '" + self + "' --read '" + nul +
              "' 1 2; wait"},
         "",
         {}},
        {"md5sum (same files)",
         {"sh", "-c", "xargs -0 -a '" + nul + "' md5sum > /dev/null"},
         "",
         {}},
        {"jdupes -r", {"jdupes", "-r", t}, "", {}},
        {"fdupes -r", {"fdupes", "-r", t}, "", {}},
        {"rmlint",
         {"rmlint", t, "-o", "sh:" + w + "/rmlint.sh", "-o", "json:" + w + "/rmlint.json"},
         w,
         {}},
        {"kadrano, scalar MD5", scalarScan, "", {}},
    };
    for (Entry& e : entries)
        if (e.argv[0] != "sh" && e.argv[0] != self)
            e.present = haveProgram(e.argv[0].c_str());

    // Everything in the page cache first.
    runQuiet(entries[1].argv, "");

    const QString listPath = tree + QLatin1String(kChecksumListName);
    const QString scriptPath = tree + QLatin1String(kDuplicatesScriptName);
    const QString keptList = work + QStringLiteral("/") + QLatin1String(kChecksumListName);
    const QString keptScript = work + QStringLiteral("/") + QLatin1String(kDuplicatesScriptName);
    const std::string report = w + "/scan-report.txt";
    QString scanReport;
    for (int r = 0; r < rounds; ++r) {
        for (Entry& e : entries) {
            if (!e.present)
                continue;
            const bool isScan = &e == &entries[0] || &e == &entries.back();
            const ProgramRun m = runQuiet(e.argv, isScan ? report : "", e.cwd);
            if (isScan) {
                // Out of the tree again, so every round (and the other programs) sees the
                // same files.
                QFile::remove(keptList);
                QFile::remove(keptScript);
                QFile::rename(listPath, keptList);
                QFile::rename(scriptPath, keptScript);
                QFile rep(QString::fromStdString(report));
                if (rep.open(QIODevice::ReadOnly))
                    scanReport = QString::fromUtf8(rep.readAll());
            }
            e.seconds.push_back(m.seconds);
            e.best.maxRssKiB = std::max(e.best.maxRssKiB, m.maxRssKiB);
            e.best.exitCode = r == 0 ? m.exitCode : std::max(e.best.exitCode, m.exitCode);
        }
    }
    for (Entry& e : entries) {
        if (e.seconds.empty())
            continue;
        e.best.seconds = bench::median(e.seconds);
    }

    const double read2 = entries[2].best.seconds;
    const double jdupes = entries[4].present ? entries[4].best.seconds : 0;
    std::printf("\nmedian of %d rounds (warm page cache):\n", rounds);
    std::printf("  %-26s %8s %9s %10s %10s\n", "", "seconds", "x read 2p", "x jdupes", "peak MB");
    for (const Entry& e : entries) {
        if (!e.present) {
            std::printf("  %-26s  (not installed)\n", e.name);
            continue;
        }
        std::printf(
            "  %-26s %8.3f %9.2f %10s %10.1f%s\n", e.name, e.best.seconds, e.best.seconds / read2,
            jdupes > 0 ? qPrintable(QString::number(e.best.seconds / jdupes, 'f', 2)) : "-",
            double(e.best.maxRssKiB) / 1024.0, e.best.exitCode == 0 ? "" : "  (exit code != 0)");
    }
    std::printf("  read rate of the search: %.0f MB/s (read loop, 2 processes: %.0f MB/s)\n",
                double(bytes) / entries[0].best.seconds / 1e6, double(bytes) / read2 / 1e6);
    std::printf(
        "  goals: search <= 1.0 x jdupes (measured %.2f x), <= 1.5 x the read loop in "
        "two processes (measured %.2f x)\n",
        jdupes > 0 ? entries[0].best.seconds / jdupes : 0.0, entries[0].best.seconds / read2);

    std::printf("\nlast search reported:\n");
    for (const QString& l : scanReport.split(u'\n', Qt::SkipEmptyParts))
        std::printf("  %s\n", qPrintable(l));

    const Check check = checkAgainstManifest(tree, manifest, keptList, keptScript);
    std::printf("\nmanifest check (%s):\n", qPrintable(manifest));
    for (const QString& n : check.notes)
        std::printf("  %s\n", qPrintable(n));
    std::printf("  %s\n", check.ok ? "OK" : "FAILED");
    return check.ok ? 0 : 2;
}

// ---------------------------------------------------------------- the digest cache

qint64 fileSize(const QString& path) {
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-journal")).size();
}

int compareRepeated(const QString& treeArg, const QString& manifest, const QString& workArg,
                    int rounds, int threads, const QString& baseline) {
    const std::optional<BenchTree> prepared = prepareTree(treeArg, workArg);
    if (!prepared)
        return 1;
    const auto& [tree, work, t, w, files, bytes] = *prepared;
    // Every file of the tree, for dropping: jdupes reads the other names too.
    {
        QFile all(work + QStringLiteral("/all.nul"));
        if (!all.open(QIODevice::WriteOnly))
            return 1;
        QDirIterator it(tree, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QByteArray p = QFile::encodeName(it.next());
            all.write(p.constData(), p.size() + 1);
        }
    }
    const std::string nul = w + "/files.nul";
    const std::string allNul = w + "/all.nul";

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const QString firstCache = work + QStringLiteral("/first-search.sqlite");
    const QString repeatCache = work + QStringLiteral("/repeated-search.sqlite");
    std::vector<std::string> scan = {self, "--scan", t};
    if (threads > 0)
        scan.insert(scan.end(), {"--threads", std::to_string(threads)});
    auto scanWith = [&](const QString& cache) {
        std::vector<std::string> a = scan;
        if (cache.isEmpty()) {
            a.push_back("--no-cache");
        } else {
            a.push_back("--cache");
            a.push_back(cache.toStdString());
        }
        return a;
    };
    const std::vector<std::string> read2 = {
        "sh", "-c",
        "'" + self + "' --read '" + nul + "' 0 2 & '" + self + "' --read '" + nul + "' 1 2; wait"};

    enum class Before { Nothing, EmptyCache, Drop, EmptyCacheAndDrop };
    struct Variant {
        const char* name;
        std::vector<std::string> argv;
        Before before;
        QString output;  // where the search's list and script go; empty: not a search
        bool present = true;
        std::vector<double> seconds{};
        std::vector<double> cpuSeconds{};
        // Until the question was on the screen, as the search reported it: what the
        // person waits for (the cache is written while the question is read).
        std::vector<double> questionSeconds{};
        long maxRssKiB = 0;
        QString report{};
    };
    // The warm ones first: every round begins with all pictures read into the page cache.
    std::vector<Variant> variants = {
        {"search before the cache",
         {baseline.toStdString(), "--scan", t},
         Before::Nothing,
         QStringLiteral("before")},
        {"search without cache", scanWith(QString()), Before::Nothing, QStringLiteral("none")},
        {"first search, warm", scanWith(firstCache), Before::EmptyCache, QStringLiteral("first")},
        {"repeated search, warm", scanWith(repeatCache), Before::Nothing, QStringLiteral("warm")},
        {"jdupes -r, warm", {"jdupes", "-r", "-q", t}, Before::Nothing, QString()},
        {"read loop 2 proc, warm", read2, Before::Nothing, QString()},
        {"first search, cold", scanWith(firstCache), Before::EmptyCacheAndDrop,
         QStringLiteral("firstcold")},
        {"repeated search, cold", scanWith(repeatCache), Before::Drop, QStringLiteral("cold")},
        {"jdupes -r, cold", {"jdupes", "-r", "-q", t}, Before::Drop, QString()},
        {"read loop 2 proc, cold", read2, Before::Drop, QString()},
    };
    for (Variant& v : variants) {
        if (v.argv[0] == "jdupes")
            v.present = haveProgram("jdupes");
        else if (v.argv[0].empty())
            v.present = false;
    }

    const QString listPath = tree + QLatin1String(kChecksumListName);
    const QString scriptPath = tree + QLatin1String(kDuplicatesScriptName);
    const std::string report = w + "/scan-report.txt";
    const std::vector<std::string> warmUp = {self, "--read", nul, "0", "1"};
    const std::vector<std::string> drop = {
        self, "--drop", allNul, repeatCache.toStdString(),
        (repeatCache + QStringLiteral("-journal")).toStdString()};
    // The repeated searches find what one search before them left.
    QFile::remove(repeatCache);
    runQuiet(warmUp, "");
    runQuiet(scanWith(repeatCache), "");
    QFile::remove(listPath);
    QFile::remove(scriptPath);

    for (int r = 0; r < rounds; ++r) {
        runQuiet(warmUp, "");
        for (Variant& v : variants) {
            if (!v.present)
                continue;
            if (v.before == Before::EmptyCache || v.before == Before::EmptyCacheAndDrop) {
                QFile::remove(firstCache);
                QFile::remove(firstCache + QStringLiteral("-journal"));
            }
            if (v.before == Before::Drop || v.before == Before::EmptyCacheAndDrop)
                runQuiet(drop, "");
            const bool isScan = !v.output.isEmpty();
            const ProgramRun m = runQuiet(v.argv, isScan ? report : "");
            v.seconds.push_back(m.seconds);
            v.cpuSeconds.push_back(m.cpuSeconds);
            v.maxRssKiB = std::max(v.maxRssKiB, m.maxRssKiB);
            if (isScan) {
                const QString kept = work + u'/' + v.output;
                QFile::remove(kept + QStringLiteral(".txt"));
                QFile::remove(kept + QStringLiteral(".bat"));
                QFile::rename(listPath, kept + QStringLiteral(".txt"));
                QFile::rename(scriptPath, kept + QStringLiteral(".bat"));
                QFile rep(QString::fromStdString(report));
                if (rep.open(QIODevice::ReadOnly))
                    v.report = QString::fromUtf8(rep.readAll());
                static const QRegularExpression questionAfter(
                    QStringLiteral("question after ([0-9.]+) s"));
                const QRegularExpressionMatch q = questionAfter.match(v.report);
                if (q.hasMatch())
                    v.questionSeconds.push_back(q.captured(1).toDouble());
            }
        }
    }

    auto median = [&](const char* name) {
        for (const Variant& v : variants)
            if (std::strcmp(v.name, name) == 0 && v.present)
                return bench::median(v.seconds);
        return 0.0;
    };
    const double first = median("first search, warm");
    const double firstCold = median("first search, cold");
    const double none = median("search without cache");
    std::printf("\nmedian of %d rounds (load average at the end: %s):\n", rounds,
                qPrintable(QString::fromLatin1([] {
                    QFile f(QStringLiteral("/proc/loadavg"));
                    return f.open(QIODevice::ReadOnly) ? f.readLine().trimmed() : QByteArray("?");
                }())));
    // CPU time is shown too: on a machine shared with others it varies far less than the
    // wall time, and it tells the work done.
    std::printf("  %-28s %8s %12s %10s %9s %9s %11s\n", "", "seconds", "x 1st search", "x jdupes",
                "CPU s", "peak MB", "question s");
    for (const Variant& v : variants) {
        if (!v.present) {
            std::printf("  %-28s  (%s)\n", v.name,
                        v.argv[0].empty() ? "no --baseline given" : "not installed");
            continue;
        }
        // Each against the first search and jdupes under the same page-cache condition.
        const bool cold = QString::fromLatin1(v.name).endsWith(QLatin1String("cold"));
        const double jd = median(cold ? "jdupes -r, cold" : "jdupes -r, warm");
        const double firstSame = cold ? firstCold : first;
        const double sec = bench::median(v.seconds);
        std::printf("  %-28s %8.3f %12.2f %10s %9.3f %9.1f %11s\n", v.name, sec,
                    firstSame > 0 ? sec / firstSame : 0,
                    jd > 0 ? qPrintable(QString::number(sec / jd, 'f', 2)) : "-",
                    bench::median(v.cpuSeconds), double(v.maxRssKiB) / 1024.0,
                    v.questionSeconds.empty()
                        ? "-"
                        : qPrintable(QString::number(bench::median(v.questionSeconds), 'f', 3)));
    }
    const double before = median("search before the cache");
    std::printf("  first search / search without cache: %.3f\n", none > 0 ? first / none : 0);
    if (before > 0)
        std::printf("  first search / search before the cache: %.3f\n", first / before);
    const auto medianToQuestion = [&](const char* name) {
        for (const Variant& v : variants)
            if (std::strcmp(v.name, name) == 0 && v.present && !v.questionSeconds.empty())
                return bench::median(v.questionSeconds);
        return 0.0;
    };
    const double firstAsks = medianToQuestion("first search, warm");
    const double beforeAsks = medianToQuestion("search before the cache");
    if (firstAsks > 0 && beforeAsks > 0)
        std::printf("  until the question, first search / search before the cache: %.3f\n",
                    firstAsks / beforeAsks);
    const double repeatedColdAsks = medianToQuestion("repeated search, cold");
    const double firstColdAsks = medianToQuestion("first search, cold");
    if (repeatedColdAsks > 0 && firstColdAsks > 0)
        std::printf("  until the question, repeated / first search, cold: %.3f\n",
                    repeatedColdAsks / firstColdAsks);
    std::printf("  cache size: %.2f MB for %d files\n", double(fileSize(repeatCache)) / 1e6,
                files.count());

    for (const Variant& v : variants) {
        if (v.output.isEmpty() || v.report.isEmpty())
            continue;
        std::printf("\nlast %s reported:\n", v.name);
        for (const QString& l : v.report.split(u'\n', Qt::SkipEmptyParts))
            std::printf("  %s\n", qPrintable(l));
    }

    // Every search gives the very same list and script as the one without a cache, and
    // that one is what the manifest says.
    Check check = checkAgainstManifest(tree, manifest, work + QStringLiteral("/none.txt"),
                                       work + QStringLiteral("/none.bat"));
    auto bytesOf = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    for (const char* out : {"before", "first", "warm", "firstcold", "cold"}) {
        if (std::strcmp(out, "before") == 0 && baseline.isEmpty())
            continue;
        for (const char* ext : {".txt", ".bat"}) {
            const QString a = work + QStringLiteral("/none") + QLatin1String(ext);
            const QString b = work + u'/' + QLatin1String(out) + QLatin1String(ext);
            if (bytesOf(a).isEmpty() || bytesOf(a) != bytesOf(b))
                check.fail(QStringLiteral("%1 differs from the search without cache").arg(b));
        }
    }
    if (check.ok)
        check.notes.append(QStringLiteral("every search wrote the same list and script"));
    std::printf("\nchecks (%s):\n", qPrintable(manifest));
    for (const QString& n : check.notes)
        std::printf("  %s\n", qPrintable(n));
    std::printf("  %s\n", check.ok ? "OK" : "FAILED");
    return check.ok ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString tree = bench::benchDataDir(QStringLiteral("photo-tree/tree"));
    QString manifest;
    QString work = bench::benchDataDir(QStringLiteral("duplicates"));
    QString scanDir;
    QString cacheFile = bench::benchDataDir(QStringLiteral("duplicates/scan-cache.sqlite"));
    int rounds = 3;
    int threads = 0;
    bool scalar = false;
    bool repeat = false;
    QString baseline;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool more = i + 1 < args.size();
        if (a == QLatin1String("--scan") && more)
            scanDir = args[++i];
        else if (a == QLatin1String("--read") && i + 3 < args.size())
            return readOnly(args[i + 1], args[i + 2].toInt(), args[i + 3].toInt());
        else if (a == QLatin1String("--drop") && more)
            return dropFromPageCache(args[i + 1], args.mid(i + 2));
        else if (a == QLatin1String("--cache") && more)
            cacheFile = args[++i];
        else if (a == QLatin1String("--no-cache"))
            cacheFile.clear();
        else if (a == QLatin1String("--repeat"))
            repeat = true;
        else if (a == QLatin1String("--baseline") && more)
            baseline = args[++i];
        else if (a == QLatin1String("--tree") && more)
            tree = args[++i];
        else if (a == QLatin1String("--manifest") && more)
            manifest = args[++i];
        else if (a == QLatin1String("--work") && more)
            work = args[++i];
        else if (a == QLatin1String("--rounds") && more)
            rounds = std::max(1, args[++i].toInt());
        else if (a == QLatin1String("--threads") && more)
            threads = args[++i].toInt();
        else if (a == QLatin1String("--scalar"))
            scalar = true;
        else {
            std::fprintf(stderr, "unknown argument %s\n", qPrintable(a));
            return 1;
        }
    }
    if (!scanDir.isEmpty())
        return scanOnly(scanDir, threads, scalar, cacheFile);
    if (manifest.isEmpty())
        manifest = QDir(tree).absoluteFilePath(QStringLiteral("../manifest.tsv"));
    if (repeat)
        return compareRepeated(tree, manifest, work, rounds, threads, baseline);
    return compare(tree, manifest, work, rounds, threads);
}
