// SPDX-License-Identifier: GPL-2.0-or-later
// The sequence manager's list: button states, the edits, the live comment, the snapshot that
// Cancel puts back, Enter and Escape, and the focus moves between the two panes.
#include "SequenceFormFixture.h"

#include <QTest>

namespace {

struct TStateCase {
    const char* name;
    int entries;
    int selected;
    bool ok, remove, removeAll, save, up, down;
    const char* count;
};

void PrintTo(const TStateCase& c, std::ostream* os) {
    *os << c.name;
}

class ManagerButtonStates : public SequenceFormTest,
                            public ::testing::WithParamInterface<TStateCase> {};

TEST_P(ManagerButtonStates, FollowTheListAndItsSelection) {
    const TStateCase& c = GetParam();
    m_sequence.RemoveAll();
    for (int i = 0; i < c.entries; ++i) {
        m_sequence.AddImage(Img(QStringLiteral("e%1.png").arg(i)));
        m_sequence.SetComment(i, QStringLiteral("note %1").arg(i));
    }
    m_sequence.SetCurrent(c.selected);
    TSequenceForm& form = Open();
    EXPECT_EQ(form.SelectedEntry(), c.selected);
    EXPECT_EQ(form.BOk->isEnabled(), c.ok);
    EXPECT_EQ(form.BSupprimer->isEnabled(), c.remove);
    EXPECT_EQ(form.BSupprimerTout->isEnabled(), c.removeAll);
    EXPECT_EQ(form.BSauver->isEnabled(), c.save);
    EXPECT_EQ(form.BMonter->isEnabled(), c.up);
    EXPECT_EQ(form.BDescendre->isEnabled(), c.down);
    EXPECT_TRUE(form.BAjouterTout->isEnabled());
    EXPECT_FALSE(form.BAjouter->isEnabled());
    EXPECT_EQ(form.LNombre->text(), QString(c.count));
    EXPECT_EQ(form.EdiCommentaire->isEnabled(), c.selected >= 0);
    EXPECT_EQ(form.EdiCommentaire->text(),
              c.selected >= 0 ? QStringLiteral("note %1").arg(c.selected) : QString());
    EXPECT_EQ(form.focusWidget(), c.ok ? form.BOk : form.BAnnuler);
}

INSTANTIATE_TEST_SUITE_P(
    States, ManagerButtonStates,
    ::testing::Values(
        TStateCase{"empty", 0, -1, false, false, false, false, false, false, "0 file"},
        TStateCase{"oneUnselected", 1, -1, true, false, true, true, false, false, "1 file"},
        TStateCase{"oneSelected", 1, 0, true, true, true, true, false, false, "1 file"},
        TStateCase{"firstOfThree", 3, 0, true, true, true, true, false, true, "3 files"},
        TStateCase{"middleOfThree", 3, 1, true, true, true, true, true, true, "3 files"},
        TStateCase{"lastOfThree", 3, 2, true, true, true, true, true, false, "3 files"},
        TStateCase{"threeUnselected", 3, -1, true, false, true, true, false, false, "3 files"}),
    [](const auto& info) { return std::string(info.param.name); });

enum TEdit { eUp, eDown, eRemove, eRemoveAll };

struct TEditCase {
    const char* name;
    int selected;
    TEdit edit;
    QStringList names;
    QStringList comments;
    int selectedAfter;
    bool upAfter, downAfter;
};

void PrintTo(const TEditCase& c, std::ostream* os) {
    *os << c.name;
}

class ManagerListEdits : public SequenceFormTest,
                         public ::testing::WithParamInterface<TEditCase> {};

TEST_P(ManagerListEdits, MoveEntriesWithTheirCommentsAndKeepASelection) {
    const TEditCase& c = GetParam();
    SetEntries({{"a.png", "one"}, {"b.png", ""}, {"c.png", "three"}});
    TSequenceForm& form = Open();
    form.SelectEntry(c.selected);
    QPushButton* button = c.edit == eUp       ? form.BMonter
                          : c.edit == eDown   ? form.BDescendre
                          : c.edit == eRemove ? form.BSupprimer
                                              : form.BSupprimerTout;
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(Names(), c.names);
    EXPECT_EQ(Comments(), c.comments);
    EXPECT_EQ(ListPane().size(), c.names.size());
    EXPECT_EQ(form.SelectedEntry(), c.selectedAfter);
    EXPECT_EQ(m_sequence.Current(), c.selectedAfter);
    EXPECT_TRUE(m_sequence.Modified());
    EXPECT_EQ(form.BMonter->isEnabled(), c.upAfter);
    EXPECT_EQ(form.BDescendre->isEnabled(), c.downAfter);
    EXPECT_EQ(
        form.LNombre->text(),
        QStringLiteral("%1 %2").arg(c.names.size()).arg(c.names.size() > 1 ? "files" : "file"));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ManagerListEdits,
    ::testing::Values(
        TEditCase{"upFromMiddle",
                  1,
                  eUp,
                  {"b.png", "a.png", "c.png"},
                  {"", "one", "three"},
                  0,
                  false,
                  true},
        TEditCase{
            "upFromLast", 2, eUp, {"a.png", "c.png", "b.png"}, {"one", "three", ""}, 1, true, true},
        TEditCase{"downFromMiddle",
                  1,
                  eDown,
                  {"a.png", "c.png", "b.png"},
                  {"one", "three", ""},
                  2,
                  true,
                  false},
        TEditCase{"downFromFirst",
                  0,
                  eDown,
                  {"b.png", "a.png", "c.png"},
                  {"", "one", "three"},
                  1,
                  true,
                  true},
        TEditCase{"removeMiddleSelectsTheNext",
                  1,
                  eRemove,
                  {"a.png", "c.png"},
                  {"one", "three"},
                  1,
                  true,
                  false},
        TEditCase{"removeLastSelectsTheNewLast",
                  2,
                  eRemove,
                  {"a.png", "b.png"},
                  {"one", ""},
                  1,
                  true,
                  false},
        TEditCase{"removeFirst", 0, eRemove, {"b.png", "c.png"}, {"", "three"}, 0, false, true},
        TEditCase{"removeAll", 1, eRemoveAll, {}, {}, -1, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceFormTest, RemovingTheOnlyEntryLeavesNothingSelected) {
    SetEntries({{"a.png", "one"}}, 0);
    TSequenceForm& form = Open();
    QTest::mouseClick(form.BSupprimer, Qt::LeftButton);
    EXPECT_TRUE(m_sequence.Empty());
    EXPECT_EQ(m_sequence.Current(), -1);
    EXPECT_FALSE(form.BOk->isEnabled());
    EXPECT_FALSE(form.EdiCommentaire->isEnabled());
    EXPECT_EQ(form.LNombre->text(), QStringLiteral("0 file"));
}

TEST_F(SequenceFormTest, TypedCommentsReachTheEntryAtEveryKeystroke) {
    SetEntries({{"a.png", "one"}, {"b.png", ""}, {"c.png", "three"}});
    TSequenceForm& form = Open();
    form.SelectEntry(2);
    EXPECT_EQ(form.EdiCommentaire->text(), QStringLiteral("three"));
    EXPECT_FALSE(m_sequence.Modified()) << "showing a comment is no edit";
    form.SelectEntry(1);
    EXPECT_EQ(form.EdiCommentaire->text(), QString());
    QTest::keyClicks(form.EdiCommentaire, QStringLiteral("su"));
    EXPECT_EQ(Comments(), (QStringList{"one", "su", "three"}));
    EXPECT_TRUE(m_sequence.Modified());
    QTest::keyClicks(form.EdiCommentaire, QStringLiteral("nset"));
    EXPECT_EQ(Comments(), (QStringList{"one", "sunset", "three"}));
    form.SelectEntry(0);
    EXPECT_EQ(form.EdiCommentaire->text(), QStringLiteral("one"));
    form.SelectEntry(-1);
    EXPECT_EQ(form.EdiCommentaire->text(), QString());
    EXPECT_FALSE(form.EdiCommentaire->isEnabled());
    EXPECT_EQ(Comments(), (QStringList{"one", "sunset", "three"}));
}

enum TClose { cCancelButton, cEscape, cCloseBox, cOkButton, cEnterOnList };

struct TCloseCase {
    const char* name;
    TClose how;
    bool restored;
};

void PrintTo(const TCloseCase& c, std::ostream* os) {
    *os << c.name;
}

class ManagerClosing : public SequenceFormTest, public ::testing::WithParamInterface<TCloseCase> {};

TEST_P(ManagerClosing, PutsTheSnapshotBackUnlessOk) {
    const TCloseCase& c = GetParam();
    SetEntries({{"a.png", "one"}, {"b.png", "two"}, {"c.png", ""}}, 1);
    const QList<TSequenceEntry> before = m_sequence.Entries();
    TSequenceForm& form = Open();
    QTest::keyClicks(form.EdiCommentaire, QStringLiteral("!"));
    QTest::mouseClick(form.BMonter, Qt::LeftButton);
    form.SelectEntry(2);
    QTest::mouseClick(form.BSupprimer, Qt::LeftButton);
    const QList<TSequenceEntry> edited = m_sequence.Entries();
    const int editedCurrent = m_sequence.Current();
    ASSERT_EQ(edited.size(), 2);

    switch (c.how) {
    case cCancelButton:
        QTest::mouseClick(form.BAnnuler, Qt::LeftButton);
        break;
    case cEscape:
        QTest::keyClick(&form, Qt::Key_Escape);
        break;
    case cCloseBox:
        form.close();
        break;
    case cOkButton:
        QTest::mouseClick(form.BOk, Qt::LeftButton);
        break;
    case cEnterOnList:
        QTest::keyClick(form.LBImages, Qt::Key_Return);
        break;
    }
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), c.restored ? QDialog::Rejected : QDialog::Accepted);
    EXPECT_FALSE(form.SnapshotTaken());
    EXPECT_EQ(m_sequence.Entries(), c.restored ? before : edited);
    EXPECT_EQ(m_sequence.Current(), c.restored ? 1 : editedCurrent);
    EXPECT_EQ(form.LNombre->text(), c.restored ? QStringLiteral("3 files") : "2 files");
    EXPECT_TRUE(m_sequence.Modified()) << "the mark keeps what the edits gave it";
}

INSTANTIATE_TEST_SUITE_P(Closes, ManagerClosing,
                         ::testing::Values(TCloseCase{"cancel", cCancelButton, true},
                                           TCloseCase{"escape", cEscape, true},
                                           TCloseCase{"closeBox", cCloseBox, true},
                                           TCloseCase{"ok", cOkButton, false},
                                           TCloseCase{"enterOnList", cEnterOnList, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceFormTest, EachShowingTakesAFreshSnapshot) {
    SetEntries({{"a.png", ""}, {"b.png", ""}}, 0);
    TSequenceForm& form = Open();
    QTest::mouseClick(form.BSupprimer, Qt::LeftButton);
    QTest::mouseClick(form.BOk, Qt::LeftButton);
    ASSERT_EQ(Names(), QStringList{"b.png"});
    Open();
    QTest::mouseClick(form.BSupprimerTout, Qt::LeftButton);
    QTest::mouseClick(form.BAnnuler, Qt::LeftButton);
    EXPECT_EQ(Names(), QStringList{"b.png"});
}

TEST_F(SequenceFormTest, EnterInTheCommentGoesToTheListAndNeverCloses) {
    SetEntries({{"a.png", ""}, {"b.png", ""}}, 1);
    TSequenceForm& form = Open();
    QTest::keyClick(form.EdiCommentaire, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), form.LBImages);
    QTest::keyClick(form.EdiCommentaire, Qt::Key_Enter);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(SequenceFormTest, EnterElsewhereClosesOnlyWhenOkIsEnabled) {
    TSequenceForm& form = Open();
    for (QWidget* w : std::initializer_list<QWidget*>{form.BSupprimerTout, form.LBFichiers,
                                                      form.BAjouterTout, &form})
        QTest::keyClick(w, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible()) << "empty list: OK is disabled";
    form.DropFiles({WriteSeries(1)[0]});
    ASSERT_TRUE(form.BOk->isEnabled());
    QTest::keyClick(form.BSupprimerTout, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Names(), QStringList{"a.png"}) << "Enter on a button does not press it";
}

TEST_F(SequenceFormTest, EnteringOnePaneClearsTheOthersSelection) {
    const QStringList files = WriteSeries(3);
    SetEntries({{"a.png", ""}, {"b.png", ""}}, 1);
    TSequenceForm& form = Open();
    ASSERT_EQ(FilePane(), (QStringList{"a.png", "b.png", "c.png"}));

    form.SelectFile(2);
    EXPECT_TRUE(form.BAjouter->isEnabled());
    Focus(form.LBImages);
    EXPECT_EQ(form.SelectedFile(), QString());
    EXPECT_FALSE(form.BAjouter->isEnabled());
    EXPECT_EQ(form.SelectedEntry(), 1) << "the list keeps its own selection";
    EXPECT_TRUE(PreviewCleared());

    form.SelectEntry(0);
    EXPECT_FALSE(PreviewCleared());
    Focus(form.LBFichiers);
    EXPECT_EQ(form.SelectedEntry(), -1);
    EXPECT_EQ(m_sequence.Current(), -1);
    EXPECT_FALSE(form.BSupprimer->isEnabled());
    EXPECT_FALSE(form.EdiCommentaire->isEnabled());
    EXPECT_TRUE(PreviewCleared());
}

} // namespace
