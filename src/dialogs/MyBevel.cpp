// SPDX-License-Identifier: GPL-2.0-or-later
#include "dialogs/MyBevel.h"

#include "core/Decorations.h"

#include "dialogs/DialogHost.h"

#include <QPainter>

namespace {

void FillRow(QPainter& p, int x1, int x2, int y, TColor c) {
    if (x2 > x1) p.fillRect(QRect(x1, y, x2 - x1, 1), QColorOf(c));
}

void FillColumn(QPainter& p, int x, int y1, int y2, TColor c) {
    if (y2 > y1) p.fillRect(QRect(x, y1, 1, y2 - y1), QColorOf(c));
}

// One line of the gradient at offset i along the chosen direction.
void GradientLine(QPainter& p, const QRect& r, bool horizontal, int i, TColor c) {
    if (horizontal)
        FillColumn(p, r.left() + i, r.top(), r.top() + r.height(), c);
    else
        FillRow(p, r.left(), r.left() + r.width(), r.top() + i, c);
}

void Gradient(QPainter& p, const QRect& r, bool horizontal, TColor from, TColor to) {
    const int n = horizontal ? r.width() : r.height();
    for (int d = 0; d < n; ++d)
        GradientLine(p, r, horizontal, d, GradientStep(from, to, d, n));
}

void DoubleGradient(QPainter& p, const QRect& r, bool horizontal, TColor outer, TColor middle) {
    const int n = horizontal ? r.width() : r.height();
    const int third = n / 3;
    for (int i = 0; i < n; ++i) {
        TColor c = middle;
        if (i < third)
            c = GradientStep(outer, middle, i, third);
        else if (i >= n - third)
            c = GradientStep(middle, outer, i - (n - third), third);
        GradientLine(p, r, horizontal, i, c);
    }
}

void Outline(QPainter& p, const QRect& r, TColor topLeft, TColor bottomRight) {
    const int x1 = r.left(), y1 = r.top(), x2 = r.left() + r.width(), y2 = r.top() + r.height();
    FillRow(p, x1, x2 - 1, y1, topLeft);
    FillColumn(p, x1, y1, y2 - 1, topLeft);
    FillRow(p, x1, x2, y2 - 1, bottomRight);
    FillColumn(p, x2 - 1, y1, y2 - 1, bottomRight);
}

void Frame3D(QPainter& p, QRect r, int width, TColor topLeft, TColor bottomRight) {
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        Outline(p, r, topLeft, bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace

TColor GradientStep(TColor from, TColor to, int d, int n) {
    const TColor a = ResolveColor(from), b = ResolveColor(to);
    if (n <= 0) return a;
    auto step = [d, n](int x, int y) { return x + d * (y - x) / n; };
    return RGBColor(step(RedOf(a), RedOf(b)), step(GreenOf(a), GreenOf(b)),
                    step(BlueOf(a), BlueOf(b)));
}

void PaintBevel(QPainter& p, const QRect& r, const TBevelLook& look) {
    if (r.isEmpty()) return;
    const bool wide = r.width() > r.height();
    switch (look.Style) {
    case bsFill:
        p.fillRect(r, QColorOf(look.Color));
        break;
    case bsLine:
        if (wide)
            FillRow(p, r.left(), r.left() + r.width(), r.top(), look.DrawColor);
        else
            FillColumn(p, r.left(), r.top(), r.top() + r.height(), look.DrawColor);
        break;
    case bsSeparator:
        if (wide) {
            FillRow(p, r.left(), r.left() + r.width(), r.top(), clBtnShadow);
            FillRow(p, r.left(), r.left() + r.width(), r.top() + 1, clBtnHighlight);
        } else {
            FillColumn(p, r.left(), r.top(), r.top() + r.height(), clBtnShadow);
            FillColumn(p, r.left() + 1, r.top(), r.top() + r.height(), clBtnHighlight);
        }
        break;
    case bsBox:
        Outline(p, r, look.DrawColor, look.DrawColor);
        break;
    case bsFrame:
        // Etched: a shadow outline with a highlight outline one pixel inside and below.
        Outline(p, r.adjusted(1, 1, 0, 0), clBtnHighlight, clBtnHighlight);
        Outline(p, r.adjusted(0, 0, -1, -1), clBtnShadow, clBtnShadow);
        break;
    case bsGradient:
        Gradient(p, r, wide, look.DrawColor, look.Color);
        break;
    case bsGradientV:
        Gradient(p, r, false, look.DrawColor, look.Color);
        break;
    case bsGradientH:
        Gradient(p, r, true, look.DrawColor, look.Color);
        break;
    case bsDoubleGradient:
        DoubleGradient(p, r, wide, look.Color, look.DrawColor);
        break;
    case bsLowered:
        Frame3D(p, r, look.BorderWidth, clBtnShadow, clBtnHighlight);
        break;
    case bsRaised:
        Frame3D(p, r, look.BorderWidth, clBtnHighlight, clBtnShadow);
        break;
    case bsShadowBox: {
        const int size = look.BorderWidth;
        const QRect box = r.adjusted(0, 0, -size, -size);
        DropShadowOnCanvas(p, FromQRect(box), size, false, true, look.Color, 80);
        break;
    }
    }
}

TMyBevel::TMyBevel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TMyBevel::SetStyle(TBevelStyle style) {
    m_look.Style = style;
    update();
}

void TMyBevel::SetColor(TColor c) {
    m_look.Color = c;
    update();
}

void TMyBevel::SetDrawColor(TColor c) {
    m_look.DrawColor = c;
    update();
}

void TMyBevel::SetBorderWidth(int width) {
    m_look.BorderWidth = width;
    update();
}

void TMyBevel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintBevel(p, rect(), m_look);
}
