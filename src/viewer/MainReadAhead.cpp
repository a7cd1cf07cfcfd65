// SPDX-License-Identifier: GPL-2.0-or-later
// When the main window's work happens: working images made by the decoding workers before they
// are opened, the image just left kept for a step back, and a reduced picture of a large image
// shown while the full one decodes. What is shown and in which order stays as without them.
#include "viewer/Main.h"

#include "browse/EarlyImage.h"
#include "browse/ReadAhead.h"
#include "browse/WorkingImage.h"
#include "browse/ZoomPolicy.h"
#include "core/ColorAdjust.h"
#include "formats/DecodeFile.h"
#include "formats/DecodeWorkers.h"
#include "formats/Exif.h"
#include "formats/ImageFiles.h"
#include "viewer/MainView.h"

void TMainForm::StartReadAhead(TMainFormSeams& seams) {
    m_workers = seams.Workers ? std::move(seams.Workers)
                              : std::make_shared<TDecodeWorkers>(TDecodeWorkers::DefaultThreads());
    m_readAhead = std::make_unique<TReadAhead>(m_workers);
    m_readAhead->SetCapacity(qint64(kDefaultCacheMiB) << 20);
    if (const TEarlyImage* early = seams.EarlyImage.get())
        m_readAhead->Adopt(early->Request, TImageShape{}, early->Result, early->Ticket);
    m_opening.SetEarly(std::move(seams.EarlyImage));
}

void TMainForm::ShowNow() {
    if (isVisible()) m_view->repaint();
}

bool TMainForm::LoadShapedImage(QString& path, TBitmap& image, std::unique_ptr<TShownImage>& shown,
                                int page) {
    const TImageShape shape = ImageShapeOf(m_settings);
    if (path.isEmpty() || ImageFileHookWatchesLoads()) {
        // The open dialog, or a hook that acts while files load: the load as it always ran.
        if (LoadImageFile(path, image, m_settings.defdir, page) <= 0) return false;
        image.To24Bit();
        TurnByRotationSetting(image, shape.rotation, ExifOrientation(OptionsOE().ExifBlock));
        ApplyDisplayAdjustments(image, shape.teinte, shape.reglage, shape.bflou);
        return true;
    }
    TDecodeRequest request = MakeDecodeRequest(path);
    request.ImageIndex = page;
    // The command line's image may still decode: its bytes give a reduced picture meanwhile.
    if (const std::shared_ptr<TEarlyImage> early = m_opening.TakeEarly()) {
        const bool same = early->Request == request;
        if (same && !m_workers->Done(early->Ticket)) ShowEarlyStandIn(*early);
        // Held until now: the worker shapes the image and makes its averages, not this thread.
        if (same && m_workers->Held(early->Ticket)) *early->Shaping = {shape, ViewShape()};
        m_workers->Release(early->Ticket);
    }
    // Images are made ahead for their first page only.
    std::optional<TPreparedImage> made;
    if (page == 0) made = m_readAhead->Take(request, shape);
    if (!made) made = MakeWorkingImageNow(request);
    ShapeWorkingImage(*made, shape);
    const int result = FinishImageLoad(made->Decoded, image);
    // The full image is in (or failed): the stand-in has had its time.
    if (m_zoom->HasStandIn()) {
        m_zoom->EndStandIn();
        m_standIn.Clear();
        if (result <= 0) Refresh();
    }
    if (result <= 0) return false;
    shown = std::make_unique<TShownImage>();
    shown->Blocks = std::move(made->Blocks);
    shown->Load = std::move(made->Decoded);
    shown->Shape = shape;
    shown->PictureKey = image.Image().cacheKey();
    return true;
}

TPreparedImage TMainForm::MakeWorkingImageNow(const TDecodeRequest& request) {
    const TImageShape shape = ImageShapeOf(m_settings);
    if (DecodeThreading(*request.Class) == TDecodeThreading::UserInterfaceOnly)
        return PrepareWorkingImage(request, shape);
    QByteArray bytes;
    TFileStamp stamp;
    try {
        bytes = ReadWholeFile(request.FileName, &stamp);
    } catch (...) {
        return PrepareWorkingImage(request, shape); // fails as the load always failed
    }
    // The full image on a worker; meanwhile this thread may show a reduced one.
    auto result = std::make_shared<TPreparedImage>();
    const TDecodeWorkers::TTicketPtr ticket = ShowStandIn(request, bytes, stamp, [&] {
        return m_workers->Submit(
            [result, request, bytes, stamp, shape, view = ViewShape()] {
                *result = PrepareWorkingImage(request, bytes, stamp, shape, view);
            },
            kPriorityOpening);
    });
    m_workers->Wait(ticket);
    if (!m_workers->Done(ticket)) return PrepareWorkingImage(request, bytes, stamp, shape);
    return std::move(*result);
}

namespace {

// The scale the zoom settings give an image of this size in this view.
double ZoomScaleFor(QSize size, const TRect& view, const TZoomSettings& settings) {
    TImageZoom probe;
    probe.SetViewRect(view);
    probe.SetStandIn(nullptr, size);
    ApplyZoomSetting(probe, settings);
    return probe.Scale();
}

// 8, 4 or 2: the largest reduction whose picture is still as large as the image is shown at
// scale; 1 when the image shows at more than half its size.
int ReductionFor(double scale) {
    for (const int r : {8, 4, 2})
        if (scale > 0 && scale * r <= 1.0) return r;
    return 1;
}

} // namespace

int TMainForm::StandInReduction(QSize stored) const {
    if (!isVisible() || m_layoutSuspended || stored.isEmpty()) return 1;
    // A thumbnail placed at random gets its place only once opened.
    if (m_settings.zoom == kZoomThumbnail && m_settings.bva) return 1;
    const TZoomSettings zoom{m_settings.zoom, m_settings.breduction, m_settings.vtaille};
    const TRect view = m_zoom->ViewRect();
    // Either way up, as the turn is known only once the EXIF block is read.
    return ReductionFor(
        std::max(ZoomScaleFor(stored, view, zoom), ZoomScaleFor(stored.transposed(), view, zoom)));
}

TDecodeWorkers::TTicketPtr
TMainForm::ShowStandIn(const TDecodeRequest& request, const QByteArray& bytes,
                       const TFileStamp& stamp,
                       const std::function<TDecodeWorkers::TTicketPtr()>& startFull) {
    // Later pages have no reduced decoding of their own.
    if (request.ImageIndex != 0) return startFull();
    const TReducedDecoding probe = ProbeReducedDecoding(request, bytes);
    const QSize stored(probe.Width, probe.Height);
    TDecodeRequest reduced = request;
    reduced.Reduction = StandInReduction(stored);
    if (!probe.Allows(reduced.Reduction)) return startFull();
    // A reader that decodes one file at a time would make the small picture wait for the full
    // one: it goes first.
    TDecodeWorkers::TTicketPtr ticket;
    if (DecodeThreading(*request.Class) != TDecodeThreading::Serialised) ticket = startFull();
    TPreparedImage small = PrepareWorkingImage(reduced, bytes, stamp, std::nullopt);
    if (!ticket) ticket = startFull();
    if (!small.Failed() && !m_workers->Done(ticket)) PresentStandIn(std::move(small), stored);
    return ticket;
}

void TMainForm::PresentStandIn(TPreparedImage small, QSize stored) {
    ShapeWorkingImage(small, ImageShapeOf(m_settings), stored);
    const TGraphic& graphic = *small.Decoded.Graphic;
    const TOpeningTurn turn = OpeningTurn(m_settings.rotation, ExifOrientation(graphic.ExifBlock),
                                          stored.width(), stored.height());
    const QSize fullSize = SwapsSides(turn) ? stored.transposed() : stored;

    // Placed and decorated as the full image will be, in the place it will take.
    m_standIn = std::move(small.Decoded.Graphic->Picture);
    m_zoom->SetStandIn(&m_standIn, fullSize);
    m_manualZoom = false;
    if (m_settings.zoom == kZoomThumbnail) m_zoom->SetAlignment(zaCenter);
    StopScrolling();
    ApplyZoomSettings();
    if (m_opening.Rescanning())
        m_opening.SetUnlistedComment(small.Decoded.Request.FileName, m_settings.scmtnf);
    ComposeScreen();
    m_opening.ClearUnlistedComment();
    ShowNow();
}

void TMainForm::ShowEarlyStandIn(const TEarlyImage& early) {
    if (!early.ReducedTicket) return;
    m_workers->Wait(early.ReducedTicket);
    if (!m_workers->Done(early.ReducedTicket) || m_workers->Done(early.Ticket)) return;
    TPreparedImage& small = *early.Reduced;
    if (small.Failed()) return;
    const TGraphic& graphic = *small.Decoded.Graphic;
    const QSize stored(graphic.FileWidth, graphic.FileHeight);
    // Decoded before the window existed: shown only when the zoom allows that reduction.
    if (StandInReduction(stored) < small.Decoded.Request.Reduction) return;
    PresentStandIn(std::move(small), stored);
}

void TMainForm::KeepShownImage() {
    const std::unique_ptr<TShownImage> shown = std::move(m_shown);
    if (!shown || !shown->Load.Graphic || m_image.Empty()) return;
    if (shown->Load.Request.ImageIndex != 0) return; // images are kept for their first page only
    // Changed by a command, or made for other settings: not the image an opening would make.
    if (m_image.Image().cacheKey() != shown->PictureKey) return;
    if (shown->Shape != ImageShapeOf(m_settings)) return;
    TPreparedImage image;
    image.Decoded = std::move(shown->Load);
    image.Decoded.Graphic->Picture = std::move(m_image);
    image.Decoded.Delivered = true;
    image.Shape = shown->Shape;
    image.Shaped = true;
    image.Blocks = std::move(m_blocks);
    const TDecodeRequest request = image.Decoded.Request;
    m_readAhead->Keep(std::move(image), request);
}

void TMainForm::ScheduleReadAhead() {
    m_readAhead->SetCapacity(qint64(m_settings.cache) << 20);
    if (ImageFileHookWatchesLoads() || m_readAhead->Capacity() == 0) return;
    const int current = m_sequence.Current();
    const int count = m_sequence.Count();
    if (current < 0) return;
    const bool wrap = m_slideshow.On() && m_settings.bboucler;
    const auto pathAt = [&](int index) -> QString {
        if (wrap && count > 1) index = (index + count) % count;
        if (index < 0 || index >= count || index == current) return {};
        return ListPath(m_sequence.Entries()[index].Path);
    };
    const QString ahead = pathAt(current + m_opening.Travel());
    const QString behind = pathAt(current - m_opening.Travel());
    QStringList wanted;
    for (const QString& path : {ahead, behind})
        if (!path.isEmpty()) wanted << path;
    // Rapid steps leave jobs for images passed by: those not started yet are withdrawn.
    m_readAhead->WithdrawOthers(wanted);
    const TImageShape shape = ImageShapeOf(m_settings);
    m_readAhead->DropOtherShapes(shape);
    const TViewShape view = ViewShape();
    if (!ahead.isEmpty())
        m_readAhead->Request(MakeDecodeRequest(ahead), shape, kPriorityAhead, view);
    if (!behind.isEmpty())
        m_readAhead->Request(MakeDecodeRequest(behind), shape, kPriorityBehind, view);
}

TViewShape TMainForm::ViewShape() const {
    return TViewShape{m_zoom->ViewRect(),
                      TZoomSettings{m_settings.zoom, m_settings.breduction, m_settings.vtaille},
                      m_settings.boptimiserz};
}

void TMainForm::FileTouched(const QString& path) {
    m_readAhead->Forget(path);
    if (m_shown && ReadAheadKey(m_shown->Load.Request.FileName) == ReadAheadKey(path))
        m_shown.reset();
}
