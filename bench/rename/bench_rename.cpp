// Planning times of the name shuffle and the restore over many names.
//
//   bench_rename [--files N] [--runs R]
//
// "plan" is the pure planning step; "run" is the tool as the window runs it, from the click
// to the moment the script would start: collection (a prepared list), planning with the
// window's caption and event handling on a shown widget, and writing the script. The script
// itself is not run. Run with QT_QPA_PLATFORM=offscreen where there is no display.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "rename/shuffle.h"
#include "support/benchtools.h"
#include "support/fakehost.h"

using namespace kadrano;
using kadrano::bench::median;

namespace {

class BenchPerson : public Person {
public:
    int events = 0;
    int statuses = 0;
    int messageBox(const QString&, int, const QString&) override { return Mb::ResultYes; }
    void openInEditor(const QString&) override {}
    void openDocument(const QString&) override {}
    void openFolder(const QString&) override {}
    void setStatus(const QString&) override { ++statuses; }
    void processEvents() override {
        ++events;
        QCoreApplication::processEvents();
    }
};

// Stops the clock when the script would start; nothing runs.
class StopwatchRunner : public ScriptRunner {
public:
    QElapsedTimer* clock = nullptr;
    double ms = 0;
    int runAndWait(const QString&, const QStringList&) override {
        ms = clock->nsecsElapsed() / 1e6;
        return 0;
    }
};

// The window as the tools see it, with a real widget for the caption.
class CaptionHost : public test::FakeHost {
public:
    CaptionHost(QWidget& window, const QString& dir, const FileList& prepared)
        : FakeHost(&runner_, &person_), window_(window) {
        dirText = dir;
        files = prepared;
        keepFiles = true;
        questionsOff = true;
        pattern = QStringLiteral("*.*");
    }
    BenchPerson person_;
    StopwatchRunner runner_;
    int captionCount = 0;

    QString caption() const override { return window_.windowTitle(); }
    void setCaption(const QString& t) override {
        ++captionCount;
        window_.setWindowTitle(t);
    }

private:
    QWidget& window_;
};

// A folder as a restore meets it: most names shuffled, some dated, some plain.
FileList makeNames(const QString& dir, int n) {
    FileList files;
    RandomSource random;
    for (int i = 0; i < n; ++i) {
        const QString number = QString::number(random.RandomInt(1, 9999)).rightJustified(4, u'0');
        QString name;
        switch (i % 10) {
            case 0:
                name = QStringLiteral("2019-07-%1 Strand %2.jpg").arg(i % 28 + 1).arg(i);
                break;
            case 1:
                name = QStringLiteral("IMG_%1.jpg").arg(i, 6, 10, QLatin1Char('0'));
                break;
            default:
                name = number + QStringLiteral("#Urlaub am Meer %1.jpg").arg(i);
                break;
        }
        files.append(name, dir);
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int count = 50000;
    int runs = 5;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--files"))
            count = args[++i].toInt();
        if (args[i] == QLatin1String("--runs"))
            runs = args[++i].toInt();
    }

    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    const FileList files = makeNames(dir, count);
    QWidget window;
    window.resize(400, 200);
    window.show();
    QCoreApplication::processEvents();

    std::vector<double> restorePlanMs, shufflePlanMs, restoreRunMs, shuffleRunMs;
    int events = 0, captions = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        const RestorePlan rp = planRestore(files, {QStringLiteral("#"), false}, ShuffleRecords());
        restorePlanMs.push_back(t.nsecsElapsed() / 1e6);
        if (rp.renames == 0)
            return 1;

        RandomSource random;
        t.restart();
        const RenamePlan sp = planShuffle(files, {QStringLiteral("#"), false}, random);
        shufflePlanMs.push_back(t.nsecsElapsed() / 1e6);
        if (sp.renames != count)
            return 1;

        {
            CaptionHost host(window, dir, files);
            QElapsedTimer clock;
            host.runner_.clock = &clock;
            clock.start();
            runRestore(host, {QStringLiteral("#")});
            restoreRunMs.push_back(host.runner_.ms);
            events = host.person_.events;
            captions = host.captionCount;
        }
        {
            CaptionHost host(window, dir, files);
            QElapsedTimer clock;
            host.runner_.clock = &clock;
            clock.start();
            RandomSource shuffleRandom;
            runShuffle(host, {QStringLiteral("#")}, shuffleRandom);
            shuffleRunMs.push_back(host.runner_.ms);
        }
        // Whatever a run left in the folder (its script, its notes) goes before the next.
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
    }

    std::printf("names: %d, runs: %d (median ms)\n", count, runs);
    std::printf("  restore plan            %9.1f ms\n", median(restorePlanMs));
    std::printf("  restore as the window   %9.1f ms  (%d event rounds, %d captions)\n",
                median(restoreRunMs), events, captions);
    std::printf("  shuffle plan            %9.1f ms\n", median(shufflePlanMs));
    std::printf("  shuffle as the window   %9.1f ms\n", median(shuffleRunMs));
    return 0;
}
