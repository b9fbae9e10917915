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

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace kadrano::bench
