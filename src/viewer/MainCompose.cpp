// SPDX-License-Identifier: GPL-2.0-or-later
// Composition of the screen: everything shown is painted into the screen buffer first, then
// the window copies its part of the buffer. The display adjustments are baked into the working
// image, once per load or settings change.
#include "browse/MainLayout.h"
#include "core/ColorAdjust.h"
#include "core/Decorations.h"
#include "core/SolidFill.h"
#include "dialogs/DialogHost.h"
#include "formats/ImageFiles.h"
#include "viewer/Main.h"
#include "viewer/MainView.h"

#include <QFont>
#include <QFontMetrics>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <cmath>

double TMainForm::PixelRatio() const {
    return devicePixelRatioF();
}

// Where the central area starts inside the client area (window pixels): below the tool bar.
QPoint TMainForm::ClientOffset() const {
    const int menu = menuWidget() && menuWidget()->isVisible() ? menuWidget()->height() : 0;
    return m_view->geometry().topLeft() - QPoint(0, menu);
}

QPoint TMainForm::ViewToClient(QPointF viewPos) const {
    const double r = PixelRatio();
    const QPointF client = (viewPos + QPointF(ClientOffset())) * r;
    return QPoint(int(std::floor(client.x())), int(std::floor(client.y())));
}

TRect TMainForm::DisplayArea() const {
    const double r = PixelRatio();
    const QPoint offset = ClientOffset();
    const int left = int(std::lround(offset.x() * r));
    const int top = int(std::lround(offset.y() * r));
    const int right = int(std::lround((offset.x() + m_view->width()) * r));
    const int bottom = int(std::lround((offset.y() + m_view->height()) * r));
    const int margin = DeviceLength(kDisplayMargin, r);
    const TRect area{left + margin, top + margin, right - margin, bottom - margin};
    return RectEmpty(area) ? TRect{} : area;
}

// The buffer always covers the client area, also after the window moved to a larger or
// denser screen; it grows, it never shrinks.
void TMainForm::EnsureBufferCovers() {
    const double r = PixelRatio();
    const QPoint offset = ClientOffset();
    const int w = int(std::ceil((offset.x() + m_view->width()) * r));
    const int h = int(std::ceil((offset.y() + m_view->height()) * r));
    if (w <= m_buffer.Width() && h <= m_buffer.Height()) return;
    m_buffer.SetSize(std::max(w, m_buffer.Width()), std::max(h, m_buffer.Height()));
    PaintBackground();
}

void TMainForm::Layout() {
    if (!isVisible()) return;
    EnsureBufferCovers();
    // The scroll step follows the screen's density too.
    ScrollStepChanged(m_settings.fluidite);
    m_zoom->SetViewRect(ViewRectFor(DisplayArea(), m_settings, PixelRatio()));
}

void TMainForm::ViewResized() {
    if (m_layoutSuspended) return;
    Layout();
    Refresh();
}

void TMainForm::PaintBackground(const TRect& rect) {
    if (!m_pattern.Empty()) {
        TilePattern(m_pattern, m_buffer, 0, 0, rect);
        return;
    }
    const TRect r = IntersectRects(rect, ImageBounds(m_buffer));
    if (!RectEmpty(r)) TBitmapFill(m_buffer).Fill(ToRect64(r), ResolveColor(m_settings.cf));
}

void TMainForm::ComposeScreen() {
    m_decorated = TRect{};
    m_commentBox = QRect();
    PaintBackground();
    // A reduced picture may stand in for an image still decoding (MainReadAhead.cpp).
    if (m_image.Empty() && !m_zoom->HasStandIn()) {
        ShowBuffer();
        return;
    }
    m_zoom->SetOptimize(m_settings.boptimiserz);
    TRect r = m_zoom->Draw(false);
    // A view outside the window shows the background alone.
    if (RectEmpty(r)) {
        ShowBuffer();
        return;
    }
    const bool visible = m_zoom->ZoomedWidth() >= 1 && m_zoom->ZoomedHeight() >= 1;
    // Scrolling redraws only the image, so an image larger than the view gets no scan lines.
    if (m_settings.brayures && !m_scroll.ExceedsView())
        ScanLines(m_buffer, 1, 2, r, 35, ResolveColor(m_settings.cf));
    // Decorations are measured in window pixels, like the comment's font and the layout.
    const double ratio = PixelRatio();
    if (m_settings.bcadre) {
        const int w = DeviceLength(m_settings.cadre.width, ratio);
        r = TRect{r.Left - w, r.Top - w, r.Right + w, r.Bottom + w};
        if (visible) FrameBand(m_buffer, r, ResolveColor(m_settings.cadre.colour), w);
    }
    if (m_settings.bombre) {
        if (m_zoom->ZoomedWidth() >= 10 && m_zoom->ZoomedHeight() >= 10) {
            const int shadow = DeviceLength(kShadowSize, ratio);
            DropShadow(m_buffer, r, shadow, true, kShadowStrength);
            r.Right += shadow;
            r.Bottom += shadow;
        }
    } else if (m_settings.b3d && visible) {
        const int bevel = DeviceLength(kBevelWidth, ratio);
        BevelFrame(m_buffer, r, bevel, kBevelStrength, true);
        r = TRect{r.Left - bevel, r.Top - bevel, r.Right + bevel, r.Bottom + bevel};
    }
    m_decorated = r;
    if (m_settings.bcmt) DrawComment(r);
    ShowBuffer();
}

void TMainForm::DrawComment(const TRect& decorated) {
    const std::optional<QString>& unlisted = m_opening.UnlistedComment();
    const QString text = unlisted ? *unlisted : m_sequence.CurrentComment(m_settings.scmtnf);
    if (text.isEmpty()) return;
    QFont font(QStringLiteral("Arial"));
    // The buffer holds device pixels: on a dense screen the text needs as many more.
    font.setPointSizeF(m_settings.tcmt * PixelRatio());
    font.setBold(m_settings.scmt.bold);
    font.setItalic(m_settings.scmt.italic);
    font.setUnderline(m_settings.scmt.underline);
    QPainter painter(&m_buffer.Image());
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int h = metrics.height();
    const int w = metrics.horizontalAdvance(text);
    const QPoint place = CommentPlace(decorated, w, h, m_settings.pcmt, PixelRatio());
    painter.setPen(QColorOf(m_settings.ccmt));
    painter.drawText(place.x(), place.y() + metrics.ascent(), text);
    m_commentBox = QRect(place, QSize(w, h));
}

void TMainForm::ShowBuffer() {
    m_view->update();
}

void TMainForm::ShowRect(const TRect& r) {
    if (RectEmpty(r)) return;
    const double ratio = PixelRatio();
    const QPoint offset = ClientOffset();
    const QRect logical(QPoint(int(std::floor(r.Left / ratio)), int(std::floor(r.Top / ratio))),
                        QPoint(int(std::ceil(r.Right / ratio)), int(std::ceil(r.Bottom / ratio))));
    m_view->update(logical.translated(-offset));
}

void TMainForm::ReapplyDisplayAdjustments(bool previousBlur, int previousTint, int previousStep) {
    // Colour management acts while a file is read: a change of it reads the image again.
    const bool colourChanged = OptionsOE().ColourManagement != m_settings.bcouleurs;
    OptionsOE().ColourManagement = m_settings.bcouleurs;
    if (m_image.Empty()) return;
    const TViewerSettings& s = m_settings;
    const bool reread = colourChanged || (previousBlur && !s.bflou) ||
                        (previousTint != tintNormal && previousTint != s.teinte) ||
                        (previousStep != adjDefault && previousStep != s.reglage);
    if (reread) {
        StopScrolling();
        QString path = m_currentFile;
        if (LoadImageFile(path, m_image, {}, ShownImageIndex()) > 0) {
            m_image.To24Bit();
            // The file read again is turned as after any opening, so that a photo turned
            // upright from its EXIF orientation stays upright.
            TurnAfterOpen();
            m_zoom->Recompute();
        }
    }
    if (reread || previousBlur != s.bflou || previousTint != s.teinte ||
        previousStep != s.reglage) {
        ApplyDisplayAdjustments(m_image, s.teinte, s.reglage, s.bflou);
        m_zoom->Recompute();
        // The neighbours made ahead carry the old adjustments.
        ScheduleReadAhead();
    }
}

bool TMainForm::LoadPattern(const QString& path) {
    DiscardPattern();
    if (path.isEmpty()) return false;
    QString name = path;
    if (LoadImageFile(name, m_pattern) > 0 && !m_pattern.Empty()) {
        m_pattern.To24Bit();
        return true;
    }
    DiscardPattern();
    return false;
}

void TMainForm::DiscardPattern() {
    m_pattern = TBitmap();
}
