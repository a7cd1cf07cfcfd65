// SPDX-License-Identifier: GPL-2.0-or-later
// The camera RAW decoder library: LibRaw reading through the host's file callbacks.

#include "plugins/RawPluginApi.h"

#include <libraw/libraw.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#define TAVELUNE_RAW_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

void CopyText(char* to, size_t size, const char* from) {
    if (!to) return;
    std::strncpy(to, from ? from : "", size - 1);
    to[size - 1] = '\0';
}

void ClearTexts(char* maker, char* model, char* date) {
    CopyText(maker, kRawMakerSize, "");
    CopyText(model, kRawModelSize, "");
    CopyText(date, kRawDateSize, "");
}

// LibRaw's input through the host's callbacks; the handle also sits in the caller's slot.
class TCallbackStream : public LibRaw_abstract_datastream {
public:
    TCallbackStream(const TRawFileCallbacks* io, void** slot, const char* name)
        : m_io(io), m_slot(slot), m_name(name ? name : "") {
        m_file = io->Open(io->Context, m_name.c_str(), "rb");
        if (m_slot) *m_slot = m_file;
        if (m_file && io->Seek(io->Context, m_file, 0, SEEK_END) == 0) {
            m_size = io->Tell(io->Context, m_file);
            if (io->Seek(io->Context, m_file, 0, SEEK_SET) != 0) m_size = -1;
        }
    }
    ~TCallbackStream() override {
        if (!m_file) return;
        m_io->Close(m_io->Context, m_file);
        if (m_slot && *m_slot == m_file) *m_slot = nullptr;
    }
    TCallbackStream(const TCallbackStream&) = delete;
    TCallbackStream& operator=(const TCallbackStream&) = delete;

    int valid() override { return m_file != nullptr && m_size >= 0; }
    int read(void* buffer, size_t size, size_t count) override {
        return int(m_io->Read(m_io->Context, m_file, buffer, size, count));
    }
    int seek(INT64 offset, int whence) override {
        return m_io->Seek(m_io->Context, m_file, offset, whence);
    }
    INT64 tell() override { return m_io->Tell(m_io->Context, m_file); }
    INT64 size() override { return m_size; }
    int get_char() override { return m_io->Getc(m_io->Context, m_file); }
    char* gets(char* line, int size) override {
        return m_io->Gets(m_io->Context, m_file, line, size);
    }
    // One blank-separated token converted as fscanf would.
    int scanf_one(const char* format, void* value) override {
        char token[64];
        int length = 0;
        int c = get_char();
        while (c != EOF && std::isspace(c))
            c = get_char();
        while (c != EOF && !std::isspace(c) && length < int(sizeof token) - 1) {
            token[length++] = char(c);
            c = get_char();
        }
        if (length == 0) return EOF;
        token[length] = '\0';
        return std::sscanf(token, format, value);
    }
    int eof() override { return m_io->Eof(m_io->Context, m_file); }
    void* make_jas_stream() override { return nullptr; }
    const char* fname() override { return m_name.c_str(); }

private:
    const TRawFileCallbacks* m_io;
    void** m_slot;
    std::string m_name;
    void* m_file = nullptr;
    INT64 m_size = -1;
};

bool UsableCallbacks(const TRawFileCallbacks* io) {
    return io && io->Open && io->Close && io->Read && io->Seek && io->Tell && io->Eof && io->Gets &&
           io->Getc;
}

void FillInfo(const LibRaw& raw, TRawNumbers* numbers, char* maker, char* model, char* date) {
    CopyText(maker, kRawMakerSize, raw.imgdata.idata.make);
    CopyText(model, kRawModelSize, raw.imgdata.idata.model);
    const libraw_imgother_t& other = raw.imgdata.other;
    if (date && other.timestamp > 0) {
        std::tm local{};
        const time_t when = other.timestamp;
        if (localtime_r(&when, &local) &&
            std::strftime(date, kRawDateSize, "%Y:%m:%d %H:%M:%S", &local) == 0)
            date[0] = '\0';
    }
    if (numbers) {
        numbers->IsoSpeed = int32_t(other.iso_speed);
        numbers->ExposureTime = other.shutter;
        numbers->Aperture = other.aperture;
        numbers->FocalLength = other.focal_len;
    }
}

// LibRaw, with a guard on the thumbnail loader it chose.
class TLibRaw : public LibRaw {
public:
    // LibRaw 0.20 reads a layered thumbnail's stored byte count for each colour into a buffer of
    // one byte a pixel for each: a larger count would run past it.
    void BoundLayerThumbnail() {
        libraw_thumbnail_t& stored = imgdata.thumbnail;
        const unsigned pixels = unsigned(stored.twidth) * stored.theight;
        if (write_thumb == &TLibRaw::layer_thumb && stored.tlength > pixels)
            stored.tlength = pixels;
    }
};

// Opens the file through the host's callbacks and works out the sizes as a full decode gives
// them; some makers' parsers give the turn in degrees, and this makes it flip bits too. LibRaw's
// code, 0 on success.
int OpenForSizes(TLibRaw& raw, TCallbackStream& stream) {
    const int rc = stream.valid() ? raw.open_datastream(&stream) : int(LIBRAW_IO_ERROR);
    return rc == 0 ? raw.adjust_sizes_info_only() : rc;
}

struct TImageFree {
    void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};
using TProcessedImage = std::unique_ptr<libraw_processed_image_t, TImageFree>;

class TOutputFile {
public:
    TOutputFile(const TRawFileCallbacks* io, const char* name)
        : m_io(io), m_file(io->Write ? io->Open(io->Context, name, "wb") : nullptr) {}
    ~TOutputFile() {
        if (m_file) m_io->Close(m_io->Context, m_file);
    }
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;
    bool Open() const { return m_file != nullptr; }
    bool Write(const void* data, size_t size) {
        return size == 0 || m_io->Write(m_io->Context, m_file, data, 1, size) == size;
    }

private:
    const TRawFileCallbacks* m_io;
    void* m_file;
};

int32_t WriteThumbnail(TLibRaw& raw, const TRawFileCallbacks* io, const char* outputName,
                       int32_t* kind) {
    *kind = kRawThumbNone;
    raw.BoundLayerThumbnail();
    if (const int rc = raw.unpack_thumb()) return rc;
    int error = 0;
    const TProcessedImage thumb(raw.dcraw_make_mem_thumb(&error));
    if (!thumb) return error ? error : kRawErrorNoThumbnail;
    std::string header;
    if (thumb->type == LIBRAW_IMAGE_JPEG) {
        *kind = kRawThumbJpeg;
    } else if (thumb->type == LIBRAW_IMAGE_BITMAP && thumb->bits == 8 &&
               (thumb->colors == 3 || thumb->colors == 1) &&
               uint64_t(thumb->width) * thumb->height * thumb->colors <= thumb->data_size) {
        header = std::string(thumb->colors == 3 ? "P6\n" : "P5\n") + std::to_string(thumb->width) +
                 " " + std::to_string(thumb->height) + "\n255\n";
        *kind = kRawThumbPpm;
    } else {
        return kRawErrorNoThumbnail;
    }
    TOutputFile out(io, outputName);
    const size_t size = *kind == kRawThumbPpm ? size_t(thumb->width) * thumb->height * thumb->colors
                                              : size_t(thumb->data_size);
    if (!out.Open() || !out.Write(header.data(), header.size()) || !out.Write(thumb->data, size))
        return kRawErrorWrite;
    return 0;
}

struct TProgressRelay {
    TRawProgress Progress;
};

int RelayProgress(void* data, enum LibRaw_progress, int iteration, int expected) {
    const auto* relay = static_cast<const TProgressRelay*>(data);
    if (relay->Progress) relay->Progress(1, expected, iteration);
    return 0;
}

// Copies LibRaw's 8-bit picture (red, green, blue or grey) into the host's rows.
int32_t CopyPicture(const libraw_processed_image_t& image, uint8_t** rows, int32_t width,
                    int32_t height) {
    if (image.type != LIBRAW_IMAGE_BITMAP || image.bits != 8 ||
        (image.colors != 3 && image.colors != 1))
        return kRawErrorInternal;
    if (image.width != width || image.height != height) return kRawErrorBadArguments;
    const size_t colours = image.colors;
    if (uint64_t(width) * height * colours > image.data_size) return kRawErrorInternal;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* s = image.data + size_t(y) * size_t(width) * colours;
        uint8_t* d = rows[y];
        if (!d) return kRawErrorBadArguments;
        if (colours == 3) {
            for (int32_t x = 0; x < width; ++x, s += 3, d += 3) {
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
            }
        } else {
            for (int32_t x = 0; x < width; ++x, ++s, d += 3)
                d[0] = d[1] = d[2] = *s;
        }
    }
    return 0;
}

int32_t Decode(LibRaw& raw, TRawProgress progress, uint8_t** rows, int32_t width, int32_t height) {
    if (!rows || width <= 0 || height <= 0) return kRawErrorBadArguments;
    TProgressRelay relay{progress};
    raw.set_progress_handler(RelayProgress, &relay);
    if (const int rc = raw.unpack()) return rc;
    if (const int rc = raw.dcraw_process()) return rc;
    int error = 0;
    const TProcessedImage image(raw.dcraw_make_mem_image(&error));
    if (!image) return error ? error : kRawErrorInternal;
    return CopyPicture(*image, rows, width, height);
}

void SetParams(LibRaw& raw, bool halfSize) {
    libraw_output_params_t& p = raw.imgdata.params;
    p.output_bps = 8;
    p.output_color = 1; // sRGB
    p.use_camera_wb = 1;
    p.half_size = halfSize ? 1 : 0;
}

} // namespace

TAVELUNE_RAW_EXPORT int32_t RawInfo(const TRawFileCallbacks* io, void** fileSlot,
                                    TRawNumbers* numbers, const char* fileName, int32_t halfSize,
                                    int32_t* width, int32_t* height, char* maker, char* model,
                                    char* date, int32_t* abortFlag) {
    int32_t ignored = 0;
    int32_t& abort = abortFlag ? *abortFlag : ignored;
    abort = 0;
    ClearTexts(maker, model, date);
    if (numbers) *numbers = TRawNumbers{};
    if (width) *width = 0;
    if (height) *height = 0;
    if (!UsableCallbacks(io) || !width || !height) {
        abort = 1;
        return kRawErrorBadArguments;
    }
    try {
        const auto raw = std::make_unique<TLibRaw>();
        SetParams(*raw, halfSize != 0);
        TCallbackStream stream(io, fileSlot, fileName);
        if (const int rc = OpenForSizes(*raw, stream); rc != 0) {
            abort = 1;
            return rc;
        }
        *width = raw->imgdata.sizes.iwidth;
        *height = raw->imgdata.sizes.iheight;
        FillInfo(*raw, numbers, maker, model, date);
        return 0;
    } catch (...) {
        abort = 1;
        return kRawErrorInternal;
    }
}

TAVELUNE_RAW_EXPORT int32_t FromRawToPSD(const TRawFileCallbacks* io, void** fileSlot,
                                         TRawNumbers* numbers, TRawProgress progress,
                                         const char* inputName, const char* outputName,
                                         TRawOptions* options, uint8_t** rows, int32_t width,
                                         int32_t height, char* maker, char* model, char* date,
                                         int32_t* abortFlag) {
    int32_t ignored = 0;
    int32_t& abort = abortFlag ? *abortFlag : ignored;
    abort = 0;
    ClearTexts(maker, model, date);
    if (numbers) *numbers = TRawNumbers{};
    const bool thumbnail = options && options->Thumbnail != 0;
    if (!UsableCallbacks(io) || (thumbnail && (!outputName || !*outputName))) {
        abort = 1;
        return kRawErrorBadArguments;
    }
    if (progress) progress(0, 100, 0);
    int32_t rc = 0;
    try {
        const auto raw = std::make_unique<TLibRaw>();
        SetParams(*raw, options && options->HalfSize != 0);
        TCallbackStream stream(io, fileSlot, inputName);
        rc = stream.valid() ? raw->open_datastream(&stream) : int(LIBRAW_IO_ERROR);
        if (rc == 0) {
            FillInfo(*raw, numbers, maker, model, date);
            rc = thumbnail ? WriteThumbnail(*raw, io, outputName, &options->ThumbnailKind)
                           : Decode(*raw, progress, rows, width, height);
        }
    } catch (...) {
        rc = kRawErrorInternal;
    }
    if (progress) progress(2, 100, 100);
    if (rc != 0) abort = 1;
    return rc;
}

TAVELUNE_RAW_EXPORT int32_t ExtractThumbnail(const TRawFileCallbacks* io, void** fileSlot,
                                             const char* inputName, const char* outputName,
                                             int32_t* kind, int32_t* abortFlag) {
    TRawOptions options{};
    options.Thumbnail = 1;
    const int32_t rc = FromRawToPSD(io, fileSlot, nullptr, nullptr, inputName, outputName, &options,
                                    nullptr, 0, 0, nullptr, nullptr, nullptr, abortFlag);
    if (kind) *kind = options.ThumbnailKind;
    return rc;
}

#ifndef TAVELUNE_RAW_WITHOUT_ORIENTATION // left out to build the library as it was before
TAVELUNE_RAW_EXPORT int32_t RawOrientation(const TRawFileCallbacks* io, void** fileSlot,
                                           const char* fileName, int32_t* flip,
                                           int32_t* abortFlag) {
    int32_t ignored = 0;
    int32_t& abort = abortFlag ? *abortFlag : ignored;
    abort = 0;
    if (flip) *flip = 0;
    if (!UsableCallbacks(io) || !flip) {
        abort = 1;
        return kRawErrorBadArguments;
    }
    try {
        const auto raw = std::make_unique<TLibRaw>();
        SetParams(*raw, false);
        TCallbackStream stream(io, fileSlot, fileName);
        if (const int rc = OpenForSizes(*raw, stream); rc != 0) {
            abort = 1;
            return rc;
        }
        *flip = int32_t(raw->imgdata.sizes.flip);
        return 0;
    } catch (...) {
        abort = 1;
        return kRawErrorInternal;
    }
}
#endif
