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
// Weights[Start[i]] and the next ones, which sum to exactly kOne.
struct TTaps {
    std::vector<int> First, Count, Start;
    std::vector<uint16_t> Weights;
};

// n source pixels onto m <= n destination pixels. Positions are counted in 1/m of a source
// pixel, where destination pixel i covers [i n, (i + 1) n) and source pixel s covers
// [s m, (s + 1) m).
TTaps AreaTaps(int n, int m) {
    TTaps t;
    t.First.resize(size_t(m));
    t.Count.resize(size_t(m));
    t.Start.resize(size_t(m));
    t.Weights.reserve(size_t(m) * size_t(n / m + 2));
    for (int i = 0; i < m; ++i) {
        const int64_t lo = int64_t(i) * n, hi = lo + n;
        const int s0 = int(lo / m), s1 = int((hi - 1) / m);
        const size_t start = t.Weights.size();
        t.First[size_t(i)] = s0;
        t.Count[size_t(i)] = s1 - s0 + 1;
        t.Start[size_t(i)] = int(start);
        // Each weight is the step between rounded running totals of the coverage: they sum to
        // exactly kOne, so a flat area stays flat, and no weight is off by more than one.
        int64_t covered = 0, previous = 0;
        for (int s = s0; s <= s1; ++s) {
            covered +=
                std::min<int64_t>(int64_t(s + 1) * m, hi) - std::max<int64_t>(int64_t(s) * m, lo);
            const int64_t total = (2 * covered * kOne + n) / (2 * int64_t(n));
            t.Weights.push_back(uint16_t(total - previous));
            previous = total;
        }
    }
    return t;
}

// The weighted rows of one destination row, summed per byte, kept to kKeptBits of fraction.
void SumRows(const QImage& src, const QRect& from, const TTaps& rows, int j,
             std::vector<uint32_t>& acc, std::vector<uint16_t>& columns) {
    const size_t n = acc.size();
    const uint16_t* w = rows.Weights.data() + rows.Start[size_t(j)];
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

// Every destination pixel with the same number of taps, unused ones weighing nothing: the loop
// unrolls, which the varying counts of an area prevent.
template <int P>
void SumColumnsFixed(const std::vector<uint16_t>& columns, const std::vector<uint16_t>& weights,
                     const TTaps& cols, uint8_t* d) {
    constexpr int shift = kWeightBits + kKeptBits;
    constexpr uint32_t half = 1u << (shift - 1);
    const uint16_t* w = weights.data();
    for (size_t i = 0; i < cols.First.size(); ++i, d += 3, w += P) {
        const uint16_t* c = columns.data() + 3 * size_t(cols.First[i]);
        uint32_t b = half, g = half, r = half;
        for (int t = 0; t < P; ++t) {
            b += uint32_t(w[t]) * c[3 * t];
            g += uint32_t(w[t]) * c[3 * t + 1];
            r += uint32_t(w[t]) * c[3 * t + 2];
        }
        d[0] = uint8_t(b >> shift);
        d[1] = uint8_t(g >> shift);
        d[2] = uint8_t(r >> shift);
    }
}

void SumColumns(const std::vector<uint16_t>& columns, const TTaps& cols, uint8_t* d) {
    constexpr int shift = kWeightBits + kKeptBits;
    constexpr uint32_t half = 1u << (shift - 1);
    for (size_t i = 0; i < cols.First.size(); ++i, d += 3) {
        const uint16_t* w = cols.Weights.data() + cols.Start[i];
        const uint16_t* c = columns.data() + 3 * size_t(cols.First[i]);
        uint32_t b = half, g = half, r = half;
        for (int t = 0; t < cols.Count[i]; ++t, c += 3) {
            b += uint32_t(w[t]) * c[0];
            g += uint32_t(w[t]) * c[1];
            r += uint32_t(w[t]) * c[2];
        }
        d[0] = uint8_t(b >> shift);
        d[1] = uint8_t(g >> shift);
        d[2] = uint8_t(r >> shift);
    }
}

// The weights of every destination pixel padded with zeros to p taps.
std::vector<uint16_t> PaddedWeights(const TTaps& cols, int p) {
    std::vector<uint16_t> padded(cols.First.size() * size_t(p), 0);
    for (size_t i = 0; i < cols.First.size(); ++i)
        std::copy_n(cols.Weights.data() + cols.Start[i], cols.Count[i], &padded[i * size_t(p)]);
    return padded;
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
    const int taps = *std::max_element(cols.Count.begin(), cols.Count.end());
    const std::vector<uint16_t> padded =
        taps <= 3 ? PaddedWeights(cols, taps) : std::vector<uint16_t>();
    std::vector<uint32_t> acc(size_t(from.width()) * 3);
    // Padded taps read up to two pixels past the row, at zero weight.
    std::vector<uint16_t> columns(acc.size() + 6, 0);
    for (int j = 0; j < to.height(); ++j) {
        SumRows(src, from, rows, j, acc, columns);
        uint8_t* d = dst.scanLine(to.y() + j) + 3 * to.x();
        if (taps == 1)
            SumColumnsFixed<1>(columns, padded, cols, d);
        else if (taps == 2)
            SumColumnsFixed<2>(columns, padded, cols, d);
        else if (taps == 3)
            SumColumnsFixed<3>(columns, padded, cols, d);
        else
            SumColumns(columns, cols, d);
    }
    return true;
}
