// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ZoomStretch.h"

#include "browse/AreaReduce.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Source index under the centre of destination index i when n source pixels cover m.
inline int CentreSample(int i, int n, int m) {
    return int(((2 * int64_t(i) + 1) * n) / (2 * int64_t(m)));
}

// The rounded mean of a sum of n bytes, exact. For the usual block sizes a multiplication by
// 2^32 / n rounded up, whose excess stays below the 1 / 2n that separates a mean from the next
// rounding point while n < 2902; larger blocks are few and divide.
class TMean {
public:
    explicit TMean(uint64_t n) : m_n(n), m_r(n < 2900 ? ((uint64_t{1} << 32) + n - 1) / n : 0) {}
    int operator()(uint64_t sum) const {
        if (m_r) return int((sum * m_r + (uint64_t{1} << 31)) >> 32);
        return int((2 * sum + m_n) / (2 * m_n));
    }

private:
    uint64_t m_n;
    uint64_t m_r;
};

// Only the pixel form changes.
void WidenTo32(const QImage& src, const QRect& from, QImage& out) {
    for (int y = 0; y < from.height(); ++y) {
        const uint8_t* s = src.constScanLine(from.y() + y) + 3 * from.x();
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < from.width(); ++x, s += 3)
            d[x] = qRgb(s[2], s[1], s[0]);
    }
}

// The rows of a block are summed byte by byte first (a loop the compiler vectorises), then
// each block's columns: the sums, and so the averages, are those of the pixels one by one.
// Sum holds a column of up to k bytes.
template <typename Sum>
void AverageBlockRows(const QImage& src, const QRect& from, int k, QImage& out) {
    const int w = out.width();
    const size_t rowBytes = size_t(from.width()) * 3;
    std::vector<Sum> columns(rowBytes);
    const int lastColumns = from.width() - (w - 1) * k;
    for (int oy = 0; oy < out.height(); ++oy) {
        const int y0 = from.y() + oy * k;
        const int rows = std::min(k, from.y() + from.height() - y0);
        const uint8_t* first = src.constScanLine(y0) + 3 * from.x();
        std::copy(first, first + rowBytes, columns.begin());
        for (int y = y0 + 1; y < y0 + rows; ++y) {
            const uint8_t* s = src.constScanLine(y) + 3 * from.x();
            Sum* c = columns.data();
            for (size_t i = 0; i < rowBytes; ++i)
                c[i] = Sum(c[i] + s[i]);
        }
        const TMean full(uint64_t(rows) * uint64_t(k));
        const TMean last(uint64_t(rows) * uint64_t(lastColumns));
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(oy));
        const Sum* c = columns.data();
        for (int ox = 0; ox < w; ++ox) {
            const bool whole = ox + 1 < w;
            uint64_t b = 0, g = 0, r = 0;
            for (int i = whole ? k : lastColumns; i > 0; --i, c += 3) {
                b += c[0];
                g += c[1];
                r += c[2];
            }
            const TMean& mean = whole ? full : last;
            d[ox] = qRgb(mean(r), mean(g), mean(b));
        }
    }
}

QImage AverageBlocksTo32(const QImage& src, const QRect& from, int k) {
    const int w = (from.width() + k - 1) / k;
    const int h = (from.height() + k - 1) / k;
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull()) return out;
    if (k == 1)
        WidenTo32(src, from, out);
    else if (k <= 0xffff / 0xff)
        AverageBlockRows<uint16_t>(src, from, k, out);
    else
        AverageBlockRows<uint32_t>(src, from, k, out);
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
    // A reduction by less than two in one direction at least: the areas are averaged directly.
    if (!averages && k == 1 && AreaReduce24(src, from, dst, to)) return;
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
