#pragma once
// The two roundings the page layout uses. Positions follow the banker's rule
// of floating-point rounding; font heights and pen widths follow the integer
// multiply-divide of the drawing API, which rounds halves away from zero.
#include <cmath>
#include <cstdint>

namespace morvane::document {

inline long long roundHalfEven(double v)
{
    const double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5)
        return static_cast<long long>(2.0 * std::round(v / 2.0));
    return static_cast<long long>(r);
}

// a * b / c rounded to the nearest integer, halves away from zero; c must not be 0.
inline long long mulDivHalfAway(long long a, long long b, long long c)
{
    const long long num = a * b;
    const bool negative = (num < 0) != (c < 0);
    const long long n = num < 0 ? -num : num;
    const long long d = c < 0 ? -c : c;
    const long long q = (2 * n + d) / (2 * d);
    return negative ? -q : q;
}

} // namespace morvane::document
