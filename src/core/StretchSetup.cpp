// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/StretchSetup.h"

#include <cstdint>
#include <cstring>

namespace {

void CopyUnscaled(const TBitmap& source, const TRect& src, TBitmap& destination, const TRect& dst,
                  const TRect& clip) {
    const TRect area = IntersectRects(dst, clip);
    if (RectEmpty(area)) return;
    const size_t bytes = size_t(area.Right - area.Left) * 3;
    const int64_t sx = src.Left + (int64_t(area.Left) - dst.Left);
    for (int y = area.Top; y < area.Bottom; ++y) {
        const int64_t sy = src.Top + (int64_t(y) - dst.Top);
        std::memcpy(destination.ScanLine(y) + size_t(area.Left) * 3,
                    source.ScanLine(int(sy)) + size_t(sx) * 3, bytes);
    }
}

} // namespace

std::optional<TStretchGeometry> BeginStretch(TBitmap& source, const TRect& srcRect,
                                             TBitmap& destination, const TRect& clip,
                                             const TRect& dstRect) {
    const TRect src = ClipToImage(srcRect, source);
    if (RectEmpty(src) || RectEmpty(dstRect)) return std::nullopt;
    const TRect clipped = ClipToImage(clip, destination);
    if (RectEmpty(clipped)) return std::nullopt;
    source.To24Bit();
    destination.To24Bit();
    const int64_t sw = src.Right - src.Left, sh = src.Bottom - src.Top;
    const int64_t dw = int64_t(dstRect.Right) - dstRect.Left;
    const int64_t dh = int64_t(dstRect.Bottom) - dstRect.Top;
    if (sw == dw && sh == dh) {
        CopyUnscaled(source, src, destination, dstRect, clipped);
        return std::nullopt;
    }
    TStretchGeometry g{src,
                       dstRect,
                       clipped,
                       IntersectRects(clipped, dstRect),
                       double(dw) / double(sw),
                       double(dh) / double(sh)};
    if (RectEmpty(g.Area)) return std::nullopt;
    return g;
}
