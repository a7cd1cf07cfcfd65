// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The working images made ahead of their opening: the images next to the one shown, made by
// the decoding workers while the user looks at it, and the image just left, kept for a step
// back. Going to one of them is a screen composition only.
//
// Everything here runs on the user-interface thread except the jobs themselves, which work on
// data of their own. A finished job tells the window's thread by a queued call (Drain); a
// Take that finds its job still running waits for it.
//
// The held images are capped by their bytes. An image is given out only for the very request
// and shape it was made for, and only while its file keeps the size and modification time it
// had when it was read.

#include "browse/WorkingImage.h"
#include "formats/DecodeWorkers.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// Job priorities: the image being opened first, then the one in the direction of travel.
inline constexpr int kPriorityOpening = 3;
inline constexpr int kPriorityAhead = 2;
inline constexpr int kPriorityBehind = 1;

class TReadAhead : public QObject {
    Q_OBJECT
public:
    explicit TReadAhead(std::shared_ptr<TDecodeWorkers> workers, QObject* parent = nullptr);
    ~TReadAhead() override;

    TDecodeWorkers& Workers() { return *m_workers; }
    qint64 Capacity() const { return m_capacity; }
    // 0 holds nothing and starts nothing.
    void SetCapacity(qint64 bytes);

    // Starts making the working image of the request's file unless it is made or under way;
    // view is where it is expected to show.
    void Request(const TDecodeRequest& request, const TImageShape& shape, int priority,
                 const std::optional<TViewShape>& view = std::nullopt);
    // Takes over a job started by someone else with the same workers (the command line's
    // image, started before the window existed). The job fills *result.
    void Adopt(const TDecodeRequest& request, const TImageShape& shape,
               std::shared_ptr<TPreparedImage> result, TDecodeWorkers::TTicketPtr ticket);
    // The image made for this request and shape, waiting for its job when it runs; nothing
    // when there is none, or it is stale: the caller then makes it itself. An image made
    // unshaped (not Shaped) goes with any shape; the caller shapes it.
    std::optional<TPreparedImage> Take(const TDecodeRequest& request, const TImageShape& shape);
    // Holds an image already made (the one just left) when it fits.
    void Keep(TPreparedImage image, const TDecodeRequest& request);
    // Withdraws the jobs not yet started for files other than these.
    void WithdrawOthers(const QStringList& fileNames);
    // Drops what was made, or is under way, for other settings.
    void DropOtherShapes(const TImageShape& shape);
    // Drops what is held or under way for the file.
    void Forget(const QString& fileName);
    void Clear();

    // Bytes of the finished images held; how many images are held or under way.
    qint64 HeldBytes() const;
    int Count() const { return int(m_entries.size()); }
    bool Holds(const QString& fileName) const;

    // Takes in the finished jobs and keeps within the cap.
    Q_INVOKABLE void Drain();

private:
    struct TEntry {
        QString Key; // the absolute path
        TDecodeRequest Request;
        TImageShape Shape;
        std::shared_ptr<TPreparedImage> Result; // written by the job until it is done
        TDecodeWorkers::TTicketPtr Ticket;      // null once the result is in
        uint64_t Used = 0;
    };
    std::vector<TEntry>::iterator Find(const QString& key);
    void Drop(std::vector<TEntry>::iterator it);
    void TrimToCapacity();

    std::shared_ptr<TDecodeWorkers> m_workers;
    std::vector<TEntry> m_entries;
    // Every job submitted here that may still call Drain, also after its entry went.
    std::vector<TDecodeWorkers::TTicketPtr> m_inFlight;
    qint64 m_capacity = 0;
    uint64_t m_clock = 0;
};

// The key of a file: its absolute path.
QString ReadAheadKey(const QString& fileName);
