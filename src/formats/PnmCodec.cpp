// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/PnmCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <new>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("portable map: ") + what);
}

bool IsSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Header numbers and plain samples: decimal, separated by white space and # comments.
class TTokens {
public:
    explicit TTokens(TBytes data) : m_data(data) {}
    size_t Pos() const { return m_pos; }
    size_t Left() const { return m_data.size() - m_pos; }

    uint32_t Number(uint32_t limit) {
        SkipSpace();
        if (m_pos >= m_data.size() || m_data[m_pos] < '0' || m_data[m_pos] > '9')
            Fail("number expected");
        uint64_t v = 0;
        while (m_pos < m_data.size() && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
            v = v * 10 + (m_data[m_pos++] - '0');
            if (v > limit) Fail("number too large");
        }
        return uint32_t(v);
    }
    // One bit of a plain PBM: digits need no separator.
    uint8_t Bit() {
        SkipSpace();
        if (m_pos >= m_data.size()) Fail("truncated");
        const uint8_t c = m_data[m_pos++];
        if (c != '0' && c != '1') Fail("bad bit");
        return uint8_t(c - '0');
    }
    // The single white-space character between the header and raw samples.
    void EndOfHeader() {
        if (m_pos >= m_data.size() || !IsSpace(m_data[m_pos])) Fail("bad header");
        ++m_pos;
    }

private:
    void SkipSpace() {
        while (m_pos < m_data.size()) {
            if (IsSpace(m_data[m_pos])) {
                ++m_pos;
            } else if (m_data[m_pos] == '#') {
                while (m_pos < m_data.size() && m_data[m_pos] != '\n' && m_data[m_pos] != '\r')
                    ++m_pos;
            } else {
                break;
            }
        }
    }

    TBytes m_data;
    size_t m_pos = 0;
};

QImage NewQImage(uint32_t w, uint32_t h, QImage::Format format) {
    QImage image(int(w), int(h), format);
    if (image.isNull()) throw std::bad_alloc();
    return image;
}

void ReadPnm(const TReadInput& input, TGraphic& graphic) {
    graphic.Picture = DecodePnm(input.Bytes);
}

} // namespace

const TGraphicClass gcPortableMap{"TPpmGraphic", ReadPnm};

TBitmap DecodePnm(TBytes data) {
    if (data.size() < 2 || data[0] != 'P' || data[1] < '1' || data[1] > '6') Fail("no signature");
    const int kind = data[1] - '0';
    const bool raw = kind >= 4;
    const int family = raw ? kind - 3 : kind; // 1 bitmap, 2 grey, 3 colour
    TTokens tokens(data.subspan(2));
    const uint32_t w = tokens.Number(INT32_MAX), h = tokens.Number(INT32_MAX);
    if (w == 0 || h == 0) Fail("empty image");
    CheckImageSize(w, h);
    const uint32_t maxval = family == 1 ? 1 : tokens.Number(65535);
    if (maxval == 0) Fail("zero maximum");
    if (raw) tokens.EndOfHeader();

    // The samples the header announces must be there before anything is allocated.
    const uint64_t channels = family == 3 ? 3 : 1;
    const uint64_t sampleBytes = maxval > 255 ? 2 : 1;
    const uint64_t samples = uint64_t(w) * h * channels;
    const uint64_t needed = !raw          ? (family == 1 ? samples : samples * 2 - 1)
                            : family == 1 ? uint64_t((w + 7) / 8) * h
                                          : samples * sampleBytes;
    if (tokens.Left() < needed) Fail("truncated");

    const TBytes body = data.subspan(2 + tokens.Pos());
    size_t at = 0;
    const auto next = [&]() -> uint32_t {
        if (!raw) return std::min(tokens.Number(UINT32_MAX), maxval);
        uint32_t v = body[at++];
        if (sampleBytes == 2) v = (v << 8) | body[at++];
        return std::min(v, maxval);
    };
    const auto scale = [maxval](uint32_t v) {
        return uint8_t((uint64_t(v) * 255 + maxval / 2) / maxval);
    };

    QImage image;
    if (family == 3) {
        image = NewQImage(w, h, QImage::Format_BGR888);
        for (uint32_t y = 0; y < h; ++y) {
            uint8_t* d = image.scanLine(int(y));
            for (uint32_t x = 0; x < w; ++x, d += 3) {
                d[2] = scale(next());
                d[1] = scale(next());
                d[0] = scale(next());
            }
        }
    } else {
        image = NewQImage(w, h, QImage::Format_Indexed8);
        if (family == 1) {
            image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)}); // 1 is black
            const size_t rowBytes = (w + 7) / 8;
            for (uint32_t y = 0; y < h; ++y) {
                uint8_t* d = image.scanLine(int(y));
                for (uint32_t x = 0; x < w; ++x)
                    d[x] = raw ? uint8_t((body[y * rowBytes + x / 8] >> (7 - x % 8)) & 1)
                               : tokens.Bit();
            }
        } else {
            QVector<QRgb> greys(256);
            for (int i = 0; i < 256; ++i)
                greys[i] = qRgb(i, i, i);
            image.setColorTable(greys);
            for (uint32_t y = 0; y < h; ++y) {
                uint8_t* d = image.scanLine(int(y));
                for (uint32_t x = 0; x < w; ++x)
                    d[x] = scale(next());
            }
        }
    }
    TBitmap picture(std::move(image));
    picture.SetFoundBitDepth(family == 1 ? 1 : family == 2 ? 8 : 24);
    return picture;
}
