// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"

#include "core/SolidFill.h"

#include <algorithm>
#include <limits>

namespace {

void FrameBandOn(TSolidFill& fill, const TRect& rect, TColor colour, int width) {
    if (RectEmpty(rect)) return;
    const TRect64 r = ToRect64(rect);
    const int64_t w = width;
    fill.Fill({r.Left, r.Top, r.Right, r.Top + w}, colour);
    fill.Fill({r.Left, r.Bottom - w, r.Right, r.Bottom}, colour);
    fill.Fill({r.Left, r.Top + w, r.Left + w, r.Bottom - w}, colour);
    fill.Fill({r.Right - w, r.Top + w, r.Right, r.Bottom - w}, colour);
}

int32_t Saturated(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

void Outline3DOn(TSolidFill& fill, TRect& rect, TColor first, TColor second) {
    if (!RectEmpty(rect)) {
        const TRect64 r = ToRect64(rect);
        fill.Fill({r.Left, r.Top, r.Right - 1, r.Top + 1}, first);
        fill.Fill({r.Left, r.Top, r.Left + 1, r.Bottom - 1}, first);
        // Drawn last, so the top-right and bottom-left corners take the second colour.
        fill.Fill({r.Right - 1, r.Top, r.Right, r.Bottom}, second);
        fill.Fill({r.Left, r.Bottom - 1, r.Right, r.Bottom}, second);
    }
    rect = TRect{Saturated(int64_t(rect.Left) + 1), Saturated(int64_t(rect.Top) + 1),
                 Saturated(int64_t(rect.Right) - 1), Saturated(int64_t(rect.Bottom) - 1)};
}

} // namespace

void FrameBand(TBitmap& surface, const TRect& rect, TColor colour, int width) {
    TBitmapFill fill(surface);
    FrameBandOn(fill, rect, colour, width);
}

void FrameBand(QPainter& surface, const TRect& rect, TColor colour, int width) {
    TPainterFill fill(surface);
    FrameBandOn(fill, rect, colour, width);
}

void Outline3D(TBitmap& surface, TRect& rect, TColor first, TColor second) {
    TBitmapFill fill(surface);
    Outline3DOn(fill, rect, first, second);
}

void Outline3D(QPainter& surface, TRect& rect, TColor first, TColor second) {
    TPainterFill fill(surface);
    Outline3DOn(fill, rect, first, second);
}
