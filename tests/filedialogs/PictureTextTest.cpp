// SPDX-License-Identifier: GPL-2.0-or-later
// The texts of the file dialogs: file sizes, the kind line, the save dialog's extension rule
// and where a dialog is placed.
#include "dialogs/MyDlgs.h"

#include <gtest/gtest.h>

namespace {

struct TSizeCase {
    qint64 bytes;
    const char* french;
    const char* english;
};

class FileSize : public testing::TestWithParam<TSizeCase> {};

TEST_P(FileSize, UnitsAndSeparator) {
    const TSizeCase c = GetParam();
    EXPECT_EQ(FileSizeText(c.bytes, QLocale(QLocale::French, QLocale::France)).toStdString(),
              c.french);
    EXPECT_EQ(FileSizeText(c.bytes, QLocale(QLocale::English, QLocale::UnitedStates)).toStdString(),
              c.english);
}

constexpr qint64 KiB = 1024, MiB = KiB * KiB, GiB = MiB * KiB;

INSTANTIATE_TEST_SUITE_P(
    Table, FileSize,
    testing::Values(
        TSizeCase{0, "0 octet", "0 octet"}, TSizeCase{1, "1 octet", "1 octet"},
        TSizeCase{2, "2 octets", "2 octets"}, TSizeCase{1023, "1023 octets", "1023 octets"},
        TSizeCase{KiB, "1,00 Ko", "1.00 Ko"}, TSizeCase{1536, "1,50 Ko", "1.50 Ko"},
        TSizeCase{1029, "1,00 Ko", "1.00 Ko"}, TSizeCase{1030, "1,01 Ko", "1.01 Ko"},
        // No thousands separator, even above a thousand units.
        TSizeCase{MiB - 1, "1024,00 Ko", "1024.00 Ko"}, TSizeCase{MiB, "1,00 Mo", "1.00 Mo"},
        TSizeCase{5 * MiB / 2, "2,50 Mo", "2.50 Mo"},
        TSizeCase{GiB - 1, "1024,00 Mo", "1024.00 Mo"}, TSizeCase{GiB, "1,00 Go", "1.00 Go"},
        TSizeCase{5 * GiB + GiB / 2, "5,50 Go", "5.50 Go"},
        TSizeCase{3000 * GiB, "3000,00 Go", "3000.00 Go"}));

struct TKindCase {
    const char* name;
    int depth;
    bool animated;
    const char* kind;
};

class KindLine : public testing::TestWithParam<TKindCase> {};

TEST_P(KindLine, ByNameThenDepth) {
    const TKindCase c = GetParam();
    EXPECT_EQ(PictureKindText(c.name, c.depth, c.animated), QString::fromUtf8(c.kind));
}

INSTANTIATE_TEST_SUITE_P(
    Table, KindLine,
    testing::Values(
        TKindCase{"a.gif", 8, true, "Gif animé"}, TKindCase{"a.GIF", 1, false, "8 bits"},
        TKindCase{"a.ico", 32, false, "Icon"}, TKindCase{"a.wmf", 24, false, "Metafile"},
        TKindCase{"a.emf", 24, false, "Metafile"},
        TKindCase{"a.oxi", 24, false, "Ostrevalden Image"},
        TKindCase{"a.oxs", 1, false, "Ostrevalden Selection"},
        TKindCase{"a.png", 1, false, "1 bit"}, TKindCase{"a.bmp", 4, false, "4 bits"},
        TKindCase{"a.tif", 8, false, "8 bits"}, TKindCase{"a.png", 32, false, "32 bits"},
        TKindCase{"a.bmp", 16, false, "24 bits"}, TKindCase{"a.bmp", 15, false, "24 bits"},
        TKindCase{"a.tif", 48, false, "24 bits"},
        // An animated flag from another file never names a PNG a GIF.
        TKindCase{"a.png", 24, true, "24 bits"}));

struct TNameCase {
    const char* typed;
    const char* masks;
    const char* result;
};

class MaskExtension : public testing::TestWithParam<TNameCase> {};

TEST_P(MaskExtension, FirstExtensionOfTheEntry) {
    const TNameCase c = GetParam();
    EXPECT_EQ(NameWithMaskExtension(c.typed, c.masks).toStdString(), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaskExtension,
    testing::Values(TNameCase{"photo.bmp", "*.jpg;*.jpeg;*.jpe;*.jfif", "photo.jpg"},
                    TNameCase{"photo", "*.jpg;*.jpeg;*.jpe;*.jfif", "photo.jpg"},
                    TNameCase{"", "*.jpg", ""}, TNameCase{"photo.jpg", "*.tif;*.tiff", "photo.tif"},
                    TNameCase{"my.holiday.photo.bmp", "*.png", "my.holiday.photo.png"},
                    TNameCase{"/tmp/set.v2/photo", "*.tga", "/tmp/set.v2/photo.tga"},
                    TNameCase{"set.v2\\photo", "*.gif", "set.v2\\photo.gif"},
                    TNameCase{"photo.bmp", "rle", "photo.rle"},
                    TNameCase{"archive", "*.tar.gz", "archive.tar.gz"},
                    TNameCase{"a very long name with spaces, commas and more text.bmp", "*.png",
                              "a very long name with spaces, commas and more text.png"}));

struct TPlaceCase {
    QRect monitor;
    QSize dialog;
    QPoint at;
};

class Placement : public testing::TestWithParam<TPlaceCase> {};

TEST_P(Placement, CentredAtAThirdOfTheFreeHeight) {
    const TPlaceCase c = GetParam();
    EXPECT_EQ(DialogPlacement(c.monitor, c.dialog), c.at);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Placement,
    testing::Values(TPlaceCase{QRect(0, 0, 1920, 1080), QSize(600, 400), QPoint(660, 226)},
                    TPlaceCase{QRect(1920, 0, 1280, 1024), QSize(501, 301), QPoint(2309, 241)},
                    TPlaceCase{QRect(0, 30, 1000, 700), QSize(400, 100), QPoint(300, 230)},
                    // Larger than the monitor: the quotients truncate toward zero.
                    TPlaceCase{QRect(0, 0, 800, 600), QSize(1001, 902), QPoint(-100, -100)}));

} // namespace
