// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Bounded reading and plain appending of little- and big-endian fields, for the codecs that
// parse their files themselves. Every read past the end throws, so a header that lies about
// its sizes ends in the load message, never outside the buffer.

#include "core/Errors.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using TBytes = std::span<const uint8_t>;

class TByteReader {
public:
    explicit TByteReader(TBytes data, const char* what = "file") : m_data(data), m_what(what) {}

    size_t Size() const { return m_data.size(); }
    size_t Pos() const { return m_pos; }
    size_t Left() const { return m_data.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_data.size(); }

    void Seek(size_t pos) {
        if (pos > m_data.size()) Fail();
        m_pos = pos;
    }
    void Skip(size_t n) {
        if (n > Left()) Fail();
        m_pos += n;
    }
    // The next n bytes, consumed.
    TBytes Take(size_t n) {
        if (n > Left()) Fail();
        const TBytes s = m_data.subspan(m_pos, n);
        m_pos += n;
        return s;
    }
    uint8_t U8() {
        if (AtEnd()) Fail();
        return m_data[m_pos++];
    }
    uint16_t LE16() {
        const TBytes b = Take(2);
        return uint16_t(b[0] | (b[1] << 8));
    }
    uint32_t LE32() {
        const TBytes b = Take(4);
        return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) |
               (uint32_t(b[3]) << 24);
    }
    uint16_t BE16() {
        const TBytes b = Take(2);
        return uint16_t((b[0] << 8) | b[1]);
    }
    uint32_t BE32() {
        const TBytes b = Take(4);
        return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) |
               uint32_t(b[3]);
    }

    [[noreturn]] void Fail() const { throw ETaveluneError(std::string(m_what) + ": truncated"); }

private:
    TBytes m_data;
    size_t m_pos = 0;
    const char* m_what;
};

class TByteWriter {
public:
    std::vector<uint8_t>& Bytes() { return m_out; }
    std::vector<uint8_t> Take() { return std::move(m_out); }
    size_t Size() const { return m_out.size(); }

    void U8(uint8_t v) { m_out.push_back(v); }
    void LE16(uint16_t v) {
        m_out.push_back(uint8_t(v));
        m_out.push_back(uint8_t(v >> 8));
    }
    void LE32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(uint8_t(v >> (8 * i)));
    }
    void Append(const uint8_t* p, size_t n) { m_out.insert(m_out.end(), p, p + n); }
    void Append(TBytes s) { Append(s.data(), s.size()); }
    // Overwrites a 32-bit field written earlier (sizes known only at the end).
    void PatchLE32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            m_out[at + i] = uint8_t(v >> (8 * i));
    }

private:
    std::vector<uint8_t> m_out;
};
