// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the camera RAW path: the host's file callbacks, the decoder library
// and LibRaw, for the information call, the thumbnail, the embedded preview that stands in while
// the picture decodes (its probe and its reduced read) and (for small pictures) the full decode.
#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/RawImage.h"

#include <QFileInfo>
#include <cstdint>
#include <dlfcn.h>
#include <exception>

extern "C" int32_t RawInfo(); // only its address: the library this program is linked with

namespace {

// Loads the decoder library from the folder of the copy this program is linked with.
bool UseLinkedLibrary() {
    static const bool loaded = [] {
        Dl_info where{};
        if (!dladdr(reinterpret_cast<void*>(&RawInfo), &where) || !where.dli_fname) return false;
        SetRawLibraryFolders({QFileInfo(QString::fromLocal8Bit(where.dli_fname)).absolutePath()});
        return RawLibraryLoaded();
    }();
    return loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!UseLinkedLibrary()) __builtin_trap();
    const TBytes bytes(data, size);
    const QString name = QStringLiteral("fuzz.dng");
    try {
        const TRawFileInfo info = ReadRawInfo(bytes, name);
        try {
            const TBitmap thumb = RawThumbnail(bytes, name);
            volatile int w = thumb.Width();
            (void)w;
        } catch (const std::exception&) {
        }
        const TReducedDecoding probe = gcRaw.ProbeReduction(bytes);
        try {
            TGraphic graphic(gcRaw);
            TReadInput input{name, bytes};
            input.Reduction = probe.Smallest > 0 ? probe.Smallest : 2;
            gcRaw.Read(input, graphic);
            volatile int w = graphic.Picture.Width();
            (void)w;
        } catch (const std::exception&) {
        }
        if (int64_t(info.Width) * info.Height <= 1 << 20) {
            const TBitmap picture = DecodeRaw(bytes, name, info.Width, info.Height);
            volatile int w = picture.Width();
            (void)w;
        }
    } catch (const std::exception&) {
    }
    return 0;
}
