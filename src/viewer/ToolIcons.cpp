// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>

namespace {

// The set's palette: one outline colour and a few fills.
const QColor kInk(43, 58, 74);
const QColor kBlue(47, 109, 181);
const QColor kGreen(46, 150, 64);
const QColor kRed(200, 48, 40);
const QColor kYellow(240, 196, 70);
const QColor kPaper(250, 250, 246);
const QColor kGrey(150, 156, 164);

QPen Ink(double width = 1.0) {
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Triangle(QPainter& p, QPointF a, QPointF b, QPointF c, const QColor& fill) {
    p.setPen(Ink());
    p.setBrush(fill);
    p.drawPolygon(QPolygonF{a, b, c});
}

void Bar(QPainter& p, double x, const QColor& fill) {
    p.setPen(Ink());
    p.setBrush(fill);
    p.drawRect(QRectF(x, 4.5, 2.5, 10));
}

void Magnifier(QPainter& p) {
    p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.5, 11.5), QPointF(16.5, 16.5));
    p.setPen(Ink(1.2));
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(7.5, 7.5), 6, 6);
}

void Page(QPainter& p, const QRectF& r) {
    p.setPen(Ink());
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(QPen(kGrey, 1));
    for (double y = r.top() + 3; y < r.bottom() - 1.5; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    const QPointF u = d / length, n(-u.y(), u.x());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF{to + u * 2, to - u * 3 + n * 3, to - u * 3 - n * 3});
}

void Folder(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(kYellow.darker(115));
    p.drawPolygon(
        QPolygonF{{1.5, 4.5}, {6.5, 4.5}, {8.5, 6.5}, {16.5, 6.5}, {16.5, 15.5}, {1.5, 15.5}});
    p.setBrush(kYellow);
    p.drawPolygon(QPolygonF{{1.5, 15.5}, {4.5, 8.5}, {18.5, 8.5}, {16.5, 15.5}});
}

void Printer(QPainter& p) {
    Page(p, QRectF(5.5, 1.5, 8, 7));
    p.setPen(Ink());
    p.setBrush(kGrey);
    p.drawRoundedRect(QRectF(1.5, 7.5, 16, 7), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 12.5, 10, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawRect(QRectF(14, 9, 2, 1.5));
}

void Disk(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF{{1.5, 1.5}, {15.5, 1.5}, {17.5, 3.5}, {17.5, 17.5}, {1.5, 17.5}});
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 10, 6));
    p.setBrush(kGrey);
    p.drawRect(QRectF(4.5, 11.5, 10, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(11, 2.5, 2, 4));
}

void Gear(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGrey.darker(120));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(9.5, 9.5);
        p.rotate(45.0 * i);
        p.drawRect(QRectF(-1.5, -9, 3, 4));
        p.restore();
    }
    p.setPen(Ink());
    p.setBrush(kGrey);
    p.drawEllipse(QPointF(9.5, 9.5), 6, 6);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(9.5, 9.5), 2.5, 2.5);
}

void List(QPainter& p) {
    static const QColor kThumbs[] = {kBlue, kGreen, kRed};
    for (int i = 0; i < 3; ++i) {
        const double y = 1.5 + i * 6;
        p.setPen(Ink());
        p.setBrush(kThumbs[i]);
        p.drawRect(QRectF(1.5, y, 5, 4));
        p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, y + 2), QPointF(17, y + 2));
    }
}

void Palette(QPainter& p) {
    QPainterPath shape;
    shape.addEllipse(QRectF(1.5, 2.5, 16, 14));
    QPainterPath hole;
    hole.addEllipse(QRectF(10, 10.5, 4, 4));
    p.setPen(Ink());
    p.setBrush(QColor(222, 184, 135));
    p.drawPath(shape.subtracted(hole));
    const std::pair<QPointF, QColor> dots[] = {
        {{5.5, 7}, kRed}, {{9.5, 5.5}, kYellow}, {{13.5, 7}, kGreen}, {{5.5, 11.5}, kBlue}};
    p.setPen(Qt::NoPen);
    for (const auto& [at, colour] : dots) {
        p.setBrush(colour);
        p.drawEllipse(at, 1.8, 1.8);
    }
}

void Screen(QPainter& p) {
    p.setPen(Ink());
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 16, 12));
    p.setPen(QPen(kBlue, 1.5));
    for (const auto& [x, y, dx, dy] :
         {std::array<double, 4>{4, 5, 1, 1}, {15, 5, -1, 1}, {4, 12, 1, -1}, {15, 12, -1, -1}}) {
        p.drawLine(QPointF(x, y), QPointF(x + 3 * dx, y));
        p.drawLine(QPointF(x, y), QPointF(x, y + 2.5 * dy));
    }
    p.setPen(Ink());
    p.drawLine(QPointF(9.5, 14.5), QPointF(9.5, 17));
    p.drawLine(QPointF(6, 17.5), QPointF(13, 17.5));
}

void Draw(QPainter& p, TToolGlyph glyph) {
    switch (glyph) {
    case TToolGlyph::Open:
        Folder(p);
        break;
    case TToolGlyph::Print:
        Printer(p);
        break;
    case TToolGlyph::SaveAs:
        Disk(p);
        break;
    case TToolGlyph::Play:
        Triangle(p, {5.5, 3.5}, {15.5, 9.5}, {5.5, 15.5}, kGreen);
        break;
    case TToolGlyph::Stop:
        p.setPen(Ink());
        p.setBrush(kRed);
        p.drawRect(QRectF(4.5, 4.5, 10, 10));
        break;
    case TToolGlyph::First:
        Bar(p, 3.5, kBlue);
        Triangle(p, {15.5, 4.5}, {7.5, 9.5}, {15.5, 14.5}, kBlue);
        break;
    case TToolGlyph::Previous:
        Triangle(p, {13.5, 4.5}, {5.5, 9.5}, {13.5, 14.5}, kBlue);
        break;
    case TToolGlyph::Next:
        Triangle(p, {5.5, 4.5}, {13.5, 9.5}, {5.5, 14.5}, kBlue);
        break;
    case TToolGlyph::Last:
        Triangle(p, {3.5, 4.5}, {11.5, 9.5}, {3.5, 14.5}, kBlue);
        Bar(p, 13, kBlue);
        break;
    case TToolGlyph::ZoomIn:
    case TToolGlyph::ZoomOut:
        Magnifier(p);
        p.setPen(QPen(kBlue, 1.8));
        p.drawLine(QPointF(4.5, 7.5), QPointF(10.5, 7.5));
        if (glyph == TToolGlyph::ZoomIn) p.drawLine(QPointF(7.5, 4.5), QPointF(7.5, 10.5));
        break;
    case TToolGlyph::OriginalSize:
        p.setPen(Ink());
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 3.5, 16, 12));
        p.setPen(QPen(kBlue, 2));
        p.drawLine(QPointF(6, 6.5), QPointF(6, 12.5));
        p.drawLine(QPointF(13, 6.5), QPointF(13, 12.5));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(9.5, 7.5), 1, 1);
        p.drawEllipse(QPointF(9.5, 11.5), 1, 1);
        break;
    case TToolGlyph::FitToScreen:
        p.setPen(Ink());
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 1.5, 16, 16));
        Arrow(p, {8, 8}, {4.5, 4.5}, kBlue);
        Arrow(p, {11, 11}, {14.5, 14.5}, kBlue);
        break;
    case TToolGlyph::FullScreen:
        Screen(p);
        break;
    case TToolGlyph::Settings:
        Gear(p);
        break;
    case TToolGlyph::SequenceManager:
        List(p);
        break;
    case TToolGlyph::LoadTheme:
        Palette(p);
        break;
    case TToolGlyph::Rename:
        p.setPen(Ink());
        p.setBrush(kPaper);
        p.drawRect(QRectF(1.5, 6.5, 16, 7));
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(QPointF(4, 10), QPointF(9, 10));
        p.setPen(QPen(kBlue, 1.2));
        p.drawLine(QPointF(12.5, 3.5), QPointF(12.5, 16.5));
        p.drawLine(QPointF(10.5, 3.5), QPointF(14.5, 3.5));
        p.drawLine(QPointF(10.5, 16.5), QPointF(14.5, 16.5));
        break;
    case TToolGlyph::Move:
        Page(p, QRectF(1.5, 1.5, 9, 12));
        Arrow(p, {7, 13}, {15.5, 13}, kGreen);
        break;
    case TToolGlyph::Copy:
        Page(p, QRectF(1.5, 1.5, 9, 12));
        Page(p, QRectF(8.5, 5.5, 9, 12));
        break;
    case TToolGlyph::Delete:
        p.setPen(Ink());
        p.setBrush(kGrey);
        p.drawRect(QRectF(4.5, 5.5, 10, 12));
        p.drawRect(QRectF(2.5, 3.5, 14, 2));
        p.drawRect(QRectF(7.5, 1.5, 4, 2));
        p.setPen(QPen(kRed, 1.2));
        for (double x : {7.5, 9.5, 11.5})
            p.drawLine(QPointF(x, 8), QPointF(x, 15.5));
        break;
    }
}

QPixmap Pixmap(const QImage& image, int scale) {
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

} // namespace

QImage DrawToolGlyph(TToolGlyph glyph, int scale) {
    QImage image(kToolGlyphSize * scale, kToolGlyphSize * scale,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    Draw(p, glyph);
    return image;
}

QImage GreyedGlyph(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb c = row[x];
            const int v = 128 + qGray(c) / 2;
            row[x] = qRgba(v, v, v, qAlpha(c) / 2);
        }
    }
    return grey;
}

QIcon ToolIcon(TToolGlyph glyph) {
    QIcon icon;
    for (int scale : {1, 2}) {
        const QImage image = DrawToolGlyph(glyph, scale);
        icon.addPixmap(Pixmap(image, scale), QIcon::Normal);
        icon.addPixmap(Pixmap(GreyedGlyph(image), scale), QIcon::Disabled);
    }
    return icon;
}
