#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "output.h"

extern char** environ;

namespace kadrano::batch {

namespace {

// The programs running now, one slot each, for the signal handler to pass a stop on to.
// Blocks running side by side have one program each at most, and their number is capped
// well below the slots; a program that finds none free is still reached through its
// process group when the console window stops the script.
constexpr int kChildSlots = 256;
static_assert(std::atomic<pid_t>::is_always_lock_free, "used in a signal handler");
std::atomic<pid_t> g_children[kChildSlots];
std::atomic<int> g_stopSignal{0};
// The terminal settings to bring back when a signal arrives during "pause".
struct termios g_savedTerminal;
volatile sig_atomic_t g_terminalRaw = 0;

void onStopSignal(int sig) {
    g_stopSignal.store(sig);
    for (std::atomic<pid_t>& slot : g_children) {
        const pid_t child = slot.load();
        if (child > 0)
            ::kill(child, sig);
    }
    if (g_terminalRaw)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
}

int claimChildSlot(pid_t pid) {
    for (int i = 0; i < kChildSlots; ++i) {
        pid_t expected = 0;
        if (g_children[i].compare_exchange_strong(expected, pid))
            return i;
    }
    return -1;
}

// Waits until the program has ended, lets go of its slot while it is still a zombie (so
// a stop cannot hit another process that got its number meanwhile), then collects it.
int reapChild(pid_t pid, int slot) {
    siginfo_t info;
    while (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    if (slot >= 0)
        g_children[slot].store(0);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return 1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}

bool childHasEnded(pid_t pid) {
    siginfo_t info;
    info.si_pid = 0;
    return ::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// Reads what the program writes to the pipes until it has closed them, or until it has
// ended and nothing more is waiting (a program it started may keep a pipe open long after).
void collectOutput(pid_t pid, int outRead, int errRead, Output& capture) {
    struct pollfd fds[2];
    int streams[2];
    nfds_t count = 0;
    for (const auto& [fd, stream] : {std::pair{outRead, 1}, std::pair{errRead, 2}}) {
        if (fd < 0)
            continue;
        fds[count] = {fd, POLLIN, 0};
        streams[count] = stream;
        ++count;
    }
    char buffer[16384];
    bool ended = false;
    while (count > 0) {
        const int ready = ::poll(fds, count, ended ? 0 : 100);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0) {
            if (ended)
                break;
            ended = childHasEnded(pid);
            continue;
        }
        for (nfds_t i = 0; i < count;) {
            if (fds[i].revents == 0) {
                ++i;
                continue;
            }
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                capture.programOutput(streams[i], buffer, qsizetype(n));
                ++i;
            } else if (n < 0 && errno == EINTR) {
                ++i;
            } else {
                // The end of this stream: the last entry takes its place.
                --count;
                fds[i] = fds[count];
                streams[i] = streams[count];
            }
        }
    }
}

bool isExecutableFile(const char* path, int* error) {
    struct stat st;
    if (::stat(path, &st) != 0) {
        *error = errno;
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        *error = EISDIR;
        return false;
    }
    if (::access(path, X_OK) != 0) {
        *error = errno;
        return false;
    }
    return true;
}

}  // namespace

QByteArray findProgram(const QString& name, int* error) {
    *error = 0;
    if (name.isEmpty()) {
        *error = ENOENT;
        return QByteArray();
    }
    const QByteArray encoded = QFile::encodeName(name);
    if (name.contains(u'/')) {
        if (isExecutableFile(encoded.constData(), error))
            return encoded;
        return QByteArray();
    }
    const QByteArray path = qgetenv("PATH");
    *error = ENOENT;
    for (const QByteArray& dir : path.split(':')) {
        if (dir.isEmpty())
            continue;  // an empty entry would mean the current folder
        const QByteArray candidate = dir + '/' + encoded;
        int e = 0;
        if (isExecutableFile(candidate.constData(), &e)) {
            *error = 0;
            return candidate;
        }
        // A file of that name we may not run is worth telling, unless a later one runs.
        if (e == EACCES)
            *error = EACCES;
    }
    return QByteArray();
}

int runProgram(const QByteArray& path, const QList<QByteArray>& argv, int outFd, int* error,
               const ProgramSetup& setup) {
    *error = 0;
    std::vector<char*> args;
    args.reserve(size_t(argv.size()) + 1);
    for (const QByteArray& a : argv)
        args.push_back(const_cast<char*>(a.constData()));
    args.push_back(nullptr);

    // Pipes for the captured output, closed on exec: a program started meanwhile by
    // another thread must not hold their ends, or the reader would wait for it as well.
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    const auto closePipes = [&] {
        for (int* fd : {&outPipe[0], &outPipe[1], &errPipe[0], &errPipe[1]}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    };
    if (setup.capture) {
        if ((outFd < 0 && ::pipe2(outPipe, O_CLOEXEC) != 0) || ::pipe2(errPipe, O_CLOEXEC) != 0) {
            *error = errno;
            closePipes();
            return -1;
        }
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    else if (outPipe[1] >= 0)
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    if (errPipe[1] >= 0)
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    // The program gets the usual signal behaviour back, SIGPIPE included, which we ignore.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, path.constData(), &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        *error = rc;
        closePipes();
        return -1;
    }
    const int slot = claimChildSlot(pid);
    // A stop that came while the program was being started has not reached it yet.
    if (const int stop = g_stopSignal.load())
        ::kill(pid, stop);

    if (setup.capture) {
        ::close(outPipe[1]);
        ::close(errPipe[1]);
        outPipe[1] = errPipe[1] = -1;
        collectOutput(pid, outPipe[0], errPipe[0], *setup.capture);
        closePipes();
    }
    return reapChild(pid, slot);
}

int availableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0)
            return n;
    }
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? int(online) : 1;
}

void waitForKey() {
    char c;
    const bool terminal = ::isatty(STDIN_FILENO) == 1;
    struct termios raw;
    if (terminal && ::tcgetattr(STDIN_FILENO, &g_savedTerminal) == 0) {
        raw = g_savedTerminal;
        raw.c_lflag &= ~tcflag_t(ICANON | ECHO);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        g_terminalRaw = 1;
        ::tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    while (::read(STDIN_FILENO, &c, 1) < 0 && errno == EINTR && !g_stopSignal.load()) {
    }
    if (g_terminalRaw) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
        g_terminalRaw = 0;
    }
}

void installStopHandlers() {
    struct sigaction sa = {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no SA_RESTART: a waiting "pause" must notice
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(s, &sa, nullptr);
    // A reader that went away must not end the script halfway through its renames.
    ::signal(SIGPIPE, SIG_IGN);
}

int stopSignal() {
    return g_stopSignal.load();
}

void dieBySignal(int sig) {
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    std::_Exit(128 + sig);
}

}  // namespace kadrano::batch
