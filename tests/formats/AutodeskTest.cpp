// SPDX-License-Identifier: GPL-2.0-or-later
// Animator and Animator Pro pictures and cels built byte by byte, and damaged ones.
#include "RasterTestUtil.h"
#include "TestPrinters.h"
#include "formats/AutodeskCodec.h"

#include <gtest/gtest.h>

namespace {

// 256 palette entries; entry i = (i % 64, 63 - i % 64, (i * 10) % 64), 6-bit values.
TByteVector SixBitPalette() {
    TByteVector p;
    for (int i = 0; i < 256; ++i)
        Append(p, {uint8_t(i % 64), uint8_t(63 - i % 64), uint8_t((i * 10) % 64)});
    return p;
}

// An original Animator picture: 32-byte header, palette, pixels.
TByteVector AnimatorFile(uint16_t w, uint16_t h, const TByteVector& pixels,
                         const TByteVector& palette = SixBitPalette()) {
    TByteVector b(32, 0);
    PutLE16(b, 0, 0x9119);
    PutLE16(b, 2, w);
    PutLE16(b, 4, h);
    PutLE16(b, 6, 17); // placement of a cel
    PutLE16(b, 8, 4);
    b[10] = 8;
    PutLE32(b, 12, uint32_t(w * h));
    Append(b, palette);
    Append(b, pixels);
    return b;
}

TByteVector Chunk(uint16_t type, const TByteVector& body) {
    TByteVector c(6, 0);
    PutLE32(c, 0, uint32_t(6 + body.size()));
    PutLE16(c, 4, type);
    Append(c, body);
    return c;
}

// An Animator Pro picture: 64-byte header, then the chunks.
TByteVector ProFile(uint16_t w, uint16_t h, const std::vector<TByteVector>& chunks) {
    TByteVector b(64, 0);
    PutLE16(b, 4, 0x9500);
    PutLE16(b, 6, w);
    PutLE16(b, 8, h);
    b[18] = 8;
    for (const TByteVector& c : chunks)
        Append(b, c);
    PutLE32(b, 0, uint32_t(b.size()));
    return b;
}

// An 8-bit colour map chunk body: version, then entry i = (i, 255 - i, 3).
TByteVector ProColourMap() {
    TByteVector body = {0, 0};
    for (int i = 0; i < 256; ++i)
        Append(body, {uint8_t(i), uint8_t(255 - i), 3});
    return body;
}

// A one-frame flic: 128-byte header, optional chunks before the frame, then the frame of the
// given chunks. FLC files name the frame's offset in their header.
TByteVector FlicFile(uint16_t magic, uint16_t w, uint16_t h, const std::vector<TByteVector>& chunks,
                     const TByteVector& prefix = {}) {
    TByteVector b(128, 0);
    PutLE16(b, 4, magic);
    PutLE16(b, 6, 1);
    PutLE16(b, 8, w);
    PutLE16(b, 10, h);
    PutLE16(b, 12, 8);
    Append(b, prefix);
    if (magic == 0xAF12) PutLE32(b, 80, uint32_t(b.size()));
    TByteVector frame(16, 0);
    PutLE16(frame, 4, 0xF1FA);
    PutLE16(frame, 6, uint16_t(chunks.size()));
    for (const TByteVector& c : chunks)
        Append(frame, c);
    PutLE32(frame, 0, uint32_t(frame.size()));
    Append(b, frame);
    PutLE32(b, 0, uint32_t(b.size()));
    return b;
}

// Colour packets: skip 0, set 3 entries: (10, 20, 30), (40, 50, 60), (255, 0, 7); then skip
// 250 and set entry 253.
TByteVector FlicColours(bool sixBit) {
    const uint8_t top = sixBit ? 63 : 255;
    return {2, 0, 0, 3, 10, 20, 30, 40, 50, 60, top, 0, 7, 250, 1, 1, 2, 3};
}

struct AutodeskCase {
    const char* what;
    TByteVector file;
    int width, height;
    std::vector<TTriple> pixels; // top row first
    friend void PrintTo(const AutodeskCase& c, std::ostream* os) { *os << c.what; }
};
class AutodeskHandmade : public ::testing::TestWithParam<AutodeskCase> {};
TEST_P(AutodeskHandmade, DecodesThePixels) {
    const AutodeskCase& c = GetParam();
    const TBitmap bmp = DecodeAutodesk(c.file);
    EXPECT_EQ(bmp.Width(), c.width);
    EXPECT_EQ(bmp.Height(), c.height);
    EXPECT_EQ(PixelList(bmp), c.pixels);
    EXPECT_EQ(bmp.FoundBitDepth(), 8);
}

TByteVector EightBitPalette() {
    TByteVector p = SixBitPalette();
    p[3 * 1] = 200; // one value above 63: the palette holds 8-bit values
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Files, AutodeskHandmade,
    ::testing::Values(
        // 6-bit values scale to 8 bits: 1 -> 4, 10 -> 40, 16 -> 65, 32 -> 130, 47 -> 190,
        // 62 -> 251, 63 -> 255.
        AutodeskCase{"animator cel",
                     AnimatorFile(3, 2, {0, 1, 16, 1, 1, 0}),
                     3,
                     2,
                     {Rgb(0, 255, 0), Rgb(4, 251, 40), Rgb(65, 190, 130), Rgb(4, 251, 40),
                      Rgb(4, 251, 40), Rgb(0, 255, 0)}},
        AutodeskCase{"animator palette of 8-bit values",
                     AnimatorFile(2, 1, {1, 2}, EightBitPalette()),
                     2,
                     1,
                     {Rgb(200, 62, 10), Rgb(2, 61, 20)}},
        AutodeskCase{"pro pic",
                     ProFile(2, 2, {Chunk(0, ProColourMap()), Chunk(1, {0, 7, 200, 255})}),
                     2,
                     2,
                     {Rgb(0, 255, 3), Rgb(7, 248, 3), Rgb(200, 55, 3), Rgb(255, 0, 3)}},
        AutodeskCase{
            "pro pic, pixels first and an unknown chunk",
            ProFile(2, 1, {Chunk(1, {9, 10}), Chunk(77, {1, 2, 3}), Chunk(0, ProColourMap())}),
            2,
            1,
            {Rgb(9, 246, 3), Rgb(10, 245, 3)}},
        // Lines of 3: an obsolete packet count, a run of two 1s and a literal 0; then a
        // literal of three.
        AutodeskCase{"animator pro cel (a flic)",
                     FlicFile(0xAF12, 3, 2,
                              {Chunk(4, FlicColours(false)),
                               Chunk(15, {2, 2, 1, 0xFF, 0, 1, 0xFD, 2, 1, 0})}),
                     3,
                     2,
                     {Rgb(40, 50, 60), Rgb(40, 50, 60), Rgb(10, 20, 30), Rgb(255, 0, 7),
                      Rgb(40, 50, 60), Rgb(10, 20, 30)}},
        AutodeskCase{"flc with a chunk before its frame",
                     FlicFile(0xAF12, 2, 1, {Chunk(4, FlicColours(false)), Chunk(16, {253, 2})},
                              Chunk(0xF100, {0, 0, 0, 0})),
                     2,
                     1,
                     {Rgb(1, 2, 3), Rgb(255, 0, 7)}},
        // 6-bit colours: 10 -> 40, 20 -> 81, 30 -> 121, 63 -> 255.
        AutodeskCase{"fli with 64-level colours and raw pixels",
                     FlicFile(0xAF11, 2, 1, {Chunk(11, FlicColours(true)), Chunk(16, {0, 2})}),
                     2,
                     1,
                     {Rgb(40, 81, 121), Rgb(255, 0, 28)}},
        AutodeskCase{"pro pic without colour map is grey",
                     ProFile(2, 1, {Chunk(1, {9, 10})}),
                     2,
                     1,
                     {Grey(9), Grey(10)}}));

TEST(AutodeskHandmade, EveryRegisteredExtensionLoads) {
    for (const TByteVector& file : {AnimatorFile(2, 1, {0, 1}),
                                    ProFile(2, 1, {Chunk(1, {0, 1}), Chunk(0, ProColourMap())})}) {
        for (const char* name : {"a.cel", "a.PIC"}) {
            const TDispatchedLoad load = LoadThroughDispatcher(QString::fromLatin1(name), file);
            EXPECT_EQ(load.Result, 1) << name;
            EXPECT_EQ(load.Picture.Width(), 2) << name;
        }
    }
}

TEST(AutodeskDamaged, FlicsThatCannotGiveAPictureFail) {
    const std::vector<TByteVector> files = {
        FlicFile(0xAF12, 2, 1, {Chunk(4, FlicColours(false))}),           // no picture
        FlicFile(0xAF12, 2, 1, {Chunk(7, {1, 0, 1, 0, 0, 2, 5, 6})}),     // changes only
        FlicFile(0xAF12, 2, 1, {Chunk(12, {0, 0, 1, 0, 1, 0, 2, 5, 6})}), // changes only
        FlicFile(0xAF12, 2, 1, {Chunk(15, {1, 0, 1, 0, 1, 0})}),          // runs of nothing
        FlicFile(0xAF12, 3, 1, {Chunk(16, {1, 2})}),                      // raw bytes short
        FlicFile(0xAF12, 300, 1, {Chunk(15, {1, 127, 5})}),               // runs short
    };
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_THROW(DecodeAutodesk(files[i]), ETaveluneError) << i;
}

TEST(AutodeskDamaged, EveryTruncationFails) {
    ExpectTruncationsFail(QStringLiteral("a.cel"), AnimatorFile(3, 2, {0, 1, 2, 3, 4, 5}));
    ExpectTruncationsFail(QStringLiteral("a.pic"),
                          ProFile(3, 2, {Chunk(0, ProColourMap()), Chunk(1, {0, 1, 2, 3, 4, 5})}));
    ExpectTruncationsFail(
        QStringLiteral("a.cel"),
        FlicFile(0xAF12, 3, 2,
                 {Chunk(4, FlicColours(false)), Chunk(15, {2, 2, 1, 0xFF, 0, 1, 0xFD, 2, 1, 0})}));
}

struct AutodeskLie {
    const char* what;
    bool pro;
    size_t at;
    TByteVector bytes;
    friend void PrintTo(const AutodeskLie& c, std::ostream* os) { *os << c.what; }
};
class AutodeskLyingFile : public ::testing::TestWithParam<AutodeskLie> {};
TEST_P(AutodeskLyingFile, FailsWithTheLoadMessage) {
    // Animator: pixels at 800. Pro: colour map chunk at 64 (776 bytes), pixel chunk at 840.
    TByteVector b = GetParam().pro
                        ? ProFile(3, 2, {Chunk(0, ProColourMap()), Chunk(1, {0, 1, 2, 3, 4, 5})})
                        : AnimatorFile(3, 2, {0, 1, 2, 3, 4, 5});
    ASSERT_EQ(LoadThroughDispatcher(QStringLiteral("a.pic"), b).Result, 1);
    std::copy(GetParam().bytes.begin(), GetParam().bytes.end(), b.begin() + GetParam().at);
    const TDispatchedLoad load = LoadThroughDispatcher(QStringLiteral("a.pic"), b);
    EXPECT_EQ(load.Result, -1);
    EXPECT_EQ(load.Messages.size(), 1);
}
INSTANTIATE_TEST_SUITE_P(
    Fields, AutodeskLyingFile,
    ::testing::Values(
        AutodeskLie{"signature", false, 0, {0x18}}, AutodeskLie{"four bits", false, 10, {4}},
        AutodeskLie{"compressed", false, 11, {1}}, AutodeskLie{"no width", false, 2, {0, 0}},
        AutodeskLie{"data size not the picture's", false, 12, {7}},
        // 16000 x 16000 is within the program's cap, far beyond the bytes present.
        AutodeskLie{
            "huge picture", false, 2, {0x80, 0x3E, 0x80, 0x3E, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0}},
        AutodeskLie{"pro signature", true, 4, {0x00, 0x96}}, AutodeskLie{"pro mask", true, 18, {1}},
        AutodeskLie{"pro file size beyond the file", true, 0, {0xFF, 0xFF}},
        AutodeskLie{"pro file size inside the header", true, 0, {10, 0, 0, 0}},
        AutodeskLie{"pro huge picture", true, 6, {0x80, 0x3E, 0x80, 0x3E}},
        AutodeskLie{"pro chunk of no size", true, 64, {0, 0, 0, 0}},
        AutodeskLie{"pro chunk past the end", true, 64, {0, 0, 1, 0}},
        AutodeskLie{"pro pixel chunk too short", true, 840, {10, 0, 0, 0}},
        AutodeskLie{"pro colour map too short", true, 64, {100, 0, 0, 0}},
        AutodeskLie{"pro without pixels", true, 844, {5}}));

} // namespace
