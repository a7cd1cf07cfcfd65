#include "FormatTestUtil.h"
#include "core/Errors.h"
#include "formats/FileNames.h"
#include "formats/FormatRegistry.h"
#include "formats/SaveFormats.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override { InitImageFormats(); }
    void TearDown() override { InitImageFormats(); }
};

TEST_F(Registry, HoldsTheFiftyThreeStartupExtensions) {
    const TFileFormatList& list = FileFormats();
    EXPECT_EQ(list.Extensions().size(), 53u);
    EXPECT_EQ(list.Classes().size(), 24u);
    struct Row {
        const char* ext;
        const TGraphicClass* cls;
        unsigned kinds;
    };
    const Row rows[] = {
        {"dib", &gcBitmap, fkRaster},
        {"rle", &gcBitmap, fkRaster},
        {"emf", &gcMetafile, fkVector},
        {"jfif", &gcJpeg, fkRaster},
        {"icb", &gcTarga, fkRaster},
        {"scr", &gcPcx, fkRaster},
        {"rpf", &gcRla, fkRaster},
        {"bw", &gcSgi, fkRaster},
        {"pdd", &gcPsd, fkLayered | fkRaster},
        {"pbm", &gcPortableMap, fkRaster},
        {"pic", &gcAutodesk, fkRaster},
        {"pcd", &gcPhotoCd, fkRaster},
        {"cut", &gcDrHalo, fkRaster},
        {"tub", &gcPaintShopPro, fkRaster | fkVector},
        {"btf", &gcTiff, fkMultiImage | fkRaster},
        {"gif", &gcGif, fkAnimation | fkMultiImage | fkRaster},
        {"png", &gcPng, fkRaster},
        {"oxs", &gcOxs, fkRaster},
        {"oxi", &gcOxi, fkLayered | fkRaster},
        {"ico", &gcIcon, fkRaster},
        {"webp", &gcWebp, fkAnimation | fkRaster},
        {"avifs", &gcAvif, fkAnimation | fkMultiImage | fkRaster},
        {"hif", &gcHeif, fkMultiImage | fkRaster},
        {"heic", &gcHeif, fkMultiImage | fkRaster},
        {"jxl", &gcJxl, fkAnimation | fkRaster},
        {"svgz", &gcSvg, fkVector},
    };
    for (const Row& r : rows) {
        const TExtensionEntry* e = list.FindExtension(QString::fromLatin1(r.ext).toUpper());
        ASSERT_NE(e, nullptr) << r.ext;
        EXPECT_EQ(e->Class, r.cls) << r.ext;
        EXPECT_EQ(e->Kinds, r.kinds) << r.ext;
    }
    EXPECT_EQ(list.FindClass(gcTiff)->Count, 5);
    EXPECT_EQ(list.FindClass(gcIcon)->Description, QStringLiteral("Icon"));
    EXPECT_EQ(list.FindClass(gcOxi)->Description, QStringLiteral("Ostrevalden Image"));
    EXPECT_EQ(list.FindClass(gcJxl)->Description, QStringLiteral("JPEG XL"));
    EXPECT_EQ(list.FindExtension(QStringLiteral("nef")), nullptr);
}

TEST_F(Registry, RegisteringTwiceIsAnErrorUnlessReplacing) {
    TFileFormatList list;
    list.Register(QStringLiteral("abc"), gcPcx, QStringLiteral("A"), QString(), fkRaster);
    try {
        list.Register(QStringLiteral("ABC"), gcPcx, QStringLiteral("A"), QString(), fkRaster);
        FAIL() << "no error";
    } catch (const ETaveluneError& e) {
        EXPECT_STREQ(e.what(), "Attempt to register abc twice.");
    }
    // Replacing with another class moves the extension; the old class entry goes with it.
    list.Register(QStringLiteral("abc"), gcSgi, QStringLiteral("B"), QString(), fkVector, true);
    EXPECT_EQ(list.FindExtension(QStringLiteral("abc"))->Class, &gcSgi);
    EXPECT_EQ(list.FindClass(gcPcx), nullptr);
    EXPECT_EQ(list.FindClass(gcSgi)->Count, 1);
    EXPECT_EQ(list.FactoryClass(QStringLiteral("abc")), &gcSgi); // the latest wins
    list.UnregisterExtension(QStringLiteral("abc"));
    EXPECT_EQ(list.FindClass(gcSgi), nullptr);
    EXPECT_TRUE(list.Extensions().empty());
}

TEST_F(Registry, OpenDialogFilterHasTheTwentySixEntries) {
    const QStringList parts = BuildOpenFilter(true, false, true, false).split(u'|');
    ASSERT_EQ(parts.size(), 52);
    const QStringList expected = {
        "Common images",
        "*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.tga;*.bmp;*.gif;*.oxi;*.webp;*.avif;*.heic;*.heif;"
        "*.jxl;*.svg",
        "All images",
        "*.*",
        "Alias/Wavefront (*.rla;*.rpf)",
        "*.rla;*.rpf",
        "Autodesk (*.cel;*.pic)",
        "*.cel;*.pic",
        "AVIF (*.avif;*.avifs)",
        "*.avif;*.avifs",
        "BMP (*.bmp;*.dib;*.rle)",
        "*.bmp;*.dib;*.rle",
        "Dr. Halo (*.cut)",
        "*.cut",
        "GIF (*.gif)",
        "*.gif",
        "HEIF (*.heic;*.heif;*.hif)",
        "*.heic;*.heif;*.hif",
        "Icon (*.ico)",
        "*.ico",
        "JPEG (*.jfif;*.jpe;*.jpeg;*.jpg)",
        "*.jfif;*.jpe;*.jpeg;*.jpg",
        "JPEG XL (*.jxl)",
        "*.jxl",
        "Metafile (*.emf;*.wmf)",
        "*.emf;*.wmf",
        "Ostrevalden Image (*.oxi)",
        "*.oxi",
        "Ostrevalden Selection (*.oxs)",
        "*.oxs",
        "Paintbrush (*.pcc;*.pcx;*.scr)",
        "*.pcc;*.pcx;*.scr",
        "Paintshop Pro (*.psp;*.tub)",
        "*.psp;*.tub",
        "Photo-CD (*.pcd)",
        "*.pcd",
        "Photoshop (*.pdd;*.psd)",
        "*.pdd;*.psd",
        "PNG (*.png)",
        "*.png",
        "Portable map (*.pbm;*.pgm;*.ppm)",
        "*.pbm;*.pgm;*.ppm",
        "SGI (*.bw;*.rgb;*.rgba;*.sgi)",
        "*.bw;*.rgb;*.rgba;*.sgi",
        "SVG (*.svg;*.svgz)",
        "*.svg;*.svgz",
        "Targa (*.icb;*.tga;*.vda;*.vst;*.win)",
        "*.icb;*.tga;*.vda;*.vst;*.win",
        "TIFF (*.btf;*.fax;*.tf8;*.tif;*.tiff)",
        "*.btf;*.fax;*.tf8;*.tif;*.tiff",
        "WebP (*.webp)",
        "*.webp",
    };
    EXPECT_EQ(parts, expected);
}

TEST_F(Registry, SequenceFilterListsEveryExtensionWithoutLongMasks) {
    const QStringList parts = BuildOpenFilter(false, true, true, true).split(u'|');
    ASSERT_EQ(parts.size(), 52);
    EXPECT_EQ(parts[0], QStringLiteral("Common images"));
    EXPECT_EQ(parts[2], QStringLiteral("All images"));
    const QStringList all = parts[3].split(u';');
    EXPECT_EQ(all.size(), 50); // 53 less *.jpeg, *.tiff and *.rgba
    EXPECT_EQ(all.front(), QStringLiteral("*.avif"));
    EXPECT_EQ(all.back(), QStringLiteral("*.wmf"));
    EXPECT_FALSE(parts[3].contains(QStringLiteral("jpeg")));
    EXPECT_EQ(parts[20], QStringLiteral("JPEG (*.jfif;*.jpe;*.jpg)"));
    EXPECT_EQ(parts[43], QStringLiteral("*.bw;*.rgb;*.sgi"));
    // The common entry keeps its fixed masks, which were added after the removal.
    EXPECT_TRUE(parts[1].contains(QStringLiteral("*.jpeg")));
}

TEST_F(Registry, NewTextsReachTheClassEntries) {
    TInterfaceTexts texts;
    texts.Icon = QStringLiteral("Icône");
    texts.AllImages = QStringLiteral("Toutes");
    SetFormatTexts(texts);
    EXPECT_EQ(FileFormats().FindClass(gcIcon)->Description, QStringLiteral("Icône"));
    EXPECT_EQ(FileFormats().Extensions().size(), 53u);
    EXPECT_TRUE(
        BuildOpenFilter(true, false, false, false).startsWith(QStringLiteral("Toutes|*.*|")));
    SetFormatTexts(TInterfaceTexts{});
}

TEST_F(Registry, SaveFilter) {
    const QStringList parts = BuildSaveFilter().split(u'|');
    // The eight writable formats; the read-only .oxi is not among them.
    ASSERT_EQ(parts.size(), 16);
    EXPECT_EQ(parts[0], QStringLiteral("BMP (*.bmp)"));
    EXPECT_EQ(parts[4], QStringLiteral("JPEG (*.jpg;*.jpeg;*.jpe;*.jfif)"));
    EXPECT_EQ(parts[5], QStringLiteral("*.jpg;*.jpeg;*.jpe;*.jfif"));
    EXPECT_EQ(parts[6], QStringLiteral("PNG (*.png)"));
    EXPECT_EQ(parts[13], QStringLiteral("*.tif;*.tiff"));
    EXPECT_EQ(parts[14], QStringLiteral("WebP (*.webp)"));
    EXPECT_EQ(parts[15], QStringLiteral("*.webp"));
    EXPECT_FALSE(BuildSaveFilter().contains(QStringLiteral("oxi")));
}

struct IndexCase {
    const char* name;
    int index;
};
class SaveIndex : public ::testing::TestWithParam<IndexCase> {};
TEST_P(SaveIndex, FromTheLastFormatBackwards) {
    EXPECT_EQ(FindSaveFilterIndex(QString::fromUtf8(GetParam().name)), GetParam().index);
}
INSTANTIATE_TEST_SUITE_P(Names, SaveIndex,
                         ::testing::Values(IndexCase{"a.bmp", 0}, IndexCase{"a.GIF", 1},
                                           IndexCase{"a.jfif", 2}, IndexCase{"a.jp", 2},
                                           IndexCase{"a.oxi", -1}, IndexCase{"a.png", 3},
                                           IndexCase{"a.rle", 4}, IndexCase{"a.tif", 6},
                                           IndexCase{"a.tiff", 6}, IndexCase{"a.t", 6},
                                           IndexCase{"a.WebP", 7}, IndexCase{"a.we", 7},
                                           IndexCase{"a.nef", -1}, IndexCase{"a.dib", -1},
                                           IndexCase{"noext", -1}, IndexCase{"dir.png/noext", -1}));

struct NameCase {
    const char* name;
    bool jpeg, tiff, raw;
};
class NameTests : public ::testing::TestWithParam<NameCase> {};
TEST_P(NameTests, ByExtension) {
    const QString name = QString::fromUtf8(GetParam().name);
    EXPECT_EQ(IsJpegName(name), GetParam().jpeg);
    EXPECT_EQ(IsTiffName(name), GetParam().tiff);
    EXPECT_EQ(IsRawName(name), GetParam().raw);
}
INSTANTIATE_TEST_SUITE_P(
    Names, NameTests,
    ::testing::Values(NameCase{"x.JPG", true, false, false}, NameCase{"x.jpe", true, false, false},
                      NameCase{"x.jfif", true, false, false}, NameCase{"x.jp", true, false, false},
                      NameCase{"x.jpgx", false, false, false},
                      NameCase{"x.pg", false, false, false}, NameCase{"x.TIF", false, true, false},
                      NameCase{"x.fax", false, true, false}, NameCase{"x.tf8", false, false, false},
                      NameCase{"x.NEF", false, false, true}, NameCase{"x.cr2", false, false, true},
                      NameCase{"x.dc", false, false, true}, NameCase{"noext", false, false, false},
                      NameCase{"a.jpg/noext", false, false, false},
                      NameCase{"", false, false, false}));

TEST(FileNamesTest, PlainTests) {
    EXPECT_TRUE(IsBmpName(QStringLiteral("a.DIB")));
    EXPECT_TRUE(IsMetafileName(QStringLiteral("a.emf")));
    EXPECT_TRUE(IsOxsName(QStringLiteral("a.oxs")));
    EXPECT_FALSE(IsPngName(QStringLiteral("a.png.bak")));
    EXPECT_EQ(FileExtension(QStringLiteral("/x.y/z.TGA")), QStringLiteral(".TGA"));
    EXPECT_EQ(FileExtension(QStringLiteral("/x.y/z")), QString());
}

} // namespace
