// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// ZSoft Paintbrush (PCX): 1, 2, 4 or 8 bits in one or more planes, run-length encoded or stored,
// coloured by the 16-entry header palette, the 256-entry palette at the end of the file, or
// (8 bits in 3 or 4 planes) by the planes themselves.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

TBitmap DecodePcx(TBytes data);
