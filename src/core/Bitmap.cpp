// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Bitmap.h"

#include "core/Errors.h"

#include <array>
#include <cstring>
#include <new>

namespace {

QImage::Format QtFormatOf(TPixelFormat f) {
    switch (f) {
    case TPixelFormat::pf1bit:
        return QImage::Format_Mono;
    case TPixelFormat::pf4bit:
    case TPixelFormat::pf8bit:
        return QImage::Format_Indexed8;
    case TPixelFormat::pf15bit:
        return QImage::Format_RGB555;
    case TPixelFormat::pf16bit:
        return QImage::Format_RGB16;
    case TPixelFormat::pf32bit:
        return QImage::Format_ARGB32;
    case TPixelFormat::pf24bit:
    case TPixelFormat::pfCustom:
        break;
    }
    return QImage::Format_BGR888;
}

QImage Checked(QImage image) {
    if (image.isNull()) throw std::bad_alloc();
    return image;
}

void Fill24(QImage& image, TTriple t) {
    const int w = image.width();
    uint8_t* first = image.scanLine(0);
    for (int x = 0; x < w; ++x) {
        first[3 * x] = t.b;
        first[3 * x + 1] = t.g;
        first[3 * x + 2] = t.r;
    }
    for (int y = 1; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), first, size_t(w) * 3);
}

QImage PaletteTo24(const QImage& indexed) {
    std::array<TTriple, 256> table{}; // indices past the palette read as black
    const QList<QRgb> colours = indexed.colorTable();
    for (int i = 0; i < colours.size() && i < 256; ++i)
        table[i] = TTriple{uint8_t(qBlue(colours[i])), uint8_t(qGreen(colours[i])),
                           uint8_t(qRed(colours[i]))};
    QImage out = Checked(QImage(indexed.size(), QImage::Format_BGR888));
    for (int y = 0; y < indexed.height(); ++y) {
        const uint8_t* src = indexed.constScanLine(y);
        uint8_t* dst = out.scanLine(y);
        for (int x = 0; x < indexed.width(); ++x, dst += 3) {
            const TTriple t = table[src[x]];
            dst[0] = t.b;
            dst[1] = t.g;
            dst[2] = t.r;
        }
    }
    return out;
}

QImage Argb32To24(const QImage& argb) {
    QImage out = Checked(QImage(argb.size(), QImage::Format_BGR888));
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uint8_t* dst = out.scanLine(y);
        for (int x = 0; x < argb.width(); ++x, dst += 3) {
            dst[0] = uint8_t(qBlue(src[x]));
            dst[1] = uint8_t(qGreen(src[x]));
            dst[2] = uint8_t(qRed(src[x]));
        }
    }
    return out;
}

} // namespace

QImage ConvertTo24Bit(const QImage& image) {
    if (image.isNull() || image.format() == QImage::Format_BGR888) return image;
    switch (image.format()) {
    case QImage::Format_Indexed8:
        return PaletteTo24(image);
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        // Qt keeps indices and palette when widening to 8 bits; the palette is expanded here.
        return PaletteTo24(Checked(image.convertToFormat(QImage::Format_Indexed8)));
    case QImage::Format_ARGB32:
    case QImage::Format_RGB32:
        return Argb32To24(image);
    default:
        break;
    }
    if (image.hasAlphaChannel()) // un-premultiplied first, then the alpha is dropped
        return Argb32To24(Checked(image.convertToFormat(QImage::Format_ARGB32)));
    return Checked(image.convertToFormat(QImage::Format_BGR888));
}

TBitmap::TBitmap(QImage image) : m_image(std::move(image)) {
    if (!m_image.isNull()) m_format = m_image.format();
}

void TBitmap::Clear() {
    m_image = QImage();
}

void TBitmap::FillWithFillColor(QImage& image) const {
    const TTriple t = ColorToTriple(m_fillColor);
    switch (image.format()) {
    case QImage::Format_BGR888:
        Fill24(image, t);
        break;
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        image.fill(0u);
        break;
    default:
        image.fill(QColor(t.r, t.g, t.b));
        break;
    }
}

void TBitmap::SetSize(int width, int height) {
    CheckImageSize(width, height);
    if (width == Width() && height == Height()) return;
    if (width == 0 || height == 0) {
        Clear();
        return;
    }
    QImage grown = Checked(QImage(width, height, m_format));
    if (!m_image.isNull()) grown.setColorTable(m_image.colorTable());
    FillWithFillColor(grown);
    if (!m_image.isNull()) {
        const int rows = std::min(height, Height());
        const size_t bytes = (size_t(std::min(width, Width())) * m_image.depth() + 7) / 8;
        for (int y = 0; y < rows; ++y)
            std::memcpy(grown.scanLine(y), m_image.constScanLine(y), bytes);
    }
    m_image = std::move(grown);
}

TPixelFormat TBitmap::PixelFormat() const {
    switch (m_format) {
    case QImage::Format_Mono:
        return TPixelFormat::pf1bit;
    case QImage::Format_Indexed8:
        return m_fourBit ? TPixelFormat::pf4bit : TPixelFormat::pf8bit;
    case QImage::Format_RGB555:
        return TPixelFormat::pf15bit;
    case QImage::Format_RGB16:
        return TPixelFormat::pf16bit;
    case QImage::Format_BGR888:
        return TPixelFormat::pf24bit;
    case QImage::Format_ARGB32:
        return TPixelFormat::pf32bit;
    default:
        return TPixelFormat::pfCustom;
    }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == TPixelFormat::pfCustom || format == PixelFormat()) return;
    const QImage::Format target = QtFormatOf(format);
    m_fourBit = format == TPixelFormat::pf4bit;
    if (!m_image.isNull()) {
        if (target == QImage::Format_BGR888)
            m_image = ConvertTo24Bit(m_image);
        else
            m_image = Checked(m_image.convertToFormat(target));
    }
    m_format = target;
}

void NewImage(TBitmap& image, int w, int h, TColor colour) {
    image.Clear();
    image.SetTransparent(false);
    image.SetPixelFormat(TPixelFormat::pf24bit);
    image.SetFillColor(colour);
    image.SetSize(w, h);
}
