// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Byte-by-byte builders for hand-made test files, and the checks their tests share.

#include "FormatTestUtil.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"

#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

class TFileBuilder {
public:
    TFileBuilder& U8(uint8_t v) {
        m_bytes.push_back(v);
        return *this;
    }
    TFileBuilder& BE16(uint16_t v) { return U8(uint8_t(v >> 8)).U8(uint8_t(v)); }
    TFileBuilder& BE32(uint32_t v) { return BE16(uint16_t(v >> 16)).BE16(uint16_t(v)); }
    TFileBuilder& LE16(uint16_t v) { return U8(uint8_t(v)).U8(uint8_t(v >> 8)); }
    TFileBuilder& LE32(uint32_t v) { return LE16(uint16_t(v)).LE16(uint16_t(v >> 16)); }
    TFileBuilder& Bytes(const std::vector<uint8_t>& b) {
        m_bytes.insert(m_bytes.end(), b.begin(), b.end());
        return *this;
    }
    TFileBuilder& Text(const std::string& s) {
        m_bytes.insert(m_bytes.end(), s.begin(), s.end());
        return *this;
    }
    TFileBuilder& Zeros(size_t n) {
        m_bytes.insert(m_bytes.end(), n, 0);
        return *this;
    }
    // Pads with zeros up to an absolute offset.
    TFileBuilder& To(size_t offset) {
        if (m_bytes.size() < offset) m_bytes.resize(offset, 0);
        return *this;
    }
    size_t Size() const { return m_bytes.size(); }
    std::vector<uint8_t>& Data() { return m_bytes; }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

// Every pixel of a picture in its 24-bit form, rows from the top.
inline std::vector<TTriple> PixelsOf(TBitmap bmp) {
    bmp.To24Bit();
    std::vector<TTriple> out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            out.push_back(PixelAt(bmp, x, y));
    return out;
}

// Loads bytes saved under a name through the dispatcher; returns the result and the number of
// messages shown; the bitmap receives what was loaded.
struct TLoadOutcome {
    int Result = 0;
    qsizetype Messages = 0;
    TBitmap Picture;
};
inline TLoadOutcome LoadBytesAs(const QString& name, const std::vector<uint8_t>& bytes) {
    InitImageFormats();
    QTemporaryDir dir;
    TScriptedSeam seam;
    QString path = dir.filePath(name);
    WriteBytes(path, bytes);
    TLoadOutcome out;
    out.Picture = UniformImage(2, 2, Grey(5));
    out.Result = LoadImageFile(path, out.Picture);
    out.Messages = seam.Messages.size();
    return out;
}
