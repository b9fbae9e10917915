#include "randomint.h"

#include <cmath>

namespace kadrano {

double RandomSource::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0);  // 53 bits
}

int RandomSource::RandomInt(int lower, int upper) {
    return int(std::floor(double(upper - lower + 1) * next() + lower));
}

RandomSource& sharedRandom() {
    static RandomSource generator;
    return generator;
}

}  // namespace kadrano
