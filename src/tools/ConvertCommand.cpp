// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/ConvertCommand.h"

#include "core/Bitmap.h"
#include "core/ColorAdjust.h"
#include "core/Errors.h"
#include "core/FlipRotate.h"
#include "core/StretchEx.h"
#include "formats/Exif.h"
#include "formats/FileNames.h"
#include "formats/ImageFiles.h"
#include "tools/ConvertPipeline.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <climits>

namespace {

bool ToInt(const QString& text, int low, int high, int& value) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high) return false;
    value = v;
    return true;
}

// The turn that an EXIF orientation asks for; mirrored orientations are left as they are.
void TurnByExif(TBitmap& image, int orientation) {
    switch (orientation) {
    case 3:
        Rotate180(image);
        break;
    case 6:
        Rotate90(image, true);
        break;
    case 8:
        Rotate90(image, false);
        break;
    default:
        break;
    }
}

// Runs on the decoding workers: the orientation comes from the EXIF block the load found.
void Transform(TBitmap& image, int exifOrientation, const TConvertOptions& o) {
    image.To24Bit();
    if (o.ExifTurn) TurnByExif(image, exifOrientation);
    if (o.Tint != 0 || o.Adjust != 0 || o.Blur)
        ApplyDisplayAdjustments(image, o.Tint, o.Adjust, o.Blur);
    if (o.Flip == QLatin1String("h")) FlipHorizontal(image);
    if (o.Flip == QLatin1String("v")) FlipVertical(image);
    if (o.Rotate == 90) Rotate90(image, true);
    if (o.Rotate == 180) Rotate180(image);
    if (o.Rotate == 270) Rotate90(image, false);
    if (o.Resize) ResizeImage(o.Resize->width(), o.Resize->height(), o.Optimize, image);
}

QString InfoLine(const QString& path, const TBitmap& loaded) {
    QStringList exif = ExifInfoText(path).split(QLatin1Char('\r'), Qt::SkipEmptyParts);
    QString line = QStringLiteral("%1\t%2x%3\t%4\t%5")
                       .arg(path)
                       .arg(FileWidth())
                       .arg(FileHeight())
                       .arg(BitDepthFound(path, loaded))
                       .arg(exif.join(QStringLiteral(" | ")));
    if (!IccDescription().isEmpty()) line += QStringLiteral("\ticc=") + IccDescription();
    // Files of several pictures say how many, as frames or as pages.
    const TOptionsOE& loadedFile = OptionsOE();
    if (loadedFile.ImageCount > 1)
        line += QStringLiteral("\t%1=%2")
                    .arg(loadedFile.Animated ? QStringLiteral("frames") : QStringLiteral("pages"))
                    .arg(loadedFile.ImageCount);
    return line;
}

// The output of one input: the output itself, or a file of the chosen type in the folder.
QString OutputFor(const QString& input, const TConvertOptions& o, bool folder) {
    if (!folder) return o.Output;
    return QDir(o.Output).filePath(QFileInfo(input).completeBaseName() + QLatin1Char('.') +
                                   o.Format);
}

} // namespace

QString ConvertUsage() {
    return QStringLiteral(
        "usage: tavelune-convert [options] INPUT... -o OUTPUT\n"
        "       tavelune-convert --info INPUT...\n"
        "  -o OUTPUT            output file; a folder when there are several inputs\n"
        "  --format EXT         type of the files written into an output folder\n"
        "                       (bmp, gif, jpg, png, rle, tga, tif, webp)\n"
        "  --exif-turn          turn upright by the EXIF orientation\n"
        "  --tint N             display tint 0..8 (grey 3, sepia 4, ...)\n"
        "  --adjust N           brightness or contrast step 0..4\n"
        "  --blur               blur\n"
        "  --flip h|v           mirror horizontally or vertically\n"
        "  --rotate 90|180|270  turn clockwise\n"
        "  --resize WxH         resize to W x H pixels\n"
        "  --optimize           resize with the filtered resampler\n"
        "  --quality Q          JPEG and WebP quality 1..100 (90; WebP 100 is lossless)\n"
        "  --progressive        progressive JPEG\n"
        "  --page N             the page or frame N (from 1) of a file holding several\n"
        "  --no-colour-management  keep the stored colours of files with an ICC profile\n"
        "  --info               print path, stored size, bit depth and EXIF lines, "
        "tab-separated,\n"
        "                       then icc=<description> for a file with an ICC profile\n"
        "                       and frames=N or pages=N for files holding several\n"
        "  -j N, --jobs N       convert N inputs at once (default: one per processor)\n"
        "  -h, --help           print this help and exit\n"
        "  --version            print the version and exit\n");
}

std::optional<TConvertOptions> ParseConvertArguments(const QStringList& args, QString& error) {
    TConvertOptions o;
    const auto value = [&](qsizetype& i, const QString& name) -> std::optional<QString> {
        if (i + 1 >= args.size()) {
            error = name + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        return args[++i];
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        std::optional<QString> v;
        if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (!(v = value(i, a))) return std::nullopt;
            o.Output = *v;
        } else if (a == QLatin1String("--format")) {
            if (!(v = value(i, a))) return std::nullopt;
            o.Format = v->startsWith(QLatin1Char('.')) ? v->mid(1) : *v;
            if (o.Format.isEmpty() || !WriterClassFor(QStringLiteral("x.") + o.Format)) {
                error = QStringLiteral("no writer for the type \"%1\"").arg(*v);
                return std::nullopt;
            }
        } else if (a == QLatin1String("--info")) {
            o.Info = true;
        } else if (a == QLatin1String("--exif-turn")) {
            o.ExifTurn = true;
        } else if (a == QLatin1String("--tint") || a == QLatin1String("--adjust")) {
            if (!(v = value(i, a))) return std::nullopt;
            const bool tint = a == QLatin1String("--tint");
            if (!ToInt(*v, 0, tint ? 8 : 4, tint ? o.Tint : o.Adjust)) {
                error = a + (tint ? QStringLiteral(" takes 0..8") : QStringLiteral(" takes 0..4"));
                return std::nullopt;
            }
        } else if (a == QLatin1String("--blur")) {
            o.Blur = true;
        } else if (a == QLatin1String("--flip")) {
            if (!(v = value(i, a))) return std::nullopt;
            if (*v != QLatin1String("h") && *v != QLatin1String("v")) {
                error = QStringLiteral("--flip takes h or v");
                return std::nullopt;
            }
            o.Flip = *v;
        } else if (a == QLatin1String("--rotate")) {
            if (!(v = value(i, a))) return std::nullopt;
            if (*v != QLatin1String("90") && *v != QLatin1String("180") &&
                *v != QLatin1String("270")) {
                error = QStringLiteral("--rotate takes 90, 180 or 270");
                return std::nullopt;
            }
            o.Rotate = v->toInt();
        } else if (a == QLatin1String("--resize")) {
            if (!(v = value(i, a))) return std::nullopt;
            const QStringList wh = v->split(QLatin1Char('x'));
            int w = 0, h = 0;
            if (wh.size() != 2 || !ToInt(wh[0], 1, 1 << 30, w) || !ToInt(wh[1], 1, 1 << 30, h) ||
                int64_t(w) * h > kMaxImagePixels) {
                error = QStringLiteral("--resize takes WxH, both above 0");
                return std::nullopt;
            }
            o.Resize = QSize(w, h);
        } else if (a == QLatin1String("--optimize")) {
            o.Optimize = true;
        } else if (a == QLatin1String("--quality")) {
            if (!(v = value(i, a))) return std::nullopt;
            if (!ToInt(*v, 1, 100, o.Quality)) {
                error = QStringLiteral("--quality takes 1..100");
                return std::nullopt;
            }
        } else if (a == QLatin1String("--progressive")) {
            o.Progressive = true;
        } else if (a == QLatin1String("--jobs") || a.startsWith(QLatin1String("-j"))) {
            QString n = a.mid(2); // "-j4"
            if (a == QLatin1String("-j") || a == QLatin1String("--jobs")) {
                if (!(v = value(i, a))) return std::nullopt;
                n = *v;
            }
            if (!ToInt(n, 1, 1024, o.Jobs)) {
                error = QStringLiteral("-j takes 1..1024");
                return std::nullopt;
            }
        } else if (a == QLatin1String("--no-colour-management")) {
            o.ColourManagement = false;
        } else if (a == QLatin1String("--page")) {
            if (!(v = value(i, a))) return std::nullopt;
            if (!ToInt(*v, 1, INT_MAX, o.Page)) {
                error = QStringLiteral("--page takes a number from 1");
                return std::nullopt;
            }
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            error = QStringLiteral("unknown option ") + a;
            return std::nullopt;
        } else {
            o.Inputs << a;
        }
    }
    if (o.Inputs.isEmpty()) {
        error = QStringLiteral("no input");
        return std::nullopt;
    }
    if (o.Info) {
        if (!o.Output.isEmpty()) {
            error = QStringLiteral("--info writes nothing: no -o");
            return std::nullopt;
        }
        return o;
    }
    if (o.Output.isEmpty()) {
        error = QStringLiteral("no output (-o)");
        return std::nullopt;
    }
    const bool folder = o.Inputs.size() > 1 || QFileInfo(o.Output).isDir();
    if (folder && o.Format.isEmpty()) {
        error = QStringLiteral("an output folder needs --format");
        return std::nullopt;
    }
    if (!folder && !o.Format.isEmpty()) {
        error = QStringLiteral("--format is for an output folder; the file's name gives its type");
        return std::nullopt;
    }
    return o;
}

int RunConvert(const TConvertOptions& o, QTextStream& out, QTextStream& err) {
    // The choice holds for this run only; the decoding requests take it as they are made.
    struct TColourScope {
        bool Was = OptionsOE().ColourManagement;
        explicit TColourScope(bool on) { OptionsOE().ColourManagement = on; }
        ~TColourScope() { OptionsOE().ColourManagement = Was; }
    } colour(o.ColourManagement);
    const bool folder = !o.Info && (o.Inputs.size() > 1 || QFileInfo(o.Output).isDir());
    if (folder && !QFileInfo(o.Output).isDir()) {
        err << "tavelune-convert: no folder " << o.Output << Qt::endl;
        return 1;
    }
    int status = 0;
    QSet<QString> written;
    // Every output is of one type: the output's own, or the folder's format.
    const TGraphicClass* writer = o.Info ? nullptr : WriterClassFor(OutputFor({}, o, folder));
    const TConvertEncode encode = [writer, &o](const TBitmap& picture) {
        if (!writer) throw ETaveluneError("no writer");
        return EncodeImage(*writer, picture, o.Quality, o.Progressive);
    };
    TConvertPipeline pipeline(
        o.Inputs, o.Jobs > 0 ? o.Jobs : QThread::idealThreadCount(),
        o.Info ? TConvertChange()
               : [&o](TBitmap& picture,
                      const TGraphic&
                          graphic) { Transform(picture, ExifOrientation(graphic.ExifBlock), o); },
        writer && WriterRunsAnywhere(*writer) ? encode : TConvertEncode(), o.Page - 1);
    for (int index = 0; index < o.Inputs.size(); ++index) {
        const QString& input = o.Inputs[index];
        QString path = input;
        TBitmap image;
        TConvertedInput loaded = pipeline.Take(index);
        // An empty name asks for the open dialog, which only a plain load runs.
        const int result = input.isEmpty() ? LoadImageFile(path, image, {}, o.Page - 1)
                                           : FinishImageLoad(loaded.Decoded, image);
        if (result <= 0) {
            status = 1;
            continue;
        }
        if (o.Info) {
            out << InfoLine(path, image) << "\n";
            continue;
        }
        QString target = OutputFor(input, o, folder);
        const QString key = QFileInfo(target).absoluteFilePath();
        if (written.contains(key)) {
            err << "tavelune-convert: " << input << " would overwrite " << target
                << ", written earlier in this run" << Qt::endl;
            status = 1;
            continue;
        }
        if (!loaded.ChangeError.empty()) {
            err << "tavelune-convert: " << input << ": " << loaded.ChangeError.c_str() << Qt::endl;
            status = 1;
            continue;
        }
        // Encoded on a worker already, or here for writers that must stay on this thread.
        if (!loaded.Encoded) loaded.Bytes = EncodeOrNothing(encode, image);
        if (SaveEncodedImageFile(target, loaded.Bytes) <= 0) {
            status = 1;
            continue;
        }
        written.insert(key);
    }
    out.flush();
    err.flush();
    return status;
}
