#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "md5.h"

namespace kadrano {

// How many messages one core digests side by side. MD5 cannot be sped up within one
// message, but independent messages fit the lanes of a vector register.
enum class Md5Kind {
    Scalar,  // two messages interleaved in ordinary registers
    Avx2,    // eight lanes
    Avx512,  // sixteen lanes
};

// The widest kind this processor runs; every kind gives the same digests.
Md5Kind bestMd5Kind();
// Whether this processor (and this build) can run the kind.
bool md5KindRuns(Md5Kind kind);
const char* md5KindName(Md5Kind kind);

// Several MD5 messages digested together, one per lane. A lane is started, fed whole
// 64-byte blocks together with the other lanes, and finished with its last bytes; then it
// can start the next message while the others go on.
class Md5Lanes {
public:
    // A kind this processor cannot run (md5KindRuns) falls back to the scalar one.
    explicit Md5Lanes(Md5Kind kind = bestMd5Kind());

    Md5Kind kind() const { return kind_; }
    int lanes() const { return lanes_; }

    // Begins a new message in the lane.
    void start(int lane);
    // Appends blocks whole 64-byte blocks to the message of every lane that has data:
    // data[lane] points at that lane's bytes, or is null for a lane without a message,
    // whose state is of no meaning until it is started again.
    void update(const std::uint8_t* const* data, std::size_t blocks);
    // Appends the last length bytes (fewer than 64) and pads: the lane's digest text.
    QString finish(int lane, const std::uint8_t* tail, std::size_t length);

private:
    using Transform = void (*)(std::uint32_t*, const std::uint8_t* const*, std::size_t);

    Md5Kind kind_;
    int lanes_ = 2;
    Transform transform_ = nullptr;
    // Vector kinds: A of every lane, then B, C and D; the bytes digested per lane.
    std::vector<std::uint32_t> state_;
    std::vector<std::uint64_t> count_;
    // The scalar kind keeps one ordinary digest per lane.
    std::vector<clsMD5> scalar_;
};

}  // namespace kadrano
