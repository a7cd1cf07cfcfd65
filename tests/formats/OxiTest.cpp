// SPDX-License-Identifier: GPL-2.0-or-later
// Layered image files built byte by byte: header checks and their texts, the thumbnail in both
// modes, the first layer with its flags, and damaged files.
#include "FormatTestUtil.h"
#include "OxiTestUtil.h"
#include "TestPrinters.h"
#include "core/Errors.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/MyGraphic.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using oxi::TBytes;

const std::string kInvalid = "Fichier de données invalide !";
const std::string kBadMode = "Invalid compression mode !";

// The text of the error a load throws, or "(no error)".
std::string LoadError(const TBytes& bytes, bool preview) {
    try {
        TMyImageLayeredReg reg;
        reg.Load(bytes, preview);
    } catch (const ETaveluneError& e) {
        return e.what();
    }
    return "(no error)";
}

TMyImageLayeredReg Loaded(const TBytes& bytes, bool preview) {
    TMyImageLayeredReg reg;
    reg.Load(bytes, preview);
    return reg;
}

oxi::TFile FileWithImage(const TBitmap& image, int mode = 0) {
    oxi::TFile f;
    f.Layers[0].Image = image;
    f.Layers[0].ImageMode = mode;
    return f;
}

// --- Header -----------------------------------------------------------------------------------

struct HeaderCase {
    const char* name;
    std::function<void(TBytes&)> damage;
    std::string error; // for both loads
};

class OxiHeader : public ::testing::TestWithParam<HeaderCase> {};
TEST_P(OxiHeader, ChecksSignatureAndVersion) {
    TBytes b = oxi::Build(FileWithImage(RandomImage(3, 2)));
    GetParam().damage(b);
    EXPECT_EQ(LoadError(b, false), GetParam().error);
    EXPECT_EQ(LoadError(b, true), GetParam().error);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, OxiHeader,
    ::testing::Values(HeaderCase{"version1", [](TBytes& b) { b[17] = 1; }, "(no error)"},
                      HeaderCase{"version2", [](TBytes& b) { b[17] = 2; }, "(no error)"},
                      HeaderCase{"version3", [](TBytes& b) { b[17] = 3; }, "(no error)"},
                      HeaderCase{"version0", [](TBytes& b) { b[17] = 0; }, kInvalid},
                      HeaderCase{"version4", [](TBytes& b) { b[17] = 4; }, kInvalid},
                      HeaderCase{"version255", [](TBytes& b) { b[17] = 255; }, kInvalid},
                      HeaderCase{"lastSignatureLetter", [](TBytes& b) { b[16] = 'f'; }, kInvalid},
                      HeaderCase{"lowerCaseSignature", [](TBytes& b) { b[0] = 'o'; }, kInvalid},
                      HeaderCase{"signatureShifted", [](TBytes& b) { b.insert(b.begin(), ' '); },
                                 kInvalid}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Oxi, HeaderFieldsAreRead) {
    oxi::TFile f = FileWithImage(RandomImage(3, 2));
    f.Width = 1234;
    f.Height = -7;
    const TMyImageLayeredReg reg = Loaded(oxi::Build(f), false);
    EXPECT_EQ(reg.Header.Version, 3);
    EXPECT_EQ(reg.FileWidth(), 1234);
    EXPECT_EQ(reg.FileHeight(), -7);
    EXPECT_DOUBLE_EQ(reg.Header.Resolution, 72.0);
    EXPECT_EQ(reg.Header.Reserved, 0x12345678);
    EXPECT_EQ(reg.Header.Text, QStringLiteral("made by hand"));
    EXPECT_EQ(reg.Header.Kept, 1);
}

// --- Thumbnail --------------------------------------------------------------------------------

struct ThumbCase {
    int width, height;
    uint32_t mode; // only its low byte counts
};
class OxiThumbnail : public ::testing::TestWithParam<ThumbCase> {};
TEST_P(OxiThumbnail, PreviewDeliversTheThumbnailExactly) {
    const ThumbCase c = GetParam();
    oxi::TFile f = FileWithImage(RandomImage(2, 2, 5));
    f.Thumbnail = RandomImage(c.width, c.height, uint32_t(c.width * 31 + c.height));
    f.ThumbnailMode = c.mode;
    const TMyImageLayeredReg reg = Loaded(oxi::Build(f), true);
    ASSERT_TRUE(reg.Picture.Is24Bit());
    EXPECT_EQ(MaxDifference(reg.Picture, f.Thumbnail), 0);
    EXPECT_EQ(reg.FileWidth(), 640);
    EXPECT_EQ(reg.FileHeight(), 480);
}
INSTANTIATE_TEST_SUITE_P(Sizes, OxiThumbnail,
                         ::testing::Values(ThumbCase{1, 1, 0}, ThumbCase{5, 3, 0},
                                           ThumbCase{1, 1, 1}, ThumbCase{2, 3, 1},
                                           ThumbCase{3, 2, 1}, ThumbCase{4, 2, 1},
                                           ThumbCase{5, 4, 1}, ThumbCase{3, 3, 0x101},
                                           ThumbCase{3, 3, 0xFFFFFF00}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height) + "_mode" +
                                    std::to_string(info.param.mode);
                         });

// Mode 1 of a picture 3 pixels wide: rows of 12 bytes (9 of pixels, 3 of padding), bottom row
// first, written here without the test writer.
TEST(Oxi, ThumbnailStreamOfThreePixelRows) {
    TBytes rows = {// bottom row: red, green, blue pixels (bytes blue, green, red), then padding
                   0, 0, 255, 0, 255, 0, 255, 0, 0, 9, 9, 9,
                   // top row: white, black, grey 128
                   255, 255, 255, 0, 0, 0, 128, 128, 128, 9, 9, 9};
    TBytes b = oxi::Build(oxi::TFile{});
    TBytes block;
    oxi::PutText(block, "Thumbnail");
    oxi::Put32(block, 1);
    oxi::Put32(block, 3);
    oxi::Put32(block, 2);
    oxi::Put32(block, 0);
    const TBytes z = oxi::Deflate(rows);
    block.insert(block.end(), z.begin(), z.end());
    b.resize(294);
    oxi::Put32(b, uint32_t(block.size() + 4));
    b.insert(b.end(), block.begin(), block.end());
    const TMyImageLayeredReg reg = Loaded(b, true);
    ASSERT_EQ(reg.Picture.Width(), 3);
    ASSERT_EQ(reg.Picture.Height(), 2);
    EXPECT_EQ(PixelAt(reg.Picture, 0, 0), Grey(255));
    EXPECT_EQ(PixelAt(reg.Picture, 1, 0), Grey(0));
    EXPECT_EQ(PixelAt(reg.Picture, 2, 0), Grey(128));
    EXPECT_EQ(PixelAt(reg.Picture, 0, 1), Rgb(255, 0, 0));
    EXPECT_EQ(PixelAt(reg.Picture, 1, 1), Rgb(0, 255, 0));
    EXPECT_EQ(PixelAt(reg.Picture, 2, 1), Rgb(0, 0, 255));
}

// A picture without rows (or without columns) is empty, whatever its other side claims, and
// nothing of that size is allocated.
struct EmptyCase {
    uint32_t width, height, mode;
};
class OxiEmptyThumbnail : public ::testing::TestWithParam<EmptyCase> {};
TEST_P(OxiEmptyThumbnail, LoadsAsAnEmptyPicture) {
    const EmptyCase c = GetParam();
    TBytes b = oxi::Build(oxi::TFile{});
    b.resize(294);
    TBytes block;
    oxi::PutText(block, "Thumbnail");
    oxi::Put32(block, c.mode);
    oxi::Put32(block, c.width);
    oxi::Put32(block, c.height);
    if (c.mode == 1) {
        oxi::Put32(block, 0);
        const TBytes z = oxi::Deflate({});
        block.insert(block.end(), z.begin(), z.end());
    }
    oxi::Put32(b, uint32_t(block.size() + 4));
    b.insert(b.end(), block.begin(), block.end());
    const TMyImageLayeredReg reg = Loaded(b, true);
    EXPECT_TRUE(reg.Picture.Empty());
}
INSTANTIATE_TEST_SUITE_P(Sides, OxiEmptyThumbnail,
                         ::testing::Values(EmptyCase{0x7FFFFFFF, 0, 1}, EmptyCase{0, 0x7FFFFFFF, 1},
                                           EmptyCase{0x7FFFFFFF, 0, 0}, EmptyCase{0, 0, 1}));

TEST(Oxi, ThumbnailTagIsCheckedOnlyForThePreview) {
    oxi::TFile f = FileWithImage(RandomImage(4, 3, 2));
    f.Tag = "Thumbnaix";
    const TBytes b = oxi::Build(f);
    EXPECT_EQ(LoadError(b, true), "");
    const TMyImageLayeredReg reg = Loaded(b, false);
    EXPECT_EQ(MaxDifference(reg.Picture, *f.Layers[0].Image), 0);
}

// In preview mode the layers are not read: damaged layers still preview.
TEST(Oxi, PreviewNeverReadsTheLayers) {
    oxi::TFile f;
    oxi::TLayout at;
    TBytes b = oxi::Build(f, &at);
    b.resize(at.FirstLayer + 2); // cut inside the first layer record
    EXPECT_EQ(LoadError(b, false), "layered image: truncated");
    const TMyImageLayeredReg reg = Loaded(b, true);
    EXPECT_EQ(MaxDifference(reg.Picture, f.Thumbnail), 0);
    // Nor does the display load read the thumbnail: its picture may be anything.
    TBytes c = oxi::Build(FileWithImage(RandomImage(2, 2)), &at);
    for (size_t i = 294 + 4 + 9; i < at.FirstLayer - 4; ++i)
        c[i] = 0xFF;
    EXPECT_EQ(LoadError(c, false), "(no error)");
}

// --- The first layer --------------------------------------------------------------------------

struct LayerCase {
    const char* name;
    bool image;
    int imageMode;
    uint8_t transparentFlag;
    uint32_t transparentColour;
    bool mask;
    int maskMode;
    uint8_t thirdFlag, extraFlag;
};
class OxiLayer : public ::testing::TestWithParam<LayerCase> {};
TEST_P(OxiLayer, DeliversTheFirstLayerImage) {
    const LayerCase c = GetParam();
    oxi::TFile f;
    // A second layer that must not show.
    oxi::TLayer second;
    second.Name = "second";
    second.Image = RandomImage(2, 2, 99);
    f.Layers.push_back(second);
    oxi::TLayer& l = f.Layers[0];
    l.Name = c.name;
    if (c.image) l.Image = RandomImage(7, 5, 3);
    l.ImageMode = c.imageMode;
    l.TransparentFlag = c.transparentFlag;
    l.TransparentColour = c.transparentColour;
    if (c.mask) l.Mask = RandomImage(6, 4, 9);
    l.MaskMode = c.maskMode;
    l.ThirdFlag = c.thirdFlag;
    l.ExtraFlag = c.extraFlag;
    if (c.extraFlag) l.Extra = {0xDE, 0xAD}; // never read

    const TMyImageLayeredReg reg = Loaded(oxi::Build(f), false);
    EXPECT_EQ(reg.FirstLayer.Name, QString::fromLatin1(c.name));
    EXPECT_EQ(reg.FirstLayer.HasImage, c.image);
    if (c.image) {
        ASSERT_TRUE(reg.Picture.Is24Bit());
        EXPECT_EQ(MaxDifference(reg.Picture, *l.Image), 0);
        EXPECT_EQ(reg.Picture.Transparent(), c.transparentFlag != 0);
        EXPECT_EQ(reg.Picture.TransparentColor(), c.transparentColour);
    } else {
        EXPECT_TRUE(reg.Picture.Empty());
    }
    EXPECT_EQ(reg.FirstLayer.HasMask, c.mask);
    if (c.mask) {
        const TBitmap& m = reg.FirstLayer.Mask;
        ASSERT_EQ(m.Width(), 6);
        ASSERT_EQ(m.Height(), 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(PixelAt(m, x, y), Grey(PixelAt(*l.Mask, x, y).b));
    }
    EXPECT_EQ(reg.FirstLayer.ThirdPicture, c.thirdFlag != 0);
    EXPECT_EQ(reg.FirstLayer.ExtraData, c.extraFlag != 0);
    EXPECT_EQ(reg.FirstLayer.Settings[16 + 7], 0x3F); // the high byte of 1.0
    EXPECT_EQ(reg.FirstLayer.MoreSettings[16], 80);
    EXPECT_EQ(reg.FirstLayer.EditorValues[3], 40);
}
INSTANTIATE_TEST_SUITE_P(
    Flags, OxiLayer,
    ::testing::Values(LayerCase{"plain", true, 0, 0, 0xFFFFFF, false, 0, 0, 0},
                      LayerCase{"zlib", true, 1, 0, 0xFFFFFF, false, 0, 0, 0},
                      LayerCase{"magenta", true, 0, 1, 0x00FF00FF, false, 0, 0, 0},
                      LayerCase{"anyNonZero", true, 1, 0x80, 0x00123456, false, 0, 0, 0},
                      LayerCase{"maskPlain", true, 0, 0, 0xFFFFFF, true, 0, 0, 0},
                      LayerCase{"maskZlib", true, 1, 1, 0x000000, true, 1, 0, 0},
                      LayerCase{"thirdAndExtra", true, 0, 0, 0xFFFFFF, false, 0, 1, 1},
                      LayerCase{"", false, 0, 0, 0, false, 0, 0, 0},
                      LayerCase{"noImageButMask", false, 0, 0, 0, true, 1, 0, 1}),
    [](const auto& info) {
        return std::string(info.param.name).empty() ? std::string("noImage")
                                                    : std::string(info.param.name);
    });

// A layer image stored uncompressed at 5 x 2 occupies 30 bytes after its width and height:
// the transparency flag and colour are found right after them.
TEST(Oxi, UncompressedLayerImageIsThirtyBytesForFiveByTwo) {
    oxi::TFile f = FileWithImage(RandomImage(5, 2, 8));
    f.Layers[0].TransparentFlag = 1;
    f.Layers[0].TransparentColour = 0x00ABCDEF;
    oxi::TLayout at;
    const TBytes b = oxi::Build(f, &at);
    const size_t imageFlag =
        at.FirstLayer + 4 + f.Layers[0].Name.size() + 2 + 16 + 1 + 4 + 4 + 8 + 1;
    ASSERT_EQ(b[imageFlag], 1);
    const size_t pixels = imageFlag + 1 + 1 + 8;
    EXPECT_EQ(b[pixels + 30], 1);    // transparency flag
    EXPECT_EQ(b[pixels + 31], 0xEF); // colour, low byte first
    const TMyImageLayeredReg reg = Loaded(b, false);
    EXPECT_EQ(reg.Picture.TransparentColor(), 0x00ABCDEFu);
}

struct ModeCase {
    const char* name;
    std::function<void(oxi::TFile&)> setUp;
    bool preview;
};
class OxiBadMode : public ::testing::TestWithParam<ModeCase> {};
TEST_P(OxiBadMode, IsRefusedWithItsText) {
    oxi::TFile f;
    GetParam().setUp(f);
    TBytes b = oxi::Build(f);
    EXPECT_EQ(LoadError(b, GetParam().preview), kBadMode);
}
// Mode bytes the writer cannot express are patched in after building.
INSTANTIATE_TEST_SUITE_P(
    Blocks, OxiBadMode,
    ::testing::Values(ModeCase{"thumbnail2", [](oxi::TFile& f) { f.ThumbnailMode = 2; }, true},
                      ModeCase{"thumbnail0xFF", [](oxi::TFile& f) { f.ThumbnailMode = 0x1FF; },
                               true},
                      ModeCase{"image2",
                               [](oxi::TFile& f) {
                                   f.Layers[0].Image = RandomImage(2, 2);
                                   f.Layers[0].ImageMode = 2;
                               },
                               false},
                      ModeCase{"mask7",
                               [](oxi::TFile& f) {
                                   f.Layers[0].Mask = RandomImage(2, 2);
                                   f.Layers[0].MaskMode = 7;
                               },
                               false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Damaged files ----------------------------------------------------------------------------

struct DamageCase {
    const char* name;
    std::function<TBytes()> make;
    bool preview;
    std::string error; // empty: any error
};

// Offsets inside a file with one zlib layer image of w x h.
struct TZlibLayerFile {
    TBytes Bytes;
    size_t Stream = 0; // first byte of the image's zlib stream
    size_t Width = 0;  // its width field
};
TZlibLayerFile ZlibLayerFile(int w, int h, const TBytes* rowsOverride = nullptr) {
    oxi::TFile f = FileWithImage(RandomImage(w, h, 4), 1);
    oxi::TLayout at;
    TZlibLayerFile z;
    z.Bytes = oxi::Build(f, &at);
    z.Width = at.FirstLayer + 4 + f.Layers[0].Name.size() + 2 + 16 + 1 + 4 + 4 + 8 + 1 + 1 + 1;
    z.Stream = z.Width + 12;
    if (rowsOverride) {
        // Replace the stream by one of other content, keeping what follows it.
        const TBytes own = oxi::Deflate(oxi::ColourRows(*f.Layers[0].Image, 1));
        const TBytes other = oxi::Deflate(*rowsOverride);
        TBytes b(z.Bytes.begin(), z.Bytes.begin() + ptrdiff_t(z.Stream));
        b.insert(b.end(), other.begin(), other.end());
        b.insert(b.end(), z.Bytes.begin() + ptrdiff_t(z.Stream + own.size()), z.Bytes.end());
        z.Bytes = b;
    }
    return z;
}

TBytes Patched(TBytes b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
    return b;
}

class OxiDamaged : public ::testing::TestWithParam<DamageCase> {};
TEST_P(OxiDamaged, FailsWithoutCrashing) {
    const std::string error = LoadError(GetParam().make(), GetParam().preview);
    EXPECT_NE(error, "(no error)");
    if (!GetParam().error.empty()) {
        EXPECT_EQ(error, GetParam().error);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Cases, OxiDamaged,
    ::testing::Values(
        DamageCase{"empty", [] { return TBytes{}; }, false, ""},
        DamageCase{"signatureOnly",
                   [] {
                       const TBytes b = oxi::Build({});
                       return TBytes(b.begin(), b.begin() + 17);
                   },
                   false, ""},
        DamageCase{"nameLength256",
                   [] {
                       oxi::TLayout at;
                       TBytes b = oxi::Build({}, &at);
                       return Patched(b, at.FirstLayer, 256);
                   },
                   false, kInvalid},
        DamageCase{"nameLengthNegative",
                   [] {
                       oxi::TLayout at;
                       TBytes b = oxi::Build({}, &at);
                       return Patched(b, at.FirstLayer, 0xFFFFFFFF);
                   },
                   false, kInvalid},
        DamageCase{"thumbnailLength3", [] { return Patched(oxi::Build({}), 294, 3); }, false, ""},
        DamageCase{"thumbnailLengthNegative",
                   [] { return Patched(oxi::Build({}), 294, 0x80000000); }, false, ""},
        DamageCase{"thumbnailLengthPastEnd",
                   [] { return Patched(oxi::Build({}), 294, 0x7FFFFFFF); }, false, ""},
        DamageCase{
            "thumbnailHuge",
            [] { return Patched(Patched(oxi::Build({}), 294 + 17, 100000), 294 + 21, 100000); },
            true, "image too large: 100000 x 100000"},
        DamageCase{
            "thumbnailLargerThanFile",
            [] { return Patched(Patched(oxi::Build({}), 294 + 17, 10000), 294 + 21, 10000); }, true,
            "picture larger than the data left in the file"},
        DamageCase{"thumbnailNegativeWidth",
                   [] { return Patched(oxi::Build({}), 294 + 17, 0xFFFFFFFE); }, true, ""},
        DamageCase{"zlibImageClaimsHuge",
                   [] {
                       TZlibLayerFile z = ZlibLayerFile(8, 8);
                       return Patched(Patched(z.Bytes, z.Width, 16000), z.Width + 4, 16000);
                   },
                   false, "picture larger than the data left in the file"},
        DamageCase{"zlibStreamShort",
                   [] {
                       const TBytes rows(24 * 8 - 1, 7);
                       return ZlibLayerFile(8, 8, &rows).Bytes;
                   },
                   false, "zlib stream: shorter than the picture"},
        DamageCase{"zlibStreamLong",
                   [] {
                       const TBytes rows(24 * 8 + 1, 7);
                       return ZlibLayerFile(8, 8, &rows).Bytes;
                   },
                   false, "zlib stream: longer than the picture"},
        DamageCase{"zlibStreamCorrupt",
                   [] {
                       TZlibLayerFile z = ZlibLayerFile(8, 8);
                       z.Bytes[z.Stream + 5] ^= 0xFF;
                       z.Bytes[z.Stream + 6] ^= 0x5A;
                       return z.Bytes;
                   },
                   false, ""},
        DamageCase{"zlibHeaderWrong",
                   [] {
                       TZlibLayerFile z = ZlibLayerFile(8, 8);
                       z.Bytes[z.Stream] = 0x12;
                       return z.Bytes;
                   },
                   false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Every truncation fails, in both loads, and never reads outside the bytes.
TEST(Oxi, EveryTruncationFails) {
    oxi::TFile f;
    f.ThumbnailMode = 1;
    f.Layers[0].Image = RandomImage(6, 3, 21);
    f.Layers[0].ImageMode = 1;
    f.Layers[0].Mask = RandomImage(6, 3, 22);
    f.Layers[0].MaskMode = 1;
    oxi::TLayout at;
    const TBytes whole = oxi::Build(f, &at);
    ASSERT_EQ(LoadError(whole, false), "(no error)");
    for (size_t n = 0; n < whole.size(); ++n) {
        const TBytes cut(whole.begin(), whole.begin() + ptrdiff_t(n));
        EXPECT_NE(LoadError(cut, false), "(no error)") << n;
        if (n < at.FirstLayer - 4) {
            EXPECT_NE(LoadError(cut, true), "(no error)") << n;
        }
    }
}

// --- Through the dispatcher -------------------------------------------------------------------

class OxiFiles : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QString Write(const TBytes& b) {
        const QString name = dir.filePath(QStringLiteral("a.oxi"));
        WriteBytes(name, b);
        return name;
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

TEST_F(OxiFiles, LoadGivesTheLayerAndTheCanvasSize) {
    oxi::TFile f = FileWithImage(RandomImage(9, 4, 6), 1);
    f.Width = 1000;
    f.Height = 800;
    f.Layers[0].TransparentFlag = 1;
    f.Layers[0].TransparentColour = 0x00FF00FF;
    QString name = Write(oxi::Build(f));
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(MaxDifference(bmp, *f.Layers[0].Image), 0);
    EXPECT_TRUE(bmp.Transparent());
    EXPECT_EQ(bmp.TransparentColor(), 0x00FF00FFu);
    EXPECT_EQ(FileWidth(), 1000);
    EXPECT_EQ(FileHeight(), 800);
    EXPECT_TRUE(seam.Messages.isEmpty());
}

TEST_F(OxiFiles, PreviewGivesTheThumbnailAndTheCanvasSize) {
    oxi::TFile f = FileWithImage(RandomImage(9, 4, 6));
    f.Width = 1000;
    f.Height = 800;
    oxi::TLayout at;
    TBytes b = oxi::Build(f, &at);
    b.resize(at.FirstLayer + 1);
    TBitmap bmp;
    ASSERT_EQ(LoadImagePreview(Write(b), bmp), 1);
    EXPECT_EQ(MaxDifference(bmp, f.Thumbnail), 0);
    EXPECT_EQ(FileWidth(), 1000);
    EXPECT_EQ(FileHeight(), 800);
}

TEST_F(OxiFiles, LayerWithoutImageIsAnEmptyPictureWithTheCanvasSize) {
    oxi::TFile f;
    f.Width = 320;
    f.Height = 200;
    QString name = Write(oxi::Build(f));
    TBitmap bmp = UniformImage(2, 2, Grey(1));
    ASSERT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_TRUE(bmp.Empty());
    EXPECT_EQ(FileWidth(), 320);
    EXPECT_EQ(FileHeight(), 200);
    EXPECT_TRUE(seam.Messages.isEmpty());
}

TEST_F(OxiFiles, VersionFourShowsTheLoadMessage) {
    oxi::TFile f = FileWithImage(RandomImage(2, 2));
    f.Version = 4;
    QString name = Write(oxi::Build(f));
    TBitmap bmp = UniformImage(2, 2, Grey(1));
    EXPECT_EQ(LoadImageFile(name, bmp), -1);
    EXPECT_EQ(seam.Messages,
              QStringList{QStringLiteral("Unable to load image in file \"%1\" !").arg(name)});
    EXPECT_EQ(PixelAt(bmp, 0, 0), Grey(1));
}

} // namespace
