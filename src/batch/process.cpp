#include "process.h"

#include <fcntl.h>
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

extern char** environ;

namespace kadrano::batch {

namespace {

std::atomic<pid_t> g_child{0};
volatile sig_atomic_t g_stopSignal = 0;
// The terminal settings to bring back when a signal arrives during "pause".
struct termios g_savedTerminal;
volatile sig_atomic_t g_terminalRaw = 0;

void onStopSignal(int sig) {
    g_stopSignal = sig;
    const pid_t child = g_child.load();
    if (child > 0)
        ::kill(child, sig);
    if (g_terminalRaw)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
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

QByteArray FindProgram(const QString& name, int* error) {
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

int RunProgram(const QByteArray& path, const QList<QByteArray>& argv, int outFd, int* error) {
    *error = 0;
    std::vector<char*> args;
    args.reserve(size_t(argv.size()) + 1);
    for (const QByteArray& a : argv)
        args.push_back(const_cast<char*>(a.constData()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
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
        return -1;
    }
    g_child.store(pid);
    // A stop that came while the program was being started has not reached it yet.
    if (g_stopSignal)
        ::kill(pid, g_stopSignal);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            status = 0;
            break;
        }
    }
    g_child.store(0);
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}

void WaitForKey() {
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
    while (::read(STDIN_FILENO, &c, 1) < 0 && errno == EINTR && !g_stopSignal) {
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

int StopSignal() {
    return g_stopSignal;
}

void dieBySignal(int sig) {
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    std::_Exit(128 + sig);
}

}  // namespace kadrano::batch
