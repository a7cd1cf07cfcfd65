// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Exact flips and turns of the working image; each is undone by its inverse.

#include "core/Bitmap.h"

// In place; images that are not 24-bit keep their pixel format.
void FlipVertical(TBitmap& image);
void FlipHorizontal(TBitmap& image);
void Rotate180(TBitmap& image);
// Rebuilds the image with swapped sides; the result is always 24-bit and opaque.
void Rotate90(TBitmap& image, bool clockwise);
