// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"

#include <algorithm>
#include <chrono>

TShadowNoise TShadowNoise::FromClock() {
    return TShadowNoise(
        uint64_t(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

void Darken(TBitmap& image, int x1, int y1, int pct, int y2, int x2, TShadowNoise& noise) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, image.Width());
    y2 = std::min(y2, image.Height());
    if (image.Empty() || x1 >= x2 || y1 >= y2) return;
    image.To24Bit();
    // Every byte draws its own noise, so there is no table to share between equal bytes.
    for (int y = y1; y < y2; ++y) {
        uint8_t* p = image.ScanLine(y) + ptrdiff_t(x1) * 3;
        uint8_t* const end = p + ptrdiff_t(x2 - x1) * 3;
        for (; p != end; ++p) {
            const int64_t e = *p;
            const int64_t v = noise.Next() + (e - (e * pct) / 100) - 3;
            *p = uint8_t(std::clamp<int64_t>(v, 0, 255));
        }
    }
}
