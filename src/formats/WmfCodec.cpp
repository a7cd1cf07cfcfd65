// SPDX-License-Identifier: GPL-2.0-or-later
// Windows metafiles (WMF) through libwmf's SVG output. The records are walked here first, so
// the library only ever sees a file whose every record lies inside the bytes, ends in an EOF
// record and carries bitmaps no larger than their record.

#include "formats/MetafileCodec.h"

#include "core/Errors.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

// libwmf defines short macros (U8, U16...) that clash with other headers: it comes last.
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint16_t kEof = 0x0000;
constexpr uint16_t kSetWindowOrg = 0x020B;
constexpr uint16_t kSetWindowExt = 0x020C;
// The SVG text grows with the records; this is far above what any honest file produces.
constexpr size_t kMaxSvgBytes = size_t(256) << 20;

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("WMF: ") + what);
}

uint16_t Le16(TBytes b, size_t at) {
    return uint16_t(b[at] | (b[at + 1] << 8));
}
uint32_t Le32(TBytes b, size_t at) {
    return uint32_t(Le16(b, at)) | (uint32_t(Le16(b, at + 2)) << 16);
}

struct TWmfLayout {
    bool Placeable = false;
    int Left = 0, Top = 0, Right = 0, Bottom = 0, Inch = 0;
    size_t Start = 0; // the metafile header
    size_t End = 0;   // just past the EOF record
    uint32_t MaxRecordWords = 0;
    bool HasOrg = false, HasExt = false;
    int OrgX = 0, OrgY = 0, ExtX = 0, ExtY = 0;
};

// A device-independent bitmap at `at` inside a record: its pixels must fit the record, unless
// run-length or otherwise compressed, when their number is still bounded by the record.
void CheckDib(TBytes record, size_t at) {
    if (at + 4 > record.size()) Fail("bitmap outside its record");
    const uint32_t headerSize = Le32(record, at);
    int64_t width = 0, height = 0, bits = 0, compression = 0, colours = 0;
    if (headerSize == 12) {
        if (at + 12 > record.size()) Fail("bitmap outside its record");
        width = Le16(record, at + 4);
        height = Le16(record, at + 6);
        bits = Le16(record, at + 10);
    } else if (headerSize >= 40) {
        if (at + 40 > record.size()) Fail("bitmap outside its record");
        width = int32_t(Le32(record, at + 4));
        height = int32_t(Le32(record, at + 8));
        bits = Le16(record, at + 14);
        compression = Le32(record, at + 16);
        colours = Le32(record, at + 32);
    } else {
        Fail("unknown bitmap header");
    }
    width = std::abs(width);
    height = std::abs(height);
    if (width == 0 || height == 0 || bits == 0 || bits > 32) Fail("bad bitmap");
    CheckImageSize(width, height);
    const int64_t rowBytes = (width * bits + 31) / 32 * 4;
    const int64_t available = int64_t(record.size()) - int64_t(at);
    if (colours > available / 4) Fail("palette outside its record");
    if (compression == 0 || compression == 3) {
        if (rowBytes * height > available) Fail("bitmap pixels outside their record");
    } else if (width * height > available * 256) {
        // A compressed stream cannot expand further than this.
        Fail("bitmap larger than its data");
    }
}

// Where the bitmap of a bitmap-carrying record begins, or 0 for records without one.
size_t DibOffset(uint16_t function, uint32_t words) {
    switch (function) {
    case 0x0940: // DIBBITBLT: without a bitmap the record has only its fixed fields
        return words == uint32_t((function >> 8) + 3) ? 0 : 22;
    case 0x0B41: // DIBSTRETCHBLT
        return words == uint32_t((function >> 8) + 3) ? 0 : 26;
    case 0x0F43: // STRETCHDIB
        return 28;
    case 0x0D33: // SETDIBTODEV
        return 24;
    case 0x0142: // DIBCREATEPATTERNBRUSH
        return 10;
    default:
        return 0;
    }
}

TWmfLayout ScanWmf(TBytes data) {
    TWmfLayout l;
    TByteReader in(data, "WMF");
    if (data.size() >= 4 && Le32(data, 0) == kPlaceableKey) {
        l.Placeable = true;
        in.Skip(6); // key and handle
        l.Left = int16_t(in.LE16());
        l.Top = int16_t(in.LE16());
        l.Right = int16_t(in.LE16());
        l.Bottom = int16_t(in.LE16());
        l.Inch = in.LE16();
        in.Skip(6); // reserved and checksum
        if (l.Inch == 0 || l.Right <= l.Left || l.Bottom <= l.Top) Fail("bad placeable header");
    }
    l.Start = in.Pos();
    const uint16_t type = in.LE16(), headerWords = in.LE16(), version = in.LE16();
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        Fail("not a metafile");
    in.Skip(12);
    while (true) {
        const size_t at = in.Pos();
        const uint32_t words = in.LE32();
        const uint16_t function = in.LE16();
        if (words < 3 || words > (data.size() - at) / 2) Fail("record outside the file");
        const TBytes record = data.subspan(at, size_t(words) * 2);
        l.MaxRecordWords = std::max(l.MaxRecordWords, words);
        if (function == kEof) {
            l.End = at + record.size();
            break;
        }
        if ((function == kSetWindowOrg || function == kSetWindowExt) && words >= 5) {
            const int y = int16_t(Le16(record, 6)), x = int16_t(Le16(record, 8));
            if (function == kSetWindowOrg && !l.HasOrg) {
                l.HasOrg = true;
                l.OrgX = x;
                l.OrgY = y;
            } else if (function == kSetWindowExt && !l.HasExt) {
                l.HasExt = true;
                l.ExtX = x;
                l.ExtY = y;
            }
        }
        if (const size_t dib = DibOffset(function, words)) CheckDib(record, dib);
        in.Seek(at + record.size());
    }
    return l;
}

// The picture's size and the rectangle of libwmf's drawing space (points, from the window
// origin) that it shows.
struct TWmfFrame {
    QSize Size;
    wmfD_Rect Frame{};
};

int PixelSide(double v) {
    if (!std::isfinite(v) || v < 0.5 || v > double(INT32_MAX)) Fail("bad picture size");
    return int(std::lround(v));
}

TWmfFrame FrameOf(const TWmfLayout& l, const wmfD_Rect& drawn) {
    TWmfFrame f;
    if (l.Placeable) {
        // The bounding box in logical units, l.Inch of them to the inch, shown at 96 dpi.
        f.Size = QSize(PixelSide((l.Right - l.Left) * 96.0 / l.Inch),
                       PixelSide((l.Bottom - l.Top) * 96.0 / l.Inch));
        const double s = 72.0 / l.Inch;
        f.Frame.TL = {float((l.Left - l.OrgX) * s), float((l.Top - l.OrgY) * s)};
        f.Frame.BR = {float((l.Right - l.OrgX) * s), float((l.Bottom - l.OrgY) * s)};
    } else if (l.HasExt && l.ExtX != 0 && l.ExtY != 0) {
        // No physical size: one logical unit of the window is one pixel.
        f.Size = QSize(std::abs(l.ExtX), std::abs(l.ExtY));
        f.Frame.TL = {float(std::min(0, l.ExtX)), float(std::min(0, l.ExtY))};
        f.Frame.BR = {float(std::max(0, l.ExtX)), float(std::max(0, l.ExtY))};
    } else {
        f.Size = QSize(PixelSide(std::ceil(drawn.BR.x - drawn.TL.x)),
                       PixelSide(std::ceil(drawn.BR.y - drawn.TL.y)));
        f.Frame = drawn;
    }
    return f;
}

struct TSvgSink {
    std::string Text;
    bool Overflow = false;
};

int SinkPuts(char* text, void* context) {
    auto* sink = static_cast<TSvgSink*>(context);
    const size_t n = std::strlen(text);
    if (sink->Overflow || sink->Text.size() + n > kMaxSvgBytes) {
        sink->Overflow = true;
        return EOF;
    }
    sink->Text.append(text, n);
    return 0;
}

int SinkReset(void* context) {
    static_cast<TSvgSink*>(context)->Text.clear();
    return 0;
}

class TWmfApi {
public:
    TWmfApi() {
        wmfAPI_Options options{};
        options.function = wmf_svg_function;
        const unsigned long flags =
            WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&m_api, flags, &options) != wmf_E_None || !m_api)
            Fail("the metafile library could not start");
    }
    ~TWmfApi() {
        if (m_api) wmf_api_destroy(m_api);
    }
    TWmfApi(const TWmfApi&) = delete;
    TWmfApi& operator=(const TWmfApi&) = delete;
    wmfAPI* operator->() const { return m_api; }
    wmfAPI* get() const { return m_api; }

private:
    wmfAPI* m_api = nullptr;
};

} // namespace

bool IsWmfData(TBytes data) {
    if (data.size() >= 4 && Le32(data, 0) == kPlaceableKey) return true;
    return data.size() >= 6 && (Le16(data, 0) == 1 || Le16(data, 0) == 2) && Le16(data, 2) == 9 &&
           (Le16(data, 4) == 0x0100 || Le16(data, 4) == 0x0300);
}

TMetafileSvg WmfToSvg(TBytes data) {
    const TWmfLayout layout = ScanWmf(data);

    // The library reads a copy that ends with the EOF record and whose header tells the truth
    // about the file's length and its largest record.
    std::vector<uint8_t> bytes(data.begin(), data.begin() + ptrdiff_t(layout.End));
    const uint32_t words = uint32_t((layout.End - layout.Start) / 2);
    for (int i = 0; i < 4; ++i) {
        bytes[layout.Start + 6 + size_t(i)] = uint8_t(words >> (8 * i));
        bytes[layout.Start + 12 + size_t(i)] = uint8_t(layout.MaxRecordWords >> (8 * i));
    }

    TWmfApi api;
    if (wmf_mem_open(api.get(), bytes.data(), long(bytes.size())) != wmf_E_None) Fail("unreadable");
    wmfD_Rect drawn{};
    if (wmf_scan(api.get(), 0, &drawn) != wmf_E_None) Fail("damaged records");
    const TWmfFrame frame = FrameOf(layout, drawn);
    CheckImageSize(frame.Size.width(), frame.Size.height());

    TSvgSink sink;
    wmfStream stream{&sink, SinkPuts, SinkReset};
    wmf_svg_t* device = WMF_SVG_GetData(api.get());
    device->out = &stream;
    device->bbox = frame.Frame;
    device->width = unsigned(frame.Size.width());
    device->height = unsigned(frame.Size.height());
    device->flags |= WMF_SVG_INLINE_IMAGES;
    wmfD_Rect played = frame.Frame;
    const wmf_error_t played_ok = wmf_play(api.get(), 0, &played);
    wmf_mem_close(api.get());
    if (played_ok != wmf_E_None || sink.Overflow) Fail("damaged records");

    TMetafileSvg out;
    out.Svg = QByteArray::fromStdString(sink.Text);
    out.Size = frame.Size;
    out.Target = QRectF(0, 0, frame.Size.width(), frame.Size.height());
    return out;
}
