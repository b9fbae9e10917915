// The whole duplicate search (collect, digest, list, sort, pair, script) on a picture tree,
// driven headless through the same entry point the window's Start button uses, and in
// the same run the programs it is measured against: a plain read loop over the same files
// in one and in two processes (the read limit; cat maps a new buffer per file and is far
// slower), md5sum of them, jdupes, fdupes and rmlint on the tree. Each program runs as a
// child process, so wall time and peak memory are measured the same way for all; the
// rounds alternate between them and the median counts. The script the search writes is
// then checked against the corpus manifest.
//
//   bench_duplicates --tree DIR --manifest FILE [--work DIR] [--rounds N] [--threads N]
//   bench_duplicates --scan DIR [--threads N]       (one search; used by the above)
//   bench_duplicates --read LIST PART COUNT         (read every COUNT-th file of the
//                                                    NUL-separated LIST from PART on)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <QTime>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "support/benchdata.h"

#include "analysis/duplicatefinder.h"
#include "analysis/duplicates.h"
#include "core/filecollector.h"
#include "core/pathhelpers.h"
#include "md5/md5.h"

using namespace kadrano;

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

class BenchHost : public ToolHost, private CollectObserver {
public:
    explicit BenchHost(QString dir) : dir_(std::move(dir)) {}
    HeadlessPerson person_;
    NoRunner runner_;
    FileList files_;
    double collectSeconds = 0;

    Person& person() override { return person_; }
    ScriptRunner& scriptRunner() override { return runner_; }
    Language language() const override { return Language::German; }
    bool loading() const override { return false; }
    bool noQuestions() const override { return false; }
    bool pauseAtEnd() const override { return false; }
    void saveSettings() override {}
    void collectFiles() override {
        QElapsedTimer t;
        t.start();
        files_ =
            CollectPictureFiles(dir_, QStringLiteral("*.jpg"), true, Language::German, *this).files;
        collectSeconds = double(t.nsecsElapsed()) / 1e9;
    }
    const FileList& fileList() const override { return files_; }
    QString directoryText() const override { return dir_; }
    void setDirectoryText(const QString& t) override { dir_ = t; }
    QString patternText() const override { return QStringLiteral("*.jpg"); }
    QString caption() const override { return caption_; }
    void setCaption(const QString& t) override { caption_ = t; }
    void setKeptScriptButtonVisible(const KeptScript&, bool) override {}
    void showUpdateLink() override {}
    QString startTime() const override { return start_; }
    void setStartTime(const QString& t) override { start_ = t; }
    QString currentTimeHHMM() const override {
        return QTime::currentTime().toString(QStringLiteral("HH:mm"));
    }
    bool toolCancel() const override { return false; }
    void setToolCancel(bool) override {}

private:
    void collectStatus(const QString&) override {}
    void collectProcessEvents() override { QCoreApplication::processEvents(); }
    bool collectCancelRequested() const override { return false; }

    QString dir_;
    QString caption_ = QStringLiteral("Kadrano");
    QString start_;
};

class BenchView : public DuplicatesView {
public:
    QString button = QStringLiteral("Start");
    void setStartButtonText(const QString& t) override { button = t; }
    void setCancelHintVisible(bool) override {}
};

int scanOnly(const QString& dir, int threads, bool scalar) {
    BenchHost host(AddSeparator(QDir(dir).absolutePath()));
    host.person_.clock.start();
    BenchView view;
    DuplicateFinderOptions options;
    if (threads > 0)
        options.digestThreads = threads;
    if (scalar)
        options.md5Kind = Md5Kind::Scalar;
    DuplicateFinder finder(options);
    finder.StartClicked(host, view, {QStringLiteral("[Doppelt]"), false});
    const HeadlessPerson& p = host.person_;
    std::printf("files %d, event rounds %d\n", host.files_.count(), p.events);
    std::printf("collected after %.3f s, digests done after %.3f s, question after %.3f s\n",
                host.collectSeconds, p.digestsDone, p.questionAsked);
    std::printf("question: %s\n", qPrintable(p.lastBox.section(u'\r', 0, 0)));
    return 0;
}

// ---------------------------------------------------------------- measuring children

struct Measured {
    double seconds = 0;
    long maxRssKiB = 0;
    int exitCode = -1;
};

Measured runMeasured(const std::vector<std::string>& argv, const std::string& out,
                     const std::string& cwd = std::string()) {
    Measured m;
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(126);
        const int fd =
            open(out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int null = open("/dev/null", O_WRONLY);
        if (fd >= 0)
            dup2(fd, 1);
        if (null >= 0)
            dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    struct rusage ru {};
    wait4(pid, &status, 0, &ru);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    m.maxRssKiB = ru.ru_maxrss;  // the child and every descendant it waited for
    m.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

bool haveProgram(const char* name) {
    return runMeasured({"sh", "-c", std::string("command -v ") + name}, "").exitCode == 0;
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
        for (const QString& l : ChecksumEntryLines(lf.readAll()))
            listed.insert(belowTree(SplitChecksumLine(l).path));
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

struct Entry {
    const char* name;
    std::vector<std::string> argv;
    std::string cwd;
    Measured best;  // the median round's time, the largest peak memory of all rounds
    bool present = true;
    std::vector<double> seconds{};
};

int compare(const QString& treeArg, const QString& manifest, const QString& workArg, int rounds,
            int threads) {
    const QString tree = AddSeparator(QDir(treeArg).absolutePath());
    const QString work = QDir(workArg).absolutePath();
    QDir().mkpath(work);
    const std::string t = tree.toStdString();
    const std::string w = work.toStdString();

    // The very files the search digests, for cat and md5sum.
    struct Quiet : CollectObserver {
        void collectStatus(const QString&) override {}
        void collectProcessEvents() override {}
        bool collectCancelRequested() const override { return false; }
    } quiet;
    const FileList files =
        CollectPictureFiles(tree, QStringLiteral("*.jpg"), true, Language::German, quiet).files;
    qint64 bytes = 0;
    {
        QFile list(work + QStringLiteral("/files.nul"));
        if (!list.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < files.count(); ++i) {
            const QByteArray p = QFile::encodeName(files.fullPath(i));
            list.write(p.constData(), p.size() + 1);
            bytes += QFileInfo(files.fullPath(i)).size();
        }
    }
    const std::string nul = w + "/files.nul";
    std::printf("tree %s: %d files matching *.jpg, %.2f GB\n", t.c_str(), files.count(),
                double(bytes) / 1e9);

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    std::vector<std::string> scan = {self, "--scan", t};
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
    runMeasured(entries[1].argv, "");

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
            const Measured m = runMeasured(e.argv, isScan ? report : "", e.cwd);
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
        std::sort(e.seconds.begin(), e.seconds.end());
        const std::size_t n = e.seconds.size();
        e.best.seconds = n % 2 ? e.seconds[n / 2] : (e.seconds[n / 2 - 1] + e.seconds[n / 2]) / 2;
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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString tree = bench::BenchDataDir(QStringLiteral("photo-tree/tree"));
    QString manifest;
    QString work = bench::BenchDataDir(QStringLiteral("duplicates"));
    QString scanDir;
    int rounds = 3;
    int threads = 0;
    bool scalar = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool more = i + 1 < args.size();
        if (a == QLatin1String("--scan") && more)
            scanDir = args[++i];
        else if (a == QLatin1String("--read") && i + 3 < args.size())
            return readOnly(args[i + 1], args[i + 2].toInt(), args[i + 3].toInt());
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
        return scanOnly(scanDir, threads, scalar);
    if (manifest.isEmpty())
        manifest = QDir(tree).absoluteFilePath(QStringLiteral("../manifest.tsv"));
    return compare(tree, manifest, work, rounds, threads);
}
