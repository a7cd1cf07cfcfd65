// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/HeifCodec.h"

#include "core/Errors.h"
#include "formats/ExifSegments.h"
#include "formats/Graphic.h"
#include "formats/LazyLibrary.h"
#include "formats/RasterImages.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include <libheif/heif.h>

namespace {

// The library's functions this reader calls, listed once: the table gets a member for each and
// binds it by its name.
#define HEIF_FUNCTIONS(X)                                                                          \
    X(heif_context_alloc)                                                                          \
    X(heif_context_free)                                                                           \
    X(heif_context_get_image_handle)                                                               \
    X(heif_context_get_list_of_top_level_image_IDs)                                                \
    X(heif_context_get_number_of_top_level_images)                                                 \
    X(heif_context_get_primary_image_ID)                                                           \
    X(heif_context_read_from_memory_without_copy)                                                  \
    X(heif_context_set_maximum_image_size_limit)                                                   \
    X(heif_decode_image)                                                                           \
    X(heif_decoding_options_alloc)                                                                 \
    X(heif_decoding_options_free)                                                                  \
    X(heif_image_get_bits_per_pixel_range)                                                         \
    X(heif_image_get_height)                                                                       \
    X(heif_image_get_plane_readonly)                                                               \
    X(heif_image_get_width)                                                                        \
    X(heif_image_handle_get_color_profile_type)                                                    \
    X(heif_image_handle_get_height)                                                                \
    X(heif_image_handle_get_list_of_metadata_block_IDs)                                            \
    X(heif_image_handle_get_metadata)                                                              \
    X(heif_image_handle_get_metadata_size)                                                         \
    X(heif_image_handle_get_raw_color_profile)                                                     \
    X(heif_image_handle_get_raw_color_profile_size)                                                \
    X(heif_image_handle_get_width)                                                                 \
    X(heif_image_handle_has_alpha_channel)                                                         \
    X(heif_image_handle_is_premultiplied_alpha)                                                    \
    X(heif_image_handle_release)                                                                   \
    X(heif_image_release)                                                                          \
    X(heif_image_handle_get_number_of_thumbnails)                                                  \
    X(heif_image_handle_get_list_of_thumbnail_IDs)                                                 \
    X(heif_image_handle_get_thumbnail)                                                             \
    X(heif_init)

struct THeifApi {
    HEIF_FUNCTIONS(TAVELUNE_LAZY_MEMBER)
};

const THeifApi& Heif() {
    static const std::optional<THeifApi> loaded = []() -> std::optional<THeifApi> {
        THeifApi api;
        const TLazyLibrary library(TAVELUNE_HEIF_SONAME);
        const bool ok = library.Loaded() HEIF_FUNCTIONS(TAVELUNE_LAZY_BIND);
        return ok ? std::optional(api) : std::nullopt;
    }();
    if (!loaded) throw ETaveluneError("HEIF: the decoder library is missing");
    return *loaded;
}

// libheif refuses pictures wider or taller than this before decoding anything.
constexpr int kMaxHeifSide = 32768;

void Check(const heif_error& e, const char* what) {
    if (e.code != heif_error_Ok)
        throw ETaveluneError(std::string("HEIF: ") + what + ": " +
                             (e.message ? e.message : "error"));
}

// The plug-ins load once for the process.
void InitLibrary() {
    static const bool done = [] {
        Heif().heif_init(nullptr);
        return true;
    }();
    (void)done;
}

struct TContextDeleter {
    void operator()(heif_context* c) const { Heif().heif_context_free(c); }
};
struct THandleDeleter {
    void operator()(const heif_image_handle* h) const { Heif().heif_image_handle_release(h); }
};
struct TImageDeleter {
    void operator()(const heif_image* i) const { Heif().heif_image_release(i); }
};
struct TOptionsDeleter {
    void operator()(heif_decoding_options* o) const { Heif().heif_decoding_options_free(o); }
};
using TContextPtr = std::unique_ptr<heif_context, TContextDeleter>;
using THandlePtr = std::unique_ptr<const heif_image_handle, THandleDeleter>;
using TImagePtr = std::unique_ptr<const heif_image, TImageDeleter>;

// A read file; the bytes must outlive it.
class THeifFile {
public:
    explicit THeifFile(TBytes data) : m_size(data.size()) {
        InitLibrary();
        m_context.reset(Heif().heif_context_alloc());
        if (!m_context) throw std::bad_alloc();
        Heif().heif_context_set_maximum_image_size_limit(m_context.get(), kMaxHeifSide);
        Check(Heif().heif_context_read_from_memory_without_copy(m_context.get(), data.data(),
                                                                data.size(), nullptr),
              "cannot read");
        // The primary picture first, then the others in the file's order.
        const int count = Heif().heif_context_get_number_of_top_level_images(m_context.get());
        if (count <= 0) throw ETaveluneError("HEIF: no picture");
        std::vector<heif_item_id> ids(static_cast<size_t>(count));
        ids.resize(size_t(std::max(0, Heif().heif_context_get_list_of_top_level_image_IDs(
                                          m_context.get(), ids.data(), count))));
        heif_item_id primary = 0;
        Check(Heif().heif_context_get_primary_image_ID(m_context.get(), &primary),
              "no primary picture");
        m_ids.push_back(primary);
        for (heif_item_id id : ids)
            if (id != primary) m_ids.push_back(id);
    }

    int Count() const { return int(m_ids.size()); }

    THandlePtr Handle(int index) const {
        if (index < 0 || index >= Count()) throw ETaveluneError("HEIF: no such picture");
        heif_image_handle* handle = nullptr;
        Check(Heif().heif_context_get_image_handle(m_context.get(), m_ids[size_t(index)], &handle),
              "no picture");
        return THandlePtr(handle);
    }

    size_t Size() const { return m_size; }

private:
    TContextPtr m_context;
    std::vector<heif_item_id> m_ids;
    size_t m_size;
};

QByteArray IccOf(const heif_image_handle* handle) {
    const heif_color_profile_type type = Heif().heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) return {};
    const size_t size = Heif().heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > size_t(64) << 20) return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (Heif().heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
        return {};
    return icc;
}

QByteArray ExifOf(const heif_image_handle* handle, size_t fileSize) {
    heif_item_id id = 0;
    if (Heif().heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) < 1)
        return {};
    const size_t size = Heif().heif_image_handle_get_metadata_size(handle, id);
    if (size == 0 || size > fileSize) return {};
    std::vector<uint8_t> raw(size);
    if (Heif().heif_image_handle_get_metadata(handle, id, raw.data()).code != heif_error_Ok)
        return {};
    return ExifBlockFromPayload(raw.data(), raw.size());
}

// Decoded with the container's transformations, as 8-bit interleaved samples.
TBitmap PictureOf(const heif_image_handle* handle) {
    const int w = Heif().heif_image_handle_get_width(handle),
              h = Heif().heif_image_handle_get_height(handle);
    if (w <= 0 || h <= 0) throw ETaveluneError("HEIF: empty picture");
    CheckImageSize(w, h);
    const bool alpha = Heif().heif_image_handle_has_alpha_channel(handle);
    std::unique_ptr<heif_decoding_options, TOptionsDeleter> options(
        Heif().heif_decoding_options_alloc());
    if (!options) throw std::bad_alloc();
    options->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    Check(Heif().heif_decode_image(
              handle, &decoded, heif_colorspace_RGB,
              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get()),
          "cannot decode");
    const TImagePtr image(decoded);
    int stride = 0;
    const uint8_t* plane =
        Heif().heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int dw = Heif().heif_image_get_width(image.get(), heif_channel_interleaved);
    const int dh = Heif().heif_image_get_height(image.get(), heif_channel_interleaved);
    const int channels = alpha ? 4 : 3;
    if (!plane || dw <= 0 || dh <= 0 || stride < dw * channels ||
        Heif().heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8)
        throw ETaveluneError("HEIF: unexpected decoded picture");
    CheckImageSize(dw, dh);

    if (!alpha) {
        QImage out = NewCheckedImage(dw, dh, QImage::Format_BGR888);
        for (int y = 0; y < dh; ++y) {
            const uint8_t* s = plane + size_t(y) * size_t(stride);
            uint8_t* d = out.scanLine(y);
            for (int x = 0; x < dw; ++x, s += 3, d += 3) {
                d[0] = s[2];
                d[1] = s[1];
                d[2] = s[0];
            }
        }
        TBitmap picture(std::move(out));
        picture.SetFoundBitDepth(24);
        return picture;
    }
    const bool premultiplied = Heif().heif_image_handle_is_premultiplied_alpha(handle);
    QImage out = NewCheckedImage(dw, dh, QImage::Format_ARGB32);
    for (int y = 0; y < dh; ++y) {
        const uint8_t* s = plane + size_t(y) * size_t(stride);
        uint8_t* d = out.scanLine(y);
        for (int x = 0; x < dw; ++x, s += 4, d += 4) {
            const unsigned a = s[3];
            unsigned r = s[0], g = s[1], b = s[2];
            if (premultiplied && a > 0 && a < 255) {
                r = std::min(255u, (r * 255 + a / 2) / a);
                g = std::min(255u, (g * 255 + a / 2) / a);
                b = std::min(255u, (b * 255 + a / 2) / a);
            }
            d[0] = uint8_t(b);
            d[1] = uint8_t(g);
            d[2] = uint8_t(r);
            d[3] = uint8_t(a);
        }
    }
    return PictureFromArgb(std::move(out));
}

// The smallest thumbnail of the picture at least 1/reduction of its size on both sides, in
// its proportions (a thumbnail turned otherwise would show wrong); none when there is no such.
THandlePtr ThumbnailFor(const heif_image_handle* handle, int reduction) {
    const int w = Heif().heif_image_handle_get_width(handle),
              h = Heif().heif_image_handle_get_height(handle);
    const int count = Heif().heif_image_handle_get_number_of_thumbnails(handle);
    if (reduction < 2 || w <= 0 || h <= 0 || count <= 0) return nullptr;
    std::vector<heif_item_id> ids(size_t(std::min(count, 16)));
    ids.resize(size_t(std::max(0, Heif().heif_image_handle_get_list_of_thumbnail_IDs(
                                      handle, ids.data(), int(ids.size())))));
    THandlePtr best;
    for (const heif_item_id id : ids) {
        heif_image_handle* thumb = nullptr;
        if (Heif().heif_image_handle_get_thumbnail(handle, id, &thumb).code != heif_error_Ok)
            continue;
        THandlePtr owned(thumb);
        const int64_t tw = Heif().heif_image_handle_get_width(thumb);
        const int64_t th = Heif().heif_image_handle_get_height(thumb);
        const bool large = tw * reduction >= w && th * reduction >= h && tw < w && th < h;
        if (!large || !InProportion(tw, th, w, h)) continue;
        if (!best || tw < Heif().heif_image_handle_get_width(best.get())) best = std::move(owned);
    }
    return best;
}

void ReadHeif(const TReadInput& input, TGraphic& graphic) {
    const THeifFile file(input.Bytes);
    const THandlePtr handle = file.Handle(input.ImageIndex);
    graphic.ImageCount = file.Count();
    graphic.FileWidth = Heif().heif_image_handle_get_width(handle.get());
    graphic.FileHeight = Heif().heif_image_handle_get_height(handle.get());
    graphic.IccProfile = IccOf(handle.get());
    graphic.ExifBlock = ExifOf(handle.get(), file.Size());
    const THandlePtr thumbnail = ThumbnailFor(handle.get(), input.Reduction);
    graphic.Picture = PictureOf(thumbnail ? thumbnail.get() : handle.get());
}

// From the primary picture's thumbnails.
TReducedDecoding ProbeHeif(std::span<const uint8_t> bytes) {
    const THeifFile file(bytes);
    const THandlePtr handle = file.Handle(0);
    TReducedDecoding probe{Heif().heif_image_handle_get_width(handle.get()),
                           Heif().heif_image_handle_get_height(handle.get())};
    for (const int r : {2, 4, 8})
        if (ThumbnailFor(handle.get(), r)) {
            probe.Smallest = r;
            break;
        }
    return probe;
}

QByteArray HeifExif(std::span<const uint8_t> bytes) {
    const THeifFile file(bytes);
    return ExifOf(file.Handle(0).get(), file.Size());
}

} // namespace

const TGraphicClass gcHeif{"THeifImage", ReadHeif, nullptr, false,
                           HeifExif,     true,     nullptr, ProbeHeif};

TBitmap DecodeHeif(TBytes data, int index) {
    const THeifFile file(data);
    return PictureOf(file.Handle(index).get());
}
