// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/AvifCodec.h"

#include "core/Errors.h"
#include "formats/Animation.h"
#include "formats/ExifSegments.h"
#include "formats/Graphic.h"
#include "formats/LazyLibrary.h"
#include "formats/RasterImages.h"

#include <QImage>
#include <QThread>
#include <QTransform>
#include <algorithm>
#include <memory>
#include <optional>

#include <avif/avif.h>

namespace {

// The library's functions this reader calls, listed once: the table gets a member for each and
// binds it by its name.
#define AVIF_FUNCTIONS(X)                                                                          \
    X(avifCropRectConvertCleanApertureBox)                                                         \
    X(avifDecoderCreate)                                                                           \
    X(avifDecoderDestroy)                                                                          \
    X(avifDecoderNextImage)                                                                        \
    X(avifDecoderNthImage)                                                                         \
    X(avifDecoderParse)                                                                            \
    X(avifDecoderReset)                                                                            \
    X(avifDecoderSetIOMemory)                                                                      \
    X(avifImageYUVToRGB)                                                                           \
    X(avifRGBImageSetDefaults)                                                                     \
    X(avifResultToString)

struct TAvifApi {
    AVIF_FUNCTIONS(TAVELUNE_LAZY_MEMBER)
};

const TAvifApi& Avif() {
    static const std::optional<TAvifApi> loaded = []() -> std::optional<TAvifApi> {
        TAvifApi api;
        const TLazyLibrary library(TAVELUNE_AVIF_SONAME);
        const bool ok = library.Loaded() AVIF_FUNCTIONS(TAVELUNE_LAZY_BIND);
        return ok ? std::optional(api) : std::nullopt;
    }();
    if (!loaded) throw ETaveluneError("AVIF: the decoder library is missing");
    return *loaded;
}

// More frames than this is no picture anyone made; the library stops there.
constexpr uint32_t kMaxAvifFrames = 100000;

[[noreturn]] void Fail(const char* what, avifResult result = AVIF_RESULT_OK) {
    std::string text = std::string("AVIF: ") + what;
    if (result != AVIF_RESULT_OK) text += std::string(": ") + Avif().avifResultToString(result);
    throw ETaveluneError(text);
}

struct TDecoderDeleter {
    void operator()(avifDecoder* d) const { Avif().avifDecoderDestroy(d); }
};
using TDecoderPtr = std::unique_ptr<avifDecoder, TDecoderDeleter>;

// A parsed file: the container read, sizes checked, nothing decoded yet. The bytes must
// outlive the decoder.
TDecoderPtr OpenDecoder(TBytes data) {
    TDecoderPtr decoder(Avif().avifDecoderCreate());
    if (!decoder) throw std::bad_alloc();
    avifDecoder* d = decoder.get();
    d->maxThreads = std::max(1, QThread::idealThreadCount());
    d->imageSizeLimit = uint32_t(std::min<int64_t>(kMaxImagePixels, AVIF_DEFAULT_IMAGE_SIZE_LIMIT));
    d->imageDimensionLimit = AVIF_DEFAULT_IMAGE_DIMENSION_LIMIT;
    d->imageCountLimit = kMaxAvifFrames;
    // Files of common writers miss boxes the strict reading wants; browsers show them.
    d->strictFlags = AVIF_STRICT_DISABLED;
    avifResult r = Avif().avifDecoderSetIOMemory(d, data.data(), data.size());
    if (r != AVIF_RESULT_OK) Fail("cannot read", r);
    r = Avif().avifDecoderParse(d);
    if (r != AVIF_RESULT_OK) Fail("bad file", r);
    CheckImageSize(d->image->width, d->image->height);
    if (d->image->width == 0 || d->image->height == 0) Fail("empty picture");
    if (d->imageCount < 1) Fail("no picture");
    return decoder;
}

// The container's clean aperture, then its rotation (anti-clockwise quarter turns), then its
// mirror, in that order.
QImage Transformed(QImage image, const avifImage& source) {
    const QImage::Format format = image.format();
    if (source.transformFlags & AVIF_TRANSFORM_CLAP) {
        avifCropRect rect{};
        avifDiagnostics diag{};
        avifCleanApertureBox clap = source.clap;
        if (Avif().avifCropRectConvertCleanApertureBox(&rect, &clap, source.width, source.height,
                                                       source.yuvFormat, &diag))
            image = image.copy(int(rect.x), int(rect.y), int(rect.width), int(rect.height));
    }
    if ((source.transformFlags & AVIF_TRANSFORM_IROT) && source.irot.angle % 4 != 0)
        image = image.transformed(QTransform().rotate(-90.0 * (source.irot.angle % 4)));
    if (source.transformFlags & AVIF_TRANSFORM_IMIR)
        image = image.mirrored(source.imir.mode == 1, source.imir.mode == 0);
    if (image.isNull()) throw std::bad_alloc();
    if (image.format() != format) image.convertTo(format);
    return image;
}

// The decoder's current picture in the program's form.
TBitmap CurrentPicture(const avifDecoder& decoder) {
    const avifImage& image = *decoder.image;
    CheckImageSize(image.width, image.height);
    const bool alpha = image.alphaPlane != nullptr;
    QImage out = NewCheckedImage(int(image.width), int(image.height),
                                 alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    avifRGBImage rgb;
    Avif().avifRGBImageSetDefaults(&rgb, &image);
    rgb.depth = 8;
    rgb.format = alpha ? AVIF_RGB_FORMAT_BGRA : AVIF_RGB_FORMAT_BGR;
    rgb.alphaPremultiplied = AVIF_FALSE;
    rgb.pixels = out.bits();
    rgb.rowBytes = uint32_t(out.bytesPerLine());
    const avifResult r = Avif().avifImageYUVToRGB(&image, &rgb);
    if (r != AVIF_RESULT_OK) Fail("cannot convert", r);
    out = Transformed(std::move(out), image);
    if (alpha) return PictureFromArgb(std::move(out));
    TBitmap picture(std::move(out));
    picture.SetFoundBitDepth(24);
    return picture;
}

int DelayOf(const avifDecoder& decoder) {
    const double ms = decoder.imageTiming.duration * 1000.0;
    return FrameDelay(ms > 0 && ms < 1e9 ? int64_t(ms + 0.5) : 0);
}

QByteArray ExifOf(const avifImage& image) {
    return ExifBlockFromPayload(image.exif.data, image.exif.size);
}

class TAvifFrames final : public IFrameSource {
public:
    explicit TAvifFrames(QByteArray bytes)
        : m_bytes(std::move(bytes)),
          m_decoder(OpenDecoder(
              {reinterpret_cast<const uint8_t*>(m_bytes.constData()), size_t(m_bytes.size())})) {}

    int FrameCount() const override { return m_decoder->imageCount; }
    // The sequence's edit list tells repetitions only to newer library versions.
    int LoopCount() const override { return 0; }
    QSize CanvasSize() const override {
        return QSize(int(m_decoder->image->width), int(m_decoder->image->height));
    }

    TAnimationFrame NextFrame() override {
        avifResult r = Avif().avifDecoderNextImage(m_decoder.get());
        if (r == AVIF_RESULT_NO_IMAGES_REMAINING) {
            Rewind();
            r = Avif().avifDecoderNextImage(m_decoder.get());
        }
        if (r != AVIF_RESULT_OK) Fail("bad frame", r);
        return Frame();
    }

    // Decodes from the key frame before index rather than from the start.
    void Seek(int index) {
        const avifResult r = Avif().avifDecoderNthImage(m_decoder.get(), uint32_t(index));
        if (r != AVIF_RESULT_OK) Fail("bad frame", r);
    }

    void Rewind() override {
        const avifResult r = Avif().avifDecoderReset(m_decoder.get());
        if (r != AVIF_RESULT_OK) Fail("cannot rewind", r);
    }

    const avifDecoder& Decoder() const { return *m_decoder; }

private:
    TAnimationFrame Frame() {
        TAnimationFrame frame;
        frame.Picture = CurrentPicture(*m_decoder);
        frame.Picture.SetPixelFormat(TPixelFormat::pf32bit);
        frame.Delay = DelayOf(*m_decoder);
        frame.Index = m_decoder->imageIndex;
        return frame;
    }

    QByteArray m_bytes; // the decoder reads from these
    TDecoderPtr m_decoder;
};

std::unique_ptr<IFrameSource> OpenAvifAnimation(QByteArray bytes) {
    return std::make_unique<TAvifFrames>(std::move(bytes));
}

void ReadAvif(const TReadInput& input, TGraphic& graphic) {
    TAvifFrames source(QByteArray::fromRawData(reinterpret_cast<const char*>(input.Bytes.data()),
                                               qsizetype(input.Bytes.size())));
    const avifDecoder& d = source.Decoder();
    graphic.FileWidth = int(d.image->width);
    graphic.FileHeight = int(d.image->height);
    graphic.ImageCount = d.imageCount;
    graphic.Animated = d.imageCount > 1;
    graphic.IccProfile =
        QByteArray(reinterpret_cast<const char*>(d.image->icc.data), qsizetype(d.image->icc.size));
    graphic.ExifBlock = ExifOf(*d.image);
    if (input.ImageIndex < 0 || input.ImageIndex >= d.imageCount) Fail("no such picture");
    source.Seek(input.ImageIndex);
    graphic.Picture = CurrentPicture(d);
    if (graphic.Animated) graphic.FrameDelay = DelayOf(d);
}

QByteArray AvifExif(std::span<const uint8_t> bytes) {
    const TDecoderPtr decoder = OpenDecoder(bytes);
    return ExifOf(*decoder->image);
}

} // namespace

const TGraphicClass gcAvif{"TAvifImage", ReadAvif, nullptr,          false,
                           AvifExif,     true,     OpenAvifAnimation};

TBitmap DecodeAvif(TBytes data) {
    TDecoderPtr decoder = OpenDecoder(data);
    const avifResult r = Avif().avifDecoderNextImage(decoder.get());
    if (r != AVIF_RESULT_OK) Fail("bad image data", r);
    return CurrentPicture(*decoder);
}
