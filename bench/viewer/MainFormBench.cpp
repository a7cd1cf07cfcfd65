// SPDX-License-Identifier: GPL-2.0-or-later
// The main window at work: opening a 6000 x 4000 JPEG up to the composed screen buffer (fit to
// screen, smoothing, frame and shadow), next to decoding the same file alone in the same run
// (x_decode); and one scroller tick at 1920 x 1080, next to a memcpy of the buffer (x_copy).
#include "BenchApp.h"
#include "BenchUtil.h"
#include "formats/ImageFiles.h"
#include "viewer/Main.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>

namespace {

constexpr int kPhotoW = 6000;
constexpr int kPhotoH = 4000;
// Large enough that the view itself is about 1920 x 1080 once the bars and margins are off.
const QSize kScrollWindow(1930, 1170);

// A window on a 1920 x 1080 screen, its settings file in a temporary folder.
struct TBenchWindow {
    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;

    TBenchWindow(const QStringList& settings, QSize size) {
        App();
        QDir(dir.path()).mkpath("prog");
        QFile ini(dir.filePath("prog/Tavelune.ini"));
        if (ini.open(QIODevice::WriteOnly))
            ini.write(("[Params]\n" + settings.join('\n')).toUtf8());
        ini.close();
        TMainFormSeams seams;
        seams.Paths = TAppPaths(dir.filePath("prog/tavelune"), dir.filePath("cfg"));
        seams.SlideshowTimer = std::make_unique<TIdleTimer>();
        seams.ScrollTimer = std::make_unique<TIdleTimer>();
        seams.Clock = std::make_unique<TNoWait>();
        seams.ScreenGeometry = QRect(0, 0, 1920, 1080);
        seams.WorkArea = seams.ScreenGeometry;
        form = std::make_unique<TMainForm>(std::move(seams));
        form->resize(size);
        form->show();
        for (int i = 0; i < 100 && !form->FirstPaintDone(); ++i)
            QCoreApplication::processEvents();
    }
};

// Written before any window exists: a window asks the user for the JPEG options of every
// JPEG it sees saved.
const QString& PhotoFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        QString name = dir.filePath("photo.jpg");
        SaveImageFile(name, BenchImage(kPhotoW, kPhotoH));
        return name;
    }();
    return path;
}

// CPU time of this thread: on a machine shared with other work the wall time also counts the
// waits for a processor, which this does not.
double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_OpenToComposedScreen(benchmark::State& state) {
    const QString path = PhotoFile();
    TBenchWindow window({"zoom=1", "boptimiserz=1", "bcadre=1", "bombre=1", "b3d=0", "bsa=0",
                         "rotation=6", "teinte=0", "reglage=0", "bflou=0"},
                        QSize(1920, 1080));
    double openTotal = 0, decodeTotal = 0, openCpu = 0, decodeCpu = 0;
    for (auto _ : state) {
        {
            TBitmap decoded;
            QString name = path;
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = ThreadCpuSeconds();
            LoadImageFile(name, decoded);
            benchmark::DoNotOptimize(decoded.ScanLine(0));
            decodeTotal += Seconds(t0);
            decodeCpu += ThreadCpuSeconds() - c0;
        }
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = ThreadCpuSeconds();
        window.form->OpenImage(path, false);
        benchmark::ClobberMemory();
        const double s = Seconds(t0);
        openCpu += ThreadCpuSeconds() - c0;
        openTotal += s;
        state.SetIterationTime(s);
    }
    state.counters["x_decode"] = decodeTotal > 0 ? openTotal / decodeTotal : 0;
    state.counters["decode_ms"] = 1000 * decodeTotal / double(state.iterations());
    state.counters["x_decode_cpu"] = decodeCpu > 0 ? openCpu / decodeCpu : 0;
    state.counters["scale"] = window.form->Zoom().Scale();
}
BENCHMARK(BM_OpenToComposedScreen)->UseManualTime()->Unit(benchmark::kMillisecond);

// One tick of the scroller on an image larger than a 1920 x 1080 window; with paint, the
// window then handles its pending events, which paints the view rectangle the tick marked.
void ScrollTick(benchmark::State& state, bool paint) {
    const QString photo = PhotoFile();
    TBenchWindow window({"zoom=0", "boptimiserz=1", "bcadre=1", "bombre=1", "bsa=0", "fluidite=1"},
                        kScrollWindow);
    window.form->OpenImage(photo, false);
    TImageZoomScrolling& zoom = window.form->Zoom();
    zoom.SetDirection(sdLeft);
    const TRect v = zoom.ViewRect();
    double cpu = 0;
    RunAgainstCopy(
        state, ImageBytes(window.form->ScreenBuffer()),
        [&] {
            if (!zoom.Active()) {
                zoom.SetImageLeft(v.Left);
                zoom.SetActive(true);
            }
        },
        [&] {
            const double c0 = ThreadCpuSeconds();
            zoom.Tick();
            if (paint) QCoreApplication::processEvents();
            cpu += ThreadCpuSeconds() - c0;
        });
    state.counters["cpu_ms"] = 1000 * cpu / double(std::max<int64_t>(1, state.iterations()));
    state.counters["view_w"] = RectWidth(v);
    state.counters["view_h"] = RectHeight(v);
}

void BM_ScrollTick(benchmark::State& state) {
    ScrollTick(state, false);
}
BENCHMARK(BM_ScrollTick)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ScrollTickWithPaint(benchmark::State& state) {
    ScrollTick(state, true);
}
BENCHMARK(BM_ScrollTickWithPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
