// Times the picture collection (breadth-first walk with sub-directories, "*.jpg") on real
// trees against `find DIR -iname '*.jpg'` in the same run, and reports peak memory.
//
//   bench_collect [--runs N] DIR...        compare against find
//   bench_collect --once DIR               one collection as a whole process (prints the count)
//   bench_collect --make-small DIR [N]     a tree of N small files (default 100,000)

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/filecollector.h"
#include "core/pathhelpers.h"
#include "support/benchtools.h"
#include "support/processtimer.h"

using kadrano::bench::median;
using kadrano::bench::peakKiB;

namespace {

// The window's observer in miniature: status texts are built and stored, and pending
// events are processed as often as the collection asks, so their cost is in the figure.
class Observer : public kadrano::CollectObserver {
public:
    QString status;
    int events = 0;
    void collectStatus(const QString& text) override { status = text; }
    void collectProcessEvents() override {
        ++events;
        QCoreApplication::processEvents();
    }
    bool collectCancelRequested() const override { return false; }
};

double collectOnce(const QString& dir, int* count) {
    Observer obs;
    QElapsedTimer t;
    t.start();
    const kadrano::CollectResult r = kadrano::collectPictureFiles(
        kadrano::AddSeparator(dir), QStringLiteral("*.jpg"), true, kadrano::Language::German, obs);
    const double ms = t.nsecsElapsed() / 1e6;
    if (count)
        *count = r.files.count();
    return ms;
}

// Runs a command with its output to /dev/null and returns the wall time in ms.
double runCommand(const std::vector<std::string>& args) {
    return kadrano::bench::runProgram(args).seconds * 1e3;
}

int makeSmallTree(const QString& dir, int files) {
    // 10 × 10 folders with files spread over them; a tenth not matching the pattern.
    int made = 0;
    for (int i = 0; made < files; ++i) {
        const QString sub = QStringLiteral("%1/s%2/t%3/").arg(dir).arg(i % 10).arg((i / 10) % 10);
        QDir().mkpath(sub);
        const QString name =
            (made % 10 == 9) ? QStringLiteral("f%1.png") : QStringLiteral("f%1.jpg");
        QFile f(sub + name.arg(made));
        if (f.open(QIODevice::WriteOnly))
            f.write("x");
        ++made;
    }
    std::printf("made %d files below %s\n", made, qPrintable(dir));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() >= 2 && args[0] == QLatin1String("--make-small"))
        return makeSmallTree(args[1], args.size() > 2 ? args[2].toInt() : 100000);
    if (args.size() == 2 && args[0] == QLatin1String("--once")) {
        int count = 0;
        collectOnce(args[1], &count);
        std::printf("%d\n", count);
        return 0;
    }
    int runs = 7;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = args[1].toInt();
        args = args.mid(2);
    }
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: bench_collect [--runs N] DIR...\n");
        return 2;
    }
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    std::printf("%-40s %8s %10s %10s %10s %8s %8s\n", "tree", "files", "ours ms", "ours+proc",
                "find ms", "ratio", "ratio p");
    for (const QString& dir : args) {
        int count = 0;
        collectOnce(dir, &count);  // warm the cache
        runCommand({"find", dir.toStdString(), "-iname", "*.jpg"});
        std::vector<double> ours, oursProcess, find;
        for (int r = 0; r < runs; ++r) {
            ours.push_back(collectOnce(dir, nullptr));
            oursProcess.push_back(runCommand({self, "--once", dir.toStdString()}));
            find.push_back(runCommand({"find", dir.toStdString(), "-iname", "*.jpg"}));
        }
        const double o = median(ours), op = median(oursProcess), f = median(find);
        std::printf("%-40s %8d %10.1f %10.1f %10.1f %8.2f %8.2f\n", qPrintable(dir.right(40)),
                    count, o, op, f, o / f, op / f);
    }
    std::printf("peak memory: this process %ld KiB (collected lists), children %ld KiB\n",
                peakKiB(), peakKiB(true));
    std::printf(
        "ratio = in-process collection / find; ratio p = whole process / find (median of %d)\n",
        runs);
    return 0;
}
