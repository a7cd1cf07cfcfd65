// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Solid rectangle fills on a picture or on a painter: the drawing surface of the decorations
// that paint colours rather than adjust what is there.

#include "core/Bitmap.h"
#include "core/DecorGeometry.h"
#include "core/Rect.h"

class QPainter;

class TSolidFill {
public:
    virtual ~TSolidFill() = default;

    // The area outside of which a fill has no effect.
    virtual TRect Bounds() const = 0;
    // Fills r, clipped to Bounds(); a rectangle with Right <= Left or Bottom <= Top is nothing.
    void Fill(const TRect64& r, TColor colour);

protected:
    // r lies inside Bounds() and is not empty.
    virtual void FillInside(const TRect& r, TColor colour) = 0;
};

// Writes into the pixels of a 24-bit picture (converted on the first fill).
class TBitmapFill : public TSolidFill {
public:
    explicit TBitmapFill(TBitmap& image) : m_image(image) {}
    TRect Bounds() const override { return ImageBounds(m_image); }

protected:
    void FillInside(const TRect& r, TColor colour) override;

private:
    TBitmap& m_image;
};

// Paints through an active painter, in its user coordinates.
class TPainterFill : public TSolidFill {
public:
    explicit TPainterFill(QPainter& painter) : m_painter(painter) {}
    TRect Bounds() const override;

protected:
    void FillInside(const TRect& r, TColor colour) override;

private:
    QPainter& m_painter;
};
