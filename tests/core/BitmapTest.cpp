// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Bitmap.h"
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/Errors.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

TEST(Bitmap, NewImageFillsEveryPixel) {
    TBitmap b;
    b.SetTransparent(true);
    NewImage(b, 5, 3, RGBColor(10, 20, 30));
    EXPECT_FALSE(b.Transparent());
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    ASSERT_EQ(b.Width(), 5);
    ASSERT_EQ(b.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PixelAt(b, x, y), Rgb(10, 20, 30));
    EXPECT_EQ(b.Stride() % 4, 0);
    EXPECT_GE(b.Stride(), 15);
}

TEST(Bitmap, GrowingKeepsOverlapAndFillsNewPixels) {
    TBitmap b = MakeImage(2, 2, [](int x, int y) { return Grey(uint8_t(10 * x + y)); });
    b.SetFillColor(RGBColor(200, 0, 0));
    b.SetSize(3, 4);
    EXPECT_EQ(PixelAt(b, 0, 0), Grey(0));
    EXPECT_EQ(PixelAt(b, 1, 1), Grey(11));
    EXPECT_EQ(PixelAt(b, 2, 0), Rgb(200, 0, 0));
    EXPECT_EQ(PixelAt(b, 0, 3), Rgb(200, 0, 0));
    b.SetWidth(1);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(PixelAt(b, 0, 1), Grey(1));
    b.SetHeight(0);
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, HugeSizeFailsCleanly) {
    TBitmap b;
    EXPECT_THROW(b.SetSize(100000, 100000), ETaveluneError);
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, AssignIsADeepCopy) {
    TBitmap a = UniformImage(2, 2, Grey(5));
    a.SetTransparent(true);
    a.SetTransparentColor(clRed);
    TBitmap b;
    b.Assign(a);
    b.ScanLine(0)[0] = 99;
    EXPECT_EQ(PixelAt(a, 0, 0), Grey(5));
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), clRed);
}

// Conversion to 24 bits keeps the visible colour of each source format.
TEST(Bitmap, PaletteExpandsThroughThePalette) {
    QImage q(3, 1, QImage::Format_Indexed8);
    q.setColorTable({qRgb(255, 0, 0), qRgba(0, 255, 0, 0), qRgb(1, 2, 3)});
    q.scanLine(0)[0] = 2;
    q.scanLine(0)[1] = 1; // transparent entry: colour kept, not blended
    q.scanLine(0)[2] = 7; // past the palette: black
    TBitmap b(q);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
    b.To24Bit();
    EXPECT_EQ(PixelAt(b, 0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(PixelAt(b, 1, 0), Rgb(0, 255, 0));
    EXPECT_EQ(PixelAt(b, 2, 0), Rgb(0, 0, 0));
}

TEST(Bitmap, MonoExpandsThroughItsPalette) {
    QImage q(9, 2, QImage::Format_Mono);
    q.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 50)});
    q.fill(0);
    q.setPixel(8, 1, 1);
    TBitmap b(q);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf1bit);
    b.To24Bit();
    EXPECT_EQ(PixelAt(b, 0, 0), Rgb(10, 20, 30));
    EXPECT_EQ(PixelAt(b, 8, 1), Rgb(200, 100, 50));
}

TEST(Bitmap, AlphaIsDroppedNeverBlended) {
    QImage q(2, 1, QImage::Format_ARGB32);
    reinterpret_cast<QRgb*>(q.scanLine(0))[0] = qRgba(200, 100, 50, 0);
    reinterpret_cast<QRgb*>(q.scanLine(0))[1] = qRgba(10, 20, 30, 128);
    TBitmap b(q);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf32bit);
    b.To24Bit();
    EXPECT_EQ(PixelAt(b, 0, 0), Rgb(200, 100, 50));
    EXPECT_EQ(PixelAt(b, 1, 0), Rgb(10, 20, 30));
}

TEST(Bitmap, OtherQtFormatsWithAlphaAreUnpremultipliedFirst) {
    QImage q(1, 1, QImage::Format_RGBA8888);
    q.scanLine(0)[0] = 40; // r
    q.scanLine(0)[1] = 80; // g
    q.scanLine(0)[2] = 120;
    q.scanLine(0)[3] = 0; // alpha 0 must not turn the pixel black
    TBitmap b(q);
    b.To24Bit();
    EXPECT_EQ(PixelAt(b, 0, 0), Rgb(40, 80, 120));
}

TEST(Bitmap, SixteenBitFormatsKeepTheirColour) {
    for (QImage::Format f : {QImage::Format_RGB555, QImage::Format_RGB16}) {
        QImage q(1, 1, f);
        q.fill(QColor(255, 0, 255));
        TBitmap b(q);
        b.To24Bit();
        EXPECT_EQ(PixelAt(b, 0, 0), Rgb(255, 0, 255)) << f;
    }
}

TEST(Bitmap, BackTo32BitsIsOpaque) {
    TBitmap b = UniformImage(1, 1, Rgb(1, 2, 3));
    b.SetPixelFormat(TPixelFormat::pf32bit);
    EXPECT_EQ(reinterpret_cast<const QRgb*>(b.ScanLine(0))[0], qRgba(1, 2, 3, 255));
}

TEST(Bitmap, QPainterDrawsOnTheWorkingImage) {
    TBitmap b = UniformImage(4, 4, Grey(0));
    {
        QPainter p(&b.Image());
        p.fillRect(1, 1, 2, 2, QColor(255, 128, 0));
    }
    EXPECT_EQ(PixelAt(b, 1, 1), Rgb(255, 128, 0));
    EXPECT_EQ(PixelAt(b, 0, 0), Grey(0));
    EXPECT_TRUE(b.Is24Bit());
}

} // namespace
