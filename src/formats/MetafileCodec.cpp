// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/MetafileCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

namespace {

void ReadMetafile(const TReadInput& input, TGraphic& graphic) {
    const TMetafileSvg metafile = MetafileToSvg(input.Bytes);
    graphic.Picture = RenderMetafileSvg(metafile);
    graphic.FileWidth = metafile.Size.width();
    graphic.FileHeight = metafile.Size.height();
}

} // namespace

const TGraphicClass gcMetafile{"TMetafile", ReadMetafile, nullptr, true};

TBitmap RenderMetafileSvg(const TMetafileSvg& metafile) {
    const int w0 = metafile.Size.width(), h0 = metafile.Size.height();
    if (w0 <= 0 || h0 <= 0) throw ETaveluneError("metafile: empty picture");
    const double scale = std::min(1.0, double(kMaxMetafileSide) / std::max(w0, h0));
    const int w = std::max(1, int(std::lround(w0 * scale)));
    const int h = std::max(1, int(std::lround(h0 * scale)));
    CheckImageSize(w, h);

    QImage canvas(w, h, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) throw ETaveluneError("metafile: out of memory");
    canvas.fill(Qt::transparent);
    if (!metafile.Svg.isEmpty()) {
        QSvgRenderer renderer(metafile.Svg);
        if (!renderer.isValid()) throw ETaveluneError("metafile: unreadable drawing");
        QPainter painter(&canvas);
        painter.scale(scale, scale);
        // Metafile coordinates name pixels; SVG ones name the corners between them.
        painter.translate(0.5, 0.5);
        renderer.render(&painter, metafile.Target);
    }

    // Each pixel is either drawn or not: at least half covered counts as drawn, at full
    // strength.
    QImage out(w, h, QImage::Format_ARGB32);
    if (out.isNull()) throw ETaveluneError("metafile: out of memory");
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = canvas.constScanLine(y);
        uint8_t* d = out.scanLine(y);
        for (int x = 0; x < w; ++x, s += 4, d += 4) {
            const int a = s[3];
            if (a < 128) {
                d[0] = d[1] = d[2] = d[3] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c)
                d[c] = uint8_t(std::min(255, (s[c] * 255 + a / 2) / a));
            d[3] = 255;
        }
    }
    return TBitmap(std::move(out));
}

TMetafileSvg MetafileToSvg(TBytes data) {
    if (IsEmfData(data)) return EmfToSvg(data);
    if (IsWmfData(data)) return WmfToSvg(data);
    throw ETaveluneError("metafile: unknown kind");
}

TBitmap DecodeMetafile(TBytes data) {
    return RenderMetafileSvg(MetafileToSvg(data));
}
