// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/RawImage.h"

#include "core/Errors.h"
#include "core/FilterEvent.h"
#include "core/FlipRotate.h"
#include "formats/DateDisplay.h"
#include "formats/Exif.h"
#include "formats/FileData.h"
#include "formats/Graphic.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"
#include "formats/ProgramFolders.h"
#include "plugins/RawPluginApi.h"

#include <QBuffer>
#include <QDir>
#include <QLibrary>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

[[noreturn]] void DecodingError(int code) {
    throw ETaveluneError("Error in decoding RAW image. Error code = " + std::to_string(code));
}

// ---- The library ----

class TRawLibrary {
public:
    bool Load() {
        if (m_tried) return Loaded();
        m_tried = true;
        for (const QString& folder : Folders()) {
            if (folder.isEmpty()) continue;
            m_library.setFileName(QDir(folder).filePath(QStringLiteral("tavelune_raw")));
            if (!m_library.load()) continue;
            Info = reinterpret_cast<TRawInfoEntry>(m_library.resolve("RawInfo"));
            Decode = reinterpret_cast<TFromRawToPsdEntry>(m_library.resolve("FromRawToPSD"));
            Thumbnail =
                reinterpret_cast<TExtractThumbnailEntry>(m_library.resolve("ExtractThumbnail"));
            // Older builds lack it.
            Orientation =
                reinterpret_cast<TRawOrientationEntry>(m_library.resolve("RawOrientation"));
            if (Loaded()) return true;
            Forget();
        }
        return false;
    }
    bool Loaded() const { return Info && Decode && Thumbnail; }

    QStringList Folders() const {
        if (!m_folders.isEmpty()) return m_folders;
        return ProgramLibraryFolders();
    }
    void SetFolders(const QStringList& folders) {
        Forget();
        m_folders = folders;
        m_tried = false;
    }

    TRawInfoEntry Info = nullptr;
    TFromRawToPsdEntry Decode = nullptr;
    TExtractThumbnailEntry Thumbnail = nullptr;
    TRawOrientationEntry Orientation = nullptr;

private:
    void Forget() {
        Info = nullptr;
        Decode = nullptr;
        Thumbnail = nullptr;
        Orientation = nullptr;
        if (m_library.isLoaded()) m_library.unload();
    }

    QLibrary m_library;
    QStringList m_folders;
    bool m_tried = false;
};

TRawLibrary& Library() {
    static TRawLibrary library;
    return library;
}

TRawLibrary& LoadedLibrary() {
    TRawLibrary& library = Library();
    if (!library.Load()) throw ETaveluneError("DLL not loaded");
    return library;
}

// ---- The files the library reads and writes, over the bytes in memory ----

// The RAW file's bytes for reading, and the one output file the call may write.
class THostFiles {
public:
    // At most outputLimit bytes are written to output.
    THostFiles(TBytes input, const QString& inputName, QIODevice* output = nullptr,
               const QString& outputName = {}, int64_t outputLimit = 0)
        : m_input(input), m_inputName(inputName.toStdString()), m_output(output),
          m_outputName(outputName.toStdString()), m_outputLimit(outputLimit) {
        m_callbacks.Context = this;
        m_callbacks.Open = Open;
        m_callbacks.Close = Close;
        m_callbacks.Read = Read;
        m_callbacks.Write = Write;
        m_callbacks.Seek = Seek;
        m_callbacks.Tell = Tell;
        m_callbacks.Eof = Eof;
        m_callbacks.Gets = Gets;
        m_callbacks.Getc = Getc;
        m_callbacks.Puts = Puts;
        m_callbacks.Putc = Putc;
    }
    THostFiles(const THostFiles&) = delete;
    THostFiles& operator=(const THostFiles&) = delete;

    const TRawFileCallbacks* Callbacks() const { return &m_callbacks; }
    const char* InputName() const { return m_inputName.c_str(); }
    const char* OutputName() const { return m_outputName.c_str(); }
    // The slot where the library keeps the file it opened.
    void** Slot() { return &m_slot; }

private:
    struct THandle {
        bool Output = false;
        int64_t Pos = 0;
    };

    static THostFiles& Self(void* context) { return *static_cast<THostFiles*>(context); }
    static THandle* Handle(void* file) { return static_cast<THandle*>(file); }

    int64_t Size() const { return int64_t(m_input.size()); }

    static void* Open(void* context, const char* name, const char* mode) {
        THostFiles& self = Self(context);
        if (!name || !mode) return nullptr;
        const bool write = std::strchr(mode, 'w') != nullptr;
        if (write ? (!self.m_output || self.m_outputName != name) : self.m_inputName != name)
            return nullptr;
        self.m_handles.push_back(std::make_unique<THandle>(THandle{write, 0}));
        return self.m_handles.back().get();
    }
    static int Close(void* context, void* file) {
        auto& handles = Self(context).m_handles;
        const auto it = std::find_if(handles.begin(), handles.end(),
                                     [file](const auto& h) { return h.get() == file; });
        if (it == handles.end()) return EOF;
        handles.erase(it);
        return 0;
    }
    static size_t Read(void* context, void* file, void* buffer, size_t size, size_t count) {
        THostFiles& self = Self(context);
        THandle* h = Handle(file);
        if (!h || h->Output || size == 0 || count == 0 || h->Pos >= self.Size()) return 0;
        const size_t left = size_t(self.Size() - h->Pos);
        const size_t items = std::min(count, left / size);
        std::memcpy(buffer, self.m_input.data() + h->Pos, items * size);
        h->Pos += int64_t(items * size);
        return items;
    }
    static size_t Write(void* context, void* file, const void* buffer, size_t size, size_t count) {
        THostFiles& self = Self(context);
        THandle* h = Handle(file);
        if (!h || !h->Output || size == 0 || count > size_t(INT64_MAX) / size) return 0;
        if (int64_t(size * count) > self.m_outputLimit - self.m_output->pos()) return 0;
        const qint64 written =
            self.m_output->write(static_cast<const char*>(buffer), qint64(size * count));
        return written < 0 ? 0 : size_t(written) / size;
    }
    static int Seek(void* context, void* file, int64_t offset, int whence) {
        THostFiles& self = Self(context);
        THandle* h = Handle(file);
        if (!h || h->Output) return -1;
        int64_t base = 0;
        if (whence == SEEK_CUR)
            base = h->Pos;
        else if (whence == SEEK_END)
            base = self.Size();
        else if (whence != SEEK_SET)
            return -1;
        if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
        h->Pos = base + offset;
        return 0;
    }
    static int64_t Tell(void*, void* file) {
        THandle* h = Handle(file);
        return h ? h->Pos : -1;
    }
    static int Eof(void* context, void* file) {
        THandle* h = Handle(file);
        return !h || h->Pos >= Self(context).Size();
    }
    static int Getc(void* context, void* file) {
        THostFiles& self = Self(context);
        THandle* h = Handle(file);
        if (!h || h->Output || h->Pos >= self.Size()) return EOF;
        return self.m_input[size_t(h->Pos++)];
    }
    static char* Gets(void* context, void* file, char* line, int size) {
        if (!line || size <= 0) return nullptr;
        int n = 0;
        while (n < size - 1) {
            const int c = Getc(context, file);
            if (c == EOF) break;
            line[n++] = char(c);
            if (c == '\n') break;
        }
        line[n] = '\0';
        return n > 0 ? line : nullptr;
    }
    static int Puts(void* context, void* file, const char* text) {
        const size_t n = text ? std::strlen(text) : 0;
        return Write(context, file, text, 1, n) == n ? 0 : EOF;
    }
    static int Putc(void* context, void* file, int c) {
        const char ch = char(c);
        return Write(context, file, &ch, 1, 1) == 1 ? (c & 0xFF) : EOF;
    }

    TBytes m_input;
    std::string m_inputName;
    QIODevice* m_output;
    std::string m_outputName;
    int64_t m_outputLimit;
    TRawFileCallbacks m_callbacks{};
    std::vector<std::unique_ptr<THandle>> m_handles;
    void* m_slot = nullptr;
};

void ReportProgress(int32_t stage, int32_t total, int32_t done) {
    TFilterGraphicProgress& progress = GraphicProgress();
    if (stage == 0)
        progress.Progress(TFilterGraphicProgress::psStarting, 0, 100);
    else if (stage == 2)
        progress.Progress(TFilterGraphicProgress::psEnding, 100);
    else if (total > 0)
        progress.Progress(TFilterGraphicProgress::psRunning,
                          int(std::clamp<int64_t>(int64_t(done) * 100 / total, 0, 100)));
}

struct TRawTexts {
    char Maker[kRawMakerSize] = {};
    char Model[kRawModelSize] = {};
    char Date[kRawDateSize] = {};
};

void CheckResult(int32_t result, int32_t abortFlag) {
    if (abortFlag != 0) DecodingError(-1);
    if (result != 0) DecodingError(result);
}

// The thumbnail as the library wrote it, of kRawThumbJpeg, kRawThumbPpm or kRawThumbTiff.
struct TRawPreview {
    QByteArray Bytes;
    int32_t Kind = kRawThumbNone;
    TBytes Data() const {
        return {reinterpret_cast<const uint8_t*>(Bytes.constData()), size_t(Bytes.size())};
    }
};

// Has the library write the thumbnail to the sink, opened under sinkName; returns its kind. Its
// bytes come from the file, and a grey layer written as red, green and blue at most triples them.
int32_t WriteThumbnailTo(TBytes data, const QString& fileName, QIODevice& sink,
                         const QString& sinkName) {
    TRawLibrary& library = LoadedLibrary();
    THostFiles files(data, fileName, &sink, sinkName, 3 * int64_t(data.size()) + 4096);
    TRawNumbers numbers{};
    TRawOptions options{};
    options.Thumbnail = 1;
    TRawTexts texts;
    int32_t abortFlag = 0;
    const int32_t result = library.Decode(files.Callbacks(), files.Slot(), &numbers, nullptr,
                                          files.InputName(), files.OutputName(), &options, nullptr,
                                          0, 0, texts.Maker, texts.Model, texts.Date, &abortFlag);
    CheckResult(result, abortFlag);
    return options.ThumbnailKind;
}

// The thumbnail kept in memory: a stand-in leaves no file behind, whatever happens.
TRawPreview ExtractPreview(TBytes data, const QString& fileName) {
    QBuffer sink;
    if (!sink.open(QIODevice::WriteOnly)) throw ETaveluneError("RAW: no room for the thumbnail");
    const int32_t kind = WriteThumbnailTo(data, fileName, sink, QStringLiteral("thumbnail"));
    return {sink.data(), kind};
}

// Reads the thumbnail the library wrote, by its kind; reduced to a preview's size if asked.
TBitmap ReadThumbnailFile(const TRawPreview& thumbnail, const QString& name, bool preview) {
    const int32_t kind = thumbnail.Kind;
    const TGraphicClass* cls = kind == kRawThumbJpeg   ? &gcJpeg
                               : kind == kRawThumbPpm  ? &gcPortableMap
                               : kind == kRawThumbTiff ? &gcTiff
                                                       : nullptr;
    if (!cls) throw ETaveluneError("RAW: unknown thumbnail kind");
    TGraphic graphic(*cls);
    ReadGraphic({name, thumbnail.Data(), preview}, graphic);
    graphic.Picture.To24Bit();
    return std::move(graphic.Picture);
}

// ---- The embedded preview standing in while the picture decodes ----

// The turn a full decode gives the stored picture; none when the library cannot tell.
std::optional<int> DecodedTurn(TBytes data, const QString& fileName) {
    TRawLibrary& library = LoadedLibrary();
    if (!library.Orientation) return std::nullopt;
    THostFiles files(data, fileName);
    int32_t flip = 0, abortFlag = 0;
    const int32_t result =
        library.Orientation(files.Callbacks(), files.Slot(), files.InputName(), &flip, &abortFlag);
    if (result != 0 || abortFlag != 0 || flip < 0 || flip > 7) return std::nullopt;
    return int(flip);
}

QSize Turned(QSize size, int flip) {
    return flip & 4 ? size.transposed() : size;
}

// Turns the stored picture as the full decode does (the library's flip bits).
void TurnAsDecoded(TBitmap& picture, int flip) {
    if (flip & 4) {
        Rotate90(picture, flip != 5);
        if (flip == 4) FlipHorizontal(picture);
        if (flip == 7) FlipVertical(picture);
    } else if (flip == 3) {
        Rotate180(picture);
    } else if (flip == 2) {
        FlipVertical(picture);
    } else if (flip == 1) {
        FlipHorizontal(picture);
    }
}

// A preview of this size (turned) stands in at the reduction: in the picture's proportions, at
// least a reduction'th of each side and never larger than the picture.
bool Covers(QSize preview, QSize full, int reduction) {
    const int64_t w = preview.width(), h = preview.height();
    return w > 0 && h > 0 && w <= full.width() && h <= full.height() &&
           w * reduction >= full.width() && h * reduction >= full.height() &&
           InProportion(w, h, full.width(), full.height());
}

// The preview and its size turned, known before its pixels are decoded when it is a JPEG.
struct TStandIn {
    TRawPreview File;
    int Flip = 0;
    QSize Size;
    TBitmap Picture; // unturned; decoded already when not a JPEG
};

std::optional<TStandIn> FindStandIn(TBytes data, const QString& fileName) {
    const std::optional<int> flip = DecodedTurn(data, fileName);
    if (!flip) return std::nullopt; // a preview turned by guess could show the wrong way
    TStandIn standIn{ExtractPreview(data, fileName), *flip, {}, {}};
    if (standIn.File.Kind == kRawThumbJpeg) {
        const TJpegSize stored = JpegStoredSize(standIn.File.Data());
        standIn.Size = QSize(stored.Width, stored.Height);
    } else {
        standIn.Picture = ReadThumbnailFile(standIn.File, fileName, false);
        standIn.Size = QSize(standIn.Picture.Width(), standIn.Picture.Height());
    }
    standIn.Size = Turned(standIn.Size, *flip);
    return standIn;
}

// The largest of libjpeg's scales whose picture still covers the reduction.
int JpegScaleFor(QSize stored, QSize full, int reduction) {
    for (const int d : {8, 4, 2}) {
        const int64_t w = (stored.width() + d - 1) / d, h = (stored.height() + d - 1) / d;
        if (w * reduction >= full.width() && h * reduction >= full.height()) return d;
    }
    return 1;
}

// The preview turned as the full decode delivers the picture, at least a reduction'th of it.
TBitmap StandInPicture(TBytes data, const QString& fileName, QSize full, int reduction) {
    std::optional<TStandIn> standIn = FindStandIn(data, fileName);
    if (!standIn || !Covers(standIn->Size, full, reduction))
        throw ETaveluneError("RAW: no preview to stand in");
    TBitmap picture = std::move(standIn->Picture);
    if (standIn->File.Kind == kRawThumbJpeg) {
        bool damaged = false;
        picture = DecodeJpeg(standIn->File.Data(), JpegScaleFor(standIn->Size, full, reduction),
                             nullptr, nullptr, &damaged);
        if (damaged) throw ETaveluneError("RAW: damaged preview");
    }
    TurnAsDecoded(picture, standIn->Flip);
    if (!Covers(QSize(picture.Width(), picture.Height()), full, reduction))
        throw ETaveluneError("RAW: preview of another size than its header's");
    return picture;
}

void ReadRaw(const TReadInput& input, TGraphic& graphic) {
    const TRawFileInfo info = ReadRawInfo(input.Bytes, input.FileName);
    graphic.FileWidth = info.Width;
    graphic.FileHeight = info.Height;
    if (input.Preview) {
        try {
            graphic.Picture = RawThumbnail(input.Bytes, input.FileName);
            if (!graphic.Picture.Empty()) return;
        } catch (const std::exception&) {
            // No usable thumbnail: decode the whole picture instead.
        }
    }
    if (input.Reduction > 1) {
        // The full decode runs apart: a reduced read gives the preview or nothing.
        graphic.Picture =
            StandInPicture(input.Bytes, input.FileName, {info.Width, info.Height}, input.Reduction);
        return;
    }
    if (info.Height <= kMaxRawHeight) {
        graphic.Picture = DecodeRaw(input.Bytes, input.FileName, info.Width, info.Height);
        return;
    }
    const TRawFileInfo half = ReadRawInfo(input.Bytes, input.FileName, true);
    graphic.Picture = DecodeRaw(input.Bytes, input.FileName, half.Width, half.Height, true);
}

// The stored size, and the smallest reduction the embedded preview covers.
TReducedDecoding ProbeRaw(std::span<const uint8_t> bytes) {
    const QString name = QStringLiteral("probed");
    const TRawFileInfo info = ReadRawInfo(bytes, name);
    TReducedDecoding probe{info.Width, info.Height};
    try {
        const std::optional<TStandIn> standIn = FindStandIn(bytes, name);
        for (const int r : {2, 4, 8})
            if (standIn && Covers(standIn->Size, {info.Width, info.Height}, r)) {
                probe.Smallest = r;
                break;
            }
    } catch (const std::exception&) {
        // No usable preview: the full decode only.
    }
    return probe;
}

const bool g_rawTextInstalled = (InstallRawInfoText(), true);

} // namespace

const TGraphicClass gcRaw{"TRawImage", ReadRaw, nullptr, false, nullptr, false, nullptr, ProbeRaw};

QStringList RawLibraryFolders() {
    return Library().Folders();
}

void SetRawLibraryFolders(const QStringList& folders) {
    Library().SetFolders(folders);
}

bool RawLibraryLoaded() {
    (void)g_rawTextInstalled;
    return Library().Load();
}

TRawFileInfo ReadRawInfo(TBytes data, const QString& fileName, bool halfSize) {
    TRawLibrary& library = LoadedLibrary();
    THostFiles files(data, fileName);
    TRawNumbers numbers{};
    TRawTexts texts;
    int32_t width = 0, height = 0, abortFlag = 0;
    const int32_t result =
        library.Info(files.Callbacks(), files.Slot(), &numbers, files.InputName(), halfSize ? 1 : 0,
                     &width, &height, texts.Maker, texts.Model, texts.Date, &abortFlag);
    CheckResult(result, abortFlag);
    TRawFileInfo info;
    info.Width = width;
    info.Height = height;
    info.Maker = QString::fromLocal8Bit(texts.Maker);
    info.Model = QString::fromLocal8Bit(texts.Model);
    info.Date = QString::fromLatin1(texts.Date);
    info.IsoSpeed = numbers.IsoSpeed;
    info.ExposureTime = numbers.ExposureTime;
    info.Aperture = numbers.Aperture;
    info.FocalLength = numbers.FocalLength;
    return info;
}

TBitmap DecodeRaw(TBytes data, const QString& fileName, int width, int height, bool halfSize) {
    TRawLibrary& library = LoadedLibrary();
    if (width <= 0 || height <= 0) throw ETaveluneError("RAW: empty picture");
    if (height > kMaxRawHeight) throw ETaveluneError("RAW: picture too tall to decode");
    CheckImageSize(width, height);
    TBitmap picture;
    NewImage(picture, width, height, 0);
    std::vector<uint8_t*> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[size_t(y)] = picture.ScanLine(y);

    THostFiles files(data, fileName);
    TRawNumbers numbers{};
    TRawOptions options{};
    options.HalfSize = halfSize ? 1 : 0;
    TRawTexts texts;
    int32_t abortFlag = 0;
    const int32_t result = library.Decode(files.Callbacks(), files.Slot(), &numbers, ReportProgress,
                                          files.InputName(), "", &options, rows.data(), width,
                                          height, texts.Maker, texts.Model, texts.Date, &abortFlag);
    CheckResult(result, abortFlag);
    return picture;
}

TBitmap RawThumbnail(TBytes data, const QString& fileName) {
    QTemporaryFile file(
        QDir(QDir::tempPath()).filePath(QStringLiteral("raw_thumb_tmp_XXXXXX.tmp")));
    if (!file.open()) throw ETaveluneError("RAW: no temporary file for the thumbnail");
    const int32_t kind = WriteThumbnailTo(data, fileName, file, file.fileName());
    if (!file.flush() || !file.seek(0)) throw ETaveluneError("RAW: thumbnail not written");
    return ReadThumbnailFile({file.readAll(), kind}, file.fileName(), true);
}

void InstallRawInfoText() {
    SetRawInfoTextProvider(RawInfoText);
}

QString RawInfoText(const QString& fileName) {
    try {
        if (!Library().Load()) return {};
        const QByteArray bytes = ReadWholeFile(fileName);
        const TRawFileInfo info = ReadRawInfo(
            {reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())}, fileName);
        QStringList lines{info.Maker, info.Model};
        if (!info.Date.isEmpty()) lines << FormatDisplayDate(ExifDateTime(info.Date));
        return JoinInfoLines(lines);
    } catch (const std::exception&) {
        return {};
    }
}
