// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The baseline of the opening benchmarks: what an application that uses libjpeg directly does
// to open a file (standard file source, RGB rows into one buffer).

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

inline void PlainLibjpegDecode(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const size_t stride = size_t(cinfo.output_width) * 3;
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[stride * cinfo.output_height]);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[16];
        const JDIMENSION y = cinfo.output_scanline;
        const JDIMENSION n = std::min<JDIMENSION>(16, cinfo.output_height - y);
        for (JDIMENSION i = 0; i < n; ++i)
            rows[i] = pixels.get() + size_t(y + i) * stride;
        jpeg_read_scanlines(&cinfo, rows, n);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    benchmark::DoNotOptimize(pixels.get());
}
