#pragma once
// PNG over libpng. Reading keeps what the file says about transparency: an alpha channel gives
// a 32-bit picture, a single transparent colour a 24-bit picture marked transparent with it.
// Writing stores the 24-bit picture uncompressed and unfiltered.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

// The picture's FoundBitDepth is 1, 4, 8, 24 or 32. iccProfile, when given, receives the
// embedded profile (none when an sRGB chunk marks the pixels as sRGB).
TBitmap DecodePng(TBytes data, QByteArray* iccProfile = nullptr);
// Colour type 2, 8 bits per sample, filter type 0 on every row, zlib level 0, no interlace.
std::vector<uint8_t> EncodePng(const TBitmap& picture);
