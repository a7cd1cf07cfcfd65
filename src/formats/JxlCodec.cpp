// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/JxlCodec.h"

#include "core/Errors.h"
#include "formats/Animation.h"
#include "formats/ExifSegments.h"
#include "formats/Graphic.h"
#include "formats/LazyLibrary.h"
#include "formats/RasterImages.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <jxl/decode.h>
#include <jxl/thread_parallel_runner.h>

namespace {

// The library's functions this reader calls, listed once: the table gets a member for each and
// binds it by its name.
#define JXL_DECODER_FUNCTIONS(X)                                                                   \
    X(JxlDecoderCloseInput)                                                                        \
    X(JxlDecoderCreate)                                                                            \
    X(JxlDecoderDestroy)                                                                           \
    X(JxlDecoderGetBasicInfo)                                                                      \
    X(JxlDecoderGetBoxType)                                                                        \
    X(JxlDecoderGetColorAsEncodedProfile)                                                          \
    X(JxlDecoderGetColorAsICCProfile)                                                              \
    X(JxlDecoderGetFrameHeader)                                                                    \
    X(JxlDecoderGetICCProfileSize)                                                                 \
    X(JxlDecoderImageOutBufferSize)                                                                \
    X(JxlDecoderProcessInput)                                                                      \
    X(JxlDecoderReleaseBoxBuffer)                                                                  \
    X(JxlDecoderRewind)                                                                            \
    X(JxlDecoderSetBoxBuffer)                                                                      \
    X(JxlDecoderSetDecompressBoxes)                                                                \
    X(JxlDecoderSetImageOutBuffer)                                                                 \
    X(JxlDecoderSetInput)                                                                          \
    X(JxlDecoderSetParallelRunner)                                                                 \
    X(JxlDecoderSetUnpremultiplyAlpha)                                                             \
    X(JxlDecoderSkipFrames)                                                                        \
    X(JxlDecoderSubscribeEvents)
#define JXL_THREAD_FUNCTIONS(X)                                                                    \
    X(JxlThreadParallelRunner)                                                                     \
    X(JxlThreadParallelRunnerCreate)                                                               \
    X(JxlThreadParallelRunnerDefaultNumWorkerThreads)                                              \
    X(JxlThreadParallelRunnerDestroy)

struct TJxlApi {
    JXL_DECODER_FUNCTIONS(TAVELUNE_LAZY_MEMBER)
    JXL_THREAD_FUNCTIONS(TAVELUNE_LAZY_MEMBER)
};

const TJxlApi& Jxl() {
    static const std::optional<TJxlApi> loaded = []() -> std::optional<TJxlApi> {
        TJxlApi api;
        bool ok = false;
        {
            const TLazyLibrary library(TAVELUNE_JXL_SONAME);
            ok = library.Loaded() JXL_DECODER_FUNCTIONS(TAVELUNE_LAZY_BIND);
        }
        if (ok) {
            const TLazyLibrary library(TAVELUNE_JXL_THREADS_SONAME);
            ok = library.Loaded() JXL_THREAD_FUNCTIONS(TAVELUNE_LAZY_BIND);
        }
        return ok ? std::optional(api) : std::nullopt;
    }();
    if (!loaded) throw ETaveluneError("JPEG XL: the decoder library is missing");
    return *loaded;
}

// The largest EXIF box kept; larger ones are no camera's.
constexpr size_t kMaxExifBox = size_t(16) << 20;

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("JPEG XL: ") + what);
}

struct TDecoderDeleter {
    void operator()(JxlDecoder* d) const { Jxl().JxlDecoderDestroy(d); }
};
struct TRunnerDeleter {
    void operator()(void* r) const { Jxl().JxlThreadParallelRunnerDestroy(r); }
};

// One pass of the decoder over the whole file, with the events asked for.
class TJxlPass {
public:
    TJxlPass(TBytes data, int events, bool threads) : m_data(data), m_events(events) {
        m_decoder.reset(Jxl().JxlDecoderCreate(nullptr));
        if (!m_decoder) throw std::bad_alloc();
        if (threads) {
            m_runner.reset(Jxl().JxlThreadParallelRunnerCreate(
                nullptr, Jxl().JxlThreadParallelRunnerDefaultNumWorkerThreads()));
            if (!m_runner ||
                Jxl().JxlDecoderSetParallelRunner(m_decoder.get(), Jxl().JxlThreadParallelRunner,
                                                  m_runner.get()) != JXL_DEC_SUCCESS)
                Fail("no threads");
        }
        Start();
    }

    // Back to the start of the file, same events.
    void Start() {
        JxlDecoder* d = m_decoder.get();
        Jxl().JxlDecoderRewind(d);
        if (Jxl().JxlDecoderSubscribeEvents(d, m_events) != JXL_DEC_SUCCESS ||
            Jxl().JxlDecoderSetUnpremultiplyAlpha(d, JXL_TRUE) != JXL_DEC_SUCCESS ||
            Jxl().JxlDecoderSetDecompressBoxes(d, JXL_TRUE) != JXL_DEC_SUCCESS ||
            Jxl().JxlDecoderSetInput(d, m_data.data(), m_data.size()) != JXL_DEC_SUCCESS)
            Fail("cannot start");
        Jxl().JxlDecoderCloseInput(d);
    }

    // The next event; the whole file is given, so needing more input means it is cut short.
    JxlDecoderStatus Next() {
        const JxlDecoderStatus s = Jxl().JxlDecoderProcessInput(m_decoder.get());
        if (s == JXL_DEC_ERROR) Fail("bad data");
        if (s == JXL_DEC_NEED_MORE_INPUT) Fail("truncated");
        return s;
    }

    JxlDecoder* Get() const { return m_decoder.get(); }

private:
    TBytes m_data;
    int m_events;
    std::unique_ptr<void, TRunnerDeleter> m_runner;
    std::unique_ptr<JxlDecoder, TDecoderDeleter> m_decoder;
};

struct THeader {
    JxlBasicInfo Info{};
    int Width = 0, Height = 0; // after the orientation
};

THeader HeaderOf(JxlDecoder* d) {
    THeader h;
    if (Jxl().JxlDecoderGetBasicInfo(d, &h.Info) != JXL_DEC_SUCCESS) Fail("no header");
    const bool turned = h.Info.orientation >= JXL_ORIENT_TRANSPOSE;
    CheckImageSize(h.Info.xsize, h.Info.ysize);
    if (h.Info.xsize == 0 || h.Info.ysize == 0) Fail("empty picture");
    h.Width = int(turned ? h.Info.ysize : h.Info.xsize);
    h.Height = int(turned ? h.Info.xsize : h.Info.ysize);
    return h;
}

int DelayOf(const JxlBasicInfo& info, const JxlFrameHeader& frame) {
    const JxlAnimationHeader& a = info.animation;
    if (!info.have_animation || a.tps_numerator == 0) return FrameDelay(0);
    return FrameDelay(int64_t(frame.duration) * 1000 * a.tps_denominator / a.tps_numerator);
}

// A gamma of 1/2.2 with sRGB's primaries is how PNG writers tag plain sRGB (gAMA and cHRM), and
// cjxl keeps that tag; browsers and our PNG reader take such files as sRGB, so this one does too.
bool IsSrgb(const JxlColorEncoding& c) {
    const bool srgbCurve =
        c.transfer_function == JXL_TRANSFER_FUNCTION_SRGB ||
        (c.transfer_function == JXL_TRANSFER_FUNCTION_GAMMA && std::abs(c.gamma - 1 / 2.2) < 1e-3);
    return c.color_space == JXL_COLOR_SPACE_RGB && c.white_point == JXL_WHITE_POINT_D65 &&
           c.primaries == JXL_PRIMARIES_SRGB && srgbCurve;
}

// The profile of the decoded samples, unless they are plain sRGB or grey.
QByteArray IccOf(JxlDecoder* d) {
    JxlColorEncoding encoding{};
    if (Jxl().JxlDecoderGetColorAsEncodedProfile(d, nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                                 &encoding) == JXL_DEC_SUCCESS &&
        (IsSrgb(encoding) || encoding.color_space == JXL_COLOR_SPACE_GRAY))
        return {};
    size_t size = 0;
    if (Jxl().JxlDecoderGetICCProfileSize(d, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) !=
            JXL_DEC_SUCCESS ||
        size == 0 || size > (size_t(64) << 20))
        return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (Jxl().JxlDecoderGetColorAsICCProfile(d, nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                             reinterpret_cast<uint8_t*>(icc.data()),
                                             size) != JXL_DEC_SUCCESS)
        return {};
    return icc;
}

// The output buffer of the frame being decoded: RGBA or RGB bytes, rows aligned as QImage's.
QImage OutputBuffer(JxlDecoder* d, const THeader& h) {
    const bool alpha = h.Info.alpha_bits > 0;
    const JxlPixelFormat format{alpha ? 4u : 3u, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 4};
    QImage image =
        NewCheckedImage(h.Width, h.Height, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    size_t needed = 0;
    if (Jxl().JxlDecoderImageOutBufferSize(d, &format, &needed) != JXL_DEC_SUCCESS ||
        needed > size_t(image.sizeInBytes()))
        Fail("unexpected frame size");
    if (Jxl().JxlDecoderSetImageOutBuffer(d, &format, image.bits(), size_t(image.sizeInBytes())) !=
        JXL_DEC_SUCCESS)
        Fail("cannot decode");
    return image;
}

TBitmap ToPicture(QImage image) {
    if (image.format() == QImage::Format_RGBA8888) {
        image.convertTo(QImage::Format_ARGB32);
        return PictureFromArgb(std::move(image));
    }
    image.convertTo(QImage::Format_BGR888);
    if (image.isNull()) throw std::bad_alloc();
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(24);
    return picture;
}

// The displayed frames of an animation, counted from their headers without decoding pixels.
int CountFrames(TBytes data) {
    TJxlPass pass(data, JXL_DEC_FRAME, false);
    int count = 0;
    for (;;) {
        const JxlDecoderStatus s = pass.Next();
        if (s == JXL_DEC_SUCCESS) return count;
        if (s == JXL_DEC_FRAME) ++count;
    }
}

QByteArray ExifOf(TBytes data) {
    TJxlPass pass(data, JXL_DEC_BOX, false);
    std::vector<uint8_t> box;
    bool inExif = false;
    const auto finish = [&]() -> QByteArray {
        const size_t left = Jxl().JxlDecoderReleaseBoxBuffer(pass.Get());
        return ExifBlockFromPayload(box.data(), box.size() - left);
    };
    for (;;) {
        JxlDecoderStatus s = JXL_DEC_ERROR;
        try {
            s = pass.Next();
        } catch (const ETaveluneError&) {
            if (inExif) return finish(); // damage after the box leaves the box whole
            throw;
        }
        if (inExif && (s == JXL_DEC_BOX || s == JXL_DEC_SUCCESS)) return finish();
        if (s == JXL_DEC_SUCCESS) return {};
        if (s == JXL_DEC_BOX) {
            JxlBoxType type;
            if (Jxl().JxlDecoderGetBoxType(pass.Get(), type, JXL_TRUE) != JXL_DEC_SUCCESS) continue;
            if (std::memcmp(type, "Exif", 4) != 0) continue;
            box.resize(std::min<size_t>(64 * 1024, kMaxExifBox));
            if (Jxl().JxlDecoderSetBoxBuffer(pass.Get(), box.data(), box.size()) != JXL_DEC_SUCCESS)
                return {};
            inExif = true;
        } else if (s == JXL_DEC_BOX_NEED_MORE_OUTPUT) {
            // The buffer set last ran to the end of box; what it did not fill is left over.
            const size_t used = box.size() - Jxl().JxlDecoderReleaseBoxBuffer(pass.Get());
            if (box.size() >= kMaxExifBox) return {};
            box.resize(std::min(box.size() * 2, kMaxExifBox));
            if (Jxl().JxlDecoderSetBoxBuffer(pass.Get(), box.data() + used, box.size() - used) !=
                JXL_DEC_SUCCESS)
                return {};
        }
    }
}

class TJxlFrames final : public IFrameSource {
public:
    explicit TJxlFrames(QByteArray bytes)
        : m_bytes(std::move(bytes)),
          m_data(reinterpret_cast<const uint8_t*>(m_bytes.constData()), size_t(m_bytes.size())),
          m_pass(m_data, JXL_DEC_BASIC_INFO | JXL_DEC_FRAME | JXL_DEC_FULL_IMAGE, true) {
        for (;;) {
            const JxlDecoderStatus s = m_pass.Next();
            if (s == JXL_DEC_BASIC_INFO) {
                m_header = HeaderOf(m_pass.Get());
                break;
            }
            if (s == JXL_DEC_SUCCESS) Fail("no header");
        }
        m_count = m_header.Info.have_animation ? CountFrames(m_data) : 1;
        if (m_count < 1) Fail("no frame");
    }

    int FrameCount() const override { return m_count; }
    int LoopCount() const override { return int(m_header.Info.animation.num_loops); }
    QSize CanvasSize() const override { return QSize(m_header.Width, m_header.Height); }

    TAnimationFrame NextFrame() override {
        if (m_next >= m_count) Rewind();
        TAnimationFrame frame;
        QImage buffer;
        for (;;) {
            const JxlDecoderStatus s = m_pass.Next();
            if (s == JXL_DEC_SUCCESS) Fail("fewer frames than counted");
            if (s == JXL_DEC_FRAME) {
                JxlFrameHeader header{};
                if (Jxl().JxlDecoderGetFrameHeader(m_pass.Get(), &header) != JXL_DEC_SUCCESS)
                    Fail("bad frame header");
                frame.Delay = DelayOf(m_header.Info, header);
            } else if (s == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
                buffer = OutputBuffer(m_pass.Get(), m_header);
            } else if (s == JXL_DEC_FULL_IMAGE) {
                if (buffer.isNull()) Fail("frame without pixels");
                break;
            }
        }
        buffer.convertTo(QImage::Format_ARGB32);
        frame.Picture = TBitmap(std::move(buffer));
        frame.Picture.SetFoundBitDepth(32);
        frame.Index = m_next++;
        return frame;
    }

    void Rewind() override {
        m_pass.Start();
        m_next = 0;
        // The header comes again first.
        while (m_pass.Next() != JXL_DEC_BASIC_INFO) {
        }
    }

private:
    QByteArray m_bytes;
    TBytes m_data;
    TJxlPass m_pass;
    THeader m_header;
    int m_count = 1;
    int m_next = 0;
};

std::unique_ptr<IFrameSource> OpenJxlAnimation(QByteArray bytes) {
    return std::make_unique<TJxlFrames>(std::move(bytes));
}

// One frame of the file, with what the header and the colour encoding tell.
struct TJxlRead {
    TBitmap Picture;
    THeader Header;
    QByteArray Icc;
    int Delay = 0;
};

TJxlRead ReadFrame(TBytes data, int index) {
    if (index < 0) Fail("no such frame");
    TJxlPass pass(data,
                  JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FRAME | JXL_DEC_FULL_IMAGE,
                  true);
    TJxlRead read;
    QImage buffer;
    bool headerSeen = false;
    for (;;) {
        const JxlDecoderStatus s = pass.Next();
        if (s == JXL_DEC_SUCCESS) Fail("no such frame");
        if (s == JXL_DEC_BASIC_INFO) {
            read.Header = HeaderOf(pass.Get());
            headerSeen = true;
            if (index > 0) Jxl().JxlDecoderSkipFrames(pass.Get(), size_t(index));
        } else if (s == JXL_DEC_COLOR_ENCODING) {
            read.Icc = IccOf(pass.Get());
        } else if (s == JXL_DEC_FRAME) {
            JxlFrameHeader header{};
            if (Jxl().JxlDecoderGetFrameHeader(pass.Get(), &header) != JXL_DEC_SUCCESS)
                Fail("bad frame header");
            read.Delay = DelayOf(read.Header.Info, header);
        } else if (s == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            if (!headerSeen) Fail("no header");
            buffer = OutputBuffer(pass.Get(), read.Header);
        } else if (s == JXL_DEC_FULL_IMAGE) {
            if (buffer.isNull()) Fail("frame without pixels");
            break;
        }
    }
    read.Picture = ToPicture(std::move(buffer));
    return read;
}

void ReadJxl(const TReadInput& input, TGraphic& graphic) {
    TJxlRead read = ReadFrame(input.Bytes, input.ImageIndex);
    const JxlBasicInfo& info = read.Header.Info;
    graphic.FileWidth = read.Header.Width;
    graphic.FileHeight = read.Header.Height;
    graphic.IccProfile = std::move(read.Icc);
    graphic.ExifBlock = ExifOf(input.Bytes);
    if (info.have_animation) {
        graphic.ImageCount = CountFrames(input.Bytes);
        graphic.Animated = graphic.ImageCount > 1;
        graphic.LoopCount = int(info.animation.num_loops);
        graphic.FrameDelay = read.Delay;
    }
    graphic.Picture = std::move(read.Picture);
}

QByteArray JxlExif(std::span<const uint8_t> bytes) {
    return ExifOf(bytes);
}

} // namespace

const TGraphicClass gcJxl{"TJxlImage", ReadJxl, nullptr, false, JxlExif, true, OpenJxlAnimation};

TBitmap DecodeJxl(TBytes data, int index) {
    return ReadFrame(data, index).Picture;
}
