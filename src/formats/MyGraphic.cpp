// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/MyGraphic.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/NativeTexts.h"

#include <cstring>

namespace {

constexpr char kSignature[] = "Ostrevalden Image";
constexpr size_t kSignatureSize = sizeof kSignature - 1;
constexpr char kThumbnailTag[] = "Thumbnail";
constexpr size_t kThumbnailTagSize = sizeof kThumbnailTag - 1;
constexpr size_t kHeaderTextSize = 256;
constexpr int32_t kMaxLayerName = 255;

int32_t I32(TByteReader& in) {
    return int32_t(in.LE32());
}

// Text of a fixed field, ended by the first zero byte within it.
QString FieldText(TBytes field) {
    size_t n = 0;
    while (n < field.size() && field[n] != 0)
        ++n;
    return QString::fromLatin1(reinterpret_cast<const char*>(field.data()), qsizetype(n));
}

template <size_t N>
void ReadInto(TByteReader& in, std::array<uint8_t, N>& field) {
    std::memcpy(field.data(), in.Take(N).data(), N);
}

// The thumbnail block: its length, the tag, the mode (low byte of an int32), the picture.
TBitmap ReadThumbnail(TByteReader& in) {
    in.Skip(4);
    const TBytes tag = in.Take(kThumbnailTagSize);
    if (std::memcmp(tag.data(), kThumbnailTag, kThumbnailTagSize) != 0) throw ETaveluneError("");
    const int mode = int(in.LE32() & 0xFF);
    return ReadOxiColourPicture(in, mode);
}

// Moves past the thumbnail block, whose length counts its own four bytes, and the int32 after
// it, to the first layer record.
void SkipThumbnail(TByteReader& in) {
    const int32_t length = I32(in);
    if (length < 4) throw ETaveluneError("layered image: bad thumbnail block length");
    in.Skip(size_t(length) - 4);
    in.Skip(4);
}

void ReadOxi(const TReadInput& input, TGraphic& graphic) {
    TMyImageLayeredReg reg;
    reg.Load(input.Bytes, input.Preview);
    graphic.Picture = std::move(reg.Picture);
    graphic.FileWidth = reg.FileWidth();
    graphic.FileHeight = reg.FileHeight();
}

} // namespace

// Never written: saving under this extension fails in the dispatcher.
const TGraphicClass gcOxi{"TMyImageLayeredReg", ReadOxi};

TOxiHeader ReadOxiHeader(TByteReader& in) {
    const TBytes signature = in.Take(kSignatureSize);
    if (std::memcmp(signature.data(), kSignature, kSignatureSize) != 0)
        throw ETaveluneError(InvalidDataText);
    TOxiHeader h;
    h.Version = in.U8();
    if (h.Version < 1 || h.Version > 3) throw ETaveluneError(InvalidDataText);
    h.Width = I32(in);
    h.Height = I32(in);
    h.Resolution = I32(in) / 1000.0;
    h.Reserved = I32(in);
    h.Text = FieldText(in.Take(kHeaderTextSize));
    h.Kept = I32(in);
    return h;
}

void TLayerItem::Read(TByteReader& in) {
    const int32_t nameLength = I32(in);
    if (nameLength < 0 || nameLength > kMaxLayerName) throw ETaveluneError(InvalidDataText);
    const TBytes name = in.Take(size_t(nameLength));
    Name = QString::fromLatin1(reinterpret_cast<const char*>(name.data()), nameLength);
    EditorByte1 = in.U8();
    EditorByte2 = in.U8();
    for (int32_t& v : EditorValues)
        v = I32(in);
    EditorByte3 = in.U8();
    Colour = in.LE32();
    EditorValue = I32(in);
    ReadInto(in, EditorField);
    EditorByte4 = in.U8();

    HasImage = in.U8() != 0;
    Image.Clear();
    Transparent = false;
    TransparentColour = clWhite;
    if (HasImage) {
        Image = ReadOxiColourPicture(in, in.U8());
        Transparent = in.U8() != 0;
        TransparentColour = in.LE32();
    }
    HasMask = in.U8() != 0;
    Mask.Clear();
    if (HasMask) Mask = ReadOxiGreyPicture(in, in.U8());
    ThirdPicture = in.U8() != 0;
    ReadInto(in, Settings);
    ReadInto(in, MoreSettings);
    ExtraData = in.U8() != 0;
}

void TMyImageLayeredReg::Load(TBytes data, bool preview) {
    TByteReader in(data, "layered image");
    Header = ReadOxiHeader(in);
    Picture.Clear();
    if (preview) {
        Picture = ReadThumbnail(in);
        return;
    }
    SkipThumbnail(in);
    FirstLayer.Read(in);
    Picture = FirstLayer.Image;
    Picture.SetTransparent(FirstLayer.Transparent);
    Picture.SetTransparentColor(FirstLayer.TransparentColour);
}
