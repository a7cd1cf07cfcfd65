// SPDX-License-Identifier: GPL-2.0-or-later
// Working images made ahead of their opening: the neighbours of the shown image, the image just
// left, the command line's image and the reduced picture of a large image. The workers run
// without threads here, so each test says when the jobs run.
#include "browse/ReadAhead.h"
#include "MainFormFixture.h"
#include "TestDng.h"
#include "browse/EarlyImage.h"
#include "formats/FileData.h"
#include "formats/JpegUtils.h"
#include "formats/RawImage.h"

#include <QDateTime>
#include <QProcess>
#include <QStandardPaths>
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

// What each paint showed while a reduced picture stood in for the full image.
class TStandInSpy : public QObject {
public:
    struct TSeen {
        bool workingEmpty = false;
        TRect decorated;
        TTriple centre;
    };

    explicit TStandInSpy(TMainForm& form) : m_form(form) {
        m_form.centralWidget()->installEventFilter(this);
    }
    ~TStandInSpy() override { m_form.centralWidget()->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && m_form.Zoom().HasStandIn()) {
            const TRect r = m_form.Zoom().ImageRect();
            Paints.push_back(
                {m_form.WorkingImage().Empty(), m_form.DecoratedRect(),
                 PixelAt(m_form.ScreenBuffer(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2)});
        }
        return false;
    }

    std::vector<TSeen> Paints;

private:
    TMainForm& m_form;
};

TBitmap LargePhoto() {
    return MakeImage(1600, 1200,
                     [](int x, int y) { return Rgb(uint8_t(x / 7), uint8_t(y / 5), 90); });
}

// A linear DNG of the photo with a JPEG preview thumb pixels wide, made from the picture the
// full decode gives so that both show the same.
QString WriteLargeDng(const QString& path, int thumb) {
    SetRawLibraryFolders({QStringLiteral(TAVELUNE_RAW_PLUGIN_DIR)});
    const TBitmap photo = LargePhoto();
    TDngSpec spec{.Width = photo.Width(), .Height = photo.Height()};
    for (int y = 0; y < photo.Height(); ++y)
        for (int x = 0; x < photo.Width(); ++x) {
            const TTriple p = PixelAt(photo, x, y);
            for (const uint8_t v : {p.r, p.g, p.b})
                spec.Samples.push_back(uint16_t(v << 8));
        }
    if (!WriteDng(path, spec)) return {};
    const QByteArray bytes = ReadWholeFile(path);
    const TBytes data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    const TBitmap full = DecodeRaw(data, path, photo.Width(), photo.Height());
    const QSize size(thumb, thumb * photo.Height() / photo.Width());
    spec.Preview = EncodeJpeg(
        TBitmap(full.Image().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)), 95,
        false);
    spec.PreviewWidth = size.width();
    spec.PreviewHeight = size.height();
    return WriteDng(path, spec) ? path : QString();
}

// Written by our own writer, by heif-enc with a thumbnail at most thumb pixels wide, or as a
// DNG with a preview thumb pixels wide.
QString WriteLarge(TTestFolder& folder, const QString& name, int thumb = 0) {
    if (name.endsWith(QLatin1String(".dng"))) return WriteLargeDng(folder.Img(name), thumb);
    if (!name.endsWith(QLatin1String(".heic")))
        return folder.WriteImage(folder.Img(name), LargePhoto());
    const QString png = folder.WriteImage(folder.Img(name + QStringLiteral(".png")), LargePhoto());
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("heif-enc"));
    if (tool.isEmpty()) return {};
    const QString out = folder.Img(name);
    if (QProcess::execute(tool, {QStringLiteral("-q"), QStringLiteral("90"), QStringLiteral("-t"),
                                 QString::number(thumb), QStringLiteral("-o"), out, png}) != 0)
        return {};
    return out;
}

struct TLargeCase {
    const char* name;
    int zoom;     // the zoom setting: 1 fits the image to the window, 0 shows it at full size
    int thumb;    // heif-enc's thumbnail side, or the width of a DNG's preview
    bool standIn; // whether a reduced picture shows first
};

class ReducedFirstTest : public ReadAheadTest, public testing::WithParamInterface<TLargeCase> {};

// A large image in a small window shows first from a reduced decoding, placed and decorated as
// the full image, which replaces it before anything else can happen. No stand-in that would
// show blurred: none for an image shown at more than half its size, nor from a thumbnail
// smaller than the image shows.
TEST_P(ReducedFirstTest, ALargeImageShowsReducedFirstInTheSamePlace) {
    const TLargeCase& c = GetParam();
    WriteSettings(
        {"bsa=0", QStringLiteral("zoom=%1").arg(c.zoom), "bcadre=1", "bombre=1", "rotation=0"});
    const QString photo = WriteLarge(*this, QLatin1String(c.name), c.thumb);
    if (photo.isEmpty() && QLatin1String(c.name).endsWith(QLatin1String(".heic")))
        GTEST_SKIP() << "heif-enc is not installed";
    ASSERT_FALSE(photo.isEmpty());
    Start({}, QSize(500, 420));
    std::vector<TStandInSpy::TSeen> paints;
    {
        TStandInSpy spy(*m_form);
        ASSERT_EQ(m_form->OpenImage(photo, false), photo);
        paints = spy.Paints;
    }
    EXPECT_FALSE(m_form->Zoom().HasStandIn());
    EXPECT_EQ(m_form->WorkingImage().Width(), 1600);
    if (!c.standIn) {
        EXPECT_TRUE(paints.empty());
        return;
    }
    ASSERT_EQ(paints.size(), 1u) << "one paint of the reduced picture";
    EXPECT_TRUE(paints[0].workingEmpty) << "the full image was not in yet";
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

// Fitted into 500 x 420 the image shows at less than a quarter of its size: a picture of
// 400 x 300 covers it, one of 320 x 240 would be enlarged.
// libwebp decodes every pixel even when it scales down: no cheaper picture to show first.
// A camera's 800 x 600 preview is decoded at half its size.
INSTANTIATE_TEST_SUITE_P(Formats, ReducedFirstTest,
                         testing::Values(TLargeCase{"fit.jpg", 1, 0, true},
                                         TLargeCase{"fit.webp", 1, 0, false},
                                         TLargeCase{"fit.heic", 1, 480, true},
                                         TLargeCase{"full.jpg", 0, 0, false},
                                         TLargeCase{"smallthumb.heic", 1, 320, false},
                                         TLargeCase{"fit.dng", 1, 800, true},
                                         TLargeCase{"smallpreview.dng", 1, 320, false}),
                         [](const testing::TestParamInfo<TLargeCase>& info) {
                             std::string name = info.param.name;
                             name[name.find('.')] = '_';
                             return name;
                         });

// The command line's large image: its reduced picture decodes before the window exists, and its
// full decoding is held until the window has shown that picture, so the two do not share the
// processors. Released, it turns the image by the settings and makes its block averages for the
// window's view, as the read-ahead does: the window ends on that image without remaking either.
TEST_F(ReadAheadTest, TheFullDecodingOfTheCommandLinesImageWaitsForItsStandIn) {
    WriteSettings({"bsa=0", "zoom=1", "rotation=4", "boptimiserz=1"});
    const QString photo = WriteImage(Img("wide.jpg"), MakeImage(3000, 1500, [](int x, int y) {
                                         return Rgb(uint8_t(x / 12), uint8_t(y / 6), 90);
                                     }));
    std::optional<TEarlyImage> early = StartEarlyImage(*m_workers, {photo});
    ASSERT_TRUE(early && early->ReducedTicket);
    const TDecodeWorkers::TTicketPtr full = early->Ticket;
    EXPECT_EQ(m_workers->RunQueued(), 1);
    EXPECT_TRUE(m_workers->Done(early->ReducedTicket));
    EXPECT_TRUE(m_workers->Held(full));
    m_early = std::make_shared<TEarlyImage>(std::move(*early));
    Start({photo}, QSize(500, 420));
    EXPECT_TRUE(m_workers->Done(full));
    EXPECT_FALSE(m_form->Zoom().HasStandIn());
    // Turned by "Rotate 90° CW".
    EXPECT_EQ(m_form->WorkingImage().Width(), 1500);
    EXPECT_EQ(m_form->WorkingImage().Height(), 3000);
    const TBlockAverages* averages = m_form->Zoom().BlockAverages();
    ASSERT_NE(averages, nullptr);
    EXPECT_EQ(averages->PictureKey, m_form->WorkingImage().Image().cacheKey());
    EXPECT_GT(averages->BlockSize, 1);
    EXPECT_EQ(m_workers->Pending(), 0) << "nothing left held";
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
