// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Windows bitmaps: BMP files and packed DIBs of 1, 4, 8, 16, 24 and 32 bits, uncompressed,
// with bit fields or run-length encoded (RLE4, RLE8), bottom-up or top-down; 24-bit output.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <cstdint>
#include <vector>

enum TBmpCompression : uint32_t {
    biRgb = 0,
    biRle8 = 1,
    biRle4 = 2,
    biBitFields = 3,
    biAlphaBitFields = 6,
};

// A file starting with "BM", or a packed DIB (an information header first).
TBitmap DecodeBmp(TBytes data);

// Icon images are 256 x 256 at most; a side far beyond that is a damaged header.
inline constexpr int kMaxIconSide = 4096;

// A DIB inside an icon: the header's height covers the colour bitmap and the mask below it.
// Delivers the colour bitmap (palette images as 8-bit), and the position after its pixels.
TBitmap DecodeIconDib(TBytes dib, size_t* pixelsEnd);

// An uncompressed 24-bit bottom-up file; no resolution is written.
std::vector<uint8_t> EncodeBmp24(const TBitmap& picture);

// The 14-byte file header and the 40-byte information header, followed by nothing.
void WriteBmpHeaders(TByteWriter& out, int width, int height, int bitCount, uint32_t compression,
                     uint32_t paletteEntries, uint32_t imageBytes);
