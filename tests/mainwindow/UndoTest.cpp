// SPDX-License-Identifier: GPL-2.0-or-later
// The flips and turns, the resize, and the one-step undo of each: what the image becomes,
// which undo kind is kept, and what clears it.
#include "MainFormFixture.h"

namespace {

using enum TCommand;

// Where the pixel (x, y) of the edited image comes from in an original of w x h.
using TSource = QPoint (*)(int x, int y, int w, int h);

struct TTurnCase {
    const char* name;
    TCommand command;
    int undoKind;
    bool swapsSides;
    TSource source;
};

class Turns : public MainFormTest, public ::testing::WithParamInterface<TTurnCase> {};

TEST_P(Turns, EditThenUndoGivesTheOriginalBack) {
    const TTurnCase& c = GetParam();
    WriteSettings({"bsa=0"});
    const QString path = WriteImage(Img("a.png"), RandomImage(40, 30, 7));
    TMainForm& form = Start({path});
    const TBitmap original = form.WorkingImage();

    form.RunCommand(c.command);
    EXPECT_EQ(form.UndoKind(), c.undoKind);
    const TBitmap& edited = form.WorkingImage();
    ASSERT_EQ(edited.Width(), c.swapsSides ? 30 : 40);
    ASSERT_EQ(edited.Height(), c.swapsSides ? 40 : 30);
    for (const QPoint p : {QPoint(0, 0), QPoint(edited.Width() - 1, 0), QPoint(3, 11),
                           QPoint(edited.Width() - 1, edited.Height() - 1)}) {
        const QPoint s = c.source(p.x(), p.y(), 40, 30);
        EXPECT_EQ(PixelAt(edited, p.x(), p.y()), PixelAt(original, s.x(), s.y()))
            << p.x() << "," << p.y();
    }
    EXPECT_EQ(form.StatusText(1), QString("%1 x %2").arg(edited.Width()).arg(edited.Height()));
    form.UpdateMainMenu();
    EXPECT_TRUE(form.MainMenuAction(Undo)->isEnabled());

    form.RunCommand(Undo);
    EXPECT_TRUE(form.WorkingImage() == original);
    EXPECT_EQ(form.UndoKind(), -1);
    form.UpdateMainMenu();
    EXPECT_FALSE(form.MainMenuAction(Undo)->isEnabled()) << "an undo cannot be undone";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Turns,
    ::testing::Values(TTurnCase{"flipVertical", FlipV, 0, false,
                                [](int x, int y, int, int h) { return QPoint(x, h - 1 - y); }},
                      TTurnCase{"flipHorizontal", FlipH, 1, false,
                                [](int x, int y, int w, int) { return QPoint(w - 1 - x, y); }},
                      TTurnCase{"rotateClockwise", RotateCW, 2, true,
                                [](int x, int y, int, int h) { return QPoint(y, h - 1 - x); }},
                      TTurnCase{"rotateCounterClockwise", RotateCCW, 3, true,
                                [](int x, int y, int w, int) { return QPoint(w - 1 - y, x); }},
                      TTurnCase{
                          "rotateHalf", RotateHalf, 4, false,
                          [](int x, int y, int w, int h) { return QPoint(w - 1 - x, h - 1 - y); }}),
    [](const auto& info) { return std::string(info.param.name); });

class UndoTest : public MainFormTest {
protected:
    TMainForm& StartOn(const TBitmap& image, QStringList settings = {}) {
        settings << "bsa=0";
        WriteSettings(settings);
        m_path = WriteImage(Img("a.png"), image);
        return Start({m_path});
    }
    void Resize(int w, int h) {
        m_commands->sizeAnswers.push_back(TResizeChoice{w, h, 0});
        m_form->RunCommand(ImageSize);
    }
    QString m_path;
};

TEST_F(UndoTest, ResizeThenUndoReadsTheFileAsOpeningShowsIt) {
    // Turned a quarter clockwise and grey at opening: the undo shows the same again.
    TMainForm& form = StartOn(RandomImage(40, 30, 3), {"rotation=4", "teinte=3"});
    const TBitmap opened = form.WorkingImage();
    ASSERT_EQ(opened.Width(), 30);
    form.RunCommand(FlipH); // lost by the undo of the resize
    Resize(12, 10);
    EXPECT_EQ(m_commands->sizeAsked, 1);
    EXPECT_EQ(form.WorkingImage().Width(), 12);
    EXPECT_EQ(form.WorkingImage().Height(), 10);
    EXPECT_EQ(form.UndoKind(), 5);
    EXPECT_EQ(form.StatusText(1), "12 x 10");

    form.RunCommand(Undo);
    EXPECT_TRUE(form.WorkingImage() == opened);
    EXPECT_EQ(form.UndoKind(), -1);
    EXPECT_EQ(form.CurrentFile(), m_path);
    EXPECT_EQ(form.StatusText(1), "30 x 40");
}

TEST_F(UndoTest, UndoOfAResizeWhoseFileIsGoneReportsAndKeepsTheImage) {
    TMainForm& form = StartOn(RandomImage(40, 30, 3));
    Resize(12, 10);
    const TBitmap resized = form.WorkingImage();
    ASSERT_TRUE(QFile::remove(m_path));
    form.RunCommand(Undo);
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(
        m_dialogs.Messages[0].Text,
        QString("Unable to load image in file \"%1\" !").arg(QDir::toNativeSeparators(m_path)));
    EXPECT_TRUE(form.WorkingImage() == resized);
    EXPECT_EQ(form.UndoKind(), 5);
}

TEST_F(UndoTest, ResizeCancelledChangesNothing) {
    TMainForm& form = StartOn(RandomImage(40, 30, 3));
    const TBitmap opened = form.WorkingImage();
    m_form->RunCommand(ImageSize); // the scripted dialog answers Cancel
    EXPECT_EQ(m_commands->sizeAsked, 1);
    EXPECT_TRUE(form.WorkingImage() == opened);
    EXPECT_EQ(form.UndoKind(), -1);
}

TEST_F(UndoTest, ResizeThenFlipUndoesTheFlipOnly) {
    TMainForm& form = StartOn(RandomImage(40, 30, 3));
    Resize(20, 16);
    const TBitmap resized = form.WorkingImage();
    form.RunCommand(FlipV);
    form.RunCommand(Undo);
    EXPECT_TRUE(form.WorkingImage() == resized);
}

TEST_F(UndoTest, CommentAfterAFlipKeepsTheUndo) {
    TMainForm& form = StartOn(RandomImage(40, 30, 3));
    const TBitmap opened = form.WorkingImage();
    form.RunCommand(RotateCCW);
    m_dialogs.InputAnswers.push_back(QString("note"));
    form.RunCommand(SetComment);
    EXPECT_EQ(form.UndoKind(), 3);
    form.RunCommand(CopyToClipboard);
    EXPECT_EQ(form.UndoKind(), 3);
    form.RunCommand(Undo);
    EXPECT_TRUE(form.WorkingImage() == opened);
}

TEST_F(UndoTest, SavingClearsTheUndo) {
    TMainForm& form = StartOn(RandomImage(40, 30, 3));
    form.RunCommand(FlipH);
    m_files->saveAnswers.push_back(Img("saved.png"));
    form.RunCommand(SaveImage);
    EXPECT_EQ(form.UndoKind(), -1);
}

TEST_F(UndoTest, ResizeWithOptimizeUsesTheFilteredResampler) {
    // A hard edge: the nearest pixel keeps two colours, the filtered resampler blends them.
    TMainForm& form = StartOn(
        MakeImage(40, 30, [](int x, int) { return x < 20 ? Rgb(0, 0, 0) : Rgb(255, 255, 255); }));
    m_commands->sizeAnswers.push_back(TResizeChoice{27, 30, 3});
    form.RunCommand(ImageSize);
    bool blended = false;
    for (int x = 0; x < 27; ++x) {
        const TTriple p = PixelAt(form.WorkingImage(), x, 15);
        blended |= p != Rgb(0, 0, 0) && p != Rgb(255, 255, 255);
    }
    EXPECT_TRUE(blended);
}

} // namespace
