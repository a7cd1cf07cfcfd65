#pragma once
// AVIF over libavif: still pictures and image sequences (.avifs), 8- to 12-bit samples brought
// to 8 bits by the library, alpha, the clean aperture, rotation and mirror of the container
// (the EXIF orientation is then not acted on), the ICC profile and the EXIF block.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

// The first picture: 24-bit, or 32-bit when some pixel is not opaque. Throws ETaveluneError.
TBitmap DecodeAvif(TBytes data);
