// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"

#include "core/PixelOp.h"

#include <algorithm>
#include <cstring>

namespace {

// v mod m taken into 0..m-1.
int64_t Wrap(int64_t v, int64_t m) {
    const int64_t r = v % m;
    return r < 0 ? r + m : r;
}

} // namespace

void TilePattern(const TBitmap& pattern, TBitmap& image, int X, int Y, const TRect& rect) {
    if (pattern.Empty()) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    // Shares the pixels when the pattern is already 24-bit; the image detaches on its first
    // write, so a pattern tiled onto itself is read as it was.
    const QImage src = ConvertTo24Bit(pattern.Image());
    const int64_t W = src.width(), H = src.height();
    const int64_t firstColumn = Wrap(int64_t(r->Left) - X, W);
    for (int y = r->Top; y < r->Bottom; ++y) {
        const uint8_t* from = src.constScanLine(int(Wrap(int64_t(y) - Y, H)));
        uint8_t* to = image.ScanLine(y) + ptrdiff_t(r->Left) * 3;
        int64_t sx = firstColumn;
        for (int64_t left = r->Right - r->Left; left > 0; sx = 0) {
            const int64_t run = std::min(W - sx, left);
            std::memcpy(to, from + sx * 3, size_t(run) * 3);
            to += run * 3;
            left -= run;
        }
    }
}
