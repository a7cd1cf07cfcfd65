#pragma once
// JPEG XL over libjxl: still pictures and animations (frames blended by the library), any
// sample depth brought to 8 bits, alpha not premultiplied, the codestream's orientation applied
// by the library (so the EXIF orientation is not acted on again), the colour profile of the
// decoded samples when they are not sRGB, and the EXIF box.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

// Frame index (0 for a still): 24-bit, or 32-bit when some pixel is not opaque.
TBitmap DecodeJxl(TBytes data, int index = 0);
