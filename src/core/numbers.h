#pragma once

#include <QtGlobal>

namespace kadrano {

// numerator / denominator rounded to the nearest whole number, halves to the even one
// (banker's rounding, so that percentages in the scripts match those of earlier versions).
// Exact for all inputs;
// the denominator must not be 0.
qint64 roundHalfEven(qint64 numerator, qint64 denominator);

// A floating value rounded to the nearest whole number, halves to even.
qint64 roundHalfEven(double value);

}  // namespace kadrano
