// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Small Windows metafiles built record by record from the published WMF and EMF layouts: a
// red filled rectangle without outline and a green one-pixel line below it.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace metafile_fixture {

inline void Le16(std::vector<uint8_t>& b, int v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Le32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

// One WMF record: size in 16-bit words, function, 16-bit parameters.
inline void WmfRecord(std::vector<uint8_t>& b, int function, std::initializer_list<int> params) {
    Le32(b, uint32_t(3 + params.size()));
    Le16(b, function);
    for (int p : params)
        Le16(b, p);
}

struct TWmfSpec {
    bool Placeable = true;
    int Left = 0, Top = 0, Right = 40, Bottom = 30, Inch = 96;
    int Unit = 1; // logical units per pixel of the drawing below
    bool WindowRecords = true;
};

// Rectangle (10,10)-(30,20) in red without outline, line (2,25)-(38,25) in green, in pixels
// from the picture's top left corner.
inline std::vector<uint8_t> Wmf(const TWmfSpec& s = {}) {
    std::vector<uint8_t> r;
    const int u = s.Unit, x0 = s.Left, y0 = s.Top;
    if (s.WindowRecords) {
        WmfRecord(r, 0x020B, {y0, x0});                             // SETWINDOWORG
        WmfRecord(r, 0x020C, {s.Bottom - s.Top, s.Right - s.Left}); // SETWINDOWEXT
    }
    WmfRecord(r, 0x02FC, {0, 0x00FF, 0x0000, 0}); // red solid brush
    WmfRecord(r, 0x012D, {0});                    // select it
    WmfRecord(r, 0x02FA, {5, 0, 0, 0, 0});        // null pen
    WmfRecord(r, 0x012D, {1});
    WmfRecord(r, 0x041B, {y0 + 20 * u, x0 + 30 * u, y0 + 10 * u, x0 + 10 * u}); // RECTANGLE
    WmfRecord(r, 0x02FA, {0, u, 0, 0xFF00, 0x0000});                            // green pen
    WmfRecord(r, 0x012D, {2});
    WmfRecord(r, 0x0214, {y0 + 25 * u, x0 + 2 * u});  // MOVETO
    WmfRecord(r, 0x0213, {y0 + 25 * u, x0 + 38 * u}); // LINETO
    WmfRecord(r, 0x0000, {});                         // EOF
    std::vector<uint8_t> b;
    if (s.Placeable) {
        Le32(b, 0x9AC6CDD7);
        for (int v : {0, s.Left, s.Top, s.Right, s.Bottom, s.Inch})
            Le16(b, v);
        Le32(b, 0);
        uint16_t sum = 0;
        for (size_t i = 0; i < 20; i += 2)
            sum ^= uint16_t(b[i] | (b[i + 1] << 8));
        Le16(b, sum);
    }
    Le16(b, 1);     // in memory
    Le16(b, 9);     // header words
    Le16(b, 0x300); // version
    Le32(b, uint32_t((18 + r.size()) / 2));
    Le16(b, 3); // objects
    Le32(b, 8); // largest record
    Le16(b, 0);
    b.insert(b.end(), r.begin(), r.end());
    return b;
}

// One EMF record: type, size in bytes, 32-bit fields.
inline void EmfRecord(std::vector<uint8_t>& b, uint32_t type, std::initializer_list<uint32_t> f) {
    Le32(b, type);
    Le32(b, uint32_t(8 + 4 * f.size()));
    for (uint32_t v : f)
        Le32(b, v);
}

struct TEmfSpec {
    int Width = 40, Height = 30; // the frame's size in pixels of a 96 dpi reference device
    int Offset = 0;              // the drawing and its bounds moved right and down
};

// The same drawing as the WMF fixture, in device pixels of a 96 dpi reference device.
inline std::vector<uint8_t> Emf(const TEmfSpec& s = {}) {
    const uint32_t o = uint32_t(s.Offset);
    std::vector<uint8_t> r;
    EmfRecord(r, 39, {1, 0, 0x000000FF, 0});            // CREATEBRUSHINDIRECT red
    EmfRecord(r, 37, {1});                              // SELECTOBJECT
    EmfRecord(r, 37, {0x80000008});                     // NULL_PEN
    EmfRecord(r, 43, {10 + o, 10 + o, 30 + o, 20 + o}); // RECTANGLE
    EmfRecord(r, 38, {2, 0, 1, 0, 0x0000FF00});         // CREATEPEN green, width 1
    EmfRecord(r, 37, {2});
    EmfRecord(r, 27, {2 + o, 25 + o});  // MOVETOEX
    EmfRecord(r, 54, {38 + o, 25 + o}); // LINETO
    EmfRecord(r, 14, {0, 16, 20});      // EOF
    std::vector<uint8_t> h;
    Le32(h, 1);
    Le32(h, 88);
    for (uint32_t v : {o, o, o + uint32_t(s.Width) - 1, o + uint32_t(s.Height) - 1})
        Le32(h, v); // bounds, inclusive
    // Frame in hundredths of a millimetre: 96 pixels to 2540 of them.
    for (uint32_t v : {0u, 0u, uint32_t(s.Width * 2540 / 96), uint32_t(s.Height * 2540 / 96)})
        Le32(h, v);
    Le32(h, 0x464D4520);
    Le32(h, 0x10000);
    Le32(h, uint32_t(88 + r.size()));
    Le32(h, 10); // records
    Le32(h, 3);  // handles
    Le32(h, 0);  // description
    Le32(h, 0);
    Le32(h, 0); // palette entries
    for (uint32_t v : {960u, 960u, 254u, 254u})
        Le32(h, v); // a 96 dpi reference device: 960 pixels on 254 mm
    h.insert(h.end(), r.begin(), r.end());
    return h;
}

} // namespace metafile_fixture
