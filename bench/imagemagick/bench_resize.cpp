// The resize script of 200 corpus pictures run by kadrano-bat, against the same convert
// commands run from a shell script, alternating in one run on fresh copies of the pictures.
// ImageMagick does the work either way; the figure shows what the interpreter adds.
//
//   bench_resize --tree DIR --work DIR [--pictures N] [--pairs N] [--max-pixel N]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/filecollector.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "imagemagick/resize.h"
#include "support/benchtools.h"
#include "support/processtimer.h"

namespace {

// Runs the program with its output to /dev/null; the wall time in seconds.
double run(const std::vector<std::string>& args, int* status) {
    const kadrano::bench::ProgramRun r = kadrano::bench::runProgram(args);
    *status = r.exitCode;
    return r.seconds;
}

// Copies the chosen pictures into a fresh folder; returns the list there.
kadrano::FileList freshCopies(const kadrano::FileList& chosen, const QString& dir) {
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    kadrano::FileList copies;
    for (int i = 0; i < chosen.count(); ++i) {
        const QString name =
            QStringLiteral("%1_%2").arg(i, 3, 10, QChar(u'0')).arg(chosen.FileNames[i]);
        QFile::copy(chosen.fullPath(i), dir + name);
        copies.append(name, dir);
    }
    return copies;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString tree, work;
    int pictures = 200, pairs = 3;
    QString maxPixel = QStringLiteral("1000");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--tree"))
            tree = args[++i];
        else if (args[i] == QLatin1String("--work"))
            work = args[++i];
        else if (args[i] == QLatin1String("--pictures"))
            pictures = args[++i].toInt();
        else if (args[i] == QLatin1String("--pairs"))
            pairs = args[++i].toInt();
        else if (args[i] == QLatin1String("--max-pixel"))
            maxPixel = args[++i];
    }
    if (tree.isEmpty() || work.isEmpty()) {
        std::fputs("usage: bench_resize --tree DIR --work DIR [--pictures N] [--pairs N]\n",
                   stderr);
        return 2;
    }
    kadrano::bench::QuietObserver obs;
    const kadrano::FileList all =
        kadrano::collectPictureFiles(kadrano::AddSeparator(tree), QStringLiteral("*.jpg"), true,
                                     kadrano::Language::German, obs)
            .files;
    if (all.count() < pictures) {
        std::fputs("the tree holds too few pictures\n", stderr);
        return 1;
    }
    // Spread over the whole tree: every size and kind of picture takes part.
    kadrano::FileList chosen;
    for (int k = 0; k < pictures; ++k) {
        const int i = int(qint64(k) * all.count() / pictures);
        chosen.append(all.FileNames[i], all.FileDirs[i]);
    }

    const QString bat = QStringLiteral(KADRANO_BAT_PATH);
    const QString dir = kadrano::AddSeparator(work) + QStringLiteral("pictures/");
    kadrano::ResizeOptions options;  // ImageMagick 6: lines begin with the bare "convert"
    options.maxPixel = maxPixel;
    options.quality = 90;
    std::vector<double> batTimes, shellTimes;
    int batFailed = 0, shellFailed = 0;
    for (int p = 0; p < pairs; ++p) {
        for (int which = 0; which < 2; ++which) {
            const kadrano::FileList copies = freshCopies(chosen, dir);
            const kadrano::ResizePlan plan = kadrano::planResize(copies, options);
            int status = 0;
            if (which == 0) {
                const QString script = dir + QLatin1String(kadrano::kResizeScript);
                kadrano::writeScriptFile(script, plan.lines);
                batTimes.push_back(
                    run({bat.toStdString(), script.toStdString(), "14:05"}, &status));
                batFailed += status != 0;
            } else {
                // The same convert lines; the corpus names need no quoting in either language.
                QByteArray sh("#!/bin/sh\n");
                for (const QString& line : plan.lines)
                    if (line.startsWith(QLatin1String(" convert ")))
                        sh += line.trimmed().toUtf8() + '\n';
                const QString script = work + QStringLiteral("/resize.sh");
                QFile f(script);
                if (!f.open(QIODevice::WriteOnly))
                    return 1;
                f.write(sh);
                f.close();
                shellTimes.push_back(run({"/bin/sh", script.toStdString()}, &status));
                shellFailed += status != 0;
            }
        }
        std::printf("pair %d: kadrano-bat %.2f s, sh %.2f s\n", p + 1, batTimes.back(),
                    shellTimes.back());
        std::fflush(stdout);
    }
    const double b = kadrano::bench::median(batTimes), s = kadrano::bench::median(shellTimes);
    std::printf(
        "resize of %d pictures (max %s px): kadrano-bat median %.2f s, sh median %.2f s, "
        "ratio %.3f (goal <= 1.05)%s\n",
        pictures, qPrintable(maxPixel), b, s, b / s,
        batFailed || shellFailed ? "  [a run reported errors]" : "");
    QDir(work).removeRecursively();
    return 0;
}
