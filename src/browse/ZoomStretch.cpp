// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ZoomStretch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Source index under the centre of destination index i when n source pixels cover m.
inline int CentreSample(int i, int n, int m) {
    return int(((2 * int64_t(i) + 1) * n) / (2 * int64_t(m)));
}

// 2^24 / n, rounded: multiplying a sum of n values by it and shifting right by 24 averages them.
inline uint32_t Reciprocal(uint32_t n) {
    return ((uint32_t{1} << 24) + n / 2) / n;
}

// k = 1 only changes the pixel form.
QImage AverageBlocksTo32(const QImage& src, const QRect& from, int k) {
    const int w = (from.width() + k - 1) / k;
    const int h = (from.height() + k - 1) / k;
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull()) return out;
    std::vector<uint32_t> sums(size_t(w) * 3);
    for (int oy = 0; oy < h; ++oy) {
        const int y0 = from.y() + oy * k;
        const int rows = std::min(k, from.y() + from.height() - y0);
        std::fill(sums.begin(), sums.end(), 0u);
        for (int y = y0; y < y0 + rows; ++y) {
            const uint8_t* s = src.constScanLine(y) + 3 * from.x();
            int x = 0;
            for (int ox = 0; ox < w; ++ox) {
                uint32_t* sum = &sums[size_t(ox) * 3];
                const int end = std::min(x + k, from.width());
                for (; x < end; ++x, s += 3) {
                    sum[0] += s[0];
                    sum[1] += s[1];
                    sum[2] += s[2];
                }
            }
        }
        const int lastColumns = from.width() - (w - 1) * k;
        const uint32_t full = Reciprocal(uint32_t(rows * k));
        const uint32_t last = Reciprocal(uint32_t(rows * lastColumns));
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(oy));
        for (int ox = 0; ox < w; ++ox) {
            const uint32_t* sum = &sums[size_t(ox) * 3];
            const uint64_t r = ox + 1 < w ? full : last;
            const auto avg = [r](uint32_t v) { return int((v * r + (uint64_t{1} << 23)) >> 24); };
            d[ox] = qRgb(avg(sum[2]), avg(sum[1]), avg(sum[0]));
        }
    }
    return out;
}

} // namespace

void StretchNearest24(const QImage& src, const QRect& from, QImage& dst, const QRect& to,
                      const TTriple* key) {
    const int dw = to.width(), dh = to.height();
    const int sw = from.width(), sh = from.height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;

    std::vector<int> columnBytes(size_t(dw), 0); // byte offset in a source row, per column
    for (int i = 0; i < dw; ++i)
        columnBytes[size_t(i)] = 3 * (from.x() + CentreSample(i, sw, dw));
    const bool sameWidth = sw == dw;
    const size_t rowBytes = size_t(dw) * 3;

    int previousSy = -1;
    const uint8_t* previousRow = nullptr;
    for (int j = 0; j < dh; ++j) {
        const int sy = from.y() + CentreSample(j, sh, dh);
        uint8_t* d = dst.scanLine(to.y() + j) + 3 * to.x();
        if (!key && sy == previousSy) { // enlarged rows repeat the row above
            std::memcpy(d, previousRow, rowBytes);
            continue;
        }
        const uint8_t* s = src.constScanLine(sy);
        if (key) {
            for (int i = 0; i < dw; ++i, d += 3) {
                const uint8_t* p = s + columnBytes[size_t(i)];
                if (p[0] == key->b && p[1] == key->g && p[2] == key->r) continue;
                d[0] = p[0];
                d[1] = p[1];
                d[2] = p[2];
            }
            continue;
        }
        if (sameWidth) {
            std::memcpy(d, s + 3 * from.x(), rowBytes);
        } else {
            uint8_t* out = d;
            for (int i = 0; i < dw; ++i, out += 3) {
                const uint8_t* p = s + columnBytes[size_t(i)];
                out[0] = p[0];
                out[1] = p[1];
                out[2] = p[2];
            }
        }
        previousSy = sy;
        previousRow = d;
    }
}

int SmoothBlockSize(const QRect& from, const QRect& to) {
    if (to.isEmpty() || from.isEmpty()) return 1;
    return std::max(1, std::min(from.width() / to.width(), from.height() / to.height()));
}

QImage AverageBlocks(const QImage& src, const QRect& from, int k) {
    return AverageBlocksTo32(src, from, std::max(1, k));
}

void StretchSmooth24(const QImage& src, const QRect& from, QImage& dst, const QRect& to,
                     const QImage* averages) {
    if (to.isEmpty() || from.isEmpty()) return;
    // Whole blocks of k x k source pixels are averaged first, straight from the 24-bit rows, so
    // the picture handed to Qt is about the destination's size whatever the source's.
    const int k = SmoothBlockSize(from, to);
    QImage reduced = averages ? *averages : AverageBlocksTo32(src, from, k);
    if (reduced.isNull()) return; // out of memory
    if (reduced.size() != to.size())
        reduced = reduced.scaled(to.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (reduced.size() != to.size()) return;
    for (int j = 0; j < to.height(); ++j) {
        const QRgb* s = reinterpret_cast<const QRgb*>(reduced.constScanLine(j));
        uint8_t* d = dst.scanLine(to.y() + j) + 3 * to.x();
        for (int i = 0; i < to.width(); ++i, d += 3) {
            d[0] = uint8_t(qBlue(s[i]));
            d[1] = uint8_t(qGreen(s[i]));
            d[2] = uint8_t(qRed(s[i]));
        }
    }
}
