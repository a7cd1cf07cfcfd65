// SPDX-License-Identifier: GPL-2.0-or-later
// Colour management of a 6000 x 4000 photo: the conversion from its embedded profile to sRGB
// next to the JPEG decoding of the same file, both in each iteration. x_decode is the ratio of
// the two; the goal is at most 1.0. The profiles are Adobe RGB (1998) like ones made here.
#include "BenchUtil.h"
#include "formats/ColourManagement.h"
#include "formats/JpegUtils.h"

#include <lcms2.h>

namespace {

constexpr int kW = 6000;
constexpr int kH = 4000;

QByteArray SavedProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

QByteArray WideGamutProfile(double gamma = 2.2) {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    return SavedProfile(profile);
}

const std::vector<uint8_t>& PhotoJpeg() {
    static const std::vector<uint8_t> bytes = EncodeJpeg(BenchImage(kW, kH), 90, false);
    return bytes;
}

// Decodes the photo, then times its conversion from the profile profileOf(iteration) gives.
template <typename ProfileOf>
void RunAgainstDecode(benchmark::State& state, ProfileOf&& profileOf) {
    TGraphic graphic(gcJpeg);
    int iteration = 0;
    RunAgainstBaseline(
        state, "decode", [&] { graphic.Picture = DecodeJpeg(PhotoJpeg()); },
        [&] {
            graphic.IccProfile = profileOf(iteration++);
            ConvertToSrgb(graphic);
        });
}

// The common case: further photos from the same camera, whose profile was met before.
void BM_ConvertWideGamutPhoto(benchmark::State& state) {
    const QByteArray profile = WideGamutProfile();
    RunAgainstDecode(state, [&](int) { return profile; });
}
BENCHMARK(BM_ConvertWideGamutPhoto)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5);

// Every photo with a profile not met before: what is made per profile counts in each iteration.
void BM_ConvertPhotoOfANewProfile(benchmark::State& state) {
    std::vector<QByteArray> profiles; // more than are kept, taken in turn
    for (int i = 0; i < 32; ++i)
        profiles.push_back(WideGamutProfile(2.2 + 0.01 * i));
    RunAgainstDecode(state, [&](int i) { return profiles[size_t(i) % profiles.size()]; });
}
BENCHMARK(BM_ConvertPhotoOfANewProfile)->UseManualTime()->Unit(benchmark::kMillisecond);

// A profile that is sRGB under another name is found out once and costs nothing afterwards. A
// fixed count of iterations: the time of a conversion that does nothing would never add up to
// the least time a benchmark runs for.
void BM_ConvertSrgbTaggedPhoto(benchmark::State& state) {
    const QByteArray profile = SavedProfile(cmsCreate_sRGBProfile());
    RunAgainstDecode(state, [&](int) { return profile; });
}
BENCHMARK(BM_ConvertSrgbTaggedPhoto)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace
