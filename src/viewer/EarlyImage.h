#pragma once
// The image named on the command line starts decoding on a worker at the very start of the
// program, while Qt and the main window come up; the window's first paint then waits only for
// what is not ready yet.

#include "formats/DecodeWorkers.h"
#include "viewer/WorkingImage.h"

#include <QStringList>
#include <memory>
#include <optional>

struct TEarlyImage {
    TDecodeRequest Request;
    std::shared_ptr<TPreparedImage> Result; // filled by the job
    TDecodeWorkers::TTicketPtr Ticket;
};

// Starts the decoding when the argument the window will open names an image file that a
// worker may decode. The settings are not read yet: the image is made unshaped.
std::optional<TEarlyImage> StartEarlyImage(TDecodeWorkers& workers, const QStringList& arguments);
