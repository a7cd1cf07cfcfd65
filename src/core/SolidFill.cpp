// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/SolidFill.h"

#include <QPainter>
#include <cstring>

void TSolidFill::Fill(const TRect64& r, TColor colour) {
    const TRect clipped = ClipRect64(r, Bounds());
    if (!RectEmpty(clipped)) FillInside(clipped, colour);
}

void TBitmapFill::FillInside(const TRect& r, TColor colour) {
    m_image.To24Bit();
    const TTriple t = ColorToTriple(colour);
    const size_t bytes = size_t(r.Right - r.Left) * 3;
    uint8_t* first = m_image.ScanLine(r.Top) + ptrdiff_t(r.Left) * 3;
    for (size_t i = 0; i < bytes; i += 3) {
        first[i] = t.b;
        first[i + 1] = t.g;
        first[i + 2] = t.r;
    }
    for (int y = r.Top + 1; y < r.Bottom; ++y)
        std::memcpy(m_image.ScanLine(y) + ptrdiff_t(r.Left) * 3, first, bytes);
}

TRect TPainterFill::Bounds() const {
    if (!m_painter.isActive()) return TRect{};
    bool invertible = false;
    const QTransform toUser = m_painter.worldTransform().inverted(&invertible);
    if (!invertible) return TRect{};
    // One pixel of margin for the rounding of a scaled or rotated world transform.
    const QRect area = toUser.mapRect(m_painter.window()).adjusted(-1, -1, 1, 1);
    return FromQRect(area);
}

void TPainterFill::FillInside(const TRect& r, TColor colour) {
    const TColor c = ResolveColor(colour);
    m_painter.fillRect(ToQRect(r), QColor(RedOf(c), GreenOf(c), BlueOf(c)));
}
