#include "fileparts.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace kadrano {

namespace {
// Below this many files one part does it all.
constexpr int kFilesForParts = 512;
constexpr int kMostParts = 4;
}  // namespace

void forEachFilePart(int count, const std::function<void(int, int, bool)>& work,
                     const std::function<void()>& whileWaiting) {
    if (count <= 0)
        return;
    const int parts = count < kFilesForParts
                          ? 1
                          : std::clamp(int(std::thread::hardware_concurrency()), 1, kMostParts);
    auto partStart = [&](int p) { return int((long long)count * p / parts); };
    std::atomic<int> othersDone{0};
    std::vector<std::thread> others;
    others.reserve(std::size_t(parts - 1));
    for (int p = 1; p < parts; ++p)
        others.emplace_back([&, p] {
            work(partStart(p), partStart(p + 1), false);
            othersDone.fetch_add(1);
        });
    work(0, partStart(1), true);
    if (whileWaiting) {
        while (othersDone.load() < parts - 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            whileWaiting();
        }
    }
    for (std::thread& t : others)
        t.join();
}

}  // namespace kadrano
