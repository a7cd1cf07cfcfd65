#include "formats/SvgCodec.h"

#include "core/Errors.h"
#include "formats/Graphic.h"
#include "formats/RasterImages.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

#include <zlib.h>

namespace {

[[noreturn]] void Fail(const char* what) {
    throw ETaveluneError(std::string("SVG: ") + what);
}

bool IsGzip(TBytes data) {
    return data.size() >= 2 && data[0] == 0x1F && data[1] == 0x8B;
}

QByteArray Inflate(TBytes data) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) throw std::bad_alloc();
    struct TEnd {
        z_stream* s;
        ~TEnd() { inflateEnd(s); }
    } end{&z};
    QByteArray out;
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(std::min<size_t>(data.size(), UINT32_MAX));
    char chunk[65536];
    for (;;) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        const int r = inflate(&z, Z_NO_FLUSH);
        if (r != Z_OK && r != Z_STREAM_END) Fail("bad compressed data");
        const qsizetype got = qsizetype(sizeof chunk - z.avail_out);
        if (out.size() + got > kMaxSvgBytes) Fail("document too large");
        out.append(chunk, got);
        if (r == Z_STREAM_END) return out;
        if (got == 0 && z.avail_in == 0) Fail("truncated");
    }
}

// A length of the root element in pixels at 96 dpi, or -1 when it gives none (a percentage,
// an unknown unit, nothing).
double Pixels(QStringView text) {
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*([+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*([a-zA-Z]*)\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) return -1;
    const double v = m.captured(1).toDouble();
    const QString unit = m.captured(2).toLower();
    static const std::pair<const char*, double> kUnits[] = {
        {"", 1},           {"px", 1},         {"pt", 96.0 / 72}, {"pc", 16}, {"in", 96},
        {"cm", 96 / 2.54}, {"mm", 96 / 25.4}, {"q", 96 / 101.6}, {"em", 16}, {"ex", 8},
    };
    for (const auto& [name, factor] : kUnits)
        if (unit == QLatin1String(name)) return std::isfinite(v * factor) ? v * factor : -1;
    return -1;
}

// Width and height of a viewBox attribute, or nothing usable.
QSizeF ViewBoxSize(QStringView text) {
    const QStringList parts =
        text.toString().split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (parts.size() != 4) return {};
    bool okW = false, okH = false;
    const double w = parts[2].toDouble(&okW), h = parts[3].toDouble(&okH);
    if (!okW || !okH || !(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h)) return {};
    return QSizeF(w, h);
}

// References that stay inside the document.
bool IsInternal(QStringView href) {
    const QStringView v = href.trimmed();
    return v.startsWith(u'#') || v.startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
}

QSizeF DocumentSize(const QXmlStreamAttributes& root, QSizeF viewBox) {
    const double w = Pixels(root.value(QLatin1String("width")));
    const double h = Pixels(root.value(QLatin1String("height")));
    if (w > 0 && h > 0) return QSizeF(w, h);
    if (!viewBox.isEmpty()) {
        if (w > 0) return QSizeF(w, w * viewBox.height() / viewBox.width());
        if (h > 0) return QSizeF(h * viewBox.width() / viewBox.height(), h);
        return viewBox;
    }
    return {};
}

TBitmap RenderSvg(const TSvgDocument& doc);

void ReadSvg(const TReadInput& input, TGraphic& graphic) {
    const TSvgDocument doc = ReadSvgDocument(input.Bytes);
    graphic.Picture = RenderSvg(doc);
    if (!doc.Size.isEmpty() && doc.Size.width() < INT32_MAX && doc.Size.height() < INT32_MAX) {
        graphic.FileWidth = std::max(1, int(std::lround(doc.Size.width())));
        graphic.FileHeight = std::max(1, int(std::lround(doc.Size.height())));
    }
}

} // namespace

const TGraphicClass gcSvg{"TSvgImage", ReadSvg};

TSvgDocument ReadSvgDocument(TBytes data) {
    const QByteArray source =
        IsGzip(data) ? Inflate(data)
                     : QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                               qsizetype(data.size()));
    TSvgDocument doc;
    QXmlStreamReader reader(source);
    QXmlStreamWriter writer(&doc.Xml);
    bool rootSeen = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            QXmlStreamAttributes kept;
            for (const QXmlStreamAttribute& a : reader.attributes())
                if (a.name() != QLatin1String("href") || IsInternal(a.value())) kept.append(a);
            if (!rootSeen) {
                if (reader.name() != QLatin1String("svg")) Fail("not an SVG document");
                rootSeen = true;
                const QSizeF viewBox = ViewBoxSize(kept.value(QLatin1String("viewBox")));
                doc.HasViewBox = !viewBox.isEmpty();
                doc.Size = DocumentSize(kept, viewBox);
            }
            writer.writeStartElement(reader.namespaceUri().toString(), reader.name().toString());
            for (const QXmlStreamNamespaceDeclaration& ns : reader.namespaceDeclarations())
                writer.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
            writer.writeAttributes(kept);
            break;
        }
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA())
                writer.writeCDATA(reader.text().toString());
            else
                writer.writeCharacters(reader.text().toString());
            break;
        default:
            // The declaration, the DTD (its entities are already expanded by the reader),
            // comments and processing instructions are left out.
            break;
        }
    }
    if (reader.hasError() || !rootSeen) Fail("not an SVG document");
    return doc;
}

TBitmap DecodeSvg(TBytes data) {
    return RenderSvg(ReadSvgDocument(data));
}

namespace {

TBitmap RenderSvg(const TSvgDocument& doc) {
    QSizeF size = doc.Size;
    if (size.isEmpty()) size = QSizeF(kSvgDefaultSide, kSvgDefaultSide);
    const double scale = std::min(1.0, kMaxSvgSide / std::max(size.width(), size.height()));
    const int w = std::max(1, int(std::lround(size.width() * scale)));
    const int h = std::max(1, int(std::lround(size.height() * scale)));
    CheckImageSize(w, h);

    // Text needs the fonts of a GUI application; without one Qt would end the process.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        Fail("no GUI application to draw with");
    QSvgRenderer renderer(doc.Xml);
    if (!renderer.isValid()) Fail("unreadable drawing");
    // Without a viewBox, user units are pixels at 96 dpi across the document's size.
    if (!doc.HasViewBox && !doc.Size.isEmpty()) renderer.setViewBox(QRectF(QPointF(), doc.Size));
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QImage canvas = NewCheckedImage(w, h, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, w, h));
    }
    canvas.convertTo(QImage::Format_ARGB32);
    if (canvas.isNull()) throw std::bad_alloc();
    return PictureFromArgb(std::move(canvas));
}

} // namespace
