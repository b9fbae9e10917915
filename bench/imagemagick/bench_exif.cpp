// Times the EXIF turn tool's script writing on a real tree: the header of every picture is
// read to tell whether it needs a turn, and the script is written. Prints the time and the
// counts; with a manifest (path, kind, base, width, height, orientation) it checks them.
//
//   bench_exif --tree DIR [--manifest FILE] [--runs N]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/filecollector.h"
#include "core/pathhelpers.h"
#include "core/scripttext.h"
#include "imagemagick/exifrotate.h"
#include "support/benchtools.h"

namespace {

// Checks every picture the manifest describes (path, kind, base, width, height,
// orientation) against the header read: a tag above 1 must read as a turn, else upright.
// Returns the number of disagreements, or -1 without a readable manifest.
int checkAgainstManifest(const QString& path, int* checked) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QTextStream in(&file);
    in.readLine();
    int wrong = 0;
    *checked = 0;
    while (!in.atEnd()) {
        const QStringList cols = in.readLine().split(u'\t');
        // The manifest gives no orientation for the extra files beside the pictures.
        if (cols.size() < 6 || cols[1].startsWith(QLatin1String("nonmatch")))
            continue;
        const bool turn = cols[5].toInt() > 1;
        const kadrano::ExifTurn read = kadrano::readExifTurn(cols[0]);
        ++*checked;
        if (read != (turn ? kadrano::ExifTurn::Turn : kadrano::ExifTurn::Upright))
            ++wrong;
    }
    return wrong;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString tree, manifest;
    int runs = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--tree"))
            tree = args[++i];
        else if (args[i] == QLatin1String("--manifest"))
            manifest = args[++i];
        else if (args[i] == QLatin1String("--runs"))
            runs = args[++i].toInt();
    }
    if (tree.isEmpty()) {
        std::fputs("usage: bench_exif --tree DIR [--manifest FILE] [--runs N]\n", stderr);
        return 2;
    }
    kadrano::bench::QuietObserver obs;
    const kadrano::CollectResult collected = kadrano::collectPictureFiles(
        kadrano::AddSeparator(tree), QStringLiteral("*.jpg"), true, kadrano::Language::German, obs);
    QTemporaryDir work;
    const QString script = work.filePath(QLatin1String(kadrano::kExifRotateScript));

    std::vector<double> times;
    kadrano::ExifRotatePlan plan;
    for (int r = 0; r < std::max(1, runs); ++r) {
        QElapsedTimer t;
        t.start();
        plan = kadrano::planExifRotate(collected.files, {QStringLiteral("/usr/bin/magick"), true});
        if (!kadrano::writeScriptFile(script, plan.lines)) {
            std::fputs("cannot write the script\n", stderr);
            return 1;
        }
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "EXIF turn script for %d pictures: median %.0f ms (best %.0f ms, %d runs, warm "
        "cache)\n",
        collected.files.count(), times[times.size() / 2], times.front(), int(times.size()));
    std::printf(
        "  lines %d (mogrify lines %d): turned %d, left to ImageMagick %d, upright %d, "
        "unsafe %d\n",
        int(plan.lines.size()), plan.commands(), plan.turned, plan.unknown, plan.upright,
        plan.unsafe);
    if (!manifest.isEmpty()) {
        int checked = 0;
        const int wrong = checkAgainstManifest(manifest, &checked);
        std::printf("  manifest: %d pictures checked one by one, %d read wrongly\n", checked,
                    wrong);
        if (wrong != 0)
            return 1;
    }
    return 0;
}
