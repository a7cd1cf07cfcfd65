// SPDX-License-Identifier: GPL-2.0-or-later
#include "emfrender/EmfSvg.h"

#include "core/Errors.h"

#include <cstdlib>
#include <memory>
#include <vector>

#include <emf2svg.h>

namespace {

struct TFree {
    void operator()(char* p) const { std::free(p); }
};

} // namespace

std::string EmfToSvgText(TEmfBytes data) {
    const TEmfLayout layout = ScanEmf(data);
    std::vector<uint8_t> bytes = EmfCopyForDrawing(data, layout);

    generatorOptions options{};
    // No namespace prefix: with one, the library closes some elements without it.
    options.nameSpace = nullptr;
    options.svgDelimiter = true;
    options.emfplus = false;
    char* text = nullptr;
    size_t length = 0;
    const int ok =
        emf2svg(reinterpret_cast<char*>(bytes.data()), bytes.size(), &text, &length, &options);
    const std::unique_ptr<char, TFree> owned(text);
    if (ok != 1 || !text) throw ETaveluneError("EMF: damaged records");
    return std::string(text, length);
}
