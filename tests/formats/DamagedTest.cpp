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
#include "formats/WebpCodec.h"

#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <tiffio.h>
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

// A file of today's formats made by its reference tool from a PNG of the picture, once per run;
// empty when the tool is missing.
std::vector<uint8_t> ToolFile(const char* tool, const QStringList& args, const char* ext) {
    static std::map<std::string, std::vector<uint8_t>> made;
    std::vector<uint8_t>& bytes = made[std::string(tool) + ext];
    if (!bytes.empty() || ToolPath(QString::fromLatin1(tool)).isEmpty()) return bytes;
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("in.png"));
    const QString out = dir.filePath(QStringLiteral("out.") + QLatin1String(ext));
    WriteBytes(png, EncodePng(Picture()));
    QStringList filled = args;
    for (QString& a : filled) {
        if (a == QLatin1String("IN")) a = png;
        if (a == QLatin1String("OUT")) a = out;
    }
    RunTool(QString::fromLatin1(tool), filled);
    bytes = ReadBytes(out);
    return bytes;
}

std::vector<uint8_t> AvifFile() {
    return ToolFile("avifenc", {"IN", "OUT"}, "avif");
}
std::vector<uint8_t> HeicFile() {
    return ToolFile("heif-enc", {"-q", "50", "IN", "-o", "OUT"}, "heic");
}
std::vector<uint8_t> JxlFile() {
    return ToolFile("cjxl", {"IN", "OUT", "-d", "1", "--quiet"}, "jxl");
}

// The ispe box (the stored size) of an AVIF or HEIF file made to say w x h.
std::vector<uint8_t> IspeClaiming(std::vector<uint8_t> b, uint32_t w, uint32_t h) {
    for (size_t i = 0; i + 16 <= b.size(); ++i)
        if (std::memcmp(b.data() + i, "ispe", 4) == 0) {
            qToBigEndian<uint32_t>(w, b.data() + i + 8);
            qToBigEndian<uint32_t>(h, b.data() + i + 12);
        }
    return b;
}

// A WebP whose extended header claims a w x h canvas around a small lossless picture.
std::vector<uint8_t> WebpClaiming(uint32_t w, uint32_t h) {
    const std::vector<uint8_t> simple = EncodeWebp(Picture(), 100);
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'E', 'B', 'P',
                              'V', 'P', '8', 'X', 10, 0, 0, 0, 0,   0,   0,   0};
    for (uint32_t v : {w - 1, h - 1})
        b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)});
    b.insert(b.end(), simple.begin() + 12, simple.end());
    qToLittleEndian<uint32_t>(uint32_t(b.size() - 8), b.data() + 4);
    return b;
}

// A JPEG XL codestream whose size header says w x h, then default metadata.
std::vector<uint8_t> JxlClaiming(uint32_t w, uint32_t h) {
    std::vector<uint8_t> b = {0xFF, 0x0A};
    size_t count = 0; // bits written, least significant bit of each byte first
    const auto put = [&](uint64_t v, int n) {
        for (int i = 0; i < n; ++i, ++count) {
            if (count % 8 == 0) b.push_back(0);
            b.back() |= uint8_t(((v >> i) & 1) << (count % 8));
        }
    };
    put(0, 1);                 // not small
    put(3, 2), put(h - 1, 30); // height, 30-bit form
    put(0, 3);                 // no ratio: the width follows
    put(3, 2), put(w - 1, 30); // width, 30-bit form
    put(1, 1);                 // default metadata
    b.insert(b.end(), 16, 0);
    return b;
}

QByteArray SvgText() {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"30\">"
           "<rect width=\"20\" height=\"30\" fill=\"red\"/></svg>";
}

// A compressed document inflating past the bound.
std::vector<uint8_t> SvgBomb() {
    static std::vector<uint8_t> bomb;
    if (!bomb.empty()) return bomb;
    QByteArray text = SvgText();
    text.insert(text.indexOf("<rect"), "<desc>" + QByteArray(70 << 20, ' ') + "</desc>");
    z_stream z{};
    deflateInit2(&z, 1, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    bomb.resize(deflateBound(&z, uLong(text.size())));
    z.next_in = reinterpret_cast<Bytef*>(text.data());
    z.avail_in = uInt(text.size());
    z.next_out = bomb.data();
    z.avail_out = uInt(bomb.size());
    deflate(&z, Z_FINISH);
    bomb.resize(z.total_out);
    deflateEnd(&z);
    return bomb;
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
        {"a.webp", [] { return EncodeWebp(Picture(), 80); },
         [] { return WebpClaiming(100000, 100000); }},
        {"a.avif", AvifFile, [] { return IspeClaiming(AvifFile(), 100000, 100000); }},
        {"a.heic", HeicFile, [] { return IspeClaiming(HeicFile(), 30000, 30000); }},
        {"a.jxl", JxlFile, [] { return JxlClaiming(100000, 100000); }},
        {"a.svg", [] { return TextFile(SvgText().toStdString()); }, SvgBomb},
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

// Loads through the dispatcher into a scratch folder, recording its messages.
template <class TParam>
class TLoadTest : public ::testing::TestWithParam<TParam> {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QTemporaryDir dir;
    TScriptedSeam seam;
};

using Damaged = TLoadTest<std::tuple<int, TDamage>>;

// A JPEG cut after the start of its picture data still holds a picture: the decoder shows what
// is there and fills the rest.
bool LoadsWhatIsLeft(const TFormat& f, TDamage d) {
    const std::string name = f.name;
    return (name == "a.jpg" || name == "a.jpeg") && (d == dHalf || d == dNinetyPercent);
}

TEST_P(Damaged, FailsWithTheLoadMessageOrLoadsWhatIsLeft) {
    const TFormat f = Formats()[size_t(std::get<0>(GetParam()))];
    const TDamage d = std::get<1>(GetParam());
    if (f.good().empty()) GTEST_SKIP() << "no reference tool for " << f.name;
    if (d == dHalf && std::string(f.name).starts_with("a.p") && f.good().size() < 40)
        GTEST_SKIP() << "a short text file cut in half may still be a smaller valid file";
    QString name = dir.filePath(QString::fromLatin1(f.name));
    WriteBytes(name, Damage(f, d));
    TBitmap bmp = UniformImage(2, 2, Grey(5));
    if (LoadsWhatIsLeft(f, d)) {
        EXPECT_EQ(LoadImageFile(name, bmp), 1) << f.name << " " << kDamageNames[d];
        EXPECT_TRUE(seam.Messages.isEmpty()) << f.name << " " << kDamageNames[d];
        EXPECT_EQ(bmp.Width(), 40);
        EXPECT_EQ(bmp.Height(), 30);
        return;
    }
    EXPECT_EQ(LoadImageFile(name, bmp), -1) << f.name << " " << kDamageNames[d];
    EXPECT_EQ(seam.Messages.size(), 1) << f.name << " " << kDamageNames[d];
    EXPECT_EQ(bmp.Width(), 2);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, Damaged,
                         ::testing::Combine(::testing::Range(0, 18),
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
        if (f.good().empty()) continue; // no reference tool
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
        if (good.empty()) continue;
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

// ---- Files that are only partly readable

size_t MarkerAt(const std::vector<uint8_t>& b, uint8_t marker) {
    for (size_t i = 2; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == marker) return i;
    ADD_FAILURE() << "no marker " << int(marker);
    return b.size();
}

// The first byte of the first scan's entropy-coded data.
size_t ScanDataAt(const std::vector<uint8_t>& b) {
    const size_t sos = MarkerAt(b, 0xDA);
    return sos + 2 + qFromBigEndian<uint16_t>(b.data() + sos + 2);
}

std::vector<uint8_t> Cut(std::vector<uint8_t> b, size_t size) {
    b.resize(std::min(size, b.size()));
    return b;
}

// 320 x 240, so that the preview decodes it at half size.
TBitmap PhotoPicture() {
    return SmoothImage(320, 240);
}

std::vector<uint8_t> Photo() {
    return EncodeJpeg(PhotoPicture(), 90, false);
}

// Cut after 40% of its picture data: the first rows are all there, the last ones are not.
std::vector<uint8_t> PhotoCutMidScan() {
    const std::vector<uint8_t> b = Photo();
    const size_t scan = ScanDataAt(b);
    return Cut(b, scan + (b.size() - 2 - scan) * 4 / 10);
}

// Where libtiff put the strips of a little-endian file: the offset of each strip's offset entry.
std::vector<size_t> StripOffsetEntries(const std::vector<uint8_t>& b) {
    const uint32_t ifd = qFromLittleEndian<uint32_t>(b.data() + 4);
    const uint16_t count = qFromLittleEndian<uint16_t>(b.data() + ifd);
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* e = b.data() + ifd + 2 + 12 * i;
        if (qFromLittleEndian<uint16_t>(e) != 273) continue;
        EXPECT_EQ(qFromLittleEndian<uint16_t>(e + 2), 4); // LONG
        const uint32_t n = qFromLittleEndian<uint32_t>(e + 4);
        const size_t values =
            n == 1 ? size_t(e + 8 - b.data()) : qFromLittleEndian<uint32_t>(e + 8);
        std::vector<size_t> entries;
        for (uint32_t k = 0; k < n; ++k)
            entries.push_back(values + 4 * k);
        return entries;
    }
    ADD_FAILURE() << "no StripOffsets";
    return {};
}

// 100 x 90 at 24 bits in LZW strips of 20 rows, written by libtiff: strips 0 to 4.
TBitmap StripsPicture() {
    return RandomImage(100, 90, 31);
}
inline constexpr int kRowsPerStrip = 20;

std::vector<uint8_t> StripedTiff() {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("strips.tif"));
    TIFF* t = TIFFOpen(path.constData(), "w");
    EXPECT_NE(t, nullptr);
    if (!t) return {};
    const TBitmap picture = StripsPicture();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, uint32_t(picture.Width()));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, uint32_t(picture.Height()));
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, uint32_t(kRowsPerStrip));
    std::vector<uint8_t> row(size_t(picture.Width()) * 3);
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const TTriple p = PixelAt(picture, x, y);
            row[3 * x] = p.r;
            row[3 * x + 1] = p.g;
            row[3 * x + 2] = p.b;
        }
        TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
    }
    TIFFClose(t);
    return ReadBytes(QFile::decodeName(path));
}

// The second strip damaged, as by a bad sector: its LZW data overwritten.
std::vector<uint8_t> TiffWithGarbledStrip() {
    std::vector<uint8_t> b = StripedTiff();
    const std::vector<size_t> entries = StripOffsetEntries(b);
    EXPECT_EQ(entries.size(), 5u);
    const uint32_t at = qFromLittleEndian<uint32_t>(b.data() + entries.at(1));
    std::fill(b.begin() + at, b.begin() + at + 200, 0xFF);
    return b;
}

// The second strip's offset points past the end of the file.
std::vector<uint8_t> TiffWithLostStrip() {
    std::vector<uint8_t> b = StripedTiff();
    const std::vector<size_t> entries = StripOffsetEntries(b);
    EXPECT_EQ(entries.size(), 5u);
    qToLittleEndian<uint32_t>(uint32_t(b.size() + 1000), b.data() + entries.at(1));
    return b;
}

bool SameRows(const TBitmap& a, const TBitmap& b, int from, int to) {
    for (int y = from; y < to; ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (!(PixelAt(a, x, y) == PixelAt(b, x, y))) return false;
    return true;
}

bool GreyRow(const TBitmap& a, int y) {
    for (int x = 0; x < a.Width(); ++x) {
        const TTriple p = PixelAt(a, x, y);
        if (std::abs(p.r - 128) > 1 || std::abs(p.g - 128) > 1 || std::abs(p.b - 128) > 1)
            return false;
    }
    return true;
}

struct TPartCase {
    const char* name;
    const char* file;
    std::function<std::vector<uint8_t>()> bytes;
    bool preview;
    // Null when the file must fail with the load message; otherwise checks what was loaded.
    std::function<void(const TBitmap&)> check;
};

void PrintTo(const TPartCase& c, std::ostream* os) {
    *os << c.name;
}

const TPartCase kPartCases[] = {
    // Common from some cameras and downloads: everything but the final FF D9.
    {"JpegMissingEndMarker", "a.jpg", [] { return Cut(Photo(), Photo().size() - 2); }, false,
     [](const TBitmap& bmp) { EXPECT_TRUE(SameRows(bmp, DecodeJpeg(Photo()), 0, 240)); }},
    {"ProgressiveJpegMissingEndMarker", "a.jpg",
     [] {
         const std::vector<uint8_t> b = EncodeJpeg(PhotoPicture(), 90, true);
         return Cut(b, b.size() - 2);
     },
     false,
     [](const TBitmap& bmp) {
         EXPECT_TRUE(SameRows(bmp, DecodeJpeg(EncodeJpeg(PhotoPicture(), 90, true)), 0, 240));
     }},
    {"JpegTruncatedMidScan", "a.jpg", PhotoCutMidScan, false,
     [](const TBitmap& bmp) {
         EXPECT_TRUE(SameRows(bmp, DecodeJpeg(Photo()), 0, 32));
         EXPECT_TRUE(GreyRow(bmp, 239));
     }},
    {"JpegTruncatedMidScanPreview", "a.jpg", PhotoCutMidScan, true,
     [](const TBitmap& bmp) {
         EXPECT_EQ(bmp.Width(), 160);
         EXPECT_TRUE(SameRows(bmp, DecodeJpeg(Photo(), 2), 0, 16));
         EXPECT_TRUE(GreyRow(bmp, 119));
     }},
    {"JpegTruncatedInHeader", "a.jpg", [] { return Cut(Photo(), MarkerAt(Photo(), 0xDB) + 10); },
     false, nullptr},
    {"JpegTruncatedInHeaderPreview", "a.jpg",
     [] { return Cut(Photo(), MarkerAt(Photo(), 0xC0) + 6); }, true, nullptr},
    {"JpegTruncatedInScanHeader", "a.jpg", [] { return Cut(Photo(), MarkerAt(Photo(), 0xDA) + 6); },
     false, nullptr},
    {"JpegEndsBeforeScanData", "a.jpg", [] { return Cut(Photo(), ScanDataAt(Photo())); }, false,
     nullptr},
    {"TiffWithGarbledStrip", "a.tif", TiffWithGarbledStrip, false,
     [](const TBitmap& bmp) {
         EXPECT_TRUE(SameRows(bmp, StripsPicture(), 0, kRowsPerStrip));
         EXPECT_TRUE(SameRows(bmp, StripsPicture(), 2 * kRowsPerStrip, 90));
     }},
    {"TiffWithLostStrip", "a.tif", TiffWithLostStrip, false,
     [](const TBitmap& bmp) {
         EXPECT_TRUE(SameRows(bmp, StripsPicture(), 0, kRowsPerStrip));
         EXPECT_TRUE(SameRows(bmp, StripsPicture(), 2 * kRowsPerStrip, 90));
     }},
};

using PartlyReadable = TLoadTest<TPartCase>;

TEST_P(PartlyReadable, ShowsWhatIsThereOrFailsWithTheLoadMessage) {
    const TPartCase& c = GetParam();
    QString name = dir.filePath(QString::fromLatin1(c.file));
    WriteBytes(name, c.bytes());
    TBitmap bmp = UniformImage(2, 2, Grey(5));
    const int result = c.preview ? LoadImagePreview(name, bmp) : LoadImageFile(name, bmp);
    if (!c.check) {
        EXPECT_EQ(result, -1);
        EXPECT_EQ(seam.Messages.size(), c.preview ? 0 : 1);
        EXPECT_EQ(bmp.Width(), 2);
        return;
    }
    ASSERT_EQ(result, 1);
    EXPECT_TRUE(seam.Messages.isEmpty());
    bmp.To24Bit();
    c.check(bmp);
}

INSTANTIATE_TEST_SUITE_P(Cases, PartlyReadable, ::testing::ValuesIn(kPartCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
