// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/ColourManagement.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <lcms2.h>

// One lcms2 context for the process, made on first use with a silent error handler and never
// changed after, and a small cache of transforms keyed by the profile's bytes and the pixel
// layout, guarded by a mutex. A transform is shared by the threads that use it: lcms2 keeps no
// state of a call inside it.

namespace {

enum class TLayout {
    Bgr,          // 24-bit pictures
    Bgra,         // 32-bit pictures and palettes, alpha copied as it is
    Grey,         // grey pictures: a table of 256 levels
    Cmyk,         // ink samples, 0 = no ink
    CmykInverted, // ink samples, 255 = no ink
};

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr cmsUInt32Number kType32 = TYPE_BGRA_8; // QImage::Format_ARGB32 in memory
#else
constexpr cmsUInt32Number kType32 = TYPE_ARGB_8;
#endif

// The lcms2 pixel types in and out, and the colour space a profile must have, per layout.
struct TLayoutTypes {
    cmsUInt32Number In, Out;
    cmsColorSpaceSignature Space;
};
constexpr TLayoutTypes kLayoutTypes[] = {
    {TYPE_BGR_8, TYPE_BGR_8, cmsSigRgbData},       // Bgr
    {kType32, kType32, cmsSigRgbData},             // Bgra
    {TYPE_GRAY_8, TYPE_GRAY_8, cmsSigGrayData},    // Grey
    {TYPE_CMYK_8, TYPE_BGR_8, cmsSigCmykData},     // Cmyk
    {TYPE_CMYK_8_REV, TYPE_BGR_8, cmsSigCmykData}, // CmykInverted
};

const TLayoutTypes& TypesOf(TLayout layout) {
    return kLayoutTypes[size_t(layout)];
}

void SilentErrors(cmsContext, cmsUInt32Number, const char*) {}

struct TProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using TProfilePtr = std::unique_ptr<void, TProfileCloser>;

struct TTransformDeleter {
    void operator()(void* t) const { cmsDeleteTransform(t); }
};
using TTransformPtr = std::unique_ptr<void, TTransformDeleter>;

struct TToneCurveDeleter {
    void operator()(cmsToneCurve* c) const { cmsFreeToneCurve(c); }
};

// What one profile does to one layout. No transform: the profile cannot convert it.
struct TConversion {
    TTransformPtr Transform;
    bool Identity = false;           // every sampled colour stays within one level
    std::array<uint8_t, 256> Grey{}; // TLayout::Grey: the sRGB level of each stored level
};
using TConversionPtr = std::shared_ptr<const TConversion>;

// Within one level on a grid of 33 levels per channel: the profile is sRGB under another name,
// and converting would only cost time.
bool NearIdentity(void* transform, TLayout layout) {
    std::array<int, 33> levels{};
    for (int i = 0; i < 32; ++i)
        levels[size_t(i)] = i * 8;
    levels[32] = 255;
    const size_t size = layout == TLayout::Bgra ? 4 : 3;
    std::vector<uint8_t> in, out(33 * 33 * 33 * size);
    in.reserve(out.size());
    for (int a : levels)
        for (int b : levels)
            for (int c : levels) {
                in.insert(in.end(), {uint8_t(a), uint8_t(b), uint8_t(c)});
                if (size == 4) in.push_back(255);
            }
    cmsDoTransform(transform, in.data(), out.data(), cmsUInt32Number(33 * 33 * 33));
    for (size_t i = 0; i < in.size(); ++i)
        if (std::abs(int(in[i]) - int(out[i])) > 1) return false;
    return true;
}

// The size the header gives is there: a cut profile is not used, even where lcms2 would.
bool WholeProfile(const QByteArray& bytes) {
    if (bytes.size() < 128 || bytes.size() > kMaxIccProfileSize) return false;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const uint32_t declared =
        uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
    return declared >= 128 && declared <= uint32_t(bytes.size());
}

class TColourEngine {
public:
    static TColourEngine& Instance() {
        static TColourEngine engine;
        return engine;
    }

    TConversionPtr Conversion(const QByteArray& profile, TLayout layout) {
        if (TConversionPtr cached = Cached(profile, layout)) return cached;
        // Built outside the lock: a large table takes a while, and other pictures may convert
        // meanwhile. Two threads that meet a new profile at once both build it; one is kept.
        TConversionPtr made = Build(profile, layout);
        const std::lock_guard lock(m_mutex);
        if (TConversionPtr cached = Find(profile, layout)) return cached;
        if (m_entries.size() >= kCacheSize) m_entries.erase(m_entries.begin());
        m_entries.push_back({profile, layout, made});
        return made;
    }

    QString Description(const QByteArray& bytes) const {
        const TProfilePtr profile = Open(bytes);
        if (!profile) return {};
        constexpr cmsUInt32Number kMaxChars = 512;
        const cmsUInt32Number needed =
            cmsGetProfileInfo(profile.get(), cmsInfoDescription, "en", "US", nullptr, 0);
        if (needed == 0) return {};
        std::vector<wchar_t> text(kMaxChars + 1, L'\0');
        cmsGetProfileInfo(profile.get(), cmsInfoDescription, "en", "US", text.data(),
                          cmsUInt32Number(kMaxChars * sizeof(wchar_t)));
        text.back() = L'\0';
        QString description = QString::fromWCharArray(text.data());
        // The text ends up in lines and tab-separated fields.
        for (QChar& c : description)
            if (c.category() == QChar::Other_Control) c = u' ';
        return description.simplified();
    }

    TColourEngine(const TColourEngine&) = delete;
    TColourEngine& operator=(const TColourEngine&) = delete;

private:
    static constexpr size_t kCacheSize = 8;

    struct TEntry {
        QByteArray Profile;
        TLayout Layout;
        TConversionPtr Conversion;
    };

    TConversionPtr Cached(const QByteArray& profile, TLayout layout) {
        const std::lock_guard lock(m_mutex);
        return Find(profile, layout);
    }

    // Under the lock: the entry, moved to the end as the most recently used.
    TConversionPtr Find(const QByteArray& profile, TLayout layout) {
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it->Layout == layout && it->Profile == profile) {
                std::rotate(it, it + 1, m_entries.end());
                return m_entries.back().Conversion;
            }
        return nullptr;
    }

    TColourEngine() : m_context(cmsCreateContext(nullptr, nullptr)) {
        if (m_context) cmsSetLogErrorHandlerTHR(m_context, SilentErrors);
    }
    ~TColourEngine() {
        m_entries.clear(); // the transforms belong to the context
        if (m_context) cmsDeleteContext(m_context);
    }

    TProfilePtr Open(const QByteArray& bytes) const {
        if (!m_context || !WholeProfile(bytes)) return nullptr;
        return TProfilePtr(
            cmsOpenProfileFromMemTHR(m_context, bytes.constData(), cmsUInt32Number(bytes.size())));
    }

    // Grey in sRGB's tone curve and white point: grey pictures stay grey.
    TProfilePtr SrgbGrey() const {
        const cmsFloat64Number srgbCurve[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
        const std::unique_ptr<cmsToneCurve, TToneCurveDeleter> curve(
            cmsBuildParametricToneCurve(m_context, 4, srgbCurve));
        if (!curve) return nullptr;
        const cmsCIExyY d65{0.3127, 0.3290, 1.0};
        return TProfilePtr(cmsCreateGrayProfileTHR(m_context, &d65, curve.get()));
    }

    TConversionPtr Build(const QByteArray& bytes, TLayout layout) const {
        auto made = std::make_shared<TConversion>();
        const TProfilePtr in = Open(bytes);
        // Signatures are compared as numbers: a file may hold any value there.
        if (!in || uint32_t(cmsGetColorSpace(in.get())) != uint32_t(TypesOf(layout).Space))
            return made;
        // Device links, abstract and named-colour profiles do not describe pixels.
        const uint32_t cls = cmsGetDeviceClass(in.get());
        if (cls == cmsSigLinkClass || cls == cmsSigAbstractClass || cls == cmsSigNamedColorClass)
            return made;
        const TProfilePtr out(layout == TLayout::Grey
                                  ? SrgbGrey()
                                  : TProfilePtr(cmsCreate_sRGBProfileTHR(m_context)));
        if (!out) return made;
        cmsUInt32Number flags = cmsFLAGS_BLACKPOINTCOMPENSATION;
        if (layout == TLayout::Bgra) flags |= cmsFLAGS_COPY_ALPHA;
        // Four inks on a coarse grid stray by many levels near the edges of the gamut.
        if (TypesOf(layout).Space == cmsSigCmykData) flags |= cmsFLAGS_HIGHRESPRECALC;
        made->Transform.reset(cmsCreateTransformTHR(m_context, in.get(), TypesOf(layout).In,
                                                    out.get(), TypesOf(layout).Out,
                                                    INTENT_PERCEPTUAL, flags));
        if (!made->Transform) return made;
        if (layout == TLayout::Grey) {
            std::array<uint8_t, 256> levels{};
            for (size_t i = 0; i < 256; ++i)
                levels[i] = uint8_t(i);
            cmsDoTransform(made->Transform.get(), levels.data(), made->Grey.data(), 256);
            made->Identity = std::equal(levels.begin(), levels.end(), made->Grey.begin(),
                                        [](int a, int b) { return std::abs(a - b) <= 1; });
        } else if (layout == TLayout::Bgr || layout == TLayout::Bgra) {
            made->Identity = NearIdentity(made->Transform.get(), layout);
        }
        return made;
    }

    cmsContext m_context;
    std::mutex m_mutex;
    std::vector<TEntry> m_entries;
};

// Runs work(first row, end row) over bands of the rows, on several cores for large pictures.
template <typename TWork>
void ForBands(int width, int height, const TWork& work) {
    constexpr int64_t kPixelsPerBand = int64_t(1) << 20;
    const int64_t pixels = int64_t(width) * height;
    const int64_t cores = std::clamp<int64_t>(std::thread::hardware_concurrency(), 1, 8);
    const int bands =
        int(std::clamp<int64_t>(pixels / kPixelsPerBand, 1, std::min<int64_t>(cores, height)));
    const auto band = [&](int i) {
        work(int(int64_t(height) * i / bands), int(int64_t(height) * (i + 1) / bands));
    };
    std::vector<std::jthread> helpers;
    for (int i = 1; i < bands; ++i) {
        try {
            helpers.emplace_back(band, i);
        } catch (...) {
            band(i); // no thread to be had: this one does it
        }
    }
    band(0);
}

// Runs the transform over the rows. Input and output may be the same rows.
void TransformRows(void* transform, const uint8_t* in, ptrdiff_t inStride, uint8_t* out,
                   ptrdiff_t outStride, int width, int height) {
    ForBands(width, height, [&](int y0, int y1) {
        cmsDoTransformLineStride(transform, in + y0 * inStride, out + y0 * outStride,
                                 cmsUInt32Number(width), cmsUInt32Number(y1 - y0),
                                 cmsUInt32Number(inStride), cmsUInt32Number(outStride), 0, 0);
    });
}

// What the transform gives each of the 2^24 colours of a 24-bit picture, three bytes (blue,
// green, red) at (red << 16 | green << 8 | blue). Large pictures are converted by looking their
// pixels up in it: the transform's own results, at a fraction of its cost per pixel. Kept for
// the last profile only, as it takes 48 MiB. It is filled as pictures need it, by parts of 4096
// colours (one red, 16 greens): a photo meets far fewer colours than there are, and the first
// photo of a profile then pays only for its own. Every part is made once, by the band that meets
// it first; others that need it meanwhile wait for it.
class TColourTable {
public:
    TColourTable(const QByteArray& profile, TConversionPtr conversion)
        : Profile(profile), m_conversion(std::move(conversion)),
          m_bgr(new uint8_t[size_t(3) << 24]), m_state(new std::atomic<uint8_t>[kParts]) {
        for (size_t i = 0; i < kParts; ++i)
            m_state[i].store(kEmpty, std::memory_order_relaxed);
    }

    const uint8_t* Bgr() const { return m_bgr.get(); }

    // The entries of the colour's part are there once this returns.
    void Need(uint32_t colour) {
        std::atomic<uint8_t>& state = m_state[colour >> kPartBits];
        if (state.load(std::memory_order_acquire) == kReady) return;
        uint8_t expected = kEmpty;
        if (state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) {
            Fill(colour >> kPartBits);
            state.store(kReady, std::memory_order_release);
            return;
        }
        while (state.load(std::memory_order_acquire) != kReady)
            std::this_thread::yield();
    }

    const QByteArray Profile;

private:
    static constexpr uint32_t kPartBits = 12;
    static constexpr size_t kParts = size_t(1) << (24 - kPartBits);
    enum : uint8_t { kEmpty, kFilling, kReady };

    void Fill(uint32_t part) {
        const uint32_t first = part << kPartBits;
        uint8_t* const start = m_bgr.get() + size_t(3) * first;
        uint8_t* p = start;
        for (uint32_t colour = first; colour < first + (1u << kPartBits); ++colour, p += 3) {
            p[0] = uint8_t(colour);
            p[1] = uint8_t(colour >> 8);
            p[2] = uint8_t(colour >> 16);
        }
        cmsDoTransform(m_conversion->Transform.get(), start, start, 1u << kPartBits);
    }

    TConversionPtr m_conversion; // its transform fills the parts
    std::unique_ptr<uint8_t[]> m_bgr;
    std::unique_ptr<std::atomic<uint8_t>[]> m_state;
};
using TColourTablePtr = std::shared_ptr<TColourTable>;

constexpr int64_t kTablePixels = int64_t(1) << 22; // pictures from 4 megapixels on

TColourTablePtr ColourTable(const QByteArray& profile, const TConversionPtr& bgrConversion) {
    static std::mutex mutex;
    static TColourTablePtr last;
    const std::lock_guard lock(mutex);
    if (!last || last->Profile != profile)
        last = std::make_shared<TColourTable>(profile, bgrConversion);
    return last;
}

const uint8_t* TableEntry(const uint8_t* bgr, const uint8_t* pixel) {
    return bgr + 3 * (size_t(pixel[2]) << 16 | size_t(pixel[1]) << 8 | pixel[0]);
}

// The entries of a row lie all over the 48 MiB and mostly come from memory: the entry of a pixel
// further on is asked for while this one's is awaited. The first row and the stride are taken
// before the bands start, as the writable accessor of a QImage line counts a detach, which
// threads must not do at once.
void LookUpRows(TColourTable& table, TBitmap& picture) {
    constexpr ptrdiff_t kAhead = 3 * 128;
    const uint8_t* bgr = table.Bgr();
    uint8_t* const first = picture.ScanLine(0);
    const ptrdiff_t stride = picture.Stride();
    const ptrdiff_t rowBytes = 3 * ptrdiff_t(picture.Width());
    ForBands(picture.Width(), picture.Height(), [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* p = first + y * stride;
            uint8_t* const end = p + rowBytes;
            for (; p != end; p += 3) {
                if (end - p > kAhead) __builtin_prefetch(TableEntry(bgr, p + kAhead));
                table.Need(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
                const uint8_t* t = TableEntry(bgr, p);
                p[0] = t[0];
                p[1] = t[1];
                p[2] = t[2];
            }
        }
    });
}

bool GreyPixels(const QImage& image, int bytesPerPixel) {
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t* p = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x, p += bytesPerPixel)
            if (p[0] != p[1] || p[1] != p[2]) return false;
    }
    return true;
}

bool GreyColours(const QList<QRgb>& colours) {
    return std::all_of(colours.begin(), colours.end(),
                       [](QRgb c) { return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c); });
}

QRgb ConvertColour(const TConversion& c, TLayout layout, QRgb colour) {
    if (layout == TLayout::Grey) {
        const uint8_t v = c.Grey[size_t(qRed(colour))];
        return qRgba(v, v, v, qAlpha(colour));
    }
    if (layout == TLayout::Bgra) { // a QRgb in memory is a pixel of QImage::Format_ARGB32
        QRgb out = colour;
        cmsDoTransform(c.Transform.get(), &colour, &out, 1);
        return out;
    }
    uint8_t pixel[3] = {uint8_t(qBlue(colour)), uint8_t(qGreen(colour)), uint8_t(qRed(colour))};
    cmsDoTransform(c.Transform.get(), pixel, pixel, 1);
    return qRgba(pixel[2], pixel[1], pixel[0], qAlpha(colour));
}

TColor ConvertKey(const TConversion& c, TLayout layout, TColor key) {
    const TTriple t = ColorToTriple(key);
    const QRgb out = ConvertColour(c, layout, qRgb(t.r, t.g, t.b));
    return RGBColor(uint8_t(qRed(out)), uint8_t(qGreen(out)), uint8_t(qBlue(out)));
}

void ConvertCmyk(TGraphic& graphic, const TCmykSamples& cmyk) {
    TBitmap& picture = graphic.Picture;
    if (!picture.Is24Bit() || cmyk.Width != picture.Width() || cmyk.Height != picture.Height() ||
        cmyk.Samples.size() != size_t(cmyk.Width) * size_t(cmyk.Height) * 4)
        return;
    const TLayout layout = cmyk.Inverted ? TLayout::CmykInverted : TLayout::Cmyk;
    const TConversionPtr c = TColourEngine::Instance().Conversion(graphic.IccProfile, layout);
    if (!c->Transform) return;
    TransformRows(c->Transform.get(), cmyk.Samples.data(), ptrdiff_t(cmyk.Width) * 4,
                  picture.ScanLine(0), picture.Stride(), cmyk.Width, cmyk.Height);
}

// The palette of a palette picture.
void ConvertPalette(TBitmap& picture, const TConversion& c, TLayout layout) {
    QList<QRgb> colours = picture.Image().colorTable();
    for (QRgb& colour : colours)
        colour = ConvertColour(c, layout, colour);
    picture.Image().setColorTable(colours);
}

void ConvertGreyRows(TBitmap& picture, const TConversion& c, int bytesPerPixel) {
    const ptrdiff_t rowBytes = ptrdiff_t(bytesPerPixel) * picture.Width();
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* p = picture.ScanLine(y);
        for (uint8_t* const end = p + rowBytes; p != end; p += bytesPerPixel)
            p[0] = p[1] = p[2] = c.Grey[p[0]];
    }
}

void ConvertPicture(TGraphic& graphic, uint32_t space) {
    TBitmap& picture = graphic.Picture;
    const QImage::Format format = picture.Image().format();
    const bool palette = format == QImage::Format_Indexed8 || format == QImage::Format_Mono ||
                         format == QImage::Format_MonoLSB;
    const bool grey = space == cmsSigGrayData;
    const bool withAlpha = !palette && format != QImage::Format_BGR888 &&
                           (format == QImage::Format_ARGB32 || picture.Image().hasAlphaChannel());
    const TLayout layout = grey                   ? TLayout::Grey
                           : palette || withAlpha ? TLayout::Bgra
                                                  : TLayout::Bgr;
    const TConversionPtr c = TColourEngine::Instance().Conversion(graphic.IccProfile, layout);
    if (!c->Transform || c->Identity) return;

    if (palette) {
        if (grey && !GreyColours(picture.Image().colorTable())) return;
        ConvertPalette(picture, *c, layout);
    } else {
        // Other layouts a reader may hand over become one of the two this converts.
        picture.SetPixelFormat(withAlpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
        const int bytesPerPixel = withAlpha ? 4 : 3;
        if (grey) {
            if (!GreyPixels(picture.Image(), bytesPerPixel)) return;
            ConvertGreyRows(picture, *c, bytesPerPixel);
        } else if (layout == TLayout::Bgr &&
                   int64_t(picture.Width()) * picture.Height() >= kTablePixels) {
            LookUpRows(*ColourTable(graphic.IccProfile, c), picture);
        } else {
            TransformRows(c->Transform.get(), picture.ScanLine(0), picture.Stride(),
                          picture.ScanLine(0), picture.Stride(), picture.Width(), picture.Height());
        }
    }
    if (picture.Transparent())
        picture.SetTransparentColor(ConvertKey(*c, layout, picture.TransparentColor()));
}

// The colour space the profile's header names, or 0 when it is no profile.
uint32_t HeaderSpace(const QByteArray& profile) {
    if (profile.size() < 128) return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(profile.constData()) + 16;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

} // namespace

void ConvertToSrgb(TGraphic& graphic) {
    const TCmykSamples cmyk = std::move(graphic.Cmyk);
    graphic.Cmyk = TCmykSamples{};
    if (graphic.IccProfile.isEmpty() || graphic.IccProfile.size() > kMaxIccProfileSize ||
        graphic.Picture.Empty())
        return;
    if (!cmyk.Empty()) {
        ConvertCmyk(graphic, cmyk);
        return;
    }
    const uint32_t space = HeaderSpace(graphic.IccProfile);
    if (space == cmsSigRgbData || space == cmsSigGrayData) ConvertPicture(graphic, space);
}

QString IccProfileDescription(const QByteArray& profile) {
    return TColourEngine::Instance().Description(profile);
}
