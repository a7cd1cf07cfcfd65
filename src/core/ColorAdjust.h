// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Display colour adjustments: tints, a brightness or contrast step and a blur, applied in place
// to the working image right after it is loaded. Every operation converts the image to 24 bits
// and works on a rectangle clipped to it (WholeImageRect for the whole image).

#include "core/Bitmap.h"
#include "core/Rect.h"

enum TTint {
    tintNormal = 0,
    tintColorPlus = 1,
    tintColorMinus = 2,
    tintGrayscale = 3,
    tintSepia = 4,
    tintBlue = 5,
    tintGreen = 6,
    tintRed = 7,
    tintYellow = 8,
};

enum TAdjustment {
    adjDefault = 0,
    adjBrightnessPlus = 1,
    adjBrightnessMinus = 2,
    adjContrastPlus = 3,
    adjContrastMinus = 4,
};

// The tint, then the adjustment, then the blur, over the whole image.
void ApplyDisplayAdjustments(TBitmap& image, int tint, int adjust, bool blur);

void Grayscale(TBitmap& image, const TRect& rect = WholeImageRect);
void Saturation(TBitmap& image, int amount, const TRect& rect = WholeImageRect);
void ShiftChannels(TBitmap& image, int red, int green, int blue,
                   const TRect& rect = WholeImageRect);
void Brightness(TBitmap& image, int amount, const TRect& rect = WholeImageRect);
void Contrast(TBitmap& image, int amount, const TRect& rect = WholeImageRect);
// Nothing happens when each gamma is 0 or 1; otherwise all three must be positive.
void GammaChannels(TBitmap& image, const TRect& rect, double red, double green, double blue);

// Mean over a (2 rx + 1) x (2 ry + 1) window, edge pixels repeated; the rectangle is intersected
// with the image without sorting its corners.
void BoxBlur(TBitmap& image, int rx, int ry, const TRect& rect = WholeImageRect);
void Blur(TBitmap& image, const TRect& rect = WholeImageRect);
