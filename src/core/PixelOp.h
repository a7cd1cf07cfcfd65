// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The common opening of pixel operations, and a row walker over a clipped rectangle.

#include "core/Bitmap.h"
#include "core/Rect.h"

#include <optional>

// Converts a non-empty image to 24 bits and clips rect to it (corners sorted). Returns nothing
// when the image is empty or nothing of the rectangle is left, leaving the image untouched.
std::optional<TRect> BeginPixelOp(TBitmap& image, const TRect& rect);

// Calls fn(first byte of the span, pixel count) for every row of r (r already clipped).
template <typename Fn>
void ForEachRowSpan(TBitmap& image, const TRect& r, Fn&& fn) {
    const int pixels = r.Right - r.Left;
    for (int y = r.Top; y < r.Bottom; ++y)
        fn(image.ScanLine(y) + ptrdiff_t(r.Left) * 3, pixels);
}
