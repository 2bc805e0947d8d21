// Digit extraction and safe scaling shared by every display line and read-out.
#pragma once

#include <cmath>
#include <cstdint>

// The decimal digit of weight 10^k of v: (v mod 10^(k+1) - v mod 10^k) / 10^k, taken from the
// magnitude so that a negative v still gives 0..9 (never a character outside the digits).
// Weights beyond the range of v give 0.
inline int digit_at(int64_t v, int k) {
    if (k < 0 || k > 18) return 0;
    uint64_t u = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    uint64_t p = 1;
    for (int i = 0; i < k; ++i) p *= 10;
    return static_cast<int>((u % (p * 10) - u % p) / p);
}

inline char digit_char(int64_t v, int k) { return static_cast<char>('0' + digit_at(v, k)); }

// x truncated toward zero to a 32-bit integer. Values outside the range (a distance of 1e12
// km, infinity) saturate at the nearest end and NaN gives 0, so no conversion is undefined.
inline int32_t trunc_to_i32(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return INT32_MAX;
    if (x <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(x);
}
