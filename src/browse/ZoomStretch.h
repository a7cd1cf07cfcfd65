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

// Smooth: area averaging when reducing, interpolation when enlarging. Whole blocks of k x k
// source pixels are averaged first (k from SmoothBlockSize); averages, when given, are those
// blocks made ahead (AverageBlocks of the same rectangle).
void StretchSmooth24(const QImage& src, const QRect& from, QImage& dst, const QRect& to,
                     const QImage* averages = nullptr);
int SmoothBlockSize(const QRect& from, const QRect& to);
// One opaque 32-bit pixel per block of k x k pixels of the 24-bit rectangle; the blocks of the
// last column and row may be narrower.
QImage AverageBlocks(const QImage& src, const QRect& from, int k);

// The block averages of a picture shown whole, made ahead (by a decoding worker) for the size
// it is expected to be shown at; used only for that picture unchanged, the same source
// rectangle and the same block size.
struct TBlockAverages {
    qint64 PictureKey = 0; // QImage::cacheKey() of the picture
    QRect From;
    int BlockSize = 0;
    QImage Averages;
};
