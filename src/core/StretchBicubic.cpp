// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FilterEvent.h"
#include "core/ScanMan.h"
#include "core/StretchEx.h"
#include "core/StretchSetup.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Cubic convolution with a = -1 at distance t (0 <= t <= 2): K(0) = 1, K(1) = K(2) = 0.
inline double Kernel(double t) {
    if (t < 1.0) return (t - 2.0) * t * t + 1.0;
    return -(t - 1.0) * (t - 2.0) * (t - 2.0);
}

inline uint8_t SampleByte(double v) {
    if (v <= 0.0) return 0;
    if (v > 254.0) return 255;
    return uint8_t(std::nearbyint(v)); // ties to even
}

// The four taps around position v along one axis, indices clamped into lo..hi.
struct TTaps {
    double K[4];
    int Index[4];
};

inline TTaps Taps(double v, int lo, int hi) {
    TTaps t;
    const int first = int(std::floor(v)) - 1;
    for (int i = 0; i < 4; ++i) {
        const int c = first + i;
        t.K[i] = Kernel(std::fabs(v - double(c)));
        t.Index[i] = std::clamp(c, lo, hi);
    }
    return t;
}

// The same sums, in the same order, as SampleBicubic.
inline TTriple Sample(const TTaps& ty, const uint8_t* const rows[4], const TTaps& tx) {
    double b = 0, g = 0, r = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            const double w = tx.K[j] * ty.K[i];
            const uint8_t* p = rows[i] + size_t(tx.Index[j]) * 3;
            b += w * p[0];
            g += w * p[1];
            r += w * p[2];
        }
    return TTriple{SampleByte(b), SampleByte(g), SampleByte(r)};
}

} // namespace

TTriple TScanLinesManagerEx::SampleBicubic(double y, double x) const {
    if (Empty()) return EdgeColor;
    const int fy = int(std::floor(y)), fx = int(std::floor(x));
    double b = 0, g = 0, r = 0;
    for (int row = fy - 1; row <= fy + 2; ++row)
        for (int col = fx - 1; col <= fx + 2; ++col) {
            const double w =
                Kernel(std::fabs(x - double(col))) * Kernel(std::fabs(y - double(row)));
            const TTriple p = ReadPixel(col, row);
            b += w * p.b;
            g += w * p.g;
            r += w * p.r;
        }
    return TTriple{SampleByte(b), SampleByte(g), SampleByte(r)};
}

void StretchBicubic(TBitmap& source, const TRect& srcRect, TBitmap& destination, const TRect& clip,
                    const TRect& dstRect) {
    if (&source == &destination) {
        TBitmap copy = source; // the pixels are shared until the destination is written
        StretchBicubic(copy, srcRect, destination, clip, dstRect);
        return;
    }
    const auto g = BeginStretch(source, srcRect, destination, clip, dstRect);
    if (!g) return;
    TProgressScope progress(g->Clip.Bottom - g->Clip.Top);
    if (!progress.Started()) return;
    TScanLinesManagerEx scan(source, g->Src);
    scan.ClampEdges = true;

    // Sample positions and taps of the columns, computed once; rows as they come.
    std::vector<TTaps> columns;
    columns.reserve(size_t(g->Area.Right - g->Area.Left));
    for (int x = g->Area.Left; x < g->Area.Right; ++x) {
        const double sx = double(int64_t(x) - g->Dst.Left) / g->Xs + double(g->Src.Left);
        columns.push_back(Taps(sx, scan.Left(), scan.Right() - 1));
    }
    for (int y = g->Area.Top; y < g->Area.Bottom; ++y) {
        if (!progress.Step(y - g->Clip.Top)) break;
        const double sy = double(int64_t(y) - g->Dst.Top) / g->Ys + double(g->Src.Top);
        const TTaps ty = Taps(sy, scan.Top(), scan.Bottom() - 1);
        const uint8_t* rows[4];
        for (int i = 0; i < 4; ++i)
            rows[i] = scan.Row(ty.Index[i]);
        uint8_t* out = destination.ScanLine(y) + size_t(g->Area.Left) * 3;
        for (const TTaps& tx : columns) {
            const TTriple t = Sample(ty, rows, tx);
            out[0] = t.b;
            out[1] = t.g;
            out[2] = t.r;
            out += 3;
        }
    }
}
