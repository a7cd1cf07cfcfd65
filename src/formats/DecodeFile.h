// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A load split where the user-interface work ends. The decoding of a file (its bytes read once,
// the reader, the size stored in the file, the bit depth found, the EXIF block) touches nothing
// process-wide, so a worker thread may run it. What LoadImageFile does besides (the hook
// stages, the results of the last load, the failure message) stays on the user-interface
// thread: FinishImageLoad in ImageFiles.h. LoadImageFile is the two in a row.

#include "formats/ExifSegments.h"
#include "formats/FileData.h"
#include "formats/Graphic.h"

#include <QString>
#include <optional>

// What a decoding needs to know, made on the user-interface thread: choosing the reader reads
// the format registry, which only that thread may touch.
struct TDecodeRequest {
    QString FileName;
    const TGraphicClass* Class = nullptr;
    bool FromRegistry = false; // the graphic object comes into being only as the file is read
    std::optional<TExifContainer> Exif; // JPEG and TIFF names: where the EXIF block lies
    bool Preview = false;
    int Reduction = 1;            // see TReadInput
    bool ColourManagement = true; // see TReadInput; taken from the load options when made
    int ImageIndex = 0;           // see TReadInput
    friend bool operator==(const TDecodeRequest&, const TDecodeRequest&) = default;
};

// The request LoadImageFile makes for this name (user-interface thread only).
TDecodeRequest MakeDecodeRequest(const QString& fileName, bool preview = false);

struct TDecodedFile {
    TDecodeRequest Request;
    // The decoded graphic; none when the decoding failed.
    std::optional<TGraphic> Graphic;
    TFileStamp Stamp;      // of the file whose bytes were decoded
    int FoundBitDepth = 0; // what the reader found, before anyone changed the picture
    // The picture went through DeliverGraphic already (and may have been changed since).
    bool Delivered = false;
    // An animation's bytes, shared with the decoding: its frame source needs no second read.
    QByteArray AnimationBytes;
};

// Reads the file once and decodes it into graphic; throws what the reader throws.
void DecodeInto(const TDecodeRequest& request, TGraphic& graphic, TFileStamp* stamp = nullptr);
// Decodes bytes read already; throws what the reader throws.
void DecodeBytesInto(const TDecodeRequest& request, const QByteArray& bytes, TGraphic& graphic);
// The same, never throwing: a failure leaves Graphic empty. Without bytes the file is read.
TDecodedFile DecodeImageFile(const TDecodeRequest& request);
TDecodedFile DecodeImageFile(const TDecodeRequest& request, const QByteArray& bytes,
                             const TFileStamp& stamp);

// What the request's reader decodes reduced from these bytes; never throws.
TReducedDecoding ProbeReducedDecoding(const TDecodeRequest& request, const QByteArray& bytes);

// How far a reader may run beside others. Parallel: on any thread at any time. Serialised: on
// any thread, one at a time (DecodeInto takes care of it). UserInterfaceOnly: its library draws
// text or keeps other state of the user-interface thread.
enum class TDecodeThreading { Parallel, Serialised, UserInterfaceOnly };
TDecodeThreading DecodeThreading(const TGraphicClass& cls);
