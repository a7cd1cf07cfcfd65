// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Portable bitmap, grey map and pixmap files (PBM, PGM, PPM), plain and raw.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

TBitmap DecodePnm(TBytes data);
