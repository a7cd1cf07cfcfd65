// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ZoomPolicy.h"

#include "core/Rect.h"

namespace {

struct TOverflow {
    int x = 0, y = 0;
    bool Exceeds() const { return x > 0 || y > 0; }
};

TOverflow OverflowOf(const TImageZoom& view) {
    const TRect& v = view.ViewRect();
    return TOverflow{view.ZoomedWidth() - RectWidth(v), view.ZoomedHeight() - RectHeight(v)};
}

} // namespace

void ApplyZoomSetting(TImageZoom& view, const TZoomSettings& settings) {
    switch (settings.zoom) {
    case kZoomActualSize:
        view.SetZoomMode(zmActualSize);
        break;
    case kZoomFit:
        view.SetZoomMode(zmFitScreen);
        break;
    case kZoomFitWidth:
        view.SetZoomMode(zmFitWidth);
        break;
    case kZoomFitHeight:
        view.SetZoomMode(zmFitHeight);
        break;
    // Decimal values as the settings dialog names them, not exact thirds.
    case kZoomThird:
        view.SetScale(0.3333333);
        break;
    case kZoomHalf:
        view.SetScale(0.5);
        break;
    case kZoomTwoThirds:
        view.SetScale(0.6666666);
        break;
    case kZoomDouble:
        view.SetScale(2.0);
        break;
    case kZoomThumbnail: {
        view.SetZoomMode(zmActualSize);
        const int m = settings.vtaille;
        if (m < view.ZoomedWidth() || m < view.ZoomedHeight()) view.SetZoomedWidth(m);
        if (m < view.ZoomedHeight()) view.SetZoomedHeight(m);
        break;
    }
    default:
        return;
    }
    const bool fitMode = settings.zoom >= kZoomFit && settings.zoom <= kZoomFitHeight;
    if (fitMode && settings.breduction && view.Scale() > 1) view.SetZoomMode(zmActualSize);
}

bool PlaceAfterZoomSetting(TImageZoomScrolling& view, int zoom) {
    const TOverflow o = OverflowOf(view);
    // A thumbnail keeps the alignment chosen when its image was opened.
    if (zoom == kZoomThumbnail) return o.Exceeds();
    if (!o.Exceeds()) {
        view.SetAlignment(zaCenter);
    } else if (o.x <= 0 || (o.y > 0 && o.x < o.y)) {
        // Too tall: start at the top and scroll up to show the bottom.
        view.SetAlignment(zaTopCenter);
        view.SetDirection(sdUp);
    } else {
        view.SetAlignment(zaMiddleLeft);
        view.SetDirection(sdLeft);
    }
    return o.Exceeds();
}

bool PlaceAfterManualZoom(TImageZoom& view, int zoom) {
    const TOverflow o = OverflowOf(view);
    if (zoom == kZoomThumbnail) return o.Exceeds();
    if (!o.Exceeds()) {
        view.SetAlignment(zaCenter);
        return false;
    }
    const TRect& v = view.ViewRect();
    view.SetAlignment(zaFree);
    if (o.x <= 0)
        view.SetImageLeft(v.Left - o.x / 2);
    else if (o.y <= 0)
        view.SetImageTop(v.Top - o.y / 2);
    // Keep the place, but close any gap on a side where the image overflows.
    if (o.x > 0) {
        if (view.ImageLeft() > v.Left)
            view.SetImageLeft(v.Left);
        else if (view.ImageLeft() + view.ZoomedWidth() < v.Right)
            view.SetImageLeft(v.Right - view.ZoomedWidth());
    }
    if (o.y > 0) {
        if (view.ImageTop() > v.Top)
            view.SetImageTop(v.Top);
        else if (view.ImageTop() + view.ZoomedHeight() < v.Bottom)
            view.SetImageTop(v.Bottom - view.ZoomedHeight());
    }
    return true;
}

void ZoomIn(TImageZoom& view) {
    if (view.Scale() < 10) view.SetScale(view.Scale() * 1.25);
}

void ZoomOut(TImageZoom& view) {
    if (view.ZoomedWidth() > 1 && view.ZoomedHeight() > 1) view.SetScale(view.Scale() / 1.25);
}

QString ZoomPercentText(double scale) {
    return QString::number(RoundHalfEven(scale * 100)) + u'%';
}
