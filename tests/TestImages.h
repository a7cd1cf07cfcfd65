// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Small image builders and readers shared by the test programs.

#include "core/Bitmap.h"

#include <cstdint>
#include <functional>
#include <random>

// A 24-bit image whose pixel (x, y) is fn(x, y).
inline TBitmap MakeImage(int w, int h, const std::function<TTriple(int, int)>& fn) {
    TBitmap bmp;
    NewImage(bmp, w, h, clBlack);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TTriple t = fn(x, y);
            uint8_t* p = bmp.ScanLine(y) + 3 * x;
            p[0] = t.b;
            p[1] = t.g;
            p[2] = t.r;
        }
    return bmp;
}

inline TBitmap UniformImage(int w, int h, TTriple t) {
    return MakeImage(w, h, [t](int, int) { return t; });
}

inline TBitmap RandomImage(int w, int h, uint32_t seed = 1) {
    std::mt19937 rng(seed);
    return MakeImage(w, h, [&rng](int, int) {
        return TTriple{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
    });
}

inline TTriple PixelAt(const TBitmap& bmp, int x, int y) {
    const uint8_t* p = bmp.ScanLine(y) + 3 * x;
    return TTriple{p[0], p[1], p[2]};
}

inline TTriple Grey(uint8_t v) {
    return TTriple{v, v, v};
}
// Triples are written red, green, blue here to read like the colours they are.
inline TTriple Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return TTriple{b, g, r};
}
