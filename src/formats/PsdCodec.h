#pragma once
// Adobe Photoshop documents (psd, pdd): the merged picture stored at the end of the file,
// raw or PackBits, in bitmap, greyscale, duotone (read as grey), indexed, RGB or CMYK mode,
// 8 or 16 bits per channel. Layers and extra channels (alpha, spot colours) are skipped, so
// the picture is 24-bit.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"
#include "formats/Graphic.h"

#include <QByteArray>

// iccProfile, when given, receives the profile of image resource 1039 (empty when there is
// none); cmyk, when given, the ink samples of a CMYK document that carries a profile.
TBitmap DecodePsd(TBytes data, QByteArray* iccProfile = nullptr, TCmykSamples* cmyk = nullptr);
