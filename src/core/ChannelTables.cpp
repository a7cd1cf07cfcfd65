// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ChannelTables.h"

#include "core/PixelOp.h"

#include <algorithm>
#include <cmath>

namespace {
uint8_t Clamp255(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

// x^e in extended precision: repeated multiplication for whole exponents, exp(e ln x) otherwise.
long double Power(long double x, double e) {
    if (x == 0) return 0;
    if (e == std::floor(e) && std::fabs(e) <= 64) {
        long double p = 1;
        for (int i = 0; i < int(std::fabs(e)); ++i)
            p *= x;
        return e < 0 ? 1 / p : p;
    }
    return std::exp(static_cast<long double>(e) * std::log(x));
}
} // namespace

TChannelTable IdentityTable() {
    TChannelTable t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = uint8_t(i);
    return t;
}

TChannelTable ShiftTable(int amount) {
    TChannelTable t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] =
            Clamp255(amount < 0 ? i + (i * amount) / 100 : i + ((255 - i) * amount) / 100);
    return t;
}

TChannelTable ContrastTable(int amount) {
    TChannelTable t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = Clamp255(i + ((i - 128) * amount) / 100);
    return t;
}

TChannelTable GammaTable(double gamma) {
    const double e = 1.0 / gamma;
    TChannelTable t{};
    for (int i = 0; i < 256; ++i) {
        const double y = double(Power(static_cast<long double>(i) / 255, e) * 255);
        t[size_t(i)] = y < 0 ? 0 : y > 255 ? 255 : uint8_t(y);
    }
    return t;
}

void ApplyChannelTables(TBitmap& image, const TRect& r, const TChannelTable& blue,
                        const TChannelTable& green, const TChannelTable& red) {
    ForEachRowSpan(image, r, [&](uint8_t* p, int pixels) {
        for (int x = 0; x < pixels; ++x, p += 3) {
            p[0] = blue[p[0]];
            p[1] = green[p[1]];
            p[2] = red[p[2]];
        }
    });
}

void ApplyTableToAllBytes(TBitmap& image, const TRect& r, const TChannelTable& table) {
    ForEachRowSpan(image, r, [&](uint8_t* p, int pixels) {
        uint8_t* end = p + ptrdiff_t(pixels) * 3;
        for (; p != end; ++p)
            *p = table[*p];
    });
}
