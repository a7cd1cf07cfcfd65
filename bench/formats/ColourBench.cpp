// Colour management of a 6000 x 4000 photo: the conversion from its embedded profile to sRGB
// next to the JPEG decoding of the same file, both in each iteration. x_decode is the ratio of
// the two; the goal is at most 1.0. The profile is an Adobe RGB (1998) like one made here.
#include "BenchUtil.h"
#include "formats/ColourManagement.h"
#include "formats/JpegUtils.h"

#include <chrono>
#include <ctime>
#include <lcms2.h>

namespace {

constexpr int kW = 6000;
constexpr int kH = 4000;

QByteArray WideGamutProfile() {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

const std::vector<uint8_t>& PhotoJpeg() {
    static const std::vector<uint8_t> bytes = EncodeJpeg(BenchImage(kW, kH), 90, false);
    return bytes;
}

double Seconds(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Processor time of the whole process (every thread), in seconds: the work done, whatever else
// the machine is running.
double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Times the conversion of the decoded photo tagged with the profile, against its decoding.
void RunAgainstDecode(benchmark::State& state, const QByteArray& profile) {
    const std::vector<uint8_t>& jpeg = PhotoJpeg();
    double decode = 0, convert = 0, decodeWork = 0, convertWork = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        double w0 = ProcessSeconds();
        TGraphic graphic(gcJpeg);
        graphic.Picture = DecodeJpeg(jpeg);
        benchmark::ClobberMemory();
        decode += Seconds(t0);
        decodeWork += ProcessSeconds() - w0;

        graphic.IccProfile = profile;
        t0 = std::chrono::steady_clock::now();
        w0 = ProcessSeconds();
        ConvertToSrgb(graphic);
        benchmark::ClobberMemory();
        const double s = Seconds(t0);
        convertWork += ProcessSeconds() - w0;
        convert += s;
        state.SetIterationTime(s);
    }
    state.counters["x_decode"] = decode > 0 ? convert / decode : 0;
    state.counters["decode_ms"] = 1000 * decode / double(state.iterations());
    // The same ratio in processor time, summed over the threads of the conversion.
    state.counters["x_decode_cpu"] = decodeWork > 0 ? convertWork / decodeWork : 0;
}

void BM_ConvertWideGamutPhoto(benchmark::State& state) {
    RunAgainstDecode(state, WideGamutProfile());
}
BENCHMARK(BM_ConvertWideGamutPhoto)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5);

// A profile that is sRGB under another name is found out once and costs nothing afterwards.
void BM_ConvertSrgbTaggedPhoto(benchmark::State& state) {
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(srgb, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(srgb, bytes.data(), &size);
    cmsCloseProfile(srgb);
    RunAgainstDecode(state, bytes);
}
BENCHMARK(BM_ConvertSrgbTaggedPhoto)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
