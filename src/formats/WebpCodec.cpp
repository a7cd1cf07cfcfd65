// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/WebpCodec.h"

#include "core/Errors.h"
#include "core/ReadAs24.h"
#include "formats/Animation.h"
#include "formats/ExifSegments.h"
#include "formats/Graphic.h"
#include "formats/RasterImages.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("WebP: ") + what);
}

struct TDemuxDeleter {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};
using TDemuxPtr = std::unique_ptr<WebPDemuxer, TDemuxDeleter>;

struct TAnimDeleter {
    void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};
using TAnimPtr = std::unique_ptr<WebPAnimDecoder, TAnimDeleter>;

// The container, parsed without decoding anything; the bytes must outlive it.
TDemuxPtr Demux(TBytes data) {
    const WebPData webp{data.data(), data.size()};
    TDemuxPtr demux(WebPDemux(&webp));
    if (!demux) Fail("not a WebP file");
    return demux;
}

QByteArray Chunk(const WebPDemuxer* demux, const char* fourcc) {
    WebPChunkIterator it;
    QByteArray bytes;
    if (WebPDemuxGetChunk(demux, fourcc, 1, &it))
        bytes = QByteArray(reinterpret_cast<const char*>(it.chunk.bytes), qsizetype(it.chunk.size));
    WebPDemuxReleaseChunkIterator(&it);
    return bytes;
}

// The animation through WebPAnimDecoder, which blends and disposes the frames itself.
class TWebpFrames final : public IFrameSource {
public:
    explicit TWebpFrames(QByteArray bytes) : m_bytes(std::move(bytes)) {
        const WebPData webp{reinterpret_cast<const uint8_t*>(m_bytes.constData()),
                            size_t(m_bytes.size())};
        // The canvas is checked against the size cap before the decoder allocates it.
        const TDemuxPtr demux = Demux({webp.bytes, webp.size});
        CheckImageSize(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH),
                       WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options)) Fail("library mismatch");
        options.color_mode = MODE_BGRA;
        options.use_threads = 0;
        m_decoder.reset(WebPAnimDecoderNew(&webp, &options));
        if (!m_decoder || !WebPAnimDecoderGetInfo(m_decoder.get(), &m_info)) Fail("bad animation");
        if (m_info.frame_count == 0) Fail("no frame");
    }

    int FrameCount() const override { return int(m_info.frame_count); }
    int LoopCount() const override { return int(m_info.loop_count); }
    QSize CanvasSize() const override {
        return QSize(int(m_info.canvas_width), int(m_info.canvas_height));
    }

    TAnimationFrame NextFrame() override {
        if (!WebPAnimDecoderHasMoreFrames(m_decoder.get())) Rewind();
        uint8_t* pixels = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(m_decoder.get(), &pixels, &timestamp)) Fail("bad frame data");
        const int w = int(m_info.canvas_width), h = int(m_info.canvas_height);
        QImage image = NewCheckedImage(w, h, QImage::Format_ARGB32);
        for (int y = 0; y < h; ++y)
            std::memcpy(image.scanLine(y), pixels + size_t(y) * w * 4, size_t(w) * 4);
        TAnimationFrame frame;
        frame.Picture = TBitmap(std::move(image));
        frame.Picture.SetFoundBitDepth(32);
        frame.Delay = FrameDelay(int64_t(timestamp) - m_lastTimestamp);
        frame.Index = m_next++;
        m_lastTimestamp = timestamp;
        return frame;
    }

    void Rewind() override {
        WebPAnimDecoderReset(m_decoder.get());
        m_next = 0;
        m_lastTimestamp = 0;
    }

private:
    QByteArray m_bytes; // the decoder reads from these
    TAnimPtr m_decoder;
    WebPAnimInfo m_info{};
    int m_next = 0;
    int m_lastTimestamp = 0;
};

std::unique_ptr<IFrameSource> OpenWebpAnimation(QByteArray bytes) {
    return std::make_unique<TWebpFrames>(std::move(bytes));
}

void ReadWebp(const TReadInput& input, TGraphic& graphic) {
    const TDemuxPtr demux = Demux(input.Bytes);
    const uint32_t flags = WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS);
    const int frames = int(WebPDemuxGetI(demux.get(), WEBP_FF_FRAME_COUNT));
    graphic.FileWidth = int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
    graphic.FileHeight = int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
    CheckImageSize(graphic.FileWidth, graphic.FileHeight);
    if (flags & ICCP_FLAG) graphic.IccProfile = Chunk(demux.get(), "ICCP");
    if (flags & EXIF_FLAG) {
        const QByteArray exif = Chunk(demux.get(), "EXIF");
        graphic.ExifBlock = ExifBlockFromPayload(reinterpret_cast<const uint8_t*>(exif.constData()),
                                                 size_t(exif.size()));
    }

    if (flags & ANIMATION_FLAG) {
        // The source lives only while the input does: no copy of the bytes.
        TWebpFrames source(QByteArray::fromRawData(
            reinterpret_cast<const char*>(input.Bytes.data()), qsizetype(input.Bytes.size())));
        graphic.ImageCount = source.FrameCount();
        graphic.Animated = graphic.ImageCount > 1;
        graphic.LoopCount = source.LoopCount();
        TAnimationFrame frame = DecodeFrameAt(source, input.ImageIndex);
        graphic.Picture = PictureFromArgb(std::move(frame.Picture.Image()));
        graphic.FrameDelay = frame.Delay;
        return;
    }
    if (input.ImageIndex != 0 || frames != 1) Fail("no such picture");
    graphic.Picture = DecodeWebp(input.Bytes);
}

QByteArray WebpExif(std::span<const uint8_t> bytes) {
    const TDemuxPtr demux = Demux(bytes);
    const QByteArray exif = Chunk(demux.get(), "EXIF");
    return ExifBlockFromPayload(reinterpret_cast<const uint8_t*>(exif.constData()),
                                size_t(exif.size()));
}

std::vector<uint8_t> WriteWebp(const TGraphic& graphic) {
    return EncodeWebp(graphic.Picture, graphic.Quality);
}

} // namespace

const TGraphicClass gcWebp{"TWebpImage", ReadWebp, WriteWebp,        false,
                           WebpExif,     false,    OpenWebpAnimation};

TBitmap DecodeWebp(TBytes data) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data.data(), data.size(), &features) != VP8_STATUS_OK) Fail("bad header");
    CheckImageSize(features.width, features.height);
    if (features.has_animation) Fail("an animation");
    if (features.has_alpha) {
        QImage image = NewCheckedImage(features.width, features.height, QImage::Format_ARGB32);
        if (!WebPDecodeBGRAInto(data.data(), data.size(), image.bits(), size_t(image.sizeInBytes()),
                                int(image.bytesPerLine())))
            Fail("bad image data");
        return PictureFromArgb(std::move(image));
    }
    QImage image = NewCheckedImage(features.width, features.height, QImage::Format_BGR888);
    if (!WebPDecodeBGRInto(data.data(), data.size(), image.bits(), size_t(image.sizeInBytes()),
                           int(image.bytesPerLine())))
        Fail("bad image data");
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(24);
    return picture;
}

std::vector<uint8_t> EncodeWebp(const TBitmap& picture, int quality) {
    if (picture.Empty()) Fail("empty picture");
    if (picture.Width() > WEBP_MAX_DIMENSION || picture.Height() > WEBP_MAX_DIMENSION)
        Fail("picture too large");
    TBitmap converted;
    const TBitmap* src = &ReadAs24(picture, converted);
    uint8_t* out = nullptr;
    const int w = src->Width(), h = src->Height(), stride = int(src->Stride());
    const size_t size = quality >= 100 ? WebPEncodeLosslessBGR(src->ScanLine(0), w, h, stride, &out)
                                       : WebPEncodeBGR(src->ScanLine(0), w, h, stride,
                                                       float(std::clamp(quality, 1, 99)), &out);
    std::unique_ptr<uint8_t, void (*)(void*)> owned(out, WebPFree);
    if (size == 0 || !out) Fail("cannot encode");
    return std::vector<uint8_t>(out, out + size);
}
