// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ImgZoom.h"

#include <algorithm>
#include <cmath>

namespace {

// Zoomed sizes and positions stay far inside the 32-bit range whatever scale is asked for, so
// sums of a position and a size cannot overflow.
constexpr double kMaxZoomed = 1 << 28;

int RoundZoomed(double v) {
    if (!(v > -kMaxZoomed)) return int(-kMaxZoomed); // NaN too
    if (v > kMaxZoomed) return int(kMaxZoomed);
    return RoundHalfEven(v);
}

} // namespace

void TImageZoom::SetBitmap(const TBitmap* image) {
    if (image == m_bitmap && !HasStandIn()) return;
    m_bitmap = image;
    m_standIn = nullptr;
    m_standInSize = QSize();
    Recompute();
}

void TImageZoom::SetStandIn(const TBitmap* picture, QSize fullSize) {
    m_standIn = picture;
    m_standInSize = fullSize.isValid() ? fullSize : QSize(0, 0);
    Recompute();
}

void TImageZoom::EndStandIn() {
    if (!HasStandIn()) return;
    m_standIn = nullptr;
    m_standInSize = QSize();
    Recompute();
}

int TImageZoom::SourceWidth() const {
    if (HasStandIn()) return m_standInSize.width();
    return m_bitmap ? m_bitmap->Width() : 0;
}

int TImageZoom::SourceHeight() const {
    if (HasStandIn()) return m_standInSize.height();
    return m_bitmap ? m_bitmap->Height() : 0;
}

double TImageZoom::SourceFitScale(int kind) const {
    if (!HasStandIn()) return FitScale(m_bitmap, m_viewRect, kind);
    const int w = SourceWidth(), h = SourceHeight();
    if (w <= 0 || h <= 0 || RectEmpty(m_viewRect)) return 0;
    const double byWidth = double(RectWidth(m_viewRect)) / w;
    const double byHeight = double(RectHeight(m_viewRect)) / h;
    return kind == 1   ? byWidth
           : kind == 2 ? byHeight
           : kind == 3 ? std::min(byWidth, byHeight)
                       : 1.0;
}

void TImageZoom::SetCanvas(TBitmap* canvas) {
    if (canvas == m_canvas) return;
    m_canvas = canvas;
    m_viewRect = canvas ? TRect{0, 0, canvas->Width(), canvas->Height()} : TRect{};
    Recompute();
}

void TImageZoom::SetViewRect(const TRect& rect) {
    if (rect == m_viewRect) return;
    m_viewRect = rect;
    Recompute();
}

void TImageZoom::SetZoomMode(::ZoomMode mode) {
    if (mode == m_zoomMode) return;
    m_zoomMode = mode;
    Recompute();
}

void TImageZoom::SetScale(double scale) {
    if (!(scale > 0)) scale = 1.0;
    m_zoomMode = zmCustom;
    if (scale == m_scale) return;
    m_scale = scale;
    Recompute();
}

void TImageZoom::SetAlignment(::Alignment alignment) {
    if (alignment == m_alignment) return;
    m_alignment = alignment;
    Realign();
}

void TImageZoom::SetImageLeft(int x) {
    m_imageLeft = x;
    m_alignment = zaFree;
}

void TImageZoom::SetImageTop(int y) {
    m_imageTop = y;
    m_alignment = zaFree;
}

void TImageZoom::SetZoomedWidth(int w) {
    if (!HasImage() || SourceWidth() <= 0 || w <= 0 || w == m_zoomedWidth) return;
    m_zoomedWidth = w;
    m_scale = double(w) / SourceWidth();
    m_zoomedHeight = RoundZoomed(SourceHeight() * m_scale);
    m_zoomMode = zmCustom;
    Realign();
}

void TImageZoom::SetZoomedHeight(int h) {
    if (!HasImage() || SourceHeight() <= 0 || h <= 0 || h == m_zoomedHeight) return;
    m_zoomedHeight = h;
    m_scale = double(h) / SourceHeight();
    m_zoomedWidth = RoundZoomed(SourceWidth() * m_scale);
    m_zoomMode = zmCustom;
    Realign();
}

void TImageZoom::Recompute() {
    if (!HasImage()) {
        m_zoomedWidth = 0;
        m_zoomedHeight = 0;
        return;
    }
    if (!RectEmpty(m_viewRect)) {
        switch (m_zoomMode) {
        case zmActualSize:
            m_scale = 1.0;
            break;
        case zmFitWidth:
            m_scale = SourceFitScale(1);
            break;
        case zmFitHeight:
            m_scale = SourceFitScale(2);
            break;
        case zmFitScreen:
            m_scale = SourceFitScale(3);
            break;
        case zmCustom:
            break;
        }
    }
    m_zoomedWidth = RoundZoomed(SourceWidth() * m_scale);
    m_zoomedHeight = RoundZoomed(SourceHeight() * m_scale);
    Realign();
}

void TImageZoom::Realign() {
    if (!HasImage() || RectEmpty(m_viewRect) || m_alignment == zaFree) return;
    const TRect& v = m_viewRect;
    const int left = v.Left;
    const int right = v.Right - m_zoomedWidth;
    const int centreX = v.Left + (RectWidth(v) - m_zoomedWidth) / 2;
    const int top = v.Top;
    const int bottom = v.Bottom - m_zoomedHeight;
    const int centreY = v.Top + (RectHeight(v) - m_zoomedHeight) / 2;
    switch (m_alignment) {
    case zaTopLeft:
        m_imageLeft = left, m_imageTop = top;
        break;
    case zaTopCenter:
        m_imageLeft = centreX, m_imageTop = top;
        break;
    case zaTopRight:
        m_imageLeft = right, m_imageTop = top;
        break;
    case zaMiddleLeft:
        m_imageLeft = left, m_imageTop = centreY;
        break;
    case zaCenter:
        m_imageLeft = centreX, m_imageTop = centreY;
        break;
    case zaMiddleRight:
        m_imageLeft = right, m_imageTop = centreY;
        break;
    case zaBottomLeft:
        m_imageLeft = left, m_imageTop = bottom;
        break;
    case zaBottomCenter:
        m_imageLeft = centreX, m_imageTop = bottom;
        break;
    case zaBottomRight:
        m_imageLeft = right, m_imageTop = bottom;
        break;
    case zaCenterHorz:
        m_imageLeft = centreX;
        break;
    case zaCenterVert:
        m_imageTop = centreY;
        break;
    case zaFree:
        break;
    }
}

TRect TImageZoom::ImageRect() const {
    return TRect{m_imageLeft, m_imageTop, m_imageLeft + m_zoomedWidth, m_imageTop + m_zoomedHeight};
}

bool TImageZoom::CanScroll(TViewSide side) const {
    if (!HasImage() || RectEmpty(m_viewRect)) return false;
    const TRect i = ImageRect();
    const TRect& v = m_viewRect;
    switch (side) {
    case TViewSide::Left:
        return i.Left < v.Left;
    case TViewSide::Top:
        return i.Top < v.Top;
    case TViewSide::Right:
        return v.Right < i.Right;
    case TViewSide::Bottom:
        return v.Bottom < i.Bottom;
    }
    return false;
}

double TImageZoom::FitScale(const TBitmap* image, const TRect& rect, int kind) {
    if (!image || image->Empty() || RectEmpty(rect)) return 0;
    const double byWidth = double(RectWidth(rect)) / image->Width();
    const double byHeight = double(RectHeight(rect)) / image->Height();
    switch (kind) {
    case 1:
        return byWidth;
    case 2:
        return byHeight;
    case 3:
        return std::min(byWidth, byHeight);
    default:
        return 1.0;
    }
}
