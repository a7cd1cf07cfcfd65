// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"

#include "core/PixelOp.h"
#include "core/ToneTables.h"

#include <algorithm>

namespace {

TChannelTable ToneTable(int k, int pct) {
    TChannelTable t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = uint8_t(std::clamp(i + ((k - i) * pct) / 100, 0, 255));
    return t;
}

} // namespace

TToneTables TToneTables::Make(TColor colour, int pct) {
    pct = std::clamp(pct, -100, 100);
    const TTriple c = ColorToTriple(colour);
    return TToneTables{ToneTable(c.b, pct), ToneTable(c.g, pct), ToneTable(c.r, pct)};
}

void TToneTables::Apply(TBitmap& image, const TRect64& r) const {
    const TRect clipped = ClipRect64(r, ImageBounds(image));
    if (!RectEmpty(clipped)) ApplyChannelTables(image, clipped, blue, green, red);
}

void Tone(TBitmap& image, TColor colour, int pct, const TRect& rect) {
    if (pct == 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    TToneTables::Make(colour, pct).Apply(image, ToRect64(*r));
}

void ScanLines(TBitmap& image, int lineHeight, int gap, const TRect& rect, int strength,
               TColor colour) {
    // Bands of no height tone nothing, and a step of no rows would never reach the bottom.
    const int64_t step = int64_t(gap) + lineHeight;
    if (strength <= 0 || lineHeight <= 0 || step <= 0) return;
    const auto r = BeginPixelOp(image, rect);
    if (!r) return;
    // The tables are the same for every band, so they are built once.
    const TToneTables tables = TToneTables::Make(colour, strength);
    int64_t y = int64_t(r->Top) + gap;
    if (y + lineHeight <= 0) y += (-(y + lineHeight) / step + 1) * step; // bands above row 0
    for (; y < r->Bottom; y += step)
        tables.Apply(
            image, TRect64{r->Left, y, r->Right, y + std::min<int64_t>(lineHeight, r->Bottom - y)});
}
