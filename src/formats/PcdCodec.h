// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Kodak Photo CD image packs (pcd): the three uncompressed base resolutions in PhotoYCC with
// 2 x 2 subsampled chroma, turned upright as the pack's orientation byte says.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

enum class TPcdResolution {
    Base16, // 192 x 128
    Base4,  // 384 x 256
    Base,   // 768 x 512
};

// The picture at that resolution, upright: portrait packs come back 128 x 192 and so on.
TBitmap DecodePcd(TBytes data, TPcdResolution resolution = TPcdResolution::Base);
