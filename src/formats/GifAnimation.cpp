// SPDX-License-Identifier: GPL-2.0-or-later
// The frames of an animated GIF, composed on the logical screen as browsers show them: each
// frame drawn over what the previous one's disposal left (kept, cleared to transparent, or
// the screen as it was before it), its transparent index not drawn.
#include "formats/Animation.h"
#include "formats/GifCodec.h"
#include "formats/GifFile.h"
#include "formats/RasterImages.h"

#include "core/Errors.h"

#include <QRect>
#include <algorithm>
#include <vector>

namespace {

class TGifFrames final : public IFrameSource {
public:
    explicit TGifFrames(QByteArray bytes) : m_bytes(std::move(bytes)) {
        const TBytes data(reinterpret_cast<const uint8_t*>(m_bytes.constData()),
                          size_t(m_bytes.size()));
        const TGifScan scan = ScanGif(data);
        m_count = scan.Frames;
        m_loops = scan.LoopCount;
        Rewind();
    }

    int FrameCount() const override { return m_count; }
    int LoopCount() const override { return m_loops; }
    QSize CanvasSize() const override { return m_screen.size(); }

    TAnimationFrame NextFrame() override {
        if (m_next >= m_count) Rewind();
        Dispose();
        TControl control = ReadUpToFrame();
        const GifImageDesc d = m_gif->Image;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : m_gif->SColorMap;
        if (!map || map->ColorCount <= 0 || !map->Colors) GifFail("no colour map");

        const QRect area = QRect(d.Left, d.Top, d.Width, d.Height).intersected(m_screen);
        if (control.Disposal == DISPOSE_PREVIOUS) m_previous = m_canvas.copy();
        Draw(d, area, *map, control.Transparent);
        m_pendingDisposal = control.Disposal;
        m_pendingArea = area;

        TAnimationFrame frame;
        frame.Picture = TBitmap(m_canvas.copy());
        frame.Picture.SetFoundBitDepth(32);
        frame.Delay = FrameDelay(int64_t(control.Delay) * 10);
        frame.Index = m_next++;
        return frame;
    }

    void Rewind() override {
        m_gif.reset();
        m_source = {reinterpret_cast<const uint8_t*>(m_bytes.constData()), size_t(m_bytes.size()),
                    0};
        m_gif = OpenGif(m_source);
        if (m_canvas.isNull()) {
            m_screen = QRect(0, 0, m_gif->SWidth, m_gif->SHeight);
            if (m_screen.isEmpty()) GifFail("empty screen");
            m_canvas = NewCheckedImage(m_screen.width(), m_screen.height(), QImage::Format_ARGB32);
        }
        m_canvas.fill(0);
        m_previous = QImage();
        m_pendingDisposal = DISPOSAL_UNSPECIFIED;
        m_next = 0;
    }

private:
    struct TControl {
        int Delay = 0; // hundredths of a second
        int Disposal = DISPOSAL_UNSPECIFIED;
        int Transparent = NO_TRANSPARENT_COLOR;
    };

    // Reads records up to the next image descriptor, taking its control block on the way.
    TControl ReadUpToFrame() {
        TControl control;
        for (;;) {
            GifRecordType type;
            if (DGifGetRecordType(m_gif.get(), &type) == GIF_ERROR) GifFail("bad record");
            if (type == TERMINATE_RECORD_TYPE) GifFail("fewer frames than counted");
            if (type == EXTENSION_RECORD_TYPE) {
                int code = 0;
                GifByteType* ext = nullptr;
                if (DGifGetExtension(m_gif.get(), &code, &ext) == GIF_ERROR)
                    GifFail("bad extension");
                GraphicsControlBlock gcb;
                if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4 &&
                    DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
                    control = {gcb.DelayTime, gcb.DisposalMode, gcb.TransparentColor};
                if (!SkipGifExtension(m_gif.get(), ext)) GifFail("bad extension");
                continue;
            }
            if (type != IMAGE_DESC_RECORD_TYPE) continue;
            if (DGifGetImageDesc(m_gif.get()) == GIF_ERROR) GifFail("bad image descriptor");
            return control;
        }
    }

    // What the previous frame asked to leave behind it.
    void Dispose() {
        if (m_pendingDisposal == DISPOSE_BACKGROUND) {
            for (int y = m_pendingArea.top(); y <= m_pendingArea.bottom(); ++y)
                std::fill_n(reinterpret_cast<uint32_t*>(m_canvas.scanLine(y)) +
                                m_pendingArea.left(),
                            m_pendingArea.width(), 0u);
        } else if (m_pendingDisposal == DISPOSE_PREVIOUS && !m_previous.isNull()) {
            m_canvas = m_previous;
        }
        m_pendingDisposal = DISPOSAL_UNSPECIFIED;
    }

    // Decodes the frame row by row, drawing the rows and columns that fall on the screen: a
    // frame larger than the screen costs one row of memory, not its whole size.
    void Draw(const GifImageDesc& d, const QRect& area, const ColorMapObject& map,
              int transparent) {
        if (d.Width <= 0 || d.Height <= 0) GifFail("empty frame");
        uint32_t colours[256];
        for (int i = 0; i < 256; ++i) {
            const GifColorType c = i < map.ColorCount ? map.Colors[i] : GifColorType{0, 0, 0};
            colours[i] = 0xFF000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
        }
        std::vector<GifPixelType> row(size_t(d.Width));
        const auto line = [&](int y) {
            if (DGifGetLine(m_gif.get(), row.data(), d.Width) == GIF_ERROR)
                GifFail("bad image data");
            const int screenY = d.Top + y;
            if (area.isEmpty() || screenY < area.top() || screenY > area.bottom()) return;
            const GifPixelType* s = row.data() + (area.left() - d.Left);
            auto* out = reinterpret_cast<uint32_t*>(m_canvas.scanLine(screenY)) + area.left();
            for (int x = 0; x < area.width(); ++x)
                if (s[x] != transparent) out[x] = colours[s[x]];
        };
        ForGifRows(d.Height, d.Interlace, line);
    }

    QByteArray m_bytes; // the decoder reads from these
    TGifSource m_source{};
    TGifPtr m_gif;
    int m_count = 0;
    int m_loops = 1;
    QRect m_screen;
    QImage m_canvas, m_previous;
    int m_pendingDisposal = DISPOSAL_UNSPECIFIED;
    QRect m_pendingArea;
    int m_next = 0;
};

} // namespace

std::unique_ptr<IFrameSource> OpenGifAnimation(QByteArray bytes) {
    return std::make_unique<TGifFrames>(std::move(bytes));
}
