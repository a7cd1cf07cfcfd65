// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Alias/Wavefront RLA (and the RPF files that extend it): a table of row offsets, then for each
// row, bottom first, every channel run-length encoded on its own; colour channels of 8 or 16
// bits, grey or RGB, and a matte channel read as alpha.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

TBitmap DecodeRla(TBytes data);
