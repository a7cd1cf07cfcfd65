// SPDX-License-Identifier: GPL-2.0-or-later
// Drawing selection shapes: the figures and polygons with QPainter (no antialiasing, so the
// edges stay the stair steps that the shape reader later softens), run regions pixel by pixel.
#include "formats/ShapeManager.h"

#include "core/ScanMan.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace {

QColor ToQColor(TColor c) {
    c = ResolveColor(c);
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// The brush fills the pixels whose centres lie inside (alternate rule), then the pen draws each
// edge with both of its end points, so that every vertex is part of the figure (Qt's aliased
// polygon outline leaves some vertex pixels out).
void FilledPolygon(QPainter& p, const QPolygon& polygon) {
    const QPen pen = p.pen();
    p.setPen(Qt::NoPen);
    p.drawPolygon(polygon, Qt::OddEvenFill);
    p.setPen(pen);
    QList<QLine> edges;
    edges.reserve(polygon.size());
    for (qsizetype i = 0; i < polygon.size(); ++i)
        edges.append(QLine(polygon[i], polygon[(i + 1) % polygon.size()]));
    p.drawLines(edges);
}

void Polygon(QPainter& p, std::initializer_list<QPoint> points) {
    FilledPolygon(p, QPolygon(QList<QPoint>(points)));
}

// Pixels x0..x1 of row y, clipped to the image.
void FillSpan(TBitmap& image, int64_t x0, int64_t x1, int64_t y, TTriple colour) {
    if (y < 0 || y >= image.Height()) return;
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, image.Width() - 1);
    if (x0 > x1) return;
    uint8_t* d = image.ScanLine(int(y)) + x0 * 3;
    for (int64_t x = x0; x <= x1; ++x, d += 3) {
        d[0] = colour.b;
        d[1] = colour.g;
        d[2] = colour.r;
    }
}

bool InIntRange(int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

} // namespace

void TShapeManager::Draw(TShapeCanvas& canvas, const TRect& rect, int kind) const {
    if (canvas.Image.Empty()) return;
    if (kind == skRunRegion)
        DrawRunRegion(canvas, rect);
    else if (kind == skPolygon)
        DrawPolygon(canvas, rect);
    else if (kind >= skRectangle && kind <= skDiamond)
        DrawFigure(canvas, rect, kind);
}

void TShapeManager::DrawFigure(TShapeCanvas& canvas, const TRect& rect, int kind) const {
    const int L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
    if (R <= L || B <= T) return;
    const int w = R - L, h = B - T;
    const int cx = (L + R - 1) / 2, cy = (T + B - 1) / 2;
    QPainter p(&canvas.Image.Image());
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ToQColor(canvas.Pen), 1);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(ToQColor(canvas.Brush));
    switch (kind) {
    case skRectangle:
        // A one-pixel outline inside the rectangle, the brush within it.
        p.fillRect(QRect(L, T, w, h), ToQColor(canvas.Pen));
        if (w > 2 && h > 2) p.fillRect(QRect(L + 1, T + 1, w - 2, h - 2), ToQColor(canvas.Brush));
        break;
    case skEllipse:
        p.drawEllipse(QRect(L, T, w - 1, h - 1));
        break;
    case skRoundRect: {
        const double corner = std::min(w, h) / 2;
        p.drawRoundedRect(QRect(L, T, w - 1, h - 1), corner / 2, corner / 2);
        break;
    }
    case skLine:
        // The end point itself is left out, as the rectangle excludes it.
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawLine(L, T, R, B);
        break;
    case skDiagonalBand:
        // One pixel thick across the longer side, so that every row (or column) has a pixel,
        // ending on the rectangle's last pixel.
        if (h >= w)
            Polygon(p, {{L, T}, {L + 1, T}, {R - 1, B - 1}, {R - 2, B - 1}});
        else
            Polygon(p, {{L, T}, {R - 1, B - 2}, {R - 1, B - 1}, {L, T + 1}});
        break;
    case skTriangleUp:
        Polygon(p, {{R - 1, B - 1}, {cx, T}, {L, B - 1}});
        break;
    case skTriangleRight:
        Polygon(p, {{R, cy}, {L, T}, {L, B - 1}});
        break;
    case skTriangleDown:
        Polygon(p, {{cx, B - 1}, {R - 1, T}, {L, T}});
        break;
    case skTriangleLeft:
        Polygon(p, {{R - 1, B - 1}, {R - 1, T}, {L, cy}});
        break;
    case skDiamond:
        Polygon(p, {{cx, B - 1}, {R - 1, cy}, {(L + R) / 2, T}, {L, cy}});
        break;
    default:
        break;
    }
}

void TShapeManager::DrawPolygon(TShapeCanvas& canvas, const TRect& rect) const {
    if (m_points.empty()) return;
    // The points span their bounding box, one less than the size; the rectangle, once its
    // right and bottom are brought in by one, spans as much when drawn at the shape's size.
    const int64_t spanW = int64_t(rect.Right) - 1 - rect.Left;
    const int64_t spanH = int64_t(rect.Bottom) - 1 - rect.Top;
    const int64_t ownW = m_width - 1, ownH = m_height - 1;
    const bool scaleX = ownW > 0 && spanW != ownW, scaleY = ownH > 0 && spanH != ownH;
    QPolygon polygon;
    polygon.reserve(qsizetype(m_points.size()));
    for (const TShapePoint& pt : m_points) {
        const int64_t x =
            scaleX ? RoundHalfEven(double(pt.X) * double(spanW) / double(ownW)) : pt.X;
        const int64_t y =
            scaleY ? RoundHalfEven(double(pt.Y) * double(spanH) / double(ownH)) : pt.Y;
        const int64_t px = rect.Left + x, py = rect.Top + y;
        if (!InIntRange(px) || !InIntRange(py)) return;
        polygon << QPoint(int(px), int(py));
    }
    QPainter p(&canvas.Image.Image());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ToQColor(canvas.Pen), 1));
    p.setBrush(ToQColor(canvas.Brush));
    FilledPolygon(p, polygon);
}

void TShapeManager::DrawRunRegion(TShapeCanvas& canvas, const TRect& rect) const {
    TBitmap& image = canvas.Image;
    const size_t n = std::min(m_points.size(), m_flags.size());
    const auto has = [this](size_t i, uint8_t bit) { return (m_flags[i] & bit) != 0; };
    const int64_t L = rect.Left, T = rect.Top;

    // Runs in order: each from a point that starts one to the next point that ends one, on the
    // same row. The first point that breaks this ends the fill.
    const TTriple fill = ColorToTriple(canvas.Brush);
    for (size_t i = 0; i < n && has(i, sfLeftEdge);) {
        size_t j = i;
        while (j < n && !has(j, sfRightEdge))
            ++j;
        if (j == n || m_points[j].Y != m_points[i].Y) break;
        FillSpan(image, L + m_points[i].X, L + m_points[j].X, T + m_points[i].Y, fill);
        i = j + 1;
    }

    // The boundary: every pixel with a side on the region's edge, in the pen's colour.
    const TDiBitmap pixels(image, ImageBounds(image));
    const uint32_t value = ColorToPixelValue(canvas.Pen);
    for (size_t i = 0; i < n; ++i) {
        if ((m_flags[i] & (sfLeftEdge | sfTopEdge | sfRightEdge | sfBottomEdge)) == 0) continue;
        const int64_t x = L + m_points[i].X, y = T + m_points[i].Y;
        if (InIntRange(x) && InIntRange(y)) pixels.PutPixel(int(x), int(y), value);
    }
}
