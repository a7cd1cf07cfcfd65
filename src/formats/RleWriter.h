// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// 8-bit palette bitmaps compressed with run-length encoding (BI_RLE8).

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <cstdint>
#include <vector>

// The picture reduced to at most 256 colours (octree palette, error diffusion); the caller's
// picture is not changed.
std::vector<uint8_t> EncodeRle8Bitmap(const TBitmap& picture);

// Run-length codes of 8-bit rows (top first, width bytes each), stored bottom-up with an
// end-of-line after every row but the last, which ends the bitmap.
std::vector<uint8_t> EncodeRle8(const uint8_t* indices, int width, int height);
