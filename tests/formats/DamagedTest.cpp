// SPDX-License-Identifier: GPL-2.0-or-later
// Damaged files of every readable format end in -1 and the load message, never in a crash,
// and a file that claims an enormous picture fails before anything that size is allocated.
#include "FormatTestUtil.h"
#include "GifTestUtil.h"
#include "formats/BmpCodec.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"
#include "formats/PngUtils.h"
#include "formats/TgaCodec.h"
#include "formats/TiffUtils.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <random>
#include <zlib.h>

namespace {

TBitmap Picture() {
    return RandomImage(40, 30, 77);
}

// A 24-bit icon: the DIB of a BMP file with its height doubled, then an empty mask.
std::vector<uint8_t> IcoFile() {
    std::vector<uint8_t> dib = EncodeBmp24(Picture());
    dib.erase(dib.begin(), dib.begin() + 14);
    qToLittleEndian<int32_t>(60, dib.data() + 8);
    dib.insert(dib.end(), size_t(30) * 8, 0); // mask rows of 40 bits, padded to 8 bytes
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 40, 30, 0, 0, 1, 0, 24, 0};
    ico.resize(22);
    qToLittleEndian<uint32_t>(uint32_t(dib.size()), ico.data() + 14);
    qToLittleEndian<uint32_t>(22, ico.data() + 18);
    ico.insert(ico.end(), dib.begin(), dib.end());
    return ico;
}

std::vector<uint8_t> PpmFile() {
    return PpmOf(Picture());
}

std::vector<uint8_t> TextFile(const std::string& s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

// A TIFF of one 8-bit grey strip of 10 bytes whose tags claim width x height.
std::vector<uint8_t> TiffClaiming(uint32_t width, uint32_t height) {
    std::vector<uint8_t> b = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const uint16_t tags[][3] = {{256, 4, 0}, {257, 4, 0}, {258, 3, 8}, {259, 3, 1}, {262, 3, 1},
                                {273, 4, 0}, {277, 3, 1}, {278, 4, 0}, {279, 4, 10}};
    const uint16_t n = 9;
    b.push_back(uint8_t(n));
    b.push_back(0);
    const uint32_t dataAt = 8 + 2 + n * 12 + 4;
    for (const auto& t : tags) {
        uint8_t e[12] = {};
        qToLittleEndian<uint16_t>(t[0], e);
        qToLittleEndian<uint16_t>(t[1], e + 2);
        qToLittleEndian<uint32_t>(1, e + 4);
        uint32_t value = t[2];
        if (t[0] == 256) value = width;
        if (t[0] == 257 || t[0] == 278) value = height;
        if (t[0] == 273) value = dataAt;
        if (t[1] == 3)
            qToLittleEndian<uint16_t>(uint16_t(value), e + 8);
        else
            qToLittleEndian<uint32_t>(value, e + 8);
        b.insert(b.end(), e, e + 12);
    }
    b.insert(b.end(), {0, 0, 0, 0});
    b.insert(b.end(), 10, 0x55);
    return b;
}

// Patches for the size fields of each format.
std::vector<uint8_t> PngClaiming(uint32_t w, uint32_t h) {
    std::vector<uint8_t> b = EncodePng(Picture());
    qToBigEndian<uint32_t>(w, b.data() + 16);
    qToBigEndian<uint32_t>(h, b.data() + 20);
    qToBigEndian<uint32_t>(uint32_t(crc32(0, b.data() + 12, 17)), b.data() + 29);
    return b;
}
std::vector<uint8_t> JpegClaiming(uint16_t w, uint16_t h) {
    std::vector<uint8_t> b = EncodeJpeg(Picture(), 90, false);
    for (size_t i = 2; i + 9 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            qToBigEndian<uint16_t>(h, b.data() + i + 5);
            qToBigEndian<uint16_t>(w, b.data() + i + 7);
            break;
        }
    return b;
}
std::vector<uint8_t> BmpClaiming(int32_t w, int32_t h) {
    std::vector<uint8_t> b = EncodeBmp24(Picture());
    qToLittleEndian<int32_t>(w, b.data() + 18);
    qToLittleEndian<int32_t>(h, b.data() + 22);
    return b;
}
std::vector<uint8_t> TgaClaiming(uint16_t w, uint16_t h) {
    std::vector<uint8_t> b = EncodeTga(Picture());
    qToLittleEndian<uint16_t>(w, b.data() + 12);
    qToLittleEndian<uint16_t>(h, b.data() + 14);
    return b;
}
std::vector<uint8_t> IcoClaiming(int32_t w, int32_t h) {
    std::vector<uint8_t> b = IcoFile();
    qToLittleEndian<int32_t>(w, b.data() + 22 + 4);
    qToLittleEndian<int32_t>(h, b.data() + 22 + 8);
    return b;
}

std::vector<uint8_t> GifFile() {
    std::vector<uint8_t> indices(40 * 30);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = uint8_t(i * 5 % 4);
    return MakeGif(40, 30, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}, {{40, 30, indices}});
}
std::vector<uint8_t> GifClaiming(uint16_t w, uint16_t h) {
    std::vector<uint8_t> b = GifFile();
    const size_t at = 6 + 7 + 12; // header, screen descriptor, colour table
    EXPECT_EQ(b[at], 0x2C);
    qToLittleEndian<uint16_t>(w, b.data() + at + 5);
    qToLittleEndian<uint16_t>(h, b.data() + at + 7);
    return b;
}

struct TFormat {
    const char* name;
    std::function<std::vector<uint8_t>()> good;
    std::function<std::vector<uint8_t>()> enormous; // 100000 x 100000 or the largest it says
};

std::vector<TFormat> Formats() {
    return {
        {"a.jpg", [] { return EncodeJpeg(Picture(), 90, false); },
         [] { return JpegClaiming(65000, 65000); }},
        {"a.jpeg", [] { return EncodeJpeg(Picture(), 90, true); },
         [] { return JpegClaiming(20000, 20000); }},
        {"a.png", [] { return EncodePng(Picture()); }, [] { return PngClaiming(100000, 100000); }},
        {"a.tif", [] { return EncodeTiff(Picture()); },
         [] { return TiffClaiming(100000, 100000); }},
        {"a.bmp", [] { return EncodeBmp24(Picture()); },
         [] { return BmpClaiming(100000, 100000); }},
        {"a.dib", [] { return EncodeBmp24(Picture()); },
         [] { return BmpClaiming(100000, -100000); }},
        {"a.tga", [] { return EncodeTga(Picture()); }, [] { return TgaClaiming(65535, 65535); }},
        {"a.vst", [] { return EncodeTga(Picture(), false); },
         [] { return TgaClaiming(20000, 20000); }},
        {"a.ico", IcoFile, [] { return IcoClaiming(100000, 200000); }},
        {"a.gif", GifFile, [] { return GifClaiming(65535, 65535); }},
        {"a.ppm", PpmFile, [] { return TextFile("P6 100000 100000 255\n....."); }},
        {"a.pgm", [] { return TextFile("P2 3 1 255 1 2 3"); },
         [] { return TextFile("P5 20000 20000 255\n..."); }},
        {"a.pbm", [] { return TextFile("P1\n3 2\n1 0 1\n0 1 0\n"); },
         [] { return TextFile("P1 100000 100000 1 0 1"); }},
    };
}

enum TDamage { dEmpty, dHeaderOnly, dHalf, dNinetyPercent, dBadSignature, dEnormous };
const char* const kDamageNames[] = {"empty", "header only",   "half",
                                    "90%",   "bad signature", "enormous"};

std::vector<uint8_t> Damage(const TFormat& f, TDamage d) {
    std::vector<uint8_t> b = f.good();
    switch (d) {
    case dEmpty:
        return {};
    case dHeaderOnly:
        b.resize(std::min<size_t>(b.size(), 10));
        return b;
    case dHalf:
        b.resize(b.size() / 2);
        return b;
    case dNinetyPercent:
        b.resize(b.size() * 9 / 10);
        return b;
    case dBadSignature:
        b[0] ^= 0x5A;
        b[1] ^= 0x33;
        return b;
    case dEnormous:
        return f.enormous();
    }
    return b;
}

class Damaged : public ::testing::TestWithParam<std::tuple<int, TDamage>> {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_P(Damaged, FailsWithTheLoadMessage) {
    const TFormat f = Formats()[size_t(std::get<0>(GetParam()))];
    const TDamage d = std::get<1>(GetParam());
    if (d == dHalf && std::string(f.name).starts_with("a.p") && f.good().size() < 40)
        GTEST_SKIP() << "a short text file cut in half may still be a smaller valid file";
    QString name = dir.filePath(QString::fromLatin1(f.name));
    WriteBytes(name, Damage(f, d));
    TBitmap bmp = UniformImage(2, 2, Grey(5));
    EXPECT_EQ(LoadImageFile(name, bmp), -1) << f.name << " " << kDamageNames[d];
    EXPECT_EQ(seam.Messages.size(), 1) << f.name << " " << kDamageNames[d];
    EXPECT_EQ(bmp.Width(), 2);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, Damaged,
                         ::testing::Combine(::testing::Range(0, 13),
                                            ::testing::Values(dEmpty, dHeaderOnly, dHalf,
                                                              dNinetyPercent, dBadSignature,
                                                              dEnormous)),
                         [](const auto& info) {
                             std::string n = Formats()[size_t(std::get<0>(info.param))].name + 2;
                             return n + "_" + std::to_string(int(std::get<1>(info.param)));
                         });

// The undamaged files load, so the failures above come from the damage.
TEST(DamagedBase, GoodFilesLoad) {
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    for (const TFormat& f : Formats()) {
        QString name = dir.filePath(QString::fromLatin1(f.name));
        WriteBytes(name, f.good());
        TBitmap bmp;
        EXPECT_EQ(LoadImageFile(name, bmp), 1) << f.name;
    }
}

// Bytes overwritten anywhere: any result, but a consistent one and no crash.
TEST(DamagedBase, ScrambledBytesNeverCrash) {
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    std::mt19937 rng(2024);
    for (const TFormat& f : Formats()) {
        const std::vector<uint8_t> good = f.good();
        for (int round = 0; round < 12; ++round) {
            std::vector<uint8_t> b = good;
            for (int k = 0; k < 1 + round; ++k)
                b[rng() % b.size()] = uint8_t(rng());
            QString name = dir.filePath(QString::fromLatin1(f.name));
            WriteBytes(name, b);
            seam.Messages.clear();
            TBitmap bmp;
            const int result = LoadImageFile(name, bmp);
            EXPECT_TRUE(result == 1 || result == -1);
            EXPECT_EQ(seam.Messages.size(), result < 0 ? 1 : 0) << f.name;
            if (result == 1) {
                EXPECT_FALSE(bmp.Empty());
            }
        }
    }
}

} // namespace
