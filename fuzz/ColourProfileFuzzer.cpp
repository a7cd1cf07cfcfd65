// Arbitrary bytes as an ICC profile, or as the headers of a JPEG file whose APP2 segments give
// one, applied by the dispatcher's conversion to small pictures of every layout it handles.
#include "formats/ColourManagement.h"
#include "formats/JpegIcc.h"

#include <QImage>
#include <cstddef>
#include <cstdint>

namespace {

TBitmap Gradient(QImage::Format format) {
    QImage image(13, 5, format);
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> colours;
        for (int i = 0; i < 16; ++i)
            colours << qRgba(i * 16, 255 - i * 16, i * 7, 255 - i);
        image.setColorTable(colours);
    }
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* row = image.scanLine(y);
        for (int x = 0; x < image.bytesPerLine(); ++x)
            row[x] = format == QImage::Format_Indexed8 ? uint8_t((x + y) % 16)
                                                       : uint8_t(x * 19 + y * 53);
    }
    return TBitmap(image);
}

void Convert(const QByteArray& profile, TBitmap picture, TCmykSamples cmyk = {}) {
    TGraphic graphic(gcJpeg);
    graphic.Picture = std::move(picture);
    graphic.IccProfile = profile;
    graphic.Cmyk = std::move(cmyk);
    graphic.Picture.SetTransparent(true);
    ConvertToSrgb(graphic);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const TBytes rest(data + 1, size - 1);
    // The first byte chooses how the rest is read.
    const QByteArray profile = data[0] & 1 ? JpegIccProfile(rest)
                                           : QByteArray(reinterpret_cast<const char*>(rest.data()),
                                                        qsizetype(rest.size()));
    volatile qsizetype described = IccProfileDescription(profile).size();
    (void)described;
    for (QImage::Format format : {QImage::Format_BGR888, QImage::Format_ARGB32,
                                  QImage::Format_Indexed8, QImage::Format_RGB16})
        Convert(profile, Gradient(format));
    // Grey pixels, for grey profiles.
    TBitmap grey = Gradient(QImage::Format_BGR888);
    for (int y = 0; y < grey.Height(); ++y)
        for (int x = 0; x < grey.Width(); ++x)
            grey.ScanLine(y)[3 * x + 1] = grey.ScanLine(y)[3 * x + 2] = grey.ScanLine(y)[3 * x];
    Convert(profile, grey);
    for (bool inverted : {false, true}) {
        const TBitmap picture = Gradient(QImage::Format_BGR888);
        TCmykSamples cmyk{picture.Width(), picture.Height(), inverted, {}};
        for (int i = 0; i < picture.Width() * picture.Height() * 4; ++i)
            cmyk.Samples.push_back(uint8_t(i * 37));
        Convert(profile, picture, std::move(cmyk));
    }
    return 0;
}
