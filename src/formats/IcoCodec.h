// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Windows icons and cursors: the largest image of the file (then the deepest), as a 32-bit
// picture whose alpha comes from the image's own alpha or from its mask.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

TBitmap DecodeIco(TBytes data);
