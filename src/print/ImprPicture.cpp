// SPDX-License-Identifier: GPL-2.0-or-later
// The page picture of the print dialog: a white box shaped like the page, with its shadow and
// border, and the image where the layout puts it.
#include "print/Impr.h"

#include "core/Decorations.h"

#include <QCheckBox>
#include <QPaintEvent>
#include <QPainter>

namespace {

constexpr TColor kLightBorder = 0xCCCCCC;
constexpr TColor kDarkBorder = 0x555555;
constexpr int kShadowSize = 4;
constexpr int kShadowStrength = 70;
// Beyond this the page picture scales the image while drawing instead of keeping a copy.
constexpr int kMaxPreviewSide = 4 * kPreviewSide;

TColor ColorOf(const QColor& c) {
    return RGBColor(c.red(), c.green(), c.blue());
}

int Rounded(double v) {
    return RoundHalfEven(std::clamp(v, -1e9, 1e9));
}

} // namespace

QRect TImprForm::PreviewInnerRect() const {
    return QRect(kPreviewOrigin + 1, kPreviewOrigin + 1, std::max(m_box.Width - 2, 0),
                 std::max(m_box.Height - 2, 0));
}

QRect TImprForm::PreviewImageRect() const {
    const QRect inner = PreviewInnerRect();
    if (m_image.Empty()) return {};
    if (CBAjuster->isChecked()) {
        int w = m_image.Width();
        int h = m_image.Height();
        FitSize(w, h, inner.width(), inner.height());
        const TRect r =
            CenterRect(w, h, {inner.left(), inner.top(), inner.right() + 1, inner.bottom() + 1});
        return ToQRect(r);
    }
    const double k = m_box.K * m_scale;
    return QRect(
        kPreviewOrigin + Rounded(m_left * m_box.K), kPreviewOrigin + Rounded(m_top * m_box.K),
        std::max(Rounded(m_image.Width() * k), 1), std::max(Rounded(m_image.Height() * k), 1));
}

void TImprForm::ForgetPreview() {
    m_previewBase = QImage();
    m_preview = QImage();
}

const QImage& TImprForm::PreviewImage(const QSize& size) {
    if (m_preview.size() == size) return m_preview;
    if (m_previewBase.isNull()) {
        // Twice the inner area: room for any scale the layout allows, and still small.
        QSize base = m_image.Image().size();
        const QSize room = PreviewInnerRect().size() * 2;
        if (base.width() > room.width() || base.height() > room.height())
            base.scale(room, Qt::KeepAspectRatio);
        m_previewBase =
            base == m_image.Image().size()
                ? m_image.Image()
                : m_image.Image().scaled(base, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QImage& source =
        size.width() <= m_previewBase.width() && size.height() <= m_previewBase.height()
            ? m_previewBase
            : m_image.Image();
    m_preview = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return m_preview;
}

void TImprForm::PaintPagePicture(QPainter& painter) {
    const TRect box{kPreviewOrigin, kPreviewOrigin, kPreviewOrigin + m_box.Width,
                    kPreviewOrigin + m_box.Height};
    DropShadowOnCanvas(painter, box, kShadowSize, true, true,
                       ColorOf(palette().color(QPalette::Window)), kShadowStrength);
    painter.fillRect(QRect(box.Left, box.Top, m_box.Width, m_box.Height), Qt::white);
    TRect inner = box;
    Outline3D(painter, inner, kLightBorder, kDarkBorder);
    if (m_image.Empty()) return;
    const QRect target = PreviewImageRect();
    painter.save();
    painter.setClipRect(PreviewInnerRect());
    if (target.width() <= kMaxPreviewSide && target.height() <= kMaxPreviewSide) {
        painter.drawImage(target.topLeft(), PreviewImage(target.size()));
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(target, m_image.Image());
    }
    painter.restore();
}

void TImprForm::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    PaintPagePicture(painter);
}
