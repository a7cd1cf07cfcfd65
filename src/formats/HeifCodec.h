#pragma once
// HEIF and HEIC over libheif: the primary picture first, then the file's other top-level
// pictures as pages; libheif applies the container's crop, rotation and mirror, so the EXIF
// orientation is not acted on again. 10- and 12-bit pictures come to 8 bits through the
// library; the ICC profile and the EXIF block are handed on. Files whose codec libheif lacks
// fail like damaged ones.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

// Page index (0 the primary picture): 24-bit, or 32-bit when some pixel is not opaque.
TBitmap DecodeHeif(TBytes data, int index = 0);
