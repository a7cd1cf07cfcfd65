// SPDX-License-Identifier: GPL-2.0-or-later
// tavelune-convert on 40 JPEGs of 2000 x 1500 written again as JPEG: on two threads next to one
// (x_serial; the goal on two processors is at most 0.6).
#include "BenchUtil.h"
#include "formats/FormatRegistry.h"
#include "formats/JpegUtils.h"
#include "tools/ConvertCommand.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>

namespace {

double RunSeconds(const TConvertOptions& options) {
    QString out, err;
    QTextStream os(&out), es(&err);
    const auto t0 = std::chrono::steady_clock::now();
    RunConvert(options, os, es);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_BatchConvert(benchmark::State& state) {
    InitImageFormats();
    QTemporaryDir dir;
    TConvertOptions o;
    const std::vector<uint8_t> bytes = EncodeJpeg(BenchImage(2000, 1500), 90, false);
    for (int i = 0; i < 40; ++i) {
        const QString path = dir.filePath(QString("in%1.jpg").arg(i));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        o.Inputs << path;
    }
    QDir(dir.path()).mkdir("out");
    o.Output = dir.filePath("out");
    o.Format = "jpg";
    double serial = 0, parallel = 0;
    for (auto _ : state) {
        o.Jobs = 1;
        QDir(o.Output).removeRecursively();
        QDir(dir.path()).mkdir("out");
        serial += RunSeconds(o);
        o.Jobs = int(state.range(0));
        QDir(o.Output).removeRecursively();
        QDir(dir.path()).mkdir("out");
        const double s = RunSeconds(o);
        parallel += s;
        state.SetIterationTime(s);
    }
    state.counters["x_serial"] = serial > 0 ? parallel / serial : 0;
    state.counters["serial_ms"] = 1000 * serial / double(state.iterations());
}
BENCHMARK(BM_BatchConvert)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
