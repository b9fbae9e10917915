#include "numbers.h"

#include <cmath>

namespace kadrano {

qint64 roundHalfEven(qint64 numerator, qint64 denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const bool negative = numerator < 0;
    const qint64 n = negative ? -numerator : numerator;
    qint64 q = n / denominator;
    const qint64 twiceRest = 2 * (n % denominator);
    if (twiceRest > denominator || (twiceRest == denominator && (q % 2) == 1))
        ++q;
    return negative ? -q : q;
}

qint64 roundHalfEven(double value) {
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    double result = floorValue;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floorValue, 2.0) != 0.0))
        result += 1.0;
    return static_cast<qint64>(result);
}

}  // namespace kadrano
