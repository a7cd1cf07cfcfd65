// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/StretchEx.h"
#include "core/StretchSetup.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// trunc((d - dstStart) / scale + srcStart), at most srcEnd - 1.
int NearestSource(int d, int dstStart, double scale, int srcStart, int srcEnd) {
    const double v = double(int64_t(d) - dstStart) / scale + double(srcStart);
    return std::min(int(v), srcEnd - 1);
}

} // namespace

void StretchNearest(TBitmap& source, const TRect& srcRect, TBitmap& destination, const TRect& clip,
                    const TRect& dstRect) {
    if (&source == &destination) {
        TBitmap copy = source; // the pixels are shared until the destination is written
        StretchNearest(copy, srcRect, destination, clip, dstRect);
        return;
    }
    const auto g = BeginStretch(source, srcRect, destination, clip, dstRect);
    if (!g) return;
    const TBitmap& src = source;
    // Source byte offset of every destination column, computed once.
    std::vector<size_t> column(size_t(g->Area.Right - g->Area.Left));
    for (int x = g->Area.Left; x < g->Area.Right; ++x)
        column[size_t(x - g->Area.Left)] =
            size_t(NearestSource(x, g->Dst.Left, g->Xs, g->Src.Left, g->Src.Right)) * 3;
    for (int y = g->Area.Top; y < g->Area.Bottom; ++y) {
        const uint8_t* in =
            src.ScanLine(NearestSource(y, g->Dst.Top, g->Ys, g->Src.Top, g->Src.Bottom));
        uint8_t* out = destination.ScanLine(y) + size_t(g->Area.Left) * 3;
        for (size_t i = 0; i < column.size(); ++i, out += 3) {
            const uint8_t* p = in + column[i];
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
}
