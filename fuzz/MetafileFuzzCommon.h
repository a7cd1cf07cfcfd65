// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the metafile fuzz targets share: a GUI application for QtSvg's fonts, and drawing only
// pictures small enough to keep the runs quick.
#include "core/Errors.h"
#include "formats/MetafileCodec.h"

#include <QGuiApplication>
#include <cstdint>
#include <exception>

inline void EnsureGuiApplication() {
    if (QGuiApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "metafile_fuzzer";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

template <typename TConvert>
void FuzzMetafile(const uint8_t* data, size_t size, TConvert convert) {
    EnsureGuiApplication();
    try {
        const TMetafileSvg svg = convert(TBytes(data, size));
        if (int64_t(svg.Size.width()) * svg.Size.height() <= 1 << 20) {
            const TBitmap picture = RenderMetafileSvg(svg);
            volatile int w = picture.Width();
            (void)w;
        }
    } catch (const std::exception&) {
        // Damaged files are refused; only crashes and overruns count.
    }
}
