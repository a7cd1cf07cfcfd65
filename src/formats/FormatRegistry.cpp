#include "formats/FormatRegistry.h"

#include "core/Errors.h"
#include "formats/ImageFiles.h"
#include "formats/SaveFormats.h"

#include <QStringList>
#include <algorithm>

namespace {

bool LessNoCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

QString MaskOf(const QString& ext) {
    return QStringLiteral("*.") + ext;
}

} // namespace

void TFileFormatList::Register(const QString& extension, const TGraphicClass& cls,
                               const QString& commonDescription, const QString& description,
                               unsigned kinds, bool replace) {
    const QString ext = extension.toLower();
    auto it = std::find_if(m_extensions.begin(), m_extensions.end(),
                           [&](const TExtensionEntry& e) { return e.Extension == ext; });
    if (it != m_extensions.end() && !replace)
        throw ETaveluneError(
            QStringLiteral("Attempt to register %1 twice.").arg(ext).toStdString());

    auto cit = std::find_if(m_classes.begin(), m_classes.end(),
                            [&](const TClassEntry& c) { return c.Class == &cls; });
    if (cit == m_classes.end()) {
        m_classes.push_back({&cls, commonDescription, 0});
        cit = m_classes.end() - 1;
    }
    ++cit->Count;

    if (it == m_extensions.end()) {
        m_extensions.push_back({ext, &cls, description, kinds});
    } else {
        const TGraphicClass* old = it->Class;
        *it = {ext, &cls, description, kinds};
        Release(old);
    }
    m_factory.push_back({ext, description.isEmpty() ? commonDescription : description, &cls});
}

void TFileFormatList::Release(const TGraphicClass* cls) {
    auto cit = std::find_if(m_classes.begin(), m_classes.end(),
                            [&](const TClassEntry& c) { return c.Class == cls; });
    if (cit != m_classes.end() && --cit->Count <= 0) m_classes.erase(cit);
}

void TFileFormatList::UnregisterExtension(const QString& extension) {
    const QString ext = extension.toLower();
    auto it = std::find_if(m_extensions.begin(), m_extensions.end(),
                           [&](const TExtensionEntry& e) { return e.Extension == ext; });
    if (it == m_extensions.end()) return;
    const TGraphicClass* cls = it->Class;
    m_extensions.erase(it);
    Release(cls);
    std::erase_if(m_factory,
                  [&](const TFactoryEntry& f) { return f.Extension == ext && f.Class == cls; });
}

void TFileFormatList::UnregisterClass(const TGraphicClass& cls) {
    std::erase_if(m_extensions, [&](const TExtensionEntry& e) { return e.Class == &cls; });
    std::erase_if(m_classes, [&](const TClassEntry& c) { return c.Class == &cls; });
    std::erase_if(m_factory, [&](const TFactoryEntry& f) { return f.Class == &cls; });
}

void TFileFormatList::Clear() {
    m_extensions.clear();
    m_classes.clear();
    m_factory.clear();
}

const TExtensionEntry* TFileFormatList::FindExtension(const QString& extension) const {
    const QString ext = extension.toLower();
    for (const TExtensionEntry& e : m_extensions)
        if (e.Extension == ext) return &e;
    return nullptr;
}

const TClassEntry* TFileFormatList::FindClass(const TGraphicClass& cls) const {
    for (const TClassEntry& c : m_classes)
        if (c.Class == &cls) return &c;
    return nullptr;
}

QString TFileFormatList::CompactFilter(bool allEntry, const QString& allText) const {
    struct TEntry {
        QString Description, Masks;
    };
    std::vector<TEntry> entries;
    for (const TClassEntry& c : m_classes) {
        QStringList masks;
        for (const TExtensionEntry& e : m_extensions)
            if (e.Class == c.Class) masks << MaskOf(e.Extension);
        if (masks.isEmpty()) continue;
        std::sort(masks.begin(), masks.end(), LessNoCase);
        const QString joined = masks.join(QStringLiteral("; "));
        entries.push_back({c.Description + QStringLiteral(" (") + joined + u')', joined});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) {
        return LessNoCase(a.Description, b.Description);
    });
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const TEntry& a, const TEntry& b) {
                                  return a.Description.compare(b.Description,
                                                               Qt::CaseInsensitive) == 0;
                              }),
                  entries.end());

    QStringList parts;
    if (allEntry) {
        QStringList all;
        for (const TExtensionEntry& e : m_extensions)
            all << MaskOf(e.Extension);
        std::sort(all.begin(), all.end(), LessNoCase);
        all.erase(std::unique(all.begin(), all.end(),
                              [](const QString& a, const QString& b) {
                                  return a.compare(b, Qt::CaseInsensitive) == 0;
                              }),
                  all.end());
        parts << allText << all.join(QStringLiteral("; "));
    }
    for (const TEntry& e : entries)
        parts << e.Description << e.Masks;
    return parts.join(u'|');
}

const TGraphicClass* TFileFormatList::FactoryClass(const QString& extension) const {
    const QString ext = extension.toLower();
    for (auto it = m_factory.rbegin(); it != m_factory.rend(); ++it)
        if (it->Extension == ext) return it->Class;
    return nullptr;
}

QString TFileFormatList::FactoryMasks(const TGraphicClass& cls) const {
    QStringList masks;
    for (const TFactoryEntry& f : m_factory)
        if (f.Class == &cls) masks << MaskOf(f.Extension);
    return masks.join(u';');
}

namespace {

struct TStartupFormat {
    const TGraphicClass* Class;
    const char* Extensions; // separated by spaces
    unsigned Kinds;
};

constexpr unsigned R = fkRaster, V = fkVector, L = fkLayered, M = fkMultiImage, A = fkAnimation;

// The codec family, in its order; the platform's own classes first. The icon's description
// comes from the texts.
const TStartupFormat kCodecFamily[] = {
    {&gcBitmap, "bmp rle dib", R},
    {&gcIcon, "ico", R},
    {&gcMetafile, "wmf emf", V},
    {&gcJpeg, "jfif jpg jpe jpeg", R},
    {&gcTarga, "win vst vda tga icb", R},
    {&gcPcx, "pcx pcc scr", R},
    {&gcRla, "rpf rla", R},
    {&gcSgi, "sgi rgba rgb bw", R},
    {&gcPsd, "psd pdd", L | R},
    {&gcPortableMap, "ppm pgm pbm", R},
    {&gcAutodesk, "cel pic", R},
    {&gcPhotoCd, "pcd", R},
    {&gcDrHalo, "cut", R},
    {&gcPaintShopPro, "psp tub", R | V},
};

// Registered afterwards by the dispatcher itself.
const TStartupFormat kDispatcherFormats[] = {
    {&gcOxi, "oxi", L | R},     {&gcOxs, "oxs", R}, {&gcTiff, "tiff tif fax tf8 btf", M | R},
    {&gcGif, "gif", A | M | R}, {&gcPng, "png", R},
};

// The formats of today's cameras, phones and web pages, registered last.
const TStartupFormat kModernFormats[] = {
    {&gcWebp, "webp", A | R},          {&gcAvif, "avif avifs", A | M | R},
    {&gcHeif, "heic heif hif", M | R}, {&gcJxl, "jxl", A | R},
    {&gcSvg, "svg svgz", V},
};

QString CommonDescription(const TGraphicClass* cls) {
    const TInterfaceTexts& t = InterfaceTexts();
    static const std::pair<const TGraphicClass*, const char*> fixed[] = {
        {&gcBitmap, "BMP"},
        {&gcMetafile, "Metafile"},
        {&gcJpeg, "JPEG"},
        {&gcTarga, "Targa"},
        {&gcPcx, "Paintbrush"},
        {&gcRla, "Alias/Wavefront"},
        {&gcSgi, "SGI"},
        {&gcPsd, "Photoshop"},
        {&gcPortableMap, "Portable map"},
        {&gcAutodesk, "Autodesk"},
        {&gcPhotoCd, "Photo-CD"},
        {&gcDrHalo, "Dr. Halo"},
        {&gcPaintShopPro, "Paintshop Pro"},
        {&gcTiff, "TIFF"},
        {&gcGif, "GIF"},
        {&gcPng, "PNG"},
        {&gcOxi, "Ostrevalden Image"},
        {&gcWebp, "WebP"},
        {&gcAvif, "AVIF"},
        {&gcHeif, "HEIF"},
        {&gcJxl, "JPEG XL"},
        {&gcSvg, "SVG"},
    };
    if (cls == &gcIcon) return t.Icon;
    if (cls == &gcOxs) return t.OstrevaldenSelection;
    for (const auto& [c, text] : fixed)
        if (c == cls) return QString::fromLatin1(text);
    return {};
}

void RegisterAll(TFileFormatList& list, const TStartupFormat& f) {
    const QString common = CommonDescription(f.Class);
    for (const QString& ext : QString::fromLatin1(f.Extensions).split(u' '))
        list.Register(ext, *f.Class, common, QString(), f.Kinds);
}

TFileFormatList& Registry() {
    static TFileFormatList list;
    return list;
}

bool g_filled = false;

} // namespace

TFileFormatList& FileFormats() {
    if (!g_filled) InitImageFormats();
    return Registry();
}

void InitImageFormats() {
    TFileFormatList& list = Registry();
    list.Clear();
    g_filled = true;
    for (const TStartupFormat& f : kCodecFamily)
        RegisterAll(list, f);
    for (const TStartupFormat& f : kDispatcherFormats)
        RegisterAll(list, f);
    for (const TStartupFormat& f : kModernFormats)
        RegisterAll(list, f);
    FillSaveFormats();
    ResetOptionsOE();
}

void DoneImageFormats() {
    Registry().Clear();
    ClearSaveFormats();
    g_filled = false;
}

void SetFormatTexts(const TInterfaceTexts& texts) {
    InterfaceTexts() = texts;
    TFileFormatList& list = FileFormats();
    for (const TGraphicClass* cls : {&gcIcon, &gcOxs, &gcOxi}) {
        list.UnregisterClass(*cls);
        for (const TStartupFormat& f : kCodecFamily)
            if (f.Class == cls) RegisterAll(list, f);
        for (const TStartupFormat& f : kDispatcherFormats)
            if (f.Class == cls) RegisterAll(list, f);
    }
}
