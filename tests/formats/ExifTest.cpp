// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/Exif.h"
#include "formats/ExifSegments.h"

#include "ExifFixtures.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

using namespace exiffix;

namespace {

constexpr bool kMM = true;
constexpr bool kII = false;

QByteArray OrientationBlock(bool big, uint16_t value) {
    return Block(big, {Ascii(271, "Canon"), Short(big, 274, value)});
}

QByteArray JpegWithOrientation(bool big, uint16_t value) {
    return Jpeg({App0(), ExifApp1(OrientationBlock(big, value))});
}

struct OrientationCase {
    std::string name;
    QString fileName;
    QByteArray bytes;
    int expected;
};

void PrintTo(const OrientationCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<OrientationCase> ValueCases() {
    std::vector<OrientationCase> cases;
    for (const bool big : {kII, kMM})
        for (uint16_t v = 1; v <= 8; ++v) {
            const std::string order = big ? "MM" : "II";
            cases.push_back({"jpeg_" + order + "_" + std::to_string(v), "a.jpg",
                             JpegWithOrientation(big, v), v});
            cases.push_back(
                {"tiff_" + order + "_" + std::to_string(v), "a.tif", OrientationBlock(big, v), v});
        }
    return cases;
}

std::vector<OrientationCase> StoredValueCases() {
    const auto jpeg = [](bool big, const TTag& orientation) {
        return Jpeg({ExifApp1(Block(big, {orientation}))});
    };
    return {
        {"mm_bytes_00_08", "a.jpg", jpeg(kMM, {274, 3, 1, QByteArray("\0\x08", 2)}), 8},
        {"ii_bytes_08_00", "a.jpg", jpeg(kII, {274, 3, 1, QByteArray("\x08\0", 2)}), 8},
        {"mm_bytes_08_00", "a.jpg", jpeg(kMM, {274, 3, 1, QByteArray("\x08\0", 2)}), 0},
        {"ii_bytes_00_08", "a.jpg", jpeg(kII, {274, 3, 1, QByteArray("\0\x08", 2)}), 0},
        {"mm_high_byte_ignored", "a.jpg", jpeg(kMM, {274, 3, 1, QByteArray("\x01\x06", 2)}), 6},
        {"value_0", "a.jpg", jpeg(kII, Short(kII, 274, 0)), 0},
        {"value_9", "a.jpg", jpeg(kII, Short(kII, 274, 9)), 0},
        {"one_byte_value", "a.jpg", jpeg(kII, {274, 1, 1, QByteArray("\x06", 1)}), 0},
        {"long_mm_low_bytes_last", "a.jpg", jpeg(kMM, Long(kMM, 274, 6)), 0},
        {"unknown_type", "a.jpg", jpeg(kII, {274, 99, 1, QByteArray("\x06\0", 2)}), 0},
        {"count_beyond_block", "a.jpg", jpeg(kII, {274, 3, 0x40000000, QByteArray("\x06\0", 2)}),
         0},
        {"no_orientation_tag", "a.jpg", Jpeg({ExifApp1(Block(kII, {Ascii(271, "Canon")}))}), 0},
        {"in_exif_subdirectory", "a.jpg",
         Jpeg({ExifApp1(Block(kMM, {Ascii(271, "Canon")}, {Short(kMM, 274, 6)}))}), 6},
        {"sub_directory_wins", "a.jpg",
         Jpeg({ExifApp1(Block(kII, {Short(kII, 274, 3)}, {Short(kII, 274, 8)}))}), 8},
    };
}

std::vector<OrientationCase> SegmentCases() {
    const TSegment exif = ExifApp1(OrientationBlock(kMM, 6));
    const auto jpeg = [](const char* name, std::vector<TSegment> segments, int expected) {
        return OrientationCase{name, "a.jpg", Jpeg(segments), expected};
    };
    QByteArray fill = Jpeg({exif});
    fill.insert(2, QByteArray("\xFF\xFF\xFF", 3));
    QByteArray noSoi = Jpeg({exif}).mid(2);
    QByteArray lowerCase = Jpeg({exif});
    lowerCase.replace("Exif", "exif");
    return {
        jpeg("first_segment", {exif}, 6),
        jpeg("after_app0", {App0(), exif}, 6),
        jpeg("after_dqt", {Dqt(), exif}, 6),
        jpeg("fourth", {App0(), App(2), App(3), exif}, 6),
        jpeg("fifth_after_plain_segments", {App0(), Dqt(), App(2), App(3), exif}, 0),
        jpeg("fifth_after_com", {App0(), Com(), App(2), App(3), exif}, 6),
        jpeg("fifth_after_app13", {App13(), App0(), App(2), App(3), exif}, 6),
        jpeg("fifth_after_com_fourth", {App0(), App(2), App(3), Com(), exif}, 6),
        jpeg("sixth", {App0(), Com(), App(2), App(3), App(4), exif}, 0),
        jpeg("after_xmp_app1", {Xmp(), exif}, 0),
        jpeg("after_start_of_scan", {App0(), {0xDA, QByteArray(6, '\0')}, exif}, 0),
        jpeg("after_end_of_image", {App0(), {0xD9, {}}, exif}, 0),
        jpeg("after_restart_marker", {App0(), {0xD0, {}}, exif}, 6),
        jpeg("bad_byte_order_mark",
             {ExifApp1(QByteArray("XX") + OrientationBlock(kMM, 6).mid(2)), exif}, 0),
        jpeg("exif_without_block", {{0xE1, QByteArray("Exif\0\0", 6)}}, 0),
        {"lower_case_signature", "a.jpg", lowerCase, 0},
        {"fill_bytes_before_marker", "a.jpg", fill, 6},
        {"no_start_of_image", "a.jpg", noSoi, 0},
    };
}

std::vector<OrientationCase> TiffCases() {
    const auto tiff = [](const char* name, QByteArray bytes, int expected) {
        return OrientationCase{name, "a.tiff", std::move(bytes), expected};
    };
    // One entry: the directory takes 2 + 12 bytes and must end within 8 + 256000 bytes.
    const std::vector<TTag> one = {Short(kII, 274, 6)};
    QByteArray badMark = OrientationBlock(kII, 6);
    badMark[0] = 'X';
    QByteArray ifdBeyond = OrientationBlock(kMM, 6);
    ifdBeyond.replace(4, 4, U32(kMM, uint32_t(ifdBeyond.size())));
    QByteArray countTooLarge = OrientationBlock(kII, 6);
    countTooLarge.replace(8, 2, U16(kII, 300));
    QByteArray exifBeyond = Block(kII, one, {Ascii(36867, "2009:07:14 18:30:05")});
    exifBeyond.replace(8 + 2 + 12 + 8, 4, U32(kII, 0x7FFFFFF0));
    QByteArray exifLoop = Block(kII, one, {Ascii(36867, "2009:07:14 18:30:05")});
    exifLoop.replace(8 + 2 + 12 + 8, 4, U32(kII, 8));
    return {
        tiff("directory_ends_at_window", Block(kII, one, {}, 255986), 6),
        tiff("directory_crosses_window", Block(kII, one, {}, 255987), 0),
        tiff("directory_far_beyond_window", Block(kMM, {Short(kMM, 274, 6)}, {}, 400000), 0),
        tiff("no_byte_order_mark", badMark, 0),
        tiff("first_directory_beyond_file", ifdBeyond, 0),
        tiff("entry_count_beyond_file", countTooLarge, 0),
        tiff("exif_directory_beyond_file", exifBeyond, 0),
        tiff("exif_pointer_to_first_directory", exifLoop, 6),
        tiff("header_only", QByteArray("II*\0", 4), 0),
        tiff("empty_file", QByteArray(), 0),
        {"fax_name", "a.fax", OrientationBlock(kII, 3), 3},
        {"jpeg_bytes_in_tiff_name", "a.tif", JpegWithOrientation(kII, 6), 0},
        {"tiff_bytes_in_jpeg_name", "a.jpg", OrientationBlock(kII, 6), 0},
        {"jpeg_bytes_in_png_name", "a.png", JpegWithOrientation(kII, 6), 0},
        {"jpeg_bytes_in_raw_name", "a.nef", JpegWithOrientation(kII, 6), 0},
        {"tf8_not_read", "a.tf8", OrientationBlock(kII, 6), 0},
        {"short_jpeg_name", "a.jp", JpegWithOrientation(kII, 6), 6},
        {"upper_case_name", "A.JPEG", JpegWithOrientation(kII, 6), 6},
    };
}

class ExifOrientationFile : public ::testing::TestWithParam<OrientationCase> {};

TEST_P(ExifOrientationFile, ReadsTheStoredValue) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = WriteFile(QDir(dir.path()), GetParam().fileName, GetParam().bytes);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(ReadExifOrientation(path), GetParam().expected);
}

std::string CaseName(const ::testing::TestParamInfo<OrientationCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Values, ExifOrientationFile, ::testing::ValuesIn(ValueCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(StoredBytes, ExifOrientationFile, ::testing::ValuesIn(StoredValueCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(JpegSegments, ExifOrientationFile, ::testing::ValuesIn(SegmentCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Tiff, ExifOrientationFile, ::testing::ValuesIn(TiffCases()), CaseName);

TEST(ExifOrientation, MissingFileOrFolderGivesNothing) {
    QTemporaryDir dir;
    const QDir d(dir.path());
    ASSERT_TRUE(d.mkdir("folder.jpg"));
    for (const char* name : {"none.jpg", "folder.jpg"}) {
        EXPECT_EQ(ReadExifOrientation(d.filePath(name)), 0) << name;
        EXPECT_EQ(ExifInfoText(d.filePath(name)), QString()) << name;
    }
}

int OrientationOfBytes(const QByteArray& bytes, TExifContainer container) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<QByteArray> block = FindExifBlock(buffer, container);
    return block ? ExifOrientation(TExifMetadata(*block)) : 0;
}

// Every cut before the end of the APP1 segment loses the metadata; later cuts keep it.
TEST(ExifTruncation, JpegCutAnywhere) {
    const QByteArray block =
        Block(kMM, {Ascii(271, "Canon"), Short(kMM, 274, 6)}, {Ascii(36867, "2009:07:14")});
    const QByteArray file = Jpeg({App0(), ExifApp1(block)});
    const qsizetype app1End = 2 + 4 + App0().payload.size() + 4 + 6 + block.size();
    for (qsizetype n = 0; n <= file.size(); ++n)
        ASSERT_EQ(OrientationOfBytes(file.left(n), TExifContainer::Jpeg), n >= app1End ? 6 : 0)
            << "cut at " << n;
}

// Every cut inside a directory loses the metadata, including a cut in the EXIF sub-directory.
TEST(ExifTruncation, TiffCutAnywhere) {
    const QByteArray file =
        Block(kII, {Short(kII, 274, 8), Ascii(271, "Canon")}, {Ascii(36867, "2009:07:14")});
    const qsizetype exifAt = 8 + DirectorySize({{}, {}, {}}) + 6; // three entries, "Canon\0"
    const qsizetype exifEnd = exifAt + 2 + 12;
    for (qsizetype n = 0; n <= file.size(); ++n)
        ASSERT_EQ(OrientationOfBytes(file.left(n), TExifContainer::Tiff), n >= exifEnd ? 8 : 0)
            << "cut at " << n;
}

TEST(ExifMetadata, KeepsRawValueBytesAndByteOrder) {
    for (const bool big : {kII, kMM}) {
        const TExifMetadata meta(Block(big, {Ascii(271, "Canon"), Short(big, 274, 6)},
                                       {{37500, 7, 3, QByteArray("abc")}}));
        ASSERT_TRUE(meta.Found());
        EXPECT_EQ(meta.BigEndian(), big);
        EXPECT_EQ(meta.TagValue(271), QByteArray("Canon\0", 6));
        EXPECT_EQ(meta.TagValue(274), U16(big, 6));
        EXPECT_EQ(meta.TagValue(37500), QByteArray("abc"));
        EXPECT_FALSE(meta.TagValue(272).has_value());
    }
    EXPECT_FALSE(TExifMetadata().Found());
    EXPECT_FALSE(TExifMetadata(QByteArray("XX*\0\x08\0\0\0\0\0", 10)).Found());
}

// Entries whose value lies outside the block are dropped; the rest of the directory stays.
TEST(ExifMetadata, EntryOutsideBlockIsAbsentOnly) {
    const TExifMetadata meta(Block(kMM, {{271, 2, 6, U32(kMM, 0x00FFFFFF)},
                                         {272, 2, 0xFFFFFFFF, QByteArray("long model")},
                                         Short(kMM, 274, 3)}));
    ASSERT_TRUE(meta.Found());
    EXPECT_FALSE(meta.TagValue(271).has_value());
    EXPECT_FALSE(meta.TagValue(272).has_value());
    EXPECT_EQ(ExifOrientation(meta), 3);
}

struct InfoCase {
    std::string name;
    std::vector<TTag> ifd0;
    std::vector<TTag> exif;
    QString expected;
    const char* locale = "en_GB";
};

void PrintTo(const InfoCase& c, std::ostream* os) {
    *os << c.name;
}

class ExifInfoTextFile : public ::testing::TestWithParam<InfoCase> {};

TEST_P(ExifInfoTextFile, BuildsTheLines) {
    const InfoCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const bool big : {kII, kMM}) {
        const QByteArray block = Block(big, c.ifd0, c.exif);
        const QDir d(dir.path());
        const QString jpeg = WriteFile(d, "a.jpg", Jpeg({App0(), ExifApp1(block)}));
        const QString tiff = WriteFile(d, "a.tif", block);
        EXPECT_EQ(ExifInfoText(jpeg, QLocale(c.locale)), c.expected) << (big ? "MM" : "II");
        EXPECT_EQ(ExifInfoText(tiff, QLocale(c.locale)), c.expected) << (big ? "MM" : "II");
    }
}

const QByteArray kDate = "2009:07:14 18:30:05";

std::vector<InfoCase> InfoCases() {
    return {
        {"maker_model_date",
         {Ascii(271, "Canon"), Ascii(272, "Canon EOS 5D"), Ascii(306, kDate)},
         {},
         "Canon\rCanon EOS 5D\r14/07/2009 18:30"},
        {"original_date_replaces_date",
         {Ascii(271, "Nikon"), Ascii(306, "2011:01:02 03:04:05")},
         {Ascii(36867, kDate)},
         "Nikon\r14/07/2009 18:30"},
        {"original_date_alone", {}, {Ascii(36867, kDate)}, "14/07/2009 18:30"},
        {"software_when_no_camera",
         {Ascii(305, "GIMP 2.10"), Ascii(306, kDate)},
         {},
         "GIMP 2.10\r14/07/2009 18:30"},
        {"camera_hides_software", {Ascii(272, "E-M5"), Ascii(305, "GIMP 2.10")}, {}, "E-M5"},
        {"blank_maker_still_hides_software",
         {Ascii(271, "   "), Ascii(305, "GIMP 2.10"), Ascii(306, kDate)},
         {},
         "14/07/2009 18:30"},
        {"quotes_controls_blanks",
         {Ascii(271, "\"Canon\""), Ascii(272, "  EOS\t5D\n ")},
         {},
         "Canon\rEOS 5D"},
        {"maker_and_model_cut",
         {Ascii(271, QByteArray(40, 'M')), Ascii(272, QByteArray(50, 'm'))},
         {},
         QString(32, 'M') + "\r" + QString(40, 'm')},
        {"date_cut_at_twenty", {Ascii(306, kDate + "99 trailing")}, {}, "14/07/2009 18:30"},
        {"text_ends_at_nul", {{271, 2, 12, QByteArray("Can\0on\0\0\0\0\0\0", 12)}}, {}, "Can"},
        {"utf8_text", {Ascii(271, "Cam\xC3\xA9ra")}, {}, QString::fromUtf8("Cam\xC3\xA9ra")},
        {"latin1_text", {Ascii(271, "Cam\xE9ra")}, {}, QString::fromUtf8("Cam\xC3\xA9ra")},
        {"zero_date", {Ascii(306, "0000:00:00 00:00:00")}, {}, "30/12/1899 00:00"},
        {"blank_date", {Ascii(306, "    :  :     :  :  ")}, {}, "30/12/1899 00:00"},
        {"date_without_time", {Ascii(306, "2009:07:14")}, {}, "30/12/1899 00:00"},
        {"empty_date", {Ascii(271, "Canon"), Ascii(306, "")}, {}, "Canon"},
        {"nothing_used", {Short(kII, 274, 1)}, {}, ""},
        {"german_formats", {Ascii(306, kDate)}, {}, "14.07.09 18:30", "de_DE"},
        {"us_formats", {Ascii(306, kDate)}, {}, "7/14/09 6:30 PM", "en_US"},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, ExifInfoTextFile, ::testing::ValuesIn(InfoCases()),
                         [](const auto& info) { return info.param.name; });

TEST(ExifInfoText, EmptyWithoutBlock) {
    QTemporaryDir dir;
    const QDir d(dir.path());
    const QByteArray block = Block(kII, {Ascii(271, "Canon")});
    const QLocale gb("en_GB");
    EXPECT_EQ(ExifInfoText(WriteFile(d, "plain.jpg", Jpeg({App0()})), gb), QString());
    EXPECT_EQ(
        ExifInfoText(WriteFile(d, "sixth.jpg",
                               Jpeg({App0(), Com(), App(2), App(3), App(4), ExifApp1(block)})),
                     gb),
        QString());
    EXPECT_EQ(ExifInfoText(WriteFile(d, "a.png", Jpeg({ExifApp1(block)})), gb), QString());
    EXPECT_EQ(ExifInfoText(WriteFile(d, "b.jpg", Jpeg({ExifApp1(block)})), gb), "Canon");
}

struct DateCase {
    const char* text;
    QDateTime expected;
};

TEST(ExifDateTime, ReadsByCharacterPositions) {
    const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    const std::vector<DateCase> cases = {
        {"2009:07:14 18:30:05", at(2009, 7, 14, 18, 30, 5)},
        {"2009-07-14T18.30.05", at(2009, 7, 14, 18, 30, 5)},
        {"2008:02:29 23:59:59", at(2008, 2, 29, 23, 59, 59)},
        {"2009:07:14 18:30:5", at(2009, 7, 14, 18, 30, 5)},
        {"0001:01:01 00:00:00", at(1, 1, 1, 0, 0, 0)},
        {"2009:02:29 12:00:00", zero},
        {"2009:13:01 12:00:00", zero},
        {"2009:07:14 24:00:00", zero},
        {"2009:07:14 18:60:00", zero},
        {"2009:07:14 18:30:", zero},
        {"2009:07:14", zero},
        {"2009:7:14 18:30:05", zero},
        {"abcd:ef:gh ij:kl:mn", zero},
        {"2009:07:14 18:30:-5", zero},
        {"", zero},
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(ExifDateTime(c.text), c.expected) << c.text;
}

TEST(InfoLines, CleanAndJoin) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"\"quoted\"", "quoted"},
        {"\"\"", ""},
        {"\"", ""},
        {"\"open", "\"open"},
        {" \"spaced\" ", "\"spaced\""},
        {"a\x01"
         "b\x1F"
         "c",
         "a b c"},
        {"\t x \r", "x"},
        {QString("a") + QChar(0) + "b", "a b"},
        {"\"\tinner\t\"", "inner"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CleanInfoLine(in), out) << in.toStdString();
    EXPECT_EQ(JoinInfoLines({"\"a\"", "  ", "", "b\n", "\"\""}), "a\rb");
    EXPECT_EQ(JoinInfoLines({}), QString());
}

TEST(HasExifName, ByExtension) {
    const std::vector<std::pair<const char*, bool>> cases = {
        {"a.jpg", true},        {"a.JPG", true},     {"a.jpeg", true},     {"a.jpe", true},
        {"a.jfif", true},       {"a.jp", true},      {"a.tif", true},      {"a.TIFF", true},
        {"a.fax", true},        {"a.nef", true},     {"a.CR2", true},      {"a.dng", true},
        {"a.raw", true},        {"a.dc", true},      {"a.x3f", true},      {"a.tf8", false},
        {"a.btf", false},       {"a.png", false},    {"a.gif", false},     {"a.bmp", false},
        {"a.jpgx", false},      {"photo", false},    {"", false},          {"d.jpg/photo", false},
        {"/x/y.z/a.jpg", true}, {"a.tar.nef", true}, {"a.nef.png", false}, {"a.ne", true},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(HasExifName(name), expected) << name;
}

TEST(ExifInfoText, RawNamesAskTheRawComponent) {
    QTemporaryDir dir;
    const QDir d(dir.path());
    // A RAW name is never read as JPEG or TIFF, whatever the file holds.
    const QString nef = WriteFile(d, "a.nef", Jpeg({ExifApp1(Block(kII, {Ascii(271, "X")}))}));
    EXPECT_EQ(ExifInfoText(nef), QString());

    QString asked;
    SetRawInfoTextProvider([&](const QString& name) {
        asked = name;
        return QString("Nikon\rD90");
    });
    EXPECT_EQ(ExifInfoText(nef), "Nikon\rD90");
    EXPECT_EQ(asked, nef);
    EXPECT_EQ(ReadExifOrientation(nef), 0);
    const QString jpg = WriteFile(d, "b.jpg", Jpeg({ExifApp1(Block(kII, {Ascii(271, "X")}))}));
    EXPECT_EQ(ExifInfoText(jpg), "X");
    EXPECT_EQ(asked, nef);
    SetRawInfoTextProvider({});
    EXPECT_EQ(ExifInfoText(nef), QString());
}

} // namespace
