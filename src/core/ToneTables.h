// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The three channel tables of a tone toward one colour, built once and applied to any number of
// rectangles.

#include "core/Bitmap.h"
#include "core/ChannelTables.h"
#include "core/DecorGeometry.h"

struct TToneTables {
    TChannelTable blue, green, red;

    // pct is limited to -100..100.
    static TToneTables Make(TColor colour, int pct);
    // r is clipped to the image, which must already be 24-bit.
    void Apply(TBitmap& image, const TRect64& r) const;
};
