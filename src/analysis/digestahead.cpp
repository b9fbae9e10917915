#include "digestahead.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "md5/filereader.h"
#include "md5/md5.h"

namespace kadrano {

// One file in work: its reader and its one chunk (its digest is a lane of the worker's). The chunk
// always starts at a block boundary of the file, so whole blocks can go to the digest without
// copying; a tail shorter than a block moves to the front before the next read.
struct DigestAhead::Lane {
    int index = -1;  // the file, -1 while the lane is idle
    FileReader file;
    std::unique_ptr<std::uint8_t[]> chunk{new std::uint8_t[kMd5ChunkSize]};
    std::size_t begin = 0;
    std::size_t end = 0;
    bool atEnd = false;
    ContentStamp stamp;

    std::size_t available() const { return end - begin; }
    const std::uint8_t* data() const { return chunk.get() + begin; }

    bool start(int k, const QString& path, bool withStamp) {
        index = k;
        begin = end = 0;
        atEnd = false;
        stamp = ContentStamp();
        if (!file.open(path))
            return false;
        if (withStamp)
            stamp = file.stamp();
        return true;
    }
    void finish() {
        file.close();
        index = -1;
    }
    // Reads until a whole block is there or the file has ended; false on a read error.
    bool fill() {
        while (!atEnd && available() < 64) {
            if (begin > 0) {
                std::memmove(chunk.get(), data(), available());
                end -= begin;
                begin = 0;
            }
            const std::int64_t got = file.read(chunk.get() + end, kMd5ChunkSize - end);
            if (got < 0)
                return false;
            if (got == 0)
                atEnd = true;
            end += std::size_t(got);
        }
        return true;
    }
};

namespace {

// Room for every lane four times over: a lane whose next file has no room stays empty,
// and with less room the lanes wait on the caller taking the results (measured: at twice
// over a sixth of the lane work was empty, at four times a twentieth).
int defaultLookAhead(int threads, Md5Kind kind) {
    return std::max(16, 4 * std::max(threads, 1) * Md5Lanes(kind).lanes());
}

}  // namespace

DigestAhead::DigestAhead(QStringList paths, int threads, int lookAhead, Md5Kind kind, bool stamps)
    : paths_(std::move(paths)),
      kind_(kind),
      lookAhead_(lookAhead > 0 ? lookAhead : defaultLookAhead(threads, kind)),
      withStamps_(stamps),
      results_(paths_.size()),
      stamps_(stamps ? paths_.size() : 0),
      done_(paths_.size(), 0) {
    threads = std::max(threads, 1);
    threads_.reserve(threads);
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

DigestAhead::~DigestAhead() {
    stop();
    for (std::thread& t : threads_)
        t.join();
}

void DigestAhead::stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    room_.notify_all();
    ready_.notify_all();
}

int DigestAhead::claim(bool mayWait) {
    const int count = int(paths_.size());
    std::unique_lock lock(mutex_);
    auto hasRoom = [&] { return next_ < taken_ + lookAhead_; };
    if (mayWait)
        room_.wait(lock, [&] { return stop_ || next_ >= count || hasRoom(); });
    if (stop_ || next_ >= count)
        return kNoMore;
    if (!hasRoom())
        return kNoRoom;
    return next_++;
}

bool DigestAhead::startNext(Lane& lane, bool mayWait) {
    for (;;) {
        const int k = claim(mayWait);
        if (k < 0)
            return k != kNoMore;
        if (lane.start(k, paths_.at(k), withStamps_))
            return true;
        lane.finish();
        publish(k, std::nullopt);
    }
}

void DigestAhead::publish(int k, std::optional<QString> digest, const ContentStamp& stamp) {
    bool wake;
    {
        std::lock_guard lock(mutex_);
        results_[k] = std::move(digest);
        if (withStamps_)
            stamps_[k] = stamp;
        done_[k] = 1;
        wake = k == awaited_;
    }
    if (wake)
        ready_.notify_all();
}

void DigestAhead::work() {
    Md5Lanes md5(kind_);
    const int count = md5.lanes();
    std::vector<Lane> lanes(static_cast<std::size_t>(count));
    std::vector<const std::uint8_t*> data(static_cast<std::size_t>(count));
    for (;;) {
        if (stop_)
            return;
        // Idle lanes take a file when there is room for it; with nothing in work, wait.
        bool busy = false;
        for (int i = 0; i < count; ++i) {
            Lane& lane = lanes[std::size_t(i)];
            if (lane.index < 0) {
                startNext(lane, false);
                if (lane.index >= 0)
                    md5.start(i);
            }
            busy = busy || lane.index >= 0;
        }
        if (!busy) {
            if (!startNext(lanes[0], true))
                return;
            if (lanes[0].index < 0)
                continue;
            md5.start(0);
        }

        std::size_t blocks = SIZE_MAX;
        for (int i = 0; i < count; ++i) {
            Lane& lane = lanes[std::size_t(i)];
            if (lane.index < 0)
                continue;
            if (!lane.fill()) {
                const int k = lane.index;
                lane.finish();
                publish(k, std::nullopt);
            } else if (lane.atEnd && lane.available() < 64) {
                const QString digest = md5.finish(i, lane.data(), lane.available());
                const int k = lane.index;
                lane.finish();
                publish(k, digest, lane.stamp);
            } else {
                blocks = std::min(blocks, lane.available() / 64);
            }
        }
        if (blocks == SIZE_MAX)
            continue;
        // Every lane in work moves on by as many whole blocks as the shortest one holds;
        // that one reads its next chunk in the next round.
        for (int i = 0; i < count; ++i) {
            const Lane& lane = lanes[std::size_t(i)];
            data[std::size_t(i)] = lane.index >= 0 ? lane.data() : nullptr;
        }
        md5.update(data.data(), blocks);
        for (Lane& lane : lanes)
            if (lane.index >= 0)
                lane.begin += blocks * 64;
    }
}

bool DigestAhead::waitFor(int k, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (done_[k])
        return true;
    awaited_ = k;
    const bool done = ready_.wait_for(lock, timeout, [&] { return done_[k] != 0 || stop_; });
    awaited_ = -1;
    return done && done_[k];
}

std::optional<QString> DigestAhead::take(int k, ContentStamp* stamp) {
    std::optional<QString> digest;
    {
        std::lock_guard lock(mutex_);
        digest = std::move(results_[k]);
        if (stamp)
            *stamp = withStamps_ ? stamps_[k] : ContentStamp();
        results_[k].reset();
        taken_ = k + 1;
    }
    room_.notify_all();
    return digest;
}

}  // namespace kadrano
