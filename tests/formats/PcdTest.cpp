// SPDX-License-Identifier: GPL-2.0-or-later
// Photo-CD image packs built byte by byte at the published offsets and written by ImageMagick
// load with the right colours, size and orientation; damaged packs end in the load message.
#include "FileBuilder.h"
#include "TestPrinters.h"
#include "formats/PcdCodec.h"

#include <gtest/gtest.h>

namespace {

struct TBase {
    int Width, Height;
    size_t Offset;
};
const TBase kBase16{192, 128, 0x2000}, kBase4{384, 256, 0xB800}, kBase{768, 512, 0x30000};
constexpr size_t kPackSize = 0x30000 + 768 * 512 * 3 / 2;

// A pack whose every pixel is black (luma 0, neutral chroma 156 and 137).
class TPack {
public:
    explicit TPack(uint8_t orientation = 0) : m_bytes(kPackSize, 0) {
        std::copy_n("PCD_IPI", 7, m_bytes.begin() + 0x800);
        m_bytes[0xE02] = orientation;
        for (const TBase& b : {kBase16, kBase4, kBase})
            for (int y = 0; y < b.Height; y += 2)
                for (int x = 0; x < b.Width / 2; ++x)
                    SetChroma(b, x, y / 2, 156, 137);
    }
    void SetLuma(const TBase& b, int x, int y, uint8_t v) {
        m_bytes[b.Offset + size_t(y / 2) * size_t(b.Width) * 3 + size_t(y % 2) * size_t(b.Width) +
                size_t(x)] = v;
    }
    // The chroma of the 2 x 2 pixels from (2 bx, 2 by).
    void SetChroma(const TBase& b, int bx, int by, uint8_t c1, uint8_t c2) {
        const size_t pair = b.Offset + size_t(by) * size_t(b.Width) * 3 + 2 * size_t(b.Width);
        m_bytes[pair + size_t(bx)] = c1;
        m_bytes[pair + size_t(b.Width / 2) + size_t(bx)] = c2;
    }
    void SetBlock(const TBase& b, int bx, int by, uint8_t y, uint8_t c1, uint8_t c2) {
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx)
                SetLuma(b, 2 * bx + dx, 2 * by + dy, y);
        SetChroma(b, bx, by, c1, c2);
    }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// Values worked out by hand from L = 1.3584 Y, C1 = 2.2179 (Cb - 156), C2 = 1.8215 (Cr - 137),
// R = L + C2, G = L - 0.194 C1 - 0.509 C2, B = L + C1.
struct YccCase {
    uint8_t y, c1, c2;
    TTriple rgb;
};

class PcdColours : public ::testing::TestWithParam<YccCase> {};

TEST_P(PcdColours, ConvertsPhotoYccToRgb) {
    const YccCase& c = GetParam();
    TPack pack;
    pack.SetBlock(kBase16, 0, 0, c.y, c.c1, c.c2);
    const TBitmap bmp = DecodePcd(pack.Bytes(), TPcdResolution::Base16);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(PixelAt(bmp, x, y), c.rgb) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Table, PcdColours,
                         ::testing::Values(YccCase{0, 156, 137, Rgb(0, 0, 0)},
                                           YccCase{187, 156, 137, Rgb(254, 254, 254)},
                                           YccCase{255, 156, 137, Rgb(255, 255, 255)}, // 346
                                           YccCase{100, 200, 137, Rgb(136, 117, 233)},
                                           YccCase{100, 156, 50, Rgb(0, 217, 136)},
                                           YccCase{50, 100, 200, Rgb(183, 34, 0)},
                                           YccCase{128, 0, 255, Rgb(255, 132, 0)}));

TEST(Pcd, EachChromaSampleCoversTwoByTwoPixels) {
    TPack pack;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            pack.SetLuma(kBase16, x, y, 100);
    pack.SetChroma(kBase16, 1, 0, 200, 137); // x 2..3, y 0..1
    pack.SetChroma(kBase16, 0, 1, 156, 50);  // x 0..1, y 2..3
    const TBitmap bmp = DecodePcd(pack.Bytes(), TPcdResolution::Base16);
    const TTriple grey = Grey(136), blue = Rgb(136, 117, 233), green = Rgb(0, 217, 136);
    const std::vector<std::vector<TTriple>> expected = {
        {grey, grey, blue, blue, grey, grey},
        {grey, grey, blue, blue, grey, grey},
        {green, green, grey, grey, grey, grey},
        {green, green, grey, grey, grey, grey},
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(PixelAt(bmp, x, y), expected[size_t(y)][size_t(x)]) << x << "," << y;
}

struct ResolutionCase {
    TPcdResolution resolution;
    TBase base;
    uint8_t first, last; // luma of the first and last pixel
    uint8_t firstGrey, lastGrey;
};

class PcdResolutions : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(PcdResolutions, ReadEachBaseAtItsOffset) {
    const ResolutionCase& c = GetParam();
    TPack pack;
    pack.SetLuma(kBase16, 0, 0, 10);
    pack.SetLuma(kBase16, 191, 127, 11);
    pack.SetLuma(kBase4, 0, 0, 20);
    pack.SetLuma(kBase4, 383, 255, 21);
    pack.SetLuma(kBase, 0, 0, 30);
    pack.SetLuma(kBase, 767, 511, 40);
    const TBitmap bmp = DecodePcd(pack.Bytes(), c.resolution);
    ASSERT_EQ(bmp.Width(), c.base.Width);
    ASSERT_EQ(bmp.Height(), c.base.Height);
    EXPECT_EQ(PixelAt(bmp, 0, 0), Grey(c.firstGrey));
    EXPECT_EQ(PixelAt(bmp, c.base.Width - 1, c.base.Height - 1), Grey(c.lastGrey));
    EXPECT_EQ(PixelAt(bmp, 1, 0), Grey(0));
}

INSTANTIATE_TEST_SUITE_P(
    Bases, PcdResolutions,
    ::testing::Values(ResolutionCase{TPcdResolution::Base16, kBase16, 10, 11, 14, 15},
                      ResolutionCase{TPcdResolution::Base4, kBase4, 20, 21, 27, 29},
                      ResolutionCase{TPcdResolution::Base, kBase, 30, 40, 41, 54}));

struct TurnCase {
    uint8_t orientation;
    int width, height;
    int markX, markY; // where the stored top-left pixel ends up
};

class PcdOrientation : public ::testing::TestWithParam<TurnCase> {};

TEST_P(PcdOrientation, TurnsThePictureUpright) {
    const TurnCase& c = GetParam();
    TPack pack(c.orientation);
    pack.SetLuma(kBase, 0, 0, 255);
    pack.SetLuma(kBase16, 0, 0, 255);
    const TLoadOutcome full = LoadBytesAs(QStringLiteral("a.pcd"), pack.Bytes());
    ASSERT_EQ(full.Result, 1);
    ASSERT_EQ(full.Picture.Width(), c.width);
    ASSERT_EQ(full.Picture.Height(), c.height);
    EXPECT_EQ(FileWidth(), c.width);
    EXPECT_EQ(FileHeight(), c.height);
    TBitmap bmp = full.Picture;
    bmp.To24Bit();
    EXPECT_EQ(PixelAt(bmp, c.markX, c.markY), Grey(255));
    EXPECT_EQ(PixelAt(bmp, c.width - 1 - c.markX, c.height - 1 - c.markY), Grey(0));

    // The preview takes Base/16, turned the same way, and still tells the Base's size.
    QTemporaryDir dir;
    const QString name = dir.filePath("p.pcd");
    WriteBytes(name, pack.Bytes());
    TBitmap preview;
    ASSERT_EQ(LoadImagePreview(name, preview), 1);
    ASSERT_EQ(preview.Width(), c.width / 4);
    ASSERT_EQ(preview.Height(), c.height / 4);
    EXPECT_EQ(FileWidth(), c.width);
    EXPECT_EQ(FileHeight(), c.height);
    preview.To24Bit();
    EXPECT_EQ(PixelAt(preview, c.markX / 4, c.markY / 4), Grey(255));
}

INSTANTIATE_TEST_SUITE_P(Turns, PcdOrientation,
                         ::testing::Values(TurnCase{0, 768, 512, 0, 0},
                                           TurnCase{1, 512, 768, 0, 767}, // a quarter left
                                           TurnCase{2, 768, 512, 767, 511},
                                           TurnCase{3, 512, 768, 511, 0},      // a quarter right
                                           TurnCase{0xFD, 512, 768, 0, 767})); // low bits only

// --- Damaged packs --------------------------------------------------------------------------

struct CutCase {
    const char* what;
    size_t size;
    bool previewLoads;
};

class PcdCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(PcdCut, FailsUnlessTheNeededBaseIsWhole) {
    const CutCase& c = GetParam();
    std::vector<uint8_t> bytes = TPack().Bytes();
    bytes.resize(c.size);
    const TLoadOutcome out = LoadBytesAs(QStringLiteral("a.pcd"), bytes);
    EXPECT_EQ(out.Result, -1) << c.what;
    EXPECT_EQ(out.Messages, 1) << c.what;
    EXPECT_EQ(out.Picture.Width(), 2) << c.what;
    if (c.previewLoads)
        EXPECT_NO_THROW(DecodePcd(bytes, TPcdResolution::Base16)) << c.what;
    else
        EXPECT_THROW(DecodePcd(bytes, TPcdResolution::Base16), ETaveluneError) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cuts, PcdCut,
                         ::testing::Values(CutCase{"empty", 0, false},
                                           CutCase{"before the signature", 0x800, false},
                                           CutCase{"inside the signature", 0x806, false},
                                           CutCase{"before the orientation", 0xE02, false},
                                           CutCase{"just after the orientation", 0xE03, false},
                                           CutCase{"inside Base/16", 0x2000 + 36863, false},
                                           CutCase{"after Base/16", 0x2000 + 36864, true},
                                           CutCase{"after Base/4", 0x30000, true},
                                           CutCase{"one byte short", kPackSize - 1, true}));

TEST(PcdDamaged, WrongSignatureFails) {
    for (const char* sig : {"PCD_OPA", "pcd_ipi", "XCD_IPI"}) {
        std::vector<uint8_t> bytes = TPack().Bytes();
        std::copy_n(sig, 7, bytes.begin() + 0x800);
        const TLoadOutcome out = LoadBytesAs(QStringLiteral("a.pcd"), bytes);
        EXPECT_EQ(out.Result, -1) << sig;
        EXPECT_EQ(out.Messages, 1) << sig;
    }
}

// --- Packs written by ImageMagick ---------------------------------------------------------

// ImageMagick codes full white as luma 255 rather than Kodak's reference white near 182, so
// its packs read brighter through the published conversion than the pictures they came from;
// what must agree is the geometry, the orientation and which colour is where.
enum TRegion { rWhite, rRed, rGreen, rBlue };

TTriple RegionColour(TRegion r) {
    switch (r) {
    case rWhite:
        return Grey(255);
    case rRed:
        return Rgb(200, 30, 30);
    case rGreen:
        return Rgb(30, 160, 30);
    default:
        return Rgb(30, 30, 200);
    }
}

// White top-left corner, green bottom band, red left and blue right between them.
TRegion RegionAt(int x, int y, int w, int h) {
    if (x < 64 && y < 64) return rWhite;
    if (y >= h - 96) return rGreen;
    return x < w / 2 ? rRed : rBlue;
}

bool LooksLike(TTriple t, TRegion r) {
    const int red = t.r, green = t.g, blue = t.b;
    switch (r) {
    case rWhite:
        return red > 230 && green > 230 && blue > 230;
    case rRed:
        return red > green + 60 && red > blue + 60;
    case rGreen:
        return green > red + 60 && green > blue + 60;
    default:
        return blue > red + 60 && blue > green + 60;
    }
}

class PcdFromImageMagick : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(PcdFromImageMagick, LoadsUprightWithEachColourInPlace) {
    const auto [w, h] = GetParam();
    REQUIRE_TOOL("convert");
    QTemporaryDir dir;
    const TBitmap src =
        MakeImage(w, h, [w, h](int x, int y) { return RegionColour(RegionAt(x, y, w, h)); });
    const QString in = dir.filePath("in.ppm"), out = dir.filePath("a.pcd");
    WriteBytes(in, PpmOf(src));
    bool ok = false;
    RunTool(QStringLiteral("convert"), {in, out}, &ok);
    ASSERT_TRUE(ok);
    const std::vector<uint8_t> bytes = ReadBytes(out);
    ASSERT_GE(bytes.size(), kPackSize);

    const TLoadOutcome loaded = LoadBytesAs(QStringLiteral("a.pcd"), bytes);
    ASSERT_EQ(loaded.Result, 1);
    TBitmap bmp = loaded.Picture;
    bmp.To24Bit();
    ASSERT_EQ(bmp.Width(), w);
    ASSERT_EQ(bmp.Height(), h);
    // Away from the borders between regions, where chroma is shared by 2 x 2 pixels.
    for (int y = 8; y < h; y += 16)
        for (int x = 8; x < w; x += 16) {
            const TRegion r = RegionAt(x, y, w, h);
            const bool inside =
                RegionAt(x - 6, y - 6, w, h) == r && RegionAt(x + 6, y + 6, w, h) == r;
            if (inside) {
                EXPECT_TRUE(LooksLike(PixelAt(bmp, x, y), r)) << x << "," << y;
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Packs, PcdFromImageMagick,
                         ::testing::Values(std::pair{768, 512}, std::pair{512, 768}));

} // namespace
