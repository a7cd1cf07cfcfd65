// SPDX-License-Identifier: GPL-2.0-or-later
// Photoshop files built byte by byte from the published layout and written by ImageMagick load
// with the right pixels; damaged ones end in the load message.
#include "FileBuilder.h"
#include "TestPrinters.h"
#include "formats/PsdCodec.h"

#include <gtest/gtest.h>
#include <random>

namespace {

enum {
    kBitmap = 0,
    kGrey = 1,
    kIndexed = 2,
    kRgb = 3,
    kCmyk = 4,
    kMultichannel = 7,
    kDuotone = 8,
    kLab = 9
};

struct TPsdParts {
    uint16_t Version = 1;
    uint16_t Channels = 3;
    uint32_t Width = 2, Height = 1;
    uint16_t Depth = 8, Mode = kRgb;
    std::vector<uint8_t> ModeData, Resources, Layers;
    uint16_t Compression = 0;
    std::vector<uint8_t> Data; // everything after the compression word
};

std::vector<uint8_t> PsdFile(const TPsdParts& p) {
    TFileBuilder b;
    b.Text("8BPS").BE16(p.Version).Zeros(6).BE16(p.Channels).BE32(p.Height).BE32(p.Width);
    b.BE16(p.Depth).BE16(p.Mode);
    b.BE32(uint32_t(p.ModeData.size())).Bytes(p.ModeData);
    b.BE32(uint32_t(p.Resources.size())).Bytes(p.Resources);
    b.BE32(uint32_t(p.Layers.size())).Bytes(p.Layers);
    b.BE16(p.Compression).Bytes(p.Data);
    return b.Take();
}

// The byte-count table and the packed rows, in channel-major order.
std::vector<uint8_t> PackedData(const std::vector<std::vector<uint8_t>>& rows) {
    TFileBuilder b;
    for (const auto& r : rows)
        b.BE16(uint16_t(r.size()));
    for (const auto& r : rows)
        b.Bytes(r);
    return b.Take();
}

std::vector<uint8_t> Join(const std::vector<std::vector<uint8_t>>& parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<uint8_t> ColourTable(const std::vector<TTriple>& colours) {
    std::vector<uint8_t> t(768, 0);
    for (size_t i = 0; i < colours.size(); ++i) {
        t[i] = colours[i].r;
        t[256 + i] = colours[i].g;
        t[512 + i] = colours[i].b;
    }
    return t;
}

struct PsdCase {
    const char* what;
    TPsdParts parts;
    std::vector<TTriple> expected; // row-major
    int depthFound;
};

class PsdHandmade : public ::testing::TestWithParam<PsdCase> {};

TEST_P(PsdHandmade, DecodesTheMergedPicture) {
    const PsdCase& c = GetParam();
    const TBitmap bmp = DecodePsd(PsdFile(c.parts));
    ASSERT_EQ(bmp.Width(), int(c.parts.Width)) << c.what;
    ASSERT_EQ(bmp.Height(), int(c.parts.Height)) << c.what;
    EXPECT_TRUE(bmp.Is24Bit()) << c.what;
    EXPECT_EQ(PixelsOf(bmp), c.expected) << c.what;
    EXPECT_EQ(bmp.FoundBitDepth(), c.depthFound) << c.what;
}

TPsdParts Parts(uint16_t channels, uint32_t w, uint32_t h, uint16_t depth, uint16_t mode,
                std::vector<uint8_t> data, uint16_t compression = 0) {
    TPsdParts p;
    p.Channels = channels;
    p.Width = w;
    p.Height = h;
    p.Depth = depth;
    p.Mode = mode;
    p.Data = std::move(data);
    p.Compression = compression;
    return p;
}

TPsdParts WithSections(TPsdParts p) {
    p.ModeData = {1, 2, 3};
    p.Resources = std::vector<uint8_t>(13, 0x38); // looks like "8BIM" resources, skipped whole
    p.Layers = std::vector<uint8_t>(7, 0xEE);
    return p;
}

TPsdParts WithModeData(TPsdParts p, std::vector<uint8_t> modeData) {
    p.ModeData = std::move(modeData);
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Files, PsdHandmade,
    ::testing::Values(
        PsdCase{"rgb raw, planes in order",
                Parts(3, 3, 2, 8, kRgb,
                      Join({{10, 11, 12, 13, 14, 15},
                            {20, 21, 22, 23, 24, 25},
                            {30, 31, 32, 33, 34, 35}})),
                {Rgb(10, 20, 30), Rgb(11, 21, 31), Rgb(12, 22, 32), Rgb(13, 23, 33),
                 Rgb(14, 24, 34), Rgb(15, 25, 35)},
                24},
        PsdCase{"rgb raw with skipped sections and an alpha channel",
                WithSections(Parts(4, 2, 1, 8, kRgb, Join({{1, 2}, {3, 4}, {5, 6}, {0, 0}}))),
                {Rgb(1, 3, 5), Rgb(2, 4, 6)},
                24},
        PsdCase{"rgb packbits: literal, run, no-op header, run cut at the row end",
                Parts(3, 4, 1, 8, kRgb,
                      PackedData({{1, 7, 8, 0xFE, 9},   // 7 8, then 9 three times
                                  {0x80, 0xFD, 5},      // no-op, then 5 four times
                                  {0x81, 6, 0xFF, 0}}), // 6 a hundred and twenty-seven times
                      1),
                {Rgb(7, 5, 6), Rgb(8, 5, 6), Rgb(9, 5, 6), Rgb(9, 5, 6)},
                24},
        PsdCase{"rgb 16 bits, big-endian samples rounded to 8 bits",
                Parts(3, 2, 1, 16, kRgb,
                      Join({{0xFF, 0xFF, 0x00, 0x80},
                            {0x80, 0x80, 0x00, 0x81},
                            {0x7F, 0x7F, 0x12, 0x34}})),
                {Rgb(255, 128, 127), Rgb(0, 1, 18)},
                48},
        PsdCase{"rgb 16 bits packed",
                Parts(3, 2, 1, 16, kRgb,
                      PackedData({{0xFD, 0xFF}, {3, 0, 0, 0x80, 0x80}, {0xFD, 0x00}}), 1),
                {Rgb(255, 0, 0), Rgb(255, 128, 0)},
                48},
        PsdCase{"grey with extra channels",
                Parts(3, 3, 1, 8, kGrey, Join({{0, 128, 255}, {9, 9, 9}, {7, 7, 7}})),
                {Grey(0), Grey(128), Grey(255)},
                8},
        PsdCase{"grey 16 bits",
                Parts(1, 2, 1, 16, kGrey, {0x40, 0x40, 0xC0, 0xC0}),
                {Grey(64), Grey(192)},
                16},
        PsdCase{"duotone reads as grey",
                WithModeData(Parts(1, 2, 1, 8, kDuotone, {40, 200}), std::vector<uint8_t>(30, 1)),
                {Grey(40), Grey(200)},
                8},
        PsdCase{"indexed through the colour table",
                WithModeData(Parts(1, 3, 1, 8, kIndexed, {0, 2, 255}),
                             ColourTable({Rgb(1, 2, 3), Rgb(9, 9, 9), Rgb(200, 100, 50)})),
                {Rgb(1, 2, 3), Rgb(200, 100, 50), Rgb(0, 0, 0)},
                8},
        PsdCase{"bitmap mode: a set bit is black, rows padded to bytes",
                Parts(1, 10, 2, 1, kBitmap, {0b10100000, 0b01000000, 0b00000001, 0b11000000}),
                {Grey(0),   Grey(255), Grey(0),   Grey(255), Grey(255),
                 Grey(255), Grey(255), Grey(255), Grey(255), Grey(0), //
                 Grey(255), Grey(255), Grey(255), Grey(255), Grey(255),
                 Grey(255), Grey(255), Grey(0),   Grey(0),   Grey(0)},
                1},
        PsdCase{"cmyk: samples are 255 minus the ink, black takes its share",
                Parts(4, 3, 1, 8, kCmyk,
                      Join({{255, 0, 255}, {0, 255, 255}, {255, 255, 255}, {255, 255, 128}})),
                {Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(128, 128, 128)},
                32},
        PsdCase{
            "cmyk 16 bits packed with alpha",
            Parts(5, 1, 1, 16, kCmyk,
                  PackedData(
                      {{1, 0xFF, 0xFF}, {1, 0x80, 0x80}, {1, 0, 0}, {1, 0xFF, 0xFF}, {1, 0, 0}}),
                  1),
            {Rgb(255, 128, 0)},
            64}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Psd, LoadsThroughBothNames) {
    const std::vector<uint8_t> file = PsdFile(Parts(3, 1, 1, 8, kRgb, {200, 100, 50}));
    for (const char* name : {"a.psd", "b.PDD"}) {
        const TLoadOutcome out = LoadBytesAs(QString::fromLatin1(name), file);
        ASSERT_EQ(out.Result, 1) << name;
        EXPECT_EQ(out.Messages, 0);
        EXPECT_EQ(PixelsOf(out.Picture), std::vector<TTriple>{Rgb(200, 100, 50)}) << name;
        EXPECT_EQ(FileWidth(), 1);
    }
}

// --- Damaged files ------------------------------------------------------------------------

TPsdParts GoodParts() {
    return WithSections(Parts(3, 4, 2, 8, kRgb, std::vector<uint8_t>(24, 77)));
}

TPsdParts GoodPacked() {
    std::vector<std::vector<uint8_t>> rows(6, std::vector<uint8_t>{0xFD, 42});
    return Parts(3, 4, 2, 8, kRgb, PackedData(rows), 1);
}

struct DamageCase {
    const char* what;
    std::function<std::vector<uint8_t>()> file;
};

class PsdDamaged : public ::testing::TestWithParam<DamageCase> {};

TEST_P(PsdDamaged, FailsWithTheLoadMessage) {
    const TLoadOutcome out = LoadBytesAs(QStringLiteral("a.psd"), GetParam().file());
    EXPECT_EQ(out.Result, -1) << GetParam().what;
    EXPECT_EQ(out.Messages, 1) << GetParam().what;
    EXPECT_EQ(out.Picture.Width(), 2) << GetParam().what;
}

template <typename F>
DamageCase Changed(const char* what, F change, TPsdParts (*base)() = GoodParts) {
    return DamageCase{what, [change, base] {
                          TPsdParts p = base();
                          change(p);
                          return PsdFile(p);
                      }};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PsdDamaged,
    ::testing::Values(
        DamageCase{"empty", [] { return std::vector<uint8_t>{}; }},
        DamageCase{"bad signature",
                   [] {
                       auto b = PsdFile(GoodParts());
                       b[0] = '7';
                       return b;
                   }},
        Changed("large document version", [](TPsdParts& p) { p.Version = 2; }),
        Changed("no channels", [](TPsdParts& p) { p.Channels = 0; }),
        Changed("57 channels", [](TPsdParts& p) { p.Channels = 57; }),
        Changed("too few channels for rgb", [](TPsdParts& p) { p.Channels = 2; }),
        Changed("zero width", [](TPsdParts& p) { p.Width = 0; }),
        Changed("width 30001", [](TPsdParts& p) { p.Width = 30001; }),
        Changed("height 4 billion", [](TPsdParts& p) { p.Height = 0xFFFFFFFF; }),
        Changed("32 bits per channel", [](TPsdParts& p) { p.Depth = 32; }),
        Changed("1 bit in rgb mode", [](TPsdParts& p) { p.Depth = 1; }),
        Changed("16-bit indexed", [](TPsdParts& p) { p.Mode = kIndexed, p.Depth = 16; }),
        Changed("lab mode", [](TPsdParts& p) { p.Mode = kLab; }),
        Changed("multichannel mode", [](TPsdParts& p) { p.Mode = kMultichannel; }),
        Changed("indexed without its colour table",
                [](TPsdParts& p) { p.Mode = kIndexed, p.ModeData.assign(767, 0); }),
        Changed("zip compression", [](TPsdParts& p) { p.Compression = 2; }),
        Changed("zip with prediction", [](TPsdParts& p) { p.Compression = 3; }),
        DamageCase{"colour mode section longer than the file",
                   [] {
                       auto b = PsdFile(GoodParts());
                       b[26] = 0x7F;
                       return b;
                   }},
        DamageCase{"resources longer than the file",
                   [] {
                       auto b = PsdFile(GoodParts());
                       b[26 + 4 + 3] = 0xFF; // resource length high byte
                       return b;
                   }},
        Changed("raw data one byte short", [](TPsdParts& p) { p.Data.pop_back(); }),
        Changed("enormous raw picture", [](TPsdParts& p) { p.Width = 16000, p.Height = 16000; }),
        Changed("beyond the pixel cap", [](TPsdParts& p) { p.Width = 30000, p.Height = 30000; }),
        Changed(
            "byte counts cut short", [](TPsdParts& p) { p.Data.resize(7); }, GoodPacked),
        Changed(
            "a packed row that ends early",
            [](TPsdParts& p) {
                p.Data[12] = 0xFF; // the first row's run of 4 becomes a run of 2
            },
            GoodPacked),
        Changed(
            "a literal that runs past its row's count", [](TPsdParts& p) { p.Data[12] = 0x05; },
            GoodPacked),
        Changed(
            "a zero byte count", [](TPsdParts& p) { p.Data[1] = 0; }, GoodPacked),
        Changed(
            "packed picture larger than its data",
            [](TPsdParts& p) { p.Width = 20000, p.Height = 2; }, GoodPacked)),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Every cut of a good file fails cleanly; nothing past the end is read.
TEST(PsdTruncated, EveryPrefixFails) {
    for (const TPsdParts& parts : {GoodParts(), GoodPacked()}) {
        const std::vector<uint8_t> good = PsdFile(parts);
        ASSERT_NO_THROW(DecodePsd(good));
        for (size_t n = 0; n < good.size(); ++n) {
            const std::vector<uint8_t> cut(good.begin(), good.begin() + ptrdiff_t(n));
            EXPECT_THROW(DecodePsd(cut), ETaveluneError) << n;
        }
    }
}

// --- Files written by ImageMagick -----------------------------------------------------------

enum TSource { Colours, Sixteen, Greys, BlackWhite };

TBitmap Source(TSource kind) {
    std::mt19937 rng(unsigned(kind) + 5);
    std::vector<TTriple> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(Rgb(uint8_t(rng()), uint8_t(rng()), uint8_t(rng())));
    return MakeImage(29, 11, [&](int x, int y) {
        switch (kind) {
        case Sixteen:
            return palette[size_t((x * 3 + y * 5) % 16)];
        case Greys:
            return Grey(uint8_t(rng()));
        case BlackWhite:
            return (rng() & 1) ? Grey(255) : Grey(0);
        default:
            // Runs as well as noise, so that PackBits uses both packet kinds.
            return x < 10 ? Rgb(uint8_t(y * 20), 30, 200)
                          : Rgb(uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
        }
    });
}

struct ImCase {
    const char* what;
    TSource source;
    QStringList options;
    const char* name;
    int mode;      // colour mode the file must have, so the case tests what it says
    int depth;     // bits per channel in the file
    int tolerance; // largest channel difference
};

class PsdFromImageMagick : public ::testing::TestWithParam<ImCase> {};

TEST_P(PsdFromImageMagick, LoadsWithTheSourcePixels) {
    const ImCase& c = GetParam();
    REQUIRE_TOOL("convert");
    QTemporaryDir dir;
    const TBitmap src = Source(c.source);
    const QString in = dir.filePath("in.ppm");
    WriteBytes(in, PpmOf(src));
    const QString out = dir.filePath(QString::fromLatin1(c.name));
    bool ok = false;
    RunTool(QStringLiteral("convert"), QStringList{in} << c.options << QStringLiteral("PSD:") + out,
            &ok);
    ASSERT_TRUE(ok) << c.what;
    const std::vector<uint8_t> bytes = ReadBytes(out);
    ASSERT_GT(bytes.size(), 26u);
    EXPECT_EQ(bytes[24] << 8 | bytes[25], c.mode) << c.what;
    EXPECT_EQ(bytes[22] << 8 | bytes[23], c.depth) << c.what;

    const TLoadOutcome loaded = LoadBytesAs(QString::fromLatin1(c.name), bytes);
    ASSERT_EQ(loaded.Result, 1) << c.what;
    TBitmap bmp = loaded.Picture;
    bmp.To24Bit();
    EXPECT_LE(MaxDifference(bmp, src), c.tolerance) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, PsdFromImageMagick,
    ::testing::Values(
        ImCase{"rgb raw", Colours, {"-depth", "8", "-compress", "None"}, "a.psd", kRgb, 8, 0},
        ImCase{"rgb packbits", Colours, {"-depth", "8", "-compress", "RLE"}, "a.psd", kRgb, 8, 0},
        ImCase{"rgb 16 bits", Colours, {"-depth", "16"}, "a.pdd", kRgb, 16, 0},
        ImCase{"rgb 16 bits packbits",
               Colours,
               {"-depth", "16", "-compress", "RLE"},
               "a.psd",
               kRgb,
               16,
               0},
        ImCase{
            "opaque alpha channel", Colours, {"-depth", "8", "-alpha", "set"}, "a.psd", kRgb, 8, 0},
        ImCase{"grey", Greys, {"-depth", "8", "-type", "Grayscale"}, "a.psd", kGrey, 8, 0},
        ImCase{"grey 16 bits packbits",
               Greys,
               {"-depth", "16", "-type", "Grayscale", "-compress", "RLE"},
               "a.psd",
               kGrey,
               16,
               0},
        ImCase{"indexed", Sixteen, {"-depth", "8", "-type", "Palette"}, "a.psd", kIndexed, 8, 0},
        ImCase{"bitmap", BlackWhite, {"-type", "Bilevel", "-depth", "1"}, "a.psd", kBitmap, 1, 0},
        ImCase{"cmyk", Colours, {"-depth", "8", "-colorspace", "CMYK"}, "a.psd", kCmyk, 8, 2},
        ImCase{"cmyk packbits",
               Colours,
               {"-depth", "8", "-colorspace", "CMYK", "-compress", "RLE"},
               "a.psd",
               kCmyk,
               8,
               2}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

} // namespace
