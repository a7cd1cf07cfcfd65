#include "formats/FileNames.h"

#include "formats/FormatRegistry.h"
#include "formats/Graphic.h"

const TRawFilter RawFilters[12] = {
    {"raw", "RAW"},         {"kdc;dcr;dc2", "Kodak raw"}, {"crw;cr2", "Canon raw"},
    {"mrw", "Minolta raw"}, {"nef", "Nikon raw"},         {"orf", "Olympus raw"},
    {"pef", "Pentax raw"},  {"raf", "Fuji raw"},          {"srf", "Sony raw"},
    {"x3f", "Sigma raw"},   {"cam", "Casio raw"},         {"dng", "DNG"},
};

QString FileExtension(const QString& fileName) {
    for (qsizetype i = fileName.size() - 1; i >= 0; --i) {
        const QChar c = fileName[i];
        if (c == u'.') return fileName.mid(i);
        if (c == u'/') break;
#ifdef Q_OS_WIN
        if (c == u'\\' || c == u':') break;
#endif
    }
    return {};
}

QString LowerExtension(const QString& fileName) {
    return FileExtension(fileName).toLower();
}

namespace {

bool ExtensionIs(const QString& fileName, std::initializer_list<const char*> exts) {
    const QString ext = LowerExtension(fileName);
    if (ext.isEmpty()) return false;
    for (const char* e : exts)
        if (ext == QLatin1String(e)) return true;
    return false;
}

} // namespace

bool IsJpegName(const QString& fileName) {
    const QString ext = LowerExtension(fileName);
    return !ext.isEmpty() && FileFormats().FactoryMasks(gcJpeg).contains(ext);
}

bool IsTiffName(const QString& fileName) {
    return ExtensionIs(fileName, {".tif", ".tiff", ".fax"});
}

bool IsRawName(const QString& fileName) {
    const QString ext = LowerExtension(fileName).mid(1);
    if (ext.isEmpty()) return false;
    for (const TRawFilter& f : RawFilters)
        if (QLatin1String(f.Extensions).contains(ext)) return true;
    return false;
}

bool IsPngName(const QString& fileName) {
    return ExtensionIs(fileName, {".png"});
}
bool IsGifName(const QString& fileName) {
    return ExtensionIs(fileName, {".gif"});
}
bool IsOxiName(const QString& fileName) {
    return ExtensionIs(fileName, {".oxi"});
}
bool IsOxsName(const QString& fileName) {
    return ExtensionIs(fileName, {".oxs"});
}
bool IsBmpName(const QString& fileName) {
    return ExtensionIs(fileName, {".bmp", ".dib"});
}
bool IsRleName(const QString& fileName) {
    return ExtensionIs(fileName, {".rle"});
}
bool IsTgaName(const QString& fileName) {
    return ExtensionIs(fileName, {".tga"});
}
bool IsIcoName(const QString& fileName) {
    return ExtensionIs(fileName, {".ico"});
}
bool IsMetafileName(const QString& fileName) {
    return ExtensionIs(fileName, {".wmf", ".emf"});
}
bool IsWebpName(const QString& fileName) {
    return ExtensionIs(fileName, {".webp"});
}
