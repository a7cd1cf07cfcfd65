// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ReadAhead.h"

#include <QFileInfo>
#include <algorithm>

QString ReadAheadKey(const QString& fileName) {
    return QFileInfo(fileName).absoluteFilePath();
}

TReadAhead::TReadAhead(std::shared_ptr<TDecodeWorkers> workers, QObject* parent)
    : QObject(parent), m_workers(std::move(workers)) {}

TReadAhead::~TReadAhead() {
    // Jobs that run still tell this object they finished: wait for them.
    for (const TDecodeWorkers::TTicketPtr& ticket : m_inFlight)
        if (!m_workers->Withdraw(ticket)) m_workers->Wait(ticket);
}

void TReadAhead::SetCapacity(qint64 bytes) {
    m_capacity = std::max<qint64>(0, bytes);
    if (m_capacity == 0)
        Clear();
    else
        TrimToCapacity();
}

std::vector<TReadAhead::TEntry>::iterator TReadAhead::Find(const QString& key) {
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&](const TEntry& e) { return e.Key == key; });
}

bool TReadAhead::Holds(const QString& fileName) const {
    const QString key = ReadAheadKey(fileName);
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&](const TEntry& e) { return e.Key == key; });
}

void TReadAhead::Drop(std::vector<TEntry>::iterator it) {
    // A job that runs already finishes into its own result, which goes with the last owner.
    if (it->Ticket) m_workers->Withdraw(it->Ticket);
    m_entries.erase(it);
}

void TReadAhead::Request(const TDecodeRequest& request, const TImageShape& shape, int priority,
                         const std::optional<TViewShape>& view) {
    if (m_capacity <= 0 || request.FileName.isEmpty()) return;
    if (DecodeThreading(*request.Class) == TDecodeThreading::UserInterfaceOnly) return;
    const QString key = ReadAheadKey(request.FileName);
    const auto found = Find(key);
    if (found != m_entries.end()) {
        if (found->Request == request && found->Shape == shape) {
            found->Used = ++m_clock;
            return;
        }
        Drop(found);
    }
    auto result = std::make_shared<TPreparedImage>();
    // The job writes only its result; the queued call reaches this object on its own thread.
    TDecodeWorkers::TTicketPtr ticket = m_workers->Submit(
        [result, request, shape, view] { *result = PrepareWorkingImage(request, shape, view); },
        priority,
        [receiver = this] { QMetaObject::invokeMethod(receiver, "Drain", Qt::QueuedConnection); });
    m_inFlight.push_back(ticket);
    m_entries.push_back(
        TEntry{key, request, shape, std::move(result), std::move(ticket), ++m_clock});
}

void TReadAhead::Adopt(const TDecodeRequest& request, const TImageShape& shape,
                       std::shared_ptr<TPreparedImage> result, TDecodeWorkers::TTicketPtr ticket) {
    const QString key = ReadAheadKey(request.FileName);
    if (const auto found = Find(key); found != m_entries.end()) Drop(found);
    m_entries.push_back(
        TEntry{key, request, shape, std::move(result), std::move(ticket), ++m_clock});
}

std::optional<TPreparedImage> TReadAhead::Take(const TDecodeRequest& request,
                                               const TImageShape& shape) {
    const auto found = Find(ReadAheadKey(request.FileName));
    if (found == m_entries.end()) return std::nullopt;
    TEntry entry = std::move(*found);
    m_entries.erase(found);
    if (entry.Request != request) {
        if (entry.Ticket) m_workers->Withdraw(entry.Ticket);
        return std::nullopt;
    }
    if (entry.Ticket) {
        m_workers->Wait(entry.Ticket);
        if (!m_workers->Done(entry.Ticket)) return std::nullopt; // withdrawn meanwhile
    }
    TPreparedImage& image = *entry.Result;
    if (image.Failed()) return std::nullopt;
    if (image.Shaped && image.Shape != shape) return std::nullopt;
    // The file changed since it was read: its image is stale.
    if (FileStampOf(request.FileName) != image.Decoded.Stamp) return std::nullopt;
    return std::move(image);
}

void TReadAhead::Keep(TPreparedImage image, const TDecodeRequest& request) {
    if (m_capacity <= 0 || image.Failed() || image.Bytes() > m_capacity) return;
    const QString key = ReadAheadKey(request.FileName);
    if (const auto found = Find(key); found != m_entries.end()) Drop(found);
    const TImageShape shape = image.Shape;
    auto result = std::make_shared<TPreparedImage>(std::move(image));
    m_entries.push_back(TEntry{key, request, shape, std::move(result), nullptr, ++m_clock});
    TrimToCapacity();
}

void TReadAhead::WithdrawOthers(const QStringList& fileNames) {
    QStringList keys;
    for (const QString& name : fileNames)
        keys << ReadAheadKey(name);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->Ticket && !keys.contains(it->Key) && m_workers->Withdraw(it->Ticket))
            it = m_entries.erase(it);
        else
            ++it;
    }
}

void TReadAhead::DropOtherShapes(const TImageShape& shape) {
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        // An unshaped image (the command line's) takes any shape.
        const bool unshaped = !it->Ticket && !it->Result->Shaped;
        if (it->Shape != shape && !unshaped) {
            if (it->Ticket) m_workers->Withdraw(it->Ticket);
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

void TReadAhead::Forget(const QString& fileName) {
    if (const auto found = Find(ReadAheadKey(fileName)); found != m_entries.end()) Drop(found);
}

void TReadAhead::Clear() {
    while (!m_entries.empty())
        Drop(m_entries.end() - 1);
}

qint64 TReadAhead::HeldBytes() const {
    qint64 bytes = 0;
    for (const TEntry& e : m_entries)
        if (!e.Ticket) bytes += e.Result->Bytes();
    return bytes;
}

void TReadAhead::Drain() {
    std::erase_if(m_inFlight, [this](const auto& t) { return m_workers->Settled(t); });
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->Ticket && m_workers->Done(it->Ticket)) {
            it->Ticket = nullptr;
            // A file that does not decode is left to the opening, which reports it.
            if (it->Result->Failed()) {
                it = m_entries.erase(it);
                continue;
            }
        }
        ++it;
    }
    TrimToCapacity();
}

void TReadAhead::TrimToCapacity() {
    // The least recently wanted finished images go first.
    while (HeldBytes() > m_capacity) {
        auto oldest = m_entries.end();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (!it->Ticket && (oldest == m_entries.end() || it->Used < oldest->Used)) oldest = it;
        if (oldest == m_entries.end()) return;
        m_entries.erase(oldest);
    }
}
