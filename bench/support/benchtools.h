#pragma once

#include <algorithm>
#include <vector>

#include "core/filecollector.h"

namespace kadrano::bench {

// A collection without a window to report to.
class QuietObserver : public CollectObserver {
public:
    void collectStatus(const QString&) override {}
    void collectProcessEvents() override {}
    bool collectCancelRequested() const override { return false; }
};

// The median; of an even count the mean of the two middle values. 0 for no values.
inline double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace kadrano::bench
