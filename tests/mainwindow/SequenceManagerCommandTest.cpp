// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's sequence-manager command: the real dialog opens modally, and after OK the
// chosen entry is opened; Cancel opens nothing and puts the list back.
#include "MainFormFixture.h"
#include "viewer/SequenceForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class SequenceManagerTest : public MainFormTest {
protected:
    TMainForm& StartOn(int count, int openIndex) {
        WriteSettings({"bsa=0"});
        m_images = WriteSeries(Img(""), count);
        return Start({m_images[openIndex]});
    }

    // Runs act inside the dialog once it shows; a dialog act left open is closed with a code of
    // its own so that a fault fails the test instead of leaving it waiting.
    void WhenShown(std::function<void(TSequenceForm&)> act) {
        m_shown = 0;
        QTimer::singleShot(0, m_form.get(), [this, act] {
            auto* form = m_form->findChild<TSequenceForm*>();
            if (form == nullptr || !form->isVisible()) {
                ADD_FAILURE() << "the sequence manager is not showing";
                return;
            }
            ++m_shown;
            act(*form);
            if (form->isVisible()) form->done(kLeftOpen);
        });
    }
    void RunManager(std::function<void(TSequenceForm&)> act) {
        WhenShown(std::move(act));
        m_form->SequenceManagerCommand();
        EXPECT_EQ(m_shown, 1);
    }
    int Index() const { return m_form->Sequence().Current(); }

    static constexpr int kLeftOpen = 99;
    QStringList m_images;
    int m_shown = 0;
};

TEST_F(SequenceManagerTest, OkOpensTheEntryChosenInTheManager) {
    TMainForm& form = StartOn(3, 0);
    form.SetSlideshow(true);
    RunManager([&](TSequenceForm& manager) {
        EXPECT_FALSE(form.SlideshowOn()) << "stopped before the manager shows";
        EXPECT_EQ(manager.SelectedEntry(), 0) << "the current entry is selected";
        EXPECT_EQ(manager.LNombre->text(), QStringLiteral("3 files"));
        EXPECT_EQ(manager.LBFichiers->count(), 3) << "the folder of the image in view";
        manager.SelectEntry(2);
        QTest::mouseClick(manager.BOk, Qt::LeftButton);
    });
    EXPECT_EQ(Index(), 2);
    EXPECT_EQ(CurrentWidth(), 60);
    EXPECT_EQ(form.CurrentFile(), m_images[2]);
    EXPECT_EQ(form.StatusText(0), QStringLiteral("3/3"));
    EXPECT_FALSE(form.SlideshowOn());
    EXPECT_TRUE(m_files->opens.empty());
}

TEST_F(SequenceManagerTest, WithoutAChoiceOkOpensTheFirstEntry) {
    TMainForm& form = StartOn(1, 0);
    WriteImage(Img("more/x.png"), UniformImage(70, 30, Grey(10)));
    WriteImage(Img("more/y.png"), UniformImage(80, 30, Grey(20)));
    // A list of one: the slideshow command opens the manager to build a list.
    WhenShown([&](TSequenceForm& manager) {
        QTest::mouseClick(manager.BSupprimer, Qt::LeftButton);
        manager.ChangeFolder(Img("more"));
        QTest::mouseClick(manager.BAjouterTout, Qt::LeftButton);
        ASSERT_EQ(manager.SelectedEntry(), -1);
        QTest::mouseClick(manager.BOk, Qt::LeftButton);
    });
    form.SlideshowCommand();
    EXPECT_EQ(m_shown, 1);
    EXPECT_EQ(form.Sequence().Count(), 2);
    EXPECT_EQ(Index(), 0);
    EXPECT_EQ(CurrentWidth(), 70);
    EXPECT_EQ(form.StatusText(0), QStringLiteral("1/2"));
    EXPECT_FALSE(form.SlideshowOn());
    EXPECT_TRUE(form.Sequence().Modified());
}

TEST_F(SequenceManagerTest, CancelOpensNothingButTheMarkStillAsksLater) {
    TMainForm& form = StartOn(3, 1);
    const QList<TSequenceEntry> before = form.Sequence().Entries();
    RunManager([&](TSequenceForm& manager) {
        manager.SelectEntry(2);
        QTest::keyClicks(manager.EdiCommentaire, QStringLiteral("late"));
        QTest::mouseClick(manager.BSupprimer, Qt::LeftButton);
        QTest::keyClick(&manager, Qt::Key_Escape);
    });
    EXPECT_EQ(form.Sequence().Entries(), before);
    EXPECT_EQ(Index(), 1);
    EXPECT_EQ(CurrentWidth(), 50);
    EXPECT_TRUE(form.Sequence().Modified());

    m_dialogs.MessageAnswers.push_back(mrNo);
    form.OpenImage(m_images[2], true);
    ASSERT_EQ(m_dialogs.Messages.size(), 1u);
    EXPECT_EQ(m_dialogs.Messages[0].Text, QStringLiteral("Save current images sequence ?"));
    EXPECT_EQ(CurrentWidth(), 60);
}

TEST_F(SequenceManagerTest, TheManagerIsMadeOnceAndKept) {
    TMainForm& form = StartOn(2, 0);
    TSequenceForm* first = nullptr;
    RunManager([&](TSequenceForm& manager) {
        first = &manager;
        manager.CmbTypes->setCurrentIndex(1); // "All images"
        manager.reject();
    });
    TSequenceForm* second = nullptr;
    RunManager([&](TSequenceForm& manager) {
        second = &manager;
        EXPECT_EQ(manager.CmbTypes->currentIndex(), 1);
        manager.reject();
    });
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->parent(), &form);
    EXPECT_EQ(form.Sequence().FolderMask(), first->FileTypeMask(1))
        << "the chosen types govern the main window's listings too";
    EXPECT_EQ(CurrentWidth(), 40);
}

} // namespace
