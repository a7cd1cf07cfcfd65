// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Rect.h"

#include "core/Bitmap.h"

#include <algorithm>
#include <cmath>

TRect ImageBounds(const TBitmap& image) {
    return TRect{0, 0, image.Width(), image.Height()};
}

TRect SortedRect(const TRect& r) {
    return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom)};
}

TRect IntersectRects(const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (RectEmpty(r)) return TRect{};
    return r;
}

TRect ClipToImage(const TRect& r, const TBitmap& image) {
    return IntersectRects(SortedRect(r), ImageBounds(image));
}

TRect IntersectWithImage(const TRect& r, const TBitmap& image) {
    return IntersectRects(r, ImageBounds(image));
}

int RoundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

void FitSize(int& w, int& h, int boxW, int boxH) {
    if (w <= 0 || h <= 0 || boxW <= 0 || boxH <= 0) return;
    const double s = std::max(double(w) / boxW, double(h) / boxH);
    w = std::min(RoundHalfEven(w / s), boxW);
    h = std::min(RoundHalfEven(h / s), boxH);
}

TRect CenterRect(int w, int h, const TRect& r) {
    const int left = r.Left + (RectWidth(r) - w) / 2;
    const int top = r.Top + (RectHeight(r) - h) / 2;
    return TRect{left, top, left + w, top + h};
}
