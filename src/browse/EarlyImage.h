// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The image named on the command line starts decoding on a worker at the very start of the
// program, while Qt and the main window come up; the window's first paint then waits only for
// what is not ready yet.

#include "browse/WorkingImage.h"
#include "formats/DecodeWorkers.h"

#include <QStringList>
#include <memory>
#include <optional>

// How the window shapes and shows the image, known once it exists. Written while the full
// decoding is held, which then turns, adjusts and averages the picture as the window would.
struct TEarlyShaping {
    std::optional<TImageShape> Shape;
    std::optional<TViewShape> View;
};

struct TEarlyImage {
    TDecodeRequest Request;
    // The file's bytes, read once: the job decodes them, and the window may show a reduced
    // decoding of them while the job runs.
    QByteArray Bytes;
    TFileStamp Stamp;
    std::shared_ptr<TPreparedImage> Result; // filled by the job
    // Held while there is a reduced picture: the window releases it once it has shown that
    // picture, so the full decoding does not take the processors from the first screen.
    TDecodeWorkers::TTicketPtr Ticket;
    std::shared_ptr<TEarlyShaping> Shaping = std::make_shared<TEarlyShaping>();
    // A large image is decoded reduced first, to stand in while the full picture decodes.
    std::shared_ptr<TPreparedImage> Reduced;
    TDecodeWorkers::TTicketPtr ReducedTicket;
};

// The reduction decoded ahead for an image of this stored size: a reduced picture at least this
// many pixels on its shorter side covers the usual windows. 1: none.
inline constexpr int kEarlyStandInSide = 720;
int EarlyReduction(int width, int height);

// Starts the decoding when the argument the window will open names an image file that a
// worker may decode. The settings are not read yet: the image is made unshaped.
std::optional<TEarlyImage> StartEarlyImage(TDecodeWorkers& workers, const QStringList& arguments);
