// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Stretched copies of a rectangle of one 24-bit image onto a rectangle of another, for the zoom
// view. Both rectangles must lie inside their images; the source is mapped onto the whole
// destination rectangle.

#include "core/Color.h"

#include <QImage>
#include <QRect>

// Nearest pixel: each destination pixel takes the source pixel under its centre, so rows and
// columns are repeated or dropped, never averaged. With a key, source pixels of the key colour
// leave the destination as it was.
void StretchNearest24(const QImage& src, const QRect& from, QImage& dst, const QRect& to,
                      const TTriple* key = nullptr);

// Smooth: area averaging when reducing, interpolation when enlarging.
void StretchSmooth24(const QImage& src, const QRect& from, QImage& dst, const QRect& to);
