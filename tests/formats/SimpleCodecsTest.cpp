// SPDX-License-Identifier: GPL-2.0-or-later
// Small files built byte by byte for the cases the reference tools do not write.
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/BmpCodec.h"
#include "formats/ByteIO.h"
#include "formats/IcoCodec.h"
#include "formats/PngUtils.h"
#include "formats/PnmCodec.h"
#include "formats/TgaCodec.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

// Palette indices of a picture delivered in 8-bit form.
std::vector<int> Indices(const TBitmap& bmp) {
    std::vector<int> out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            out.push_back(bmp.ScanLine(y)[x]);
    return out;
}

// A BMP file: headers, palette of n grey entries, then the given pixel bytes.
std::vector<uint8_t> BmpFile(int w, int h, int bits, uint32_t compression, int paletteSize,
                             const std::vector<uint8_t>& pixels, bool withFileHeader = true) {
    TByteWriter out;
    WriteBmpHeaders(out, w, h, bits, compression, uint32_t(paletteSize), uint32_t(pixels.size()));
    for (int i = 0; i < paletteSize; ++i) {
        const uint8_t v = uint8_t(i * 16);
        out.Append(std::vector<uint8_t>{v, v, v, 0});
    }
    out.Append(pixels);
    std::vector<uint8_t> b = out.Take();
    if (!withFileHeader) b.erase(b.begin(), b.begin() + 14);
    return b;
}

TEST(BmpHandmade, TopDownRowsComeFirst) {
    // 2 x 2, 8 bits, height -2: the first stored row is the top.
    const std::vector<uint8_t> file = BmpFile(2, -2, 8, biRgb, 4, {1, 2, 0, 0, 3, 0, 0, 0});
    const TBitmap bmp = DecodeBmp(file);
    EXPECT_EQ(Indices(bmp), (std::vector<int>{1, 2, 3, 0}));
    EXPECT_EQ(bmp.FoundBitDepth(), 8);
}

TEST(BmpHandmade, PackedDibWithoutFileHeader) {
    const std::vector<uint8_t> file =
        BmpFile(3, 1, 24, biRgb, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}, false);
    const TBitmap bmp = DecodeBmp(file);
    EXPECT_EQ(PixelAt(bmp, 2, 0), (TTriple{7, 8, 9}));
}

TEST(BmpHandmade, Rle4WithDeltaAndAbsoluteRuns) {
    // 6 x 3, bottom-up. Row 0 (bottom): run of 4 pixels alternating 1,2 then absolute 3 pixels
    // 5,6,7 (cut at the width). Delta to (1, 2) skips row 1; then pixels 9,9; end.
    const std::vector<uint8_t> rle = {4, 0x12, 0, 3, 0x56, 0x70, 0, 0, 0, 2, 1, 1, 2, 0x99, 0, 1};
    const TBitmap bmp = DecodeBmp(BmpFile(6, 3, 4, biRle4, 16, rle));
    EXPECT_EQ(Indices(bmp), (std::vector<int>{0, 9, 9, 0, 0, 0, //
                                              0, 0, 0, 0, 0, 0, //
                                              1, 2, 1, 2, 5, 6}));
    EXPECT_EQ(bmp.PixelFormat(), TPixelFormat::pf4bit);
}

TEST(BmpHandmade, Rle8RunsPastTheWidthAreClipped) {
    const std::vector<uint8_t> rle = {200, 7, 0, 0, 3, 1, 0, 1};
    const TBitmap bmp = DecodeBmp(BmpFile(4, 2, 8, biRle8, 16, rle));
    EXPECT_EQ(Indices(bmp), (std::vector<int>{1, 1, 1, 0, 7, 7, 7, 7}));
}

TEST(BmpHandmade, SixteenBitFields565) {
    TByteWriter out;
    WriteBmpHeaders(out, 2, 1, 16, biBitFields, 0, 4);
    std::vector<uint8_t> b = out.Take();
    // The masks follow the 40-byte header; the pixel offset moves by 12.
    const std::vector<uint8_t> masks = {0, 0xF8, 0, 0, 0xE0, 7, 0, 0, 0x1F, 0, 0, 0};
    b.insert(b.end(), masks.begin(), masks.end());
    b[10] = uint8_t(b[10] + 12);
    const std::vector<uint8_t> px = {0x00, 0xF8, 0xE0, 0x07}; // pure red, pure green
    b.insert(b.end(), px.begin(), px.end());
    TBitmap bmp = DecodeBmp(b);
    bmp.To24Bit();
    EXPECT_EQ(PixelAt(bmp, 0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(bmp, 1, 0), Rgb(0, 255, 0));
}

TEST(BmpHandmade, WrittenFileLayout) {
    const TBitmap source = RandomImage(5, 3);
    const std::vector<uint8_t> b = EncodeBmp24(source);
    TByteReader in(b);
    EXPECT_EQ(in.LE16(), 0x4D42);
    EXPECT_EQ(in.LE32(), b.size());
    in.Skip(4);
    EXPECT_EQ(in.LE32(), 54u);
    EXPECT_EQ(in.LE32(), 40u);
    EXPECT_EQ(in.LE32(), 5u);
    EXPECT_EQ(in.LE32(), 3u); // bottom-up
    in.Skip(2);
    EXPECT_EQ(in.LE16(), 24);
    EXPECT_EQ(b.size(), 54u + 3 * 16); // rows of 15 bytes padded to 16
    // The last stored row is the top one.
    EXPECT_EQ(b[54 + 2 * 16], PixelAt(source, 0, 0).b);
    EXPECT_EQ(MaxDifference(DecodeBmp(b), source), 0);
}

// An uncompressed true-colour Targa with the given descriptor and pixel bytes.
std::vector<uint8_t> TgaFile(int type, int w, int h, int bits, uint8_t descriptor,
                             const std::vector<uint8_t>& data) {
    std::vector<uint8_t> b = {
        0,          0, uint8_t(type), 0,         0, 0, 0, 0, 0, 0, 0, 0, uint8_t(w), 0,
        uint8_t(h), 0, uint8_t(bits), descriptor};
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

struct TgaCase {
    const char* what;
    std::vector<uint8_t> file;
    std::vector<TTriple> pixels; // top row first
};
class TgaHandmade : public ::testing::TestWithParam<TgaCase> {};
TEST_P(TgaHandmade, Orientation) {
    TBitmap bmp = DecodeTga(GetParam().file);
    bmp.To24Bit();
    std::vector<TTriple> got;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            got.push_back(PixelAt(bmp, x, y));
    EXPECT_EQ(got, GetParam().pixels) << GetParam().what;
}
const TTriple A{1, 1, 1}, B{2, 2, 2}, C{3, 3, 3}, D{4, 4, 4};
INSTANTIATE_TEST_SUITE_P(
    Files, TgaHandmade,
    ::testing::Values(
        TgaCase{"bottom-left",
                TgaFile(2, 2, 2, 24, 0, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}),
                {C, D, A, B}},
        TgaCase{"top-left",
                TgaFile(2, 2, 2, 24, 0x20, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}),
                {A, B, C, D}},
        TgaCase{"top-right",
                TgaFile(2, 2, 2, 24, 0x30, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}),
                {B, A, D, C}},
        // A run packet of 3 crosses from the first row into the second.
        TgaCase{"rle across rows",
                TgaFile(10, 2, 2, 24, 0x20, {0x82, 1, 1, 1, 0, 4, 4, 4}),
                {A, A, A, D}},
        TgaCase{"16-bit", TgaFile(2, 1, 1, 16, 0x20, {0x1F, 0x7C}), {TTriple{255, 0, 255}}}));

TEST(TgaWriter, RunLengthTopFirstType10) {
    TBitmap source = MakeImage(7, 2, [](int x, int y) {
        return y == 0 ? Grey(9) : Grey(uint8_t(x * 30)); // a run row and a raw row
    });
    const std::vector<uint8_t> b = EncodeTga(source);
    EXPECT_EQ(b[2], 10);
    EXPECT_EQ(b[16], 24);
    EXPECT_EQ(b[17], 0x20);
    EXPECT_EQ(b[18], 0x80 | 6); // the first row is one run of 7
    EXPECT_EQ(b[22], 6);        // then seven raw pixels
    EXPECT_EQ(b.size(), 18u + 4 + 1 + 21);
    EXPECT_EQ(MaxDifference(DecodeTga(b), source), 0);
    EXPECT_EQ(MaxDifference(DecodeTga(EncodeTga(RandomImage(300, 3), true)), RandomImage(300, 3)),
              0);
}

TEST(IcoHandmade, EightBitIconWithMask) {
    // 2 x 2 icon, 8 bits, 2 palette entries; the mask makes the top-right pixel transparent.
    TByteWriter dib;
    dib.LE32(40);
    dib.LE32(2);
    dib.LE32(4); // colour and mask
    dib.LE16(1);
    dib.LE16(8);
    for (int i = 0; i < 4; ++i)
        dib.LE32(0);
    dib.LE32(2); // colours used
    dib.LE32(0);
    dib.Append(std::vector<uint8_t>{0, 0, 255, 0, 0, 255, 0, 0}); // red, green
    dib.Append(std::vector<uint8_t>{1, 1, 0, 0, 0, 1, 0, 0});     // bottom row, top row
    dib.Append(std::vector<uint8_t>{0, 0, 0, 0, 0x40, 0, 0, 0});  // mask: top row, x = 1
    const std::vector<uint8_t> image = dib.Take();
    TByteWriter ico;
    ico.LE16(0);
    ico.LE16(1);
    ico.LE16(1);
    ico.Append(std::vector<uint8_t>{2, 2, 2, 0});
    ico.LE16(1);
    ico.LE16(8);
    ico.LE32(uint32_t(image.size()));
    ico.LE32(22);
    ico.Append(image);
    const TBitmap bmp = DecodeIco(ico.Take());
    ASSERT_EQ(bmp.PixelFormat(), TPixelFormat::pf32bit);
    const auto at = [&](int x, int y) {
        const uint8_t* p = bmp.ScanLine(y) + 4 * x;
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(0, 0), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(at(1, 0)[3], 0);
    EXPECT_EQ(at(0, 1), (std::vector<int>{0, 255, 0, 255}));
}

TEST(IcoHandmade, PngInsideAnIcon) {
    const TBitmap source = RandomImage(3, 3);
    const std::vector<uint8_t> png = EncodePng(source);
    TByteWriter ico;
    ico.LE16(0);
    ico.LE16(1);
    ico.LE16(1);
    ico.Append(std::vector<uint8_t>{0, 0, 0, 0});
    ico.LE16(1);
    ico.LE16(32);
    ico.LE32(uint32_t(png.size()));
    ico.LE32(22);
    ico.Append(png);
    TBitmap bmp = DecodeIco(ico.Take());
    bmp.To24Bit();
    EXPECT_EQ(MaxDifference(bmp, source), 0);
}

struct PnmCase {
    const char* what;
    std::string text;
    std::vector<TTriple> pixels;
    int depth;
};
class PnmText : public ::testing::TestWithParam<PnmCase> {};
TEST_P(PnmText, Pixels) {
    TBitmap bmp = DecodePnm(Bytes(GetParam().text));
    EXPECT_EQ(bmp.FoundBitDepth(), GetParam().depth);
    bmp.To24Bit();
    std::vector<TTriple> got;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            got.push_back(PixelAt(bmp, x, y));
    EXPECT_EQ(got, GetParam().pixels) << GetParam().what;
}
INSTANTIATE_TEST_SUITE_P(
    Files, PnmText,
    ::testing::Values(PnmCase{"plain pbm, digits run together",
                              "P1\n# comment\n3 1\n101",
                              {Grey(0), Grey(255), Grey(0)},
                              1},
                      PnmCase{"raw pbm", std::string("P4 9 1\n\x80\x80", 9),
                              [] {
                                  std::vector<TTriple> v(9, Grey(255));
                                  v[0] = v[8] = Grey(0);
                                  return v;
                              }(),
                              1},
                      PnmCase{"plain pgm maxval 15", "P2 2 1 15 0 15", {Grey(0), Grey(255)}, 8},
                      PnmCase{"plain pgm rounds", "P2 1 1 4 1", {Grey(64)}, 8},
                      PnmCase{"plain ppm, comments anywhere",
                              "P3 1#c\n1 255 10 20#x\n 30",
                              {Rgb(10, 20, 30)},
                              24},
                      PnmCase{"raw ppm 16-bit",
                              std::string("P6 1 1 65535\n\x12\x34\x56\x78\x9A\xBC", 19),
                              {Rgb(0x12, 0x56, 0x9A)},
                              24},
                      PnmCase{"samples above maxval are clamped", "P2 1 1 10 99", {Grey(255)}, 8}));

} // namespace
