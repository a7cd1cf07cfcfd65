// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/ConvertPipeline.h"

#include "formats/ImageFiles.h"

#include <algorithm>
#include <exception>

struct TConvertPipeline::TSlot {
    TDecodeRequest Request;
    std::shared_ptr<TConvertedInput> Result = std::make_shared<TConvertedInput>();
    TDecodeWorkers::TTicketPtr Ticket; // none: runs on this thread at Take
};

namespace {

void Convert(const TDecodeRequest& request, const TConvertChange& change,
             const TConvertEncode& encode, TConvertedInput& out) {
    out.Decoded = DecodeImageFile(request);
    if (!out.Decoded.Graphic) return;
    TGraphic& graphic = *out.Decoded.Graphic;
    try {
        TBitmap picture;
        DeliverGraphic(graphic, picture);
        graphic.Picture = std::move(picture);
        out.Decoded.Delivered = true;
    } catch (...) {
        out.Decoded.Graphic.reset(); // out of memory: a load failure
        return;
    }
    try {
        if (change) change(graphic.Picture, graphic);
    } catch (const std::exception& e) {
        out.ChangeError = e.what();
        return;
    } catch (...) {
        out.ChangeError = "failed";
        return;
    }
    if (!encode) return;
    out.Encoded = true;
    out.Bytes = EncodeOrNothing(encode, graphic.Picture); // a failure is reported in its turn
}

} // namespace

std::optional<std::vector<uint8_t>> EncodeOrNothing(const TConvertEncode& encode,
                                                    const TBitmap& picture) {
    try {
        return encode(picture);
    } catch (...) {
        return std::nullopt;
    }
}

TConvertPipeline::TConvertPipeline(const QStringList& inputs, int jobs, TConvertChange change,
                                   TConvertEncode encode, int imageIndex)
    : m_change(std::move(change)), m_encode(std::move(encode)) {
    for (const QString& input : inputs) {
        auto slot = std::make_unique<TSlot>();
        // The reader is chosen here: the format registry belongs to this thread.
        slot->Request = MakeDecodeRequest(input);
        slot->Request.ImageIndex = imageIndex;
        m_slots.push_back(std::move(slot));
    }
    if (jobs > 1) {
        m_workers = std::make_unique<TDecodeWorkers>(jobs);
        // Enough work queued to keep every worker busy while this thread saves; no more, as
        // each picture held costs its memory.
        m_ahead = jobs;
    }
}

TConvertPipeline::~TConvertPipeline() {
    m_workers.reset(); // withdraws what has not started, waits for what runs
}

void TConvertPipeline::StartUpTo(int index) {
    if (!m_workers) return;
    const int last = std::min<int>(index + m_ahead, int(m_slots.size()) - 1);
    for (; m_started <= last; ++m_started) {
        TSlot& slot = *m_slots[size_t(m_started)];
        if (DecodeThreading(*slot.Request.Class) == TDecodeThreading::UserInterfaceOnly) continue;
        slot.Ticket =
            m_workers->Submit([request = slot.Request, change = m_change, encode = m_encode,
                               result = slot.Result] { Convert(request, change, encode, *result); },
                              0);
    }
}

TConvertedInput TConvertPipeline::Take(int index) {
    StartUpTo(index);
    TSlot& slot = *m_slots[size_t(index)];
    if (slot.Ticket) {
        m_workers->Wait(slot.Ticket);
        slot.Ticket.reset();
    } else {
        Convert(slot.Request, m_change, m_encode, *slot.Result);
    }
    TConvertedInput out = std::move(*slot.Result);
    slot.Result.reset();
    return out;
}
