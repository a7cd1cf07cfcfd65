// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Truevision Targa: colour-mapped, true-colour and grey images, run-length encoded or not,
// from either origin; output as run-length true colour (type 10, 24 bits, top row first).

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <cstdint>
#include <vector>

TBitmap DecodeTga(TBytes data);
// rle false writes type 2 (uncompressed) instead.
std::vector<uint8_t> EncodeTga(const TBitmap& picture, bool rle = true);
