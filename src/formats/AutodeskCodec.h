// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Autodesk Animator pictures: the PIC and CEL files of the original Animator (a 32-byte header
// marked 0x9119, a palette of 6-bit values, then one byte per pixel) and the PIC files of
// Animator Pro (a 64-byte header marked 0x9500, then a palette chunk and a pixel chunk), and
// the CEL files of Animator Pro, which are one-frame flics.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

TBitmap DecodeAutodesk(TBytes data);
