// SPDX-License-Identifier: GPL-2.0-or-later
#include "DialogTestUtil.h"
#include "dialogs/Apropos.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

TEST(AboutBox, TextsAndLogos) {
    TAProposForm form;
    EXPECT_EQ(form.windowTitle(), "About Tavelune");
    EXPECT_EQ(form.ProductName->text(), "Tavelune");
    EXPECT_TRUE(form.ProductName->font().bold());
    EXPECT_EQ(form.ProductName->font().pointSize(), 10);
    EXPECT_TRUE(form.Version->text().startsWith(QString("Version ") + kProductVersion + " ("));
    EXPECT_EQ(form.Image1->pixmap().size(), QSize(72, 71));
    EXPECT_EQ(form.Image2->pixmap().size(), QSize(72, 71));
    EXPECT_NE(form.Image1->pixmap().toImage(), form.Image2->pixmap().toImage());
    // The rights notice carries the licence.
    EXPECT_EQ(form.Copyright->text(), QString::fromUtf8(kRightsNotice));
    EXPECT_TRUE(form.Copyright->text().contains("GNU General Public License, version 2 or later"));
    EXPECT_EQ(form.Maker->text(), QString::fromUtf8(kMakerName));
    EXPECT_TRUE(form.URL->font().underline());
    EXPECT_EQ(form.URL->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(form.BOk->isDefault());
}

TEST(AboutBox, LogoFlashesAtTicksThirteenFifteenAndTheEndOfEachCycle) {
    TAProposForm form;
    form.show();
    EXPECT_TRUE(form.Timer->isActive());
    EXPECT_EQ(form.Timer->interval(), 100);
    std::vector<int> shown;
    for (int tick = 1; tick <= 60; ++tick) {
        form.TimerTimer();
        if (form.Image2->isVisibleTo(&form)) shown.push_back(tick);
    }
    EXPECT_EQ(shown, (std::vector<int>{14, 16, 26, 39, 41, 51}));
    form.hide();
    EXPECT_FALSE(form.Timer->isActive());
    // Each showing starts the count again.
    form.show();
    EXPECT_EQ(form.TickCount(), 0);
    EXPECT_FALSE(form.Image2->isVisibleTo(&form));
    form.hide();
}

TEST(AboutBox, ClickingTheAddressOpensIt) {
    std::vector<QUrl> opened;
    SetUrlOpener([&opened](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    TAProposForm form;
    QTest::mouseClick(form.URL, Qt::LeftButton);
    SetUrlOpener(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QString::fromUtf8(kMakerWebAddress)));
}

TEST(AboutBox, EnterCloses) {
    TAProposForm form;
    QTimer::singleShot(0, &form, [&form] {
        QTest::keyClick(form.focusWidget() ? form.focusWidget() : &form, Qt::Key_Return);
        EndIfStillOpen(form);
    });
    form.Execute();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Timer->isActive());
}

} // namespace
