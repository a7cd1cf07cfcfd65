// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Opaque pictures from transparent ones, for previews on a plain background.

#include "core/Bitmap.h"

enum TTransparencyKind { tkNone = 0, tkColorKey = 1, tkAlpha = 2 };

// A 32-bit picture as its colour (the first three bytes) and a grey mask of 255 - alpha.
void SplitAlpha(const TBitmap& picture, TBitmap& colour, TBitmap& mask);

// Replaces the picture by an opaque 24-bit one of its size: the background colour with the
// picture drawn on it through its alpha or its colour key. Returns the kind of transparency
// the picture had (alpha that is 0 everywhere counts as none).
TTransparencyKind FlattenOnBackground(TBitmap& picture, TColor background);
