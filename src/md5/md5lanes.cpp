#include "md5lanes.h"

#include <QtGlobal>

namespace kadrano {

namespace md5lanes {
#if KADRANO_MD5_X86
void transformAvx2(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks);
void transformAvx512(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks);
#endif
}  // namespace md5lanes

namespace {

constexpr std::uint32_t kInitialState[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

// A lane without a message reads these bytes; an update reads at most one chunk of them.
alignas(64) const std::uint8_t kIdleBytes[kMd5ChunkSize] = {};

}  // namespace

bool md5KindRuns(Md5Kind kind) {
    switch (kind) {
        case Md5Kind::Scalar:
            return true;
#if KADRANO_MD5_X86
        case Md5Kind::Avx2:
            return __builtin_cpu_supports("avx2");
        case Md5Kind::Avx512:
            return __builtin_cpu_supports("avx512f");
#else
        case Md5Kind::Avx2:
        case Md5Kind::Avx512:
            return false;
#endif
    }
    return false;
}

Md5Kind bestMd5Kind() {
    static const Md5Kind best = [] {
        for (Md5Kind kind : {Md5Kind::Avx512, Md5Kind::Avx2})
            if (md5KindRuns(kind))
                return kind;
        return Md5Kind::Scalar;
    }();
    return best;
}

const char* md5KindName(Md5Kind kind) {
    switch (kind) {
        case Md5Kind::Scalar:
            return "scalar (2 interleaved)";
        case Md5Kind::Avx2:
            return "AVX2 (8 lanes)";
        case Md5Kind::Avx512:
            return "AVX-512 (16 lanes)";
    }
    return "?";
}

Md5Lanes::Md5Lanes(Md5Kind kind) : kind_(md5KindRuns(kind) ? kind : Md5Kind::Scalar) {
    switch (kind_) {
        case Md5Kind::Scalar:
            lanes_ = 2;
            scalar_.resize(2);
            return;
#if KADRANO_MD5_X86
        case Md5Kind::Avx2:
            lanes_ = 8;
            transform_ = md5lanes::transformAvx2;
            break;
        case Md5Kind::Avx512:
            lanes_ = 16;
            transform_ = md5lanes::transformAvx512;
            break;
#else
        default:
            break;
#endif
    }
    state_.assign(std::size_t(4 * lanes_), 0);
    count_.assign(std::size_t(lanes_), 0);
}

void Md5Lanes::start(int lane) {
    if (kind_ == Md5Kind::Scalar) {
        scalar_[std::size_t(lane)].MD5Init();
        return;
    }
    for (int w = 0; w < 4; ++w)
        state_[std::size_t(w * lanes_ + lane)] = kInitialState[w];
    count_[std::size_t(lane)] = 0;
}

void Md5Lanes::update(const std::uint8_t* const* data, std::size_t blocks) {
    if (blocks == 0)
        return;
    if (kind_ == Md5Kind::Scalar) {
        if (data[0] && data[1]) {
            clsMD5::MD5UpdatePair(scalar_[0], data[0], scalar_[1], data[1], blocks);
            return;
        }
        for (int lane = 0; lane < 2; ++lane)
            if (data[lane])
                scalar_[std::size_t(lane)].MD5Update(blocks * 64, data[lane]);
        return;
    }
    const std::uint8_t* lanes[16];
    for (int lane = 0; lane < lanes_; ++lane) {
        lanes[lane] = data[lane] ? data[lane] : kIdleBytes;
        if (data[lane])
            count_[std::size_t(lane)] += blocks * 64;
    }
    // The idle bytes cover one chunk; a longer update goes in pieces.
    constexpr std::size_t kMostBlocks = kMd5ChunkSize / 64;
    for (std::size_t done = 0; done < blocks;) {
        const std::size_t n = std::min(blocks - done, kMostBlocks);
        const std::uint8_t* now[16];
        for (int lane = 0; lane < lanes_; ++lane)
            now[lane] = data[lane] ? lanes[lane] + done * 64 : lanes[lane];
        transform_(state_.data(), now, n);
        done += n;
    }
}

QString Md5Lanes::finish(int lane, const std::uint8_t* tail, std::size_t length) {
    Q_ASSERT(length < 64);
    if (kind_ == Md5Kind::Scalar) {
        clsMD5& md5 = scalar_[std::size_t(lane)];
        md5.MD5Update(length, tail);
        md5.MD5Final();
        return md5.GetValues();
    }
    std::uint32_t words[4];
    for (int w = 0; w < 4; ++w)
        words[w] = state_[std::size_t(w * lanes_ + lane)];
    clsMD5 last;
    last.MD5Resume(words, count_[std::size_t(lane)]);
    last.MD5Update(length, tail);
    last.MD5Final();
    return last.GetValues();
}

}  // namespace kadrano
