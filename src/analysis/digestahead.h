#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "md5/filestamp.h"
#include "md5/md5lanes.h"

namespace kadrano {

// Digests a list of files on worker threads, a few files ahead of the one the caller
// waits for, and hands the results out in list order. Reading and digesting is the whole
// cost of the duplicate search; with every core busy on it, and each core on two files
// side by side, the search runs at about the speed the files can be read at all, while
// the window's thread only collects results.
class DigestAhead {
public:
    // threads workers (at least one), each digesting as many files side by side as the
    // kind has lanes. They stay at most lookAhead files ahead of the file last taken, so a
    // stopped search wastes little work; 0 leaves room for every lane four times over.
    // With stamps, each file's stamp is taken as it is opened.
    DigestAhead(QStringList paths, int threads, int lookAhead = 0, Md5Kind kind = bestMd5Kind(),
                bool stamps = false);
    ~DigestAhead();
    DigestAhead(const DigestAhead&) = delete;
    DigestAhead& operator=(const DigestAhead&) = delete;

    // Waits up to timeout for file k's result; true once it is there.
    bool waitFor(int k, std::chrono::milliseconds timeout);
    // File k's digest, nothing when it could not be read, and its stamp when asked for.
    // Only after waitFor(k) was true; files are taken in order.
    std::optional<QString> take(int k, ContentStamp* stamp = nullptr);
    // Gives up the digests in progress (at their next chunk) and all that would follow.
    void stop();

private:
    struct Lane;
    static constexpr int kNoMore = -1;
    static constexpr int kNoRoom = -2;

    void work();
    int claim(bool mayWait);
    bool startNext(Lane& lane, bool mayWait);
    void publish(int k, std::optional<QString> digest, const ContentStamp& stamp = {});

    const QStringList paths_;
    const Md5Kind kind_;
    const int lookAhead_;
    const bool withStamps_;
    std::vector<std::optional<QString>> results_;
    std::vector<ContentStamp> stamps_;
    std::vector<char> done_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::condition_variable room_;
    int next_ = 0;      // first file no worker has started
    int taken_ = 0;     // files handed out
    int awaited_ = -1;  // the file the caller sleeps for
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

}  // namespace kadrano
