// SPDX-License-Identifier: GPL-2.0-or-later
// When the main window's work happens, on a 6000 x 4000 JPEG, each figure next to a baseline of
// the same run:
// - BM_StartToFirstScreen: from the start of the decoding (the program's first step) through
//   the window's creation to the first screen composed with the image, next to libjpeg alone
//   decoding the file (x_decode; the goal is at most 2). The Qt application exists already:
//   what it costs to start is measured by tools/open-latency.py on the real program.
// - BM_NextImageReadAhead: the next image once the read-ahead is done, next to a copy of the
//   screen buffer (x_copy; the goal is at most 10), with the resident memory then held.
// - BM_OpenInLargeFolder: opening one image of a folder of 20 000 files up to its first screen,
//   next to the same opening in a folder of one file (x_alone; the goal is at most 1.2).
#include "BenchApp.h"
#include "BenchUtil.h"
#include "PlainJpeg.h"
#include "browse/EarlyImage.h"
#include "browse/ReadAhead.h"
#include "formats/DecodeWorkers.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"
#include "viewer/Main.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <optional>

namespace {

constexpr int kPhotoW = 6000;
constexpr int kPhotoH = 4000;

const std::vector<uint8_t>& PhotoBytes() {
    static const std::vector<uint8_t> bytes = EncodeJpeg(BenchImage(kPhotoW, kPhotoH), 90, false);
    return bytes;
}

void WriteFile(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The moment the window first paints a screen that shows an image (or its stand-in).
class TFirstImagePaint : public QObject {
public:
    explicit TFirstImagePaint(TMainForm& form) : m_form(form) {
        m_form.centralWidget()->installEventFilter(this);
    }
    ~TFirstImagePaint() override { m_form.centralWidget()->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && !m_at &&
            (!m_form.WorkingImage().Empty() || m_form.Zoom().HasStandIn()))
            m_at = std::chrono::steady_clock::now();
        return false;
    }
    std::optional<std::chrono::steady_clock::time_point> m_at;

private:
    TMainForm& m_form;
};

// A program folder without settings file: the window starts with the defaults.
struct TBenchSeams {
    QTemporaryDir dir;
    TMainFormSeams Make(const QStringList& arguments, QSize screen,
                        std::shared_ptr<TDecodeWorkers> workers) {
        TMainFormSeams seams;
        seams.Arguments = arguments;
        seams.Paths = TAppPaths(dir.filePath("prog/tavelune"), dir.filePath("cfg"));
        seams.SlideshowTimer = std::make_unique<TIdleTimer>();
        seams.ScrollTimer = std::make_unique<TIdleTimer>();
        seams.Clock = std::make_unique<TNoWait>();
        seams.ScreenGeometry = QRect(QPoint(0, 0), screen);
        seams.WorkArea = seams.ScreenGeometry;
        seams.Workers = std::move(workers);
        return seams;
    }
};

std::optional<std::chrono::steady_clock::time_point> PumpUntil(const TFirstImagePaint& paint) {
    for (int i = 0; i < 100000 && !paint.m_at; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return paint.m_at;
}

void BM_StartToFirstScreen(benchmark::State& state) {
    App();
    QTemporaryDir photos;
    const QString photo = photos.filePath("photo.jpg");
    WriteFile(photo, PhotoBytes());
    const QByteArray local = QFile::encodeName(photo);
    double ours = 0, plain = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        PlainLibjpegDecode(local.constData());
        plain += Seconds(t0);

        TBenchSeams bench;
        t0 = std::chrono::steady_clock::now();
        auto workers = std::make_shared<TDecodeWorkers>(TDecodeWorkers::DefaultThreads());
        std::optional<TEarlyImage> early = StartEarlyImage(*workers, {photo});
        TMainFormSeams seams = bench.Make({photo}, QSize(1280, 1024), workers);
        if (early) seams.EarlyImage = std::make_shared<TEarlyImage>(std::move(*early));
        auto form = std::make_unique<TMainForm>(std::move(seams));
        std::optional<std::chrono::steady_clock::time_point> at;
        {
            TFirstImagePaint paint(*form);
            form->show();
            at = PumpUntil(paint);
        }
        if (!at) state.SkipWithError("no image shown");
        const double s = at ? std::chrono::duration<double>(*at - t0).count() : 0;
        ours += s;
        state.SetIterationTime(s);
        form.reset();
    }
    state.counters["x_decode"] = plain > 0 ? ours / plain : 0;
    state.counters["decode_ms"] = 1000 * plain / double(state.iterations());
}
BENCHMARK(BM_StartToFirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);

qint64 StatusKiB(const char* field) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ')[0].toLongLong();
    return 0;
}

// Steps between two photos of a folder of three, each step's neighbours made meanwhile.
void BM_NextImageReadAhead(benchmark::State& state) {
    App();
    QTemporaryDir photos;
    QStringList paths;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        paths << photos.filePath(name);
        WriteFile(paths.back(), PhotoBytes());
    }
    TBenchSeams bench;
    auto workers = std::make_shared<TDecodeWorkers>(TDecodeWorkers::DefaultThreads());
    auto form = std::make_unique<TMainForm>(bench.Make({paths[1]}, QSize(1920, 1080), workers));
    form->show();
    for (int i = 0; i < 1000 && !form->FirstPaintDone(); ++i)
        QCoreApplication::processEvents();
    bool forward = true;
    int hits = 0, steps = 0;
    RunAgainstCopy(
        state, ImageBytes(form->ScreenBuffer()),
        [&] {
            workers->WaitIdle();
            QCoreApplication::processEvents();
            const int target = form->Sequence().Current() + (forward ? 1 : -1);
            hits += form->ReadAhead().Holds(paths[target]) ? 1 : 0;
        },
        [&] {
            if (forward)
                form->NextImage();
            else
                form->PreviousImage();
            forward = !forward;
            ++steps;
        });
    workers->WaitIdle();
    QCoreApplication::processEvents();
    state.counters["hits"] = steps > 0 ? double(hits) / steps : 0;
    state.counters["held_mib"] = double(form->ReadAhead().HeldBytes()) / (1 << 20);
    state.counters["rss_mib"] = double(StatusKiB("VmRSS:")) / 1024;
    state.counters["peak_rss_mib"] = double(StatusKiB("VmHWM:")) / 1024;
}
BENCHMARK(BM_NextImageReadAhead)->UseManualTime()->Unit(benchmark::kMillisecond);

// The time OpenImage takes to the first screen that shows the photo.
double OpenToFirstScreen(TMainForm& form, const QString& path) {
    TFirstImagePaint paint(form);
    const auto t0 = std::chrono::steady_clock::now();
    form.OpenImage(path, true);
    const auto at = PumpUntil(paint);
    return at ? std::chrono::duration<double>(*at - t0).count() : 0;
}

void BM_OpenInLargeFolder(benchmark::State& state) {
    App();
    QTemporaryDir alone, crowd;
    const QString single = alone.filePath("m.jpg");
    const QString many = crowd.filePath("m.jpg");
    WriteFile(single, PhotoBytes());
    WriteFile(many, PhotoBytes());
    for (int i = 0; i < 19999; ++i)
        WriteFile(crowd.filePath(QString("f%1.png").arg(i, 5, 10, QChar('0'))), {});
    TBenchSeams bench;
    auto workers = std::make_shared<TDecodeWorkers>(TDecodeWorkers::DefaultThreads());
    auto form = std::make_unique<TMainForm>(bench.Make({}, QSize(1280, 1024), workers));
    form->show();
    for (int i = 0; i < 1000 && !form->FirstPaintDone(); ++i)
        QCoreApplication::processEvents();
    double inCrowd = 0, inAlone = 0;
    for (auto _ : state) {
        inAlone += OpenToFirstScreen(*form, single);
        workers->WaitIdle();
        const double s = OpenToFirstScreen(*form, many);
        inCrowd += s;
        state.SetIterationTime(s);
        workers->WaitIdle();
        QCoreApplication::processEvents();
    }
    state.counters["x_alone"] = inAlone > 0 ? inCrowd / inAlone : 0;
    state.counters["alone_ms"] = 1000 * inAlone / double(state.iterations());
    state.counters["entries"] = form->Sequence().Count();
}
BENCHMARK(BM_OpenInLargeFolder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace
