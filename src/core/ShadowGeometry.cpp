// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"

#include "core/DecorGeometry.h"

#include <optional>

namespace {

// Tenths of the ring's strength along its fading starts, and down its rounded corner.
constexpr int kFadeIn[4] = {2, 4, 6, 8};
constexpr int kCornerOut[4] = {8, 6, 4, 2};

struct TPoint64 {
    int64_t x = 0, y = 0;
};

class TShadeSink {
public:
    TShadeSink(const TRect& bounds, const TShadeFn& shade) : m_bounds(bounds), m_shade(shade) {}

    void Part(const TRect64& r, int pct) const {
        const TRect clipped = ClipRect64(r, m_bounds);
        if (!RectEmpty(clipped)) m_shade(clipped, pct);
    }
    void Pixel(int64_t x, int64_t y, int pct) const { Part({x, y, x + 1, y + 1}, pct); }
    const TRect& Bounds() const { return m_bounds; }

private:
    TRect m_bounds;
    const TShadeFn& m_shade;
};

// Shades row r.Bottom from r.Left and column r.Right from r.Top. A plain ring runs straight to
// the corner pixel (r.Right, r.Bottom); a ring with a corner steps down from (cx, cy) instead.
void ShadowRing(const TRect64& r, int pct, std::optional<TPoint64> corner, const TShadeSink& sink) {
    const bool plain = !corner || r.Right < corner->x || corner->y > r.Bottom;
    const int64_t cx = plain ? r.Right + 1 : corner->x;
    const int64_t cy = plain ? r.Bottom : corner->y;
    for (int i = 0; i < 4; ++i)
        sink.Pixel(r.Left + i, r.Bottom, pct * kFadeIn[i] / 10);
    sink.Part({r.Left + 4, r.Bottom, cx, r.Bottom + 1}, pct);
    for (int i = 0; i < 4; ++i)
        sink.Pixel(r.Right, r.Top + i, pct * kFadeIn[i] / 10);
    sink.Part({r.Right, r.Top + 4, r.Right + 1, cy}, pct);
    if (plain) return;
    for (int i = 0; i < 4 && r.Right - cx >= i; ++i)
        sink.Pixel(cx + i, r.Bottom, pct * kCornerOut[i] / 10);
    for (int i = 0; i < 4 && r.Bottom - cy > i; ++i)
        sink.Pixel(r.Right, cy + i, pct * kCornerOut[i] / 10);
}

// count full-strength rings, each one row lower and one column further right; r grows with them.
void PlainRings(TRect64& r, int pct, int64_t count, const TShadeSink& sink) {
    const TRect& b = sink.Bounds();
    // Ring i lies on row r.Bottom + i and column r.Right + i.
    ForEachStepIn(
        {{b.Top - r.Bottom, b.Bottom - r.Bottom}, {b.Left - r.Right, b.Right - r.Right}}, 0, count,
        [&](int64_t i) {
            ShadowRing({r.Left, r.Top, r.Right + i, r.Bottom + i}, pct, std::nullopt, sink);
        });
    r.Right += count;
    r.Bottom += count;
}

// n rings (n <= 4) whose strength falls by strength / (n + 1) each, rounding the far corner.
void FadingRings(const TRect64& r, int strength, int n, const TShadeSink& sink) {
    const TPoint64 corner{r.Right, r.Bottom};
    int s = strength;
    for (int k = 0; k < n; ++k) {
        s -= strength / (n + 1);
        if (s <= 0) break;
        ShadowRing({r.Left, r.Top, r.Right + k, r.Bottom + k}, s, corner, sink);
    }
}

} // namespace

void ShadowShades(const TRect& rect, int size, bool soft, int strength, const TRect& bounds,
                  const TShadeFn& shade) {
    if (RectEmpty(rect) || size <= 0 || strength <= 0 || strength > 100) return;
    const TShadeSink sink(bounds, shade);
    // The shadow starts size pixels down and right of the rectangle.
    TRect64 r{int64_t(rect.Left) + size, int64_t(rect.Top) + size, rect.Right, rect.Bottom};
    if (!soft) {
        sink.Part({r.Left, r.Bottom, r.Right + size, r.Bottom + size}, strength);
        sink.Part({r.Right, r.Top, r.Right + size, r.Bottom}, strength);
        return;
    }
    int n = size;
    if (n > 4) {
        PlainRings(r, strength, n - 4, sink);
        n = 4;
    }
    FadingRings(r, strength, n, sink);
}
