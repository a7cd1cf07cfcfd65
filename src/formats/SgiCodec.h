// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// SGI image files: one to four channels (grey, grey and alpha, RGB, RGBA) of 8 or 16 bits,
// stored verbatim channel by channel or run-length encoded row by row, rows from the bottom.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

TBitmap DecodeSgi(TBytes data);
