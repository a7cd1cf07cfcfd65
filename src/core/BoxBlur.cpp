// SPDX-License-Identifier: GPL-2.0-or-later
// Box blur in place: rows above the current one are read from a ring of ry + 1 saved copies,
// rows below from the image, which the pass has not reached yet.
#include "core/ColorAdjust.h"

#include "core/FilterEvent.h"
#include "core/ScanMan.h"

#include <algorithm>
#include <vector>

namespace {

// Divides window sums by the window size through a table while the table stays small.
class TMeanDivider {
public:
    explicit TMeanDivider(int count) : m_count(count) {
        const int maxSum = 255 * count;
        if (maxSum < (1 << 20)) {
            m_table.resize(size_t(maxSum) + 1);
            for (int s = 0; s <= maxSum; ++s)
                m_table[size_t(s)] = uint8_t(s / count);
        }
    }
    uint8_t operator()(int sum) const {
        return m_table.empty() ? uint8_t(sum / m_count) : m_table[size_t(sum)];
    }

private:
    int m_count;
    std::vector<uint8_t> m_table;
};

// Sums, per byte of the span, the rows of the vertical window of row y.
void SumWindowRows(const TScanLinesManager& rows, int y, int ry, std::vector<int>& colSum) {
    std::fill(colSum.begin(), colSum.end(), 0);
    const int bottom = rows.Bottom() - 1;
    const size_t offset = size_t(rows.Left()) * 3;
    for (int k = -ry; k <= ry; ++k) {
        const uint8_t* src;
        if (k <= 0)
            src = rows.SavedRow(ry + k);
        else if (y == bottom)
            src = rows.SavedRow(ry);
        else
            src = rows.Row(std::min(y + k, bottom));
        src += offset;
        for (size_t i = 0; i < colSum.size(); ++i)
            colSum[i] += src[i];
    }
}

// Slides the horizontal window along the column sums and writes the means into dst.
void WriteWindowMeans(const std::vector<int>& colSum, int width, int rx, const TMeanDivider& mean,
                      uint8_t* dst) {
    auto at = [&](int x, int c) { return colSum[size_t(std::clamp(x, 0, width - 1)) * 3 + c]; };
    for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int j = -rx; j <= rx; ++j)
            sum += at(j, c);
        for (int x = 0; x < width; ++x) {
            dst[size_t(x) * 3 + c] = mean(sum);
            sum += at(x + rx + 1, c) - at(x - rx, c);
        }
    }
}

} // namespace

void BoxBlur(TBitmap& image, int rx, int ry, const TRect& rect) {
    if (image.Empty()) return;
    rx = std::max(rx, 0);
    ry = std::max(ry, 0);
    if (rx == 0 && ry == 0) return;
    const TRect r = IntersectWithImage(rect, image);
    if (RectEmpty(r)) return;
    TProgressScope progress(r.Bottom - r.Top);
    if (!progress.Started()) return;
    image.To24Bit();

    const int width = r.Right - r.Left;
    const TMeanDivider mean((2 * rx + 1) * (2 * ry + 1));
    TScanLinesManager rows(image, r);
    rows.SaveRows(rows.Row(r.Top), ry + 1);
    std::vector<int> colSum(size_t(width) * 3);
    for (int y = r.Top; y < r.Bottom; ++y) {
        if (!progress.Step(y - r.Top)) break;
        rows.PushRow(rows.Row(y));
        SumWindowRows(rows, y, ry, colSum);
        WriteWindowMeans(colSum, width, rx, mean, rows.Row(y) + size_t(r.Left) * 3);
    }
}

void Blur(TBitmap& image, const TRect& rect) {
    BoxBlur(image, 1, 1, rect);
}
