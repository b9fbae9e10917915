// bench_batch_rename [FILES] [RUNS]
//
// Renames FILES files (10,000 unless given) in a fresh folder, RUNS times (5 unless given),
// each time in five ways:
//   kadrano-bat   the script a rename tool writes (header, a progress line and a ren line
//                 per file) run by kadrano-bat with its output to /dev/null,
//   bat | pipe    the same with the output read from a pipe, as the console window reads it,
//   bat journal   kadrano-bat noting each rename in an undo journal, as when the window runs it,
//   mv loop       a shell loop that runs mv once per file,
//   rename()      a plain C++ loop of rename() over names worked out beforehand.
// Prints the median time of each and its ratio to the plain loop, and how long reading the
// journal of one run takes.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/scripttext.h"
#include "core/undojournal.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Mostly ordinary camera names, some with blanks and characters that need quotes, as in a
// real picture folder.
QString pictureName(int i) {
    switch (i % 10) {
        case 3:
            return QStringLiteral("Urlaub 2019 (%1).jpg").arg(i);
        case 7:
            return QStringLiteral("Tom&Jerry_%1.jpg").arg(i);
        default:
            return QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QChar(u'0'));
    }
}

QString newName(int i) {
    return QStringLiteral("%1#").arg(i % 9973, 4, 10, QChar(u'0')) + pictureName(i);
}

void makeFiles(const QString& dir, int count) {
    QDir().mkpath(dir);
    for (int i = 0; i < count; ++i) {
        QFile f(dir + u'/' + pictureName(i));
        if (!f.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(f.fileName()));
            std::exit(1);
        }
    }
}

int countRenamed(const QString& dir, int count) {
    int n = 0;
    for (int i = 0; i < count; ++i)
        n += QFile::exists(dir + u'/' + newName(i)) ? 1 : 0;
    return n;
}

// Runs a program and waits; stdout to /dev/null or read from a pipe until it closes.
double runTimed(const std::vector<std::string>& args, bool readPipe) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    int fds[2] = {-1, -1};
    if (readPipe) {
        if (pipe(fds) != 0)
            std::exit(1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    if (readPipe) {
        close(fds[1]);
        char buf[65536];
        while (read(fds[0], buf, sizeof buf) > 0) {
        }
        close(fds[0]);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "warning: %s ended with status %d\n", argv[0], status);
    return ms;
}

// With a journal named, kadrano-bat notes every rename for "Rückgängig", as it does when
// the window runs a script.
double viaInterpreter(const QString& dir, int count, bool readPipe,
                      const QString& journal = QString()) {
    kadrano::ScriptBuilder script;
    for (int i = 0; i < count; ++i) {
        script.addProgress(i, count);
        script.add(QStringLiteral("ren ") + kadrano::ScriptArg(dir + u'/' + pictureName(i)) + u' ' +
                   kadrano::ScriptArg(newName(i)));
    }
    script.finish(false);
    const QString path = dir + QStringLiteral("/_Rename_Custom.bat");
    if (!kadrano::WriteScriptFile(path, script.lines()))
        std::exit(1);
    if (!journal.isEmpty())
        qputenv(kadrano::kUndoJournalVariable, QFile::encodeName(journal));
    const double ms =
        runTimed({KADRANO_BAT_PATH, QFile::encodeName(path).toStdString(), "14:05"}, readPipe);
    qunsetenv(kadrano::kUndoJournalVariable);
    return ms;
}

double viaMvLoop(const QString& dir, int count) {
    // The shell reads the old and new path of each file from a list and runs mv once per
    // file: the way the job is done without us.
    QFile list(dir + QStringLiteral("/_names.txt"));
    if (!list.open(QIODevice::WriteOnly))
        std::exit(1);
    for (int i = 0; i < count; ++i)
        list.write(
            (dir + u'/' + pictureName(i) + u'\n' + dir + u'/' + newName(i) + u'\n').toUtf8());
    list.close();
    const std::string loop =
        "while IFS= read -r from && IFS= read -r to; do mv -n -- \"$from\" \"$to\"; done < \"$1\"";
    return runTimed({"/bin/sh", "-c", loop, "sh", QFile::encodeName(list.fileName()).toStdString()},
                    false);
}

double viaRenameLoop(const QString& dir, int count) {
    std::vector<std::string> from, to;
    for (int i = 0; i < count; ++i) {
        from.push_back(QFile::encodeName(dir + u'/' + pictureName(i)).toStdString());
        to.push_back(QFile::encodeName(dir + u'/' + newName(i)).toStdString());
    }
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        if (std::rename(from[size_t(i)].c_str(), to[size_t(i)].c_str()) != 0)
            std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (count <= 0 || runs <= 0) {
        std::fputs("Usage: bench_batch_rename [FILES] [RUNS]\n", stderr);
        return 1;
    }
    QTemporaryDir base(QDir::tempPath() + QStringLiteral("/kadrano-bench-XXXXXX"));
    struct Way {
        const char* name;
        std::function<double(const QString&)> run;
        std::vector<double> times;
    };
    std::vector<Way> ways = {
        {"kadrano-bat", [&](const QString& d) { return viaInterpreter(d, count, false); }, {}},
        {"bat | pipe", [&](const QString& d) { return viaInterpreter(d, count, true); }, {}},
        {"bat journal",
         [&](const QString& d) {
             return viaInterpreter(d, count, false, d + QStringLiteral("/../run.journal"));
         },
         {}},
        {"mv loop", [&](const QString& d) { return viaMvLoop(d, count); }, {}},
        {"rename()", [&](const QString& d) { return viaRenameLoop(d, count); }, {}},
    };
    std::vector<double> journalReads;
    std::printf("Renaming %d files, %d runs each (median shown)\n", count, runs);
    for (int r = 0; r < runs; ++r) {
        for (size_t w = 0; w < ways.size(); ++w) {
            const QString dir = base.path() + QStringLiteral("/run%1-%2").arg(r).arg(w);
            makeFiles(dir, count);
            ways[w].times.push_back(ways[w].run(dir));
            const int renamed = countRenamed(dir, count);
            if (renamed != count) {
                std::fprintf(stderr, "%s renamed only %d of %d files\n", ways[w].name, renamed,
                             count);
                return 1;
            }
            QDir(dir).removeRecursively();
        }
        // What the window reads to show the button: the journal of this round's run.
        const QString journal = base.path() + QStringLiteral("/run.journal");
        const auto start = Clock::now();
        const kadrano::UndoJournal j = kadrano::UndoJournal::Read(journal);
        journalReads.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (j.runs().size() != 1 || j.runs()[0].renamedCount() != count) {
            std::fprintf(stderr, "the journal does not hold the %d renames\n", count);
            return 1;
        }
        QFile::remove(journal);
    }
    const double plain = median(ways.back().times);
    for (const Way& w : ways) {
        const double m = median(w.times);
        std::printf("%-12s %9.1f ms  %7.2f us/file  %7.2f x rename()\n", w.name, m,
                    1000.0 * m / count, m / plain);
    }
    std::printf("reading the journal of %d renames: %.1f ms\n", count, median(journalReads));
    return 0;
}
