// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/ImageFiles.h"

#include "core/Errors.h"
#include "formats/ColourManagement.h"
#include "formats/DecodeFile.h"
#include "formats/FileData.h"
#include "formats/FileNames.h"
#include "formats/FormatRegistry.h"
#include "formats/SaveFormats.h"
#include "formats/UserSeam.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

TImageFileHook g_hook;
bool g_hookWatchesLoads = false;
bool g_previewMode = false;

// Calls the hook (outside preview mode) and returns the continue flag.
bool CallHook(TGraphic* graphic, const QString& fileName, TImageFileStage stage) {
    bool go = true;
    if (g_hook && !g_previewMode) g_hook(graphic, fileName, stage, go);
    return go;
}

QString FailureText(const QString& pattern, const QString& fileName) {
    QString text = pattern;
    const qsizetype at = text.indexOf(QStringLiteral("%s"));
    if (at >= 0) text.replace(at, 2, fileName);
    return text;
}

void ReportSaveFailure(const QString& fileName) {
    CallHook(nullptr, fileName, ifsFailed);
    FileUserSeam().MessageBox(FailureText(InterfaceTexts().SaveFailed, fileName), mkError, mbOk);
}

// Icons and metafiles: drawn onto the key colour over a 24-bit picture of their size, which
// is then marked transparent with that colour.
void DrawOnKey(TBitmap& picture) {
    const TTriple key = ColorToTriple(TransparentKeyColour);
    TBitmap out;
    NewImage(out, picture.Width(), picture.Height(), TransparentKeyColour);
    picture.SetPixelFormat(TPixelFormat::pf32bit);
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* s = picture.ScanLine(y);
        uint8_t* d = out.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x, s += 4, d += 3) {
            const int a = s[3];
            d[0] = uint8_t((s[0] * a + key.b * (255 - a) + 127) / 255);
            d[1] = uint8_t((s[1] * a + key.g * (255 - a) + 127) / 255);
            d[2] = uint8_t((s[2] * a + key.r * (255 - a) + 127) / 255);
        }
    }
    out.SetTransparent(true);
    out.SetTransparentColor(TransparentKeyColour);
    out.SetFoundBitDepth(picture.FoundBitDepth());
    picture = std::move(out);
}

void ResetLastLoad(TOptionsOE& opt) {
    opt.FileWidth = 0;
    opt.FileHeight = 0;
    opt.AnimatedGif = false;
    opt.ImageCount = 1;
    opt.Animated = false;
    opt.FoundBitDepth = 0;
    opt.ExifBlock.clear();
    opt.IccDescription.clear();
}

// After the decoding: the results of the last load, the after-decoding stage, the copy into
// the caller's bitmap. Returns the continue flag as 1 or 0.
int Conclude(TDecodedFile& decoded, TBitmap& bitmap) {
    TOptionsOE& opt = OptionsOE();
    TGraphic& graphic = *decoded.Graphic;
    opt.FileWidth = graphic.FileWidth;
    opt.FileHeight = graphic.FileHeight;
    opt.AnimatedGif = graphic.Is(gcGif) && graphic.Animated;
    opt.ImageCount = std::max(1, graphic.ImageCount);
    opt.Animated = graphic.Animated;
    if (decoded.FoundBitDepth > 0) opt.FoundBitDepth = decoded.FoundBitDepth;
    opt.ExifBlock = graphic.ExifBlock;
    if (!graphic.IccProfile.isEmpty())
        opt.IccDescription = IccProfileDescription(graphic.IccProfile);
    if (!CallHook(&graphic, decoded.Request.FileName, ifsAfterDecode)) return 0;
    if (decoded.Delivered) {
        bitmap = std::move(graphic.Picture);
        graphic.Picture.Clear();
    } else {
        DeliverGraphic(graphic, bitmap);
    }
    return 1;
}

// The failure stage and message, and the stored size taken from the bitmap when the reader
// did not tell it.
int Report(int result, const QString& fileName, const TBitmap& bitmap) {
    TOptionsOE& opt = OptionsOE();
    if (result < 0) {
        CallHook(nullptr, fileName, ifsFailed);
        if (!g_previewMode)
            FileUserSeam().MessageBox(FailureText(InterfaceTexts().LoadFailed, fileName), mkError,
                                      mbOk);
    } else if (result > 0 && (opt.FileWidth <= 0 || opt.FileHeight <= 0)) {
        opt.FileWidth = bitmap.Width();
        opt.FileHeight = bitmap.Height();
    }
    return result;
}

int Load(QString& fileName, TBitmap& bitmap, const QString& initialFolder, int imageIndex) {
    FileFormats(); // the tables exist before the options are touched
    TOptionsOE& opt = OptionsOE();
    ResetLastLoad(opt);

    if (fileName.isEmpty()) {
        TOpenNameRequest request;
        request.Filter = BuildOpenFilter(true, false, true, false);
        request.InitialFolder = initialFolder;
        request.Resizable = opt.ResizableDialogs;
        request.Preview = opt.OpenPreview;
        bool preview = opt.OpenPreview;
        const QString chosen = FileUserSeam().ChooseOpenName(request, preview);
        opt.OpenPreview = preview;
        FileUserSeam().ProcessPendingEvents();
        if (chosen.isEmpty()) return 0;
        fileName = chosen;
    }

    int result = -1;
    try {
        TDecodedFile decoded;
        decoded.Request = MakeDecodeRequest(fileName, g_previewMode);
        decoded.Request.ImageIndex = imageIndex;
        TGraphic& graphic = decoded.Graphic.emplace(*decoded.Request.Class);
        result = 0;
        if (CallHook(decoded.Request.FromRegistry ? nullptr : &graphic, fileName, ifsBeforeLoad)) {
            result = -1;
            DecodeInto(decoded.Request, graphic, &decoded.Stamp);
            decoded.FoundBitDepth = graphic.Picture.FoundBitDepth();
            result = Conclude(decoded, bitmap);
        }
    } catch (...) {
        // Every failure of a reader, including running out of memory, is the load message.
        result = -1;
    }
    return Report(result, fileName, bitmap);
}

} // namespace

TOptionsOE& OptionsOE() {
    static TOptionsOE options;
    return options;
}

void ResetOptionsOE() {
    OptionsOE() = TOptionsOE{};
}

int FileWidth() {
    return OptionsOE().FileWidth;
}
int FileHeight() {
    return OptionsOE().FileHeight;
}
bool AnimatedGif() {
    return OptionsOE().AnimatedGif;
}
QString IccDescription() {
    return OptionsOE().IccDescription;
}

bool PreviewMode() {
    return g_previewMode;
}

void SetImageFileHook(TImageFileHook hook, bool watchesLoads) {
    g_hook = std::move(hook);
    g_hookWatchesLoads = g_hook && watchesLoads;
}

bool ImageFileHookWatchesLoads() {
    return g_hookWatchesLoads;
}

const TGraphicClass& ReaderClassFor(const QString& fileName) {
    return *MakeDecodeRequest(fileName).Class;
}

void ReadGraphic(const TReadInput& input, TGraphic& graphic) {
    if (!graphic.Class().Read)
        throw ETaveluneError(std::string("no reader for ") + graphic.Class().Name);
    graphic.Class().Read(input, graphic);
    // A layer without an image and an unreadable selection shape load as empty pictures.
    if (graphic.Picture.Empty() && !graphic.Is(gcOxi) && !graphic.Is(gcOxs))
        throw ETaveluneError("the reader delivered no picture");
    if (input.ColourManagement)
        ConvertToSrgb(graphic);
    else
        graphic.Cmyk = TCmykSamples{};
}

void DeliverGraphic(TGraphic& graphic, TBitmap& bitmap) {
    if (graphic.Class().DrawnOnKey) DrawOnKey(graphic.Picture);
    bitmap = std::move(graphic.Picture);
    graphic.Picture.Clear();
}

const TGraphicClass* WriterClassFor(const QString& fileName) {
    if (IsBmpName(fileName)) return &gcBitmap;
    if (IsRleName(fileName)) return &gcRleBitmap;
    if (IsJpegName(fileName)) return &gcJpeg;
    if (IsGifName(fileName)) return &gcGif;
    if (IsTgaName(fileName)) return &gcTarga;
    if (IsPngName(fileName)) return &gcPng;
    if (IsTiffName(fileName)) return &gcTiff;
    if (IsWebpName(fileName)) return &gcWebp;
    return nullptr;
}

int LoadImageFile(QString& fileName, TBitmap& bitmap, const QString& initialFolder,
                  int imageIndex) {
    return Load(fileName, bitmap, initialFolder, imageIndex);
}

int FinishImageLoad(TDecodedFile& decoded, TBitmap& bitmap) {
    TOptionsOE& opt = OptionsOE();
    ResetLastLoad(opt);
    const QString& fileName = decoded.Request.FileName;
    int result = -1;
    try {
        // The reader object as it was before the decoding: the decoding is done already.
        TGraphic reader(*decoded.Request.Class);
        result = 0;
        if (CallHook(decoded.Request.FromRegistry ? nullptr : &reader, fileName, ifsBeforeLoad)) {
            result = -1;
            if (decoded.Graphic) result = Conclude(decoded, bitmap);
        }
    } catch (...) {
        result = -1;
    }
    return Report(result, fileName, bitmap);
}

int LoadImagePreview(const QString& fileName, TBitmap& bitmap) {
    struct TPreviewScope {
        TPreviewScope() { g_previewMode = true; }
        ~TPreviewScope() { g_previewMode = false; }
    } scope;
    QString name = fileName;
    return Load(name, bitmap, QString(), 0);
}

QString ChooseSaveFileName(const QString& suggestedName) {
    TSaveNameRequest request;
    request.Filter = BuildSaveFilter();
    request.DefaultExtension = SaveFormats().front().Extensions;
    request.Resizable = OptionsOE().ResizableDialogs;
    if (!suggestedName.isEmpty()) {
        if (QFileInfo(suggestedName).isDir()) {
            request.InitialFolder = suggestedName;
            request.FilterIndex = 1;
        } else {
            const int index = FindSaveFilterIndex(suggestedName);
            QString name = suggestedName;
            if (index < 0) {
                name.chop(FileExtension(name).size());
                request.FilterIndex = 1;
            } else {
                request.FilterIndex = index + 1;
            }
            request.FileName = name;
        }
    }
    const QString chosen = FileUserSeam().ChooseSaveName(request);
    FileUserSeam().ProcessPendingEvents();
    return chosen;
}

int SaveImageFile(QString& fileName, const TBitmap& bitmap, const QString& suggestedName) {
    FileFormats();
    if (fileName.isEmpty()) {
        fileName = ChooseSaveFileName(suggestedName);
        if (fileName.isEmpty()) return 0;
    }
    int result = -1;
    try {
        if (const TGraphicClass* cls = WriterClassFor(fileName); cls && cls->Write) {
            TGraphic graphic(*cls);
            bool go = CallHook(&graphic, fileName, ifsBeforeSave);
            if (go) {
                graphic.Picture = bitmap;
                WriteFileAtomically(fileName, cls->Write(graphic));
                CallHook(&graphic, fileName, ifsAfterSave);
            }
            result = go ? 1 : 0;
        }
    } catch (...) {
        result = -1;
    }
    if (result < 0) ReportSaveFailure(fileName);
    return result;
}

std::vector<uint8_t> EncodeImage(const TGraphicClass& writer, const TBitmap& picture, int quality,
                                 bool progressive) {
    if (!writer.Write) throw ETaveluneError("no writer");
    TGraphic graphic(writer);
    graphic.Quality = quality;
    graphic.Progressive = progressive;
    graphic.Picture = picture;
    return writer.Write(graphic);
}

int SaveEncodedImageFile(const QString& fileName,
                         const std::optional<std::vector<uint8_t>>& bytes) {
    try {
        if (bytes) {
            WriteFileAtomically(fileName, *bytes);
            return 1;
        }
    } catch (...) {
    }
    ReportSaveFailure(fileName);
    return -1;
}

bool WriterRunsAnywhere(const TGraphicClass& writer) {
    // Their state lives in the objects of one encoding; the GIF and Targa writers read the
    // load options, which belong to the user-interface thread.
    static const TGraphicClass* const kAnywhere[] = {&gcJpeg, &gcPng,    &gcWebp,
                                                     &gcTiff, &gcBitmap, &gcRleBitmap};
    return std::find(std::begin(kAnywhere), std::end(kAnywhere), &writer) != std::end(kAnywhere);
}

int BitDepthFound(const QString& fileName, const TBitmap& loaded) {
    if ((IsTiffName(fileName) || IsPngName(fileName)) && OptionsOE().FoundBitDepth > 0)
        return OptionsOE().FoundBitDepth;
    if (loaded.FoundBitDepth() > 0) return loaded.FoundBitDepth();
    switch (loaded.PixelFormat()) {
    case TPixelFormat::pf1bit:
        return 1;
    case TPixelFormat::pf4bit:
        return 4;
    case TPixelFormat::pf8bit:
        return 8;
    case TPixelFormat::pf15bit:
        return 15;
    case TPixelFormat::pf16bit:
        return 16;
    case TPixelFormat::pf32bit:
        return 32;
    default:
        return 24;
    }
}
