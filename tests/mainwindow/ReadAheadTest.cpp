// SPDX-License-Identifier: GPL-2.0-or-later
// Working images made ahead of their opening: the neighbours of the shown image, the image just
// left, the command line's image and the reduced picture of a large JPEG. The workers run
// without threads here, so each test says when the jobs run.
#include "browse/ReadAhead.h"
#include "MainFormFixture.h"

#include <QDateTime>
#include <QTest>

namespace {

class ReadAheadTest : public MainFormTest {
protected:
    TMainForm& StartOnSeries(int count, int openIndex = 0, QStringList settings = {}) {
        settings << "bsa=0";
        WriteSettings(settings);
        m_images = WriteSeries(Img(""), count);
        return Start({m_images[openIndex]});
    }
    int Index() const { return m_form->Sequence().Current(); }
    // The shown image is the one the status bar names: series images differ by their widths.
    void ExpectShown(int index) {
        EXPECT_EQ(Index(), index);
        EXPECT_EQ(CurrentWidth(), 40 + 10 * index);
        EXPECT_EQ(m_form->StatusText(3), QDir::toNativeSeparators(m_images[index]));
        EXPECT_EQ(m_form->CurrentFile(), m_images[index]);
    }
    // Rewrites a file with another picture, its time clearly later than before.
    void Replace(const QString& path, const TBitmap& image) {
        const QDateTime before = QFileInfo(path).lastModified();
        QFile::remove(path);
        WriteImage(path, image);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(before.addSecs(10), QFileDevice::FileModificationTime));
    }

    QStringList m_images;
};

TEST_F(ReadAheadTest, TheNeighboursAreMadeOnceTheImageShows) {
    StartOnSeries(4, 1);
    // Both neighbours are asked for; nothing runs until the workers do.
    EXPECT_TRUE(m_form->ReadAhead().Holds(m_images[2]));
    EXPECT_TRUE(m_form->ReadAhead().Holds(m_images[0]));
    EXPECT_FALSE(m_form->ReadAhead().Holds(m_images[3]));
    EXPECT_EQ(m_workers->RunQueued(), 2);
    QCoreApplication::processEvents(); // the queued notices of the finished jobs
    EXPECT_GT(m_form->ReadAhead().HeldBytes(), 0);
}

TEST_F(ReadAheadTest, AMadeImageOpensWithoutDecodingAgain) {
    StartOnSeries(3, 0);
    m_workers->RunQueued();
    QCoreApplication::processEvents();
    // Decoding anything now would have to run through the workers: make it fail loudly.
    const int before = m_workers->Pending();
    m_form->NextImage();
    ExpectShown(1);
    EXPECT_EQ(m_workers->Pending(), before + 1) << "only the next neighbour was asked for";
    EXPECT_FALSE(m_form->ReadAhead().Holds(m_images[1])) << "taken out";
    // The image left stays for a step back, which is then a composition only as well.
    EXPECT_TRUE(m_form->ReadAhead().Holds(m_images[0]));
    m_form->PreviousImage();
    ExpectShown(0);
}

TEST_F(ReadAheadTest, AFileChangedAfterItWasMadeIsReadAgain) {
    StartOnSeries(3, 0);
    m_workers->RunQueued();
    Replace(m_images[1], UniformImage(77, 30, Rgb(0, 0, 255)));
    m_form->NextImage();
    EXPECT_EQ(CurrentWidth(), 77);
    EXPECT_EQ(PixelAt(m_form->WorkingImage(), 3, 3), Rgb(0, 0, 255));
}

TEST_F(ReadAheadTest, ASettingThatShapesTheImageDropsWhatWasMade) {
    StartOnSeries(3, 0);
    m_workers->RunQueued();
    QCoreApplication::processEvents();
    // "Display on Black and White": the neighbours made in colour are of no use.
    m_form->BlackAndWhiteCommand();
    EXPECT_FALSE(m_form->ReadAhead().Holds(m_images[1]) && m_form->ReadAhead().HeldBytes() > 0 &&
                 m_workers->Pending() == 0);
    m_workers->RunQueued();
    m_form->NextImage();
    ExpectShown(1);
    const TTriple p = PixelAt(m_form->WorkingImage(), 3, 3);
    EXPECT_EQ(p.r, p.g);
    EXPECT_EQ(p.g, p.b);
}

TEST_F(ReadAheadTest, ASettingChangedByHandIsNeverMistakenForTheOldOne) {
    StartOnSeries(3, 0, {"rotation=0"});
    m_workers->RunQueued();
    // Changed behind the read-ahead's back: the image made unturned must not be given out.
    m_form->Settings().rotation = 4;
    m_form->NextImage();
    EXPECT_EQ(m_form->WorkingImage().Width(), 30);
    EXPECT_EQ(m_form->WorkingImage().Height(), 50);
}

TEST_F(ReadAheadTest, AMovedImageIsNotShownUnderItsOldName) {
    StartOnSeries(3, 0);
    m_workers->RunQueued();
    m_form->NextImage();
    m_workers->RunQueued();
    QCoreApplication::processEvents();
    // Image 0 is held for a step back; it is sent to the trash from elsewhere and another
    // picture takes its name.
    Replace(m_images[0], UniformImage(91, 30, Rgb(9, 9, 9)));
    m_form->PreviousImage();
    EXPECT_EQ(Index(), 0);
    EXPECT_EQ(CurrentWidth(), 91);
}

TEST_F(ReadAheadTest, RapidStepsEndOnTheRightImage) {
    StartOnSeries(12, 0);
    // Thirty presses a second: the workers get through one job now and then.
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(m_form->centralWidget(), Qt::Key_PageDown);
        if (i % 4 == 0) m_workers->RunQueued();
    }
    ExpectShown(11);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(m_form->centralWidget(), Qt::Key_PageUp);
    ExpectShown(6);
    // Jobs for images passed by were withdrawn: at most the two neighbours wait.
    EXPECT_LE(m_workers->Pending(), 2);
}

TEST_F(ReadAheadTest, ACapacityOfNothingHoldsNothing) {
    StartOnSeries(3, 1, {"cache=0"});
    EXPECT_EQ(m_form->ReadAhead().Count(), 0);
    EXPECT_EQ(m_workers->Pending(), 0);
    m_form->NextImage();
    ExpectShown(2);
}

TEST_F(ReadAheadTest, HeldImagesStayWithinTheCapacity) {
    // 1 MiB: one 600 x 400 image (720 000 bytes) fits, two do not.
    WriteSettings({"bsa=0", "cache=1"});
    for (int i = 0; i < 4; ++i)
        m_images << WriteImage(Img(QString("p%1.png").arg(i)),
                               UniformImage(600, 400, Grey(40 * i)));
    Start({m_images[1]});
    m_workers->RunQueued();
    QCoreApplication::processEvents();
    EXPECT_LE(m_form->ReadAhead().HeldBytes(), qint64(1) << 20);
    EXPECT_GT(m_form->ReadAhead().HeldBytes(), 0);
    m_form->NextImage();
    EXPECT_EQ(PixelAt(m_form->WorkingImage(), 1, 1), Grey(80));
}

// A large JPEG in a small window shows first from a reduced decoding, placed and decorated as
// the full image, which replaces it before anything else can happen.
TEST_F(ReadAheadTest, ALargeJpegShowsReducedFirstInTheSamePlace) {
    WriteSettings({"bsa=0", "zoom=1", "bcadre=1", "bombre=1", "rotation=0"});
    const QString photo = WriteImage(Img("big.jpg"), MakeImage(1600, 1200, [](int x, int y) {
                                         return Rgb(uint8_t(x / 7), uint8_t(y / 5), 90);
                                     }));
    Start({}, QSize(500, 420));
    struct TSeen {
        bool standIn = false;
        bool workingEmpty = false;
        TRect decorated;
        TTriple centre;
    };
    std::vector<TSeen> paints;
    class TPaintSpy : public QObject {
    public:
        TPaintSpy(TMainForm& form, std::vector<TSeen>& seen) : m_form(form), m_seen(seen) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && m_form.Zoom().HasStandIn()) {
                const TRect r = m_form.Zoom().ImageRect();
                m_seen.push_back({true, m_form.WorkingImage().Empty(), m_form.DecoratedRect(),
                                  PixelAt(m_form.ScreenBuffer(), (r.Left + r.Right) / 2,
                                          (r.Top + r.Bottom) / 2)});
            }
            return false;
        }

    private:
        TMainForm& m_form;
        std::vector<TSeen>& m_seen;
    } spy(*m_form, paints);
    m_form->centralWidget()->installEventFilter(&spy);
    ASSERT_EQ(m_form->OpenImage(photo, false), photo);
    m_form->centralWidget()->removeEventFilter(&spy);

    ASSERT_EQ(paints.size(), 1u) << "one paint of the reduced picture";
    EXPECT_TRUE(paints[0].workingEmpty) << "the full image was not in yet";
    EXPECT_FALSE(m_form->Zoom().HasStandIn());
    EXPECT_EQ(m_form->WorkingImage().Width(), 1600);
    // Same place, same decorations, nearly the same pixels.
    EXPECT_EQ(paints[0].decorated, m_form->DecoratedRect());
    const TRect r = m_form->Zoom().ImageRect();
    const TTriple now = BufferAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    EXPECT_NEAR(paints[0].centre.r, now.r, 6);
    EXPECT_NEAR(paints[0].centre.g, now.g, 6);
    EXPECT_NEAR(paints[0].centre.b, now.b, 6);
    // A command after the opening works on the full image.
    m_form->TurnCommand(2);
    EXPECT_EQ(m_form->WorkingImage().Width(), 1200);
    EXPECT_EQ(m_form->WorkingImage().Height(), 1600);
}

TEST_F(ReadAheadTest, AnImageShownAtMoreThanHalfItsSizeIsNotShownReduced) {
    WriteSettings({"bsa=0", "zoom=0"});
    const QString photo = WriteImage(Img("big.jpg"), RandomImage(800, 600));
    Start({}, QSize(500, 420));
    bool standIn = false;
    class TPaintSpy : public QObject {
    public:
        TPaintSpy(TMainForm& form, bool& seen) : m_form(form), m_seen(seen) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && m_form.Zoom().HasStandIn()) m_seen = true;
            return false;
        }

    private:
        TMainForm& m_form;
        bool& m_seen;
    } spy(*m_form, standIn);
    m_form->centralWidget()->installEventFilter(&spy);
    m_form->OpenImage(photo, false);
    m_form->centralWidget()->removeEventFilter(&spy);
    EXPECT_FALSE(standIn);
    EXPECT_EQ(m_form->WorkingImage().Width(), 800);
}

TEST_F(ReadAheadTest, ABrokenNeighbourIsReportedWhenOpenedNotBefore) {
    WriteSettings({"bsa=0"});
    m_images = WriteSeries(Img(""), 2);
    QFile broken(Img("c.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    Start({m_images[1]});
    m_workers->RunQueued();
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_dialogs.Messages.empty());
    m_form->NextImage();
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_TRUE(m_dialogs.Messages[0].Text.contains("c.png"));
    EXPECT_EQ(CurrentWidth(), 50);
}

} // namespace

// An image opened by name shows before its folder is listed; the list, its position text and
// the navigation follow the listing, within the same opening.
TEST_F(ReadAheadTest, AnImageOpenedByNameShowsBeforeItsFolderIsListed) {
    StartOnSeries(2, 1);
    const QStringList other = WriteSeries(Path("other"), 5);
    struct TSeen {
        QString file;
        int entries = 0;
        bool listed = false; // the opened file is in the list
    };
    std::vector<TSeen> paints;
    class TPaintSpy : public QObject {
    public:
        TPaintSpy(TMainForm& form, const QString& path, std::vector<TSeen>& seen)
            : m_form(form), m_path(path), m_seen(seen) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() != QEvent::Paint || m_form.WorkingImage().Empty()) return false;
            bool listed = false;
            for (const TSequenceEntry& entry : m_form.Sequence().Entries())
                listed = listed || entry.Path == m_path;
            m_seen.push_back({m_form.CurrentFile(), m_form.Sequence().Count(), listed});
            return false;
        }

    private:
        TMainForm& m_form;
        QString m_path;
        std::vector<TSeen>& m_seen;
    } spy(*m_form, other[3], paints);
    m_form->centralWidget()->installEventFilter(&spy);
    ASSERT_EQ(m_form->OpenImage(other[3], true), other[3]);
    m_form->centralWidget()->removeEventFilter(&spy);

    ASSERT_FALSE(paints.empty());
    EXPECT_EQ(paints[0].file, other[3]) << "the first paint shows the opened image";
    EXPECT_FALSE(paints[0].listed) << "painted before its folder was listed";
    EXPECT_EQ(paints[0].entries, 2);
    EXPECT_EQ(m_form->Sequence().Count(), 5);
    EXPECT_EQ(m_form->StatusText(0), "4/5");
    m_form->NextImage();
    EXPECT_EQ(m_form->CurrentFile(), other[4]);
}
