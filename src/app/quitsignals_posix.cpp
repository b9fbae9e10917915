#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

#include "quitsignals.h"

namespace kadrano {

namespace {

int signalPipe[2] = {-1, -1};

// A signal handler may only do what is safe at any moment: it writes one byte, and the
// window's thread does the closing when the byte arrives.
extern "C" void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(QWidget* window) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        window->close();
        // A question or the console may be waiting in an event loop of its own; ending
        // those loops would hand the code after them an answer nobody gave. Nothing is
        // left to save (a close by the frame saves nothing), so the program ends here.
        if (QApplication::activeModalWidget())
            ::_exit(0);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

}  // namespace kadrano
