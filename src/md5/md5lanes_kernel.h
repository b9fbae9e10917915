#pragma once

// The MD5 compression function over vector registers: lane i of every register belongs to
// message i. Included once by each instruction-set file, which defines the vector type V
// (lanes, load of 16 message words from each lane's block, the round functions, rotation)
// before including this file; the steps are those of RFC 1321.

#include <cstddef>
#include <cstdint>

namespace kadrano::md5lanes {

// state: A of every lane, then B, C, D (V::kLanes words each).
// data: one pointer per lane to its next block; each lane advances by blocks * 64 bytes.
template <class V>
void Transform(std::uint32_t* state, const std::uint8_t* const* data, std::size_t blocks) {
    using R = typename V::Reg;
    R a = V::loadState(state);
    R b = V::loadState(state + V::kLanes);
    R c = V::loadState(state + 2 * V::kLanes);
    R d = V::loadState(state + 3 * V::kLanes);
    for (std::size_t k = 0; k < blocks; ++k) {
        R x[16];
        V::loadBlocks(x, data, k * 64);
        const R a0 = a, b0 = b, c0 = c, d0 = d;
// The message word and the constant are added first: they do not wait for b.
#define STEP(f, a, b, c, d, i, s, t)                        \
    a = V::add(a, V::add(x[i], V::set1(std::uint32_t(t)))); \
    a = V::add(a, f(b, c, d));                              \
    a = V::add(V::template rotl<s>(a), b)
        STEP(V::F, a, b, c, d, 0, 7, 0xd76aa478);
        STEP(V::F, d, a, b, c, 1, 12, 0xe8c7b756);
        STEP(V::F, c, d, a, b, 2, 17, 0x242070db);
        STEP(V::F, b, c, d, a, 3, 22, 0xc1bdceee);
        STEP(V::F, a, b, c, d, 4, 7, 0xf57c0faf);
        STEP(V::F, d, a, b, c, 5, 12, 0x4787c62a);
        STEP(V::F, c, d, a, b, 6, 17, 0xa8304613);
        STEP(V::F, b, c, d, a, 7, 22, 0xfd469501);
        STEP(V::F, a, b, c, d, 8, 7, 0x698098d8);
        STEP(V::F, d, a, b, c, 9, 12, 0x8b44f7af);
        STEP(V::F, c, d, a, b, 10, 17, 0xffff5bb1);
        STEP(V::F, b, c, d, a, 11, 22, 0x895cd7be);
        STEP(V::F, a, b, c, d, 12, 7, 0x6b901122);
        STEP(V::F, d, a, b, c, 13, 12, 0xfd987193);
        STEP(V::F, c, d, a, b, 14, 17, 0xa679438e);
        STEP(V::F, b, c, d, a, 15, 22, 0x49b40821);
        STEP(V::G, a, b, c, d, 1, 5, 0xf61e2562);
        STEP(V::G, d, a, b, c, 6, 9, 0xc040b340);
        STEP(V::G, c, d, a, b, 11, 14, 0x265e5a51);
        STEP(V::G, b, c, d, a, 0, 20, 0xe9b6c7aa);
        STEP(V::G, a, b, c, d, 5, 5, 0xd62f105d);
        STEP(V::G, d, a, b, c, 10, 9, 0x02441453);
        STEP(V::G, c, d, a, b, 15, 14, 0xd8a1e681);
        STEP(V::G, b, c, d, a, 4, 20, 0xe7d3fbc8);
        STEP(V::G, a, b, c, d, 9, 5, 0x21e1cde6);
        STEP(V::G, d, a, b, c, 14, 9, 0xc33707d6);
        STEP(V::G, c, d, a, b, 3, 14, 0xf4d50d87);
        STEP(V::G, b, c, d, a, 8, 20, 0x455a14ed);
        STEP(V::G, a, b, c, d, 13, 5, 0xa9e3e905);
        STEP(V::G, d, a, b, c, 2, 9, 0xfcefa3f8);
        STEP(V::G, c, d, a, b, 7, 14, 0x676f02d9);
        STEP(V::G, b, c, d, a, 12, 20, 0x8d2a4c8a);
        STEP(V::H, a, b, c, d, 5, 4, 0xfffa3942);
        STEP(V::H, d, a, b, c, 8, 11, 0x8771f681);
        STEP(V::H, c, d, a, b, 11, 16, 0x6d9d6122);
        STEP(V::H, b, c, d, a, 14, 23, 0xfde5380c);
        STEP(V::H, a, b, c, d, 1, 4, 0xa4beea44);
        STEP(V::H, d, a, b, c, 4, 11, 0x4bdecfa9);
        STEP(V::H, c, d, a, b, 7, 16, 0xf6bb4b60);
        STEP(V::H, b, c, d, a, 10, 23, 0xbebfbc70);
        STEP(V::H, a, b, c, d, 13, 4, 0x289b7ec6);
        STEP(V::H, d, a, b, c, 0, 11, 0xeaa127fa);
        STEP(V::H, c, d, a, b, 3, 16, 0xd4ef3085);
        STEP(V::H, b, c, d, a, 6, 23, 0x04881d05);
        STEP(V::H, a, b, c, d, 9, 4, 0xd9d4d039);
        STEP(V::H, d, a, b, c, 12, 11, 0xe6db99e5);
        STEP(V::H, c, d, a, b, 15, 16, 0x1fa27cf8);
        STEP(V::H, b, c, d, a, 2, 23, 0xc4ac5665);
        STEP(V::I, a, b, c, d, 0, 6, 0xf4292244);
        STEP(V::I, d, a, b, c, 7, 10, 0x432aff97);
        STEP(V::I, c, d, a, b, 14, 15, 0xab9423a7);
        STEP(V::I, b, c, d, a, 5, 21, 0xfc93a039);
        STEP(V::I, a, b, c, d, 12, 6, 0x655b59c3);
        STEP(V::I, d, a, b, c, 3, 10, 0x8f0ccc92);
        STEP(V::I, c, d, a, b, 10, 15, 0xffeff47d);
        STEP(V::I, b, c, d, a, 1, 21, 0x85845dd1);
        STEP(V::I, a, b, c, d, 8, 6, 0x6fa87e4f);
        STEP(V::I, d, a, b, c, 15, 10, 0xfe2ce6e0);
        STEP(V::I, c, d, a, b, 6, 15, 0xa3014314);
        STEP(V::I, b, c, d, a, 13, 21, 0x4e0811a1);
        STEP(V::I, a, b, c, d, 4, 6, 0xf7537e82);
        STEP(V::I, d, a, b, c, 11, 10, 0xbd3af235);
        STEP(V::I, c, d, a, b, 2, 15, 0x2ad7d2bb);
        STEP(V::I, b, c, d, a, 9, 21, 0xeb86d391);
#undef STEP
        a = V::add(a, a0);
        b = V::add(b, b0);
        c = V::add(c, c0);
        d = V::add(d, d0);
    }
    V::storeState(state, a);
    V::storeState(state + V::kLanes, b);
    V::storeState(state + 2 * V::kLanes, c);
    V::storeState(state + 3 * V::kLanes, d);
}

}  // namespace kadrano::md5lanes
