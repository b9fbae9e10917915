// The orientation tagging run on a picture tree, driven through the same entry point the
// window's Start button uses (collect, measure every picture with the status line and
// event processing of a real label, plan, write the script), against in the same rounds
// ImageMagick's `identify -ping` over the same files and a bare loop of
// QImageReader::size(). Each runs as a child process, so wall time and peak memory are
// measured the same way for all; the rounds alternate and the median counts. The script
// is then checked against the corpus manifest, and the pictures whose EXIF turn makes
// them show the other way are counted.
//
//   bench_orientation --tree DIR [--manifest FILE] [--work DIR] [--rounds N]
//   bench_orientation --tag DIR --work DIR      (one tagging run; used by the above)
//   bench_orientation --bare LISTFILE            (the bare size loop; used by the above)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <QTime>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/benchdata.h"
#include "support/benchtools.h"
#include "support/fakehost.h"
#include "support/processtimer.h"

#include "analysis/orientation.h"
#include "analysis/orientationtagger.h"
#include "core/filecollector.h"
#include "core/pathhelpers.h"

using namespace kadrano;
using kadrano::bench::cpuSeconds;
using kadrano::bench::median;
using kadrano::bench::ProgramOutput;
using kadrano::bench::ProgramRun;
using kadrano::bench::runProgram;

namespace {

// ---------------------------------------------------------------- the headless run

// Shows the status on a real label and lets the application's events run, as the window
// does; answers the question with No (open in the editor, run nothing).
class LabelPerson : public Person {
public:
    QLabel status;
    int events = 0;
    int statuses = 0;
    QElapsedTimer clock;
    double measuringStarted = 0;
    double cpuMeasuringStarted = 0;
    double measuringEnded = 0;
    double cpuMeasuringEnded = 0;
    double questionAsked = 0;
    QString lastBox;

    int messageBox(const QString& text, int, const QString&) override {
        questionAsked = seconds();
        cpuAtQuestion = cpuSeconds();
        lastBox = text;
        return Mb::ResultNo;
    }
    void openInEditor(const QString&) override {}
    void openDocument(const QString&) override {}
    void openFolder(const QString&) override {}
    void setStatus(const QString& text) override {
        // The first status is the first picture's, shown after the collection.
        if (statuses++ == 0) {
            measuringStarted = seconds();
            cpuMeasuringStarted = cpuSeconds();
        }
        status.setText(text);
    }
    void processEvents() override {
        ++events;
        QApplication::processEvents();
    }
    double seconds() const { return double(clock.nsecsElapsed()) / 1e9; }
    double cpuAtQuestion = 0;
};

class NoRunner : public ScriptRunner {
public:
    int runAndWait(const QString&, const QStringList&) override { return kRunNotStarted; }
};

// Collects the tree but names the work folder as the chosen directory, so the script is
// written there and the shared corpus stays untouched.
class BenchHost : public test::FakeHost {
public:
    BenchHost(const QString& tree, const QString& work) : FakeHost(&runner_, &person_) {
        collectRoot = tree;
        dirText = work;
        withSubdirs = true;
        recorder.onProcessEvents = [] { QApplication::processEvents(); };
    }
    LabelPerson person_;
    NoRunner runner_;
};

class BenchView : public OrientationView {
public:
    QString button = QStringLiteral("Start ");
    QString startButtonText() const override { return button; }
    void setStartButtonText(const QString& t) override { button = t; }
};

int tagOnly(const QString& tree, const QString& work) {
    BenchHost host(AddSeparator(QDir(tree).absolutePath()), AddSeparator(work));
    // The window's status label has been painted long before a run: the font set-up of
    // the first text is start-up, not measuring.
    host.person_.status.setText(QStringLiteral("Bereit"));
    host.person_.status.grab();
    QApplication::processEvents();
    const double cpuAtStart = cpuSeconds();
    host.person_.clock.start();
    BenchView view;
    // The measuring loop ends with its last picture: planning and writing the script follow.
    int measuredCount = 0;
    LabelPerson& person = host.person_;
    OrientationTaggerOptions options;
    options.measure = [&](const QString& path) {
        const Orientation o = measureOrientation(path);
        if (++measuredCount == host.files.count()) {
            person.measuringEnded = person.seconds();
            person.cpuMeasuringEnded = cpuSeconds();
        }
        return o;
    };
    OrientationTagger tagger(options);
    tagger.startClicked(host, view, OrientationTagOptions{});
    const LabelPerson& p = host.person_;
    std::printf("files %d, status texts %d, event rounds %d\n", host.files.count(), p.statuses,
                p.events);
    std::printf("collected by %.3f s, measured from %.3f s to %.3f s, question at %.3f s\n",
                p.measuringStarted, p.measuringStarted, p.measuringEnded, p.questionAsked);
    std::printf("last status before the end: %s\n", qPrintable(p.status.text()));
    std::printf("run seconds %.6f cpu %.6f\n", p.questionAsked, p.cpuAtQuestion - cpuAtStart);
    std::printf("loop seconds %.6f cpu %.6f\n", p.measuringEnded - p.measuringStarted,
                p.cpuMeasuringEnded - p.cpuMeasuringStarted);
    return 0;
}

int bareLoop(const QString& listFile) {
    const double cpuAtStart = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QFile list(listFile);
    if (!list.open(QIODevice::ReadOnly))
        return 1;
    int portrait = 0, landscape = 0, unknown = 0;
    for (const QByteArray& p : list.readAll().split('\0')) {
        if (p.isEmpty())
            continue;
        const QSize s = QImageReader(QFile::decodeName(p)).size();
        if (!s.isValid())
            ++unknown;
        else if (s.width() < s.height())
            ++portrait;
        else
            ++landscape;
    }
    std::printf("portrait %d landscape %d unknown %d\n", portrait, landscape, unknown);
    std::printf("loop seconds %.6f cpu %.6f\n", double(clock.nsecsElapsed()) / 1e9,
                cpuSeconds() - cpuAtStart);
    return 0;
}

// ---------------------------------------------------------------- checking the result

QString belowTree(const QString& path) {
    static const QRegularExpression top(QStringLiteral("(?:^|/)(A\\d\\d/.*)$"));
    const QRegularExpressionMatch m = top.match(path);
    return m.hasMatch() ? m.captured(1) : path;
}

QString unquoted(QString arg) {
    if (arg.startsWith(u'"'))
        arg = arg.mid(1, arg.size() - 2);
    return arg.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

QSize identifiedSize(const QString& path) {
    QProcess identify;
    identify.start(QStringLiteral("identify"), {QStringLiteral("-ping"), QStringLiteral("-format"),
                                                QStringLiteral("%w %h"), path});
    identify.waitForFinished(-1);
    const QStringList wh = QString::fromUtf8(identify.readAllStandardOutput()).split(u' ');
    return wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].toInt()) : QSize();
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
                           const QString& scriptPath) {
    Check c;
    QFile mf(manifestPath);
    if (!mf.open(QIODevice::ReadOnly | QIODevice::Text)) {
        c.fail(QStringLiteral("manifest not readable: ") + manifestPath);
        return c;
    }
    // Every file "*.jpg" matches without regard to case, with its stored grid.
    QHash<QString, QString> expected;  // path below the tree -> tag
    int turnedOtherWay = 0;
    int turnCheckedByReader = 0;
    int sizedByIdentify = 0;
    QTextStream in(&mf);
    const QStringList head = in.readLine().split(u'\t');
    const int wCol = int(head.indexOf(QStringLiteral("width")));
    const int hCol = int(head.indexOf(QStringLiteral("height")));
    const int oCol = int(head.indexOf(QStringLiteral("orientation")));
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u'\t');
        if (f.size() <= std::max({wCol, hCol, oCol}))
            continue;
        const QString rel = belowTree(f[0]);
        if (!rel.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
            continue;
        int w = f[wCol].toInt();
        int h = f[hCol].toInt();
        if (w <= 0 || h <= 0) {
            // The corpus's upper-case extras carry no size in the manifest: ImageMagick
            // tells it instead.
            const QSize s = identifiedSize(tree + rel);
            w = s.width();
            h = s.height();
            ++sizedByIdentify;
        }
        expected.insert(rel, w < h ? QStringLiteral("[HF]") : QStringLiteral("[QF]"));
        // EXIF orientations 5 to 8 turn by a quarter: a non-square picture then shows
        // the other way than its stored grid, which is what gets measured.
        const int o = f[oCol].toInt();
        if (o >= 5 && o <= 8 && w != h) {
            ++turnedOtherWay;
            const QImageIOHandler::Transformations t = QImageReader(tree + rel).transformation();
            if (t & QImageIOHandler::TransformationRotate90)
                ++turnCheckedByReader;
        }
    }

    QHash<QString, QString> tagged;
    QFile sf(scriptPath);
    if (sf.open(QIODevice::ReadOnly)) {
        static const QRegularExpression ren(
            QStringLiteral("^ren (\"[^\"]*\"|\\S+) (\"[^\"]*\"|\\S+)$"));
        for (const QString& l : QString::fromUtf8(sf.readAll()).split(QStringLiteral("\r\n"))) {
            const QRegularExpressionMatch m = ren.match(l);
            if (!m.hasMatch())
                continue;
            const QString source = belowTree(unquoted(m.captured(1)));
            tagged.insert(source, unquoted(m.captured(2)).left(4));
        }
    }
    int wrong = 0, missing = 0;
    int portrait = 0;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const auto found = tagged.constFind(it.key());
        if (found == tagged.cend())
            ++missing;
        else if (*found != it.value())
            ++wrong;
        portrait += it.value() == QLatin1String("[HF]");
    }
    const int extra = int(tagged.size()) - (int(expected.size()) - missing);
    if (wrong || missing || extra)
        c.fail(QStringLiteral("%1 wrong tags, %2 files without a line, %3 lines for other files")
                   .arg(wrong)
                   .arg(missing)
                   .arg(extra));
    else
        c.notes.append(QStringLiteral("every one of the %1 files tagged as its manifest width "
                                      "and height say (%4 without a size there as identify "
                                      "says): %2 portrait, %3 landscape")
                           .arg(expected.size())
                           .arg(portrait)
                           .arg(expected.size() - portrait)
                           .arg(sizedByIdentify));
    c.notes.append(QStringLiteral("%1 pictures show the other way once their EXIF turn is "
                                  "applied (tagged by their stored grid); the reader sees the "
                                  "quarter turn in %2 of them")
                       .arg(turnedOtherWay)
                       .arg(turnCheckedByReader));
    if (turnCheckedByReader != turnedOtherWay)
        c.fail(QStringLiteral("the reader and the manifest disagree on EXIF turns"));
    return c;
}

// ---------------------------------------------------------------- the comparison

struct Entry {
    Entry(const char* n, std::vector<std::string> a) : name(n), argv(std::move(a)) {}
    const char* name;
    std::vector<std::string> argv;
    std::vector<double> seconds, cpu;          // the child process, start to end
    std::vector<double> runSeconds, runCpu;    // inside it: click to question (tagging)
    std::vector<double> loopSeconds, loopCpu;  // inside it: the measuring loop alone
    long maxRssKiB = 0;
    bool failed = false;
};

QString fixed(const std::vector<double>& v) {
    return v.empty() ? QStringLiteral("-") : QString::number(median(v), 'f', 3);
}

int compare(const QString& treeArg, const QString& manifest, const QString& workArg, int rounds) {
    const QString tree = AddSeparator(QDir(treeArg).absolutePath());
    const QString work = QDir(workArg).absolutePath();
    QDir().mkpath(work);
    const std::string w = work.toStdString();

    struct Quiet : CollectObserver {
        void collectStatus(const QString&) override {}
        void collectProcessEvents() override {}
        bool collectCancelRequested() const override { return false; }
    } quiet;
    const FileList files =
        collectPictureFiles(tree, QStringLiteral("*.jpg"), true, Language::German, quiet).files;
    {
        QFile list(work + QStringLiteral("/files.nul"));
        if (!list.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < files.count(); ++i) {
            const QByteArray p = QFile::encodeName(files.fullPath(i));
            list.write(p.constData(), p.size() + 1);
        }
    }
    const std::string nul = w + "/files.nul";
    std::printf("tree %s: %d files matching *.jpg\n", qPrintable(tree), files.count());

    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    std::vector<Entry> entries = {
        {"kadrano tagging run", {self, "--tag", tree.toStdString(), "--work", w}},
        {"bare QImageReader::size()", {self, "--bare", nul}},
        {"identify -ping",
         {"sh", "-c", "xargs -0 -a '" + nul + "' identify -ping -format '%w %h\\n' > /dev/null"}},
    };
    // Everything in the page cache first.
    ProgramOutput silent;
    silent.quietStderr = true;
    runProgram({"sh", "-c", "xargs -0 -a '" + nul + "' cat > /dev/null"}, silent);

    const std::string report = w + "/tag-report.txt";
    const std::string bareReport = w + "/bare-report.txt";
    static const QRegularExpression loopLine(
        QStringLiteral("loop seconds ([0-9.]+) cpu ([0-9.]+)"));
    static const QRegularExpression runLine(QStringLiteral("run seconds ([0-9.]+) cpu ([0-9.]+)"));
    for (int r = 0; r < rounds; ++r) {
        for (size_t i = 0; i < entries.size(); ++i) {
            Entry& e = entries[i];
            const std::string out = i == 0 ? report : i == 1 ? bareReport : std::string();
            ProgramOutput output = silent;
            output.stdoutPath = out;
            const ProgramRun m = runProgram(e.argv, output);
            e.seconds.push_back(m.seconds);
            e.cpu.push_back(m.cpuSeconds);
            e.maxRssKiB = std::max(e.maxRssKiB, m.maxRssKiB);
            e.failed = e.failed || m.exitCode != 0;
            QFile o(QString::fromStdString(out));
            if (!out.empty() && o.open(QIODevice::ReadOnly)) {
                const QString text = QString::fromUtf8(o.readAll());
                const QRegularExpressionMatch lm = loopLine.match(text);
                if (lm.hasMatch()) {
                    e.loopSeconds.push_back(lm.captured(1).toDouble());
                    e.loopCpu.push_back(lm.captured(2).toDouble());
                }
                const QRegularExpressionMatch rm = runLine.match(text);
                if (rm.hasMatch()) {
                    e.runSeconds.push_back(rm.captured(1).toDouble());
                    e.runCpu.push_back(rm.captured(2).toDouble());
                }
            }
        }
    }

    std::printf(
        "\nmedians of %d alternating rounds (warm page cache), seconds; wall time and "
        "processor time:\n",
        rounds);
    std::printf("  %-26s %8s %8s %9s %9s %9s %9s %8s\n", "", "wall", "cpu", "run wall", "run cpu",
                "loop wall", "loop cpu", "peak MB");
    for (const Entry& e : entries)
        std::printf("  %-26s %8.3f %8.3f %9s %9s %9s %9s %8.1f%s\n", e.name, median(e.seconds),
                    median(e.cpu), qPrintable(fixed(e.runSeconds)), qPrintable(fixed(e.runCpu)),
                    qPrintable(fixed(e.loopSeconds)), qPrintable(fixed(e.loopCpu)),
                    double(e.maxRssKiB) / 1024.0, e.failed ? "  (exit code != 0)" : "");
    std::printf(
        "  (wall, cpu: the child process from start to end; run: the tagging run from "
        "its click to its question, collection, planning and script included; loop: "
        "the measuring loop with its status texts and event processing, or the bare "
        "loop)\n");
    const Entry& tag = entries[0];
    const Entry& bare = entries[1];
    const Entry& identify = entries[2];
    std::printf(
        "  goal: tagging run <= 0.20 x identify -ping: %.3f x wall, %.3f x cpu "
        "(whole processes)\n",
        median(tag.seconds) / median(identify.seconds), median(tag.cpu) / median(identify.cpu));
    if (!tag.loopSeconds.empty() && !bare.loopSeconds.empty() && !tag.runSeconds.empty())
        std::printf(
            "  goal: measuring loop <= 1.25 x bare size loop: %.3f x wall, %.3f x cpu; "
            "the whole run %.3f x wall, %.3f x cpu; whole processes %.3f x wall, "
            "%.3f x cpu\n",
            median(tag.loopSeconds) / median(bare.loopSeconds),
            median(tag.loopCpu) / median(bare.loopCpu),
            median(tag.runSeconds) / median(bare.loopSeconds),
            median(tag.runCpu) / median(bare.loopCpu), median(tag.seconds) / median(bare.seconds),
            median(tag.cpu) / median(bare.cpu));

    QFile rep(QString::fromStdString(report));
    if (rep.open(QIODevice::ReadOnly)) {
        std::printf("\nlast tagging run reported:\n");
        for (const QString& l : QString::fromUtf8(rep.readAll()).split(u'\n', Qt::SkipEmptyParts))
            std::printf("  %s\n", qPrintable(l));
    }

    const Check check = checkAgainstManifest(
        tree, manifest, work + u'/' + QLatin1String(kOrientationTagScriptName));
    std::printf("\nmanifest check (%s):\n", qPrintable(manifest));
    for (const QString& n : check.notes)
        std::printf("  %s\n", qPrintable(n));
    std::printf("  %s\n", check.ok ? "OK" : "FAILED");
    return check.ok ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Only the tagging run paints a label (offscreen); the bare loop and the comparison
    // start no window system, so the bare loop's figure holds no start-up the run lacks.
    bool paints = false;
    for (int i = 1; i < argc; ++i)
        paints = paints || std::string(argv[i]) == "--tag";
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> appHolder;
    if (paints)
        appHolder = std::make_unique<QApplication>(argc, argv);
    else
        appHolder = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *appHolder;
    QString tree = bench::benchDataDir(QStringLiteral("photo-tree/tree"));
    QString manifest;
    QString work = bench::benchDataDir(QStringLiteral("orientation"));
    QString tagDir, bareList;
    int rounds = 7;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool more = i + 1 < args.size();
        if (a == QLatin1String("--tag") && more)
            tagDir = args[++i];
        else if (a == QLatin1String("--bare") && more)
            bareList = args[++i];
        else if (a == QLatin1String("--tree") && more)
            tree = args[++i];
        else if (a == QLatin1String("--manifest") && more)
            manifest = args[++i];
        else if (a == QLatin1String("--work") && more)
            work = args[++i];
        else if (a == QLatin1String("--rounds") && more)
            rounds = std::max(1, args[++i].toInt());
        else {
            std::fprintf(stderr, "unknown argument %s\n", qPrintable(a));
            return 1;
        }
    }
    if (!tagDir.isEmpty())
        return tagOnly(tagDir, work);
    if (!bareList.isEmpty())
        return bareLoop(bareList);
    if (manifest.isEmpty())
        manifest = QDir(tree).absoluteFilePath(QStringLiteral("../manifest.tsv"));
    return compare(tree, manifest, work, rounds);
}
