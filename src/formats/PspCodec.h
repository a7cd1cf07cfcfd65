// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Paint Shop Pro images and picture tubes (psp, tub), file format versions 3 and later: the
// merged picture of the composite image bank when the file has one, otherwise the first raster
// layer placed on a white canvas of the image's size. Channels uncompressed, run-length or
// LZ77 (zlib) compressed; 1, 4, 8 (palette or grey) and 24 bits. Masks and alpha are skipped.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

TBitmap DecodePsp(TBytes data);
