#include "md5.h"

#include <array>
#include <bit>
#include <cstring>

#include "core/textcodec.h"

// The compression function is written for a short dependency chain: in every step the
// message word and the round constant are added before the newest register is known,
// and each round function is arranged so that only its last operation waits for b.
// That keeps this portable code level with hand-written assembly.
#if defined(__GNUC__) || defined(__clang__)
#define KADRANO_MD5_INLINE inline __attribute__((always_inline))
#elif defined(_MSC_VER)
#define KADRANO_MD5_INLINE __forceinline
#else
#define KADRANO_MD5_INLINE inline
#endif

namespace kadrano {

namespace {

KADRANO_MD5_INLINE std::uint32_t loadLittle(const std::uint8_t* p) {
    std::uint32_t v;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, p, 4);
    } else {
        v = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
            std::uint32_t(p[3]) << 24;
    }
    return v;
}

// F(b,c,d) = (b & c) | (~b & d), written as a select that needs b only at the end.
#define STEP_F(a, b, c, d, x, s, t) \
    a += (x) + std::uint32_t(t);    \
    a += (d) ^ ((b) & ((c) ^ (d))); \
    a = std::rotl(a, s) + (b)

// G(b,c,d) = (b & d) | (c & ~d). The two halves never share a bit, so they can be
// added one after the other, and the half without b goes first.
#define STEP_G(a, b, c, d, x, s, t) \
    a += (x) + std::uint32_t(t);    \
    a += (c) & ~(d);                \
    a += (b) & (d);                 \
    a = std::rotl(a, s) + (b)

#define STEP_H(a, b, c, d, x, s, t) \
    a += (x) + std::uint32_t(t);    \
    a += (b) ^ ((c) ^ (d));         \
    a = std::rotl(a, s) + (b)

#define STEP_I(a, b, c, d, x, s, t) \
    a += (x) + std::uint32_t(t);    \
    a += (c) ^ ((b) | ~(d));        \
    a = std::rotl(a, s) + (b)

// Each step names the registers in their turn, the message word, the rotation and the
// step's constant, the integer part of 2^32 * |sin(step number)|.
void transformBlocks(std::uint32_t state[4], const std::uint8_t* p, std::size_t blocks) {
    std::uint32_t a = state[0];
    std::uint32_t b = state[1];
    std::uint32_t c = state[2];
    std::uint32_t d = state[3];
    for (; blocks > 0; --blocks, p += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = loadLittle(p + 4 * i);
        const std::uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

        STEP_F(a, b, c, d, x[0], 7, 0xd76aa478);
        STEP_F(d, a, b, c, x[1], 12, 0xe8c7b756);
        STEP_F(c, d, a, b, x[2], 17, 0x242070db);
        STEP_F(b, c, d, a, x[3], 22, 0xc1bdceee);
        STEP_F(a, b, c, d, x[4], 7, 0xf57c0faf);
        STEP_F(d, a, b, c, x[5], 12, 0x4787c62a);
        STEP_F(c, d, a, b, x[6], 17, 0xa8304613);
        STEP_F(b, c, d, a, x[7], 22, 0xfd469501);
        STEP_F(a, b, c, d, x[8], 7, 0x698098d8);
        STEP_F(d, a, b, c, x[9], 12, 0x8b44f7af);
        STEP_F(c, d, a, b, x[10], 17, 0xffff5bb1);
        STEP_F(b, c, d, a, x[11], 22, 0x895cd7be);
        STEP_F(a, b, c, d, x[12], 7, 0x6b901122);
        STEP_F(d, a, b, c, x[13], 12, 0xfd987193);
        STEP_F(c, d, a, b, x[14], 17, 0xa679438e);
        STEP_F(b, c, d, a, x[15], 22, 0x49b40821);

        STEP_G(a, b, c, d, x[1], 5, 0xf61e2562);
        STEP_G(d, a, b, c, x[6], 9, 0xc040b340);
        STEP_G(c, d, a, b, x[11], 14, 0x265e5a51);
        STEP_G(b, c, d, a, x[0], 20, 0xe9b6c7aa);
        STEP_G(a, b, c, d, x[5], 5, 0xd62f105d);
        STEP_G(d, a, b, c, x[10], 9, 0x02441453);
        STEP_G(c, d, a, b, x[15], 14, 0xd8a1e681);
        STEP_G(b, c, d, a, x[4], 20, 0xe7d3fbc8);
        STEP_G(a, b, c, d, x[9], 5, 0x21e1cde6);
        STEP_G(d, a, b, c, x[14], 9, 0xc33707d6);
        STEP_G(c, d, a, b, x[3], 14, 0xf4d50d87);
        STEP_G(b, c, d, a, x[8], 20, 0x455a14ed);
        STEP_G(a, b, c, d, x[13], 5, 0xa9e3e905);
        STEP_G(d, a, b, c, x[2], 9, 0xfcefa3f8);
        STEP_G(c, d, a, b, x[7], 14, 0x676f02d9);
        STEP_G(b, c, d, a, x[12], 20, 0x8d2a4c8a);

        STEP_H(a, b, c, d, x[5], 4, 0xfffa3942);
        STEP_H(d, a, b, c, x[8], 11, 0x8771f681);
        STEP_H(c, d, a, b, x[11], 16, 0x6d9d6122);
        STEP_H(b, c, d, a, x[14], 23, 0xfde5380c);
        STEP_H(a, b, c, d, x[1], 4, 0xa4beea44);
        STEP_H(d, a, b, c, x[4], 11, 0x4bdecfa9);
        STEP_H(c, d, a, b, x[7], 16, 0xf6bb4b60);
        STEP_H(b, c, d, a, x[10], 23, 0xbebfbc70);
        STEP_H(a, b, c, d, x[13], 4, 0x289b7ec6);
        STEP_H(d, a, b, c, x[0], 11, 0xeaa127fa);
        STEP_H(c, d, a, b, x[3], 16, 0xd4ef3085);
        STEP_H(b, c, d, a, x[6], 23, 0x04881d05);
        STEP_H(a, b, c, d, x[9], 4, 0xd9d4d039);
        STEP_H(d, a, b, c, x[12], 11, 0xe6db99e5);
        STEP_H(c, d, a, b, x[15], 16, 0x1fa27cf8);
        STEP_H(b, c, d, a, x[2], 23, 0xc4ac5665);

        STEP_I(a, b, c, d, x[0], 6, 0xf4292244);
        STEP_I(d, a, b, c, x[7], 10, 0x432aff97);
        STEP_I(c, d, a, b, x[14], 15, 0xab9423a7);
        STEP_I(b, c, d, a, x[5], 21, 0xfc93a039);
        STEP_I(a, b, c, d, x[12], 6, 0x655b59c3);
        STEP_I(d, a, b, c, x[3], 10, 0x8f0ccc92);
        STEP_I(c, d, a, b, x[10], 15, 0xffeff47d);
        STEP_I(b, c, d, a, x[1], 21, 0x85845dd1);
        STEP_I(a, b, c, d, x[8], 6, 0x6fa87e4f);
        STEP_I(d, a, b, c, x[15], 10, 0xfe2ce6e0);
        STEP_I(c, d, a, b, x[6], 15, 0xa3014314);
        STEP_I(b, c, d, a, x[13], 21, 0x4e0811a1);
        STEP_I(a, b, c, d, x[4], 6, 0xf7537e82);
        STEP_I(d, a, b, c, x[11], 10, 0xbd3af235);
        STEP_I(c, d, a, b, x[2], 15, 0x2ad7d2bb);
        STEP_I(b, c, d, a, x[9], 21, 0xeb86d391);

        a += a0;
        b += b0;
        c += c0;
        d += d0;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

// Two independent messages, one block of each per round. A single MD5 chain keeps a core
// waiting on its own additions most of the time; the second chain fills those gaps, so
// two files digest in little more time than one.
void transformPairs(std::uint32_t s1[4], const std::uint8_t* p1, std::uint32_t s2[4],
                    const std::uint8_t* p2, std::size_t blocks) {
    std::uint32_t a1 = s1[0], b1 = s1[1], c1 = s1[2], d1 = s1[3];
    std::uint32_t a2 = s2[0], b2 = s2[1], c2 = s2[2], d2 = s2[3];
    for (; blocks > 0; --blocks, p1 += 64, p2 += 64) {
        std::uint32_t x1[16];
        std::uint32_t x2[16];
        for (int i = 0; i < 16; ++i) {
            x1[i] = loadLittle(p1 + 4 * i);
            x2[i] = loadLittle(p2 + 4 * i);
        }
        const std::uint32_t a10 = a1, b10 = b1, c10 = c1, d10 = d1;
        const std::uint32_t a20 = a2, b20 = b2, c20 = c2, d20 = d2;

        STEP_F(a1, b1, c1, d1, x1[0], 7, 0xd76aa478);
        STEP_F(a2, b2, c2, d2, x2[0], 7, 0xd76aa478);
        STEP_F(d1, a1, b1, c1, x1[1], 12, 0xe8c7b756);
        STEP_F(d2, a2, b2, c2, x2[1], 12, 0xe8c7b756);
        STEP_F(c1, d1, a1, b1, x1[2], 17, 0x242070db);
        STEP_F(c2, d2, a2, b2, x2[2], 17, 0x242070db);
        STEP_F(b1, c1, d1, a1, x1[3], 22, 0xc1bdceee);
        STEP_F(b2, c2, d2, a2, x2[3], 22, 0xc1bdceee);
        STEP_F(a1, b1, c1, d1, x1[4], 7, 0xf57c0faf);
        STEP_F(a2, b2, c2, d2, x2[4], 7, 0xf57c0faf);
        STEP_F(d1, a1, b1, c1, x1[5], 12, 0x4787c62a);
        STEP_F(d2, a2, b2, c2, x2[5], 12, 0x4787c62a);
        STEP_F(c1, d1, a1, b1, x1[6], 17, 0xa8304613);
        STEP_F(c2, d2, a2, b2, x2[6], 17, 0xa8304613);
        STEP_F(b1, c1, d1, a1, x1[7], 22, 0xfd469501);
        STEP_F(b2, c2, d2, a2, x2[7], 22, 0xfd469501);
        STEP_F(a1, b1, c1, d1, x1[8], 7, 0x698098d8);
        STEP_F(a2, b2, c2, d2, x2[8], 7, 0x698098d8);
        STEP_F(d1, a1, b1, c1, x1[9], 12, 0x8b44f7af);
        STEP_F(d2, a2, b2, c2, x2[9], 12, 0x8b44f7af);
        STEP_F(c1, d1, a1, b1, x1[10], 17, 0xffff5bb1);
        STEP_F(c2, d2, a2, b2, x2[10], 17, 0xffff5bb1);
        STEP_F(b1, c1, d1, a1, x1[11], 22, 0x895cd7be);
        STEP_F(b2, c2, d2, a2, x2[11], 22, 0x895cd7be);
        STEP_F(a1, b1, c1, d1, x1[12], 7, 0x6b901122);
        STEP_F(a2, b2, c2, d2, x2[12], 7, 0x6b901122);
        STEP_F(d1, a1, b1, c1, x1[13], 12, 0xfd987193);
        STEP_F(d2, a2, b2, c2, x2[13], 12, 0xfd987193);
        STEP_F(c1, d1, a1, b1, x1[14], 17, 0xa679438e);
        STEP_F(c2, d2, a2, b2, x2[14], 17, 0xa679438e);
        STEP_F(b1, c1, d1, a1, x1[15], 22, 0x49b40821);
        STEP_F(b2, c2, d2, a2, x2[15], 22, 0x49b40821);

        STEP_G(a1, b1, c1, d1, x1[1], 5, 0xf61e2562);
        STEP_G(a2, b2, c2, d2, x2[1], 5, 0xf61e2562);
        STEP_G(d1, a1, b1, c1, x1[6], 9, 0xc040b340);
        STEP_G(d2, a2, b2, c2, x2[6], 9, 0xc040b340);
        STEP_G(c1, d1, a1, b1, x1[11], 14, 0x265e5a51);
        STEP_G(c2, d2, a2, b2, x2[11], 14, 0x265e5a51);
        STEP_G(b1, c1, d1, a1, x1[0], 20, 0xe9b6c7aa);
        STEP_G(b2, c2, d2, a2, x2[0], 20, 0xe9b6c7aa);
        STEP_G(a1, b1, c1, d1, x1[5], 5, 0xd62f105d);
        STEP_G(a2, b2, c2, d2, x2[5], 5, 0xd62f105d);
        STEP_G(d1, a1, b1, c1, x1[10], 9, 0x02441453);
        STEP_G(d2, a2, b2, c2, x2[10], 9, 0x02441453);
        STEP_G(c1, d1, a1, b1, x1[15], 14, 0xd8a1e681);
        STEP_G(c2, d2, a2, b2, x2[15], 14, 0xd8a1e681);
        STEP_G(b1, c1, d1, a1, x1[4], 20, 0xe7d3fbc8);
        STEP_G(b2, c2, d2, a2, x2[4], 20, 0xe7d3fbc8);
        STEP_G(a1, b1, c1, d1, x1[9], 5, 0x21e1cde6);
        STEP_G(a2, b2, c2, d2, x2[9], 5, 0x21e1cde6);
        STEP_G(d1, a1, b1, c1, x1[14], 9, 0xc33707d6);
        STEP_G(d2, a2, b2, c2, x2[14], 9, 0xc33707d6);
        STEP_G(c1, d1, a1, b1, x1[3], 14, 0xf4d50d87);
        STEP_G(c2, d2, a2, b2, x2[3], 14, 0xf4d50d87);
        STEP_G(b1, c1, d1, a1, x1[8], 20, 0x455a14ed);
        STEP_G(b2, c2, d2, a2, x2[8], 20, 0x455a14ed);
        STEP_G(a1, b1, c1, d1, x1[13], 5, 0xa9e3e905);
        STEP_G(a2, b2, c2, d2, x2[13], 5, 0xa9e3e905);
        STEP_G(d1, a1, b1, c1, x1[2], 9, 0xfcefa3f8);
        STEP_G(d2, a2, b2, c2, x2[2], 9, 0xfcefa3f8);
        STEP_G(c1, d1, a1, b1, x1[7], 14, 0x676f02d9);
        STEP_G(c2, d2, a2, b2, x2[7], 14, 0x676f02d9);
        STEP_G(b1, c1, d1, a1, x1[12], 20, 0x8d2a4c8a);
        STEP_G(b2, c2, d2, a2, x2[12], 20, 0x8d2a4c8a);

        STEP_H(a1, b1, c1, d1, x1[5], 4, 0xfffa3942);
        STEP_H(a2, b2, c2, d2, x2[5], 4, 0xfffa3942);
        STEP_H(d1, a1, b1, c1, x1[8], 11, 0x8771f681);
        STEP_H(d2, a2, b2, c2, x2[8], 11, 0x8771f681);
        STEP_H(c1, d1, a1, b1, x1[11], 16, 0x6d9d6122);
        STEP_H(c2, d2, a2, b2, x2[11], 16, 0x6d9d6122);
        STEP_H(b1, c1, d1, a1, x1[14], 23, 0xfde5380c);
        STEP_H(b2, c2, d2, a2, x2[14], 23, 0xfde5380c);
        STEP_H(a1, b1, c1, d1, x1[1], 4, 0xa4beea44);
        STEP_H(a2, b2, c2, d2, x2[1], 4, 0xa4beea44);
        STEP_H(d1, a1, b1, c1, x1[4], 11, 0x4bdecfa9);
        STEP_H(d2, a2, b2, c2, x2[4], 11, 0x4bdecfa9);
        STEP_H(c1, d1, a1, b1, x1[7], 16, 0xf6bb4b60);
        STEP_H(c2, d2, a2, b2, x2[7], 16, 0xf6bb4b60);
        STEP_H(b1, c1, d1, a1, x1[10], 23, 0xbebfbc70);
        STEP_H(b2, c2, d2, a2, x2[10], 23, 0xbebfbc70);
        STEP_H(a1, b1, c1, d1, x1[13], 4, 0x289b7ec6);
        STEP_H(a2, b2, c2, d2, x2[13], 4, 0x289b7ec6);
        STEP_H(d1, a1, b1, c1, x1[0], 11, 0xeaa127fa);
        STEP_H(d2, a2, b2, c2, x2[0], 11, 0xeaa127fa);
        STEP_H(c1, d1, a1, b1, x1[3], 16, 0xd4ef3085);
        STEP_H(c2, d2, a2, b2, x2[3], 16, 0xd4ef3085);
        STEP_H(b1, c1, d1, a1, x1[6], 23, 0x04881d05);
        STEP_H(b2, c2, d2, a2, x2[6], 23, 0x04881d05);
        STEP_H(a1, b1, c1, d1, x1[9], 4, 0xd9d4d039);
        STEP_H(a2, b2, c2, d2, x2[9], 4, 0xd9d4d039);
        STEP_H(d1, a1, b1, c1, x1[12], 11, 0xe6db99e5);
        STEP_H(d2, a2, b2, c2, x2[12], 11, 0xe6db99e5);
        STEP_H(c1, d1, a1, b1, x1[15], 16, 0x1fa27cf8);
        STEP_H(c2, d2, a2, b2, x2[15], 16, 0x1fa27cf8);
        STEP_H(b1, c1, d1, a1, x1[2], 23, 0xc4ac5665);
        STEP_H(b2, c2, d2, a2, x2[2], 23, 0xc4ac5665);

        STEP_I(a1, b1, c1, d1, x1[0], 6, 0xf4292244);
        STEP_I(a2, b2, c2, d2, x2[0], 6, 0xf4292244);
        STEP_I(d1, a1, b1, c1, x1[7], 10, 0x432aff97);
        STEP_I(d2, a2, b2, c2, x2[7], 10, 0x432aff97);
        STEP_I(c1, d1, a1, b1, x1[14], 15, 0xab9423a7);
        STEP_I(c2, d2, a2, b2, x2[14], 15, 0xab9423a7);
        STEP_I(b1, c1, d1, a1, x1[5], 21, 0xfc93a039);
        STEP_I(b2, c2, d2, a2, x2[5], 21, 0xfc93a039);
        STEP_I(a1, b1, c1, d1, x1[12], 6, 0x655b59c3);
        STEP_I(a2, b2, c2, d2, x2[12], 6, 0x655b59c3);
        STEP_I(d1, a1, b1, c1, x1[3], 10, 0x8f0ccc92);
        STEP_I(d2, a2, b2, c2, x2[3], 10, 0x8f0ccc92);
        STEP_I(c1, d1, a1, b1, x1[10], 15, 0xffeff47d);
        STEP_I(c2, d2, a2, b2, x2[10], 15, 0xffeff47d);
        STEP_I(b1, c1, d1, a1, x1[1], 21, 0x85845dd1);
        STEP_I(b2, c2, d2, a2, x2[1], 21, 0x85845dd1);
        STEP_I(a1, b1, c1, d1, x1[8], 6, 0x6fa87e4f);
        STEP_I(a2, b2, c2, d2, x2[8], 6, 0x6fa87e4f);
        STEP_I(d1, a1, b1, c1, x1[15], 10, 0xfe2ce6e0);
        STEP_I(d2, a2, b2, c2, x2[15], 10, 0xfe2ce6e0);
        STEP_I(c1, d1, a1, b1, x1[6], 15, 0xa3014314);
        STEP_I(c2, d2, a2, b2, x2[6], 15, 0xa3014314);
        STEP_I(b1, c1, d1, a1, x1[13], 21, 0x4e0811a1);
        STEP_I(b2, c2, d2, a2, x2[13], 21, 0x4e0811a1);
        STEP_I(a1, b1, c1, d1, x1[4], 6, 0xf7537e82);
        STEP_I(a2, b2, c2, d2, x2[4], 6, 0xf7537e82);
        STEP_I(d1, a1, b1, c1, x1[11], 10, 0xbd3af235);
        STEP_I(d2, a2, b2, c2, x2[11], 10, 0xbd3af235);
        STEP_I(c1, d1, a1, b1, x1[2], 15, 0x2ad7d2bb);
        STEP_I(c2, d2, a2, b2, x2[2], 15, 0x2ad7d2bb);
        STEP_I(b1, c1, d1, a1, x1[9], 21, 0xeb86d391);
        STEP_I(b2, c2, d2, a2, x2[9], 21, 0xeb86d391);

        a1 += a10;
        b1 += b10;
        c1 += c10;
        d1 += d10;
        a2 += a20;
        b2 += b20;
        c2 += c20;
        d2 += d20;
    }
    s1[0] = a1, s1[1] = b1, s1[2] = c1, s1[3] = d1;
    s2[0] = a2, s2[1] = b2, s2[2] = c2, s2[3] = d2;
}

#undef STEP_F
#undef STEP_G
#undef STEP_H
#undef STEP_I

// The byte of a character in code page 1252, or -1 when it has none. The 32 positions
// 0x80..0x9F are the only ones that differ from Latin-1; their characters come from the
// same table the text reader uses, so both directions agree.
int windows1252Byte(QChar c) {
    static const std::array<char16_t, 32> high = [] {
        std::array<char16_t, 32> t{};
        for (int i = 0; i < 32; ++i) {
            const char byte = char(0x80 + i);
            t[i] = decodeWindows1252(&byte, 1).at(0).unicode();
        }
        return t;
    }();
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    // The C1 controls U+0080..U+009F have a byte only where the table keeps them
    // (0x81, 0x8D, 0x8F, 0x90, 0x9D).
    for (int i = 0; i < 32; ++i)
        if (high[i] == u)
            return 0x80 + i;
    return -1;
}

}  // namespace

void clsMD5::MD5Init() {
    count_ = 0;
    state_[0] = 0x67452301;
    state_[1] = 0xefcdab89;
    state_[2] = 0x98badcfe;
    state_[3] = 0x10325476;
}

void clsMD5::MD5Resume(const std::uint32_t state[4], std::uint64_t count) {
    Q_ASSERT(count % 64 == 0);
    std::memcpy(state_, state, sizeof state_);
    count_ = count;
}

void clsMD5::MD5Update(std::size_t length, const std::uint8_t* bytes) {
    if (length == 0)
        return;
    std::size_t used = std::size_t(count_ & 63);
    count_ += length;
    if (used > 0) {
        const std::size_t take = std::min<std::size_t>(64 - used, length);
        std::memcpy(buffer_ + used, bytes, take);
        used += take;
        bytes += take;
        length -= take;
        if (used < 64)
            return;
        transformBlocks(state_, buffer_, 1);
    }
    const std::size_t blocks = length / 64;
    if (blocks > 0) {
        transformBlocks(state_, bytes, blocks);
        bytes += blocks * 64;
        length -= blocks * 64;
    }
    if (length > 0)
        std::memcpy(buffer_, bytes, length);
}

void clsMD5::MD5Final() {
    const std::uint64_t bits = count_ << 3;
    const std::size_t used = std::size_t(count_ & 63);
    std::uint8_t tail[64 + 8] = {0x80};
    const std::size_t padding = used < 56 ? 56 - used : 120 - used;
    std::uint8_t* length = tail + padding;
    for (int i = 0; i < 8; ++i)
        length[i] = std::uint8_t(bits >> (8 * i));
    MD5Update(padding + 8, tail);
}

void clsMD5::MD5UpdatePair(clsMD5& first, const std::uint8_t* bytes1, clsMD5& second,
                           const std::uint8_t* bytes2, std::size_t blocks) {
    if ((first.count_ & 63) != 0 || (second.count_ & 63) != 0) {
        first.MD5Update(blocks * 64, bytes1);
        second.MD5Update(blocks * 64, bytes2);
        return;
    }
    transformPairs(first.state_, bytes1, second.state_, bytes2, blocks);
    first.count_ += std::uint64_t(blocks) * 64;
    second.count_ += std::uint64_t(blocks) * 64;
}

QString clsMD5::GetValues() const {
    static const char digits[] = "0123456789ABCDEF";
    QString out(32, Qt::Uninitialized);
    QChar* o = out.data();
    for (std::uint32_t word : state_) {
        for (int i = 0; i < 4; ++i) {
            const unsigned byte = (word >> (8 * i)) & 0xff;
            *o++ = QLatin1Char(digits[byte >> 4]);
            *o++ = QLatin1Char(digits[byte & 15]);
        }
    }
    return out;
}

std::optional<QString> clsMD5::DigestStrToHexStr(const QString& text) {
    MD5Init();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = windows1252Byte(text.at(i));
        if (b < 0)
            return std::nullopt;
        bytes[i] = char(b);
    }
    MD5Update(bytes);
    MD5Final();
    return GetValues();
}

QString clsMD5::registerText(int i) const {
    return QString::number(std::int32_t(state_[i]));
}

std::uint32_t clsMD5::LongLeftRotate(std::uint32_t value, int bits) {
    // & 31 is the mathematical modulo for negative counts too (a left turn by -1 is a
    // left turn by 31).
    return std::rotl(value, bits & 31);
}

}  // namespace kadrano
