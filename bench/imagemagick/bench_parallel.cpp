// The three ImageMagick scripts the window writes (resize, EXIF turn, captions) on
// camera-size pictures, run by kadrano-bat with one job and with one per core, against the
// same ImageMagick lines one by one from a shell script and through GNU parallel with one
// job per core; each with ImageMagick's threads as they are (a thread per core) and with
// MAGICK_THREAD_LIMIT=1, which shows whether limiting each picture's threads pays. Variants
// alternate within each round on fresh copies of the pictures; every output is compared
// byte for byte with that of kadrano-bat with one job.
//
//   bench_parallel --pictures DIR --work DIR [--make N] [--rounds N] [--jobs N]
//                  [--tools resize,exif,caption]
//
// --make N first makes N pictures of 4000 x 3000 in DIR (plasma and noise, JPEG quality 92,
// an EXIF tag that asks for a quarter turn) unless DIR holds them already.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "batch/command.h"
#include "batch/expansion.h"
#include "core/filelist.h"
#include "core/scripttext.h"
#include "imagemagick/addtext.h"
#include "imagemagick/exifrotate.h"
#include "imagemagick/resize.h"
#include "support/benchtools.h"

extern char** environ;

namespace {

using kadrano::FileList;

std::string text(const QString& s) {
    return s.toStdString();
}

// Starts the program with the environment changed as given (a value of nullptr removes the
// variable), standard input from inFile when given, output to /dev/null. Returns its pid.
pid_t start(const std::vector<std::string>& args,
            const std::vector<std::pair<std::string, const char*>>& env,
            const std::string& inFile = {}) {
    std::vector<std::string> entries;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const auto& [name, value] : env)
            replaced = replaced || entry.rfind(name + '=', 0) == 0;
        if (!replaced)
            entries.push_back(entry);
    }
    for (const auto& [name, value] : env)
        if (value)
            entries.push_back(name + '=' + value);
    std::vector<char*> envp, argv;
    for (std::string& e : entries)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (!inFile.empty())
        posix_spawn_file_actions_addopen(&actions, 0, inFile.c_str(), O_RDONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for the program; its exit status, and the processor time it and the programs it
// waited for took (user and system) in *cpu when given.
int finish(pid_t pid, double* cpu = nullptr) {
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0)
        return -1;
    if (cpu)
        *cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Makes the pictures that are missing, as many at once as there are cores.
bool makePictures(const QString& dir, int count, int cores) {
    QDir().mkpath(dir);
    std::vector<pid_t> running;
    std::vector<QString> made;
    bool ok = true;
    const auto collect = [&] {
        ok = finish(running.front()) == 0 && ok;
        running.erase(running.begin());
    };
    for (int i = 1; i <= count; ++i) {
        const QString name = dir + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QChar(u'0'));
        if (QFile::exists(name))
            continue;
        const QString part = name + QStringLiteral(".part.jpg");
        // The shell makes the picture, tags it, and only then gives it its name.
        const std::string script =
            "convert -size 4000x3000 -seed " + std::to_string(i) +
            " plasma:fractal -attenuate 0.4 +noise Gaussian -quality 92 \"$1\" && exiftool -q -n "
            "-Orientation=6 -overwrite_original \"$1\" && mv \"$1\" \"$2\"";
        if (int(running.size()) >= cores)
            collect();
        running.push_back(start({"/bin/sh", "-c", script, "sh", text(part), text(name)}, {}));
        std::printf("making %s\n", qPrintable(name));
        std::fflush(stdout);
    }
    while (!running.empty())
        collect();
    return ok;
}

QString shellQuoted(const QString& s) {
    QString out = s;
    out.replace(u'\'', QLatin1String("'\\''"));
    return u'\'' + out + u'\'';
}

// The ImageMagick lines of a script as shell command lines (with the same arguments that
// kadrano-bat's reading gives them), and the folders its md lines make.
void shellLines(const QStringList& script, QStringList& commands, QStringList& folders) {
    using namespace kadrano::batch;
    const Parameters params = makeParameters(QStringLiteral("x.bat"), {QStringLiteral("14:05")});
    Variables vars;
    vars.set(QStringLiteral("Zeit"), QStringLiteral("14:05"), false);
    LineParser parser;
    for (const QString& line : script) {
        const Command c = parser.parse(expandPercents(line, params, vars));
        if (c.kind == CommandKind::Program) {
            QStringList quoted;
            for (const QString& a : c.args)
                quoted.append(shellQuoted(a));
            commands.append(quoted.join(u' '));
        } else if (c.kind == CommandKind::If && c.then && c.then->kind == CommandKind::MakeDir) {
            folders.append(c.then->args);
        }
    }
}

enum class Tool { Resize, Exif, Caption };

QStringList scriptFor(Tool tool, const FileList& files) {
    switch (tool) {
        case Tool::Resize:
            return kadrano::planResize(files, {}).lines;  // the window's defaults
        case Tool::Exif:
            return kadrano::planExifRotate(files, {}).lines;
        case Tool::Caption: {
            kadrano::AddTextOptions o;
            o.colour = QStringLiteral("rgb(255,250,250)");
            o.fontFile =
                QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf");
            o.pointSize = QStringLiteral("120");
            o.caption.keepName = true;
            return kadrano::planAddText(files, o).lines;
        }
    }
    return {};
}

const char* toolName(Tool tool) {
    switch (tool) {
        case Tool::Resize:
            return "resize (2000 px, quality 95)";
        case Tool::Exif:
            return "EXIF turn";
        case Tool::Caption:
            return "caption into Text-Included";
    }
    return "";
}

// The pictures a tool's run leaves, by name, with their digests.
QHash<QString, QByteArray> outputsOf(Tool tool, const QString& dir) {
    const QString where = tool == Tool::Caption ? dir + QStringLiteral("Text-Included/") : dir;
    QHash<QString, QByteArray> out;
    for (const QString& name : QDir(where).entryList({QStringLiteral("*.jpg")}, QDir::Files)) {
        QFile f(where + name);
        if (f.open(QIODevice::ReadOnly))
            out.insert(name, QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5));
    }
    return out;
}

struct Variant {
    enum Kind { OneByOne, Bat, GnuParallel } kind;
    int jobs;
    const char* threadLimit;  // MAGICK_THREAD_LIMIT, or nullptr for none
    std::string label;
};

double loadAverage() {
    double one = 0;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &one) != 1)
            one = 0;
        std::fclose(f);
    }
    return one;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString pictures, work;
    int make = 0, rounds = 3, jobs = int(sysconf(_SC_NPROCESSORS_ONLN));
    QStringList tools = {QStringLiteral("resize"), QStringLiteral("exif"),
                         QStringLiteral("caption")};
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--pictures"))
            pictures = args[++i];
        else if (args[i] == QLatin1String("--work"))
            work = args[++i];
        else if (args[i] == QLatin1String("--make"))
            make = args[++i].toInt();
        else if (args[i] == QLatin1String("--rounds"))
            rounds = args[++i].toInt();
        else if (args[i] == QLatin1String("--jobs"))
            jobs = args[++i].toInt();
        else if (args[i] == QLatin1String("--tools"))
            tools = args[++i].split(u',');
    }
    if (pictures.isEmpty() || work.isEmpty() || rounds < 1 || jobs < 1) {
        std::fputs(
            "usage: bench_parallel --pictures DIR --work DIR [--make N] [--rounds N] "
            "[--jobs N] [--tools resize,exif,caption]\n",
            stderr);
        return 2;
    }
    if (make > 0 && !makePictures(pictures, make, jobs)) {
        std::fputs("making the pictures failed\n", stderr);
        return 1;
    }
    const QStringList originals =
        QDir(pictures).entryList({QStringLiteral("p*.jpg")}, QDir::Files, QDir::Name);
    if (originals.isEmpty()) {
        std::fputs("no pictures\n", stderr);
        return 1;
    }
    const std::string bat = KADRANO_BAT_PATH;
    const std::string n = std::to_string(jobs);
    const QString dir = QDir(work).absolutePath() + QStringLiteral("/pictures/");
    const std::string scriptPath = text(dir) + "_Script.bat";
    const std::string shPath = text(work) + "/lines.sh";
    const std::string listPath = text(work) + "/lines.txt";

    std::vector<Variant> variants;
    for (const char* limit : {static_cast<const char*>(nullptr), "1"}) {
        const std::string l = limit ? ", MAGICK_THREAD_LIMIT=1" : "";
        variants.push_back({Variant::OneByOne, 1, limit, "one by one" + l});
        variants.push_back({Variant::Bat, 1, limit, "kadrano-bat --jobs 1" + l});
        variants.push_back({Variant::Bat, jobs, limit, "kadrano-bat --jobs " + n + l});
        variants.push_back({Variant::GnuParallel, jobs, limit, "GNU parallel -j " + n + l});
    }

    std::printf("%d pictures of %s, %d round(s), %d job(s), load %.2f at the start\n",
                int(originals.size()), qPrintable(pictures), rounds, jobs, loadAverage());
    bool allIdentical = true;
    for (const QString& toolText : tools) {
        const Tool tool = toolText == QLatin1String("exif")      ? Tool::Exif
                          : toolText == QLatin1String("caption") ? Tool::Caption
                                                                 : Tool::Resize;
        std::map<std::string, std::vector<double>> times, cpuTimes;
        std::map<std::string, int> differing, failures;
        std::vector<double> loads;
        QHash<QString, QByteArray> reference;
        for (int round = 0; round < rounds; ++round) {
            for (size_t k = 0; k < variants.size(); ++k) {
                // Each round starts one variant later, so none is always first or last.
                const Variant& v = variants[(k + size_t(round)) % variants.size()];
                QDir(dir).removeRecursively();
                QDir().mkpath(dir);
                FileList files;
                for (const QString& name : originals) {
                    QFile::copy(pictures + u'/' + name, dir + name);
                    files.append(name, dir);
                }
                const QStringList script = scriptFor(tool, files);
                kadrano::writeScriptFile(QString::fromStdString(scriptPath), script);
                QStringList commands, folders;
                shellLines(script, commands, folders);
                const std::vector<std::pair<std::string, const char*>> env = {
                    {"MAGICK_THREAD_LIMIT", v.threadLimit}};
                ::sync();
                loads.push_back(loadAverage());
                QElapsedTimer t;
                t.start();
                int status = 0;
                double cpu = 0;
                switch (v.kind) {
                    case Variant::Bat:
                        status = finish(
                            start({bat, "--jobs", std::to_string(v.jobs), scriptPath, "14:05"},
                                  env),
                            &cpu);
                        break;
                    case Variant::OneByOne: {
                        QFile sh(QString::fromStdString(shPath));
                        if (!sh.open(QIODevice::WriteOnly))
                            return 1;
                        for (const QString& f : folders)
                            sh.write("mkdir -p " + shellQuoted(f).toUtf8() + '\n');
                        sh.write(commands.join(u'\n').toUtf8() + '\n');
                        sh.close();
                        status = finish(start({"/bin/sh", shPath}, env), &cpu);
                        break;
                    }
                    case Variant::GnuParallel: {
                        for (const QString& f : folders)
                            QDir().mkpath(f);
                        QFile list(QString::fromStdString(listPath));
                        if (!list.open(QIODevice::WriteOnly))
                            return 1;
                        list.write(commands.join(u'\n').toUtf8() + '\n');
                        list.close();
                        status = finish(
                            start({"parallel", "-j", std::to_string(v.jobs)}, env, listPath), &cpu);
                        break;
                    }
                }
                const double seconds = t.nsecsElapsed() / 1e9;
                times[v.label].push_back(seconds);
                cpuTimes[v.label].push_back(cpu);
                if (status != 0)
                    ++failures[v.label];
                const QHash<QString, QByteArray> outputs = outputsOf(tool, dir);
                if (reference.isEmpty() && v.kind == Variant::Bat && v.jobs == 1)
                    reference = outputs;
                if (!reference.isEmpty() && outputs != reference)
                    ++differing[v.label];
                std::printf("  round %d %-50s %6.2f s (processor %6.2f s, load %.2f)%s\n",
                            round + 1, v.label.c_str(), seconds, cpu, loads.back(),
                            status != 0 ? "  [errors]" : "");
                std::fflush(stdout);
            }
        }
        const double loadMedian = kadrano::bench::median(loads);
        std::printf("\n%s, %d pictures, medians of %d (load during the runs: median %.2f)\n",
                    toolName(tool), int(originals.size()), rounds, loadMedian);
        std::printf("| variant | median s | processor s | outputs |\n|---|---:|---:|---|\n");
        for (const Variant& v : variants) {
            const double m = kadrano::bench::median(times[v.label]);
            const char* same = v.kind == Variant::Bat
                                   ? (differing[v.label] ? "DIFFER from --jobs 1" : "identical")
                                   : (differing[v.label] ? "differ" : "identical");
            if (v.kind == Variant::Bat && differing[v.label])
                allIdentical = false;
            std::printf("| %s | %.2f | %.2f | %s%s |\n", v.label.c_str(), m,
                        kadrano::bench::median(cpuTimes[v.label]), same,
                        failures[v.label] ? ", errors" : "");
        }
        const auto median = [&](const std::string& label) {
            return kadrano::bench::median(times[label]);
        };
        const std::string one = ", MAGICK_THREAD_LIMIT=1";
        const double batN = median("kadrano-bat --jobs " + n);
        const double gnu = median("GNU parallel -j " + n);
        const double batN1 = median("kadrano-bat --jobs " + n + one);
        const double gnu1 = median("GNU parallel -j " + n + one);
        const double seq1 = median("one by one" + one);
        std::printf(
            "kadrano-bat / GNU parallel: %.3f as they are, %.3f with MAGICK_THREAD_LIMIT=1 "
            "(goal <= 1.10)\n"
            "one by one / kadrano-bat --jobs %d with MAGICK_THREAD_LIMIT=1: %.2f times "
            "(goal >= %.2f)\n\n",
            batN / gnu, batN1 / gnu1, jobs, seq1 / batN1, 0.85 * jobs);
        std::fflush(stdout);
    }
    QDir(work).removeRecursively();
    std::printf("kadrano-bat outputs %s\n",
                allIdentical ? "byte-identical to --jobs 1" : "NOT all identical");
    return allIdentical ? 0 : 1;
}
