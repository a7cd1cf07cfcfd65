// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ScanMan.h"
#include "TestImages.h"
#include "TestPrinters.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TBitmap Numbered(int w, int h) {
    return MakeImage(w, h, [](int x, int y) { return Grey(uint8_t(16 * y + x)); });
}

TEST(ScanLinesManager, ClipsWithoutSorting) {
    TBitmap img = Numbered(8, 4);
    TScanLinesManager m(img, {2, 1, 20, 3});
    EXPECT_EQ(m.Bounds(), (TRect{2, 1, 8, 3}));
    EXPECT_EQ(m.Row(1), img.ScanLine(1));
    EXPECT_EQ(m.SavedRowBytes(), 8u * 3);
    TScanLinesManager reversed(img, {5, 0, 2, 4});
    EXPECT_TRUE(reversed.Empty());
}

TEST(ScanLinesManager, PushRowRecyclesTheOldestBuffer) {
    TBitmap img = Numbered(4, 4);
    TScanLinesManager m(img, WholeImageRect);
    m.SaveRows(m.Row(0), 2);
    m.PushRow(m.Row(0));
    EXPECT_EQ(std::memcmp(m.SavedRow(0), img.ScanLine(0), 12), 0);
    EXPECT_EQ(std::memcmp(m.SavedRow(1), img.ScanLine(0), 12), 0);
    m.PushRow(m.Row(2));
    m.PushRow(m.Row(3));
    // Oldest first: the last two rows pushed.
    EXPECT_EQ(m.SavedRow(0)[0], 32);
    EXPECT_EQ(m.SavedRow(1)[0], 48);
}

TEST(ScanLinesManagerEx, ReadPixelOutsideTheRectangle) {
    TBitmap img = Numbered(4, 4);
    TScanLinesManagerEx m(img, {1, 1, 3, 3});
    EXPECT_EQ(m.ReadPixel(0, 0), Grey(255)); // EdgeColor starts white
    m.EdgeColor = Rgb(1, 2, 3);
    EXPECT_EQ(m.ReadPixel(3, 1), Rgb(1, 2, 3));
    EXPECT_EQ(m.ReadPixel(1, 2), Grey(33));
    m.ClampEdges = true;
    EXPECT_EQ(m.ReadPixel(-5, 0), Grey(17));
    EXPECT_EQ(m.ReadPixel(9, 9), Grey(34));
    m.SetPixel(2, 2, Rgb(9, 8, 7));
    EXPECT_EQ(m.GetPixel(2, 2), Rgb(9, 8, 7));
    EXPECT_EQ(PixelAt(img, 2, 2), Rgb(9, 8, 7));
}

TEST(DiBitmap, WritesOnlyInsideItsClip) {
    TBitmap img = UniformImage(4, 3, Grey(0));
    TDiBitmap d(img, {1, 0, 99, 2});
    d.PutPixel(4, 0, 0xFFFFFF); // x = Width
    d.PutPixel(0, 0, 0xFFFFFF); // left of the clip
    d.PutPixel(1, 2, 0xFFFFFF); // below it
    d.PutPixel(2, 1, 0x010203);
    EXPECT_EQ(PixelAt(img, 2, 1), (TTriple{0x03, 0x02, 0x01})); // low byte first
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            if (!(x == 2 && y == 1)) {
                EXPECT_EQ(PixelAt(img, x, y), Grey(0)) << x << "," << y;
            }
}

TEST(DiBitmap, XorTwiceRestores) {
    TBitmap img = RandomImage(3, 3, 7);
    const TBitmap before = img;
    TDiBitmap d(img, WholeImageRect);
    d.XorPixel(1, 1, 0xA5F00F);
    EXPECT_NE(PixelAt(img, 1, 1), PixelAt(before, 1, 1));
    d.XorPixel(1, 1, 0xA5F00F);
    EXPECT_TRUE(img == before);
}

TEST(DiBitmap, WorksOnAOneRowImage) {
    TBitmap img = UniformImage(3, 1, Grey(0));
    TDiBitmap d(img, WholeImageRect);
    d.PutPixel(2, 0, 0x0000FF);
    d.PutPixel(2, 1, 0x0000FF);
    EXPECT_EQ(PixelAt(img, 2, 0), (TTriple{0xFF, 0, 0}));
}

} // namespace
