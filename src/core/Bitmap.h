// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The image type of the program: a QImage plus what QImage lacks (transparent key, fill colour,
// the bit depth a reader found). Its working form is 24 bits, bytes blue, green, red, rows
// padded to 4 bytes. Rows are top-down in memory; row walkers take the stride from Stride().

#include "core/Color.h"

#include <QImage>
#include <cstddef>
#include <cstdint>

enum class TPixelFormat {
    pf1bit,   // QImage::Format_Mono
    pf4bit,   // delivered as QImage::Format_Indexed8 (16 colours at most)
    pf8bit,   // QImage::Format_Indexed8
    pf15bit,  // QImage::Format_RGB555
    pf16bit,  // QImage::Format_RGB16
    pf24bit,  // QImage::Format_BGR888
    pf32bit,  // QImage::Format_ARGB32 (bytes blue, green, red, alpha)
    pfCustom, // any other QImage format a Qt reader handed over
};

class TBitmap {
public:
    TBitmap() = default;
    // Takes over a decoded picture as it is (its format is kept until To24Bit()).
    explicit TBitmap(QImage image);

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool Empty() const { return m_image.isNull(); }

    // Keeps the overlap; new pixels receive the fill colour. Throws for sizes beyond the cap
    // and std::bad_alloc when memory runs out.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    void Clear();
    void Assign(const TBitmap& other) { *this = other; }

    TPixelFormat PixelFormat() const;
    // pf24bit converts keeping each pixel's visible colour (palette expanded, alpha dropped).
    void SetPixelFormat(TPixelFormat format);
    void To24Bit() { SetPixelFormat(TPixelFormat::pf24bit); }
    bool Is24Bit() const { return m_format == QImage::Format_BGR888; }

    uint8_t* ScanLine(int y) { return m_image.scanLine(y); }
    const uint8_t* ScanLine(int y) const { return m_image.constScanLine(y); }
    // Distance in bytes from row y to row y + 1; valid for any height.
    ptrdiff_t Stride() const { return m_image.bytesPerLine(); }

    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on) { m_transparent = on; }
    TColor TransparentColor() const { return m_transparentColor; }
    void SetTransparentColor(TColor c) { m_transparentColor = c; }
    TColor FillColor() const { return m_fillColor; }
    void SetFillColor(TColor c) { m_fillColor = c; }
    // Bits per pixel of the file as the reader found it (0 when unknown).
    int FoundBitDepth() const { return m_foundBitDepth; }
    void SetFoundBitDepth(int bits) { m_foundBitDepth = bits; }
    // Readers that deliver a 16-colour palette in an 8-bit image mark it so.
    void MarkFourBit(bool on) { m_fourBit = on; }

    // The picture itself, for QPainter drawing, printing and the clipboard.
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }

    friend bool operator==(const TBitmap& a, const TBitmap& b) { return a.m_image == b.m_image; }

private:
    void FillWithFillColor(QImage& image) const;

    QImage m_image;
    QImage::Format m_format = QImage::Format_BGR888; // kept while the image is empty
    bool m_transparent = false;
    TColor m_transparentColor = clWhite;
    TColor m_fillColor = clWhite;
    int m_foundBitDepth = 0;
    bool m_fourBit = false;
};

// Clears the image, turns transparency off, selects 24 bits and gives all w x h pixels colour.
void NewImage(TBitmap& image, int w, int h, TColor colour);

// Converts any picture to the 24-bit form keeping the visible colour of every pixel: palette
// indices expand through the palette and alpha is dropped, never blended.
QImage ConvertTo24Bit(const QImage& image);
