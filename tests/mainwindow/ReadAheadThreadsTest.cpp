// SPDX-License-Identifier: GPL-2.0-or-later
// The read-ahead with real worker threads: what the user sees is the same whenever the jobs
// finish. These tests also run under ThreadSanitizer (scripts/tsan.sh).
#include "MainFormFixture.h"
#include "browse/ReadAhead.h"

#include <QTest>

namespace {

class ReadAheadThreads : public MainFormTest {
protected:
    ReadAheadThreads() { m_workers = std::make_shared<TDecodeWorkers>(2); }
    TMainForm& StartOnSeries(int count, int openIndex = 0, QStringList settings = {}) {
        settings << "bsa=0";
        WriteSettings(settings);
        m_images = WriteSeries(Img(""), count);
        return Start({m_images[openIndex]});
    }
    void ExpectShown(int index) {
        EXPECT_EQ(m_form->Sequence().Current(), index);
        EXPECT_EQ(CurrentWidth(), 40 + 10 * index);
        EXPECT_EQ(m_form->StatusText(3), QDir::toNativeSeparators(m_images[index]));
    }
    // The jobs done and their notices handled.
    void Settle() {
        m_workers->WaitIdle();
        QCoreApplication::processEvents();
    }
    void Key(int key) { QTest::keyClick(m_form->centralWidget(), Qt::Key(key)); }

    QStringList m_images;
};

TEST_F(ReadAheadThreads, RapidStepsEndOnTheRightImage) {
    StartOnSeries(16, 0);
    for (int i = 0; i < 30; ++i) {
        Key(Qt::Key_PageDown);
        if (i % 5 == 0) QCoreApplication::processEvents();
    }
    ExpectShown(15);
    for (int i = 0; i < 7; ++i)
        Key(Qt::Key_PageUp);
    ExpectShown(8);
    Settle();
    Key(Qt::Key_PageUp);
    ExpectShown(7);
}

TEST_F(ReadAheadThreads, TheSlideshowShowsEveryImageUnderItsOwnName) {
    StartOnSeries(5, 0, {"delai=1", "bboucler=1"});
    m_form->SetSlideshow(true);
    for (int i = 1; i <= 12; ++i) {
        TickSlideshow();
        ExpectShown(i % 5);
        if (i % 3 == 0) Settle();
    }
}

TEST_F(ReadAheadThreads, FileCommandsDuringTheReadAhead) {
    StartOnSeries(6, 1);
    // The neighbour is being made while the shown image goes to the trash.
    m_dialogs.MessageAnswers = {mrYes};
    const QString deleted = m_images[1];
    m_form->DeleteCommand();
    if (QFileInfo::exists(deleted)) GTEST_SKIP() << "no trash here";
    m_images.removeAt(1);
    EXPECT_EQ(m_form->CurrentFile(), m_images[1]);
    EXPECT_EQ(CurrentWidth(), 60);
    // A neighbour is replaced on disk while its job may run: the new picture is shown.
    WriteImage(m_images[2] + ".tmp.png", UniformImage(99, 30, Rgb(1, 2, 3)));
    QFile::remove(m_images[2]);
    QFile::rename(m_images[2] + ".tmp.png", m_images[2]);
    m_form->NextImage();
    EXPECT_EQ(CurrentWidth(), 99);
    Settle();
}

TEST_F(ReadAheadThreads, ClosingWhileJobsRun) {
    StartOnSeries(8, 3);
    m_form->NextImage();
    m_form.reset(); // waits for its jobs; nothing may reach the window afterwards
    QCoreApplication::processEvents();
    m_workers->WaitIdle();
}

TEST_F(ReadAheadThreads, TheCommandLinesImageDecodesBeforeTheWindowExists) {
    WriteSettings({"bsa=0", "rotation=4"});
    m_images = WriteSeries(Img(""), 3);
    std::optional<TEarlyImage> early = StartEarlyImage(*m_workers, {m_images[1]});
    ASSERT_TRUE(early);
    m_early = std::make_shared<TEarlyImage>(std::move(*early));
    Start({m_images[1]});
    // Made before the settings were read, shaped once they were: turned by "Rotate 90° CW".
    EXPECT_EQ(m_form->WorkingImage().Width(), 30);
    EXPECT_EQ(m_form->WorkingImage().Height(), 50);
    EXPECT_EQ(m_form->StatusText(3), QDir::toNativeSeparators(m_images[1]));
    Settle();
}

// A large image: its reduced picture stands in, and the held full decoding, released with the
// window's settings, ends turned.
TEST_F(ReadAheadThreads, TheCommandLinesLargeImageEndsShapedByItsWorker) {
    WriteSettings({"bsa=0", "zoom=1", "rotation=4", "boptimiserz=1"});
    const QString photo = WriteImage(Img("wide.jpg"), MakeImage(3000, 1500, [](int x, int y) {
                                         return Rgb(uint8_t(x / 12), uint8_t(y / 6), 90);
                                     }));
    std::optional<TEarlyImage> early = StartEarlyImage(*m_workers, {photo});
    ASSERT_TRUE(early && early->ReducedTicket);
    m_early = std::make_shared<TEarlyImage>(std::move(*early));
    Start({photo}, QSize(500, 420));
    EXPECT_EQ(m_form->WorkingImage().Width(), 1500);
    EXPECT_EQ(m_form->WorkingImage().Height(), 3000);
    EXPECT_FALSE(m_form->Zoom().HasStandIn());
    Settle();
}

} // namespace
