#include "print/PrintJob.h"

#include "FakeTarget.h"
#include "PrintTestUtil.h"
#include "ScriptedDialogs.h"
#include "print/AnnulImp.h"
#include "print/PrintPage.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kBlack = 0x000000;
constexpr QRgb kWhite = 0xFFFFFF;

// What each dot of a page should be: white, or one colour over the given rectangles.
QImage ExpectedPage(QSize size, const std::vector<std::pair<TRect, QRgb>>& parts) {
    QImage page(size, QImage::Format_RGB32);
    page.fill(Qt::white);
    for (const auto& [r, colour] : parts)
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, size.height()); ++y) {
            auto* row = reinterpret_cast<QRgb*>(page.scanLine(y));
            for (int x = std::max(r.Left, 0); x < std::min(r.Right, size.width()); ++x)
                row[x] = 0xFF000000 | colour;
        }
    return page;
}

// The number of dots where two pages differ.
int64_t Differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int64_t n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            n += (ra[x] & 0xFFFFFF) != (rb[x] & 0xFFFFFF);
    }
    return n;
}

struct JobFixture : ::testing::Test {
    TScriptedUserDialogs User;
    TFakeTarget Target;
    TAnnulerForm Wait;
    int Pumps = 0;
    bool WaitShownWhilePumping = false;
    std::function<void()> OnPump;

    JobFixture() { Target.Portrait = {1000, 1200, 254}; }

    TPrintResult Run(const QImage& image, const TPrintLayout& layout) {
        return RunPrintJob(Wait, Target, image, layout, User, [this] {
            ++Pumps;
            WaitShownWhilePumping = Wait.isVisible();
            if (OnPump) OnPump();
        });
    }
};

QImage Solid(int w, int h, QRgb colour) {
    return SolidImage(w, h, colour).Image();
}

struct PageCase {
    const char* Name;
    int ImgW, ImgH;
    bool Outline;
    bool Marks;
};

class PrintPageTest : public JobFixture, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PrintPageTest, EveryDotOfThePage) {
    const PageCase& c = GetParam();
    TPrintLayout layout;
    layout.ImageRect = {300, 400, 600, 600};
    layout.OutlineOnly = c.Outline;
    layout.CropMarks = c.Marks;
    layout.Marks = {80, 10};
    layout.ImgW = c.ImgW;
    layout.ImgH = c.ImgH;
    ASSERT_EQ(Run(Solid(c.ImgW, c.ImgH, qRgb(255, 0, 0)), layout), TPrintResult::Printed);
    EXPECT_EQ(Target.Begun, 1);
    EXPECT_EQ(Target.Ended, 1);
    EXPECT_EQ(Target.Aborted, 0);
    EXPECT_TRUE(User.Messages.empty());

    std::vector<std::pair<TRect, QRgb>> parts;
    if (c.Outline)
        for (const TRect& r : OutlineLines(layout.ImageRect))
            parts.emplace_back(r, kBlack);
    else
        parts.emplace_back(layout.ImageRect, kRed);
    if (c.Marks)
        for (const TRect& r : CropMarkLines(layout.ImageRect, layout.Marks, c.ImgW, c.ImgH))
            parts.emplace_back(r, kBlack);
    EXPECT_EQ(Differences(Target.Page, ExpectedPage(Target.Page.size(), parts)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PrintPageTest,
    ::testing::Values(PageCase{"ImageOnly", 30, 20, false, false},
                      PageCase{"ImageAndMarks", 40, 30, false, true},
                      PageCase{"ElongatedWithCentreMarks", 30, 20, false, true},
                      // Several bands, drawn with events served between them.
                      PageCase{"ManyBands", 600, 1000, false, true},
                      PageCase{"OutlineOnly", 30, 20, true, false},
                      PageCase{"OutlineAndMarks", 30, 20, true, true}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return info.param.Name; });

TEST_F(JobFixture, MarksSitAtTheStatedDistances) {
    TPrintLayout layout;
    layout.ImageRect = {300, 400, 600, 600};
    layout.CropMarks = true;
    layout.Marks = {80, 10};
    layout.ImgW = 300;
    layout.ImgH = 200;
    ASSERT_EQ(Run(Solid(300, 200, qRgb(255, 0, 0)), layout), TPrintResult::Printed);
    const QImage& p = Target.Page;
    auto black = [&p](int x, int y) { return (p.pixel(x, y) & 0xFFFFFF) == kBlack; };
    // Top left, horizontal: from 80 dots left of the image to 10 dots left, on its top row.
    EXPECT_FALSE(black(300 - 81, 400));
    EXPECT_TRUE(black(300 - 80, 400));
    EXPECT_TRUE(black(300 - 11, 400));
    EXPECT_FALSE(black(300 - 10, 400));
    // Bottom right, vertical: on column R, rows B + 11 .. B + 80.
    EXPECT_FALSE(black(600, 600 + 10));
    EXPECT_TRUE(black(600, 600 + 11));
    EXPECT_TRUE(black(600, 600 + 80));
    EXPECT_FALSE(black(600, 600 + 81));
    // The centre marks of a 3:2 image, on the long sides at mx = 450.
    EXPECT_TRUE(black(450, 400 - 80));
    EXPECT_TRUE(black(450, 400 - 11));
    EXPECT_TRUE(black(450, 600 + 11));
    EXPECT_FALSE(black(449, 400 - 40));
}

TEST_F(JobFixture, ImageIsScaledSmoothly) {
    // Red and blue halves stretched 100 times: the dots between them blend.
    QImage image = Solid(2, 1, qRgb(255, 0, 0));
    image.setPixelColor(1, 0, QColor(0, 0, 255));
    TPrintLayout layout;
    layout.ImageRect = {100, 100, 300, 200};
    layout.ImgW = 2;
    layout.ImgH = 1;
    ASSERT_EQ(Run(image, layout), TPrintResult::Printed);
    const QColor middle = Target.Page.pixelColor(200, 150);
    EXPECT_GT(middle.red(), 40);
    EXPECT_GT(middle.blue(), 40);
    EXPECT_EQ(Target.Page.pixelColor(101, 150), QColor(255, 0, 0));
    EXPECT_EQ(Target.Page.pixelColor(298, 150), QColor(0, 0, 255));
}

TEST_F(JobFixture, WaitWindowShowsWhileSpoolingAndCloses) {
    TPrintLayout layout{{10, 10, 20, 20}, false, false, {}, 1, 1};
    ASSERT_EQ(Run(Solid(1, 1, kRed), layout), TPrintResult::Printed);
    EXPECT_EQ(Pumps, 1);
    EXPECT_TRUE(WaitShownWhilePumping);
    EXPECT_FALSE(Wait.isVisible());
    EXPECT_EQ(Wait.LabelTitre->text(), "Please wait, spooling data...");
    EXPECT_EQ(Wait.BAnnuler->text(), "Cancel");
    EXPECT_TRUE(Wait.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(Wait.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(JobFixture, CancelBeforeTheDocumentOpensSendsNothing) {
    OnPump = [this] { Wait.BAnnuler->click(); };
    TPrintLayout layout{{10, 10, 20, 20}, false, true, {8, 1}, 1, 1};
    EXPECT_EQ(Run(Solid(1, 1, kRed), layout), TPrintResult::Cancelled);
    EXPECT_TRUE(Wait.Cancelled());
    EXPECT_EQ(Target.Begun, 0);
    EXPECT_EQ(Target.Ended, 0);
    EXPECT_FALSE(Target.Printing());
    EXPECT_FALSE(Wait.isVisible());
    EXPECT_TRUE(User.Messages.empty());
    // The next job starts afresh.
    OnPump = nullptr;
    EXPECT_EQ(Run(Solid(1, 1, kRed), layout), TPrintResult::Printed);
    EXPECT_FALSE(Wait.Cancelled());
}

// 600 x 1000 pixels go to the page in three bands.
constexpr int kBandedW = 600;
constexpr int kBandedH = 1000;
static_assert((kBandedH + BandRows(kBandedW) - 1) / BandRows(kBandedW) == 3);

TPrintLayout BandedLayout() {
    return TPrintLayout{{100, 100, 400, 600}, false, true, {8, 1}, kBandedW, kBandedH};
}

TEST_F(JobFixture, EventsAreServedBetweenTheBandsOfAnOpenPage) {
    std::vector<bool> printing;
    OnPump = [&] { printing.push_back(Target.Printing() && Wait.BAnnuler->isEnabled()); };
    ASSERT_EQ(Run(Solid(kBandedW, kBandedH, kRed), BandedLayout()), TPrintResult::Printed);
    // Once before the document opens, then between the three bands.
    EXPECT_EQ(printing, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(Target.Ended, 1);
}

TEST_F(JobFixture, CancelWhileThePageSpoolsAbortsTheDocument) {
    OnPump = [this] {
        if (Pumps == 2) {
            ASSERT_TRUE(Target.Printing());
            ASSERT_TRUE(Wait.isVisible());
            Wait.BAnnuler->click();
        }
    };
    EXPECT_EQ(Run(Solid(kBandedW, kBandedH, kRed), BandedLayout()), TPrintResult::Cancelled);
    EXPECT_EQ(Pumps, 2); // nothing more is drawn
    EXPECT_EQ(Target.Aborted, 1);
    EXPECT_EQ(Target.Ended, 0);
    EXPECT_TRUE(Target.Page.isNull());
    EXPECT_FALSE(Target.Printing());
    EXPECT_FALSE(Wait.isVisible());
    EXPECT_TRUE(User.Messages.empty());
}

TEST_F(JobFixture, APrinterThatCannotTakeBackAPageOffersNoCancelDuringIt) {
    Target.Withdrawable = false;
    std::vector<bool> cancelOffered;
    OnPump = [&] {
        cancelOffered.push_back(Wait.BAnnuler->isEnabled());
        Wait.BAnnuler->click();
        Wait.BAnnulerClick(); // even called directly, it cannot abort a page half drawn
    };
    EXPECT_EQ(Run(Solid(kBandedW, kBandedH, kRed), BandedLayout()), TPrintResult::Cancelled);
    EXPECT_EQ(cancelOffered, std::vector<bool>{true});

    OnPump = [&] {
        cancelOffered.push_back(Wait.BAnnuler->isEnabled());
        if (Target.Printing()) {
            Wait.BAnnuler->click();
            Wait.BAnnulerClick();
        }
    };
    cancelOffered.clear();
    EXPECT_EQ(Run(Solid(kBandedW, kBandedH, kRed), BandedLayout()), TPrintResult::Printed);
    EXPECT_EQ(cancelOffered, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(Target.Aborted, 0);
    EXPECT_EQ(Target.Ended, 1);
    // The next job offers Cancel again.
    EXPECT_TRUE(Wait.BAnnuler->isEnabled());
}

TEST_F(JobFixture, OtherWindowsTakeNoInputWhileThePageSpools) {
    EXPECT_EQ(Wait.windowModality(), Qt::ApplicationModal);
}

TEST(PrintBands, BandsMeetWithoutASeam) {
    // A smooth vertical ramp printed band by band matches the ramp printed in one piece.
    QImage ramp(kBandedW, kBandedH, QImage::Format_RGB32);
    for (int y = 0; y < ramp.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(ramp.scanLine(y)), ramp.width(),
                    qRgb(y * 255 / kBandedH, 128, 255 - y * 255 / kBandedH));
    TPrintLayout layout{{10, 20, 310, 1387}, false, false, {}, kBandedW, kBandedH};
    QImage banded(400, 1400, QImage::Format_RGB32), whole(banded.size(), QImage::Format_RGB32);
    banded.fill(Qt::white);
    whole.fill(Qt::white);
    int bands = 1;
    {
        QPainter painter(&banded);
        ASSERT_TRUE(DrawPrintPage(painter, ramp, layout, [&] { return ++bands > 0; }));
    }
    {
        QPainter painter(&whole);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRect(10, 20, 300, 1367), ramp);
    }
    EXPECT_EQ(bands, 3);
    int worst = 0;
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x) {
            const QRgb a = banded.pixel(x, y), b = whole.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_LE(worst, 2);
}

TEST_F(JobFixture, CancelDuringAnOpenDocumentAbortsIt) {
    Wait.SetTarget(&Target);
    ASSERT_NE(Target.BeginDocument(), nullptr);
    Wait.BAnnuler->click();
    EXPECT_TRUE(Wait.Cancelled());
    EXPECT_EQ(Target.Aborted, 1);
    EXPECT_EQ(Target.Ended, 0);
    EXPECT_FALSE(Target.Printing());
}

struct FailureCase {
    const char* Name;
    bool FailBegin;
    QString Text;
};

class PrintFailureTest : public JobFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PrintFailureTest, ErrorsAreShownAndTheNextJobWorks) {
    Target.FailBegin = GetParam().FailBegin;
    Target.FailEnd = !GetParam().FailBegin;
    TPrintLayout layout{{10, 10, 20, 20}, false, false, {}, 1, 1};
    EXPECT_EQ(Run(Solid(1, 1, kRed), layout), TPrintResult::Failed);
    ASSERT_EQ(User.Messages.size(), 1u);
    EXPECT_EQ(User.Messages[0].Text, GetParam().Text);
    EXPECT_EQ(User.Messages[0].Kind, mkError);
    EXPECT_EQ(User.Messages[0].Buttons, unsigned(mbOk));
    EXPECT_FALSE(Wait.isVisible());
    EXPECT_FALSE(Target.Printing());

    Target.FailBegin = Target.FailEnd = false;
    EXPECT_EQ(Run(Solid(1, 1, kRed), layout), TPrintResult::Printed);
    EXPECT_EQ(User.Messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Stages, PrintFailureTest,
                         ::testing::Values(FailureCase{"Begin", true, InvalidPrinterText()},
                                           FailureCase{"End", false, UnsupportedByPrinterText()}),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             return info.param.Name;
                         });

} // namespace
