#pragma once

#include <cstdint>

namespace kadrano {

// The program's one random generator. It is never seeded from the clock: every program
// start begins in the same state, so the first shuffle after a start draws the same
// numbers each time (a person can repeat a shuffle exactly). The name shuffle and the
// date shuffle share it.
class RandomSource {
public:
    RandomSource() = default;
    // A uniform number in [0, 1).
    double next();
    // A whole number from lower to upper, both included.
    int RandomInt(int lower, int upper);

private:
    // splitmix64: small, fast, uniform enough for shuffling names.
    std::uint64_t state_ = 0x4B6164726E6F3139ull;
};

// The generator shared by all tools of one program run.
RandomSource& sharedRandom();

}  // namespace kadrano
