// SPDX-License-Identifier: GPL-2.0-or-later
// Reduced decodings of HEIF files, written by heif-enc: the size the header promises, the
// picture the reader then gives, and damaged files that give no reduced picture but never
// crash.
#include "ModernTestUtil.h"
#include "formats/DecodeFile.h"
#include "formats/FileData.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"

#include <gtest/gtest.h>

namespace {

TBitmap Smooth(int w, int h) {
    return MakeImage(w, h, [&](int x, int y) {
        return Rgb(uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t((x + y) * 127 / (w + h)));
    });
}

// The picture scaled smoothly to the size given.
TBitmap ScaledTo(const TBitmap& full, QSize size) {
    return TBitmap(full.Image()
                       .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(full.Image().format()));
}

// A HEIF file of the picture by heif-enc with these options; empty when the tool fails.
QByteArray Heic(const QDir& dir, const QStringList& options, const TBitmap& picture,
                const QString& name) {
    const QString png = WritePng(dir, name + QStringLiteral(".png"), {picture, {}});
    const QString out = dir.filePath(name);
    bool ok = false;
    RunTool(QStringLiteral("heif-enc"), QStringList(options) << QStringLiteral("-o") << out << png,
            &ok);
    return ok ? ReadWholeFile(out) : QByteArray();
}

TReducedDecoding Probe(const TGraphicClass& cls, const QByteArray& bytes) {
    TDecodeRequest request;
    request.Class = &cls;
    return ProbeReducedDecoding(request, bytes);
}

TGraphic Read(const TGraphicClass& cls, const QByteArray& bytes, int reduction) {
    TGraphic graphic(cls);
    TReadInput input{QStringLiteral("a"),
                     {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())}};
    input.Reduction = reduction;
    ReadGraphic(input, graphic);
    return graphic;
}

struct TReducedCase {
    const char* name;
    QStringList options;         // heif-enc's
    int smallest;                // what the probe promises; 0: no reduced decoding
    std::vector<QSize> pictures; // the picture read at reductions 2, 4 and 8
};

class ReducedDecoding : public testing::TestWithParam<TReducedCase> {};

// 401 x 301: the reduced sides round up.
TEST_P(ReducedDecoding, ThePictureIsTheOnePromisedAndShowsTheSameImage) {
    REQUIRE_MODERN_TOOLS();
    InitImageFormats();
    const TReducedCase& c = GetParam();
    QTemporaryDir dir;
    const TBitmap full = Smooth(401, 301);
    const QByteArray bytes = Heic(QDir(dir.path()), c.options, full, QLatin1String(c.name));
    ASSERT_FALSE(bytes.isEmpty());
    const TReducedDecoding probe = Probe(gcHeif, bytes);
    EXPECT_EQ(probe.Width, 401);
    EXPECT_EQ(probe.Height, 301);
    EXPECT_EQ(probe.Smallest, c.smallest);
    const int reductions[] = {2, 4, 8};
    for (size_t i = 0; i < 3; ++i) {
        const TGraphic g = Read(gcHeif, bytes, reductions[i]);
        EXPECT_EQ(QSize(g.FileWidth, g.FileHeight), QSize(401, 301)) << reductions[i];
        ASSERT_EQ(QSize(g.Picture.Width(), g.Picture.Height()), c.pictures[i]) << reductions[i];
        // The same picture, only smaller.
        EXPECT_LT(MeanDifference(g.Picture, ScaledTo(full, c.pictures[i])), 3) << reductions[i];
    }
}

const QSize kFull(401, 301);

INSTANTIATE_TEST_SUITE_P(
    Formats, ReducedDecoding,
    testing::Values(
        // A thumbnail of 160 x 120 covers a quarter and an eighth; for a half, the full picture.
        TReducedCase{
            "thumb.heic", {"-q", "95", "-t", "160"}, 4, {kFull, QSize(160, 120), QSize(160, 120)}},
        TReducedCase{"small.heic", {"-q", "95", "-t", "40"}, 0, {kFull, kFull, kFull}},
        TReducedCase{"plain.heic", {"-q", "95"}, 0, {kFull, kFull, kFull}}),
    [](const testing::TestParamInfo<TReducedCase>& info) {
        QString name = QLatin1String(info.param.name);
        name.replace(QLatin1Char('.'), QLatin1Char('_'));
        return name.toStdString();
    });

// Cut short or with bytes changed anywhere, thumbnails included: the probe and the reduced
// read answer or fail with the reader's error, never anything worse (the sanitizers watch).
TEST(ReducedDecodingOf, DamagedFilesNeverCrash) {
    REQUIRE_MODERN_TOOLS();
    InitImageFormats();
    QTemporaryDir dir;
    const QDir d(dir.path());
    const TBitmap picture = Smooth(240, 160);
    const QByteArray bytes =
        Heic(d, {QStringLiteral("-t"), QStringLiteral("80")}, picture, QStringLiteral("a.heic"));
    ASSERT_FALSE(bytes.isEmpty());
    // Its 80 x 53 thumbnail covers a quarter of each side, not a half.
    ASSERT_EQ(Probe(gcHeif, bytes).Smallest, 4);
    std::vector<QByteArray> damaged;
    for (qsizetype cut = 0; cut < bytes.size(); cut += std::max<qsizetype>(1, bytes.size() / 60))
        damaged.push_back(bytes.left(cut));
    for (qsizetype at = 0; at < bytes.size(); at += std::max<qsizetype>(1, bytes.size() / 90)) {
        QByteArray b = bytes;
        b[at] = char(b[at] ^ 0x5A);
        damaged.push_back(b);
    }
    for (const QByteArray& b : damaged) {
        const TReducedDecoding probe = Probe(gcHeif, b);
        EXPECT_TRUE(probe.Smallest == 0 || probe.Width > 0);
        for (const int r : {2, 4, 8}) {
            try {
                const TGraphic g = Read(gcHeif, b, r);
                EXPECT_FALSE(g.Picture.Empty());
            } catch (const ETaveluneError&) {
            }
        }
    }
}

} // namespace
