// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// WebP over libwebp and libwebpdemux: still pictures (lossy or lossless, with or without alpha),
// animations through the library's own compositing, the ICC profile and EXIF chunks, and the
// writer of the WebP save type.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

#include <cstdint>
#include <vector>

// A 24-bit picture, or a 32-bit one when some pixel is not opaque. Throws ETaveluneError.
TBitmap DecodeWebp(TBytes data);

// Quality 1..99: lossy at that quality; 100: lossless. The picture is written as 24 bits.
std::vector<uint8_t> EncodeWebp(const TBitmap& picture, int quality);
