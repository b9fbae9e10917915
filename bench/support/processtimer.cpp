#include "processtimer.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

namespace kadrano::bench {

namespace {

double secondsOfRusage(const rusage& ru) {
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

}  // namespace

ProgramRun runProgram(const std::vector<std::string>& argv, const ProgramOutput& output) {
    ProgramRun run;
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    int fds[2] = {-1, -1};
    if (output.readStdout && pipe(fds) == 0) {
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
    } else {
        const char* out = output.stdoutPath.empty() ? "/dev/null" : output.stdoutPath.c_str();
        posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    if (output.quietStderr)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (!output.workingDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, output.workingDir.c_str());

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (fds[1] >= 0)
        close(fds[1]);
    if (started != 0) {
        if (fds[0] >= 0)
            close(fds[0]);
        return run;
    }
    if (fds[0] >= 0) {
        char buffer[65536];
        while (read(fds[0], buffer, sizeof buffer) > 0) {
        }
        close(fds[0]);
    }
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = secondsOfRusage(ru);
    run.maxRssKiB = ru.ru_maxrss;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

double cpuSeconds(bool children) {
    if (children) {
        rusage ru{};
        getrusage(RUSAGE_CHILDREN, &ru);
        return secondsOfRusage(ru);
    }
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

long peakKiB(bool children) {
    rusage ru{};
    getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

}  // namespace kadrano::bench
