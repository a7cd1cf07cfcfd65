// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// TIFF over libtiff: the first page through libtiff's RGBA interface, and 24-bit RGB output
// with LZW compression and horizontal prediction.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <cstdint>
#include <vector>

// A 32-bit picture (alpha not premultiplied) when some pixel's alpha is below 255, else a
// 24-bit one. FoundBitDepth: 32 with alpha; 1, 4 or 8 for one sample of that many bits;
// otherwise 24. orientation receives the Orientation tag (1 when absent). page: 0-based
// directory.
TBitmap DecodeTiff(TBytes data, int* orientation = nullptr, int page = 0);
std::vector<uint8_t> EncodeTiff(const TBitmap& picture);
