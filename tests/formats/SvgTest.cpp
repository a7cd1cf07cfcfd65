// SVG documents are drawn at their size at 96 dpi (a default box when they name none), with
// their transparency, compressed or not, and never with anything fetched from outside them.
#include "FormatTestUtil.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/SvgCodec.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

TBytes View(const QByteArray& b) {
    return {reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size())};
}

QByteArray Svg(const QByteArray& attributes, const QByteArray& body = {}) {
    return "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" " +
           attributes + ">" + body + "</svg>";
}

QByteArray Gzip(const QByteArray& data) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&z, uLong(data.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

struct SizeCase {
    const char* what;
    QByteArray attributes;
    QSize size;
};

class SvgSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SvgSize, DrawnAtTheDocumentSizeAt96Dpi) {
    const TBitmap picture = DecodeSvg(View(Svg(GetParam().attributes)));
    EXPECT_EQ(QSize(picture.Width(), picture.Height()), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SvgSize,
    ::testing::Values(SizeCase{"Pixels", "width=\"120\" height=\"40px\"", {120, 40}},
                      SizeCase{"Inches", "width=\"1in\" height=\"0.5in\"", {96, 48}},
                      SizeCase{"Centimetres", "width=\"2.54cm\" height=\"25.4mm\"", {96, 96}},
                      SizeCase{"Points", "width=\"72pt\" height=\"6pc\"", {96, 96}},
                      SizeCase{"ViewBoxOnly", "viewBox=\"0 0 200 100\"", {200, 100}},
                      SizeCase{"WidthAndViewBox", "width=\"50\" viewBox=\"0,0,200,100\"", {50, 25}},
                      SizeCase{"Percentages", "width=\"100%\" height=\"100%\"", {512, 512}},
                      SizeCase{"NothingAtAll", "", {512, 512}},
                      SizeCase{"Nonsense", "width=\"wide\" height=\"-3\"", {512, 512}},
                      SizeCase{"Huge", "width=\"100000\" height=\"50000\"", {8192, 4096}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(Svg, ColoursAndTransparency) {
    const TBitmap picture = DecodeSvg(
        View(Svg("width=\"10\" height=\"4\"", "<rect x=\"0\" y=\"0\" width=\"5\" height=\"4\" "
                                              "fill=\"#ff8000\"/>")));
    ASSERT_EQ(picture.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(picture.Image().pixel(2, 2), qRgba(255, 128, 0, 255));
    EXPECT_EQ(qAlpha(picture.Image().pixel(8, 2)), 0);
    // Covering everything makes an opaque 24-bit picture.
    const TBitmap full = DecodeSvg(
        View(Svg("width=\"3\" height=\"3\"", "<rect width=\"3\" height=\"3\" fill=\"blue\"/>")));
    EXPECT_EQ(full.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(PixelAt(full, 1, 1), Rgb(0, 0, 255));
}

// Without a viewBox, user units are pixels: a 1in-wide rectangle fills a 1in-wide document.
TEST(Svg, UserUnitsArePixelsAt96Dpi) {
    const TBitmap picture = DecodeSvg(View(
        Svg("width=\"1in\" height=\"10px\"", "<rect width=\"96\" height=\"10\" fill=\"red\"/>")));
    ASSERT_EQ(picture.Width(), 96);
    EXPECT_EQ(picture.Image().pixel(95, 5), qRgba(255, 0, 0, 255));
}

TEST(Svg, ExternalImagesAreNotFetchedDataImagesAreDrawn) {
    QTemporaryDir dir;
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString png = dir.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(red.save(png));
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "PNG");

    const QByteArray outside =
        Svg("width=\"4\" height=\"4\"",
            "<image width=\"4\" height=\"4\" xlink:href=\"file://" + png.toUtf8() +
                "\"/><image width=\"4\" height=\"4\" href=\"" + png.toUtf8() + "\"/>");
    const TBitmap notFetched = DecodeSvg(View(outside));
    EXPECT_EQ(qAlpha(notFetched.Image().pixel(2, 2)), 0);
    EXPECT_FALSE(ReadSvgDocument(View(outside)).Xml.contains("red.png"));

    const QByteArray inside =
        Svg("width=\"4\" height=\"4\"",
            "<image width=\"4\" height=\"4\" xlink:href=\"data:image/png;base64," +
                encoded.toBase64() + "\"/>");
    EXPECT_EQ(DecodeSvg(View(inside)).Image().pixel(2, 2), qRgba(255, 0, 0, 255));
}

TEST(Svg, CompressedDocumentsAndTheirBound) {
    const QByteArray svg =
        Svg("width=\"6\" height=\"6\"", "<circle cx=\"3\" cy=\"3\" r=\"2\" fill=\"green\"/>");
    EXPECT_EQ(DecodeSvg(View(Gzip(svg))), DecodeSvg(View(svg)));
    // A document that inflates past the bound fails rather than filling the memory.
    const QByteArray bomb =
        Gzip(Svg("", "<desc>" + QByteArray(kMaxSvgBytes + 10, 'a') + "</desc>"));
    EXPECT_THROW(DecodeSvg(View(bomb)), ETaveluneError);
    QByteArray cut = Gzip(svg);
    cut.chop(cut.size() / 2);
    EXPECT_THROW(DecodeSvg(View(cut)), ETaveluneError);
}

TEST(Svg, NotAnSvgDocument) {
    EXPECT_THROW(DecodeSvg(View("<html><body/></html>")), ETaveluneError);
    EXPECT_THROW(DecodeSvg(View("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect")),
                 ETaveluneError);
    EXPECT_THROW(DecodeSvg(View("")), ETaveluneError);
}

TEST(Svg, ThroughTheDispatcherWithTheDocumentSize) {
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    QString name = dir.filePath(QStringLiteral("logo.svgz"));
    const QByteArray svg = Gzip(Svg("width=\"2in\" height=\"1in\""));
    WriteBytes(name, std::vector<uint8_t>(svg.begin(), svg.end()));
    TBitmap picture;
    ASSERT_EQ(LoadImageFile(name, picture), 1);
    EXPECT_EQ(FileWidth(), 192);
    EXPECT_EQ(FileHeight(), 96);
    EXPECT_EQ(picture.Width(), 192);
}

} // namespace
