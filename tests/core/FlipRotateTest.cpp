// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FlipRotate.h"
#include "TestImages.h"
#include "TestPrinters.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Pixels are named by letters: the grey level is the letter.
TBitmap Letters(const std::vector<std::string>& rows) {
    return MakeImage(int(rows[0].size()), int(rows.size()),
                     [&](int x, int y) { return Grey(uint8_t(rows[size_t(y)][size_t(x)])); });
}

std::vector<std::string> Read(const TBitmap& img) {
    std::vector<std::string> rows;
    for (int y = 0; y < img.Height(); ++y) {
        std::string row;
        for (int x = 0; x < img.Width(); ++x)
            row += char(PixelAt(img, x, y).g);
        rows.push_back(row);
    }
    return rows;
}

using Op = std::function<void(TBitmap&)>;

struct TurnCase {
    const char* name;
    Op op;
    std::vector<std::string> in, out;
};

void PrintTo(const TurnCase& c, std::ostream* os) {
    *os << c.name;
}

class Turns : public ::testing::TestWithParam<TurnCase> {};

TEST_P(Turns, MovePixelsExactly) {
    TBitmap img = Letters(GetParam().in);
    GetParam().op(img);
    EXPECT_EQ(Read(img), GetParam().out);
    EXPECT_TRUE(img.Is24Bit());
}

const Op kFlipV = FlipVertical;
const Op kFlipH = FlipHorizontal;
const Op k180 = Rotate180;
const Op kCw = [](TBitmap& b) { Rotate90(b, true); };
const Op kCcw = [](TBitmap& b) { Rotate90(b, false); };

INSTANTIATE_TEST_SUITE_P(
    Cases, Turns,
    ::testing::Values(TurnCase{"flipV", kFlipV, {"abc", "def"}, {"def", "abc"}},
                      TurnCase{"flipH", kFlipH, {"abc", "def"}, {"cba", "fed"}},
                      TurnCase{"half", k180, {"abc", "def"}, {"fed", "cba"}},
                      TurnCase{"cw", kCw, {"abc", "def"}, {"da", "eb", "fc"}},
                      TurnCase{"ccw", kCcw, {"abc", "def"}, {"cf", "be", "ad"}},
                      TurnCase{"halfOddHeight", k180, {"ab", "cd", "ef"}, {"fe", "dc", "ba"}},
                      TurnCase{"flipVOdd", kFlipV, {"ab", "cd", "ef"}, {"ef", "cd", "ab"}},
                      TurnCase{"flipHOdd", kFlipH, {"abc"}, {"cba"}},
                      TurnCase{"cwRow", kCw, {"abcd"}, {"a", "b", "c", "d"}},
                      TurnCase{"ccwColumn", kCcw, {"a", "b"}, {"ab"}},
                      TurnCase{"oneFlipV", kFlipV, {"a"}, {"a"}},
                      TurnCase{"oneFlipH", kFlipH, {"a"}, {"a"}},
                      TurnCase{"oneHalf", k180, {"a"}, {"a"}}, TurnCase{"oneCw", kCw, {"a"}, {"a"}},
                      TurnCase{"oneCcw", kCcw, {"a"}, {"a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Turns, InversesRestoreTheImage) {
    // Odd sizes and a width that is not a multiple of the rotation band.
    const TBitmap original = RandomImage(37, 70, 11);
    struct Round {
        const char* name;
        std::vector<Op> ops;
    };
    const std::vector<Round> rounds{{"four cw", {kCw, kCw, kCw, kCw}},
                                    {"cw ccw", {kCw, kCcw}},
                                    {"two halves", {k180, k180}},
                                    {"two flipV", {kFlipV, kFlipV}},
                                    {"two flipH", {kFlipH, kFlipH}},
                                    {"flips make a half", {kFlipH, kFlipV, k180}},
                                    {"two cw make a half", {kCw, kCw, k180}}};
    for (const Round& r : rounds) {
        TBitmap img = original;
        for (const Op& op : r.ops)
            op(img);
        EXPECT_TRUE(img == original) << r.name;
    }
}

TEST(Turns, OtherFormatsKeepTheirFormatInPlace) {
    QImage q(3, 2, QImage::Format_Indexed8);
    q.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    q.fill(0);
    q.scanLine(0)[0] = 1; // top left
    for (const auto& [name, op, x, y] : std::vector<std::tuple<const char*, Op, int, int>>{
             {"flipV", kFlipV, 0, 1}, {"flipH", kFlipH, 2, 0}, {"half", k180, 2, 1}}) {
        TBitmap img{q};
        op(img);
        EXPECT_EQ(img.PixelFormat(), TPixelFormat::pf8bit) << name;
        EXPECT_EQ(img.Image().pixelIndex(x, y), 1) << name;
    }
    TBitmap turned{q};
    Rotate90(turned, true);
    EXPECT_TRUE(turned.Is24Bit());
    EXPECT_EQ(PixelAt(turned, 1, 0), Grey(255));
}

TEST(Turns, EmptyImages) {
    TBitmap empty;
    FlipVertical(empty);
    FlipHorizontal(empty);
    Rotate180(empty);
    Rotate90(empty, true);
    EXPECT_TRUE(empty.Empty());
}

} // namespace
