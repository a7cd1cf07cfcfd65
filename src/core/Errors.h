// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The one exception type of the project: decoders, encoders and file operations throw it with a
// text meant for diagnostics; the load/save dispatcher turns it into its fixed user message.

#include <cstdint>
#include <stdexcept>
#include <string>

class ETaveluneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Largest image any part of the program creates: 2^28 pixels (768 MiB at 24 bits).
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 28;

// Throws unless width x height is a size the program is willing to allocate.
void CheckImageSize(int64_t width, int64_t height);
