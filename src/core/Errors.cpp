// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Errors.h"

void CheckImageSize(int64_t width, int64_t height) {
    if (width < 0 || height < 0) throw ETaveluneError("negative image size");
    // Both factors are below 2^31, so the product cannot overflow 64 bits.
    if (width > INT32_MAX || height > INT32_MAX || width * height > kMaxImagePixels)
        throw ETaveluneError("image too large: " + std::to_string(width) + " x " +
                             std::to_string(height));
}
