// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/JpegUtils.h"

#include "core/Errors.h"
#include "core/FilterEvent.h"
#include "core/ReadAs24.h"
#include "formats/Graphic.h"
#include "formats/JpegIcc.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports fatal errors through error_exit, which must not return. It jumps back to the
// setjmp of the function that called into the library. Those functions hold only plain C data,
// so the jump skips no destructor; the C++ side owns the buffers and the codec objects.

namespace {

struct TJpegError {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    bool RanOut = false; // the data ended before the decoder was done with it
    bool Warned = false; // libjpeg found the data cut short or damaged and went on
};

void JpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->Jump, 1);
}

// Warnings never stop a decode: libjpeg goes on with what the file holds, past a missing end
// marker or, in a file cut short, filling the part that is missing with grey. Running out of
// data is noted, since a file that ends before its first scan holds no picture at all.
void JpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level != -1) return;
    auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
    err->Warned = true;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) err->RanOut = true;
}

void JpegOutputMessage(j_common_ptr) {}

void InitError(TJpegError& err) {
    jpeg_std_error(&err.Pub);
    err.Pub.error_exit = JpegErrorExit;
    err.Pub.emit_message = JpegEmitMessage;
    err.Pub.output_message = JpegOutputMessage;
}

[[noreturn]] void Fail(const TJpegError& err) {
    throw ETaveluneError("JPEG error #" + std::to_string(err.Pub.msg_code));
}

void JpegProgress(j_common_ptr cinfo) {
    const jpeg_progress_mgr* p = cinfo->progress;
    if (p->pass_limit <= 0) return;
    const long done = p->completed_passes * p->pass_limit + p->pass_counter;
    const long total = std::max(1, p->total_passes) * p->pass_limit;
    GraphicProgress().Progress(TFilterGraphicProgress::psRunning, int(done * 100 / total));
}

// Begin and end of the shared progress report around one codec run.
struct TCodecProgress {
    jpeg_progress_mgr Mgr{};
    TCodecProgress() {
        Mgr.progress_monitor = JpegProgress;
        GraphicProgress().Progress(TFilterGraphicProgress::psStarting, 0);
    }
    ~TCodecProgress() { GraphicProgress().Progress(TFilterGraphicProgress::psEnding, 100); }
    TCodecProgress(const TCodecProgress&) = delete;
    TCodecProgress& operator=(const TCodecProgress&) = delete;
};

// ---- decoding

struct TDecompressor {
    TJpegError Err;
    jpeg_decompress_struct Info;
    bool Created = false;
    TDecompressor() { InitError(Err); }
    ~TDecompressor() {
        if (Created) jpeg_destroy_decompress(&Info);
    }
    TDecompressor(const TDecompressor&) = delete;
    TDecompressor& operator=(const TDecompressor&) = delete;
};

bool StartDecompress(TDecompressor* d, const uint8_t* data, size_t size, int denom) {
    std::memset(&d->Info, 0, sizeof d->Info);
    d->Info.err = &d->Err.Pub;
    if (setjmp(d->Err.Jump)) return false;
    jpeg_create_decompress(&d->Info);
    d->Created = true;
    jpeg_mem_src(&d->Info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d->Info, TRUE);
    if (d->Err.RanOut || d->Info.src->bytes_in_buffer == 0) {
        d->Err.Pub.msg_code = JERR_NO_IMAGE;
        return false;
    }
    const J_COLOR_SPACE in = d->Info.jpeg_color_space;
    d->Info.out_color_space = (in == JCS_CMYK || in == JCS_YCCK) ? JCS_CMYK : JCS_EXT_BGR;
    d->Info.scale_num = 1;
    d->Info.scale_denom = static_cast<unsigned>(denom);
    jpeg_calc_output_dimensions(&d->Info);
    return true;
}

// Adobe writers store CMYK inverted; others store it plainly.
void CmykToBgr(const uint8_t* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = uint8_t((y * k + 127) / 255);
        bgr[1] = uint8_t((m * k + 127) / 255);
        bgr[2] = uint8_t((c * k + 127) / 255);
    }
}

// cmykRow: one row of ink samples, or all of them (cmykStride apart) when they are kept.
bool DecodeRows(TDecompressor* d, uint8_t* row0, ptrdiff_t stride, uint8_t* cmykRow,
                ptrdiff_t cmykStride) {
    if (setjmp(d->Err.Jump)) return false;
    jpeg_decompress_struct* info = &d->Info;
    jpeg_start_decompress(info);
    if (cmykRow) {
        const bool inverted = info->saw_Adobe_marker;
        while (info->output_scanline < info->output_height) {
            const JDIMENSION y = info->output_scanline;
            JSAMPROW row = cmykRow + ptrdiff_t(y) * cmykStride;
            jpeg_read_scanlines(info, &row, 1);
            CmykToBgr(row, row0 + ptrdiff_t(y) * stride, info->output_width, inverted);
        }
    } else {
        enum { kBatch = 16 };
        JSAMPROW rows[kBatch];
        while (info->output_scanline < info->output_height) {
            const JDIMENSION y = info->output_scanline;
            const JDIMENSION n = std::min<JDIMENSION>(kBatch, info->output_height - y);
            for (JDIMENSION i = 0; i < n; ++i)
                rows[i] = row0 + ptrdiff_t(y + i) * stride;
            jpeg_read_scanlines(info, rows, n);
        }
    }
    jpeg_finish_decompress(info);
    return true;
}

// ---- encoding

// A growing output buffer of malloc'ed memory that libjpeg fills; freed by its owner.
struct TJpegSink {
    jpeg_destination_mgr Pub;
    uint8_t* Data = nullptr;
    size_t Capacity = 0;
    size_t Used = 0; // bytes before the current free area
};

void SinkInit(j_compress_ptr cinfo) {
    auto* sink = reinterpret_cast<TJpegSink*>(cinfo->dest);
    sink->Capacity = 65536;
    sink->Data = static_cast<uint8_t*>(std::malloc(sink->Capacity));
    if (!sink->Data) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    sink->Used = 0;
    sink->Pub.next_output_byte = sink->Data;
    sink->Pub.free_in_buffer = sink->Capacity;
}

boolean SinkGrow(j_compress_ptr cinfo) {
    auto* sink = reinterpret_cast<TJpegSink*>(cinfo->dest);
    const size_t newCapacity = sink->Capacity * 2;
    auto* grown = static_cast<uint8_t*>(std::realloc(sink->Data, newCapacity));
    if (!grown) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    sink->Used = sink->Capacity; // the whole old buffer was full
    sink->Data = grown;
    sink->Capacity = newCapacity;
    sink->Pub.next_output_byte = grown + sink->Used;
    sink->Pub.free_in_buffer = newCapacity - sink->Used;
    return TRUE;
}

void SinkTerm(j_compress_ptr cinfo) {
    auto* sink = reinterpret_cast<TJpegSink*>(cinfo->dest);
    sink->Used = sink->Capacity - sink->Pub.free_in_buffer;
}

struct TCompressor {
    TJpegError Err;
    jpeg_compress_struct Info;
    TJpegSink Sink;
    bool Created = false;
    TCompressor() { InitError(Err); }
    ~TCompressor() {
        if (Created) jpeg_destroy_compress(&Info);
        std::free(Sink.Data);
    }
    TCompressor(const TCompressor&) = delete;
    TCompressor& operator=(const TCompressor&) = delete;
};

bool Compress(TCompressor* c, const uint8_t* row0, ptrdiff_t stride, int width, int height,
              int quality, bool progressive, jpeg_progress_mgr* progress) {
    std::memset(&c->Info, 0, sizeof c->Info);
    c->Info.err = &c->Err.Pub;
    if (setjmp(c->Err.Jump)) return false;
    jpeg_create_compress(&c->Info);
    c->Created = true;
    c->Info.progress = progress;
    c->Sink.Pub.init_destination = SinkInit;
    c->Sink.Pub.empty_output_buffer = SinkGrow;
    c->Sink.Pub.term_destination = SinkTerm;
    c->Sink.Pub.free_in_buffer = 0;
    c->Info.dest = &c->Sink.Pub;
    c->Info.image_width = static_cast<JDIMENSION>(width);
    c->Info.image_height = static_cast<JDIMENSION>(height);
    c->Info.input_components = 3;
    c->Info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c->Info);
    jpeg_set_quality(&c->Info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&c->Info);
    jpeg_start_compress(&c->Info, TRUE);
    enum { kBatch = 16 };
    JSAMPROW rows[kBatch];
    while (c->Info.next_scanline < c->Info.image_height) {
        const JDIMENSION y = c->Info.next_scanline;
        const JDIMENSION n = std::min<JDIMENSION>(kBatch, c->Info.image_height - y);
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = const_cast<JSAMPROW>(row0 + ptrdiff_t(y + i) * stride);
        jpeg_write_scanlines(&c->Info, rows, n);
    }
    jpeg_finish_compress(&c->Info);
    return true;
}

void ReadJpeg(const TReadInput& input, TGraphic& graphic) {
    int denom = 1;
    TJpegSize stored;
    graphic.IccProfile = JpegIccProfile(input.Bytes);
    TCmykSamples* cmyk =
        input.ColourManagement && !graphic.IccProfile.isEmpty() ? &graphic.Cmyk : nullptr;
    if (input.Preview) {
        stored = JpegStoredSize(input.Bytes);
        denom = JpegPreviewDenominator(stored.Width, stored.Height);
        graphic.Picture = DecodeJpeg(input.Bytes, denom, nullptr, cmyk);
        if (stored.Width <= 0 || stored.Height <= 0) {
            stored.Width = graphic.Picture.Width();
            stored.Height = graphic.Picture.Height();
        }
    } else {
        if (input.Reduction == 2 || input.Reduction == 4 || input.Reduction == 8)
            denom = input.Reduction;
        graphic.Picture = DecodeJpeg(input.Bytes, denom, &stored, cmyk);
    }
    graphic.FileWidth = stored.Width;
    graphic.FileHeight = stored.Height;
}

std::vector<uint8_t> WriteJpeg(const TGraphic& graphic) {
    return EncodeJpeg(graphic.Picture, graphic.Quality, graphic.Progressive);
}

// Baseline files only: the stored size of the others is known only once decoding starts.
TReducedDecoding ProbeJpeg(std::span<const uint8_t> bytes) {
    const TJpegSize stored = JpegStoredSize(bytes);
    return {stored.Width, stored.Height, stored.Width > 0 && stored.Height > 0 ? 2 : 0};
}

} // namespace

const TGraphicClass gcJpeg{"TJPEGImage", ReadJpeg, WriteJpeg, false,
                           nullptr,      false,    nullptr,   ProbeJpeg};

TJpegSize JpegStoredSize(TBytes data) {
    TByteReader in(data, "JPEG");
    try {
        if (in.BE16() != 0xFFD8) return {};
        for (;;) {
            const uint16_t marker = in.BE16();
            if (marker == 0xFFC0) break;
            const uint16_t length = in.BE16();
            if (length < 2) return {};
            in.Skip(length - 2u);
        }
        in.Skip(3); // segment length and sample precision
        TJpegSize size;
        size.Height = in.BE16();
        size.Width = in.BE16();
        return size;
    } catch (const ETaveluneError&) {
        return {};
    }
}

int JpegPreviewDenominator(int width, int height) {
    if (width <= 0 || height <= 0) return 1;
    const int s = std::max(width, height) / PreviewBoxSize;
    if (s < 2) return 1;
    if (s < 4) return 2;
    if (s < 8) return 4;
    return 8;
}

TBitmap DecodeJpeg(TBytes data, int scaleDenom, TJpegSize* stored, TCmykSamples* cmyk,
                   bool* damaged) {
    TCodecProgress progress;
    TDecompressor d;
    if (!StartDecompress(&d, data.data(), data.size(), scaleDenom)) Fail(d.Err);
    d.Info.progress = &progress.Mgr;
    CheckImageSize(d.Info.image_width, d.Info.image_height);
    if (stored) *stored = {int(d.Info.image_width), int(d.Info.image_height)};

    // Every row is written by the decoder, so the picture is not cleared first.
    TBitmap picture(
        QImage(int(d.Info.output_width), int(d.Info.output_height), QImage::Format_BGR888));
    if (picture.Empty()) throw std::bad_alloc();
    std::vector<uint8_t> cmykRow;
    ptrdiff_t cmykStride = 0;
    if (d.Info.out_color_space == JCS_CMYK) {
        const size_t rowBytes = size_t(d.Info.output_width) * 4;
        if (cmyk) {
            cmyk->Width = int(d.Info.output_width);
            cmyk->Height = int(d.Info.output_height);
            cmyk->Inverted = d.Info.saw_Adobe_marker;
            cmyk->Samples.resize(rowBytes * d.Info.output_height);
            cmykStride = ptrdiff_t(rowBytes);
        } else {
            cmykRow.resize(rowBytes);
        }
    }
    uint8_t* inks = cmykStride ? cmyk->Samples.data() : cmykRow.empty() ? nullptr : cmykRow.data();
    if (!DecodeRows(&d, picture.ScanLine(0), picture.Stride(), inks, cmykStride)) Fail(d.Err);
    if (damaged) *damaged = d.Err.Warned;
    return picture;
}

std::vector<uint8_t> EncodeJpeg(const TBitmap& picture, int quality, bool progressive) {
    if (picture.Empty()) throw ETaveluneError("JPEG: empty picture");
    TBitmap converted;
    const TBitmap* src = &ReadAs24(picture, converted);
    TCodecProgress progress;
    TCompressor c;
    if (!Compress(&c, src->ScanLine(0), src->Stride(), src->Width(), src->Height(),
                  std::clamp(quality, 1, 100), progressive, &progress.Mgr))
        Fail(c.Err);
    return std::vector<uint8_t>(c.Sink.Data, c.Sink.Data + c.Sink.Used);
}
