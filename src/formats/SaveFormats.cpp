#include "formats/SaveFormats.h"

#include "formats/FileNames.h"
#include "formats/FormatRegistry.h"

#include <QStringList>

namespace {

std::vector<TFiltres>& Table() {
    static std::vector<TFiltres> table;
    return table;
}

} // namespace

const std::vector<TFiltres>& SaveFormats() {
    FileFormats(); // fills the tables on first use
    return Table();
}

// The native .oxi format is read-only: no writer exists, so it is not offered for saving.
void FillSaveFormats() {
    Table() = {
        {QStringLiteral(".bmp"), QStringLiteral("BMP")},
        {QStringLiteral(".gif"), QStringLiteral("GIF")},
        {QStringLiteral(".jpg;.jpeg;.jpe;.jfif"), QStringLiteral("JPEG")},
        {QStringLiteral(".png"), QStringLiteral("PNG")},
        {QStringLiteral(".rle"), QStringLiteral("RLE")},
        {QStringLiteral(".tga"), QStringLiteral("Targa")},
        {QStringLiteral(".tif;.tiff"), QStringLiteral("TIFF")},
        {QStringLiteral(".webp"), QStringLiteral("WebP")},
    };
}

void ClearSaveFormats() {
    Table().clear();
}

QString BuildOpenFilter(bool allImages, bool registryAll, bool commonImages, bool dropLongMasks) {
    const TInterfaceTexts& texts = InterfaceTexts();
    QString filter = FileFormats().CompactFilter(registryAll, texts.AllImages);
    filter.replace(QStringLiteral("; *"), QStringLiteral(";*"));
    if (dropLongMasks) {
        // The 3-letter masks *.jpe, *.tif and *.rgb already match these files.
        for (const char* mask : {";*.jpeg", ";*.tiff", ";*.rgba"})
            filter.remove(QLatin1String(mask));
    }
    if (allImages) filter = texts.AllImages + QStringLiteral("|*.*|") + filter;
    if (commonImages)
        filter = texts.CommonImages + u'|' + QLatin1String(kCommonImageMasks) + u'|' + filter;
    return filter;
}

QString BuildSaveFilter() {
    QStringList entries;
    for (const TFiltres& f : SaveFormats()) {
        QString masks = f.Extensions;
        masks.replace(u'.', QStringLiteral("*."));
        entries << QStringLiteral("%1 (%2)|%2").arg(f.Description, masks);
    }
    return entries.join(u'|');
}

int FindSaveFilterIndex(const QString& fileName) {
    const QString ext = LowerExtension(fileName);
    if (ext.isEmpty()) return -1;
    const std::vector<TFiltres>& table = SaveFormats();
    for (int i = int(table.size()) - 1; i >= 0; --i)
        if (table[size_t(i)].Extensions.contains(ext)) return i;
    return -1;
}
