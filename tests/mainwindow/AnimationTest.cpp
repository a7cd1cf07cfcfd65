// SPDX-License-Identifier: GPL-2.0-or-later
// Animated GIFs playing in the main window by driven frame ticks: order, delays, loop count,
// the display settings on every frame, commands that end playback, pause and step; and the
// pages of a multi-page TIFF.
#include "MainFormFixture.h"
#include "formats/GifTestUtil.h"

#include "browse/MainCommands.h"
#include "browse/ReadAhead.h"
#include "browse/ShownAnimation.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <map>
#include <tiffio.h>

namespace {

using enum TCommand;

// The rows of the tables below print as their names.
template <typename T>
requires requires(const T& row) {
    row.name;
}
void PrintTo(const T& row, std::ostream* os) {
    *os << row.name;
}

// Frame i of the test animations is a uniform 30 x 20 picture of colour kColours[i].
const TTriple kColours[] = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255)};
constexpr int kWidth = 30, kHeight = 20;

// delays: hundredths of a second per frame; loops: the NETSCAPE2.0 count, -1 for no block.
std::vector<uint8_t> ThreeFrameGif(const std::vector<int>& delays, int loops) {
    const std::vector<uint8_t> palette{255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};
    std::vector<TGifSpecFrame> frames;
    for (int i = 0; i < 3; ++i) {
        TGifSpecFrame f{kWidth, kHeight, std::vector<uint8_t>(kWidth * kHeight, uint8_t(i))};
        f.Delay = delays[size_t(i)];
        frames.push_back(f);
    }
    return MakeGif(kWidth, kHeight, palette, frames, loops);
}

// Pages of widths 30, 40 and 50, in the colours of the frames.
void WriteThreePageTiff(const QString& path) {
    TIFF* tif = TIFFOpen(path.toLocal8Bit().constData(), "w");
    ASSERT_NE(tif, nullptr);
    for (int page = 0; page < 3; ++page) {
        const int w = 30 + 10 * page, h = 20;
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, page, 3);
        const TTriple c = kColours[page];
        std::vector<uint8_t> row;
        for (int x = 0; x < w; ++x)
            row.insert(row.end(), {c.r, c.g, c.b});
        for (int y = 0; y < h; ++y)
            TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
}

class AnimationTest : public MainFormTest {
protected:
    QString WriteFile(const QString& name, const std::vector<uint8_t>& bytes) {
        const QString path = Img(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        return path;
    }
    QString WriteGif(const QString& name, const std::vector<int>& delays = {5, 5, 5},
                     int loops = 0) {
        return WriteFile(name, ThreeFrameGif(delays, loops));
    }
    // Starts on the animation, with the window active so that its keys arrive.
    TMainForm& StartOn(const QString& path, QStringList settings = {}) {
        settings << "bsa=0";
        WriteSettings(settings);
        TMainForm& form = Start({path});
        form.activateWindow();
        for (int i = 0; i < 10 && QApplication::activeWindow() != &form; ++i)
            QCoreApplication::processEvents();
        return form;
    }
    void TickFrames(int times = 1) {
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(m_frames->running) << "frame timer stopped at tick " << i;
            m_frames->onTick();
        }
    }
    void Key(int key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(m_form->centralWidget(), Qt::Key(key), modifiers);
    }
    TTriple Shown() const { return PixelAt(m_form->WorkingImage(), kWidth / 2, kHeight / 2); }
    // The screen buffer at the middle of the image's place.
    TTriple OnScreen() const {
        const TRect r = m_form->Zoom().ImageRect();
        return BufferAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    bool Ended() const { return !m_form->Animation() || m_form->Animation()->Player().Ended(); }
};

TEST_F(AnimationTest, FramesPlayInOrderWithTheirDelaysOnScreen) {
    // 2/100 s is kept, 1/100 s and none play as 100 ms, as browsers do.
    StartOn(WriteGif("a.gif", {2, 1, 37}));
    ASSERT_NE(m_form->Animation(), nullptr);
    const int delays[] = {20, 100, 370};
    for (int step = 0; step < 7; ++step) {
        const int frame = step % 3;
        SCOPED_TRACE(step);
        EXPECT_EQ(Shown(), kColours[frame]);
        EXPECT_EQ(OnScreen(), kColours[frame]);
        EXPECT_TRUE(m_frames->running);
        EXPECT_EQ(m_frames->interval, delays[frame]);
        TickFrames();
    }
    EXPECT_EQ(m_form->StatusText(4), QString()) << "frames are no pages";
}

// The same frames as an animated WebP, made by libwebp's own converter (lossless).
TEST_F(AnimationTest, AWebPAnimationFromTheReferenceToolPlaysTheSame) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("gif2webp"));
    if (tool.isEmpty()) GTEST_SKIP() << "gif2webp (Debian package webp) is not installed";
    const QString gif = WriteGif("source.gif", {5, 7, 9});
    const QString webp = Img("a.webp");
    ASSERT_EQ(QProcess::execute(tool, {QStringLiteral("-quiet"), gif, QStringLiteral("-o"), webp}),
              0);
    QFile::remove(gif);
    StartOn(webp);
    ASSERT_NE(m_form->Animation(), nullptr);
    const int delays[] = {50, 70, 90};
    for (int step = 0; step < 4; ++step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(Shown(), kColours[step % 3]);
        EXPECT_EQ(m_frames->interval, delays[step % 3]);
        TickFrames();
    }
}

TEST_F(AnimationTest, ClearPartsOfAFrameShowTheBackground) {
    // Frame 0 is cleared away after it shows; frame 1 leaves its left half clear.
    const std::vector<uint8_t> palette{255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};
    TGifSpecFrame red{kWidth, kHeight, std::vector<uint8_t>(kWidth * kHeight, 0)};
    red.Delay = 5;
    red.Disposal = DISPOSE_BACKGROUND;
    TGifSpecFrame half{kWidth, kHeight, std::vector<uint8_t>(kWidth * kHeight, 1)};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth / 2; ++x)
            half.Indices[size_t(y * kWidth + x)] = 3;
    half.TransparentIndex = 3;
    half.Delay = 5;
    StartOn(WriteFile("clear.gif", MakeGif(kWidth, kHeight, palette, {red, half}, 0)));
    const TRect view = m_form->Zoom().ViewRect();
    const TRect r = m_form->Zoom().ImageRect();
    ASSERT_LT(r.Right + 50, view.Right) << "the view's corner is background";
    const TTriple background = BufferAt(view.Right - 2, view.Bottom - 2);
    ASSERT_NE(background, kColours[0]);
    const int y = (r.Top + r.Bottom) / 2;
    EXPECT_EQ(BufferAt(r.Left + 2, y), kColours[0]);
    TickFrames();
    EXPECT_EQ(BufferAt(r.Left + 2, y), background) << "the clear half";
    EXPECT_EQ(BufferAt(r.Right - 3, y), kColours[1]);
}

TEST_F(AnimationTest, ADamagedFrameEndsPlaybackOnTheFrameBefore) {
    // The last frame's data ends early.
    const std::vector<uint8_t> whole = ThreeFrameGif({5, 5, 5}, 0);
    StartOn(WriteFile("cut.gif", std::vector<uint8_t>(whole.begin(), whole.end() - 4)));
    ASSERT_NE(m_form->Animation(), nullptr);
    TickFrames();
    EXPECT_EQ(Shown(), kColours[1]);
    m_frames->onTick();
    EXPECT_FALSE(m_frames->running);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(Shown(), kColours[1]);
    EXPECT_EQ(OnScreen(), kColours[1]);
    EXPECT_TRUE(m_dialogs.Messages.empty()) << "the file opened; its animation just ends";
}

TEST_F(AnimationTest, StillPicturesStartNoFrameTimer) {
    const QStringList images = WriteSeries(Img(""), 1);
    StartOn(images[0]);
    EXPECT_EQ(m_form->Animation(), nullptr);
    EXPECT_FALSE(m_frames->running);
    EXPECT_FALSE(m_form->PopupEnabled(PauseAnimation));
    EXPECT_FALSE(m_form->PopupEnabled(NextFrame));
}

struct TLoopCase {
    const char* name;
    int netscapeLoops; // -1: no loop block
    int plays;         // 0: for ever
};

class LoopCount : public AnimationTest, public ::testing::WithParamInterface<TLoopCase> {};

TEST_P(LoopCount, PlaysThatOftenAndStaysOnTheLastFrame) {
    const TLoopCase& c = GetParam();
    StartOn(WriteGif("a.gif", {5, 5, 5}, c.netscapeLoops));
    const int shown = c.plays == 0 ? 5 * 3 : c.plays * 3;
    TickFrames(shown - 1); // every frame of every play has shown
    if (c.plays == 0) {
        EXPECT_TRUE(m_frames->running);
        return;
    }
    EXPECT_EQ(Shown(), kColours[2]);
    m_frames->onTick();
    EXPECT_FALSE(m_frames->running) << "the loops are done";
    EXPECT_EQ(Shown(), kColours[2]);
    EXPECT_TRUE(Ended());
}

INSTANTIATE_TEST_SUITE_P(Animations, LoopCount,
                         ::testing::Values(TLoopCase{"noLoopBlockPlaysOnce", -1, 1},
                                           TLoopCase{"oneRepeatPlaysTwice", 1, 2},
                                           TLoopCase{"zeroPlaysForEver", 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TShapeCase {
    const char* name;
    const char* setting;
    int width, height; // of each frame as shown
    bool grey;
};

class FrameShape : public AnimationTest, public ::testing::WithParamInterface<TShapeCase> {};

TEST_P(FrameShape, EveryFrameIsTurnedAndTintedAsTheFirst) {
    const TShapeCase& c = GetParam();
    StartOn(WriteGif("a.gif"), {c.setting});
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(frame);
        const TBitmap& image = m_form->WorkingImage();
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Height(), c.height);
        const TTriple t = PixelAt(image, c.width / 2, c.height / 2);
        if (c.grey)
            EXPECT_TRUE(t.r == t.g && t.g == t.b) << int(t.r) << " " << int(t.g) << " " << int(t.b);
        else
            EXPECT_EQ(t, kColours[frame]);
        TickFrames();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Animations, FrameShape,
    ::testing::Values(TShapeCase{"grayscaleTint", "teinte=3", kWidth, kHeight, true},
                      TShapeCase{"turnedClockwise", "rotation=4", kHeight, kWidth, false},
                      TShapeCase{"alwaysPortrait", "rotation=2", kHeight, kWidth, false}),
    [](const auto& info) { return std::string(info.param.name); });

class CommandOnFrame;

struct TCommandCase {
    const char* name;
    std::function<void(CommandOnFrame&, TMainForm&)> run;
    bool turned; // the frame shown is turned by the command
};

class CommandOnFrame : public AnimationTest, public ::testing::WithParamInterface<TCommandCase> {
public:
    TFilesState& Files() { return *m_files; }
    TCommandDialogsState& Commands() { return *m_commands; }
    QString ImagePath(const QString& name) const { return Img(name); }
};

TEST_P(CommandOnFrame, ActsOnTheFrameShownAndEndsPlayback) {
    const TCommandCase& c = GetParam();
    StartOn(WriteGif("a.gif"));
    TickFrames(); // the green frame
    c.run(*this, *m_form);
    EXPECT_FALSE(m_frames->running);
    EXPECT_TRUE(Ended());
    const TBitmap& image = m_form->WorkingImage();
    EXPECT_EQ(image.Width(), c.turned ? kHeight : kWidth);
    EXPECT_EQ(PixelAt(image, 5, 5), kColours[1]);
    // A tick still on its way changes nothing, nor does the frame command.
    m_frames->onTick();
    m_form->RunCommand(NextFrame);
    EXPECT_EQ(PixelAt(m_form->WorkingImage(), 5, 5), kColours[1]);
    EXPECT_FALSE(m_form->PopupEnabled(NextFrame));
}

INSTANTIATE_TEST_SUITE_P(
    Animations, CommandOnFrame,
    ::testing::Values(
        TCommandCase{"flip", [](CommandOnFrame&, TMainForm& f) { f.RunCommand(FlipH); }, false},
        TCommandCase{"turn", [](CommandOnFrame&, TMainForm& f) { f.RunCommand(RotateCW); }, true},
        TCommandCase{"copy",
                     [](CommandOnFrame&, TMainForm& f) {
                         f.RunCommand(CopyToClipboard);
                         const QImage copied = QGuiApplication::clipboard()->image();
                         EXPECT_EQ(copied.pixelColor(5, 5), QColor(0, 255, 0));
                     },
                     false},
        TCommandCase{"print",
                     [](CommandOnFrame& t, TMainForm& f) {
                         f.RunCommand(Print);
                         EXPECT_EQ(t.Commands().prints.size(), 1u);
                     },
                     false},
        TCommandCase{"sizeDialogCancelled",
                     [](CommandOnFrame&, TMainForm& f) { f.RunCommand(ImageSize); }, false},
        TCommandCase{"saveAs",
                     [](CommandOnFrame& t, TMainForm& f) {
                         const QString saved = t.ImagePath("frame.png");
                         t.Files().saveAnswers.push_back(saved);
                         f.RunCommand(SaveImage);
                         TBitmap read;
                         QString name = saved;
                         ASSERT_EQ(LoadImageFile(name, read), 1);
                         EXPECT_EQ(PixelAt(read, 5, 5), kColours[1]);
                         EXPECT_EQ(f.Animation(), nullptr) << "the file shown is the still";
                     },
                     false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AnimationTest, NavigationFreesTheAnimationAndComingBackPlaysItAgain) {
    const QString gif = WriteGif("a.gif");
    WriteImage(Img("b.png"), UniformImage(50, 30, Rgb(9, 9, 9)));
    StartOn(gif);
    TickFrames(2);
    m_form->NextImage();
    EXPECT_EQ(m_form->Animation(), nullptr);
    EXPECT_FALSE(m_frames->running);
    m_form->PreviousImage();
    ASSERT_NE(m_form->Animation(), nullptr);
    EXPECT_TRUE(m_frames->running);
    EXPECT_EQ(Shown(), kColours[0]);
    TickFrames();
    EXPECT_EQ(Shown(), kColours[1]);
}

TEST_F(AnimationTest, SlideshowKeepsItsOwnDelayWhileFramesPlay) {
    const QString gif = WriteGif("a.gif", {5, 5, 5});
    WriteImage(Img("b.png"), UniformImage(50, 30, Rgb(9, 9, 9)));
    StartOn(gif, {"delai=2"});
    m_form->SetSlideshow(true);
    TickFrames(10);
    EXPECT_EQ(m_form->Sequence().Current(), 0) << "frames do not count as slideshow ticks";
    EXPECT_EQ(m_slideshow->interval, kSlideshowInterval);
    TickSlideshow(2);
    EXPECT_EQ(m_form->Sequence().Current(), 1);
    EXPECT_EQ(m_form->Animation(), nullptr);
}

TEST_F(AnimationTest, FramesKeepTheZoomAndThePlaceWhileScrolled) {
    StartOn(WriteGif("a.gif"));
    m_form->RunCommand(ZoomIn);
    m_form->RunCommand(ZoomIn);
    const double scale = m_form->Zoom().Scale();
    const TRect place = m_form->Zoom().ImageRect();
    TickFrames();
    EXPECT_EQ(m_form->Zoom().Scale(), scale);
    EXPECT_EQ(m_form->Zoom().ImageRect(), place);
    EXPECT_EQ(OnScreen(), kColours[1]);
    m_form->SetFullScreen(true);
    TickFrames();
    EXPECT_EQ(OnScreen(), kColours[2]);
}

TEST_F(AnimationTest, KeysPauseResumeAndStepFrames) {
    StartOn(WriteGif("a.gif", {5, 7, 9}));
    Key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(m_frames->running) << "paused";
    EXPECT_TRUE(m_form->CommandChecked(PauseAnimation));
    Key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Shown(), kColours[1]);
    EXPECT_EQ(OnScreen(), kColours[1]);
    EXPECT_FALSE(m_frames->running) << "a step leaves it paused";
    Key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Shown(), kColours[0]) << "stepping wraps to the first frame";
    Key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(m_frames->running);
    EXPECT_EQ(m_frames->interval, 50);
    TickFrames();
    EXPECT_EQ(Shown(), kColours[1]);
}

TEST_F(AnimationTest, SpaceStillPausesTheSlideshowAndNotTheFrames) {
    const QString gif = WriteGif("a.gif");
    WriteImage(Img("b.png"), UniformImage(50, 30, Rgb(9, 9, 9)));
    StartOn(gif);
    m_form->SetSlideshow(true);
    Key(Qt::Key_Space, Qt::NoModifier);
    EXPECT_FALSE(m_form->SlideshowOn());
    EXPECT_TRUE(m_frames->running);
}

// No key is taken twice: among the menus' shortcuts, and between them and the window's keys.
TEST_F(AnimationTest, EveryShortcutHasOneCommandAndTheWindowLeavesItAlone) {
    StartOn(WriteGif("a.gif"));
    std::map<QString, TCommand> owners;
    for (const TMenuRow& row : MenuRows()) {
        if (!row.Shortcut) continue;
        const QKeySequence keys(QString::fromUtf8(row.Shortcut));
        ASSERT_EQ(keys.count(), 1) << row.Shortcut;
        const auto [it, added] = owners.emplace(keys.toString(), row.Command);
        EXPECT_TRUE(added || it->second == row.Command) << row.Shortcut << " is used twice";
        const QKeyCombination combination = keys[0];
        const int key = combination.key();
        const QString text = key < 0x80 && !(combination.keyboardModifiers() & Qt::ControlModifier)
                                 ? QString(QChar(key)).toLower()
                                 : QString();
        EXPECT_FALSE(m_form->HandleKey(key, combination.keyboardModifiers(), text))
            << row.Shortcut << " is also one of the window's own keys";
    }
}

class PageTest : public AnimationTest {
protected:
    int Width() const { return m_form->WorkingImage().Width(); }
};

struct TPageStep {
    int key; // with Ctrl
    const char* status;
    int width;
};

TEST_F(PageTest, KeysStepThroughThePagesWithTheirPosition) {
    const QString tiff = Img("pages.tif");
    WriteThreePageTiff(tiff);
    StartOn(tiff);
    EXPECT_EQ(m_form->StatusText(4), QString("page 1/3"));
    EXPECT_EQ(m_form->PageCount(), 3);
    EXPECT_EQ(Width(), 30);
    EXPECT_FALSE(m_form->MainMenuEnabled(PreviousPage));
    const TPageStep steps[] = {
        {Qt::Key_PageDown, "page 2/3", 40}, {Qt::Key_PageDown, "page 3/3", 50},
        {Qt::Key_PageDown, "page 3/3", 50}, // the last page: the key is swallowed
        {Qt::Key_PageUp, "page 2/3", 40},   {Qt::Key_PageUp, "page 1/3", 30},
    };
    for (const TPageStep& s : steps) {
        Key(s.key, Qt::ControlModifier);
        SCOPED_TRACE(s.status);
        EXPECT_EQ(m_form->StatusText(4), QString(s.status));
        EXPECT_EQ(Width(), s.width);
        EXPECT_EQ(PixelAt(m_form->WorkingImage(), 5, 5), kColours[m_form->Page()]);
        EXPECT_EQ(m_form->StatusText(1), QString("%1 x 20").arg(s.width));
    }
    EXPECT_EQ(m_form->Animation(), nullptr) << "pages do not play";
    EXPECT_FALSE(m_frames->running);
}

TEST_F(PageTest, OnlyTheFirstPageIsKeptAheadAndNeverShownForAnother) {
    const QString tiff = Img("a.tif");
    WriteThreePageTiff(tiff);
    WriteImage(Img("b.png"), UniformImage(60, 30, Rgb(9, 9, 9)));
    StartOn(tiff);
    m_form->NextImage();
    EXPECT_TRUE(m_form->ReadAhead().Holds(tiff)) << "the first page, just left";
    m_form->PreviousImage();
    EXPECT_EQ(Width(), 30);
    m_form->NextPage();
    EXPECT_EQ(Width(), 40) << "the second page, not the first kept ahead";
    EXPECT_EQ(m_form->StatusText(4), QString("page 2/3"));
    m_form->NextImage();
    EXPECT_EQ(m_form->StatusText(4), QString()) << "a single picture shows no page";
    m_form->PreviousImage();
    EXPECT_EQ(Width(), 30) << "the file opens on its first page again";
    EXPECT_EQ(m_form->StatusText(4), QString("page 1/3"));
}

TEST_F(PageTest, DisplayChangesReadTheShownPageAgain) {
    const QString tiff = Img("a.tif");
    WriteThreePageTiff(tiff);
    StartOn(tiff, {"teinte=3"});
    m_form->NextPage();
    // Leaving the grey tint reads the file again: the page shown, in its own colours.
    m_form->BlackAndWhiteCommand();
    EXPECT_EQ(Width(), 40);
    EXPECT_EQ(PixelAt(m_form->WorkingImage(), 5, 5), kColours[1]);
}

} // namespace
