// SPDX-License-Identifier: GPL-2.0-or-later
#include "emf/EmfRecords.h"

#include "core/Errors.h"

#include <string>

namespace {

constexpr uint32_t kHeader = 1;
constexpr uint32_t kEof = 14;
constexpr uint32_t kSignature = 0x464D4520; // " EMF"
constexpr size_t kHeaderSize = 88;
constexpr uint32_t kStockObject = 0x80000000;
constexpr uint32_t kLastStockObject = 0x80000013;

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("EMF: ") + what);
}

uint32_t Le32(TEmfBytes b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
           (uint32_t(b[at + 3]) << 24);
}
int32_t S32(TEmfBytes b, size_t at) {
    return int32_t(Le32(b, at));
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

TEmfRectL RectAt(TEmfBytes b, size_t at) {
    return {S32(b, at), S32(b, at + 4), S32(b, at + 8), S32(b, at + 12)};
}

// Records whose first field is a slot of the handle table: the creating records, and those that
// select or delete an object, where stock objects are allowed too.
bool NamesObjectSlot(uint32_t type, bool& stockAllowed) {
    switch (type) {
    case 37: // SELECTOBJECT
    case 40: // DELETEOBJECT
        stockAllowed = true;
        return true;
    case 38:  // CREATEPEN
    case 39:  // CREATEBRUSHINDIRECT
    case 48:  // SELECTPALETTE
    case 49:  // CREATEPALETTE
    case 50:  // SETPALETTEENTRIES
    case 51:  // RESIZEPALETTE
    case 82:  // EXTCREATEFONTINDIRECTW
    case 93:  // CREATEMONOBRUSH
    case 94:  // CREATEDIBPATTERNBRUSHPT
    case 95:  // EXTCREATEPEN
    case 99:  // CREATECOLORSPACE
    case 100: // SETCOLORSPACE
    case 101: // DELETECOLORSPACE
    case 122: // CREATECOLORSPACEW
        stockAllowed = type == 48;
        return true;
    default:
        return false;
    }
}

constexpr uint32_t kExtTextOutA = 83;
constexpr uint32_t kExtTextOutW = 84;
constexpr uint32_t kSmallTextOut = 108;
constexpr uint32_t kGlyphIndex = 0x0010; // ETO_GLYPH_INDEX
constexpr uint32_t kNoRect = 0x0100;     // ETO_NO_RECT
constexpr uint32_t kSmallChars = 0x0200; // ETO_SMALL_CHARS

// The text of a text record must lie inside it. Text drawn by glyph index is not drawn: the
// library maps glyphs through the system's font configuration, which it then shuts down under
// the feet of the rest of the process.
void CheckText(TEmfBytes record, size_t at, uint32_t type, TEmfLayout& l) {
    const uint64_t size = record.size();
    if (type == kSmallTextOut) {
        if (size < 36) Fail("short text record");
        const uint64_t count = Le32(record, 16), options = Le32(record, 20);
        const uint64_t start = (options & kNoRect) ? 36 : 52;
        const uint64_t bytes = count * ((options & kSmallChars) ? 1 : 2);
        if (start + bytes > size) Fail("text outside its record");
        if (options & kGlyphIndex) l.SilencedTexts.push_back({at + 16, at + 20});
        return;
    }
    if (size < 76) Fail("short text record");
    const uint64_t count = Le32(record, 44), offString = Le32(record, 48);
    const uint64_t options = Le32(record, 52), offDx = Le32(record, 72);
    if (count > 0) {
        if (offString < 8 || offString + count * (type == kExtTextOutW ? 2 : 1) > size)
            Fail("text outside its record");
        if (offDx != 0 && (offDx < 8 || offDx + count * 4 > size))
            Fail("character spacing outside its record");
    }
    if (options & kGlyphIndex) l.SilencedTexts.push_back({at + 44, at + 52});
}

} // namespace

bool IsEmfData(TEmfBytes data) {
    return data.size() >= kHeaderSize && Le32(data, 0) == kHeader && Le32(data, 40) == kSignature;
}

TEmfLayout ScanEmf(TEmfBytes data) {
    if (data.size() < kHeaderSize || Le32(data, 0) != kHeader) Fail("not an enhanced metafile");
    const uint32_t headerSize = Le32(data, 4);
    if (headerSize < kHeaderSize || headerSize % 4 != 0 || headerSize > data.size() ||
        Le32(data, 40) != kSignature)
        Fail("bad header");
    TEmfLayout l;
    l.Bounds = RectAt(data, 8);
    l.Frame = RectAt(data, 24);
    l.Handles = Le32(data, 56) & 0xFFFF;
    l.DeviceX = S32(data, 72);
    l.DeviceY = S32(data, 76);
    l.MillimetresX = S32(data, 80);
    l.MillimetresY = S32(data, 84);
    if (l.Handles == 0) Fail("no handle table");

    size_t at = 0;
    while (true) {
        if (data.size() - at < 8) Fail("record outside the file");
        const uint32_t type = Le32(data, at), size = Le32(data, at + 4);
        if (size < 8 || size % 4 != 0 || size > data.size() - at) Fail("record outside the file");
        if (at > 0 && type == kHeader) Fail("second header");
        bool stockAllowed = false;
        if (NamesObjectSlot(type, stockAllowed)) {
            if (size < 12) Fail("short object record");
            const uint32_t slot = Le32(data, at + 8);
            const bool stock = stockAllowed && slot >= kStockObject && slot <= kLastStockObject;
            if (!stock && (slot == 0 || slot >= l.Handles)) Fail("object outside the table");
        }
        if (type == kExtTextOutA || type == kExtTextOutW || type == kSmallTextOut)
            CheckText(data.subspan(at, size), at, type, l);
        ++l.Records;
        at += size;
        if (type == kEof) break;
    }
    l.End = at;
    return l;
}

bool EmfDrawsNothing(const TEmfLayout& layout) {
    return layout.Bounds.Right <= layout.Bounds.Left || layout.Bounds.Bottom <= layout.Bounds.Top;
}

std::vector<uint8_t> EmfCopyForDrawing(TEmfBytes data, const TEmfLayout& layout) {
    std::vector<uint8_t> bytes(data.begin(), data.begin() + ptrdiff_t(layout.End));
    Put32(bytes, 48, uint32_t(layout.End));
    Put32(bytes, 52, layout.Records);
    Put32(bytes, 60, 0); // description length
    Put32(bytes, 64, 0); // description offset
    for (const TEmfLayout::TSilencedText& text : layout.SilencedTexts) {
        Put32(bytes, text.Count, 0);
        // With the option still set the library starts its glyph lookup, and shuts the font
        // configuration down afterwards, even for no characters.
        Put32(bytes, text.Options, Le32(bytes, text.Options) & ~kGlyphIndex);
    }
    return bytes;
}
