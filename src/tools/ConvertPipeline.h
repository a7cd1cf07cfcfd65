// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// tavelune-convert on several threads: the decoding workers load and change the inputs, a few
// ahead of the one being saved, while this thread finishes each load (its messages), encodes
// and writes, in input order. Outputs and messages are those of a serial run.

#include "formats/DecodeFile.h"
#include "formats/DecodeWorkers.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TConvertedInput {
    // The picture delivered and changed; no Graphic when the load failed.
    TDecodedFile Decoded;
    std::string ChangeError; // what the change threw; empty when it went through
    // The encoding ran (after a load and change that went through): Bytes holds the output's
    // content, or nothing when the writer failed.
    bool Encoded = false;
    std::optional<std::vector<uint8_t>> Bytes;
};

// Changes a loaded picture; the graphic holds what the load found beside it (EXIF block).
using TConvertChange = std::function<void(TBitmap& picture, const TGraphic& graphic)>;
// Turns the changed picture into the content of its output; may throw.
using TConvertEncode = std::function<std::vector<uint8_t>(const TBitmap& picture)>;
// encode's output, or nothing when it threw.
std::optional<std::vector<uint8_t>> EncodeOrNothing(const TConvertEncode& encode,
                                                    const TBitmap& picture);

class TConvertPipeline {
public:
    // jobs 1 runs everything on this thread, at Take. change and encode may be empty; encode
    // runs where change does, so it must touch nothing process-wide.
    // imageIndex picks the page or frame of every input (0-based).
    TConvertPipeline(const QStringList& inputs, int jobs, TConvertChange change,
                     TConvertEncode encode = {}, int imageIndex = 0);
    ~TConvertPipeline();

    // The input's result, waiting for it; inputs are taken in order, each once.
    TConvertedInput Take(int index);

private:
    struct TSlot;
    void StartUpTo(int index);

    std::vector<std::unique_ptr<TSlot>> m_slots;
    TConvertChange m_change;
    TConvertEncode m_encode;
    std::unique_ptr<TDecodeWorkers> m_workers; // none with one job
    int m_ahead = 0;                           // inputs started beyond the one taken
    int m_started = 0;
};
