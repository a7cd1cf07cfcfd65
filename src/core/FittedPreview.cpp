// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Decorations.h"
#include "core/StretchEx.h"

void FittedPreview(TBitmap& image, TBitmap& picture, TColor card, TRect& drawn, TColor surround,
                   int shadow, int margin) {
    drawn = TRect{};
    image.To24Bit();
    picture.To24Bit();
    TRect r = ImageBounds(picture);
    if (shadow > 0) {
        Tone(picture, surround, 100, r);
        r.Right -= shadow;
        r.Bottom -= shadow;
        DropShadow(picture, r, shadow, true, 70);
    }
    Tone(picture, card, 100, r);
    if (shadow > 0) Outline3D(picture, r, 0xCCCCCC, 0x555555);
    if (margin > 0) r = TRect{r.Left + margin, r.Top + margin, r.Right - margin, r.Bottom - margin};

    int w = image.Width(), h = image.Height();
    FitSize(w, h, RectWidth(r), RectHeight(r));
    if (w <= 0) w = 1;
    if (h <= 0) h = 1;
    if (image.Width() < w || image.Height() < h) {
        w = image.Width();
        h = image.Height();
    }
    const TRect target = CenterRect(w, h, r);
    StretchBicubic(image, ImageBounds(image), picture, WholeImageRect, target);
    drawn = target;
}
