// SPDX-License-Identifier: GPL-2.0-or-later
// Display adjustments brought in line with changed settings: when the file is read again, and
// that a photo turned upright from its EXIF orientation stays upright when it is.
#include "MainFormFixture.h"

#include "core/ColorAdjust.h"
#include "core/FlipRotate.h"

#include <QFile>

namespace {

// An EXIF block holding only the orientation, as an APP1 segment (big-endian TIFF header).
QByteArray ExifOrientationSegment(uint16_t orientation) {
    QByteArray tiff("MM\x00\x2A\x00\x00\x00\x08", 8);
    tiff += QByteArray("\x00\x01", 2);         // one entry
    tiff += QByteArray("\x01\x12\x00\x03", 4); // Orientation, SHORT
    tiff += QByteArray("\x00\x00\x00\x01", 4); // count 1
    tiff += char(orientation >> 8);
    tiff += char(orientation & 0xFF);
    tiff += QByteArray("\x00\x00", 2);         // value padding
    tiff += QByteArray("\x00\x00\x00\x00", 4); // no next directory
    const QByteArray body = QByteArray("Exif\x00\x00", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    const int length = int(body.size()) + 2;
    segment += char(length >> 8);
    segment += char(length & 0xFF);
    return segment + body;
}

class ReapplyTest : public MainFormTest {
protected:
    // A JPEG written by the file layer, with the EXIF segment put right after its SOI.
    QString WriteExifJpeg(const QString& path, const TBitmap& image, uint16_t orientation) {
        const QString plain = WriteImage(path + ".tmp.jpg", image);
        QFile in(plain);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        in.close();
        QFile::remove(plain);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes.left(2) + ExifOrientationSegment(orientation) + bytes.mid(2));
        return path;
    }
    // A landscape picture whose left half is bright and right half dark.
    static TBitmap Halves() {
        return MakeImage(64, 32, [](int x, int) { return x < 32 ? Grey(230) : Grey(20); });
    }
};

struct TExifCase {
    const char* name;
    uint16_t orientation;
    int w, h;
};

class ExifTurn : public ReapplyTest, public ::testing::WithParamInterface<TExifCase> {};

TEST_P(ExifTurn, UprightAfterOpeningAndAfterTheFileIsReadAgain) {
    const TExifCase& c = GetParam();
    WriteSettings({"rotation=6", "bsa=0"});
    TMainForm& form = Start({WriteExifJpeg(Img("photo.jpg"), Halves(), c.orientation)});
    ASSERT_EQ(form.WorkingImage().Width(), c.w);
    ASSERT_EQ(form.WorkingImage().Height(), c.h);
    const TBitmap upright = form.WorkingImage();

    form.BlackAndWhiteCommand(); // on: applied to the image as shown
    EXPECT_EQ(form.Settings().teinte, 3);
    EXPECT_EQ(form.WorkingImage().Width(), c.w);
    form.BlackAndWhiteCommand(); // off: the file is read again, and turned again
    EXPECT_EQ(form.Settings().teinte, 0);
    EXPECT_EQ(form.WorkingImage().Width(), c.w);
    EXPECT_EQ(form.WorkingImage().Height(), c.h);
    EXPECT_TRUE(form.WorkingImage() == upright);
}

INSTANTIATE_TEST_SUITE_P(Orientation, ExifTurn,
                         ::testing::Values(TExifCase{"clockwise6", 6, 32, 64},
                                           TExifCase{"counterClockwise8", 8, 32, 64},
                                           TExifCase{"halfTurn3", 3, 64, 32},
                                           TExifCase{"mirrored2Unchanged", 2, 64, 32},
                                           TExifCase{"normal1", 1, 64, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReapplyTest, ClockwiseExifTurnPutsTheLeftHalfOnTop) {
    WriteSettings({"rotation=6", "bsa=0"});
    TMainForm& form = Start({WriteExifJpeg(Img("photo.jpg"), Halves(), 6)});
    EXPECT_GT(PixelAt(form.WorkingImage(), 16, 8).r, 200);
    EXPECT_LT(PixelAt(form.WorkingImage(), 16, 56).r, 60);
}

// Which changes read the file again is seen by changing the file behind the window's back.
struct TReapplyCase {
    const char* name;
    int tint0, step0;
    bool blur0;
    int tint1, step1;
    bool blur1;
    bool reread;
};

class Reapply : public MainFormTest, public ::testing::WithParamInterface<TReapplyCase> {};

TEST_P(Reapply, ReadsTheFileOnlyWhenAnAdjustmentIsRemovedOrChanged) {
    const TReapplyCase& c = GetParam();
    WriteSettings({"bsa=0", QString("teinte=%1").arg(c.tint0), QString("reglage=%1").arg(c.step0),
                   QString("bflou=%1").arg(c.blur0)});
    const TBitmap first = RandomImage(24, 16, 1);
    const TBitmap second = RandomImage(24, 16, 2);
    const QString path = WriteImage(Img("p.png"), first);
    TMainForm& form = Start({path});
    const TBitmap shown = form.WorkingImage();
    QFile::remove(path);
    WriteImage(path, second);

    form.Settings().teinte = c.tint1;
    form.Settings().reglage = c.step1;
    form.Settings().bflou = c.blur1;
    form.ReapplyDisplayAdjustments(c.blur0, c.tint0, c.step0);

    TBitmap expected = c.reread ? second : shown;
    ApplyDisplayAdjustments(expected, c.tint1, c.step1, c.blur1);
    EXPECT_TRUE(form.WorkingImage() == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Reapply,
    ::testing::Values(TReapplyCase{"tintSwitchedOn", 0, 0, false, 3, 0, false, false},
                      TReapplyCase{"tintChanged", 3, 0, false, 4, 0, false, true},
                      TReapplyCase{"tintSwitchedOff", 3, 0, false, 0, 0, false, true},
                      TReapplyCase{"blurOnKeepsStepAndAppliesItAgain", 0, 1, false, 0, 1, true,
                                   false},
                      TReapplyCase{"blurOffReads", 0, 1, true, 0, 1, false, true},
                      TReapplyCase{"stepChanged", 0, 1, false, 0, 2, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReapplyTest, NothingChangedLeavesTheImageAlone) {
    WriteSettings({"bsa=0", "teinte=4"});
    const QString path = WriteImage(Img("p.png"), RandomImage(24, 16, 1));
    TMainForm& form = Start({path});
    const TBitmap shown = form.WorkingImage();
    form.ReapplyDisplayAdjustments(false, 4, 0);
    EXPECT_TRUE(form.WorkingImage() == shown);
}

} // namespace
