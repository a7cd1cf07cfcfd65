// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/AreaReduce.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Weights are in 1/2^14: a column sum of 255 at full weight, times 2^8 of precision kept
// between the passes, times a row weight stays below 2^32.
constexpr int kWeightBits = 14;
constexpr int64_t kOne = int64_t{1} << kWeightBits;
constexpr int kKeptBits = 8;

// One direction: destination pixel i takes Count[i] source pixels from First[i] on, weighted by
// Weights[i * Taps] and the next ones, which sum to exactly kOne; each pixel's weights are padded
// with zeros to Taps, the largest count.
struct TTaps {
    std::vector<int> First, Count;
    int Taps = 0;
    std::vector<uint16_t> Weights;
    const uint16_t* Of(size_t i) const { return Weights.data() + i * size_t(Taps); }
};

// n source pixels onto m <= n destination pixels. Positions are counted in 1/m of a source
// pixel, where destination pixel i covers [i n, (i + 1) n) and source pixel s covers
// [s m, (s + 1) m).
TTaps AreaTaps(int n, int m) {
    TTaps t;
    t.First.resize(size_t(m));
    t.Count.resize(size_t(m));
    for (int i = 0; i < m; ++i) {
        const int64_t lo = int64_t(i) * n;
        t.First[size_t(i)] = int(lo / m);
        t.Count[size_t(i)] = int((lo + n - 1) / m) - t.First[size_t(i)] + 1;
    }
    t.Taps = *std::max_element(t.Count.begin(), t.Count.end());
    t.Weights.assign(size_t(m) * size_t(t.Taps), 0);
    for (int i = 0; i < m; ++i) {
        const int64_t lo = int64_t(i) * n, hi = lo + n;
        uint16_t* w = t.Weights.data() + size_t(i) * size_t(t.Taps);
        // Each weight is the step between rounded running totals of the coverage: they sum to
        // exactly kOne, so a flat area stays flat, and no weight is off by more than one.
        int64_t covered = 0, previous = 0;
        for (int k = 0; k < t.Count[size_t(i)]; ++k) {
            const int64_t s = t.First[size_t(i)] + k;
            covered += std::min<int64_t>((s + 1) * m, hi) - std::max<int64_t>(s * m, lo);
            const int64_t total = (2 * covered * kOne + n) / (2 * int64_t(n));
            w[k] = uint16_t(total - previous);
            previous = total;
        }
    }
    return t;
}

// The weighted rows of one destination row, summed per byte, kept to kKeptBits of fraction.
void SumRows(const QImage& src, const QRect& from, const TTaps& rows, int j,
             std::vector<uint32_t>& acc, std::vector<uint16_t>& columns) {
    const size_t n = acc.size();
    const uint16_t* w = rows.Of(size_t(j));
    const int first = from.y() + rows.First[size_t(j)];
    for (int t = 0; t < rows.Count[size_t(j)]; ++t) {
        const uint8_t* s = src.constScanLine(first + t) + 3 * from.x();
        const uint32_t wt = w[t];
        if (t == 0)
            for (size_t x = 0; x < n; ++x)
                acc[x] = wt * s[x];
        else
            for (size_t x = 0; x < n; ++x)
                acc[x] += wt * s[x];
    }
    constexpr int shift = kWeightBits - kKeptBits;
    for (size_t x = 0; x < n; ++x)
        columns[x] = uint16_t((acc[x] + (1u << (shift - 1))) >> shift);
}

// Every destination pixel takes all the padded taps, so with P known (1 to 3, P = 0 for any
// other count) the loop unrolls, which the varying counts of an area prevent.
template <int P>
void SumColumns(const std::vector<uint16_t>& columns, const TTaps& cols, uint8_t* d) {
    constexpr int shift = kWeightBits + kKeptBits;
    constexpr uint32_t half = 1u << (shift - 1);
    const int taps = P ? P : cols.Taps;
    for (size_t i = 0; i < cols.First.size(); ++i, d += 3) {
        const uint16_t* w = cols.Of(i);
        const uint16_t* c = columns.data() + 3 * size_t(cols.First[i]);
        uint32_t b = half, g = half, r = half;
        for (int t = 0; t < taps; ++t) {
            b += uint32_t(w[t]) * c[3 * t];
            g += uint32_t(w[t]) * c[3 * t + 1];
            r += uint32_t(w[t]) * c[3 * t + 2];
        }
        d[0] = uint8_t(b >> shift);
        d[1] = uint8_t(g >> shift);
        d[2] = uint8_t(r >> shift);
    }
}

} // namespace

bool AreaReduce24(const QImage& src, const QRect& from, QImage& dst, const QRect& to) {
    if (src.format() != QImage::Format_BGR888 || dst.format() != QImage::Format_BGR888)
        return false;
    if (from.isEmpty() || to.isEmpty() || !src.rect().contains(from) || !dst.rect().contains(to))
        return false;
    if (to.width() > from.width() || to.height() > from.height()) return false;
    const TTaps rows = AreaTaps(from.height(), to.height());
    const TTaps cols = AreaTaps(from.width(), to.width());
    std::vector<uint32_t> acc(size_t(from.width()) * 3);
    // Padded taps read up to Taps - 1 pixels past the row, at zero weight.
    std::vector<uint16_t> columns(acc.size() + 3 * size_t(cols.Taps - 1), 0);
    for (int j = 0; j < to.height(); ++j) {
        SumRows(src, from, rows, j, acc, columns);
        uint8_t* d = dst.scanLine(to.y() + j) + 3 * to.x();
        if (cols.Taps == 1)
            SumColumns<1>(columns, cols, d);
        else if (cols.Taps == 2)
            SumColumns<2>(columns, cols, d);
        else if (cols.Taps == 3)
            SumColumns<3>(columns, cols, d);
        else
            SumColumns<0>(columns, cols, d);
    }
    return true;
}
