// SPDX-License-Identifier: GPL-2.0-or-later
// Opening a 6000 x 4000 baseline JPEG through LoadImageFile, next to libjpeg decoding the same
// file on its own (standard file source, RGB rows into one buffer), both in each iteration.
// x_libjpeg is the ratio of the two; the goal is at most 1.10.
#include "BenchUtil.h"
#include "PlainJpeg.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int kW = 6000;
constexpr int kH = 4000;

struct TPhotoFile {
    QTemporaryDir Dir;
    QString Path;
    TPhotoFile() {
        Path = Dir.filePath(QStringLiteral("photo.jpg"));
        const std::vector<uint8_t> bytes = EncodeJpeg(BenchImage(kW, kH), 90, false);
        QFile f(Path);
        if (f.open(QIODevice::WriteOnly))
            f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    }
};

const QString& PhotoPath() {
    static TPhotoFile file;
    return file.Path;
}

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_OpenBaselineJpeg(benchmark::State& state) {
    InitImageFormats();
    const QString path = PhotoPath();
    const QByteArray local = QFile::encodeName(path);
    double ours = 0, plain = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        PlainLibjpegDecode(local.constData());
        plain += Seconds(t0);

        t0 = std::chrono::steady_clock::now();
        QString name = path;
        TBitmap bmp;
        if (LoadImageFile(name, bmp) != 1) state.SkipWithError("load failed");
        bmp.To24Bit(); // already 24-bit: what the viewer does next costs nothing
        benchmark::ClobberMemory();
        const double s = Seconds(t0);
        ours += s;
        state.SetIterationTime(s);
    }
    state.counters["x_libjpeg"] = plain > 0 ? ours / plain : 0;
    state.counters["libjpeg_ms"] = 1000 * plain / double(state.iterations());
}
BENCHMARK(BM_OpenBaselineJpeg)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5);

// The open dialog's preview of the same file: decoded at an eighth of its size.
void BM_PreviewBaselineJpeg(benchmark::State& state) {
    InitImageFormats();
    const QString path = PhotoPath();
    TBitmap full;
    QString name = path;
    LoadImageFile(name, full);
    RunAgainstCopy(
        state, ImageBytes(full), [] {},
        [&] {
            TBitmap bmp;
            LoadImagePreview(path, bmp);
        });
}
BENCHMARK(BM_PreviewBaselineJpeg)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
