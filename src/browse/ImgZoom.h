// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The zoom view: how large the image is shown, where it lies in the view rectangle of a target
// image, and the drawing of its visible part; TImageZoomScrolling adds timed scrolling of an
// image larger than the view. Coordinates are pixels of the target; rectangles exclude their
// right and bottom edges.

#include "core/Bitmap.h"
#include "core/Rect.h"

#include <QBrush>
#include <QSize>
#include <cstdint>
#include <functional>
#include <memory>

struct TBlockAverages;

// How Scale is chosen.
enum ZoomMode : uint8_t {
    zmActualSize = 0, // 1.0
    zmFitWidth = 1,   // view width / image width
    zmFitHeight = 2,  // view height / image height
    zmFitScreen = 3,  // the smaller of the two
    zmCustom = 4,     // kept as set
};

// How ImageLeft and ImageTop are chosen: a 3 x 3 grid, then three special values.
enum Alignment : uint8_t {
    zaTopLeft = 0,
    zaTopCenter = 1,
    zaTopRight = 2,
    zaMiddleLeft = 3,
    zaCenter = 4,
    zaMiddleRight = 5,
    zaBottomLeft = 6,
    zaBottomCenter = 7,
    zaBottomRight = 8,
    zaCenterHorz = 9,  // centred horizontally, vertical position kept
    zaCenterVert = 10, // centred vertically, horizontal position kept
    zaFree = 11,       // set explicitly or scrolled: never recomputed
};

// The way the image moves on screen while scrolling.
enum ScrollDirection : uint8_t { sdRight = 0, sdLeft = 1, sdDown = 2, sdUp = 3 };

enum class TViewSide : uint8_t { Left, Top, Right, Bottom };

class TImageZoom {
public:
    TImageZoom() = default;
    virtual ~TImageZoom() = default;
    TImageZoom(const TImageZoom&) = delete;
    TImageZoom& operator=(const TImageZoom&) = delete;

    // The source image; not owned, may be none. Only a different object triggers Recompute: the
    // owner calls Recompute itself after changing the image in place.
    const TBitmap* Bitmap() const { return m_bitmap; }
    void SetBitmap(const TBitmap* image);
    // A smaller picture of the same image (a reduced decoding) shown until the bitmap is ready:
    // the zoom scales and places as for a bitmap of fullSize and draws the picture stretched
    // over that place. The picture (not owned) may be none, for the arithmetic alone. Ends
    // with EndStandIn or SetBitmap.
    void SetStandIn(const TBitmap* picture, QSize fullSize);
    void EndStandIn();
    bool HasStandIn() const { return m_standInSize.isValid(); }
    // Block averages of the bitmap made ahead for the smooth stretch (not owned, may be none);
    // used only while they match the bitmap and the size it is drawn at.
    void SetBlockAverages(const TBlockAverages* averages) { m_averages = averages; }
    const TBlockAverages* BlockAverages() const { return m_averages; }
    // The target; not owned, may be none. A new target also makes the view its whole area.
    TBitmap* Canvas() const { return m_canvas; }
    void SetCanvas(TBitmap* canvas);
    // What fills the view around the image when drawing with fill.
    const QBrush& Brush() const { return m_brush; }
    void SetBrush(const QBrush& brush) { m_brush = brush; }

    const TRect& ViewRect() const { return m_viewRect; }
    void SetViewRect(const TRect& rect);
    ::ZoomMode ZoomMode() const { return m_zoomMode; }
    void SetZoomMode(::ZoomMode mode);
    double Scale() const { return m_scale; }
    // Values not above 0 count as 1; the mode becomes zmCustom in every case.
    void SetScale(double scale);
    ::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(::Alignment alignment);
    int ImageLeft() const { return m_imageLeft; }
    int ImageTop() const { return m_imageTop; }
    // Both make the alignment zaFree; nothing is recomputed.
    void SetImageLeft(int x);
    void SetImageTop(int y);
    int ZoomedWidth() const { return m_zoomedWidth; }
    int ZoomedHeight() const { return m_zoomedHeight; }
    // Zoom to this width (height), keeping the proportions; mode zmCustom.
    void SetZoomedWidth(int w);
    void SetZoomedHeight(int h);
    // Smooth (area-averaged) stretching; opaque images only.
    bool Optimize() const { return m_optimize; }
    void SetOptimize(bool on) { m_optimize = on; }

    // Scale from the mode (when the view is not empty), zoomed size, then Realign.
    void Recompute();
    // Position from the alignment, unless there is no image, the view is empty or it is free.
    void Realign();

    // Draws the visible part of the zoomed image and returns it; with fill, the rest of the view
    // is filled with the brush. Empty when nothing was drawn.
    TRect Draw(bool fill);
    // Moves the image by at most (dx, dy), never opening a gap on a side where it covers the
    // view, and draws it; returns the drawn rectangle, empty when nothing moved.
    TRect ScrollBy(int dx, int dy, bool fill);

    TRect ImageRect() const;
    // Whether part of the image lies beyond that side of the view.
    bool CanScroll(TViewSide side) const;

    // 0 for an empty image or rectangle; kind 1 width ratio, 2 height ratio, 3 the smaller of
    // both, any other kind 1.0.
    static double FitScale(const TBitmap* image, const TRect& rect, int kind);

protected:
    bool HasImage() const { return m_bitmap != nullptr || HasStandIn(); }

private:
    void StretchVisible(const TRect& visible);
    // The size the zoom works with: the bitmap's, or the one the stand-in stands for.
    int SourceWidth() const;
    int SourceHeight() const;
    double SourceFitScale(int kind) const;

    const TBitmap* m_bitmap = nullptr;
    const TBitmap* m_standIn = nullptr;
    const TBlockAverages* m_averages = nullptr;
    QSize m_standInSize; // invalid: no stand-in
    TBitmap* m_canvas = nullptr;
    QBrush m_brush{Qt::white};
    TRect m_viewRect;
    int m_imageLeft = 0, m_imageTop = 0;
    double m_scale = 1.0;
    int m_zoomedWidth = 0, m_zoomedHeight = 0;
    ::ZoomMode m_zoomMode = zmActualSize;
    ::Alignment m_alignment = zaTopLeft;
    bool m_optimize = false;
};

// The clock of the scroller: a repeating timer that calls back on the user-interface thread.
// Tests install one they fire by hand.
class IScrollTimer {
public:
    virtual ~IScrollTimer() = default;
    // Starts, or restarts with a new interval, calling onTick every intervalMs milliseconds.
    virtual void Start(int intervalMs, std::function<void()> onTick) = 0;
    virtual void Stop() = 0;
};

// The program's clock: a QTimer.
std::unique_ptr<IScrollTimer> MakeQtScrollTimer();

class TImageZoomScrolling : public TImageZoom {
public:
    // Without a timer the scroller uses MakeQtScrollTimer().
    explicit TImageZoomScrolling(std::unique_ptr<IScrollTimer> timer = nullptr);
    ~TImageZoomScrolling() override;

    ScrollDirection Direction() const { return m_direction; }
    // Also sets the velocity from the direction and Step.
    void SetDirection(ScrollDirection d);
    uint16_t Step() const { return m_step; }
    void SetStep(uint16_t n); // 0 counts as 1
    int Interval() const { return m_interval; }
    void SetInterval(int ms); // values below 1 count as 1
    int VelocityX() const { return m_dx; }
    int VelocityY() const { return m_dy; }

    bool Active() const { return m_active; }
    // Ignored when nothing changes, and starting without image or canvas. Starting takes the
    // velocity from the direction and Step, starts the timer and fires OnStart; stopping stops
    // the timer and fires OnStop.
    void SetActive(bool on);

    // One timer period: scrolls by the velocity without fill; at the image's edge it stops
    // (OnStop), else OnScroll fires. Does nothing while not active.
    void Tick();

    std::function<void(TImageZoomScrolling&)> OnStart, OnScroll, OnStop;

private:
    std::unique_ptr<IScrollTimer> m_timer;
    ScrollDirection m_direction = sdRight;
    uint16_t m_step = 3;
    int m_interval = 100;
    int m_dx = 0, m_dy = 0;
    bool m_active = false;
};
