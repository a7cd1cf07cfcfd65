// SPDX-License-Identifier: GPL-2.0-or-later
// "Save image as..." in each writable format, the JPEG options asked before a JPEG file is
// written (answered OK and Cancel), the full-screen scope question, and a failed save.
#include "MainFormFixture.h"

#include <QScreen>
#include <cmath>

namespace {

using enum TCommand;

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first quantisation value and the frame marker (0xC0 baseline, 0xC2 progressive) of a
// JPEG file's header.
struct TJpegHeader {
    int firstQuant = -1;
    int frame = -1;
};

TJpegHeader ReadJpegHeader(const QByteArray& b) {
    TJpegHeader h;
    auto at = [&](qsizetype i) { return i < b.size() ? int(uint8_t(b[i])) : -1; };
    qsizetype i = 2;
    while (at(i) == 0xFF && at(i + 1) != 0xDA && i + 4 < b.size()) {
        const int marker = at(i + 1);
        const int length = (at(i + 2) << 8) | at(i + 3);
        if (marker == 0xDB && h.firstQuant < 0) h.firstQuant = at(i + 5);
        if (marker >= 0xC0 && marker <= 0xC2) h.frame = marker;
        i += 2 + length;
    }
    return h;
}

class SaveAsTest : public MainFormTest {
protected:
    TMainForm& StartOnImage() {
        WriteSettings({"bsa=0"});
        m_path = WriteImage(Img("a.png"), RandomImage(40, 30, 5));
        return Start({m_path});
    }
    QString m_path;
};

struct TFormatCase {
    const char* extension;
    bool asksJpegOptions;
};

class SaveFormats : public SaveAsTest, public ::testing::WithParamInterface<TFormatCase> {};

TEST_P(SaveFormats, WritesTheWorkingImageAndMakesItTheCurrentFile) {
    const TFormatCase& c = GetParam();
    TMainForm& form = StartOnImage();
    form.RunCommand(FlipH);
    const QString target = Img(QString("saved.") + c.extension);
    m_files->saveAnswers.push_back(target);
    m_commands->jpegAnswers.push_back(TJpegChoice{90, false});

    form.RunCommand(SaveImage);
    ASSERT_EQ(m_files->saves.size(), 1u);
    EXPECT_EQ(m_files->saves[0].FileName, m_path) << "the current file is proposed";
    EXPECT_EQ(m_commands->jpegAsked, c.asksJpegOptions ? 1 : 0);
    EXPECT_EQ(m_commands->scopeAsked, 0) << "asked in full-screen mode only";
    EXPECT_TRUE(m_dialogs.Messages.empty());
    EXPECT_EQ(form.CurrentFile(), target);
    EXPECT_EQ(form.StatusText(3), QDir::toNativeSeparators(target));
    EXPECT_EQ(form.UndoKind(), -1);
    EXPECT_EQ(form.Sequence().Entries()[0].Path, m_path) << "the list keeps the old path";

    TBitmap back;
    QString name = target;
    ASSERT_EQ(LoadImageFile(name, back), 1);
    EXPECT_EQ(back.Width(), 40);
    EXPECT_EQ(back.Height(), 30);
    if (QString(c.extension) == "png" || QString(c.extension) == "bmp" ||
        QString(c.extension) == "tif" || QString(c.extension) == "tga") {
        back.To24Bit();
        EXPECT_TRUE(back == form.WorkingImage()) << "a lossless format keeps every pixel";
    }
}

INSTANTIATE_TEST_SUITE_P(Seven, SaveFormats,
                         ::testing::Values(TFormatCase{"bmp", false}, TFormatCase{"gif", false},
                                           TFormatCase{"jpg", true}, TFormatCase{"png", false},
                                           TFormatCase{"rle", false}, TFormatCase{"tga", false},
                                           TFormatCase{"tif", false}),
                         [](const auto& info) { return std::string(info.param.extension); });

struct TJpegCase {
    const char* name;
    std::optional<TJpegChoice> answer;
    int firstQuant; // of the file written; -1: no file
    int frame;
};

class JpegOptions : public SaveAsTest, public ::testing::WithParamInterface<TJpegCase> {};

TEST_P(JpegOptions, QualityAndEncodingFromTheDialogOrNothingWritten) {
    const TJpegCase& c = GetParam();
    TMainForm& form = StartOnImage();
    const QString target = Img("photo.jpg");
    m_files->saveAnswers.push_back(target);
    m_commands->jpegAnswers.push_back(c.answer);
    form.RunCommand(SaveImage);
    EXPECT_EQ(m_commands->jpegAsked, 1);
    EXPECT_TRUE(m_dialogs.Messages.empty());
    if (!c.answer) {
        EXPECT_FALSE(QFileInfo::exists(target));
        EXPECT_EQ(QDir(Img("")).entryList(QDir::Files | QDir::Hidden), QStringList{"a.png"});
        EXPECT_EQ(form.CurrentFile(), m_path);
        return;
    }
    const TJpegHeader h = ReadJpegHeader(Bytes(target));
    EXPECT_EQ(h.firstQuant, c.firstQuant);
    EXPECT_EQ(h.frame, c.frame);
    EXPECT_EQ(form.CurrentFile(), target);
}

// The luminance table's first value is 16 scaled by the quality: 5000/q % below 50,
// (200 - 2q) % from 50 on.
INSTANTIATE_TEST_SUITE_P(Answers, JpegOptions,
                         ::testing::Values(TJpegCase{"quality90", TJpegChoice{90, false}, 3, 0xC0},
                                           TJpegCase{"quality50progressive", TJpegChoice{50, true},
                                                     16, 0xC2},
                                           TJpegCase{"quality5", TJpegChoice{5, false}, 160, 0xC0},
                                           TJpegCase{"cancelled", std::nullopt, -1, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveAsTest, FullScreenSavesTheComposedScreenUnderScrName) {
    TMainForm& form = StartOnImage();
    form.RunCommand(RotateHalf);
    form.SetFullScreen(true);
    // The platform gives the window the whole screen on its next events.
    const QSize screen = form.screen()->geometry().size();
    for (int i = 0; i < 100 && form.size() != screen; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(form.size(), screen);
    m_commands->scopeAnswers.push_back(TSaveScope::FullScreen);
    m_files->saveAnswers.push_back(Img("shot.png"));
    form.RunCommand(SaveImage);
    EXPECT_EQ(m_commands->scopeAsked, 1);
    ASSERT_EQ(m_files->saves.size(), 1u);
    EXPECT_EQ(m_files->saves[0].FileName, Img("Scr_a.png"));
    EXPECT_EQ(form.CurrentFile(), m_path);
    EXPECT_EQ(form.UndoKind(), 4);

    TBitmap shot;
    QString name = Img("shot.png");
    ASSERT_EQ(LoadImageFile(name, shot), 1);
    const double ratio = form.PixelRatio();
    EXPECT_EQ(shot.Width(), int(std::ceil(form.centralWidget()->width() * ratio)));
    EXPECT_EQ(shot.Height(), int(std::ceil(form.centralWidget()->height() * ratio)));
    EXPECT_EQ(form.centralWidget()->geometry().topLeft(), QPoint(0, 0));
    shot.To24Bit();
    for (int y = 0; y < shot.Height(); y += 23)
        for (int x = 0; x < shot.Width(); x += 29)
            ASSERT_EQ(PixelAt(shot, x, y), BufferAt(x, y)) << x << "," << y;
}

struct TScopeCase {
    const char* name;
    std::optional<TSaveScope> scope;
    size_t saveDialogs;
};

class SaveScope : public SaveAsTest, public ::testing::WithParamInterface<TScopeCase> {};

TEST_P(SaveScope, ImageOnlySavesTheImageAndCancelStops) {
    const TScopeCase& c = GetParam();
    TMainForm& form = StartOnImage();
    form.SetFullScreen(true);
    m_commands->scopeAnswers.push_back(c.scope);
    m_files->saveAnswers.push_back(Img("b.png"));
    form.RunCommand(SaveImage);
    ASSERT_EQ(m_files->saves.size(), c.saveDialogs);
    if (c.saveDialogs) {
        EXPECT_EQ(m_files->saves[0].FileName, m_path);
        EXPECT_EQ(form.CurrentFile(), Img("b.png"));
        TBitmap back;
        QString name = Img("b.png");
        ASSERT_EQ(LoadImageFile(name, back), 1);
        EXPECT_EQ(back.Width(), 40);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveScope,
                         ::testing::Values(TScopeCase{"imageOnly", TSaveScope::ImageOnly, 1},
                                           TScopeCase{"cancelled", std::nullopt, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveAsTest, AFailedSaveIsReportedAndKeepsTheCurrentFile) {
    TMainForm& form = StartOnImage();
    form.RunCommand(FlipV);
    const QString target = Path("missing/x.png");
    m_files->saveAnswers.push_back(target);
    form.RunCommand(SaveImage);
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(
        m_dialogs.Messages[0].Text,
        QString("Unable to save image in file \"%1\" !").arg(QDir::toNativeSeparators(target)));
    EXPECT_EQ(form.CurrentFile(), m_path);
    EXPECT_EQ(form.UndoKind(), 0);
}

TEST_F(SaveAsTest, CancelledSaveDialogChangesNothing) {
    TMainForm& form = StartOnImage();
    form.RunCommand(FlipV);
    form.RunCommand(SaveImage);
    EXPECT_EQ(m_files->saves.size(), 1u);
    EXPECT_EQ(form.CurrentFile(), m_path);
    EXPECT_EQ(form.UndoKind(), 0);
    EXPECT_TRUE(m_dialogs.Messages.empty());
}

} // namespace
