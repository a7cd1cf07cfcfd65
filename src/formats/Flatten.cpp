// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/Flatten.h"

#include "core/Masks.h"
#include "core/Rect.h"

#include <new>

void SplitAlpha(const TBitmap& picture, TBitmap& colour, TBitmap& mask) {
    const int w = picture.Width(), h = picture.Height();
    NewImage(colour, w, h, clBlack);
    NewImage(mask, w, h, clWhite);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = picture.ScanLine(y);
        uint8_t* c = colour.ScanLine(y);
        uint8_t* m = mask.ScanLine(y);
        for (int x = 0; x < w; ++x, s += 4, c += 3, m += 3) {
            c[0] = s[0];
            c[1] = s[1];
            c[2] = s[2];
            m[0] = m[1] = m[2] = uint8_t(255 - s[3]);
        }
    }
}

TTransparencyKind FlattenOnBackground(TBitmap& picture, TColor background) {
    const bool alpha = picture.PixelFormat() == TPixelFormat::pf32bit;
    if (!picture.Transparent() && !alpha) {
        picture.To24Bit();
        return tkNone;
    }
    TBitmap colour, mask;
    TTransparencyKind kind = tkNone;
    if (alpha) {
        SplitAlpha(picture, colour, mask);
        if (IsUniform(mask, 255, WholeImageRect)) {
            mask.Clear(); // alpha 0 everywhere says nothing: it is ignored
        } else {
            kind = tkAlpha;
        }
    } else {
        colour = picture;
        colour.To24Bit();
        NewImage(mask, colour.Width(), colour.Height(), clBlack);
        MaskFromColor(colour, mask, picture.TransparentColor(), WholeImageRect, true, 0);
        kind = tkColorKey;
    }
    picture = FlattenOnColor(colour, mask.Empty() ? nullptr : &mask, background);
    picture.SetTransparent(false);
    return kind;
}
