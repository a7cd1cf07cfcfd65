// SPDX-License-Identifier: GPL-2.0-or-later
// A 12-megapixel (4000 x 3000) colour filter array DNG with a 1024 x 768 JPEG preview: the
// preview read that stands in at a quarter of each side, next to the full RAW decode of the
// same bytes in each iteration. x_full is their ratio.
#include "BenchUtil.h"
#include "TestDng.h"
#include "formats/FileData.h"
#include "formats/FormatRegistry.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"
#include "formats/RawImage.h"

#include <QImage>
#include <QTemporaryDir>

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;

struct TRawPhoto {
    QTemporaryDir Dir;
    QByteArray Bytes;
    TRawPhoto() {
        TDngSpec spec{.Cfa = true, .Width = kW, .Height = kH};
        const TBitmap preview(
            BenchImage(kW / 4, kH / 4).Image().scaled(1024, 768, Qt::IgnoreAspectRatio));
        spec.Preview = EncodeJpeg(preview, 90, false);
        spec.PreviewWidth = 1024;
        spec.PreviewHeight = 768;
        const QString path = Dir.filePath(QStringLiteral("photo.dng"));
        if (WriteDng(path, spec)) Bytes = ReadWholeFile(path);
    }
};

void BM_ReducedRaw(benchmark::State& state) {
    InitImageFormats();
    SetRawLibraryFolders({QStringLiteral(TAVELUNE_RAW_PLUGIN_DIR)});
    static const TRawPhoto photo;
    if (photo.Bytes.isEmpty() || !RawLibraryLoaded()) {
        state.SkipWithError("no DNG or no RAW decoder library");
        return;
    }
    QSize standIn;
    const auto decode = [&](int reduction) {
        TGraphic graphic(gcRaw);
        TReadInput input{QStringLiteral("photo.dng"),
                         {reinterpret_cast<const uint8_t*>(photo.Bytes.constData()),
                          size_t(photo.Bytes.size())}};
        input.Reduction = reduction;
        ReadGraphic(input, graphic);
        benchmark::DoNotOptimize(graphic.Picture.ScanLine(0));
        if (reduction > 1) standIn = QSize(graphic.Picture.Width(), graphic.Picture.Height());
    };
    RunAgainstBaseline(
        state, "full", [&] { decode(1); }, [&] { decode(4); });
    // The preview itself, at full size: 1024 x 768 is the smallest JPEG scale covering 1000 x 750.
    if (standIn != QSize(1024, 768)) state.SkipWithError("the preview did not stand in");
}
// A fixed count: each iteration decodes the whole RAW file too, which a minimum time on the
// preview read alone would repeat for minutes.
BENCHMARK(BM_ReducedRaw)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
