// SPDX-License-Identifier: GPL-2.0-or-later
// tavelune-emf-render: reads an enhanced metafile (EMF) on standard input and writes its
// drawing as SVG on standard output. The viewer runs it for every EMF file it shows, so that
// libemf2svg never runs inside the viewer's process. Exit status 0 on success, 1 when the file
// cannot be drawn, 2 on a usage error.
#include "emfrender/EmfSvg.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

bool ReadAll(std::FILE* in, std::vector<uint8_t>& bytes) {
    uint8_t chunk[1 << 16];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    return !std::ferror(in);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::fprintf(stderr, "Usage: %s < FILE.emf > FILE.svg\n", argv[0]);
        return 2;
    }
    try {
        std::vector<uint8_t> bytes;
        if (!ReadAll(stdin, bytes)) {
            std::fputs("tavelune-emf-render: cannot read the standard input\n", stderr);
            return 1;
        }
        const std::string svg = EmfToSvgText(bytes);
        if (std::fwrite(svg.data(), 1, svg.size(), stdout) != svg.size() ||
            std::fflush(stdout) != 0) {
            std::fputs("tavelune-emf-render: cannot write the standard output\n", stderr);
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavelune-emf-render: %s\n", e.what());
        return 1;
    }
}
