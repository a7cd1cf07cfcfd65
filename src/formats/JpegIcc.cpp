#include "formats/JpegIcc.h"

#include "formats/ColourManagement.h"

#include <array>
#include <cstring>

namespace {

constexpr uint8_t kMarkerSOI = 0xD8, kMarkerEOI = 0xD9, kMarkerSOS = 0xDA, kMarkerAPP2 = 0xE2;
constexpr uint8_t kMarkerTEM = 0x01, kMarkerRST0 = 0xD0, kMarkerRST7 = 0xD7;
constexpr char kIccTag[] = "ICC_PROFILE"; // followed by a zero byte
constexpr size_t kIccTagSize = sizeof kIccTag;
// Padding 0xFF bytes allowed before a marker; more means the data is not a marker sequence.
constexpr int kMaxFillBytes = 1024;

// The marker code after 0xFF and any fill bytes, or 0 when the next bytes are no marker.
uint8_t NextMarker(TByteReader& in) {
    if (in.U8() != 0xFF) return 0;
    for (int fill = 0; fill <= kMaxFillBytes; ++fill) {
        const uint8_t byte = in.U8();
        if (byte != 0xFF) return byte;
    }
    return 0;
}

struct TPieces {
    int Count = 0; // 0 until the first piece
    std::array<TBytes, 256> Piece{};
    std::array<bool, 256> Seen{};
    size_t Total = 0;

    // False when the piece contradicts the others.
    bool Add(TBytes payload) {
        if (payload.size() < kIccTagSize + 2) return true; // too short to be one: not ours
        if (std::memcmp(payload.data(), kIccTag, kIccTagSize) != 0) return true;
        const int seq = payload[kIccTagSize], count = payload[kIccTagSize + 1];
        if (count == 0 || seq == 0 || seq > count || (Count != 0 && count != Count)) return false;
        if (Seen[size_t(seq)]) return false;
        Count = count;
        Seen[size_t(seq)] = true;
        Piece[size_t(seq)] = payload.subspan(kIccTagSize + 2);
        Total += Piece[size_t(seq)].size();
        return Total <= size_t(kMaxIccProfileSize);
    }

    QByteArray Joined() const {
        if (Count == 0 || Total == 0) return {};
        for (int i = 1; i <= Count; ++i)
            if (!Seen[size_t(i)]) return {};
        QByteArray profile;
        profile.reserve(qsizetype(Total));
        for (int i = 1; i <= Count; ++i)
            profile.append(reinterpret_cast<const char*>(Piece[size_t(i)].data()),
                           qsizetype(Piece[size_t(i)].size()));
        return profile;
    }
};

} // namespace

QByteArray JpegIccProfile(TBytes data) {
    TByteReader in(data, "JPEG");
    TPieces pieces;
    try {
        if (in.U8() != 0xFF || in.U8() != kMarkerSOI) return {};
        for (;;) {
            const uint8_t marker = NextMarker(in);
            if (marker == 0 || marker == kMarkerSOS || marker == kMarkerEOI || marker == kMarkerSOI)
                break;
            if (marker == kMarkerTEM || (marker >= kMarkerRST0 && marker <= kMarkerRST7)) continue;
            const uint16_t length = in.BE16();
            if (length < 2) break;
            const TBytes payload = in.Take(length - 2u);
            if (marker == kMarkerAPP2 && !pieces.Add(payload)) return {};
        }
    } catch (const ETaveluneError&) {
        // A file cut inside its headers: the pieces found so far may still be whole.
    }
    return pieces.Joined();
}
