// SPDX-License-Identifier: GPL-2.0-or-later
#include "print/PrintPage.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

TRect MarkLine(int fromX, int fromY, int toX, int toY) {
    if (fromY == toY) {
        if (fromX == toX) return {};
        // Walking left excludes `to` on its right side.
        return fromX < toX ? TRect{fromX, fromY, toX, fromY + 1}
                           : TRect{toX + 1, fromY, fromX + 1, fromY + 1};
    }
    return fromY < toY ? TRect{fromX, fromY, fromX + 1, toY}
                       : TRect{fromX, toY + 1, fromX + 1, fromY + 1};
}

std::vector<TRect> OutlineLines(const TRect& r) {
    const TRect s = SortedRect(r);
    if (RectEmpty(s)) return {};
    return {
        {s.Left, s.Top, s.Right, s.Top + 1},
        {s.Left, s.Bottom - 1, s.Right, s.Bottom},
        {s.Left, s.Top, s.Left + 1, s.Bottom},
        {s.Right - 1, s.Top, s.Right, s.Bottom},
    };
}

bool WantsCentreMarks(int imgW, int imgH) {
    const int64_t longer = std::max(imgW, imgH);
    const int64_t shorter = std::min(imgW, imgH);
    return shorter > 0 && 2 * longer >= 3 * shorter;
}

std::vector<TRect> CropMarkLines(const TRect& r, const TMarkLengths& marks, int imgW, int imgH) {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    const int o = marks.Outer, i = marks.Inner;
    std::vector<TRect> lines = {
        MarkLine(L - o, T, L - i, T), MarkLine(L, T - o, L, T - i), // top left
        MarkLine(R + o, T, R + i, T), MarkLine(R, T - o, R, T - i), // top right
        MarkLine(R + o, B, R + i, B), MarkLine(R, B + o, R, B + i), // bottom right
        MarkLine(L - o, B, L - i, B), MarkLine(L, B + o, L, B + i), // bottom left
    };
    if (WantsCentreMarks(imgW, imgH)) {
        if (imgH < imgW) {
            const int mx = L + (R - L) / 2;
            lines.push_back(MarkLine(mx, T - o, mx, T - i));
            lines.push_back(MarkLine(mx, B + o, mx, B + i));
        } else {
            const int my = T + (B - T) / 2;
            lines.push_back(MarkLine(L - o, my, L - i, my));
            lines.push_back(MarkLine(R + o, my, R + i, my));
        }
    }
    std::erase_if(lines, [](const TRect& line) { return RectEmpty(line); });
    return lines;
}

namespace {

void FillLines(QPainter& painter, const std::vector<TRect>& lines) {
    for (const TRect& l : lines)
        painter.fillRect(ToQRect(l), Qt::black);
}

// The image scaled into r band by band. Each band reaches one source row into the next, which
// paints over it: the bands meet without a seam at any output resolution.
bool DrawImageBands(QPainter& painter, const QImage& image, const TRect& r,
                    const TBandBreak& between) {
    const int rows = BandRows(image.width());
    const double dotsPerRow = double(RectHeight(r)) / image.height();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (int top = 0; top < image.height(); top += rows) {
        if (top > 0 && between && !between()) return false;
        const int bottom = std::min(top + rows + 1, image.height());
        const QRectF source(0, top, image.width(), bottom - top);
        const QRectF target(r.Left, r.Top + top * dotsPerRow, RectWidth(r),
                            (bottom - top) * dotsPerRow);
        painter.drawImage(target, image, source);
    }
    return true;
}

} // namespace

bool DrawPrintPage(QPainter& painter, const QImage& image, const TPrintLayout& layout,
                   const TBandBreak& between) {
    const TRect& r = layout.ImageRect;
    if (layout.OutlineOnly) {
        FillLines(painter, OutlineLines(r));
    } else if (!image.isNull() && !RectEmpty(r)) {
        if (!DrawImageBands(painter, image, r, between)) return false;
    }
    if (layout.CropMarks)
        FillLines(painter, CropMarkLines(r, layout.Marks, layout.ImgW, layout.ImgH));
    return true;
}
