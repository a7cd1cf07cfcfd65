// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Read-only access to the 24-bit form of an image that the caller does not own.

#include "core/Bitmap.h"

// The image itself when it is already 24-bit, else its 24-bit conversion kept in converted.
inline const TBitmap& ReadAs24(const TBitmap& image, TBitmap& converted) {
    if (image.Is24Bit() || image.Empty()) return image;
    converted = image;
    converted.To24Bit();
    return converted;
}
