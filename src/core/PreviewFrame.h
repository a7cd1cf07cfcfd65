#pragma once
// The frame drawn around fitted previews: a drop shadow and a one-pixel 3D outline.

#include "core/Bitmap.h"
#include "core/Rect.h"

// Paints the part of r inside the picture in colour.
void PaintPreviewRect(TBitmap& picture, const TRect& r, TColor colour);

// The soft drop shadow at 70 % below and right of rect.
void PreviewDropShadow(TBitmap& picture, const TRect& rect, int size);

// One-pixel outline along the inside of rect: top row and left column (each without its last
// pixel) in first, right column and bottom row in second; rect then shrinks by 1 on every side.
void PreviewOutline3D(TBitmap& picture, TRect& rect, TColor first, TColor second);
