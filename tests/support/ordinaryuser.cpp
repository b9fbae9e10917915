#include "ordinaryuser.h"

#include <QtGlobal>

#ifdef Q_OS_WIN

namespace kadrano::test {

void giveToOrdinaryUser(const QString&) {}

OrdinaryUserRun runAsOrdinaryUser(const std::function<QByteArray()>&) {
    return {false, QByteArray(), QStringLiteral("file modes are a POSIX matter")};
}

}  // namespace kadrano::test

#else

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kadrano::test {

namespace {

constexpr uid_t kNobody = 65534;

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

}  // namespace

void giveToOrdinaryUser(const QString& path) {
    if (::geteuid() != 0)
        return;
    if (::chown(QFile::encodeName(path).constData(), kNobody, kNobody) != 0)
        std::perror("chown to nobody");
}

OrdinaryUserRun runAsOrdinaryUser(const std::function<QByteArray()>& work) {
    OrdinaryUserRun run;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        run.reason = QStringLiteral("no pipe: ") + QString::fromLocal8Bit(std::strerror(errno));
        return run;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        run.reason = QStringLiteral("no fork: ") + QString::fromLocal8Bit(std::strerror(errno));
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return run;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        // First byte: 'R' ran, 'S' skipped (the rest then is the reason).
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            const QByteArray why = QByteArray("Scannot become nobody: ") + std::strerror(errno);
            writeAll(pipeFds[1], why.constData(), size_t(why.size()));
            ::_exit(0);
        }
        if (::geteuid() == 0) {
            const char why[] = "Sstill root after giving up the rights";
            writeAll(pipeFds[1], why, sizeof why - 1);
            ::_exit(0);
        }
        QByteArray answer = "R";
        try {
            answer += work();
        } catch (...) {
            answer = "Sthe check threw an exception";
        }
        writeAll(pipeFds[1], answer.constData(), size_t(answer.size()));
        ::_exit(0);  // no destructors, no test-framework reports from the copy
    }
    ::close(pipeFds[1]);
    QByteArray received;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        received.append(buffer, n);
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (received.isEmpty()) {
        run.reason = QStringLiteral("the child ended without an answer (status %1)").arg(status);
    } else if (received.startsWith('R')) {
        run.ran = true;
        run.answer = received.mid(1);
    } else {
        run.reason = QString::fromLocal8Bit(received.mid(1));
    }
    if (!run.ran)
        std::fprintf(stderr, "[ SKIPPED ] %s\n", qPrintable(run.reason));
    return run;
}

}  // namespace kadrano::test

#endif
