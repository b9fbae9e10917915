#pragma once

#include <QElapsedTimer>

namespace kadrano {

// Tells a long loop when to show its progress and let the window's events run: the first
// time it asks, then at most once per interval. Handling events after every item costs
// far more than the item itself (tens of thousands of repaints and caption changes); a
// few times a second keeps the window just as alive. An interval of 0 says yes each time.
class EventPacer {
public:
    explicit EventPacer(int intervalMs = 80) : intervalMs_(intervalMs) {}
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
