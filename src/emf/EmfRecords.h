// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The record walk of enhanced metafiles (EMF). The EMF reader takes the picture's size from
// it; the helper program that draws EMF files with libemf2svg hands the library only the copy
// it makes here, of a file whose every record lies inside the bytes, which ends in an EOF
// record, and whose object records name slots of the header's handle table. Plain C++ with no
// library, so the helper program stays small.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

using TEmfBytes = std::span<const uint8_t>;

struct TEmfRectL {
    int32_t Left, Top, Right, Bottom;
};

struct TEmfLayout {
    TEmfRectL Bounds{}, Frame{};
    int32_t DeviceX = 0, DeviceY = 0, MillimetresX = 0, MillimetresY = 0;
    uint32_t Handles = 0;
    size_t End = 0; // just past the EOF record
    uint32_t Records = 0;
    // Text records drawn by glyph index: where their character count and options lie. The
    // library's copy has no characters and no glyph-index option there.
    struct TSilencedText {
        size_t Count, Options;
    };
    std::vector<TSilencedText> SilencedTexts;
};

bool IsEmfData(TEmfBytes data);

// Walks the header and every record; throws ETaveluneError on a damaged file.
TEmfLayout ScanEmf(TEmfBytes data);

// The bounds enclose nothing: there is nothing to draw.
bool EmfDrawsNothing(const TEmfLayout& layout);

// The copy the drawing library reads: it ends with the EOF record, its header tells the truth
// about its length and number of records and carries no description text, and text drawn by
// glyph index is left out.
std::vector<uint8_t> EmfCopyForDrawing(TEmfBytes data, const TEmfLayout& layout);
