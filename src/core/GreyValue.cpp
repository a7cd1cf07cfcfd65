// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/GreyValue.h"

#include <array>
#include <bit>
#include <cstddef>

namespace {

__extension__ typedef unsigned __int128 u128;

// A non-negative binary floating value m * 2^e with a 64-bit significand (bit 63 set, or m = 0).
struct Ext {
    uint64_t m = 0;
    int e = 0;
};

constexpr int BitLength(u128 x) {
    const uint64_t hi = uint64_t(x >> 64);
    if (hi != 0) return 128 - std::countl_zero(hi);
    return 64 - std::countl_zero(uint64_t(x));
}

// x * 2^e rounded to 64 significant bits, ties to even.
constexpr Ext Round64(u128 x, int e) {
    if (x == 0) return {};
    const int n = BitLength(x);
    if (n <= 64) return {uint64_t(x << (64 - n)), e - (64 - n)};
    int shift = n - 64;
    u128 keep = x >> shift;
    const u128 rem = x - (keep << shift);
    const u128 half = u128(1) << (shift - 1);
    if (rem > half || (rem == half && (keep & 1) != 0)) ++keep;
    if ((keep >> 64) != 0) {
        keep >>= 1;
        ++shift;
    }
    return {uint64_t(keep), e + shift};
}

// num / den (0 < num < den) rounded to 64 significant bits, as a decimal literal is.
constexpr Ext Fraction(unsigned num, unsigned den) {
    int k = 0;
    while ((u128(num) << k) / den < (u128(1) << 63))
        ++k;
    const u128 scaled = u128(num) << k;
    u128 q = scaled / den;
    const u128 r = scaled % den;
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
    if ((q >> 64) != 0) {
        q >>= 1;
        --k;
    }
    return {uint64_t(q), -k};
}

constexpr Ext Mul(Ext c, unsigned v) {
    return Round64(u128(c.m) * v, c.e);
}

constexpr Ext Add(Ext a, Ext b) {
    if (a.m == 0) return b;
    if (b.m == 0) return a;
    if (a.e < b.e) {
        const Ext t = a;
        a = b;
        b = t;
    }
    const int d = a.e - b.e;
    if (d > 63) // b lies below the rounding position of a: it only breaks ties
        return Round64((u128(a.m) << 63) + 1, a.e - 63);
    return Round64((u128(a.m) << d) + b.m, b.e);
}

constexpr int Trunc(Ext a) {
    if (a.m == 0 || a.e <= -64) return 0;
    if (a.e >= 0) return int(a.m << a.e);
    return int(a.m >> -a.e);
}

constexpr Ext kBlue = Fraction(11, 100);
constexpr Ext kGreen = Fraction(59, 100);
constexpr Ext kRed = Fraction(30, 100);

constexpr int Extended(int b, int g, int r) {
    return Trunc(
        Add(Add(Mul(kBlue, unsigned(b)), Mul(kGreen, unsigned(g))), Mul(kRed, unsigned(r))));
}

// Neutral greys always land on a whole number; they are common enough to keep in a table.
constexpr std::array<uint8_t, 256> kNeutral = [] {
    std::array<uint8_t, 256> t{};
    for (int v = 0; v < 256; ++v)
        t[size_t(v)] = uint8_t(Extended(v, v, v));
    return t;
}();

static_assert(Extended(255, 255, 255) == 255);
static_assert(Extended(15, 15, 15) == 14);
static_assert(Extended(50, 100, 200) == 124);

} // namespace

int GreyValueExtended(int b, int g, int r) {
    return Extended(b, g, r);
}

int GreyValueAtWhole(int b, int g, int r) {
    if (b == g && g == r) return kNeutral[size_t(b)];
    return Extended(b, g, r);
}
