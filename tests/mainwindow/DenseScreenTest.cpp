// The window on a screen of device pixel ratio 2 (the two-screen run): the screen buffer holds
// device pixels, and every length of the screen's layout, the comment's font, the frame, the
// shadow and the scroll steps, grows by the same ratio, so that the screen looks as it does at
// ratio 1, only sharper.
#include "MainFormFixture.h"

#include <QGuiApplication>
#include <QTest>

namespace {

const TTriple kBlue = Rgb(0, 0, 255);
const TTriple kGreen = Rgb(0, 255, 0);

// The parameter is the device pixel ratio of the screen.
class DenseScreen : public MainFormTest, public ::testing::WithParamInterface<int> {
protected:
    // Starts on the screen of that ratio; false on the single screen of the plain run.
    bool StartOnScreen(const QStringList& settings, const TBitmap& image) {
        for (QScreen* screen : QGuiApplication::screens())
            if (screen->devicePixelRatio() == Ratio()) m_startScreen = screen;
        if (QGuiApplication::screens().size() < 2 || m_startScreen == nullptr) return false;
        WriteSettings(settings);
        Start({WriteImage(Img("photo.png"), image)});
        return true;
    }
    // Lengths of the layout in device pixels.
    int Device(int length) const { return length * Ratio(); }
    int Ratio() const { return GetParam(); }
};

TEST_P(DenseScreen, DecorationsAndTheCommentKeepTheirProportionsOnTwoScreens) {
    // A tall image fitted to the view's height, so the comment sits at the bottom of the view.
    if (!StartOnScreen({"cf=#0000FF", "zoom=3", "bsa=0", "bcadre=1", "cadre=#00FF00,15", "bombre=1",
                        "bcmt=1", "pcmt=0", "tcmt=16", "ccmt=#FFFF00", "scmtnf=1"},
                       UniformImage(400, 2000, Rgb(255, 0, 0))))
        GTEST_SKIP() << "needs the two-screen run";
    ASSERT_DOUBLE_EQ(m_form->devicePixelRatioF(), Ratio());

    const TRect d = m_form->DisplayArea();
    const TRect v = m_form->Zoom().ViewRect();
    EXPECT_EQ(v, (TRect{d.Left + Device(15), d.Top + Device(15), d.Right - Device(22),
                        d.Bottom - Device(40 + 22)}));
    const TRect i = m_form->Zoom().ImageRect();
    ASSERT_EQ(i.Bottom, v.Bottom);
    const int midY = (i.Top + i.Bottom) / 2;
    EXPECT_EQ(BufferAt(i.Left - Device(15), midY), kGreen);
    EXPECT_EQ(BufferAt(i.Left - Device(15) - 1, midY), kBlue);
    EXPECT_EQ(m_form->DecoratedRect(), (TRect{i.Left - Device(15), i.Top - Device(15),
                                              i.Right + Device(22), i.Bottom + Device(22)}));
    EXPECT_LT(BufferAt(i.Right + Device(15 + 3), midY).b, 200); // the shadow
    EXPECT_EQ(BufferAt(i.Right + Device(22), midY), kBlue);

    // The comment lies in its band, above the status bar, at its gap below the decorations.
    const QRect box = m_form->CommentBox();
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(box.top(), m_form->DecoratedRect().Bottom + Device(5));
    EXPECT_LE(box.top() + box.height(), d.Bottom);
}

TEST_P(DenseScreen, ScrollingStepsKeepTheirProportionsOnTwoScreens) {
    if (!StartOnScreen({"zoom=0", "bcadre=0", "bombre=0", "bsa=0", "bss=1", "fluidite=2"},
                       RandomImage(3000, 2000, 5)))
        GTEST_SKIP() << "needs the two-screen run";
    ASSERT_DOUBLE_EQ(m_form->devicePixelRatioF(), Ratio());
    // The arrow keys.
    const int left = m_form->Zoom().ImageRect().Left;
    QTest::keyClick(m_form->centralWidget(), Qt::Key_Right);
    EXPECT_EQ(m_form->Zoom().ImageRect().Left, left - Device(8));
    // The scroller's step per tick (fluidite 2 is 8 pixels).
    EXPECT_EQ(m_form->Zoom().Step(), Device(8));
    // The edge zones.
    const TRect v = m_form->Zoom().ViewRect();
    const int midY = (v.Top + v.Bottom) / 2;
    EXPECT_EQ(m_form->HitZone(v.Right - Device(15) + 1, midY), 2);
    EXPECT_EQ(m_form->HitZone(v.Right - Device(15), midY), 0);
    // Dragging moves once the mouse went 3 window pixels.
    const QPoint c((v.Left + v.Right) / 2, midY);
    const TRect before = m_form->Zoom().ImageRect();
    m_form->MouseDownAt(c, Qt::LeftButton, Qt::NoModifier);
    m_form->MouseMoveAt(c + QPoint(-Device(3) + 1, 0), true);
    EXPECT_EQ(m_form->Zoom().ImageRect(), before);
    m_form->MouseMoveAt(c + QPoint(-Device(3), 0), true);
    EXPECT_EQ(m_form->Zoom().ImageRect().Left, before.Left - Device(3));
}

INSTANTIATE_TEST_SUITE_P(Screens, DenseScreen, ::testing::Values(1, 2), [](const auto& info) {
    return std::string(info.param == 1 ? "Plain" : "Dense");
});

} // namespace
