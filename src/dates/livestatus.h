#pragma once

#include <QElapsedTimer>

namespace kadrano {

// Paces the status updates of a loop over thousands of files: about ten a second keeps
// the window alive without building a status text for every file (which on a large
// folder would cost more than the work itself).
class LiveStatus {
public:
    LiveStatus() { timer_.start(); }
    // True when the status should be shown now: the interval has passed, or this is the
    // last file.
    bool due(bool last = false) {
        if (!last && timer_.elapsed() < kIntervalMs)
            return false;
        timer_.restart();
        return true;
    }

private:
    static constexpr qint64 kIntervalMs = 100;
    QElapsedTimer timer_;
};

}  // namespace kadrano
