// SPDX-License-Identifier: GPL-2.0-or-later
#include "FullDisk.h"
#include "TestFiles.h"
#include "TestImages.h"
#include "TestPrinters.h"
#include "core/ColorAdjust.h"
#include "core/FlipRotate.h"
#include "core/StretchEx.h"
#include "formats/BmpCodec.h"
#include "formats/FormatRegistry.h"
#include "formats/FormatTestUtil.h"
#include "formats/ImageFiles.h"
#include "formats/JpegUtils.h"
#include "formats/PngUtils.h"
#include "tools/ConvertCommand.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Write(const QString& path, const std::vector<uint8_t>& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

bool SamePixels(TBitmap a, TBitmap b) {
    a.To24Bit();
    b.To24Bit();
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (!(PixelAt(a, x, y) == PixelAt(b, x, y))) return false;
    return true;
}

// A JPEG with an EXIF block whose Orientation is the given value (little-endian TIFF).
std::vector<uint8_t> JpegWithOrientation(const TBitmap& picture, uint8_t orientation) {
    std::vector<uint8_t> jpeg = EncodeJpeg(picture, 95, false);
    const std::vector<uint8_t> tiff = {'I',         'I',  42, 0, 8, 0, 0, 0, // header
                                       1,           0,                       // one entry
                                       0x12,        0x01, 3,  0, 1, 0, 0, 0,
                                       orientation, 0,    0,  0, 0, 0, 0, 0}; // no next IFD
    std::vector<uint8_t> app1 = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    app1.insert(app1.end(), tiff.begin(), tiff.end());
    const size_t length = app1.size() - 2;
    app1[2] = uint8_t(length >> 8);
    app1[3] = uint8_t(length);
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    return jpeg;
}

// A JPEG tagged with the profile of that file, in one APP2 segment; empty when it is missing.
std::vector<uint8_t> JpegWithProfile(const TBitmap& picture, const QString& profilePath) {
    QFile f(profilePath);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray profile = f.readAll();
    std::vector<uint8_t> jpeg = EncodeJpeg(picture, 100, false);
    const size_t length = 2 + 12 + 2 + size_t(profile.size());
    QByteArray app2("\xFF\xE2", 2);
    app2 += char(length >> 8);
    app2 += char(length);
    app2 += QByteArray("ICC_PROFILE\0\x01\x01", 14);
    app2 += profile;
    jpeg.insert(jpeg.begin() + 2, app2.begin(), app2.end());
    return jpeg;
}

struct RunResult {
    int status;
    QString out, err;
};

class Convert : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    RunResult Run(const QStringList& args) {
        QString error;
        const std::optional<TConvertOptions> o = ParseConvertArguments(args, error);
        if (!o) return {-1, {}, error};
        QString out, err;
        QTextStream os(&out), es(&err);
        const int status = RunConvert(*o, os, es);
        return {status, out, err};
    }
    TBitmap Load(const QString& path) {
        QString name = path;
        TBitmap bmp;
        EXPECT_EQ(LoadImageFile(name, bmp), 1) << path.toStdString();
        return bmp;
    }
    QTemporaryDir dir;
};

TEST_F(Convert, TransformsInTheViewersOrder) {
    const TBitmap source = RandomImage(6, 4, 3);
    Write(Path("in.png"), EncodePng(source));
    const RunResult r = Run({Path("in.png"), "--rotate", "90", "--flip", "h", "--tint", "3",
                             "--resize", "8x12", "-o", Path("out.bmp")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    TBitmap expected = source;
    ApplyDisplayAdjustments(expected, 3, 0, false);
    FlipHorizontal(expected);
    Rotate90(expected, true);
    ResizeImage(8, 12, false, expected);
    EXPECT_TRUE(SamePixels(Load(Path("out.bmp")), expected));
}

TEST_F(Convert, JpegQualityAndProgression) {
    const TBitmap source = RandomImage(48, 48, 4);
    Write(Path("in.png"), EncodePng(source));
    ASSERT_EQ(Run({Path("in.png"), "--quality", "5", "-o", Path("low.jpg")}).status, 0);
    ASSERT_EQ(
        Run({Path("in.png"), "--quality", "100", "--progressive", "-o", Path("hi.jpg")}).status, 0);
    EXPECT_LT(QFileInfo(Path("low.jpg")).size() * 3, QFileInfo(Path("hi.jpg")).size());
    QFile f(Path("hi.jpg"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("\xFF\xC2"));
}

TEST_F(Convert, FolderOutputWithAFormat) {
    QDir(dir.path()).mkdir("out");
    Write(Path("a.png"), EncodePng(RandomImage(3, 3, 1)));
    Write(Path("b.png"), EncodePng(RandomImage(4, 2, 2)));
    const RunResult r = Run({Path("a.png"), Path("b.png"), "--format", "tga", "-o", Path("out")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(SamePixels(Load(Path("out/a.tga")), RandomImage(3, 3, 1)));
    EXPECT_TRUE(SamePixels(Load(Path("out/b.tga")), RandomImage(4, 2, 2)));
}

TEST_F(Convert, ExifTurnFollowsTheOrientation) {
    const TBitmap source =
        MakeImage(32, 16, [](int x, int y) { return Rgb(uint8_t(x * 8), uint8_t(y * 16), 90); });
    Write(Path("six.jpg"), JpegWithOrientation(source, 6));
    ASSERT_EQ(Run({Path("six.jpg"), "--exif-turn", "-o", Path("turned.png")}).status, 0);
    ASSERT_EQ(Run({Path("six.jpg"), "-o", Path("plain.png")}).status, 0);
    const TBitmap turned = Load(Path("turned.png"));
    TBitmap plain = Load(Path("plain.png"));
    EXPECT_EQ(turned.Width(), source.Height());
    Rotate90(plain, true);
    EXPECT_TRUE(SamePixels(turned, plain));
}

TEST_F(Convert, InfoLines) {
    Write(Path("a.png"), EncodePng(RandomImage(7, 5, 1)));
    Write(Path("b.jpg"), JpegWithOrientation(RandomImage(9, 3, 1), 1));
    const RunResult r = Run({"--info", Path("a.png"), Path("b.jpg")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, Path("a.png") + "\t7x5\t24\t\n" + Path("b.jpg") + "\t9x3\t24\t\n");
}

// A profile that swaps red and green: stored red means green.
TEST_F(Convert, ColourManagementByDefaultAndItsSwitch) {
    const std::vector<uint8_t> tagged =
        JpegWithProfile(UniformImage(8, 8, Rgb(255, 0, 0)),
                        QStringLiteral("/usr/share/color/icc/colord/SwappedRedAndGreen.icc"));
    if (tagged.empty()) GTEST_SKIP() << "colord-data is not installed";
    Write(Path("swapped.jpg"), tagged);
    ASSERT_EQ(Run({Path("swapped.jpg"), "-o", Path("managed.png")}).status, 0);
    ASSERT_EQ(Run({Path("swapped.jpg"), "--no-colour-management", "-o", Path("stored.png")}).status,
              0);
    EXPECT_TRUE(OptionsOE().ColourManagement) << "the switch holds for its run only";
    const TTriple managed = PixelAt(Load(Path("managed.png")), 4, 4);
    const TTriple stored = PixelAt(Load(Path("stored.png")), 4, 4);
    EXPECT_TRUE(managed.g > 250 && managed.r < 5) << int(managed.r) << "," << int(managed.g);
    EXPECT_TRUE(stored.r > 250 && stored.g < 5) << int(stored.r) << "," << int(stored.g);

    const RunResult info = Run({"--info", Path("swapped.jpg"), Path("managed.png")});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    EXPECT_EQ(info.out, Path("swapped.jpg") + "\t8x8\t24\t\ticc=Swapped Red and Green\n" +
                            Path("managed.png") + "\t8x8\t24\t\n");
}

// Three 6 x 4 pictures, as PNG files and as an animated GIF and a three-page TIFF made by
// ImageMagick from them.
class ConvertPages : public Convert {
protected:
    void SetUp() override {
        Convert::SetUp();
        REQUIRE_TOOL("convert");
        QStringList pngs;
        for (int i = 0; i < 3; ++i) {
            // Few colours, so that the GIF keeps them exactly.
            pictures.push_back(MakeImage(6, 4, [i](int x, int y) {
                return (x + y + i) % 3 == 0 ? Rgb(255, 0, 0) : Rgb(0, uint8_t(80 * i), 255);
            }));
            pngs << Path(QStringLiteral("p%1.png").arg(i));
            Write(pngs.back(), EncodePng(pictures.back()));
        }
        bool ok = false;
        RunTool("convert", QStringList{"-delay", "20"} << pngs << Path("anim.gif"), &ok);
        ASSERT_TRUE(ok);
        RunTool("convert", QStringList(pngs) << Path("pages.tif"), &ok);
        ASSERT_TRUE(ok);
    }
    std::vector<TBitmap> pictures;
};

TEST_F(ConvertPages, InfoCountsFramesAndPages) {
    const RunResult r = Run({"--info", Path("anim.gif"), Path("pages.tif"), Path("p0.png")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n');
    ASSERT_EQ(lines.size(), 4);
    // The GIF's depth is its palette's, whatever ImageMagick chose.
    EXPECT_TRUE(lines[0].startsWith(Path("anim.gif") + "\t6x4\t")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("\t\tframes=3")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], Path("pages.tif") + "\t6x4\t24\t\tpages=3");
    EXPECT_EQ(lines[2], Path("p0.png") + "\t6x4\t24\t");
}

TEST_F(ConvertPages, PagePicksTheFrameOrPage) {
    for (int page = 1; page <= 3; ++page) {
        const QString n = QString::number(page);
        ASSERT_EQ(Run({Path("pages.tif"), "--page", n, "-o", Path("t" + n + ".bmp")}).status, 0);
        EXPECT_TRUE(SamePixels(Load(Path("t" + n + ".bmp")), pictures[size_t(page - 1)])) << page;
        ASSERT_EQ(Run({Path("anim.gif"), "--page", n, "-o", Path("g" + n + ".bmp")}).status, 0);
        EXPECT_TRUE(SamePixels(Load(Path("g" + n + ".bmp")), pictures[size_t(page - 1)])) << page;
    }
    // Past the last one: the load message and status 1.
    TScriptedSeam seam;
    EXPECT_EQ(Run({Path("anim.gif"), "--page", "4", "-o", Path("none.bmp")}).status, 1);
    EXPECT_EQ(seam.Messages.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(Path("none.bmp")));
}

TEST_F(Convert, WebpOutputLosslessAtBestQuality) {
    const TBitmap source = RandomImage(24, 16, 8);
    Write(Path("in.png"), EncodePng(source));
    ASSERT_EQ(Run({Path("in.png"), "--quality", "100", "-o", Path("best.webp")}).status, 0);
    ASSERT_EQ(Run({Path("in.png"), "--quality", "30", "-o", Path("small.webp")}).status, 0);
    EXPECT_TRUE(SamePixels(Load(Path("best.webp")), source));
    EXPECT_FALSE(SamePixels(Load(Path("small.webp")), source));
    EXPECT_LT(QFileInfo(Path("small.webp")).size(), QFileInfo(Path("best.webp")).size());
}

TEST_F(Convert, FailuresGiveStatusOneAndKeepGoing) {
    Write(Path("good.png"), EncodePng(RandomImage(3, 3, 1)));
    Write(Path("bad.png"), {1, 2, 3});
    QDir(dir.path()).mkdir("out");
    const RunResult r =
        Run({Path("bad.png"), Path("good.png"), "--format", "bmp", "-o", Path("out")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(QFileInfo::exists(Path("out/good.bmp")));
    EXPECT_FALSE(QFileInfo::exists(Path("out/bad.bmp")));
    // Two inputs of one name would write one output twice: the second is refused.
    QDir(dir.path()).mkdir("sub");
    Write(Path("sub/good.png"), EncodePng(RandomImage(2, 2, 9)));
    const RunResult twice =
        Run({Path("good.png"), Path("sub/good.png"), "--format", "png", "-o", Path("out")});
    EXPECT_EQ(twice.status, 1);
    EXPECT_TRUE(SamePixels(Load(Path("out/good.png")), RandomImage(3, 3, 1)));
}

struct BadArgs {
    QStringList args;
    const char* message;
};
class ConvertArguments : public ::testing::TestWithParam<BadArgs> {};
TEST_P(ConvertArguments, Rejected) {
    QString error;
    EXPECT_FALSE(ParseConvertArguments(GetParam().args, error));
    EXPECT_EQ(error, QString::fromUtf8(GetParam().message));
}
INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertArguments,
    ::testing::Values(
        BadArgs{{"a.png"}, "no output (-o)"}, BadArgs{{"-o", "x.png"}, "no input"},
        BadArgs{{"a.png", "b.png", "-o", "/tmp"}, "an output folder needs --format"},
        BadArgs{{"a.png", "--format", "oxi", "-o", "d"}, "no writer for the type \"oxi\""},
        BadArgs{{"a.png", "--rotate", "45", "-o", "x.png"}, "--rotate takes 90, 180 or 270"},
        BadArgs{{"a.png", "--flip", "x", "-o", "x.png"}, "--flip takes h or v"},
        BadArgs{{"a.png", "--tint", "9", "-o", "x.png"}, "--tint takes 0..8"},
        BadArgs{{"a.png", "--quality", "0", "-o", "x.png"}, "--quality takes 1..100"},
        BadArgs{{"a.png", "--resize", "100000x100000", "-o", "x.png"},
                "--resize takes WxH, both above 0"},
        BadArgs{{"a.png", "--bogus", "-o", "x.png"}, "unknown option --bogus"},
        BadArgs{{"--info", "a.png", "-o", "x.png"}, "--info writes nothing: no -o"},
        BadArgs{{"a.png", "--quality"}, "--quality needs a value"},
        BadArgs{{"a.png", "-j", "0", "-o", "x.png"}, "-j takes 1..1024"},
        BadArgs{{"a.png", "-jx", "-o", "x.png"}, "-j takes 1..1024"},
        BadArgs{{"a.png", "-o", "x.png", "--jobs"}, "--jobs needs a value"},
        BadArgs{{"a.png", "--page", "0", "-o", "x.png"}, "--page takes a number from 1"}));

TEST_F(Convert, TheProgramPrintsTheViewersMessage) {
    Write(Path("bad.png"), {1, 2, 3});
    QProcess p;
    p.start(TAVELUNE_CONVERT, {Path("bad.png"), "-o", Path("x.bmp")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(QString::fromLocal8Bit(p.readAllStandardError()).trimmed(),
              QStringLiteral("Unable to load image in file \"%1\" !").arg(Path("bad.png")));
    Write(Path("good.png"), EncodePng(RandomImage(3, 3, 1)));
    p.start(TAVELUNE_CONVERT, {Path("good.png"), "-o", Path("x.gif")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(Path("x.gif")));
}

// Several inputs converted at once write what a serial run writes, byte for byte, and report
// the same failures in the same order.
TEST_F(Convert, SeveralThreadsGiveWhatOneGives) {
    QStringList inputs;
    for (int i = 0; i < 9; ++i) {
        const QString name = Path(QString("in%1.%2").arg(i).arg(i % 3 == 0 ? "jpg" : "png"));
        const TBitmap picture = RandomImage(40 + 7 * i, 30 + 3 * i, uint32_t(i + 1));
        Write(name, i % 3 == 0 ? JpegWithOrientation(picture, uint8_t(i % 2 ? 6 : 8))
                               : EncodePng(picture));
        inputs << name;
    }
    Write(Path("in9.png"), {1, 2, 3}); // broken
    inputs.insert(4, Path("in9.png"));
    QDir(dir.path()).mkpath("sub");
    Write(Path("sub/in2.png"), EncodePng(RandomImage(5, 5, 5))); // same output name as in2
    inputs.insert(7, Path("sub/in2.png"));
    struct TRun {
        int status;
        QString err;
    };
    const auto run = [&](const QString& jobs) {
        const QString out = Path("out" + jobs);
        QDir(dir.path()).mkpath("out" + jobs);
        QProcess p;
        p.start(TAVELUNE_CONVERT, QStringList(inputs) << "--exif-turn"
                                                      << "--tint"
                                                      << "4"
                                                      << "--format"
                                                      << "jpg"
                                                      << "-j" << jobs << "-o" << out);
        EXPECT_TRUE(p.waitForFinished(120000));
        return TRun{p.exitCode(),
                    QString::fromLocal8Bit(p.readAllStandardError()).replace(out, "OUT")};
    };
    const TRun serial = run("1");
    const TRun parallel = run("3");
    EXPECT_EQ(serial.status, 1);
    EXPECT_EQ(parallel.status, serial.status);
    EXPECT_EQ(parallel.err, serial.err);
    EXPECT_TRUE(serial.err.contains("in9.png")) << serial.err.toStdString();
    const QStringList written = QDir(Path("out1")).entryList(QDir::Files);
    EXPECT_EQ(written.size(), 9);
    EXPECT_EQ(QDir(Path("out3")).entryList(QDir::Files), written);
    for (const QString& name : written) {
        QFile a(Path("out1/" + name)), b(Path("out3/" + name));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_TRUE(a.readAll() == b.readAll()) << name.toStdString();
    }
}

// Every output type, written on one thread and on three, holds what the viewer's own save
// writes with the same quality given at the before-saving stage.
TEST_F(Convert, EachOutputTypeAsTheViewerSavesIt) {
    const QStringList formats = {"bmp", "gif", "jpg", "png", "rle", "tga", "tif", "webp"};
    QStringList inputs;
    for (int i = 0; i < 4; ++i) {
        inputs << Path(QString("in%1.png").arg(i));
        Write(inputs.back(), EncodePng(RandomImage(17 + 5 * i, 9 + 3 * i, uint32_t(i + 7))));
    }
    QHash<QString, QByteArray> viewer; // by output name
    SetImageFileHook([](TGraphic* graphic, const QString&, TImageFileStage stage, bool&) {
        if (stage == ifsBeforeSave && graphic) graphic->Quality = 70;
    });
    for (const QString& format : formats)
        for (int i = 0; i < inputs.size(); ++i) {
            const QString name = QString("in%1.%2").arg(i).arg(format);
            QString target = Path(name);
            EXPECT_EQ(SaveImageFile(target, Load(inputs[i])), 1) << name.toStdString();
            viewer.insert(name, ReadFileBytes(target));
        }
    SetImageFileHook(nullptr);
    for (const QString& format : formats)
        for (const QString jobs : {"1", "3"}) {
            const QString out = Path(format + jobs);
            QDir(dir.path()).mkdir(format + jobs);
            QProcess p;
            p.start(TAVELUNE_CONVERT, QStringList(inputs)
                                          << "--quality"
                                          << "70"
                                          << "--format" << format << "-j" << jobs << "-o" << out);
            ASSERT_TRUE(p.waitForFinished(60000));
            ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
            for (int i = 0; i < inputs.size(); ++i) {
                const QString name = QString("in%1.%2").arg(i).arg(format);
                EXPECT_TRUE(ReadFileBytes(out + "/" + name) == viewer.value(name))
                    << name.toStdString() << " -j " << jobs.toStdString();
            }
        }
}

// The report's case: 4 KiB left on the disk and a 60 x 50 picture saved over keep.bmp. The
// program says so and ends with status 1; keep.bmp keeps every byte and nothing else is left.
TEST_F(Convert, ASaveOnANearlyFullDiskFailsAndKeepsTheOldFile) {
    TNearlyFullDisk disk;
    ASSERT_TRUE(disk.Valid());
    QByteArray ppm = "P6\n60 50\n255\n";
    for (int i = 0; i < 60 * 50 * 3; ++i)
        ppm += char(i * 13);
    WriteFileBytes(Path("small.ppm"), ppm);
    const QString keep = disk.FilePath("keep.bmp");
    const std::vector<uint8_t> old = EncodeBmp24(RandomImage(20, 20, 4));
    const QByteArray oldBytes(reinterpret_cast<const char*>(old.data()), qsizetype(old.size()));
    WriteFileBytes(keep, oldBytes);

    disk.Fill(4096);
    QProcess p;
    p.start(TAVELUNE_CONVERT, {Path("small.ppm"), "-o", keep});
    const bool finished = p.waitForFinished(60000);
    disk.Free();

    ASSERT_TRUE(finished);
    EXPECT_EQ(p.exitCode(), 1) << (disk.IsTmpfs() ? "tmpfs" : "file size limit");
    EXPECT_EQ(QString::fromLocal8Bit(p.readAllStandardError()).trimmed(),
              QStringLiteral("Unable to save image in file \"%1\" !").arg(keep));
    EXPECT_EQ(ReadFileBytes(keep), oldBytes);
    EXPECT_EQ(QDir(disk.Folder()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"keep.bmp"});
}

} // namespace
