// SPDX-License-Identifier: GPL-2.0-or-later
// Softening of the stair steps of a black shape on a light background. Where a run of light
// pixels in one row (or column) lies against black pixels of the neighbouring row (column), the
// run receives a grey ramp, darkest next to the shape. Ramps only ever darken.
#include "core/Masks.h"

#include "core/FilterEvent.h"
#include "core/PixelOp.h"
#include "core/ScanMan.h"

namespace {

class TEdgeSmoother {
public:
    TEdgeSmoother(TBitmap& mask, const TRect& r, int maxRun)
        : m_rows(mask, r), m_r(r), m_maxRun(maxRun) {}

    void Row(int y) {
        for (int x = m_r.Left + 1; x <= m_r.Right - 2; ++x) {
            if (!Black(x, y)) continue;
            if (!Black(x - 1, y)) {
                if (y > m_r.Top) Ramp(x, y, -1, 0, 0, -1);
                if (y < m_r.Bottom - 1) Ramp(x, y, -1, 0, 0, 1);
            }
            if (!Black(x + 1, y)) {
                if (y > m_r.Top) Ramp(x, y, 1, 0, 0, -1);
                if (y < m_r.Bottom - 1) Ramp(x, y, 1, 0, 0, 1);
            }
        }
    }

    void Column(int x) {
        for (int y = m_r.Top + 1; y <= m_r.Bottom - 2; ++y) {
            if (!Black(x, y)) continue;
            if (!Black(x, y - 1)) {
                if (x > m_r.Left) Ramp(x, y, 0, -1, -1, 0);
                if (x < m_r.Right - 1) Ramp(x, y, 0, -1, 1, 0);
            }
            if (!Black(x, y + 1)) {
                if (x > m_r.Left) Ramp(x, y, 0, 1, -1, 0);
                if (x < m_r.Right - 1) Ramp(x, y, 0, 1, 1, 0);
            }
        }
    }

private:
    uint8_t* At(int x, int y) const { return m_rows.Row(y) + ptrdiff_t(x) * 3; }
    bool Black(int x, int y) const { return *At(x, y) == 0; }
    bool Inside(int x, int y) const {
        return x >= m_r.Left && x < m_r.Right && y >= m_r.Top && y < m_r.Bottom;
    }

    // From the black pixel (x, y), walks in direction (dx, dy) over pixels that are light while
    // their neighbour at offset (nx, ny) is black, and ramps them when the run is shorter than
    // the limit.
    void Ramp(int x, int y, int dx, int dy, int nx, int ny) {
        int n = 0;
        for (int k = 1; n < m_maxRun; ++k) {
            const int px = x + k * dx, py = y + k * dy;
            if (!Inside(px, py) || Black(px, py) || !Black(px + nx, py + ny)) break;
            ++n;
        }
        if (n == 0 || n >= m_maxRun) return;
        const double step = 255.0 / (n + 1);
        double s = 0;
        for (int k = 1; k <= n; ++k) {
            s += step;
            const int v = RoundHalfEven(s + 0.5);
            uint8_t* p = At(x + k * dx, y + k * dy);
            if (v < p[0]) p[0] = p[1] = p[2] = uint8_t(v);
        }
    }

    TScanLinesManager m_rows;
    TRect m_r;
    int m_maxRun;
};

} // namespace

void SmoothMaskEdges(TBitmap& mask, const TRect& rect, int maxRun) {
    const auto r = BeginPixelOp(mask, rect);
    if (!r) return;
    const int width = r->Right - r->Left;
    const int height = r->Bottom - r->Top;
    TProgressScope progress(width + height);
    if (!progress.Started()) return;
    if (maxRun < 0) maxRun = 99999;
    TEdgeSmoother smoother(mask, *r, maxRun);
    for (int y = r->Top; y < r->Bottom; ++y) {
        if (!progress.Step(y - r->Top)) return;
        smoother.Row(y);
    }
    for (int x = r->Left; x < r->Right; ++x) {
        if (!progress.Step(height + x - r->Left)) return;
        smoother.Column(x);
    }
}
