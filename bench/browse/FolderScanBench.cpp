// SPDX-License-Identifier: GPL-2.0-or-later
// ScanFolder over 20000 files in 200 folders, next to a plain recursive listing of the same tree
// in the same run; x_listing is the scan's time divided by the listing's.
#include "browse/FolderScan.h"
#include "browse/ImageSequence.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kTopFolders = 20;
constexpr int kSubFolders = 9; // per top folder: 20 + 180 = 200 folders
constexpr int kFilesPerFolder = 100;

void WriteFile(const QString& path) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write("x", 1);
}

void FillFolder(const QString& folder, int seed) {
    static const char* const kExtensions[] = {".jpg", ".png",  ".JPG", ".tif", ".txt",
                                              ".gif", ".jpeg", ".raw", ".bmp", ".Png"};
    for (int i = 0; i < kFilesPerFolder; ++i)
        WriteFile(folder + QStringLiteral("/IMG_%1_%2").arg(seed).arg(i * 7919 % 10007) +
                  QLatin1String(kExtensions[i % 10]));
}

// Made once per run; removed when the program ends.
const QTemporaryDir& Tree() {
    static QTemporaryDir dir = [] {
        QTemporaryDir d;
        for (int t = 0; t < kTopFolders; ++t) {
            const QString top = d.path() + QStringLiteral("/Album %1").arg(t);
            std::filesystem::create_directories(top.toStdString());
            FillFolder(top, t * 100);
            for (int s = 1; s < kSubFolders + 1; ++s) {
                const QString sub = top + QStringLiteral("/day-%1").arg(s);
                std::filesystem::create_directories(sub.toStdString());
                FillFolder(sub, t * 100 + s);
            }
        }
        return d;
    }();
    return dir;
}

size_t PlainListing(const std::string& root) {
    std::vector<std::string> paths;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        paths.push_back(e.path().string());
    benchmark::DoNotOptimize(paths.data());
    return paths.size();
}

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_ScanFolder(benchmark::State& state) {
    const QString root = Tree().path();
    const std::string rootText = root.toStdString();
    double scanTotal = 0, listTotal = 0;
    qsizetype found = 0;
    size_t listed = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        listed = PlainListing(rootText);
        listTotal += Seconds(t0);
        t0 = std::chrono::steady_clock::now();
        const QStringList paths = ScanFolder(root, QLatin1String(kCommonImagesMask), true);
        const double s = Seconds(t0);
        scanTotal += s;
        found = paths.size();
        state.SetIterationTime(s);
    }
    state.counters["x_listing"] = listTotal > 0 ? scanTotal / listTotal : 0;
    state.counters["entries"] = double(listed);
    state.counters["images"] = double(found);
}
BENCHMARK(BM_ScanFolder)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
