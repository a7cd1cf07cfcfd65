// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/MainLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

TRect Shrunk(const TRect& r, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    auto clampInt = [](int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return TRect{clampInt(r.Left + left), clampInt(r.Top + top), clampInt(r.Right - right),
                 clampInt(r.Bottom - bottom)};
}

} // namespace

int DeviceLength(int length, double ratio) {
    return int(std::lround(length * ratio));
}

TRect StartupBounds(const TRect& workArea, int screenWidth) {
    const int dx = screenWidth / 12;
    const int dy = screenWidth / 16;
    return Shrunk(workArea, dx, dy, dx, dy);
}

TRect ViewRectFor(const TRect& displayArea, const TViewerSettings& s, double ratio) {
    TRect v = displayArea;
    if (s.region) v = IntersectRects(*s.region, v);
    if (RectEmpty(v)) return TRect{};
    if (s.bcmt) {
        const int band = DeviceLength(kCommentBand, ratio);
        v = s.pcmt == 1 ? Shrunk(v, 0, band, 0, 0) : Shrunk(v, 0, 0, 0, band);
    }
    if (s.bcadre) {
        const int w = DeviceLength(s.cadre.width, ratio);
        v = Shrunk(v, w, w, w, w);
    }
    if (s.b3d) {
        const int w = DeviceLength(kBevelWidth, ratio);
        v = Shrunk(v, w, w, w, w);
    }
    if (s.bombre) {
        const int w = DeviceLength(kShadowSize, ratio);
        v = Shrunk(v, 0, 0, w, w);
    }
    return RectEmpty(v) ? TRect{} : v;
}

QPoint CommentPlace(const TRect& decorated, int textWidth, int textHeight, int pcmt, double ratio) {
    const int gap = DeviceLength(kCommentGap, ratio);
    const int x = decorated.Left + (RectWidth(decorated) - textWidth) / 2;
    const int y = pcmt == 1 ? decorated.Top - textHeight - gap : decorated.Bottom + gap;
    return QPoint(x, y);
}
