// Sixteen messages side by side in the 32-bit lanes of AVX-512 registers. Built with
// AVX-512F enabled; called only when the processor (and the system) supports it.

// GCC 12 takes the undefined source operand inside its own AVX-512 intrinsics for an
// uninitialised variable.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <immintrin.h>

#include "md5lanes_kernel.h"

namespace kadrano::md5lanes {

namespace {

struct Avx512 {
    using Reg = __m512i;
    static constexpr int kLanes = 16;

    static Reg loadState(const std::uint32_t* p) { return _mm512_loadu_si512(p); }
    static void storeState(std::uint32_t* p, Reg v) { _mm512_storeu_si512(p, v); }
    static Reg set1(std::uint32_t v) { return _mm512_set1_epi32(int(v)); }
    static Reg add(Reg a, Reg b) { return _mm512_add_epi32(a, b); }
    // The round functions as truth tables of (b, c, d): one instruction each.
    static Reg F(Reg b, Reg c, Reg d) { return _mm512_ternarylogic_epi32(b, c, d, 0xCA); }
    static Reg G(Reg b, Reg c, Reg d) { return _mm512_ternarylogic_epi32(b, c, d, 0xE4); }
    static Reg H(Reg b, Reg c, Reg d) { return _mm512_ternarylogic_epi32(b, c, d, 0x96); }
    static Reg I(Reg b, Reg c, Reg d) { return _mm512_ternarylogic_epi32(b, c, d, 0x39); }
    template <int S>
    static Reg rotl(Reg a) {
        return _mm512_rol_epi32(a, S);
    }

    // The sixteen words of each of the sixteen lanes, turned so that register j holds
    // word j of every lane.
    static void loadBlocks(Reg x[16], const std::uint8_t* const* data, std::size_t offset) {
        Reg r[16];
        for (int i = 0; i < 16; ++i)
            r[i] = _mm512_loadu_si512(data[i] + offset);
        Reg t[16];
        for (int i = 0; i < 16; i += 2) {
            t[i] = _mm512_unpacklo_epi32(r[i], r[i + 1]);
            t[i + 1] = _mm512_unpackhi_epi32(r[i], r[i + 1]);
        }
        // u[4k + g]: in its quarter q, word 4q + k of lanes 4g .. 4g + 3.
        Reg u[16];
        for (int g = 0; g < 4; ++g) {
            const Reg* tg = t + 4 * g;
            u[0 + g] = _mm512_unpacklo_epi64(tg[0], tg[2]);
            u[4 + g] = _mm512_unpackhi_epi64(tg[0], tg[2]);
            u[8 + g] = _mm512_unpacklo_epi64(tg[1], tg[3]);
            u[12 + g] = _mm512_unpackhi_epi64(tg[1], tg[3]);
        }
        for (int k = 0; k < 4; ++k) {
            const Reg* uk = u + 4 * k;
            const Reg lanes0to7q01 = _mm512_shuffle_i32x4(uk[0], uk[1], 0x44);
            const Reg lanes0to7q23 = _mm512_shuffle_i32x4(uk[0], uk[1], 0xEE);
            const Reg lanes8to15q01 = _mm512_shuffle_i32x4(uk[2], uk[3], 0x44);
            const Reg lanes8to15q23 = _mm512_shuffle_i32x4(uk[2], uk[3], 0xEE);
            x[0 + k] = _mm512_shuffle_i32x4(lanes0to7q01, lanes8to15q01, 0x88);
            x[4 + k] = _mm512_shuffle_i32x4(lanes0to7q01, lanes8to15q01, 0xDD);
            x[8 + k] = _mm512_shuffle_i32x4(lanes0to7q23, lanes8to15q23, 0x88);
            x[12 + k] = _mm512_shuffle_i32x4(lanes0to7q23, lanes8to15q23, 0xDD);
        }
    }
};

}  // namespace

void transformAvx512(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks) {
    Transform<Avx512>(state, data, blocks);
}

}  // namespace kadrano::md5lanes
