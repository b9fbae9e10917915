// Eight messages side by side in the 32-bit lanes of AVX2 registers. Built with AVX2
// enabled; called only when the processor has it.

#include <immintrin.h>

#include "md5lanes_kernel.h"

namespace kadrano::md5lanes {

namespace {

struct Avx2 {
    using Reg = __m256i;
    static constexpr int kLanes = 8;

    static Reg loadState(const std::uint32_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    static void storeState(std::uint32_t* p, Reg v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
    }
    static Reg set1(std::uint32_t v) { return _mm256_set1_epi32(int(v)); }
    static Reg add(Reg a, Reg b) { return _mm256_add_epi32(a, b); }
    static Reg F(Reg b, Reg c, Reg d) {
        return _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d)));
    }
    static Reg G(Reg b, Reg c, Reg d) {
        return _mm256_or_si256(_mm256_and_si256(b, d), _mm256_andnot_si256(d, c));
    }
    static Reg H(Reg b, Reg c, Reg d) { return _mm256_xor_si256(b, _mm256_xor_si256(c, d)); }
    static Reg I(Reg b, Reg c, Reg d) {
        const Reg notD = _mm256_xor_si256(d, _mm256_set1_epi32(-1));
        return _mm256_xor_si256(c, _mm256_or_si256(b, notD));
    }
    template <int S>
    static Reg rotl(Reg a) {
        return _mm256_or_si256(_mm256_slli_epi32(a, S), _mm256_srli_epi32(a, 32 - S));
    }

    // Eight words of each of the eight lanes, turned so that register j holds word j of
    // every lane.
    static void transpose8(Reg* out, const std::uint8_t* const* data, std::size_t offset) {
        Reg r[8];
        for (int i = 0; i < 8; ++i)
            r[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data[i] + offset));
        Reg t[8];
        for (int i = 0; i < 8; i += 2) {
            t[i] = _mm256_unpacklo_epi32(r[i], r[i + 1]);
            t[i + 1] = _mm256_unpackhi_epi32(r[i], r[i + 1]);
        }
        // u[4g + k]: word k (low half) and k + 4 (high half) of lanes 4g .. 4g + 3.
        Reg u[8];
        for (int g = 0; g < 2; ++g) {
            const Reg* tg = t + 4 * g;
            u[4 * g + 0] = _mm256_unpacklo_epi64(tg[0], tg[2]);
            u[4 * g + 1] = _mm256_unpackhi_epi64(tg[0], tg[2]);
            u[4 * g + 2] = _mm256_unpacklo_epi64(tg[1], tg[3]);
            u[4 * g + 3] = _mm256_unpackhi_epi64(tg[1], tg[3]);
        }
        for (int k = 0; k < 4; ++k) {
            out[k] = _mm256_permute2x128_si256(u[k], u[4 + k], 0x20);
            out[k + 4] = _mm256_permute2x128_si256(u[k], u[4 + k], 0x31);
        }
    }
    static void loadBlocks(Reg x[16], const std::uint8_t* const* data, std::size_t offset) {
        transpose8(x, data, offset);
        transpose8(x + 8, data, offset + 32);
    }
};

}  // namespace

void transformAvx2(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks) {
    Transform<Avx2>(state, data, blocks);
}

}  // namespace kadrano::md5lanes
