// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/MainLayout.h"

#include <algorithm>
#include <cstdint>

namespace {

TRect Shrunk(const TRect& r, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    auto clampInt = [](int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return TRect{clampInt(r.Left + left), clampInt(r.Top + top), clampInt(r.Right - right),
                 clampInt(r.Bottom - bottom)};
}

} // namespace

TRect StartupBounds(const TRect& workArea, int screenWidth) {
    const int dx = screenWidth / 12;
    const int dy = screenWidth / 16;
    return Shrunk(workArea, dx, dy, dx, dy);
}

TRect ViewRectFor(const TRect& displayArea, const TViewerSettings& s) {
    TRect v = displayArea;
    if (s.region) v = IntersectRects(*s.region, v);
    if (RectEmpty(v)) return TRect{};
    if (s.bcmt)
        v = s.pcmt == 1 ? Shrunk(v, 0, kCommentBand, 0, 0) : Shrunk(v, 0, 0, 0, kCommentBand);
    if (s.bcadre) {
        const int w = s.cadre.width;
        v = Shrunk(v, w, w, w, w);
    }
    if (s.b3d) v = Shrunk(v, kBevelWidth, kBevelWidth, kBevelWidth, kBevelWidth);
    if (s.bombre) v = Shrunk(v, 0, 0, kShadowSize, kShadowSize);
    return RectEmpty(v) ? TRect{} : v;
}

QPoint CommentPlace(const TRect& decorated, int textWidth, int textHeight, int pcmt) {
    const int x = decorated.Left + (RectWidth(decorated) - textWidth) / 2;
    const int y =
        pcmt == 1 ? decorated.Top - textHeight - kCommentGap : decorated.Bottom + kCommentGap;
    return QPoint(x, y);
}
