// Times the two date tools on a real tree against the plain system calls they are built
// on, in the same run, alternating, and reports medians and peak memory:
//
//   "Datum ändern" (name date, else a fixed date, at noon) in process  vs  a utimensat loop,
//   also with its undo journal
//   date-into-names planning (three stamps, name analysis, script text) vs  a statx loop
//
//   bench_dates [--runs N] DIR
//
// The tree's access and modification times are read first and put back at the end, to the
// nanosecond, so other benchmarks on a shared tree find them as they were.

#include <fcntl.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/filecollector.h"
#include "core/pathhelpers.h"
#include "core/undojournal.h"
#include "dates/dateintonames.h"
#include "dates/filedate.h"
#include "dates/setdates.h"
#include "support/benchtools.h"
#include "support/fakehost.h"
#include "support/processtimer.h"

using namespace kadrano;
using kadrano::bench::median;
using kadrano::bench::peakKiB;
using kadrano::bench::QuietObserver;

namespace {

// Status texts are built and events processed as the window would; only the last text is
// kept, so the memory figures are the tools' own.
class LastStatusPerson : public Person {
public:
    QString status;
    int boxes = 0;
    int messageBox(const QString&, int, const QString&) override {
        ++boxes;
        return Mb::ResultOK;
    }
    void openInEditor(const QString&) override {}
    void openDocument(const QString&) override {}
    void openFolder(const QString&) override {}
    void setStatus(const QString& text) override { status = text; }
    void processEvents() override { QCoreApplication::processEvents(); }
};

// The window as the tool sees it, with the collected list kept: the collection has its
// own benchmark, so each run here measures the tool's own work. Runs are not noted unless
// undoFolder names a folder for the journal.
class BenchHost : public test::FakeHost {
public:
    BenchHost() : FakeHost(nullptr, &person_) {
        keepFiles = true;
        questionsOff = true;
    }
    LastStatusPerson person_;
};

struct Saved {
    QByteArray path;
    struct timespec times[2];
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 7;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = args[1].toInt();
        args = args.mid(2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_dates [--runs N] DIR\n");
        return 2;
    }
    BenchHost host;
    host.dirText = AddSeparator(args[0]);
    QuietObserver quiet;
    host.files =
        collectPictureFiles(host.dirText, QStringLiteral("*.jpg"), true, Language::German, quiet)
            .files;
    const int n = host.files.count();
    if (n == 0) {
        std::fprintf(stderr, "no *.jpg below %s\n", qPrintable(host.dirText));
        return 1;
    }
    const long afterCollect = peakKiB();

    // The baselines get their paths ready-made: the cheapest loop the system allows.
    std::vector<Saved> saved(n);
    for (int i = 0; i < n; ++i) {
        saved[i].path = QFile::encodeName(host.files.fullPath(i));
        struct stat st {};
        if (stat(saved[i].path.constData(), &st) != 0) {
            std::fprintf(stderr, "cannot read %s\n", saved[i].path.constData());
            return 1;
        }
        saved[i].times[0] = st.st_atim;
        saved[i].times[1] = st.st_mtim;
    }

    SetDatesOptions setOptions;
    setOptions.fromFileName = true;
    setOptions.fixedWhenNone = true;
    setOptions.fixedDate = QStringLiteral("11.11.2019");
    DateIntoNamesOptions nameOptions;
    TimeLeft timeLeft;

    auto plainUtimensat = [&] {
        QElapsedTimer t;
        t.start();
        const struct timespec when[2] = {{1573470000, 0}, {1573470000, 0}};
        int ok = 0;
        for (const Saved& s : saved)
            ok += utimensat(AT_FDCWD, s.path.constData(), when, 0) == 0;
        if (ok != n)
            std::fprintf(stderr, "utimensat failed on %d files\n", n - ok);
        return t.nsecsElapsed() / 1e6;
    };
    // The least any tool can do that refuses read-only files: ask for the mode, then set.
    auto checkedUtimensat = [&] {
        QElapsedTimer t;
        t.start();
        const struct timespec when[2] = {{1573470000, 0}, {1573470000, 0}};
        int ok = 0;
        for (const Saved& s : saved) {
            struct stat st {};
            if (stat(s.path.constData(), &st) == 0 && (st.st_mode & S_IWUSR))
                ok += utimensat(AT_FDCWD, s.path.constData(), when, 0) == 0;
        }
        if (ok != n)
            std::fprintf(stderr, "checked utimensat failed on %d files\n", n - ok);
        return t.nsecsElapsed() / 1e6;
    };
    auto setDates = [&] {
        QElapsedTimer t;
        t.start();
        runSetDates(host, setOptions, timeLeft);
        return t.nsecsElapsed() / 1e6;
    };
    // The same with the undo journal: each file's old times noted before they are set.
    QTemporaryDir journals;
    auto setDatesNoted = [&] {
        host.undoFolder = journals.path();
        const double ms = setDates();
        host.undoFolder.clear();
        const QString journal = undoJournalPath(journals.path(), host.dirText);
        const UndoJournal noted = UndoJournal::read(journal);
        if (noted.runs().size() != 1 || noted.runs()[0].times.empty())
            std::fprintf(stderr, "the journal holds no file\n");
        QFile::remove(journal);
        return ms;
    };
    auto plainStatx = [&] {
        QElapsedTimer t;
        t.start();
        struct statx sx {};
        int ok = 0;
        for (const Saved& s : saved)
            ok += statx(AT_FDCWD, s.path.constData(), AT_STATX_SYNC_AS_STAT,
                        STATX_TYPE | STATX_ATIME | STATX_MTIME | STATX_BTIME, &sx) == 0;
        if (ok != n)
            std::fprintf(stderr, "statx failed on %d files\n", n - ok);
        return t.nsecsElapsed() / 1e6;
    };
    int renames = 0;
    auto planNames = [&] {
        QElapsedTimer t;
        t.start();
        const DateIntoNamesPlan plan = planDateIntoNames(host.fileList(), nameOptions);
        renames = plan.withoutDate;
        return t.nsecsElapsed() / 1e6;
    };

    // Warm the caches once, then alternate.
    plainUtimensat();
    setDates();
    plainStatx();
    planNames();
    std::vector<double> u, s, x, p, c, j;
    for (int r = 0; r < runs; ++r) {
        if (r % 2 == 0) {
            u.push_back(plainUtimensat());
            s.push_back(setDates());
            j.push_back(setDatesNoted());
            x.push_back(plainStatx());
            p.push_back(planNames());
            c.push_back(checkedUtimensat());
        } else {
            c.push_back(checkedUtimensat());
            j.push_back(setDatesNoted());
            s.push_back(setDates());
            u.push_back(plainUtimensat());
            p.push_back(planNames());
            x.push_back(plainStatx());
        }
    }

    // Where the time goes: the pieces of the two tools on their own.
    auto piece = [&](const char* what, const std::function<void()>& job) {
        std::vector<double> v;
        for (int r = 0; r < std::max(3, runs / 2); ++r) {
            QElapsedTimer t;
            t.start();
            job();
            v.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("  %-42s %10.1f\n", what, median(v));
    };
    std::printf("pieces (median ms):\n");
    piece("name analysis (strip, date prefix)", [&] {
        int dated = 0;
        for (const QString& name : host.files.FileNames)
            dated += !GetDatePrefix(StripCameraWords(StripPictureExtensions(name))).isEmpty();
        if (dated < 0)
            std::printf("-");
    });
    piece("planSetDates (no file touched)", [&] { planSetDates(host.files, setOptions); });
    piece("FileTimesBatch reads", [&] {
        FileTimesBatch b;
        FileTimes t;
        for (int i = 0; i < n; ++i)
            b.read(host.files.FileDirs.at(i), host.files.FileNames.at(i), t);
    });
    piece("ReadFileTimes (full paths)", [&] {
        FileTimes t;
        for (int i = 0; i < n; ++i)
            ReadFileTimes(host.files.fullPath(i), t);
    });
    piece("FileTimesBatch writes", [&] {
        FileTimesBatch b;
        const QDateTime noon = localDateTime(QDate(2019, 11, 11), QTime(12, 0));
        for (int i = 0; i < n; ++i)
            b.write(host.files.FileDirs.at(i), host.files.FileNames.at(i), noon, noon, noon);
    });

    int restored = 0;
    for (const Saved& sv : saved)
        restored += utimensat(AT_FDCWD, sv.path.constData(), sv.times, 0) == 0;

    const double mu = median(u), ms = median(s), mx = median(x), mp = median(p), mc = median(c);
    std::printf("%d files below %s, median of %d alternating runs\n", n, qPrintable(host.dirText),
                runs);
    std::printf("%-44s %10s %10s %8s\n", "job", "ours ms", "plain ms", "ratio");
    std::printf("%-44s %10.1f %10.1f %8.2f\n", "Datum aendern (name, else fixed date)", ms, mu,
                ms / mu);
    std::printf("%-44s %10.1f %10.1f %8.2f\n", "  stat + utimensat loop (read-only check)", mc, mu,
                mc / mu);
    std::printf("%-44s %10.1f %10.1f %8.2f\n", "Datum aendern, noted in the undo journal",
                median(j), mu, median(j) / mu);
    std::printf("%-44s %10.1f %10.1f %8.2f\n", "date into names: plan and script text", mp, mx,
                mp / mx);
    std::printf("script lines for %d renames; last status: %s\n", renames,
                qPrintable(host.person_.status));
    std::printf("peak memory: %ld KiB (after collecting the list: %ld KiB)\n", peakKiB(),
                afterCollect);
    std::printf("times put back on %d of %d files\n", restored, n);
    return restored == n ? 0 : 1;
}
