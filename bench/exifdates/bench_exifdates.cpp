// Times "Datum -> Dateinamen" with the date taken (EXIF) on a real tree against the
// cheapest loop the library allows and against exiftool, in the same run, alternating,
// and reports medians of wall and processor time:
//
//   date-into-names planning, EXIF on (names, stamps, EXIF blocks, script text)
//   a bare loop: open each picture with Exiv2, read its metadata, find DateTimeOriginal
//   exiftool -q -p '$DateTimeOriginal' -r DIR
//
//   bench_exifdates [--runs N] DIR

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <exiv2/exif.hpp>
#include <exiv2/image.hpp>
#include <functional>
#include <string>
#include <vector>

#include "core/filecollector.h"
#include "core/pathhelpers.h"
#include "dates/dateintonames.h"
#include "dates/exifdate.h"
#include "support/benchtools.h"
#include "support/processtimer.h"

using namespace kadrano;
using kadrano::bench::median;
using kadrano::bench::QuietObserver;

namespace {

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

// Runs job and measures it; children: the processor time of programs it started.
Timing measure(const std::function<void()>& job, bool children = false) {
    const double cpu = kadrano::bench::cpuSeconds(children);
    QElapsedTimer t;
    t.start();
    job();
    return {t.nsecsElapsed() / 1e6, (kadrano::bench::cpuSeconds(children) - cpu) * 1e3};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 5;
    if (args.size() >= 2 && args[0] == QLatin1String("--runs")) {
        runs = std::max(1, args[1].toInt());
        args = args.mid(2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_exifdates [--runs N] DIR\n");
        return 2;
    }
    const QString dir = AddSeparator(args[0]);
    QuietObserver quiet;
    const FileList files =
        collectPictureFiles(dir, QStringLiteral("*.jpg"), true, Language::German, quiet).files;
    const int n = files.count();
    if (n == 0) {
        std::fprintf(stderr, "no *.jpg below %s\n", qPrintable(dir));
        return 1;
    }
    std::vector<std::string> paths;
    paths.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
        paths.push_back(QFile::encodeName(files.fullPath(i)).toStdString());

    // The library set up once, as the program does (its warnings muted for both loops).
    ExifDate unused;
    readExifDate(files.fullPath(0), unused);

    DateIntoNamesOptions withExif;
    withExif.fromExif = true;
    DateIntoNamesOptions stampsOnly;
    int renames = 0, fromExif = 0, bareFound = 0, exiftoolLines = 0;

    auto ours = [&] {
        const DateIntoNamesPlan plan = planDateIntoNames(files, withExif);
        renames = plan.withoutDate;
        fromExif = plan.fromExif;
    };
    auto stamps = [&] { planDateIntoNames(files, stampsOnly); };
    auto bare = [&] {
        const Exiv2::ExifKey key("Exif.Photo.DateTimeOriginal");
        int found = 0;
        for (const std::string& path : paths) {
            try {
                const auto image = Exiv2::ImageFactory::open(path);
                image->readMetadata();
                const Exiv2::ExifData& exif = image->exifData();
                const auto it = exif.findKey(key);
                if (it != exif.end() && !it->toString().empty())
                    ++found;
            } catch (const std::exception&) {
            }
        }
        bareFound = found;
    };
    auto exiftool = [&] {
        QProcess p;
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start(QStringLiteral("exiftool"),
                {QStringLiteral("-q"), QStringLiteral("-p"), QStringLiteral("$DateTimeOriginal"),
                 QStringLiteral("-r"), args[0]});
        p.waitForFinished(-1);
        exiftoolLines = int(p.readAllStandardOutput().count('\n'));
    };

    struct Variant {
        const char* name;
        std::function<void()> job;
        bool child;
        std::vector<double> wall, cpu;
    };
    std::vector<Variant> variants = {
        {"date into names, EXIF on", ours, false, {}, {}},
        {"bare Exiv2 loop (DateTimeOriginal)", bare, false, {}, {}},
        {"exiftool -q -p '$DateTimeOriginal' -r", exiftool, true, {}, {}},
        {"date into names, EXIF off (stamps)", stamps, false, {}, {}},
    };
    // Warm the caches once, then alternate, each round in another order.
    for (Variant& v : variants)
        measure(v.job, v.child);
    const int k = int(variants.size());
    for (int r = 0; r < runs; ++r)
        for (int j = 0; j < k; ++j) {
            Variant& v = variants[std::size_t((r + j) % k)];
            const Timing t = measure(v.job, v.child);
            v.wall.push_back(t.wallMs);
            v.cpu.push_back(t.cpuMs);
        }

    const double ourWall = median(variants[0].wall), ourCpu = median(variants[0].cpu);
    std::printf("%d *.jpg below %s, median of %d alternating runs\n", n, qPrintable(dir), runs);
    std::printf("%-40s %10s %10s %9s %9s\n", "job", "wall ms", "cpu ms", "ours/it", "(cpu)");
    for (const Variant& v : variants) {
        const double w = median(v.wall), c = median(v.cpu);
        std::printf("%-40s %10.1f %10.1f %9.3f %9.3f\n", v.name, w, c, ourWall / w, ourCpu / c);
    }
    std::printf(
        "names given a date: %d, of them from EXIF: %d; bare loop found %d; "
        "exiftool printed %d dates\n",
        renames, fromExif, bareFound, exiftoolLines);
    return 0;
}
