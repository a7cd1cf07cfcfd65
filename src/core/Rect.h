// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Rectangles with exclusive Right and Bottom, and the size helpers shared by every subsystem.

#include <QRect>
#include <cstdint>

class TBitmap;

struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Stands for "the whole image" wherever an operation takes a rectangle.
inline constexpr TRect WholeImageRect{-99999, -99999, 99999, 99999};

inline int RectWidth(const TRect& r) {
    return r.Right >= r.Left ? r.Right - r.Left : r.Left - r.Right;
}
inline int RectHeight(const TRect& r) {
    return r.Bottom >= r.Top ? r.Bottom - r.Top : r.Top - r.Bottom;
}
inline bool RectEmpty(const TRect& r) {
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

// TRect keeps its right and bottom edges outside, as QRect's width and height count them.
inline QRect ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}
inline TRect FromQRect(const QRect& r) {
    return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

TRect ImageBounds(const TBitmap& image);
// Corners sorted, then intersected with the image bounds; empty when nothing is left.
TRect ClipToImage(const TRect& r, const TBitmap& image);
// Intersection with the image bounds without sorting the corners first.
TRect IntersectWithImage(const TRect& r, const TBitmap& image);
TRect SortedRect(const TRect& r);
TRect IntersectRects(const TRect& a, const TRect& b);

// Scales w x h to touch the box (enlarging too), keeping the aspect ratio.
void FitSize(int& w, int& h, int boxW, int boxH);
// A w x h rectangle centred in r (halves truncate toward zero).
TRect CenterRect(int w, int h, const TRect& r);

// Round to nearest, ties to even.
int RoundHalfEven(double v);
