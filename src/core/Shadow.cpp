// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"

#include "core/SolidFill.h"

namespace {

bool ShadowFits(const TRect& rect, int size, int strength) {
    return !RectEmpty(rect) && size > 0 && strength > 0 && strength <= 100;
}

void DropShadowOn(TSolidFill& fill, const TRect& rect, int size, bool corners, bool soft,
                  TColor colour, int strength) {
    if (!ShadowFits(rect, size, strength)) return;
    ShadowShades(rect, size, soft, strength, fill.Bounds(), [&](const TRect& part, int pct) {
        fill.Fill(ToRect64(part), MixColors(colour, clBlack, pct));
    });
    if (!corners) return;
    // The notches beside the two starts of the shadow show the background colour.
    const TRect64 r = ToRect64(rect);
    fill.Fill({r.Right, r.Top, r.Right + size, r.Top + size}, colour);
    fill.Fill({r.Left, r.Bottom, r.Left + size, r.Bottom + size}, colour);
}

} // namespace

void DropShadow(TBitmap& image, const TRect& rect, int size, bool soft, int strength) {
    TShadowNoise noise = TShadowNoise::FromClock();
    DropShadow(image, rect, size, soft, strength, noise);
}

void DropShadow(TBitmap& image, const TRect& rect, int size, bool soft, int strength,
                TShadowNoise& noise) {
    if (image.Empty() || !ShadowFits(rect, size, strength)) return;
    // The shadow needs room to the right of and below the rectangle.
    if (rect.Right >= image.Width() || rect.Bottom >= image.Height()) return;
    ShadowShades(rect, size, soft, strength, ImageBounds(image), [&](const TRect& part, int pct) {
        Darken(image, part.Left, part.Top, pct, part.Bottom, part.Right, noise);
    });
}

void DropShadowOnCanvas(QPainter& surface, const TRect& rect, int size, bool corners, bool soft,
                        TColor colour, int strength) {
    TPainterFill fill(surface);
    DropShadowOn(fill, rect, size, corners, soft, colour, strength);
}

void DropShadowOnCanvas(TBitmap& surface, const TRect& rect, int size, bool corners, bool soft,
                        TColor colour, int strength) {
    TBitmapFill fill(surface);
    DropShadowOn(fill, rect, size, corners, soft, colour, strength);
}
