// SPDX-License-Identifier: GPL-2.0-or-later
#include "DialogTestUtil.h"
#include "ScriptedDialogs.h"
#include "core/InterfaceTexts.h"
#include "dialogs/DialogHost.h"
#include "dialogs/MyBevel.h"
#include "dialogs/MyMsgDlg.h"
#include "dialogs/UserDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Installs a hook for the boxes opened inside the scope.
struct TShowHookScope {
    explicit TShowHookScope(std::function<void(TMsgDlgForm&)> hook) {
        TMsgDlgForm::SetShowHook(std::move(hook));
    }
    ~TShowHookScope() { TMsgDlgForm::SetShowHook(nullptr); }
};

QPoint PosIn(const QWidget& w, const QWidget& top) {
    return w.mapTo(&top, QPoint(0, 0));
}

struct LayoutCase {
    unsigned Buttons;
    std::vector<QString> Captions; // visible, left to right
    std::vector<int> Lefts;
    QString Default;
    QString Cancel; // empty: none
};

class MsgBoxLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(MsgBoxLayout, ButtonsSitRightAlignedInTheStrip) {
    const LayoutCase& c = GetParam();
    TMsgDlgForm box;
    box.SetupMessage("Hello", mkWarning, c.Buttons);
    EXPECT_EQ(box.width(), 377);
    EXPECT_EQ(box.height(), 108 + 56);
    EXPECT_EQ(PosIn(*box.PnlButtons, box), QPoint(0, 108));
    EXPECT_EQ(box.PnlButtons->size(), QSize(377, 56));
    EXPECT_EQ(box.PnlSepButtons->geometry(), QRect(0, 0, 377, 1));

    std::vector<QPushButton*> shown;
    for (QPushButton* b : {box.BtnYes, box.BtnNo, box.BtnOk, box.BtnCancel})
        if (b->isVisibleTo(&box)) shown.push_back(b);
    ASSERT_EQ(shown.size(), c.Captions.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i]->text(), c.Captions[i]);
        EXPECT_EQ(PosIn(*shown[i], box), QPoint(c.Lefts[i], 108 + 17)) << i;
        EXPECT_EQ(shown[i]->size(), QSize(75, 25));
    }
    ASSERT_NE(box.DefaultButton(), nullptr);
    EXPECT_EQ(box.DefaultButton()->text(), c.Default);
    EXPECT_TRUE(box.DefaultButton()->isDefault());
    EXPECT_EQ(box.focusWidget(), box.DefaultButton());
    if (c.Cancel.isEmpty())
        EXPECT_EQ(box.CancelButton(), nullptr);
    else
        EXPECT_EQ(box.CancelButton()->text(), c.Cancel);
}

INSTANTIATE_TEST_SUITE_P(
    ButtonSets, MsgBoxLayout,
    ::testing::Values(
        LayoutCase{mbOk, {"Ok"}, {287}, "Ok", ""},
        LayoutCase{mbYesNo, {"&Yes", "&No"}, {207, 287}, "&Yes", "&No"},
        LayoutCase{mbYesNoCancel, {"&Yes", "&No", "Cancel"}, {127, 207, 287}, "&Yes", "Cancel"},
        LayoutCase{mbOkCancel, {"Ok", "Cancel"}, {207, 287}, "Ok", "Cancel"},
        LayoutCase{mbYes | mbNo | mbOk | mbCancel,
                   {"&Yes", "&No", "Ok", "Cancel"},
                   {47, 127, 207, 287},
                   "Ok",
                   "Cancel"}));

struct KindCase {
    TMsgKind Kind;
    QString Heading; // empty: the program's file name
    QStyle::StandardPixmap Icon;
};

class MsgBoxKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(MsgBoxKinds, HeadingAndIconFollowTheKind) {
    const KindCase& c = GetParam();
    TMsgDlgForm box;
    box.SetupMessage("Text", c.Kind, mbOk);
    EXPECT_EQ(box.LblCaption->text(), c.Heading.isEmpty() ? ProgramFileName() : c.Heading);
    EXPECT_EQ(box.LblCaption->pos(), QPoint(16, 20));
    EXPECT_EQ(box.ResIcon->geometry(), QRect(16, 56, 32, 32));
    if (c.Kind != mkPlain) {
        const QImage expected =
            box.style()->standardIcon(c.Icon).pixmap(32, 32).toImage().convertToFormat(
                QImage::Format_ARGB32);
        EXPECT_EQ(box.ResIcon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), expected);
    }
    box.SetupMessage("Text", c.Kind, mbOk, "Own heading");
    EXPECT_EQ(box.LblCaption->text(), "Own heading");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MsgBoxKinds,
    ::testing::Values(KindCase{mkWarning, "Avertissement", QStyle::SP_MessageBoxWarning},
                      KindCase{mkError, "Erreur", QStyle::SP_MessageBoxCritical},
                      KindCase{mkInformation, "Information", QStyle::SP_MessageBoxInformation},
                      KindCase{mkConfirmation, "Confirm", QStyle::SP_MessageBoxQuestion},
                      KindCase{mkPlain, "", QStyle::SP_CustomBase}));

TEST(MsgBox, LongAndManyLinedMessagesGrowTheBox) {
    TMsgDlgForm box;
    const QString text = QString("word ").repeated(40) + "\rline two\r\nthree\rfour\rfive";
    box.SetupMessage(text, mkConfirmation, mbYesNo);
    EXPECT_EQ(box.LblMsg->text().count('\n'), 4);
    EXPECT_EQ(box.LblMsg->text().count('\r'), 0);
    const QRect msg = box.LblMsg->geometry();
    EXPECT_EQ(msg.topLeft(), QPoint(60, 56));
    ASSERT_GT(60 + msg.width() + 16, 377);
    ASSERT_GT(msg.height() + 20, 20 + 32);
    EXPECT_EQ(box.width(), 60 + msg.width() + 16);
    EXPECT_EQ(box.height(), 56 + msg.height() + 20 + 56);
    EXPECT_EQ(box.CaptionSep->geometry().left(), 16);
    EXPECT_EQ(box.CaptionSep->width(), box.width() - 32);
    EXPECT_EQ(box.CaptionSep->height(), 1);
    EXPECT_EQ(box.CaptionSep->Style(), bsGradient);
    EXPECT_GT(box.CaptionSep->y(), box.LblCaption->geometry().bottom());
    EXPECT_LT(box.CaptionSep->y(), 56);
    // The buttons keep to the right edge.
    EXPECT_EQ(PosIn(*box.BtnNo, box).x(), box.width() - 15 - 75);
}

TEST(MsgBox, InputBoxPlacesTheEditUnderThePrompt) {
    TMsgDlgForm box;
    box.SetupInput("", "New name :", "photo.jpg");
    EXPECT_TRUE(box.IsInputBox());
    EXPECT_EQ(box.LblCaption->text(), "Saisie");
    EXPECT_TRUE(box.BtnOk->isVisibleTo(&box));
    EXPECT_TRUE(box.BtnCancel->isVisibleTo(&box));
    EXPECT_FALSE(box.BtnYes->isVisibleTo(&box));
    const QRect edit = box.EdiInput->geometry();
    EXPECT_EQ(edit.left(), 64);
    EXPECT_EQ(edit.width(), box.width() - 16 - 64);
    EXPECT_EQ(edit.top(), box.LblMsg->geometry().bottom() + 1 + 5);
    EXPECT_EQ(box.height(), 108 + edit.height() + 5 + 56);
    EXPECT_EQ(box.EdiInput->selectedText(), "photo.jpg");
    EXPECT_EQ(box.focusWidget(), box.EdiInput);
}

TEST(MsgBox, BodyStripAndHeadingColours) {
    TMsgDlgForm box;
    box.SetupMessage("Hello", mkInformation, mbOk);
    EXPECT_NEAR(box.windowOpacity(), 233.0 / 255.0, 0.01);
    const QImage img = box.grab().toImage();
    const int stripTop = box.PnlButtons->y();
    EXPECT_EQ(img.pixel(200, 10), QColorOf(clWindow).rgb());
    EXPECT_EQ(img.pixel(200, stripTop), QColorOf(clBtnShadow).rgb());
    EXPECT_EQ(img.pixel(10, stripTop + 1), QColorOf(clBtnFace).rgb());
    EXPECT_EQ(img.pixel(10, box.height() - 2), QColorOf(clBtnFace).rgb());
    // The rule starts in the heading's blue and fades toward the body colour.
    const QPoint rule = box.CaptionSep->pos();
    EXPECT_EQ(img.pixel(rule), qRgb(0x12, 0x3C, 0xDE));
    EXPECT_NE(img.pixel(rule + QPoint(box.CaptionSep->width() - 1, 0)), qRgb(0x12, 0x3C, 0xDE));
    EXPECT_EQ(box.LblCaption->palette().color(QPalette::WindowText), QColor(0x12, 0x3C, 0xDE));
    EXPECT_DOUBLE_EQ(box.LblCaption->font().pointSizeF(), box.font().pointSizeF() + 2);
}

TEST(MsgBox, CentredOnTheMainWindow) {
    QWidget main;
    main.setGeometry(100, 50, 1000, 700);
    SetDialogMainWindow(&main);
    TMsgDlgForm box;
    box.SetupMessage("Hello", mkWarning, mbOk);
    SetDialogMainWindow(nullptr);
    EXPECT_LE(std::abs(box.geometry().center().x() - main.frameGeometry().center().x()), 1);
    EXPECT_LE(std::abs(box.geometry().center().y() - main.frameGeometry().center().y()), 1);
}

struct KeyCase {
    unsigned Buttons;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    int Expected;
};

class MsgBoxKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(MsgBoxKeys, KeysAnswerTheBox) {
    const KeyCase& c = GetParam();
    TMsgDlgForm box;
    box.SetupMessage("Question ?", mkConfirmation, c.Buttons);
    QTimer::singleShot(0, &box, [&box, &c] {
        QWidget* target = box.focusWidget() != nullptr ? box.focusWidget() : &box;
        QTest::keyClick(target, c.Key, c.Modifiers);
        EndIfStillOpen(box);
    });
    EXPECT_EQ(box.Execute(), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MsgBoxKeys,
    ::testing::Values(KeyCase{mbYesNo, Qt::Key_Y, Qt::NoModifier, mrYes},
                      KeyCase{mbYesNo, Qt::Key_N, Qt::NoModifier, mrNo},
                      KeyCase{mbYesNo, Qt::Key_Y, Qt::ShiftModifier, mrYes},
                      KeyCase{mbYesNo, Qt::Key_Escape, Qt::NoModifier, mrNo},
                      KeyCase{mbYesNo, Qt::Key_Return, Qt::NoModifier, mrYes},
                      KeyCase{mbYesNoCancel, Qt::Key_Escape, Qt::NoModifier, mrCancel},
                      KeyCase{mbYesNoCancel, Qt::Key_N, Qt::NoModifier, mrNo},
                      KeyCase{mbOk, Qt::Key_Return, Qt::NoModifier, mrOk},
                      KeyCase{mbOk, Qt::Key_Y, Qt::NoModifier, kStillOpen},
                      KeyCase{mbOk, Qt::Key_Escape, Qt::NoModifier, kStillOpen},
                      KeyCase{mbOkCancel, Qt::Key_Escape, Qt::NoModifier, mrCancel},
                      KeyCase{mbOkCancel, Qt::Key_N, Qt::NoModifier, kStillOpen},
                      KeyCase{mbYesNo, Qt::Key_Y, Qt::ControlModifier, kStillOpen}));

TEST(MsgBox, ClosingWithTheTitleBarAnswersCancel) {
    for (unsigned buttons : {unsigned(mbYesNo), unsigned(mbYesNoCancel), unsigned(mbOk)}) {
        TMsgDlgForm box;
        box.SetupMessage("Save the list ?", mkConfirmation, buttons);
        QTimer::singleShot(0, &box, [&box] { box.close(); });
        EXPECT_EQ(box.Execute(), mrCancel) << buttons;
    }
}

TEST(MsgBox, FreeFunctionShowsABoxAndReturnsTheAnswer) {
    QString heading, text;
    TShowHookScope hook([&](TMsgDlgForm& box) {
        heading = box.LblCaption->text();
        text = box.LblMsg->text();
        box.BtnNo->click();
    });
    EXPECT_EQ(MsgBox("Delete ?\rReally ?", mkConfirmation, mbYesNo), mrNo);
    EXPECT_EQ(heading, "Confirm");
    EXPECT_EQ(text, "Delete ?\nReally ?");
}

struct InputCase {
    QString Typed;
    Qt::Key Finish;
    bool Expected;
    QString Result;
};

class InputBoxKeys : public ::testing::TestWithParam<InputCase> {};

TEST_P(InputBoxKeys, EnterTakesTheTextEscLeavesItAlone) {
    const InputCase& c = GetParam();
    TShowHookScope hook([&c](TMsgDlgForm& box) {
        QTest::keyClicks(box.EdiInput, c.Typed);
        QTest::keyClick(box.EdiInput, c.Finish);
        EndIfStillOpen(box);
    });
    QString text = "old comment";
    EXPECT_EQ(InputBox("Comment", "Image comment :", text), c.Expected);
    EXPECT_EQ(text, c.Result);
}

INSTANTIATE_TEST_SUITE_P(Keys, InputBoxKeys,
                         ::testing::Values(InputCase{"new", Qt::Key_Return, true, "new"},
                                           InputCase{"new", Qt::Key_Enter, true, "new"},
                                           InputCase{"", Qt::Key_Return, true, "old comment"},
                                           InputCase{"new", Qt::Key_Escape, false, "old comment"},
                                           InputCase{"ynq", Qt::Key_Return, true, "ynq"}));

TEST(MsgBox, TextsComeFromTheProgramTable) {
    TInterfaceTexts saved = InterfaceTexts();
    InterfaceTexts().Yes = "&Oui";
    InterfaceTexts().Confirm = "Confirmation";
    TMsgDlgForm box;
    box.SetupMessage("?", mkConfirmation, mbYesNo);
    EXPECT_EQ(box.BtnYes->text(), "&Oui");
    EXPECT_EQ(box.LblCaption->text(), "Confirmation");
    InterfaceTexts() = saved;
}

TEST(UserDialogs, TheSeamDefaultsToTheBoxesAndCanBeReplaced) {
    TShowHookScope hook([](TMsgDlgForm& box) { box.BtnYes->click(); });
    EXPECT_EQ(UserDialogs().Message("Go ?", mkConfirmation, mbYesNo), mrYes);

    TScriptedUserDialogs scripted;
    scripted.MessageAnswers = {mrNo};
    scripted.InputAnswers = {QString("typed")};
    {
        TUserDialogsScope scope(scripted);
        EXPECT_EQ(UserDialogs().Message("Go ?", mkConfirmation, mbYesNo), mrNo);
        QString text = "before";
        EXPECT_TRUE(UserDialogs().Input("", "Name :", text));
        EXPECT_EQ(text, "typed");
        EXPECT_FALSE(UserDialogs().Input("", "Name :", text));
        EXPECT_EQ(text, "typed");
    }
    ASSERT_EQ(scripted.Messages.size(), 1u);
    EXPECT_EQ(scripted.Messages[0].Text, "Go ?");
    EXPECT_EQ(scripted.Messages[0].Kind, mkConfirmation);
    EXPECT_EQ(scripted.Messages[0].Buttons, unsigned(mbYesNo));
    // Back to the real boxes once the scope ends.
    EXPECT_EQ(&UserDialogs(), &UserDialogs());
    EXPECT_NE(dynamic_cast<TBoxUserDialogs*>(&UserDialogs()), nullptr);
}

} // namespace
