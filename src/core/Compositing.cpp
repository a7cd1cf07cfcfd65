// SPDX-License-Identifier: GPL-2.0-or-later
// Copies and blends of rectangles between images, with or without a mask.
#include "core/Masks.h"

#include "core/ReadAs24.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace {

// Destination area and the offset from a destination pixel to its source (and mask) pixel.
struct TPlacement {
    TRect area;
    int dx = 0, dy = 0;
};

std::optional<TPlacement> Place(const TRect& sourceRect, const TBitmap& source, const TBitmap* mask,
                                const TRect& destClip, const TBitmap& destination, int x, int y) {
    TRect s = ClipToImage(sourceRect, source);
    // The mask is read at the source's coordinates, so it must cover them too.
    if (mask != nullptr) s = IntersectRects(s, ImageBounds(*mask));
    if (RectEmpty(s)) return std::nullopt;
    const TRect d = ClipToImage(destClip, destination);
    if (RectEmpty(d)) return std::nullopt;
    // Computed wide so that any position is safe; the result lies inside d.
    const int64_t left = std::max<int64_t>(d.Left, x);
    const int64_t top = std::max<int64_t>(d.Top, y);
    const int64_t right = std::min<int64_t>(d.Right, int64_t(x) + RectWidth(s));
    const int64_t bottom = std::min<int64_t>(d.Bottom, int64_t(y) + RectHeight(s));
    if (right <= left || bottom <= top) return std::nullopt;
    return TPlacement{TRect{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)},
                      s.Left - x, s.Top - y};
}

// A source that is also the destination is read from a copy taken before any write, so an
// overlapping move reads the original pixels.
const TBitmap& Unaliased(const TBitmap& source, const TBitmap& destination, TBitmap& copy) {
    if (&source != &destination) return source;
    copy = source;
    return copy;
}

// Calls fn(destination row, source row, mask row, pixel count) for every row of the area; row
// pointers start at the area's first pixel. mask may be null.
template <typename Fn>
void ForEachPlacedRow(const TPlacement& p, const TBitmap& source, TBitmap& destination,
                      const TBitmap* mask, Fn&& fn) {
    const int count = p.area.Right - p.area.Left;
    const ptrdiff_t dstOffset = ptrdiff_t(p.area.Left) * 3;
    const ptrdiff_t srcOffset = ptrdiff_t(p.area.Left + p.dx) * 3;
    for (int y = p.area.Top; y < p.area.Bottom; ++y) {
        uint8_t* dst = destination.ScanLine(y) + dstOffset;
        const uint8_t* src = source.ScanLine(y + p.dy) + srcOffset;
        const uint8_t* m = mask != nullptr ? mask->ScanLine(y + p.dy) + srcOffset : nullptr;
        fn(dst, src, m, count);
    }
}

inline uint8_t Mix255(int d, int s, int w) {
    return uint8_t(d + ((s - d) * w) / 255);
}

// Mask value -> weight out of 255 for a strength p of 1..100.
std::array<int, 256> MaskWeights(int p) {
    std::array<int, 256> w{};
    for (int m = 0; m < 256; ++m)
        w[size_t(m)] = ((255 - m) * p) / 100;
    return w;
}

// The common path of MaskedBlend and PaintThroughMask: source pixels come from src(row, i).
template <typename SourceAt>
void BlendThroughMask(const TPlacement& p, const TBitmap& source, TBitmap& destination,
                      const TBitmap& mask, int opacity, SourceAt&& sourceAt) {
    const std::array<int, 256> weight = MaskWeights(std::min(opacity, 100));
    ForEachPlacedRow(p, source, destination, &mask,
                     [&](uint8_t* dst, const uint8_t* src, const uint8_t* m, int count) {
                         for (int i = 0; i < count; ++i, dst += 3, m += 3) {
                             const int w = weight[*m];
                             if (w == 0) continue;
                             const TTriple s = sourceAt(src, i);
                             dst[0] = Mix255(dst[0], s.b, w);
                             dst[1] = Mix255(dst[1], s.g, w);
                             dst[2] = Mix255(dst[2], s.r, w);
                         }
                     });
}

} // namespace

void CopyPixels(const TBitmap& source, const TRect& sourceRect, TBitmap& destination,
                const TRect& destClip, int x, int y) {
    TBitmap converted, copy;
    const TBitmap& src = ReadAs24(Unaliased(source, destination, copy), converted);
    const auto p = Place(sourceRect, src, nullptr, destClip, destination, x, y);
    if (!p) return;
    destination.To24Bit();
    ForEachPlacedRow(*p, src, destination, nullptr,
                     [](uint8_t* dst, const uint8_t* s, const uint8_t*, int count) {
                         std::memcpy(dst, s, size_t(count) * 3);
                     });
}

void CopyImage(const TBitmap& source, TBitmap& destination) {
    CopyPixels(source, WholeImageRect, destination, WholeImageRect, 0, 0);
}

void BlendPixels(const TBitmap& source, const TRect& sourceRect, TBitmap& destination, int opacity,
                 const TRect& destClip, int x, int y) {
    if (opacity >= 100) {
        CopyPixels(source, sourceRect, destination, destClip, x, y);
        return;
    }
    if (opacity <= 0) return;
    TBitmap converted, copy;
    const TBitmap& src = ReadAs24(Unaliased(source, destination, copy), converted);
    const auto p = Place(sourceRect, src, nullptr, destClip, destination, x, y);
    if (!p) return;
    destination.To24Bit();
    ForEachPlacedRow(*p, src, destination, nullptr,
                     [opacity](uint8_t* dst, const uint8_t* s, const uint8_t*, int count) {
                         for (int i = 0; i < count * 3; ++i)
                             dst[i] = uint8_t(dst[i] + ((s[i] - dst[i]) * opacity) / 100);
                     });
}

void MaskedBlend(const TBitmap& source, const TRect& sourceRect, TBitmap& destination,
                 const TBitmap* mask, int opacity, const TRect& destClip, int x, int y) {
    if (mask == nullptr || mask->Empty()) {
        BlendPixels(source, sourceRect, destination, opacity, destClip, x, y);
        return;
    }
    if (opacity < 1) return;
    TBitmap converted, copy, maskConverted, maskCopy;
    const TBitmap& src = ReadAs24(Unaliased(source, destination, copy), converted);
    const TBitmap& m = ReadAs24(Unaliased(*mask, destination, maskCopy), maskConverted);
    const auto p = Place(sourceRect, src, &m, destClip, destination, x, y);
    if (!p) return;
    destination.To24Bit();
    BlendThroughMask(*p, src, destination, m, opacity, [](const uint8_t* s, int i) {
        return TTriple{s[3 * i], s[3 * i + 1], s[3 * i + 2]};
    });
}

void PaintThroughMask(const TBitmap& mask, const TRect& maskRect, TBitmap& destination, int opacity,
                      TColor colour, const TRect& destClip, int x, int y) {
    if (opacity <= 0) return;
    TBitmap converted, copy;
    const TBitmap& m = ReadAs24(Unaliased(mask, destination, copy), converted);
    const auto p = Place(maskRect, m, nullptr, destClip, destination, x, y);
    if (!p) return;
    destination.To24Bit();
    const TTriple c = ColorToTriple(colour);
    BlendThroughMask(*p, m, destination, m, opacity, [c](const uint8_t*, int) { return c; });
}

void PaintWhereInRange(const TBitmap& mask, const TRect& maskRect, TBitmap& destination, int high,
                       int low, TColor colour, const TRect& destClip, int x, int y) {
    TBitmap converted, copy;
    const TBitmap& m = ReadAs24(Unaliased(mask, destination, copy), converted);
    const auto p = Place(maskRect, m, nullptr, destClip, destination, x, y);
    if (!p) return;
    destination.To24Bit();
    const TTriple c = ColorToTriple(colour);
    ForEachPlacedRow(*p, m, destination, nullptr,
                     [&](uint8_t* dst, const uint8_t* v, const uint8_t*, int count) {
                         for (int i = 0; i < count; ++i, dst += 3, v += 3) {
                             if (*v < low || *v > high) continue;
                             dst[0] = c.b;
                             dst[1] = c.g;
                             dst[2] = c.r;
                         }
                     });
}

TBitmap FlattenOnColor(const TBitmap& picture, const TBitmap* mask, TColor background) {
    TBitmap flat;
    NewImage(flat, picture.Width(), picture.Height(), background);
    if (mask == nullptr || mask->Empty())
        CopyImage(picture, flat);
    else
        MaskedBlend(picture, WholeImageRect, flat, mask, 100, WholeImageRect, 0, 0);
    return flat;
}
