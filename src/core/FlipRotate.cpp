// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FlipRotate.h"

#include "core/ScanMan.h"

#include <algorithm>
#include <cstring>

namespace {

inline void SwapPixel(uint8_t* a, uint8_t* b) {
    std::swap(a[0], b[0]);
    std::swap(a[1], b[1]);
    std::swap(a[2], b[2]);
}

// Reverses the pixel order of a row, four pixels from each end at a time.
void ReverseRow(uint8_t* row, int w) {
    int x = 0, m = w - 1;
    for (; m - x >= 7; x += 4, m -= 4) {
        uint8_t left[12], right[12];
        std::memcpy(left, row + 3 * x, 12);
        std::memcpy(right, row + 3 * (m - 3), 12);
        for (int i = 0; i < 4; ++i) {
            std::memcpy(row + 3 * (x + i), right + 3 * (3 - i), 3);
            std::memcpy(row + 3 * (m - 3 + i), left + 3 * (3 - i), 3);
        }
    }
    for (; x < m; ++x, --m)
        SwapPixel(row + 3 * x, row + 3 * m);
}

// Other pixel formats: Qt mirrors them without changing the format.
void MirrorOther(TBitmap& image, bool horizontal, bool vertical) {
    QImage mirrored = image.Image().mirrored(horizontal, vertical);
    if (mirrored.isNull()) throw std::bad_alloc();
    image.Image() = std::move(mirrored);
}

} // namespace

void FlipVertical(TBitmap& image) {
    if (image.Empty()) return;
    if (!image.Is24Bit()) return MirrorOther(image, false, true);
    const size_t bytes = size_t(image.Width()) * 3;
    const int h = image.Height();
    for (int y = 0; y < h / 2; ++y) {
        uint8_t* a = image.ScanLine(y);
        std::swap_ranges(a, a + bytes, image.ScanLine(h - 1 - y));
    }
}

void FlipHorizontal(TBitmap& image) {
    if (image.Empty()) return;
    if (!image.Is24Bit()) return MirrorOther(image, true, false);
    for (int y = 0; y < image.Height(); ++y)
        ReverseRow(image.ScanLine(y), image.Width());
}

void Rotate180(TBitmap& image) {
    if (image.Empty()) return;
    if (!image.Is24Bit()) return MirrorOther(image, true, true);
    const int w = image.Width();
    const int h = image.Height();
    for (int y = 0; y < h / 2; ++y) {
        uint8_t* a = image.ScanLine(y);
        uint8_t* b = image.ScanLine(h - 1 - y) + 3 * (w - 1);
        for (int x = 0; x < w; ++x, a += 3, b -= 3)
            SwapPixel(a, b);
    }
    if (h % 2 == 1) ReverseRow(image.ScanLine(h / 2), w);
}

void Rotate90(TBitmap& image, bool clockwise) {
    TBitmap source = image;
    source.To24Bit();
    const int w = source.Width();
    const int h = source.Height();
    // Every pixel of the new image is written below, so it is not filled first.
    image.Clear();
    image.SetTransparent(false);
    image.SetPixelFormat(TPixelFormat::pf24bit);
    image.Image() = QImage(h, w, QImage::Format_BGR888);
    if (source.Empty()) return;
    if (image.Empty()) throw std::bad_alloc();
    const TScanLinesManager src(source, ImageBounds(source));
    const TScanLinesManager dst(image, ImageBounds(image));
    // 64 x 64 tiles: each source row segment is read in order and its pixels go down one
    // destination column; both sides of a tile stay in cache.
    // clockwise: (x, y) -> (h - 1 - y, x); counter-clockwise: (x, y) -> (y, w - 1 - x)
    constexpr int kTile = 64;
    const ptrdiff_t dstStride = image.Stride();
    for (int x0 = 0; x0 < w; x0 += kTile) {
        const int x1 = std::min(x0 + kTile, w);
        for (int y0 = 0; y0 < h; y0 += kTile) {
            const int y1 = std::min(y0 + kTile, h);
            for (int y = y0; y < y1; ++y) {
                const uint8_t* in = src.Row(y) + 3 * x0;
                uint8_t* out =
                    clockwise ? dst.Row(x0) + 3 * (h - 1 - y) : dst.Row(w - 1 - x0) + 3 * y;
                const ptrdiff_t step = clockwise ? dstStride : -dstStride;
                for (int x = x0; x < x1; ++x, in += 3, out += step)
                    std::memcpy(out, in, 3);
            }
        }
    }
}
