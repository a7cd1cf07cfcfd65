// SPDX-License-Identifier: GPL-2.0-or-later
#include "FormatTestUtil.h"
#include "TestPrinters.h"
#include "formats/FileData.h"
#include "formats/FormatRegistry.h"
#include "formats/ImageFiles.h"
#include "formats/PngUtils.h"
#include "formats/SaveFormats.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QString LoadMessage(const QString& name) {
    return QStringLiteral("Unable to load image in file \"%1\" !").arg(name);
}
QString SaveMessage(const QString& name) {
    return QStringLiteral("Unable to save image in file \"%1\" !").arg(name);
}

struct THookCall {
    bool HasGraphic;
    const TGraphicClass* Class;
    TImageFileStage Stage;
};

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(dir.isValid());
        SetImageFileHook([this](TGraphic* g, const QString&, TImageFileStage stage, bool& go) {
            calls.push_back({g != nullptr, g ? &g->Class() : nullptr, stage});
            if (stage == vetoAt) go = false;
            if (stage == ifsBeforeSave && g && g->Is(gcJpeg)) {
                g->Quality = quality;
                g->Progressive = progressive;
            }
        });
    }
    void TearDown() override { SetImageFileHook(nullptr); }

    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QString WritePng(const char* name, const TBitmap& bmp) const {
        const QString p = Path(name);
        WriteBytes(p, EncodePng(bmp));
        return p;
    }
    std::vector<TImageFileStage> Stages() const {
        std::vector<TImageFileStage> s;
        for (const THookCall& c : calls)
            s.push_back(c.Stage);
        return s;
    }

    QTemporaryDir dir;
    TScriptedSeam seam;
    std::vector<THookCall> calls;
    int vetoAt = -1;
    int quality = 90;
    bool progressive = false;
};

TEST_F(Dispatch, LoadRunsTheHookAroundTheReader) {
    const TBitmap source = RandomImage(7, 5);
    QString name = WritePng("a.png", source);
    TBitmap bmp;
    EXPECT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_EQ(MaxDifference(bmp, source), 0);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Stage, ifsBeforeLoad);
    EXPECT_EQ(calls[0].Class, &gcPng);
    EXPECT_EQ(calls[1].Stage, ifsAfterDecode);
    EXPECT_EQ(FileWidth(), 7);
    EXPECT_EQ(FileHeight(), 5);
    EXPECT_TRUE(seam.Messages.isEmpty());
}

TEST_F(Dispatch, RegistryFormatsGetNoGraphicBeforeLoading) {
    // .tf8 is read through the registry row, by the TIFF class.
    QString name = Path("a.tf8");
    QFile::copy(WritePng("x.png", RandomImage(3, 3)), name);
    TBitmap bmp;
    EXPECT_EQ(LoadImageFile(name, bmp), -1); // PNG bytes are no TIFF
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FALSE(calls[0].HasGraphic);
    EXPECT_EQ(calls[1].Stage, ifsFailed);
    EXPECT_EQ(ReaderClassFor(name).Name, gcTiff.Name);
}

struct VetoCase {
    int stage;
    std::vector<TImageFileStage> seen;
};
class DispatchVeto : public Dispatch, public ::testing::WithParamInterface<VetoCase> {};
TEST_P(DispatchVeto, StopsWithoutErrorAndLeavesTheBitmap) {
    vetoAt = GetParam().stage;
    QString name = WritePng("a.png", RandomImage(4, 4));
    TBitmap bmp = UniformImage(2, 2, Grey(9));
    EXPECT_EQ(LoadImageFile(name, bmp), 0);
    EXPECT_EQ(bmp.Width(), 2);
    EXPECT_EQ(Stages(), GetParam().seen);
    EXPECT_TRUE(seam.Messages.isEmpty());
}
INSTANTIATE_TEST_SUITE_P(Stages, DispatchVeto,
                         ::testing::Values(VetoCase{ifsBeforeLoad, {ifsBeforeLoad}},
                                           VetoCase{ifsAfterDecode,
                                                    {ifsBeforeLoad, ifsAfterDecode}}));

// Names that no reader of today can open: each fails with the load message naming the file,
// and the caller's bitmap stays as it was.
class DispatchFailure : public Dispatch, public ::testing::WithParamInterface<const char*> {};
TEST_P(DispatchFailure, ShowsTheLoadMessage) {
    QString name = Path(GetParam());
    WriteBytes(name, {1, 2, 3, 4, 5, 6, 7, 8});
    TBitmap bmp = UniformImage(2, 2, Grey(9));
    EXPECT_EQ(LoadImageFile(name, bmp), -1);
    ASSERT_EQ(seam.Messages.size(), 1);
    EXPECT_EQ(seam.Messages[0], LoadMessage(name));
    EXPECT_EQ(seam.LastKind, mkError);
    EXPECT_EQ(seam.LastButtons, unsigned(mbOk));
    EXPECT_EQ(PixelAt(bmp, 1, 1), Grey(9));
    EXPECT_EQ(Stages().back(), ifsFailed);
}
INSTANTIATE_TEST_SUITE_P(Names, DispatchFailure,
                         ::testing::Values("a.xyz", "noextension", "a.nef", "a.oxi", "a.pcx",
                                           "a.psd", "a.wmf", "a.cut", "a.pcd", "a.sgi", "a.rla",
                                           "a.cel", "a.psp", "a.png", "a.jpg", "a.tif", "a.jp"));

TEST_F(Dispatch, MissingFileFails) {
    QString name = Path("absent.png");
    TBitmap bmp;
    EXPECT_EQ(LoadImageFile(name, bmp), -1);
    EXPECT_EQ(seam.Messages, QStringList{LoadMessage(name)});
}

TEST_F(Dispatch, WholeFileIsReadIntoABufferOfItsSize) {
    // A large picture's bytes stay in memory while it decodes: no spare room on top.
    const QString name = Path("bytes.bin");
    std::vector<uint8_t> bytes(3 * 65536 + 17);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7 + i / 251);
    WriteBytes(name, bytes);
    TFileStamp stamp;
    const QByteArray read = ReadWholeFile(name, &stamp);
    ASSERT_EQ(size_t(read.size()), bytes.size());
    EXPECT_EQ(0, std::memcmp(read.constData(), bytes.data(), bytes.size()));
    EXPECT_EQ(read.capacity(), read.size());
    EXPECT_EQ(stamp, FileStampOf(name));
    const QString empty = Path("empty.bin");
    WriteBytes(empty, {});
    EXPECT_TRUE(ReadWholeFile(empty).isEmpty());
}

TEST_F(Dispatch, PreviewShowsNothingAndCallsNoHook) {
    QString name = Path("broken.png");
    WriteBytes(name, {0x89, 'P', 'N', 'G'});
    TBitmap bmp;
    EXPECT_FALSE(PreviewMode());
    EXPECT_EQ(LoadImagePreview(name, bmp), -1);
    EXPECT_FALSE(PreviewMode());
    EXPECT_TRUE(seam.Messages.isEmpty());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(LoadImagePreview(WritePng("good.png", RandomImage(3, 2)), bmp), 1);
    EXPECT_EQ(bmp.Width(), 3);
}

TEST_F(Dispatch, EmptyNameAsksForAFile) {
    TBitmap bmp;
    QString name;
    seam.PreviewAnswer = false;
    EXPECT_EQ(LoadImageFile(name, bmp, QStringLiteral("/start")), 0); // cancelled
    EXPECT_EQ(seam.OpenCalls, 1);
    EXPECT_EQ(seam.LastOpen.Filter, BuildOpenFilter(true, false, true, false));
    EXPECT_EQ(seam.LastOpen.InitialFolder, QStringLiteral("/start"));
    EXPECT_TRUE(seam.LastOpen.Preview);
    EXPECT_FALSE(OptionsOE().OpenPreview); // the pane's state is kept for the run
    EXPECT_TRUE(seam.Messages.isEmpty());

    seam.OpenAnswer = WritePng("chosen.png", RandomImage(6, 1));
    EXPECT_EQ(LoadImageFile(name, bmp), 1);
    EXPECT_FALSE(seam.LastOpen.Preview);
    EXPECT_EQ(name, seam.OpenAnswer);
    EXPECT_EQ(bmp.Width(), 6);
}

TEST_F(Dispatch, LastLoadFieldsAreResetByEveryLoad) {
    QString good = WritePng("a.png", RandomImage(8, 3));
    TBitmap bmp;
    ASSERT_EQ(LoadImageFile(good, bmp), 1);
    EXPECT_EQ(FileWidth(), 8);
    OptionsOE().AnimatedGif = true;
    QString bad = Path("b.xyz");
    EXPECT_EQ(LoadImageFile(bad, bmp), -1);
    EXPECT_EQ(FileWidth(), 0);
    EXPECT_EQ(FileHeight(), 0);
    EXPECT_FALSE(AnimatedGif());
}

TEST_F(Dispatch, SaveRunsTheHookAndWritesTheFormatOfTheName) {
    const TBitmap source = RandomImage(5, 4);
    QString name = Path("a.fax");
    EXPECT_EQ(SaveImageFile(name, source), 1);
    EXPECT_EQ(Stages(), (std::vector<TImageFileStage>{ifsBeforeSave, ifsAfterSave}));
    EXPECT_EQ(calls[0].Class, &gcTiff);
    const std::vector<uint8_t> bytes = ReadBytes(name);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_TRUE((bytes[0] == 'I' && bytes[1] == 'I') || (bytes[0] == 'M' && bytes[1] == 'M'));
}

TEST_F(Dispatch, SavingAsOxiOrAnUnknownTypeFailsAndWritesNothing) {
    for (const char* n : {"a.oxi", "a.xyz", "noext", "a.ico"}) {
        seam.Messages.clear();
        QString name = Path(n);
        EXPECT_EQ(SaveImageFile(name, RandomImage(3, 3)), -1) << n;
        EXPECT_EQ(seam.Messages, QStringList{SaveMessage(name)});
        EXPECT_FALSE(QFileInfo::exists(name)) << n;
    }
}

TEST_F(Dispatch, HookVetoBeforeSavingWritesNothing) {
    vetoAt = ifsBeforeSave;
    QString name = Path("a.jpg");
    EXPECT_EQ(SaveImageFile(name, RandomImage(3, 3)), 0);
    EXPECT_FALSE(QFileInfo::exists(name));
    EXPECT_TRUE(seam.Messages.isEmpty());
}

TEST_F(Dispatch, HookSetsJpegQualityAndProgression) {
    const TBitmap source = RandomImage(64, 64);
    QString low = Path("low.jpg"), high = Path("high.jpg"), prog = Path("prog.jpeg");
    quality = 5;
    ASSERT_EQ(SaveImageFile(low, source), 1);
    quality = 100;
    ASSERT_EQ(SaveImageFile(high, source), 1);
    progressive = true;
    ASSERT_EQ(SaveImageFile(prog, source), 1);
    EXPECT_LT(ReadBytes(low).size() * 3, ReadBytes(high).size());
    const auto has = [](const std::vector<uint8_t>& b, uint8_t m) {
        for (size_t i = 0; i + 1 < b.size(); ++i)
            if (b[i] == 0xFF && b[i + 1] == m) return true;
        return false;
    };
    EXPECT_TRUE(has(ReadBytes(high), 0xC0));
    EXPECT_TRUE(has(ReadBytes(prog), 0xC2));
    EXPECT_FALSE(has(ReadBytes(prog), 0xC0));
}

TEST_F(Dispatch, FailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
    QString name = Path("keep.png");
    WriteBytes(name, {'o', 'l', 'd'});
    EXPECT_EQ(SaveImageFile(name, TBitmap()), -1); // an empty picture cannot be encoded
    EXPECT_EQ(ReadBytes(name), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.png")});

    QString nowhere = Path("missing-folder/a.png");
    EXPECT_EQ(SaveImageFile(nowhere, RandomImage(2, 2)), -1);
}

TEST_F(Dispatch, SaveReplacesAnExistingFileWhole) {
    QString name = Path("over.png");
    WriteBytes(name, std::vector<uint8_t>(100000, 7));
    const TBitmap source = RandomImage(3, 3);
    ASSERT_EQ(SaveImageFile(name, source), 1);
    TBitmap back;
    ASSERT_EQ(LoadImageFile(name, back), 1);
    EXPECT_EQ(MaxDifference(back, source), 0);
}

TEST_F(Dispatch, EmptySaveNameAsksAndCancelIsNoError) {
    QString name;
    EXPECT_EQ(SaveImageFile(name, RandomImage(2, 2), Path("x.png")), 0);
    EXPECT_EQ(seam.SaveCalls, 1);
    EXPECT_TRUE(seam.Messages.isEmpty());
    seam.SaveAnswer = Path("chosen.tga.png");
    EXPECT_EQ(SaveImageFile(name, RandomImage(2, 2)), 1);
    EXPECT_EQ(name, seam.SaveAnswer);
}

struct SuggestCase {
    const char* suggested;
    int filterIndex;
    const char* fileName;
};
class ChooseSave : public Dispatch, public ::testing::WithParamInterface<SuggestCase> {};
TEST_P(ChooseSave, SelectsTheEntryOfTheSuggestion) {
    EXPECT_EQ(ChooseSaveFileName(QString::fromUtf8(GetParam().suggested)), QString());
    EXPECT_EQ(seam.LastSave.Filter, BuildSaveFilter());
    EXPECT_EQ(seam.LastSave.DefaultExtension, QStringLiteral(".bmp"));
    EXPECT_EQ(seam.LastSave.FilterIndex, GetParam().filterIndex);
    EXPECT_EQ(seam.LastSave.FileName, QString::fromUtf8(GetParam().fileName));
}
INSTANTIATE_TEST_SUITE_P(Names, ChooseSave,
                         ::testing::Values(SuggestCase{"/p/a.nef", 1, "/p/a"},
                                           SuggestCase{"/p/a.tif", 7, "/p/a.tif"},
                                           // .oxi is read-only: not a save type.
                                           SuggestCase{"/p/a.oxi", 1, "/p/a"},
                                           SuggestCase{"/p/Scr_a.JPG", 3, "/p/Scr_a.JPG"},
                                           SuggestCase{"/p/a.dib", 1, "/p/a"},
                                           SuggestCase{"/p/noext", 1, "/p/noext"},
                                           SuggestCase{"", 1, ""}));

TEST_F(Dispatch, SuggestedFolderOpensTheDialogThere) {
    ChooseSaveFileName(dir.path());
    EXPECT_EQ(seam.LastSave.InitialFolder, dir.path());
    EXPECT_EQ(seam.LastSave.FilterIndex, 1);
    EXPECT_EQ(seam.LastSave.FileName, QString());
}

} // namespace
