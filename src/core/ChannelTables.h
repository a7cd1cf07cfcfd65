// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// 256-entry per-channel lookup tables and their application to a rectangle of a 24-bit image.

#include "core/Bitmap.h"
#include "core/Rect.h"

#include <array>
#include <cstdint>

using TChannelTable = std::array<uint8_t, 256>;

TChannelTable IdentityTable();
// Negative amounts darken toward 0 in proportion, positive ones lighten toward 255.
TChannelTable ShiftTable(int amount);
// Spreads values away from (positive) or toward (negative) the middle value 128.
TChannelTable ContrastTable(int amount);
// (i / 255)^(1 / gamma) * 255, truncated; gamma must be positive.
TChannelTable GammaTable(double gamma);

// r must already be clipped to the 24-bit image.
void ApplyChannelTables(TBitmap& image, const TRect& r, const TChannelTable& blue,
                        const TChannelTable& green, const TChannelTable& red);
void ApplyTableToAllBytes(TBitmap& image, const TRect& r, const TChannelTable& table);
