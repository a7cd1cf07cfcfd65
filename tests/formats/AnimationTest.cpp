// SPDX-License-Identifier: GPL-2.0-or-later
// Animations give their frames in order, each the whole canvas with its delay, and files of
// several pages give their pages in order, through the frame sources and through the
// dispatcher's image index.
#include "formats/Animation.h"
#include "GifTestUtil.h"
#include "ModernTestUtil.h"
#include "formats/FileData.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"

#include <gtest/gtest.h>

namespace {

// Palette: 0 black, 1 red, 2 green, 3 blue.
const std::vector<uint8_t> kPalette{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
constexpr QRgb kNone = 0, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

std::vector<uint8_t> Filled(int w, int h, uint8_t index) {
    return std::vector<uint8_t>(size_t(w * h), index);
}

QRgb At(const TAnimationFrame& f, int x, int y) {
    return reinterpret_cast<const QRgb*>(f.Picture.ScanLine(y))[x];
}

QByteArray Bytes(const std::vector<uint8_t>& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

// A 4 x 2 screen: a red frame over all of it, a green 2 x 1 at (2, 1) with "restore to
// background", a blue 1 x 1 at (0, 0) with "restore to previous", then a 1 x 1 frame whose
// only pixel is transparent.
std::vector<uint8_t> DisposalGif(int loops = -1) {
    TGifSpecFrame red{4, 2, Filled(4, 2, 1)};
    red.Delay = 5;
    TGifSpecFrame green{2, 1, Filled(2, 1, 2)};
    green.Left = 2, green.Top = 1, green.Delay = 1, green.Disposal = DISPOSE_BACKGROUND;
    TGifSpecFrame blue{1, 1, Filled(1, 1, 3)};
    blue.Delay = 30, blue.Disposal = DISPOSE_PREVIOUS;
    TGifSpecFrame clear{1, 1, Filled(1, 1, 0)};
    clear.Left = 3, clear.TransparentIndex = 0, clear.Delay = 0;
    return MakeGif(4, 2, kPalette, {red, green, blue, clear}, loops);
}

TEST(GifAnimation, DisposalTransparencyAndDelays) {
    InitImageFormats();
    std::unique_ptr<IFrameSource> anim =
        OpenAnimation(QStringLiteral("a.gif"), Bytes(DisposalGif()));
    ASSERT_TRUE(anim);
    EXPECT_EQ(anim->FrameCount(), 4);
    EXPECT_EQ(anim->LoopCount(), 1); // no loop block: played once
    EXPECT_EQ(anim->CanvasSize(), QSize(4, 2));

    const TAnimationFrame f0 = anim->NextFrame();
    EXPECT_EQ(f0.Index, 0);
    EXPECT_EQ(f0.Delay, 50);
    EXPECT_EQ(f0.Picture.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(At(f0, 0, 0), kRed);
    EXPECT_EQ(At(f0, 3, 1), kRed);

    const TAnimationFrame f1 = anim->NextFrame();
    EXPECT_EQ(f1.Delay, 100); // 10 ms plays as 100 ms
    EXPECT_EQ(At(f1, 2, 1), kGreen);
    EXPECT_EQ(At(f1, 1, 1), kRed);

    // The green frame's area is cleared to transparent before the blue one is drawn.
    const TAnimationFrame f2 = anim->NextFrame();
    EXPECT_EQ(f2.Delay, 300);
    EXPECT_EQ(At(f2, 0, 0), kBlue);
    EXPECT_EQ(At(f2, 2, 1), kNone);
    EXPECT_EQ(At(f2, 3, 1), kNone);
    EXPECT_EQ(At(f2, 1, 0), kRed);

    // The blue frame is undone; the last frame's transparent pixel leaves what was there.
    const TAnimationFrame f3 = anim->NextFrame();
    EXPECT_EQ(f3.Index, 3);
    EXPECT_EQ(At(f3, 0, 0), kRed);
    EXPECT_EQ(At(f3, 3, 0), kRed);
    EXPECT_EQ(At(f3, 2, 1), kNone);

    // Then the first frame again, on a clean canvas.
    const TAnimationFrame again = anim->NextFrame();
    EXPECT_EQ(again.Index, 0);
    EXPECT_EQ(again.Picture, f0.Picture);
}

TEST(GifAnimation, LoopBlockCountsRepeatsAfterTheFirstPlay) {
    InitImageFormats();
    EXPECT_EQ(OpenAnimation(QStringLiteral("a.gif"), Bytes(DisposalGif(0)))->LoopCount(), 0);
    EXPECT_EQ(OpenAnimation(QStringLiteral("a.gif"), Bytes(DisposalGif(2)))->LoopCount(), 3);
}

TEST(GifAnimation, StillPicturesHaveNoFrameSource) {
    InitImageFormats();
    const std::vector<uint8_t> still = MakeGif(2, 2, kPalette, {{2, 2, Filled(2, 2, 1)}});
    EXPECT_EQ(OpenAnimation(QStringLiteral("a.gif"), Bytes(still)), nullptr);
    EXPECT_EQ(OpenAnimation(QStringLiteral("a.png"), Bytes(still)), nullptr);
}

TEST(GifAnimation, DispatcherReadsAnyFrameAndCountsThem) {
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    QString name = dir.filePath(QStringLiteral("a.gif"));
    WriteBytes(name, DisposalGif());
    TBitmap first, third;
    ASSERT_EQ(LoadImageFile(name, first), 1);
    EXPECT_EQ(OptionsOE().ImageCount, 4);
    EXPECT_TRUE(OptionsOE().Animated);
    EXPECT_TRUE(AnimatedGif());
    EXPECT_EQ(first.PixelFormat(), TPixelFormat::pf8bit); // the first frame as before
    ASSERT_EQ(LoadImageFile(name, third, {}, 2), 1);
    EXPECT_EQ(third.PixelFormat(), TPixelFormat::pf32bit); // transparent pixels now
    EXPECT_EQ(third.Image().pixel(0, 0), kBlue);
    EXPECT_EQ(LoadImageFile(name, third, {}, 4), -1);
    EXPECT_EQ(seam.Messages.size(), 1);
}

// Three frames of 9 x 6 in three colours, as PNG files for the animation writers.
struct TFrames {
    std::vector<TBitmap> Pictures;
    QStringList Files;
};

TFrames WriteFrames(const QDir& dir) {
    TFrames f;
    for (int i = 0; i < 3; ++i) {
        f.Pictures.push_back(MakeImage(9, 6, [i](int x, int y) {
            return Rgb(uint8_t(40 * i + x * 9), uint8_t(200 - 50 * i + y), uint8_t(x * y * i));
        }));
        f.Files << WritePng(dir, QStringLiteral("f%1.png").arg(i), {f.Pictures.back(), {}});
    }
    return f;
}

struct ToolAnimation {
    const char* what;
    const char* name;
    const char* tool;
    QStringList args; // F0, F1, F2 and OUT stand for the frame files and the file made
    std::vector<int> delays;
    int loops;
};

void PrintTo(const ToolAnimation& c, std::ostream* os) {
    *os << c.what;
}

class ToolAnimations : public ::testing::TestWithParam<ToolAnimation> {};

TEST_P(ToolAnimations, FramesInOrderWithTheirDelays) {
    REQUIRE_MODERN_TOOLS();
    InitImageFormats();
    const ToolAnimation& c = GetParam();
    QTemporaryDir dir;
    TScriptedSeam seam;
    const TFrames frames = WriteFrames(QDir(dir.path()));
    QString file = dir.filePath(QString::fromLatin1(c.name));
    QStringList args = c.args;
    for (QString& a : args) {
        if (a == QLatin1String("OUT")) a = file;
        for (int i = 0; i < 3; ++i)
            if (a == QStringLiteral("F%1").arg(i)) a = frames.Files[i];
    }
    bool ok = false;
    RunTool(QString::fromLatin1(c.tool), args, &ok);
    ASSERT_TRUE(ok);

    std::unique_ptr<IFrameSource> anim = OpenAnimation(file, ReadWholeFile(file));
    ASSERT_TRUE(anim);
    ASSERT_EQ(anim->FrameCount(), 3);
    EXPECT_EQ(anim->LoopCount(), c.loops);
    EXPECT_EQ(anim->CanvasSize(), QSize(9, 6));
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 3; ++i) {
            const TAnimationFrame f = anim->NextFrame();
            EXPECT_EQ(f.Index, i);
            EXPECT_EQ(f.Delay, c.delays[size_t(i)]) << i;
            EXPECT_EQ(f.Picture.PixelFormat(), TPixelFormat::pf32bit);
            EXPECT_EQ(MaxDifference(f.Picture, frames.Pictures[size_t(i)]), 0) << i;
        }

    // The dispatcher reads any frame by its index and says how many there are.
    TBitmap second;
    ASSERT_EQ(LoadImageFile(file, second, {}, 1), 1);
    EXPECT_EQ(OptionsOE().ImageCount, 3);
    EXPECT_TRUE(OptionsOE().Animated);
    EXPECT_EQ(MaxDifference(second, frames.Pictures[1]), 0);
    EXPECT_EQ(LoadImageFile(file, second, {}, 3), -1);
    EXPECT_EQ(seam.Messages.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Writers, ToolAnimations,
    ::testing::Values(ToolAnimation{"WebP",
                                    "a.webp",
                                    "img2webp",
                                    {"-lossless", "-loop", "2", "-d", "50", "F0", "-d", "10", "F1",
                                     "-d", "120", "F2", "-o", "OUT"},
                                    {50, 100, 120},
                                    2},
                      ToolAnimation{"AvifSequence",
                                    "a.avifs",
                                    "avifenc",
                                    {"-l", "--timescale", "100", "--duration", "5", "F0",
                                     "--duration", "1", "F1", "--duration", "12", "F2", "OUT"},
                                    {50, 100, 120},
                                    0}),
    [](const auto& info) { return std::string(info.param.what); });

// A GIF turned into JPEG XL by cjxl keeps its frames, delays and loop count.
TEST(JxlAnimation, FramesOfAGifMadeByCjxl) {
    REQUIRE_MODERN_TOOLS();
    InitImageFormats();
    QTemporaryDir dir;
    TGifSpecFrame a{3, 2, {1, 2, 3, 3, 2, 1}}, b{3, 2, {2, 2, 2, 1, 1, 1}};
    a.Delay = 20, b.Delay = 7;
    const QString gif = dir.filePath(QStringLiteral("a.gif"));
    WriteBytes(gif, MakeGif(3, 2, kPalette, {a, b}, 0));
    const QString jxl = dir.filePath(QStringLiteral("a.jxl"));
    bool ok = false;
    RunTool(QStringLiteral("cjxl"),
            {gif, jxl, QStringLiteral("-d"), QStringLiteral("0"), QStringLiteral("--quiet")}, &ok);
    ASSERT_TRUE(ok);
    std::unique_ptr<IFrameSource> fromGif = OpenAnimation(gif, ReadWholeFile(gif));
    std::unique_ptr<IFrameSource> fromJxl = OpenAnimation(jxl, ReadWholeFile(jxl));
    ASSERT_TRUE(fromJxl);
    ASSERT_EQ(fromJxl->FrameCount(), 2);
    EXPECT_EQ(fromJxl->LoopCount(), 0);
    for (int i = 0; i < 4; ++i) {
        const TAnimationFrame g = fromGif->NextFrame(), j = fromJxl->NextFrame();
        EXPECT_EQ(j.Index, i % 2);
        EXPECT_EQ(j.Delay, g.Delay) << i;
        EXPECT_EQ(MaxArgbDifference(j.Picture, g.Picture), 0) << i;
    }
}

// Pages: a three-page TIFF written by ImageMagick and a two-picture HEIF by heif-enc.
TEST(Pages, MultiPageTiffGivesItsPagesInOrder) {
    REQUIRE_TOOL("convert");
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    const TFrames frames = WriteFrames(QDir(dir.path()));
    QString tif = dir.filePath(QStringLiteral("pages.tif"));
    bool ok = false;
    RunTool(QStringLiteral("convert"), QStringList(frames.Files) << tif, &ok);
    ASSERT_TRUE(ok);
    for (int page = 0; page < 3; ++page) {
        TBitmap loaded;
        ASSERT_EQ(LoadImageFile(tif, loaded, {}, page), 1) << page;
        EXPECT_EQ(OptionsOE().ImageCount, 3);
        EXPECT_FALSE(OptionsOE().Animated);
        EXPECT_EQ(MaxDifference(loaded, frames.Pictures[size_t(page)]), 0) << page;
    }
    TBitmap loaded;
    EXPECT_EQ(LoadImageFile(tif, loaded, {}, 3), -1);
}

TEST(Pages, HeifPrimaryPictureFirstThenTheOthers) {
    REQUIRE_MODERN_TOOLS();
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    const TFrames frames = WriteFrames(QDir(dir.path()));
    QString heic = dir.filePath(QStringLiteral("two.heic"));
    bool ok = false;
    RunTool(QStringLiteral("heif-enc"),
            {QStringLiteral("-q"), QStringLiteral("95"), frames.Files[0], frames.Files[2],
             QStringLiteral("-o"), heic},
            &ok);
    ASSERT_TRUE(ok);
    TBitmap first, second;
    ASSERT_EQ(LoadImageFile(heic, first), 1);
    EXPECT_EQ(OptionsOE().ImageCount, 2);
    EXPECT_FALSE(OptionsOE().Animated);
    ASSERT_EQ(LoadImageFile(heic, second, {}, 1), 1);
    EXPECT_LT(MeanDifference(first, frames.Pictures[0]), 4);
    EXPECT_LT(MeanDifference(second, frames.Pictures[2]), 4);
    EXPECT_EQ(LoadImageFile(heic, second, {}, 2), -1);
}

TEST(FrameDelay, BrowserRule) {
    EXPECT_EQ(FrameDelay(0), 100);
    EXPECT_EQ(FrameDelay(19), 100);
    EXPECT_EQ(FrameDelay(20), 20);
    EXPECT_EQ(FrameDelay(1500), 1500);
    EXPECT_EQ(FrameDelay(-5), 100);
}

} // namespace
