// SPDX-License-Identifier: GPL-2.0-or-later
#include "print/PrintCommand.h"

#include "FakeTarget.h"
#include "PrintTestUtil.h"
#include "ScriptedDialogs.h"
#include "dialogs/Spin2.h"
#include "print/AnnulImp.h"
#include "print/Impr.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kStillOpen = 99;

struct CommandFixture : ::testing::Test {
    TScriptedUserDialogs User;
    TFakeTarget* Target = nullptr;
    std::unique_ptr<TPrintCommand> Command;
    const TBitmap Image = SolidImage(300, 200, qRgb(255, 0, 0));

    CommandFixture() {
        auto target = std::make_unique<TFakeTarget>();
        Target = target.get();
        Command = std::make_unique<TPrintCommand>(std::move(target), &User);
        Command->SetEventPump([] {});
    }

    TPrintResult Print(TPageUnit unit, std::function<void(TImprForm&)> act,
                       QWidget* owner = nullptr) {
        QTimer::singleShot(0, [this, act] {
            TImprForm* form = Command->Form();
            if (form == nullptr) return;
            act(*form);
            if (form->isVisible()) form->done(kStillOpen);
        });
        return Command->Run(owner, Image, QStringLiteral("C:/images/cat.png"), unit);
    }
};

void ClickPrint(TImprForm& f) {
    f.BImprimer->click();
}

TEST_F(CommandFixture, PrintsThePageAndReleasesTheImage) {
    ASSERT_EQ(Print(TPageUnit::Centimetre, ClickPrint), TPrintResult::Printed);
    EXPECT_EQ(Target->Ended, 1);
    EXPECT_FALSE(Target->Page.isNull());
    EXPECT_EQ(Target->Title(), "cat.png");
    EXPECT_TRUE(Command->Form()->Image().Empty());
    EXPECT_FALSE(Command->WaitForm()->isVisible());
}

TEST_F(CommandFixture, CancelInTheDialogPrintsNothing) {
    EXPECT_EQ(Print(TPageUnit::Centimetre, [](TImprForm& f) { f.BAnnuler->click(); }),
              TPrintResult::Cancelled);
    EXPECT_EQ(Target->Begun, 0);
    EXPECT_TRUE(Command->Form()->Image().Empty());
}

TEST_F(CommandFixture, AnEmptyImageShowsNoDialog) {
    EXPECT_EQ(Command->Run(nullptr, TBitmap(), QStringLiteral("x.png"), TPageUnit::Centimetre),
              TPrintResult::Cancelled);
    EXPECT_EQ(Command->Form(), nullptr);
}

TEST_F(CommandFixture, TheDialogIsKeptUntilTheUnitChanges) {
    ASSERT_EQ(Print(TPageUnit::Centimetre,
                    [](TImprForm& f) {
                        f.CBTraits->setChecked(true);
                        f.SECopies->SetValue(3);
                        f.BImprimer->click();
                    }),
              TPrintResult::Printed);
    QPointer<TImprForm> first = Command->Form();
    bool marks = false;
    int copies = 0;
    ASSERT_EQ(Print(TPageUnit::Centimetre,
                    [&](TImprForm& f) {
                        marks = f.CBTraits->isChecked();
                        copies = f.SECopies->Value();
                        f.BImprimer->click();
                    }),
              TPrintResult::Printed);
    EXPECT_EQ(Command->Form(), first.data());
    EXPECT_TRUE(marks);
    EXPECT_EQ(copies, 3);
    EXPECT_EQ(Target->Copies(), 3);

    QString caption;
    ASSERT_EQ(Print(TPageUnit::Inch,
                    [&](TImprForm& f) {
                        marks = f.CBTraits->isChecked();
                        caption = f.GBTaille->title();
                        f.BImprimer->click();
                    }),
              TPrintResult::Printed);
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(marks);
    EXPECT_EQ(caption, " Image size (inch) ");
    EXPECT_EQ(Command->Form()->Unit(), TPageUnit::Inch);

    // SetUnit drops the dialog at once; the same unit keeps it.
    QPointer<TImprForm> inch = Command->Form();
    Command->SetUnit(TPageUnit::Inch);
    EXPECT_FALSE(inch.isNull());
    Command->SetUnit(TPageUnit::Centimetre);
    EXPECT_TRUE(inch.isNull());
}

TEST_F(CommandFixture, WindowsOwnedByADestroyedOwnerAreBuiltAgain) {
    auto owner = std::make_unique<QWidget>();
    ASSERT_EQ(Print(TPageUnit::Centimetre, ClickPrint, owner.get()), TPrintResult::Printed);
    EXPECT_EQ(Command->Form()->parentWidget(), owner.get());
    owner.reset();
    EXPECT_EQ(Command->Form(), nullptr);
    EXPECT_EQ(Command->WaitForm(), nullptr);
    EXPECT_EQ(Print(TPageUnit::Centimetre, ClickPrint), TPrintResult::Printed);
    EXPECT_EQ(Target->Ended, 2);
}

TEST_F(CommandFixture, ACommandOutlivedByItsOwnerLeavesNoWindowBehind) {
    auto owner = std::make_unique<QWidget>();
    ASSERT_EQ(Print(TPageUnit::Centimetre, ClickPrint, owner.get()), TPrintResult::Printed);
    Command.reset();
    EXPECT_TRUE(owner->findChildren<TImprForm*>().isEmpty());
    EXPECT_TRUE(owner->findChildren<TAnnulerForm*>().isEmpty());
}

TEST(PrintersTest, PrintingIsAlwaysPossible) {
    EXPECT_TRUE(PrintersAvailable());
}

} // namespace
