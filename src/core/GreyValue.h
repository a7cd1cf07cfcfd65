// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Luminance of a pixel: 0.11 B + 0.59 G + 0.30 R summed in 80-bit extended precision (each
// product rounded to 64 significant bits, added blue, green, red), truncated. The exact rational
// value 11 B + 59 G + 30 R over 100 truncates the same way except when it is a whole number;
// only then can the rounding errors of the extended sum push it one lower, and only then is the
// extended arithmetic reproduced (in integers, so the result is the same on every platform).

#include <cstdint>

int GreyValueAtWhole(int b, int g, int r);

inline int GreyValue(int b, int g, int r) {
    const int s = 11 * b + 59 * g + 30 * r;
    const int q = s / 100;
    if (q * 100 != s) return q;
    return GreyValueAtWhole(b, g, r);
}

// The extended-precision model itself, for every colour (used by GreyValueAtWhole and tests).
int GreyValueExtended(int b, int g, int r);
