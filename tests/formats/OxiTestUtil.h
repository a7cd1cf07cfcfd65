// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Builds layered image files (.oxi) byte by byte from the published layout: header, thumbnail
// block, one int32, then layer records.

#include "TestImages.h"
#include "core/Bitmap.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>
#include <zlib.h>

namespace oxi {

using TBytes = std::vector<uint8_t>;

inline void Put32(TBytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
inline void PutText(TBytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}

inline TBytes Deflate(const TBytes& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    TBytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), uLong(raw.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

// The raw bytes of a colour picture in the layout of a mode: mode 0 top row first, no
// padding; mode 1 bottom row first, rows padded to 4 bytes (padding bytes set to 0xEE).
inline TBytes ColourRows(const TBitmap& p, int mode) {
    TBytes raw;
    const size_t w3 = size_t(p.Width()) * 3, padded = (w3 + 3) & ~size_t(3);
    for (int i = 0; i < p.Height(); ++i) {
        const int y = mode == 0 ? i : p.Height() - 1 - i;
        raw.insert(raw.end(), p.ScanLine(y), p.ScanLine(y) + w3);
        if (mode == 1) raw.insert(raw.end(), padded - w3, 0xEE);
    }
    return raw;
}

// Width, height, (mode 1: a skipped int32 and the zlib stream of) the rows.
inline TBytes ColourPicture(const TBitmap& p, int mode) {
    TBytes b;
    Put32(b, uint32_t(p.Width()));
    Put32(b, uint32_t(p.Height()));
    if (mode == 1) {
        Put32(b, 0xA5A5A5A5);
        const TBytes z = Deflate(ColourRows(p, 1));
        b.insert(b.end(), z.begin(), z.end());
    } else {
        const TBytes raw = ColourRows(p, 0);
        b.insert(b.end(), raw.begin(), raw.end());
    }
    return b;
}

// A grey picture from the blue bytes of p: top row first, no padding, in either mode.
inline TBytes GreyPicture(const TBitmap& p, int mode) {
    TBytes raw;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x)
            raw.push_back(p.ScanLine(y)[3 * x]);
    TBytes b;
    Put32(b, uint32_t(p.Width()));
    Put32(b, uint32_t(p.Height()));
    if (mode == 1) {
        Put32(b, 0x5A5A5A5A);
        const TBytes z = Deflate(raw);
        b.insert(b.end(), z.begin(), z.end());
    } else {
        b.insert(b.end(), raw.begin(), raw.end());
    }
    return b;
}

struct TLayer {
    std::string Name = "Layer 1";
    std::optional<TBitmap> Image;
    int ImageMode = 0;
    uint8_t TransparentFlag = 0;
    uint32_t TransparentColour = 0xFFFFFF;
    std::optional<TBitmap> Mask;
    int MaskMode = 0;
    uint8_t ThirdFlag = 0;
    uint8_t ExtraFlag = 0;
    TBytes Extra; // editor object data after the record
};

inline TBytes LayerRecord(const TLayer& l) {
    TBytes b;
    Put32(b, uint32_t(l.Name.size()));
    PutText(b, l.Name);
    b.push_back(1);
    b.push_back(0);
    for (uint32_t v : {10u, 20u, 30u, 40u})
        Put32(b, v);
    b.push_back(0);
    Put32(b, 0xFFFFFF);
    Put32(b, 0);
    b.insert(b.end(), 8, 0);
    b.push_back(0);
    b.push_back(l.Image ? 1 : 0);
    if (l.Image) {
        b.push_back(uint8_t(l.ImageMode));
        const TBytes pic = ColourPicture(*l.Image, l.ImageMode);
        b.insert(b.end(), pic.begin(), pic.end());
        b.push_back(l.TransparentFlag);
        Put32(b, l.TransparentColour);
    }
    b.push_back(l.Mask ? 1 : 0);
    if (l.Mask) {
        b.push_back(uint8_t(l.MaskMode));
        const TBytes pic = GreyPicture(*l.Mask, l.MaskMode);
        b.insert(b.end(), pic.begin(), pic.end());
    }
    b.push_back(l.ThirdFlag);
    // The settings blocks as a new layer has them.
    TBytes settings(24, 0);
    const double one = 1.0;
    std::memcpy(settings.data() + 16, &one, 8);
    b.insert(b.end(), settings.begin(), settings.end());
    TBytes more(32, 0);
    const uint32_t values[] = {0, 7, 7, 80, 6, 0};
    for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 4; ++k)
            more[size_t(4 + 4 * i + k)] = uint8_t(values[i] >> (8 * k));
    b.insert(b.end(), more.begin(), more.end());
    b.push_back(l.ExtraFlag);
    b.insert(b.end(), l.Extra.begin(), l.Extra.end());
    return b;
}

struct TFile {
    uint8_t Version = 3;
    int32_t Width = 640, Height = 480;
    TBitmap Thumbnail = RandomImage(5, 4, 11);
    uint32_t ThumbnailMode = 0;
    std::string Tag = "Thumbnail";
    std::vector<TLayer> Layers{TLayer{}};
};

// Where the pieces of a built file begin.
struct TLayout {
    size_t ThumbnailBlock = 294;
    size_t FirstLayer = 0;
};

inline TBytes Build(const TFile& f, TLayout* layout = nullptr) {
    TBytes b;
    PutText(b, "Ostrevalden Image");
    b.push_back(f.Version);
    Put32(b, uint32_t(f.Width));
    Put32(b, uint32_t(f.Height));
    Put32(b, 72000); // 72.000
    Put32(b, 0x12345678);
    TBytes text(256, 0);
    std::memcpy(text.data(), "made by hand", 12);
    b.insert(b.end(), text.begin(), text.end());
    Put32(b, 1);
    EXPECT_EQ(b.size(), 294u);

    TBytes block;
    PutText(block, f.Tag);
    Put32(block, f.ThumbnailMode);
    const TBytes pic = ColourPicture(f.Thumbnail, int(f.ThumbnailMode & 0xFF) == 1 ? 1 : 0);
    block.insert(block.end(), pic.begin(), pic.end());
    Put32(b, uint32_t(block.size() + 4));
    b.insert(b.end(), block.begin(), block.end());
    Put32(b, uint32_t(f.Layers.size()));
    if (layout) layout->FirstLayer = b.size();
    for (const TLayer& l : f.Layers) {
        const TBytes rec = LayerRecord(l);
        b.insert(b.end(), rec.begin(), rec.end());
    }
    return b;
}

} // namespace oxi
