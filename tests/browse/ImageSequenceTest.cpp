// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ImageSequence.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// A list of n entries p0..p(n-1), not modified, with the given current entry.
TImageSequence MakeList(int n, int current) {
    TImageSequence list;
    for (int i = 0; i < n; ++i)
        list.AddImage(QStringLiteral("p%1").arg(i));
    list.SetCurrent(current);
    list.SetModified(false);
    return list;
}

enum class Op { First, Last, Next, Previous, CurrentPath };

struct NavCase {
    int count, current;
    Op op;
    bool wrap;
    const char* path; // "" for an empty result
    int after;        // current afterwards
    const char* text; // position text handed over, nullptr when none
};

void PrintTo(const NavCase& c, std::ostream* os) {
    *os << "count " << c.count << " current " << c.current << " op " << int(c.op) << " wrap "
        << c.wrap;
}

class NavigationTest : public ::testing::TestWithParam<NavCase> {};

TEST_P(NavigationTest, ReturnsPathMovesCurrentAndReportsPosition) {
    const NavCase c = GetParam();
    TImageSequence list = MakeList(c.count, c.current);
    QStringList texts;
    list.OnPositionText = [&texts](const QString& t) { texts.push_back(t); };
    QString path;
    switch (c.op) {
    case Op::First:
        path = list.First();
        break;
    case Op::Last:
        path = list.Last();
        break;
    case Op::Next:
        path = list.Next(c.wrap);
        break;
    case Op::Previous:
        path = list.Previous(c.wrap);
        break;
    case Op::CurrentPath:
        path = list.CurrentPath();
        break;
    }
    EXPECT_EQ(path, QString::fromLatin1(c.path));
    EXPECT_EQ(list.Current(), c.after);
    if (c.text)
        EXPECT_EQ(texts, QStringList{QString::fromLatin1(c.text)});
    else
        EXPECT_TRUE(texts.isEmpty());
    EXPECT_FALSE(list.Modified());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NavigationTest,
    ::testing::Values(
        // Empty list: nothing is chosen, nothing is reported.
        NavCase{0, -1, Op::First, false, "", -1, nullptr},
        NavCase{0, -1, Op::Last, false, "", -1, nullptr},
        NavCase{0, -1, Op::Next, true, "", -1, nullptr},
        NavCase{0, -1, Op::Previous, true, "", -1, nullptr},
        NavCase{0, -1, Op::CurrentPath, false, "", -1, nullptr},
        // No current entry: Next acts as First, Previous as Last, CurrentPath as First.
        NavCase{5, -1, Op::Next, false, "p0", 0, "1/5"},
        NavCase{5, -1, Op::Previous, false, "p4", 4, "5/5"},
        NavCase{5, -1, Op::CurrentPath, false, "p0", 0, "1/5"},
        NavCase{3, 1, Op::First, false, "p0", 0, "1/3"},
        NavCase{3, 1, Op::Last, false, "p2", 2, "3/3"},
        NavCase{3, 1, Op::Next, false, "p2", 2, "3/3"},
        NavCase{3, 1, Op::Previous, false, "p0", 0, "1/3"},
        NavCase{3, 1, Op::CurrentPath, false, "p1", 1, "2/3"},
        // At the ends: only wrap with more than one entry goes round.
        NavCase{3, 2, Op::Next, false, "", 2, nullptr},
        NavCase{3, 2, Op::Next, true, "p0", 0, "1/3"},
        NavCase{3, 0, Op::Previous, false, "", 0, nullptr},
        NavCase{3, 0, Op::Previous, true, "p2", 2, "3/3"},
        NavCase{1, 0, Op::Next, true, "", 0, nullptr},
        NavCase{1, 0, Op::Previous, true, "", 0, nullptr},
        NavCase{2, 1, Op::Next, true, "p0", 0, "1/2"}));

struct CanGoCase {
    int count, current;
    bool wrap;
    bool next, previous, atFirst, atLast, several;
};

class CanGoTest : public ::testing::TestWithParam<CanGoCase> {};

TEST_P(CanGoTest, AnswersMatchWhatNavigationWouldDo) {
    const CanGoCase c = GetParam();
    const TImageSequence list = MakeList(c.count, c.current);
    EXPECT_EQ(list.CanGoNext(c.wrap), c.next);
    EXPECT_EQ(list.CanGoPrevious(c.wrap), c.previous);
    EXPECT_EQ(list.IsAtFirst(), c.atFirst);
    EXPECT_EQ(list.IsAtLast(), c.atLast);
    EXPECT_EQ(list.HasSeveral(), c.several);
    // The answers agree with the navigation itself.
    TImageSequence probe = MakeList(c.count, c.current);
    EXPECT_EQ(!probe.Next(c.wrap).isEmpty(), c.next);
    probe = MakeList(c.count, c.current);
    EXPECT_EQ(!probe.Previous(c.wrap).isEmpty(), c.previous);
}

INSTANTIATE_TEST_SUITE_P(Cases, CanGoTest,
                         ::testing::Values(CanGoCase{0, -1, false, false, false, false, true,
                                                     false},
                                           CanGoCase{0, -1, true, false, false, false, true, false},
                                           CanGoCase{1, -1, false, true, true, false, false, false},
                                           CanGoCase{1, 0, false, false, false, true, true, false},
                                           CanGoCase{1, 0, true, false, false, true, true, false},
                                           CanGoCase{3, 0, false, true, false, true, false, true},
                                           CanGoCase{3, 0, true, true, true, true, false, true},
                                           CanGoCase{3, 1, false, true, true, false, false, true},
                                           CanGoCase{3, 2, false, false, true, false, true, true},
                                           CanGoCase{3, 2, true, true, true, false, true, true}));

TEST(ImageSequence, StartsEmptyWithTheCommonImagesMask) {
    const TImageSequence list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Current(), -1);
    EXPECT_FALSE(list.Modified());
    EXPECT_TRUE(list.FileName().isEmpty());
    EXPECT_EQ(list.FolderMask(), "*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.tga;*.bmp;*.gif;*.oxi;*.webp;"
                                 "*.avif;*.heic;*.heif;*.jxl;*.svg");
}

TEST(ImageSequence, SetFolderMaskRemovesSpaces) {
    TImageSequence list;
    list.SetFolderMask(" *.png; *.jpg ;*.tif ");
    EXPECT_EQ(list.FolderMask(), "*.png;*.jpg;*.tif");
}

TEST(ImageSequence, SelectPathIgnoresCaseAndTakesTheFirstMatch) {
    TImageSequence list;
    for (const char* p : {"D:/Photos/b.jpg", "D:/Photos/a.jpg", "d:/photos/A.JPG"})
        list.AddImage(QString::fromLatin1(p));
    QString text;
    list.OnPositionText = [&text](const QString& t) { text = t; };
    EXPECT_TRUE(list.SelectPath("D:/PHOTOS/A.JPG"));
    EXPECT_EQ(list.Current(), 1);
    EXPECT_EQ(text, "2/3");
    text.clear();
    EXPECT_FALSE(list.SelectPath("D:/Photos/c.jpg"));
    EXPECT_EQ(list.Current(), 1);
    EXPECT_TRUE(text.isEmpty());
}

TEST(ImageSequence, SelectPathPrefersTheEntrySpelledExactly) {
    TImageSequence list;
    for (const char* p : {"/f/IMG_1.JPG", "/f/img_1.jpg", "/f/img_2.jpg"})
        list.AddImage(QString::fromLatin1(p));
    QString text;
    list.OnPositionText = [&text](const QString& t) { text = t; };
    EXPECT_TRUE(list.SelectPath("/f/img_1.jpg"));
    EXPECT_EQ(list.Current(), 1);
    EXPECT_EQ(text, "2/3");
    EXPECT_TRUE(list.SelectPath("/f/IMG_1.JPG"));
    EXPECT_EQ(list.Current(), 0);
    EXPECT_TRUE(list.SelectPath("/f/Img_1.jpg"));
    EXPECT_EQ(list.Current(), 0) << "no exact spelling: the first equal one";
}

struct OpenedFileCase {
    const char* name;
    const char* opened;
    int current;
    QStringList entries;
};

class SelectOpenedFile : public ::testing::TestWithParam<OpenedFileCase> {};

// The list of a folder's a.png and c.png, built by a fill, then the file the user opened.
TEST_P(SelectOpenedFile, ListedFileIsChosenAndAnyOtherJoinsInNameOrder) {
    const OpenedFileCase& c = GetParam();
    TImageSequence list;
    for (const char* p : {"/f/a.png", "/f/c.png"})
        list.AddImage(QString::fromLatin1(p));
    list.SetModified(false);
    QString text;
    list.OnPositionText = [&text](const QString& t) { text = t; };
    list.SelectOpenedFile(QString::fromLatin1(c.opened));
    EXPECT_EQ(list.Current(), c.current);
    EXPECT_EQ(text, QStringLiteral("%1/%2").arg(c.current + 1).arg(c.entries.size()));
    QStringList paths;
    for (const TSequenceEntry& e : list.Entries())
        paths << e.Path;
    EXPECT_EQ(paths, c.entries);
    EXPECT_FALSE(list.Modified());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectOpenedFile,
    ::testing::Values(
        OpenedFileCase{"listed", "/f/c.png", 1, {"/f/a.png", "/f/c.png"}},
        OpenedFileCase{"listedOtherCase", "/f/A.PNG", 0, {"/f/a.png", "/f/c.png"}},
        OpenedFileCase{"between", "/f/b.ppm", 1, {"/f/a.png", "/f/b.ppm", "/f/c.png"}},
        OpenedFileCase{"before", "/f/0.pcx", 0, {"/f/0.pcx", "/f/a.png", "/f/c.png"}},
        OpenedFileCase{"after", "/f/z.psd", 2, {"/f/a.png", "/f/c.png", "/f/z.psd"}},
        OpenedFileCase{"upperCaseByName", "/f/B.PPM", 1, {"/f/a.png", "/f/B.PPM", "/f/c.png"}},
        OpenedFileCase{"sameBaseName", "/f/a.ppm", 1, {"/f/a.png", "/f/a.ppm", "/f/c.png"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CommentCase {
    const char* path;
    const char* comment;
    bool useFileName;
    const char* expected;
};

class CurrentCommentTest : public ::testing::TestWithParam<CommentCase> {};

TEST_P(CurrentCommentTest, FallsBackToTheFileNameOnlyWhenAskedAndEmpty) {
    const CommentCase c = GetParam();
    TImageSequence list;
    list.AddImage(QString::fromUtf8(c.path));
    list.SetCurrent(0);
    list.SetComment(0, QString::fromUtf8(c.comment));
    EXPECT_EQ(list.CurrentComment(c.useFileName), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, CurrentCommentTest,
                         ::testing::Values(CommentCase{"/img/photo.jpg", "sunset", true, "sunset"},
                                           CommentCase{"/img/photo.jpg", "sunset", false, "sunset"},
                                           CommentCase{"/img/photo.jpg", "", true, "photo.jpg"},
                                           CommentCase{"/img/photo.jpg", "", false, ""},
                                           CommentCase{"photo", "", true, "photo"},
                                           CommentCase{"rel/été.png", "", true, "été.png"}));

TEST(ImageSequence, CommentOperationsWithoutCurrentEntryChangeNothing) {
    TImageSequence list = MakeList(2, -1);
    list.SetCurrentComment("x");
    list.RenameCurrent("y");
    list.RemoveCurrent();
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Entries()[0], (TSequenceEntry{"p0", ""}));
    EXPECT_EQ(list.CurrentComment(true), "");
    EXPECT_FALSE(list.Modified());
    EXPECT_FALSE(list.HasAnyComment());
}

TEST(ImageSequence, CommentAndRenameOfTheCurrentEntry) {
    TImageSequence list = MakeList(3, 1);
    list.RenameCurrent("/new/name.jpg");
    EXPECT_FALSE(list.Modified()); // a rename on disk is not an edit of the list
    list.SetCurrentComment("note");
    EXPECT_TRUE(list.Modified());
    EXPECT_TRUE(list.HasAnyComment());
    EXPECT_EQ(list.Entries()[1], (TSequenceEntry{"/new/name.jpg", "note"}));
    list.RenameCurrent("/again.jpg");
    EXPECT_EQ(list.Entries()[1].Comment, "note");
}

struct RemoveCase {
    int count, current;
    int after;
    QStringList remaining;
};

class RemoveCurrentTest : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveCurrentTest, NextEntryOrNewLastBecomesCurrent) {
    const RemoveCase c = GetParam();
    TImageSequence list = MakeList(c.count, c.current);
    list.RemoveCurrent();
    EXPECT_EQ(list.Current(), c.after);
    QStringList paths;
    for (const TSequenceEntry& e : list.Entries())
        paths.push_back(e.Path);
    EXPECT_EQ(paths, c.remaining);
    EXPECT_FALSE(list.Modified());
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoveCurrentTest,
                         ::testing::Values(RemoveCase{3, 0, 0, {"p1", "p2"}},
                                           RemoveCase{3, 1, 1, {"p0", "p2"}},
                                           RemoveCase{3, 2, 1, {"p0", "p1"}},
                                           RemoveCase{1, 0, -1, {}}));

// Hand edits of the sequence manager: each marks the list, the current entry follows its entry.
struct EditCase {
    const char* name;
    std::function<void(TImageSequence&)> edit;
    QStringList paths;
    int current;
};

class EditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditTest, EditsMarkTheListAndKeepTheSelection) {
    const EditCase& c = GetParam();
    TImageSequence list = MakeList(3, 1);
    c.edit(list);
    QStringList paths;
    for (const TSequenceEntry& e : list.Entries())
        paths.push_back(e.Path);
    EXPECT_EQ(paths, c.paths);
    EXPECT_EQ(list.Current(), c.current);
    EXPECT_TRUE(list.Modified());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditTest,
    ::testing::Values(
        EditCase{"UpSelected", [](TImageSequence& l) { l.MoveUp(1); }, {"p1", "p0", "p2"}, 0},
        EditCase{"DownSelected", [](TImageSequence& l) { l.MoveDown(1); }, {"p0", "p2", "p1"}, 2},
        EditCase{"UpBelowSelected", [](TImageSequence& l) { l.MoveUp(2); }, {"p0", "p2", "p1"}, 2},
        EditCase{"RemoveBefore", [](TImageSequence& l) { l.RemoveAt(0); }, {"p1", "p2"}, 0},
        EditCase{"RemoveSelected", [](TImageSequence& l) { l.RemoveAt(1); }, {"p0", "p2"}, 1},
        EditCase{"RemoveAll", [](TImageSequence& l) { l.RemoveAll(); }, {}, -1},
        EditCase{"Add", [](TImageSequence& l) { l.AddImage("x"); }, {"p0", "p1", "p2", "x"}, 1},
        EditCase{
            "Comment", [](TImageSequence& l) { l.SetComment(2, "c"); }, {"p0", "p1", "p2"}, 1}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(ImageSequence, MovesPastTheEndsAreIgnored) {
    TImageSequence list = MakeList(2, 0);
    list.MoveUp(0);
    list.MoveDown(1);
    list.MoveUp(5);
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(list.Entries()[0].Path, "p0");
}

TEST(ImageSequence, RestoreBringsBackEntriesAndCurrentButNotTheMark) {
    TImageSequence list = MakeList(3, 2);
    list.SetComment(0, "old");
    list.SetModified(false);
    const TImageSequence::TSnapshot snap = list.Snapshot();
    list.SetComment(0, "new");
    list.RemoveAt(1);
    list.SetCurrent(0);
    list.Restore(snap);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Current(), 2);
    EXPECT_EQ(list.Entries()[0].Comment, "old");
    EXPECT_TRUE(list.Modified());
}

} // namespace
