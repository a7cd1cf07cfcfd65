// SPDX-License-Identifier: GPL-2.0-or-later
// The GIF and run-length bitmap writers, and flattening transparent pictures.
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/BmpCodec.h"
#include "formats/ByteIO.h"
#include "formats/Flatten.h"
#include "formats/FormatRegistry.h"
#include "formats/GifCodec.h"
#include "formats/ImageFiles.h"
#include "formats/RleWriter.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <set>

namespace {

// Palette indices, palette and transparent index of a GIF's first frame, read with giflib.
struct TGifContent {
    int Width = 0, Height = 0, Frames = 0, Transparent = -1;
    bool Interlaced = false, Comment = false;
    std::vector<uint8_t> Indices;
    std::vector<TTriple> Palette;
};

int ReadVector(GifFileType* gif, GifByteType* out, int n) {
    auto* src = static_cast<std::pair<const std::vector<uint8_t>*, size_t>*>(gif->UserData);
    const int k = std::min<int>(n, int(src->first->size() - src->second));
    std::memcpy(out, src->first->data() + src->second, size_t(k));
    src->second += size_t(k);
    return k;
}

TGifContent ReadWithGiflib(const std::vector<uint8_t>& file) {
    std::pair<const std::vector<uint8_t>*, size_t> src{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&src, ReadVector, &error);
    TGifContent c;
    if (!gif || DGifSlurp(gif) != GIF_OK) return c;
    c.Frames = gif->ImageCount;
    const SavedImage& f = gif->SavedImages[0];
    c.Width = f.ImageDesc.Width;
    c.Height = f.ImageDesc.Height;
    c.Interlaced = f.ImageDesc.Interlace;
    c.Indices.assign(f.RasterBits, f.RasterBits + c.Width * c.Height);
    const ColorMapObject* map = f.ImageDesc.ColorMap ? f.ImageDesc.ColorMap : gif->SColorMap;
    for (int i = 0; i < map->ColorCount; ++i)
        c.Palette.push_back(Rgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
    for (int i = 0; i < f.ExtensionBlockCount; ++i) {
        if (f.ExtensionBlocks[i].Function == COMMENT_EXT_FUNC_CODE) c.Comment = true;
        if (f.ExtensionBlocks[i].Function == GRAPHICS_EXT_FUNC_CODE) {
            GraphicsControlBlock gcb;
            DGifExtensionToGCB(f.ExtensionBlocks[i].ByteCount, f.ExtensionBlocks[i].Bytes, &gcb);
            c.Transparent = gcb.TransparentColor;
        }
    }
    DGifCloseFile(gif, &error);
    return c;
}

TEST(GifWriter, FewColoursComeBackExactly) {
    const TBitmap source = MakeImage(17, 9, [](int x, int y) {
        return Rgb(uint8_t(x * 15), uint8_t(y * 30), uint8_t((x + y) % 2 * 255));
    });
    const std::vector<uint8_t> file = EncodeGif(source);
    const TGifContent c = ReadWithGiflib(file);
    EXPECT_EQ(c.Frames, 1);
    EXPECT_FALSE(c.Interlaced);
    EXPECT_FALSE(c.Comment);
    EXPECT_EQ(c.Transparent, -1);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF87a");
    TBitmap back = DecodeGif(file).Picture;
    back.To24Bit();
    EXPECT_EQ(MaxDifference(back, source), 0);
}

TEST(GifWriter, ManyColoursAreDitheredToAPalette) {
    const TBitmap source = SmoothImage(64, 64);
    const TGifContent c = ReadWithGiflib(EncodeGif(source));
    EXPECT_LE(c.Palette.size(), 256u);
    TBitmap back = DecodeGif(EncodeGif(source)).Picture;
    back.To24Bit();
    EXPECT_LT(MeanDifference(back, source), 6.0); // the dithering noise
}

TEST(GifWriter, TransparentWhiteBecomesTheTransparentIndex) {
    // More than 254 colours, so the picture is reduced first; white marks transparency.
    TBitmap source = RandomImage(40, 20, 5);
    std::set<std::pair<int, int>> white;
    for (int i = 0; i < 40; ++i) {
        const int x = (i * 7) % 40, y = (i * 3) % 20;
        uint8_t* p = source.ScanLine(y) + 3 * x;
        p[0] = p[1] = p[2] = 255;
        white.insert({x, y});
    }
    source.SetTransparent(true);
    source.SetTransparentColor(clWhite);
    const TBitmap before = source;
    const std::vector<uint8_t> file = EncodeGif(source);
    EXPECT_EQ(MaxDifference(source, before), 0); // the caller's picture is untouched
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
    const TGifContent c = ReadWithGiflib(file);
    ASSERT_GE(c.Transparent, 0);
    EXPECT_EQ(c.Palette[size_t(c.Transparent)], Rgb(255, 255, 255));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const int index = c.Indices[size_t(y * 40 + x)];
            EXPECT_EQ(index == c.Transparent, white.count({x, y}) == 1) << x << "," << y;
            if (index != c.Transparent) {
                EXPECT_NE(c.Palette[size_t(index)], Rgb(255, 255, 255));
            }
        }
    const TGifFrame frame = DecodeGif(file);
    EXPECT_TRUE(frame.Picture.Transparent());
    EXPECT_EQ(frame.Picture.TransparentColor(), clWhite);
}

TEST(GifWriter, VisiblePixelOfTheKeyColourIsNudged) {
    // Few colours: nothing is reduced, the key colour is the transparent colour, and every
    // pixel of that colour is transparent; other colours stay exact.
    TBitmap source = MakeImage(4, 1, [](int x, int) {
        return x == 0 ? Rgb(10, 200, 30) : x == 1 ? Rgb(1, 2, 3) : Rgb(10, 200, 30);
    });
    source.SetTransparent(true);
    source.SetTransparentColor(RGBColor(1, 2, 3));
    const TGifContent c = ReadWithGiflib(EncodeGif(source));
    ASSERT_GE(c.Transparent, 0);
    EXPECT_EQ(c.Indices[1], c.Transparent);
    EXPECT_EQ(c.Palette[c.Indices[0]], Rgb(10, 200, 30));
    EXPECT_NE(c.Indices[0], c.Transparent);
}

TEST(GifWriter, OpensInImageMagickWithItsTransparency) {
    REQUIRE_TOOL("convert");
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    TBitmap source = MakeImage(6, 3, [](int x, int y) {
        return x == y ? Grey(255) : Rgb(uint8_t(x * 40), 9, uint8_t(y * 70));
    });
    QString name = dir.filePath("ours.gif");
    ASSERT_EQ(SaveImageFile(name, source), 1);
    EXPECT_EQ(MaxDifference(ReadWithImageMagick(name), source), 0);
    source.SetTransparent(true);
    source.SetTransparentColor(clWhite);
    ASSERT_EQ(SaveImageFile(name, source), 1);
    bool ok = false;
    const QByteArray alpha =
        RunTool("convert", {name, "-alpha", "extract", "-depth", "8", "gray:-"}, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(alpha.size(), 18);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(uint8_t(alpha[y * 6 + x]), x == y ? 0 : 255) << x << "," << y;
}

struct RleCase {
    const char* what;
    int width;
    std::vector<uint8_t> rows; // top first
    std::vector<uint8_t> codes;
};
class Rle8Codes : public ::testing::TestWithParam<RleCase> {};
TEST_P(Rle8Codes, Bytes) {
    const RleCase& c = GetParam();
    const int height = int(c.rows.size()) / c.width;
    EXPECT_EQ(EncodeRle8(c.rows.data(), c.width, height), c.codes) << c.what;
}
INSTANTIATE_TEST_SUITE_P(
    Rows, Rle8Codes,
    ::testing::Values(
        RleCase{"run then two singles", 6, {5, 5, 5, 5, 1, 2}, {4, 5, 1, 1, 1, 2, 0, 1}},
        RleCase{"odd literal padded", 5, {1, 2, 3, 4, 5}, {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}},
        RleCase{"even literal", 4, {9, 8, 7, 6}, {0, 4, 9, 8, 7, 6, 0, 1}},
        RleCase{"pair stays a run", 2, {3, 3}, {2, 3, 0, 1}},
        RleCase{"bottom row first", 1, {1, 2}, {1, 2, 0, 0, 1, 1, 0, 1}},
        RleCase{"long run split", 300, std::vector<uint8_t>(300, 7), {255, 7, 45, 7, 0, 1}}));

TEST(RleWriter, FileLayoutAndRoundTrip) {
    TBitmap source = MakeImage(33, 7, [](int x, int y) {
        return x < 20 ? Rgb(200, 10, 10) : Rgb(uint8_t(x * 7), uint8_t(y * 30), 5);
    });
    source.SetTransparent(true);
    source.SetTransparentColor(RGBColor(200, 10, 10));
    const TBitmap before = source;
    const std::vector<uint8_t> file = EncodeRle8Bitmap(source);
    // The caller's picture is unchanged: still 24 bits and still transparent.
    EXPECT_TRUE(source.Is24Bit());
    EXPECT_TRUE(source.Transparent());
    EXPECT_EQ(MaxDifference(source, before), 0);

    TByteReader in(file);
    EXPECT_EQ(in.LE16(), 0x4D42);
    const uint32_t fileSize = in.LE32();
    in.Skip(4);
    const uint32_t offset = in.LE32();
    in.Skip(4 + 8 + 2);
    EXPECT_EQ(in.LE16(), 8);
    EXPECT_EQ(in.LE32(), uint32_t(biRle8));
    const uint32_t imageSize = in.LE32();
    in.Skip(8);
    const uint32_t used = in.LE32();
    EXPECT_EQ(fileSize, file.size());
    EXPECT_EQ(offset, 54 + 4 * used);
    EXPECT_EQ(imageSize, file.size() - offset);
    EXPECT_LT(file.size(), 54 + 4 * used + 33 * 7); // it did compress

    TBitmap back = DecodeBmp(file);
    back.To24Bit();
    EXPECT_EQ(MaxDifference(back, source), 0); // fewer than 256 colours: exact
}

TEST(RleWriter, OpensInImageMagick) {
    REQUIRE_TOOL("convert");
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    const TBitmap source = MakeImage(29, 5, [](int x, int y) {
        return x % 9 < 4 ? Grey(uint8_t(y * 50)) : Rgb(uint8_t(x * 8), 1, 2);
    });
    QString name = dir.filePath("ours.rle");
    ASSERT_EQ(SaveImageFile(name, source), 1);
    EXPECT_EQ(MaxDifference(ReadWithImageMagick(name), source), 0);
    TBitmap back;
    ASSERT_EQ(LoadImageFile(name, back), 1);
    back.To24Bit();
    EXPECT_EQ(MaxDifference(back, source), 0);
}

TEST(Flatten, AlphaBlendsOntoTheBackground) {
    QImage argb(3, 1, QImage::Format_ARGB32);
    const uint8_t px[12] = {200, 100, 50, 255, 200, 100, 50, 128, 200, 100, 50, 0};
    std::memcpy(argb.scanLine(0), px, 12);
    TBitmap picture(argb);
    EXPECT_EQ(FlattenOnBackground(picture, RGBColor(0, 0, 0)), tkAlpha);
    EXPECT_TRUE(picture.Is24Bit());
    EXPECT_FALSE(picture.Transparent());
    EXPECT_EQ(PixelAt(picture, 0, 0), (TTriple{200, 100, 50}));
    // Weight 128 of 255 over black: 200 * 128 / 255 = 100, truncated.
    EXPECT_EQ(PixelAt(picture, 1, 0), (TTriple{100, 50, 25}));
    EXPECT_EQ(PixelAt(picture, 2, 0), (TTriple{0, 0, 0}));
}

TEST(Flatten, AlphaZeroEverywhereIsIgnored) {
    QImage argb(2, 1, QImage::Format_ARGB32);
    const uint8_t px[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    std::memcpy(argb.scanLine(0), px, 8);
    TBitmap picture(argb);
    EXPECT_EQ(FlattenOnBackground(picture, clWhite), tkNone);
    EXPECT_EQ(PixelAt(picture, 1, 0), (TTriple{4, 5, 6}));
}

TEST(Flatten, ColourKeyShowsTheBackground) {
    TBitmap picture = MakeImage(2, 1, [](int x, int) { return x ? Rgb(1, 2, 3) : Rgb(9, 9, 9); });
    picture.SetTransparent(true);
    picture.SetTransparentColor(RGBColor(1, 2, 3));
    EXPECT_EQ(FlattenOnBackground(picture, clWhite), tkColorKey);
    EXPECT_FALSE(picture.Transparent());
    EXPECT_EQ(PixelAt(picture, 0, 0), Rgb(9, 9, 9));
    EXPECT_EQ(PixelAt(picture, 1, 0), Rgb(255, 255, 255));

    TBitmap opaque = MakeImage(1, 1, [](int, int) { return Rgb(1, 2, 3); });
    EXPECT_EQ(FlattenOnBackground(opaque, clWhite), tkNone);
    EXPECT_EQ(PixelAt(opaque, 0, 0), Rgb(1, 2, 3));
}

TEST(Flatten, TransparentGifFromTheDispatcher) {
    TBitmap picture =
        DecodeGif(EncodeGif([] {
            TBitmap b =
                MakeImage(3, 1, [](int x, int) { return x == 1 ? Rgb(0, 255, 0) : Rgb(5, 6, 7); });
            b.SetTransparent(true);
            b.SetTransparentColor(RGBColor(0, 255, 0));
            return b;
        }()))
            .Picture;
    EXPECT_EQ(FlattenOnBackground(picture, RGBColor(100, 100, 100)), tkColorKey);
    EXPECT_EQ(PixelAt(picture, 1, 0), Grey(100));
    EXPECT_EQ(PixelAt(picture, 0, 0), Rgb(5, 6, 7));
}

} // namespace
