// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/ZlibReader.h"

#include "core/Errors.h"
#include "core/FilterEvent.h"

#include <algorithm>
#include <climits>
#include <zlib.h>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("zlib stream: ") + what);
}

// zlib counts in 32 bits; larger inputs are handed over in slices.
constexpr size_t kSlice = size_t(1) << 30;

int ProgressTotal(size_t bytes) {
    return int(std::min<size_t>(bytes, INT_MAX));
}

} // namespace

struct TZlibReader::TState {
    explicit TState(TBytes input) : Input(input) {
        if (inflateInit(&Z) != Z_OK) Fail("cannot start");
        if (!GraphicProgress().Progress(TFilterGraphicProgress::psStarting, 0,
                                        ProgressTotal(input.size()))) {
            inflateEnd(&Z);
            Fail("stopped");
        }
    }
    ~TState() {
        inflateEnd(&Z);
        GraphicProgress().Progress(TFilterGraphicProgress::psEnding, 0);
    }

    size_t Consumed() const { return Fed - Z.avail_in; }

    // Hands zlib the next slice of input once it has used up the last one.
    void Refill() {
        if (Z.avail_in > 0 || Fed >= Input.size()) return;
        const size_t n = std::min(kSlice, Input.size() - Fed);
        Z.next_in = const_cast<Bytef*>(Input.data() + Fed);
        Z.avail_in = uInt(n);
        Fed += n;
    }

    // Inflates into out[0..n); returns the bytes produced (fewer only at the stream's end).
    size_t Inflate(uint8_t* out, size_t n) {
        size_t done = 0;
        while (done < n && !Ended) {
            Refill();
            const size_t piece = std::min(kSlice, n - done);
            Z.next_out = out + done;
            Z.avail_out = uInt(piece);
            const int rc = inflate(&Z, Z_NO_FLUSH);
            done += piece - Z.avail_out;
            if (rc == Z_STREAM_END) {
                Ended = true;
            } else if (rc == Z_BUF_ERROR) {
                // No progress was possible: the input is used up.
                if (Z.avail_in == 0 && Fed >= Input.size()) Fail("cut short");
            } else if (rc != Z_OK) {
                Fail(Z.msg ? Z.msg : "damaged");
            }
            if (!GraphicProgress().Progress(TFilterGraphicProgress::psRunning,
                                            ProgressTotal(Consumed())))
                Fail("stopped");
        }
        return done;
    }

    TBytes Input;
    size_t Fed = 0; // input bytes handed to zlib so far
    z_stream Z{};
    bool Ended = false;
};

TZlibReader::TZlibReader(TBytes input) : m_state(std::make_unique<TState>(input)) {}

TZlibReader::~TZlibReader() = default;

void TZlibReader::Read(uint8_t* out, size_t n) {
    if (m_state->Inflate(out, n) != n) Fail("shorter than the picture");
}

size_t TZlibReader::Finish() {
    if (!m_state->Ended) {
        uint8_t extra = 0;
        if (m_state->Inflate(&extra, 1) != 0) Fail("longer than the picture");
        if (!m_state->Ended) Fail("cut short");
    }
    return m_state->Consumed();
}
