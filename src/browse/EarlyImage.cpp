// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/EarlyImage.h"

#include "browse/CommandLine.h"
#include "browse/ReadAhead.h"

#include "formats/JpegUtils.h"

#include <QFileInfo>
#include <algorithm>

int EarlyReduction(int width, int height) {
    const int side = std::min(width, height);
    for (const int r : {8, 4, 2})
        if (side / r >= kEarlyStandInSide) return r;
    return 1;
}

std::optional<TEarlyImage> StartEarlyImage(TDecodeWorkers& workers, const QStringList& arguments) {
    const QString argument = OpenArgument(arguments);
    if (argument.isEmpty()) return std::nullopt;
    const QFileInfo info(argument);
    // Folders and sequence files are listed first; the window opens them itself.
    if (!info.isFile() || info.suffix().toLower() == QLatin1String("stl")) return std::nullopt;
    // The path exactly as the window's opening will name it.
    TEarlyImage early;
    early.Request = MakeDecodeRequest(info.absoluteFilePath());
    if (DecodeThreading(*early.Request.Class) == TDecodeThreading::UserInterfaceOnly)
        return std::nullopt;
    try {
        early.Bytes = ReadWholeFile(early.Request.FileName, &early.Stamp);
    } catch (...) {
        return std::nullopt; // the window's opening reports it
    }
    if (early.Request.Class == &gcJpeg) {
        const TJpegSize stored =
            JpegStoredSize({reinterpret_cast<const uint8_t*>(early.Bytes.constData()),
                            size_t(early.Bytes.size())});
        TDecodeRequest reduced = early.Request;
        reduced.Reduction = EarlyReduction(stored.Width, stored.Height);
        if (reduced.Reduction > 1) {
            early.Reduced = std::make_shared<TPreparedImage>();
            // Before the full decoding: the first screen waits only for this one.
            early.ReducedTicket = workers.Submit(
                [result = early.Reduced, reduced, bytes = early.Bytes, stamp = early.Stamp] {
                    *result = PrepareWorkingImage(reduced, bytes, stamp, std::nullopt);
                },
                kPriorityOpening + 1);
        }
    }
    early.Result = std::make_shared<TPreparedImage>();
    early.Ticket = workers.Submit(
        [result = early.Result, request = early.Request, bytes = early.Bytes, stamp = early.Stamp] {
            *result = PrepareWorkingImage(request, bytes, stamp, std::nullopt);
        },
        kPriorityOpening);
    return early;
}
