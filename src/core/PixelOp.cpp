// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/PixelOp.h"

std::optional<TRect> BeginPixelOp(TBitmap& image, const TRect& rect) {
    if (image.Empty()) return std::nullopt;
    const TRect r = ClipToImage(rect, image);
    if (RectEmpty(r)) return std::nullopt;
    image.To24Bit();
    return r;
}
