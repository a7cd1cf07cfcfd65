// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/DecodeFile.h"

#include "formats/FileNames.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"

#include <QBuffer>
#include <mutex>

namespace {

struct TReaderChoice {
    const TGraphicClass* Class;
    bool FromRegistry;
};

TReaderChoice ChooseReader(const QString& fileName) {
    if (IsPngName(fileName)) return {&gcPng, false};
    if (IsGifName(fileName)) return {&gcGif, false};
    if (IsJpegName(fileName)) return {&gcJpeg, false};
    if (IsOxiName(fileName)) return {&gcOxi, false};
    if (IsRawName(fileName)) return {&gcRaw, false};
    if (IsTiffName(fileName)) return {&gcTiff, false};
    const QString ext = FileExtension(fileName).mid(1);
    const TFileFormatList& list = FileFormats();
    if (!ext.isEmpty()) {
        if (const TExtensionEntry* e = list.FindExtension(ext)) {
            const TGraphicClass* cls = list.FactoryClass(ext);
            return {cls ? cls : e->Class, true};
        }
    }
    return {&gcRaw, false};
}

std::mutex& SerialReaders() {
    static std::mutex mutex;
    return mutex;
}

// The EXIF block as the metadata reader finds it in the file, from the bytes in memory.
QByteArray ExifBlockOf(const QByteArray& bytes, TExifContainer container) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    return FindExifBlock(buffer, container).value_or(QByteArray());
}

// Held around a decoding whose reader may not run beside another one.
class TSerialLock {
public:
    explicit TSerialLock(const TGraphicClass& cls) : m_lock(SerialReaders(), std::defer_lock) {
        if (DecodeThreading(cls) == TDecodeThreading::Serialised) m_lock.lock();
    }

private:
    std::unique_lock<std::mutex> m_lock;
};

void DecodeBytes(const TDecodeRequest& request, const QByteArray& bytes, TGraphic& graphic) {
    TReadInput input{request.FileName,
                     {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())},
                     request.Preview,
                     request.ColourManagement,
                     request.ImageIndex};
    input.Reduction = request.Reduction;
    ReadGraphic(input, graphic);
    // The metadata comes from the same bytes as the pixels.
    if (request.Exif) graphic.ExifBlock = ExifBlockOf(bytes, *request.Exif);
}

} // namespace

TDecodeRequest MakeDecodeRequest(const QString& fileName, bool preview) {
    FileFormats(); // the tables exist before the first choice
    const TReaderChoice choice = ChooseReader(fileName);
    TDecodeRequest request;
    request.FileName = fileName;
    request.Class = choice.Class;
    request.FromRegistry = choice.FromRegistry;
    if (IsJpegName(fileName))
        request.Exif = TExifContainer::Jpeg;
    else if (IsTiffName(fileName))
        request.Exif = TExifContainer::Tiff;
    request.Preview = preview;
    request.ColourManagement = OptionsOE().ColourManagement;
    return request;
}

void DecodeInto(const TDecodeRequest& request, TGraphic& graphic, TFileStamp* stamp) {
    const TSerialLock serial(*request.Class);
    DecodeBytes(request, ReadWholeFile(request.FileName, stamp), graphic);
}

void DecodeBytesInto(const TDecodeRequest& request, const QByteArray& bytes, TGraphic& graphic) {
    const TSerialLock serial(*request.Class);
    DecodeBytes(request, bytes, graphic);
}

namespace {

// read gives the file's bytes and stamp.
template <typename Read>
TDecodedFile DecodeGuarded(const TDecodeRequest& request, Read read) {
    TDecodedFile out;
    out.Request = request;
    try {
        TGraphic graphic(*request.Class);
        const QByteArray bytes = read(out.Stamp);
        DecodeBytesInto(request, bytes, graphic);
        if (graphic.Animated) out.AnimationBytes = bytes;
        out.FoundBitDepth = graphic.Picture.FoundBitDepth();
        out.Graphic.emplace(std::move(graphic));
    } catch (...) {
        // Every failure, running out of memory included, is the load message, shown later by
        // the user-interface thread.
        out.Graphic.reset();
    }
    return out;
}

} // namespace

TDecodedFile DecodeImageFile(const TDecodeRequest& request) {
    return DecodeGuarded(
        request, [&](TFileStamp& stamp) { return ReadWholeFile(request.FileName, &stamp); });
}

TDecodedFile DecodeImageFile(const TDecodeRequest& request, const QByteArray& bytes,
                             const TFileStamp& stamp) {
    return DecodeGuarded(request, [&](TFileStamp& out) {
        out = stamp;
        return bytes;
    });
}

TReducedDecoding ProbeReducedDecoding(const TDecodeRequest& request, const QByteArray& bytes) {
    if (!request.Class || !request.Class->ProbeReduction) return {};
    try {
        const TSerialLock serial(*request.Class);
        return request.Class->ProbeReduction(
            {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())});
    } catch (...) {
        return {}; // a damaged header: no reduced picture, the full decoding reports it
    }
}

TDecodeThreading DecodeThreading(const TGraphicClass& cls) {
    // Readers of our own and libraries whose state lives in the objects of one decoding
    // (libjpeg, libpng, giflib, libtiff with per-file handlers) run side by side.
    static const TGraphicClass* const kParallel[] = {
        &gcJpeg,         &gcPng, &gcGif,  &gcTiff,        &gcBitmap,   &gcTarga,   &gcPcx,
        &gcRla,          &gcSgi, &gcPsd,  &gcPortableMap, &gcAutodesk, &gcPhotoCd, &gcDrHalo,
        &gcPaintShopPro, &gcOxi, &gcIcon, &gcWebp,        &gcAvif,     &gcJxl,
    };
    for (const TGraphicClass* c : kParallel)
        if (c == &cls) return TDecodeThreading::Parallel;
    // The RAW decoder library is loaded once for the process and keeps its own state.
    if (&cls == &gcRaw) return TDecodeThreading::Serialised;
    // libheif registers its decoder plugins on first use, process-wide.
    if (&cls == &gcHeif) return TDecodeThreading::Serialised;
    // Metafiles and selection shapes draw with fonts and painters; anything not known to be
    // safe stays on the user-interface thread too.
    return TDecodeThreading::UserInterfaceOnly;
}
