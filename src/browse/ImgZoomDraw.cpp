// SPDX-License-Identifier: GPL-2.0-or-later
// Drawing and scrolling of the zoom view: only the part of the image inside the view is
// stretched, so the cost follows the view's size, not the image's.
#include "browse/ImgZoom.h"
#include "browse/ZoomStretch.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

void FillBand(QImage& target, const TRect& r, const QBrush& brush) {
    if (RectEmpty(r)) return;
    QPainter p(&target);
    p.fillRect(ToQRect(r), brush);
}

// round(v), ties to even, for a zoomed extent that may exceed 32 bits.
int64_t ZoomedExtent(double v) {
    return int64_t(std::nearbyint(std::clamp(v, 0.0, double(int64_t{1} << 40))));
}

} // namespace

TRect TImageZoom::Draw(bool fill) {
    if (HasStandIn() ? !m_standIn : !m_bitmap) return TRect{};
    if (!m_canvas) return TRect{};
    const TBitmap& image = HasStandIn() ? *m_standIn : *m_bitmap;
    const TRect& v = m_viewRect;
    // The whole zoomed image, in 64 bits since it may lie far outside the view.
    const int64_t right = m_imageLeft + ZoomedExtent(SourceWidth() * m_scale);
    const int64_t bottom = m_imageTop + ZoomedExtent(SourceHeight() * m_scale);
    TRect r{std::max(m_imageLeft, v.Left), std::max(m_imageTop, v.Top),
            int(std::min<int64_t>(right, v.Right)), int(std::min<int64_t>(bottom, v.Bottom))};
    QImage& target = m_canvas->Image();
    if (RectEmpty(r) || m_scale <= 0) {
        if (fill) FillBand(target, v, m_brush);
        return TRect{};
    }
    if (fill && image.Transparent()) FillBand(target, r, m_brush);
    StretchVisible(r);
    if (fill) {
        FillBand(target, TRect{v.Left, v.Top, v.Right, r.Top}, m_brush);
        FillBand(target, TRect{v.Left, r.Bottom, v.Right, v.Bottom}, m_brush);
        FillBand(target, TRect{v.Left, r.Top, r.Left, r.Bottom}, m_brush);
        FillBand(target, TRect{r.Right, r.Top, v.Right, r.Bottom}, m_brush);
    }
    return r;
}

void TImageZoom::StretchVisible(const TRect& visible) {
    QImage& target = m_canvas->Image();
    // Only what lies on the target is stretched, whatever view the owner set.
    const TRect to = IntersectRects(visible, TRect{0, 0, target.width(), target.height()});
    if (RectEmpty(to)) return;
    const TBitmap& image = HasStandIn() ? *m_standIn : *m_bitmap;
    // The source rectangle, rounded outward: at a fractional scale the few source pixels at
    // the edges are stretched over the destination as a whole. A stand-in is that much smaller
    // than the image it stands for.
    const bool standIn = HasStandIn();
    const double sx = standIn ? m_scale * SourceWidth() / std::max(1, image.Width()) : m_scale;
    const double sy = standIn ? m_scale * SourceHeight() / std::max(1, image.Height()) : m_scale;
    const int64_t sl = int64_t(std::trunc((to.Left - int64_t(m_imageLeft)) / sx));
    const int64_t st = int64_t(std::trunc((to.Top - int64_t(m_imageTop)) / sy));
    const int64_t sr = int64_t(std::ceil((to.Right - int64_t(m_imageLeft)) / sx));
    const int64_t sb = int64_t(std::ceil((to.Bottom - int64_t(m_imageTop)) / sy));
    const QRect from(QPoint(int(std::clamp<int64_t>(sl, 0, image.Width())),
                            int(std::clamp<int64_t>(st, 0, image.Height()))),
                     QPoint(int(std::clamp<int64_t>(sr, 0, image.Width())) - 1,
                            int(std::clamp<int64_t>(sb, 0, image.Height())) - 1));
    if (from.isEmpty()) return;

    // The stretch works on 24-bit pixels: another source format is converted, only the part
    // that is shown; another target format receives a 24-bit copy of the area drawn on.
    QImage converted;
    const QImage* src = &image.Image();
    QRect srcRect = from;
    if (src->format() != QImage::Format_BGR888) {
        converted = ConvertTo24Bit(src->copy(from));
        src = &converted;
        srcRect = QRect(QPoint(0, 0), from.size());
    }
    const QRect toRect = ToQRect(to);
    QImage staging;
    QImage* dst = &target;
    QRect dstRect = toRect;
    if (target.format() != QImage::Format_BGR888) {
        staging = ConvertTo24Bit(target.copy(toRect));
        dst = &staging;
        dstRect = QRect(QPoint(0, 0), toRect.size());
    }

    // A transparent image shows through its mask, which only a nearest copy honours.
    const bool transparent = image.Transparent();
    if (m_optimize && !transparent && srcRect.size() != dstRect.size()) {
        // The picture, the part of it and the block size its averages were made for.
        const bool made = !standIn && m_averages && src == &image.Image() &&
                          m_averages->PictureKey == image.Image().cacheKey() &&
                          srcRect == m_averages->From &&
                          m_averages->BlockSize == SmoothBlockSize(srcRect, dstRect);
        StretchSmooth24(*src, srcRect, *dst, dstRect, made ? &m_averages->Averages : nullptr);
    } else {
        const TTriple key = ColorToTriple(image.TransparentColor());
        StretchNearest24(*src, srcRect, *dst, dstRect, transparent ? &key : nullptr);
    }

    if (dst != &target) {
        QPainter p(&target);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(toRect.topLeft(), staging);
    }
}

TRect TImageZoom::ScrollBy(int dx, int dy, bool fill) {
    if (!m_bitmap || !m_canvas || HasStandIn()) return TRect{};
    const TRect v = m_viewRect;
    const TRect i = ImageRect();
    // Never open a gap between the image and a view edge that it covers.
    if (dx < 0)
        dx = v.Right > i.Right ? 0 : std::max(dx, v.Right - i.Right);
    else if (dx > 0)
        dx = v.Left < i.Left ? 0 : std::min(dx, v.Left - i.Left);
    if (dy < 0)
        dy = v.Bottom > i.Bottom ? 0 : std::max(dy, v.Bottom - i.Bottom);
    else if (dy > 0)
        dy = v.Top < i.Top ? 0 : std::min(dy, v.Top - i.Top);
    if (dx == 0 && dy == 0) return TRect{};
    m_imageLeft += dx;
    m_imageTop += dy;
    m_alignment = zaFree;
    return Draw(fill);
}
