// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The opening shared by the nearest-pixel and the bicubic stretch.

#include "core/Bitmap.h"
#include "core/Rect.h"

#include <optional>

struct TStretchGeometry {
    TRect Src;     // source rectangle clipped to the source
    TRect Dst;     // destination rectangle as given
    TRect Clip;    // clip rectangle clipped to the destination
    TRect Area;    // destination pixels to compute: Clip within Dst
    double Xs, Ys; // destination size / source size per axis
};

// Converts both images to 24 bits and settles the rectangles. Returns nothing when no pixel is to
// be computed, which includes the case of equal sizes: those pixels are copied here unchanged.
std::optional<TStretchGeometry> BeginStretch(TBitmap& source, const TRect& srcRect,
                                             TBitmap& destination, const TRect& clip,
                                             const TRect& dstRect);
