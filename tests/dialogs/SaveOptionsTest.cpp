// SPDX-License-Identifier: GPL-2.0-or-later
#include "DialogTestUtil.h"
#include "dialogs/Enreg.h"
#include "dialogs/JPGCompress.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(JpegOptions, FirstOfferIsNinetyStandard) {
    TJPGCompressForm form;
    EXPECT_EQ(form.windowTitle(), "JPEG");
    EXPECT_EQ(form.TBN->value(), 18);
    EXPECT_EQ(form.LblN->text(), "Compression : 90");
    EXPECT_EQ(form.Choice(), (TJpegChoice{90, false}));
    EXPECT_TRUE(form.BOk->isDefault());
}

struct TrackCase {
    int Position;
    int Quality;
};

class JpegTrack : public ::testing::TestWithParam<TrackCase> {};

TEST_P(JpegTrack, QualityIsFiveTimesThePosition) {
    TJPGCompressForm form;
    form.TBN->setValue(GetParam().Position);
    EXPECT_EQ(form.Choice().Quality, GetParam().Quality);
    EXPECT_EQ(form.LblN->text(), QString("Compression : %1").arg(GetParam().Quality));
}

INSTANTIATE_TEST_SUITE_P(Positions, JpegTrack,
                         ::testing::Values(TrackCase{1, 5}, TrackCase{2, 10}, TrackCase{18, 90},
                                           TrackCase{20, 100}, TrackCase{0, 5},
                                           TrackCase{25, 100}));

TEST(JpegOptions, PageKeysMoveOneStep) {
    TJPGCompressForm form;
    QTest::keyClick(form.TBN, Qt::Key_PageUp);
    EXPECT_EQ(form.TBN->value(), 19);
    QTest::keyClick(form.TBN, Qt::Key_PageDown);
    QTest::keyClick(form.TBN, Qt::Key_PageDown);
    EXPECT_EQ(form.TBN->value(), 17);
}

TEST(JpegOptions, TheNextSaveOffersTheLastChoice) {
    TJPGCompressForm form;
    QTimer::singleShot(0, &form, [&form] {
        form.TBN->setValue(12);
        form.RBProgressif->setChecked(true);
        QTest::keyClick(form.focusWidget() ? form.focusWidget() : &form, Qt::Key_Return);
        EndIfStillOpen(form);
    });
    EXPECT_EQ(form.Execute(), (std::optional<TJpegChoice>(TJpegChoice{60, true})));

    QTimer::singleShot(0, &form, [&form] {
        EXPECT_EQ(form.LblN->text(), "Compression : 60");
        EXPECT_TRUE(form.RBProgressif->isChecked());
        QTest::keyClick(&form, Qt::Key_Escape);
        EndIfStillOpen(form);
    });
    EXPECT_FALSE(form.Execute().has_value());
}

TEST(SaveScope, ImageOnlyFirstThenTheLastChoice) {
    TEnregistrerForm form;
    EXPECT_EQ(form.windowTitle(), "Save");
    QTimer::singleShot(0, &form, [&form] {
        QTest::keyClick(&form, Qt::Key_Return);
        EndIfStillOpen(form);
    });
    EXPECT_EQ(form.Execute(), std::optional<TSaveScope>(TSaveScope::ImageOnly));

    QTimer::singleShot(0, &form, [&form] {
        form.RBEcran->setChecked(true);
        form.BtnOk->click();
    });
    EXPECT_EQ(form.Execute(), std::optional<TSaveScope>(TSaveScope::FullScreen));

    QTimer::singleShot(0, &form, [&form] {
        EXPECT_TRUE(form.RBEcran->isChecked());
        QTest::keyClick(&form, Qt::Key_Escape);
        EndIfStillOpen(form);
    });
    EXPECT_FALSE(form.Execute().has_value());
    QTimer::singleShot(0, &form, [&form] { form.BtnAnnuler->click(); });
    EXPECT_FALSE(form.Execute().has_value());
}

} // namespace
