#pragma once

#include <QElapsedTimer>

namespace kadrano {

// Says when an in-program loop should paint its status and let window events run again.
// Tens of thousands of repaints would take longer than the work itself, and a person
// reads no more than a few updates a second; ESC and Stop still get through within one
// interval.
class EventPacer {
public:
    // 0 or less: due on every call.
    explicit EventPacer(int intervalMs) : intervalMs_(intervalMs) {}
    bool due() {
        if (intervalMs_ <= 0)
            return true;
        if (timer_.isValid() && timer_.elapsed() < intervalMs_)
            return false;
        timer_.start();
        return true;
    }

private:
    int intervalMs_;
    QElapsedTimer timer_;
};

}  // namespace kadrano
