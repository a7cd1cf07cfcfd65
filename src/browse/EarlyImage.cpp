// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/EarlyImage.h"

#include "browse/CommandLine.h"
#include "browse/ReadAhead.h"

#include <QFileInfo>
#include <algorithm>

int EarlyReduction(int width, int height) {
    const int side = std::min(width, height);
    for (const int r : {8, 4, 2})
        if (side / r >= kEarlyStandInSide) return r;
    return 1;
}

namespace {

// A reduced decoding to stand in, before the full one: the first screen waits only for it.
void SubmitReduced(TDecodeWorkers& workers, TEarlyImage& early) {
    const TReducedDecoding probe = ProbeReducedDecoding(early.Request, early.Bytes);
    TDecodeRequest reduced = early.Request;
    reduced.Reduction = EarlyReduction(probe.Width, probe.Height);
    if (!probe.Allows(reduced.Reduction)) return;
    early.Reduced = std::make_shared<TPreparedImage>();
    early.ReducedTicket = workers.Submit(
        [result = early.Reduced, reduced, bytes = early.Bytes, stamp = early.Stamp] {
            *result = PrepareWorkingImage(reduced, bytes, stamp, std::nullopt);
        },
        kPriorityOpening + 1);
}

} // namespace

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
    SubmitReduced(workers, early);
    early.Result = std::make_shared<TPreparedImage>();
    auto job = [result = early.Result, request = early.Request, bytes = early.Bytes,
                stamp = early.Stamp, shaping = early.Shaping]() mutable {
        *result =
            PrepareWorkingImage(request, std::move(bytes), stamp, shaping->Shape, shaping->View);
    };
    early.Ticket = early.ReducedTicket ? workers.SubmitHeld(std::move(job), kPriorityOpening)
                                       : workers.Submit(std::move(job), kPriorityOpening);
    return early;
}
