// SPDX-License-Identifier: GPL-2.0-or-later
// The composed screen, read from the buffer's pixels: background, image, frame, shadow, 3D
// frame, scan lines, comment and pattern tiles.
#include "MainFormFixture.h"

#include <QWidget>

namespace {

const TTriple kBlue = Rgb(0, 0, 255);
const TTriple kRed = Rgb(255, 0, 0);
const TTriple kGreen = Rgb(0, 255, 0);

class ComposeTest : public MainFormTest {
protected:
    // A 100 x 100 red image at actual size over a blue background, no decoration yet.
    TMainForm& StartPlain(const TBitmap& image = UniformImage(100, 100, Rgb(255, 0, 0))) {
        WriteSettings({"cf=#0000FF", "zoom=0", "bcadre=0", "bombre=0", "bsa=0"});
        const QString path = WriteImage(Img("photo.png"), image);
        return Start({path});
    }
    TRect Image() const { return m_form->Zoom().ImageRect(); }
};

TEST_F(ComposeTest, FrameAndShadowAroundAnImageAtActualSize) {
    StartPlain();
    Change([](TViewerSettings& s) {
        s.bcadre = true;
        s.cadre = TFrameSetting{RGBColor(0, 255, 0), 15};
        s.bombre = true;
    });
    const TRect d = m_form->DisplayArea();
    const TRect v = m_form->Zoom().ViewRect();
    EXPECT_EQ(v, (TRect{d.Left + 15, d.Top + 15, d.Right - 22, d.Bottom - 22}));
    const TRect i = Image();
    EXPECT_EQ(i.Left, v.Left + (RectWidth(v) - 100) / 2);
    EXPECT_EQ(i.Top, v.Top + (RectHeight(v) - 100) / 2);
    const int midY = i.Top + 50;
    EXPECT_EQ(BufferAt(i.Left + 50, midY), kRed);
    EXPECT_EQ(BufferAt(i.Left - 1, midY), kGreen);
    EXPECT_EQ(BufferAt(i.Left - 15, midY), kGreen);
    EXPECT_EQ(BufferAt(i.Left - 16, midY), kBlue);
    EXPECT_EQ(BufferAt(i.Right + 14, midY), kGreen);
    // The shadow lies beyond the frame's right edge, 7 pixels wide, darkening the blue.
    const TTriple shadow = BufferAt(i.Right + 15 + 3, midY);
    EXPECT_LT(shadow.b, 200);
    EXPECT_EQ(BufferAt(i.Right + 15 + 7, midY), kBlue);
    EXPECT_EQ(BufferAt(i.Left + 50, i.Bottom + 15 + 7), kBlue);
    EXPECT_EQ(m_form->DecoratedRect(),
              (TRect{i.Left - 15, i.Top - 15, i.Right + 15 + 7, i.Bottom + 15 + 7}));
}

TEST_F(ComposeTest, SunkenFrameAloneTwoPixelsOutside) {
    StartPlain();
    Change([](TViewerSettings& s) { s.b3d = true; });
    const TRect d = m_form->DisplayArea();
    EXPECT_EQ(m_form->Zoom().ViewRect(), (TRect{d.Left + 2, d.Top + 2, d.Right - 2, d.Bottom - 2}));
    const TRect i = Image();
    const int midY = i.Top + 50;
    EXPECT_NE(BufferAt(i.Left - 1, midY), kBlue);
    EXPECT_NE(BufferAt(i.Left - 2, midY), kBlue);
    EXPECT_EQ(BufferAt(i.Left - 3, midY), kBlue);
    EXPECT_NE(BufferAt(i.Right + 1, midY), kBlue);
    EXPECT_EQ(BufferAt(i.Right + 2, midY), kBlue);
    // Sunken: darker at the left than at the right.
    EXPECT_LT(BufferAt(i.Left - 1, midY).b, BufferAt(i.Right, midY).b);
    EXPECT_EQ(m_form->DecoratedRect(), (TRect{i.Left - 2, i.Top - 2, i.Right + 2, i.Bottom + 2}));
}

TEST_F(ComposeTest, ShadowWinsOverThe3dFrameButBothReserveRoom) {
    StartPlain();
    Change([](TViewerSettings& s) {
        s.bombre = true;
        s.b3d = true;
    });
    const TRect d = m_form->DisplayArea();
    EXPECT_EQ(m_form->Zoom().ViewRect(), (TRect{d.Left + 2, d.Top + 2, d.Right - 9, d.Bottom - 9}));
    const TRect i = Image();
    EXPECT_EQ(BufferAt(i.Left - 1, i.Top + 50), kBlue);
    EXPECT_LT(BufferAt(i.Right + 3, i.Top + 50).b, 200);
}

TEST_F(ComposeTest, ScanLinesToneEveryThirdRowTowardTheBackground) {
    StartPlain();
    Change([](TViewerSettings& s) { s.brayures = true; });
    const TRect i = Image();
    // Red toward blue by 35 %: 255 - 89 and 0 + 89 (quotients truncated).
    const TTriple toned = Rgb(166, 0, 89);
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(BufferAt(i.Left + 10, i.Top + row), row % 3 == 2 ? toned : kRed) << row;
}

TEST_F(ComposeTest, AnImageLargerThanTheViewGetsNoScanLines) {
    StartPlain(UniformImage(3000, 100, Rgb(255, 0, 0)));
    Change([](TViewerSettings& s) { s.brayures = true; });
    ASSERT_TRUE(m_form->ExceedsView());
    const TRect v = m_form->Zoom().ViewRect();
    const TRect i = Image();
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(BufferAt(v.Left + 10, i.Top + row), kRed) << row;
}

struct TCommentCase {
    const char* name;
    int pcmt;
};

class CommentPlacement : public ComposeTest, public ::testing::WithParamInterface<TCommentCase> {};

TEST_P(CommentPlacement, FileNameWrittenBeyondTheDecoratedRectangle) {
    StartPlain();
    const int pcmt = GetParam().pcmt;
    Change([pcmt](TViewerSettings& s) {
        s.bcadre = true;
        s.cadre.width = 10;
        s.bcmt = true;
        s.pcmt = pcmt;
        s.tcmt = 20;
        s.ccmt = RGBColor(255, 255, 0);
        s.scmtnf = true;
    });
    const TRect d = m_form->DisplayArea();
    const TRect v = m_form->Zoom().ViewRect();
    EXPECT_EQ(pcmt == 0 ? v.Bottom : v.Top, pcmt == 0 ? d.Bottom - 50 : d.Top + 50);
    const TRect dec = m_form->DecoratedRect();
    const QRect box = m_form->CommentBox();
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(pcmt == 0 ? box.top() : box.top() + box.height(),
              pcmt == 0 ? dec.Bottom + 5 : dec.Top - 5);
    EXPECT_EQ(box.left(), dec.Left + (RectWidth(dec) - box.width()) / 2);
    // The text is there, in its colour, inside the box.
    int yellow = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const TTriple p = BufferAt(x, y);
            if (p.r > 200 && p.g > 200 && p.b < 60) ++yellow;
        }
    EXPECT_GT(yellow, 20);
}

INSTANTIATE_TEST_SUITE_P(Comment, CommentPlacement,
                         ::testing::Values(TCommentCase{"alignOnTop", 0},
                                           TCommentCase{"alignOnBottom", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ComposeTest, NoCommentTextDrawsNothing) {
    StartPlain();
    Change([](TViewerSettings& s) {
        s.bcmt = true;
        s.scmtnf = false;
    });
    EXPECT_TRUE(m_form->CommentBox().isEmpty());
}

TEST_F(ComposeTest, PatternTilesFromTheClientCornerAndStaysAfterResize) {
    const TBitmap pattern = MakeImage(64, 64, [](int x, int y) {
        return Rgb(x < 32 ? 250 : 10, y < 32 ? 240 : 20, uint8_t(x * 4));
    });
    const QString patternPath = WriteImage(Path("pattern.png"), pattern);
    WriteSettings({"motif=" + patternPath, "bmotif=1", "zoom=0", "bsa=0"});
    Start({});
    EXPECT_TRUE(m_form->PatternShown());
    auto checkTiles = [&] {
        const TBitmap& b = m_form->ScreenBuffer();
        for (int y = 0; y < 300; y += 7)
            for (int x = 0; x < 300; x += 11)
                ASSERT_EQ(BufferAt(x, y), PixelAt(pattern, x % 64, y % 64)) << x << "," << y;
        ASSERT_GT(b.Width(), 300);
    };
    checkTiles();
    m_form->resize(700, 500);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    checkTiles();
}

TEST_F(ComposeTest, PatternSwitchedOffByTheSettingsFileIsNotLoaded) {
    const QString patternPath = WriteImage(Path("pattern.png"), UniformImage(8, 8, Grey(1)));
    WriteSettings({"motif=" + patternPath, "bmotif=0"});
    Start({});
    EXPECT_FALSE(m_form->PatternShown());
}

TEST_F(ComposeTest, ViewOutsideTheWindowShowsTheBackgroundAlone) {
    StartPlain();
    Change([](TViewerSettings& s) {
        s.bcadre = true;
        s.region = TRect{5000, 5000, 6000, 6000};
    });
    EXPECT_TRUE(RectEmpty(m_form->DecoratedRect()));
    const TRect d = m_form->DisplayArea();
    for (int y = d.Top; y < d.Bottom; y += 13)
        for (int x = d.Left; x < d.Right; x += 17)
            ASSERT_EQ(BufferAt(x, y), kBlue);
}

TEST_F(ComposeTest, BufferGrowsToCoverAWindowLargerThanTheScreen) {
    StartPlain();
    const int before = m_form->ScreenBuffer().Width();
    m_form->resize(before + 300, 700);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    const TRect d = m_form->DisplayArea();
    ASSERT_GT(d.Right, before);
    EXPECT_GE(m_form->ScreenBuffer().Width(), d.Right + 5);
    EXPECT_EQ(BufferAt(d.Right - 1, d.Top + 1), kBlue);
    // The image is centred in the wider view.
    const TRect v = m_form->Zoom().ViewRect();
    EXPECT_EQ(Image().Left, v.Left + (RectWidth(v) - 100) / 2);
}

TEST_F(ComposeTest, WindowPaintsItsPartOfTheBuffer) {
    StartPlain();
    QWidget* view = m_form->centralWidget();
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TRect i = Image();
    const QPoint at =
        QPoint(i.Left + 50, i.Top + 50) - (m_form->ViewToClient(QPointF(0, 0)) - QPoint(0, 0));
    EXPECT_EQ(QColor(shown.pixel(at)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shown.pixel(2, 2)), QColor(0, 0, 255));
}

// The window shows the buffer pixel for pixel, whatever part of it a paint asks for: the whole
// view, a part at odd offsets across many rows, a single row.
struct TPaintCase {
    const char* name;
    QRect rect; // in the view; empty: the whole view
};

class PaintTest : public ComposeTest, public ::testing::WithParamInterface<TPaintCase> {};

TEST_P(PaintTest, ShowsTheBufferExactly) {
    // Noise larger than the window at actual size: every pixel tells its place.
    StartPlain(RandomImage(1600, 1200, 7));
    QWidget* view = m_form->centralWidget();
    const QRect rect = GetParam().rect.isEmpty() ? view->rect() : GetParam().rect;
    ASSERT_TRUE(view->rect().contains(rect));
    const QImage shown = view->grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), rect.size());
    const QPoint client = m_form->ViewToClient(QPointF(0, 0));
    int wrong = 0;
    for (int y = 0; y < rect.height(); ++y)
        for (int x = 0; x < rect.width(); ++x) {
            const TTriple b = BufferAt(rect.left() + x + client.x(), rect.top() + y + client.y());
            wrong += shown.pixel(x, y) != qRgb(b.r, b.g, b.b);
        }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Parts, PaintTest,
                         ::testing::Values(TPaintCase{"wholeView", {}},
                                           TPaintCase{"oddPartOverManyRows", {37, 21, 301, 157}},
                                           TPaintCase{"oneRow", {5, 99, 200, 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
