// SPDX-License-Identifier: GPL-2.0-or-later
// The plain functions under the main window: arguments, start-up bounds, the view rectangle,
// the comment's place and the file dialog filters.
#include "TestPrinters.h"
#include "browse/CommandLine.h"
#include "browse/MainLayout.h"
#include "viewer/FileChooser.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

// Paths that exist for these tests, whatever the machine holds.
bool FakeExists(const QString& path) {
    static const QSet<QString> existing{"/photos", "/photos/a.jpg", "/diaporama=0"};
    return existing.contains(path);
}

struct TSwitchCase {
    const char* name;
    QStringList args;
    int expected;
};

class SlideshowSwitch : public ::testing::TestWithParam<TSwitchCase> {};

TEST_P(SlideshowSwitch, ReadsTheLastKnownValue) {
    EXPECT_EQ(ReadSlideshowSwitch(GetParam().args, FakeExists), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, SlideshowSwitch,
    ::testing::Values(TSwitchCase{"none", {"/photos"}, -1},
                      TSwitchCase{"dashOne", {"-diaporama=1"}, 1},
                      TSwitchCase{"upperCaseOui", {"-DIAPORAMA=OUI"}, 1},
                      TSwitchCase{"slashNon", {"/diaporama=non"}, 0},
                      TSwitchCase{"laterWins", {"-diaporama=1", "-diaporama=0"}, 0},
                      TSwitchCase{"unknownValueKeeps", {"-diaporama=1", "-diaporama=yes"}, 1},
                      TSwitchCase{"wrongPlace", {"--diaporama=1"}, -1},
                      // An existing absolute path is a path, even when it reads like a switch.
                      TSwitchCase{"existingPathIsNoSwitch", {"/diaporama=0"}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct TOpenCase {
    const char* name;
    QStringList args;
    QString expected;
};

class OpenArgumentChoice : public ::testing::TestWithParam<TOpenCase> {};

TEST_P(OpenArgumentChoice, SkipsSwitchesAndThemes) {
    EXPECT_EQ(OpenArgument(GetParam().args, FakeExists), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, OpenArgumentChoice,
    ::testing::Values(TOpenCase{"absoluteFolder", {"/photos"}, "/photos"},
                      TOpenCase{"afterSwitch", {"-diaporama=1", "/photos/a.jpg"}, "/photos/a.jpg"},
                      TOpenCase{"themeSkipped", {"x.TLT", "photo.jpg"}, "photo.jpg"},
                      TOpenCase{"missingSlashPathIsSwitch", {"/nowhere", "b.png"}, "b.png"},
                      TOpenCase{"onlySwitch", {"-diaporama=1"}, ""},
                      TOpenCase{"firstWins", {"a.png", "b.png"}, "a.png"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupBounds, InsetsComeFromTheScreenWidth) {
    struct TCase {
        TRect work;
        int width;
        TRect expected;
    };
    const TCase cases[] = {
        {{0, 0, 1280, 1024}, 1280, {106, 80, 1174, 944}},
        {{0, 0, 1920, 1080}, 1920, {160, 120, 1760, 960}},
        // A task bar at the bottom: only the work area moves, the insets stay.
        {{0, 0, 1920, 1040}, 1920, {160, 120, 1760, 920}},
        {{1920, 30, 3200, 1024}, 1280, {2026, 110, 3094, 944}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(StartupBounds(c.work, c.width), c.expected);
}

struct TViewCase {
    const char* name;
    std::function<void(TViewerSettings&)> edit;
    TRect expected; // display area (10, 50, 810, 650)
};

class ViewRect : public ::testing::TestWithParam<TViewCase> {};

TEST_P(ViewRect, EachDecorationTakesItsShare) {
    TViewerSettings s;
    s.bcadre = false;
    s.bombre = false;
    GetParam().edit(s);
    EXPECT_EQ(ViewRectFor(TRect{10, 50, 810, 650}, s), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layout, ViewRect,
    ::testing::Values(TViewCase{"plain", [](TViewerSettings&) {}, {10, 50, 810, 650}},
                      TViewCase{"frameAndShadow",
                                [](TViewerSettings& s) {
                                    s.bcadre = true;
                                    s.cadre.width = 15;
                                    s.bombre = true;
                                },
                                {25, 65, 788, 628}},
                      TViewCase{"shadowAnd3dBothReserve",
                                [](TViewerSettings& s) {
                                    s.bombre = true;
                                    s.b3d = true;
                                },
                                {12, 52, 801, 641}},
                      TViewCase{"commentBelowImage",
                                [](TViewerSettings& s) {
                                    s.bcmt = true;
                                    s.pcmt = 0;
                                },
                                {10, 50, 810, 610}},
                      TViewCase{"commentAboveImage",
                                [](TViewerSettings& s) {
                                    s.bcmt = true;
                                    s.pcmt = 1;
                                },
                                {10, 90, 810, 650}},
                      TViewCase{"regionInside",
                                [](TViewerSettings& s) {
                                    s.region = TRect{100, 0, 2147483647, 2147483647};
                                },
                                {100, 50, 810, 650}},
                      TViewCase{"regionOutside",
                                [](TViewerSettings& s) {
                                    s.region = TRect{5000, 5000, 6000, 6000};
                                },
                                {0, 0, 0, 0}},
                      TViewCase{"frameWiderThanArea",
                                [](TViewerSettings& s) {
                                    s.bcadre = true;
                                    s.cadre.width = 50;
                                    s.region = TRect{0, 0, 100, 100};
                                },
                                {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommentPlace, BelowOrAboveAndCentredTruncatingTowardZero) {
    const TRect r{100, 200, 301, 400}; // 201 wide
    EXPECT_EQ(CommentPlace(r, 50, 16, 0), QPoint(100 + 75, 405));
    EXPECT_EQ(CommentPlace(r, 50, 16, 1), QPoint(175, 200 - 16 - 5));
    // Wider than the image: starts left of it; (201 - 300) / 2 is -49, not -50.
    EXPECT_EQ(CommentPlace(r, 300, 16, 0), QPoint(51, 405));
}

TEST(QtNameFilters, PipeFiltersBecomeDialogFilters) {
    EXPECT_EQ(QtNameFilters("Sequence files (*.stl)|*.stl"), QStringList{"Sequence files (*.stl)"});
    EXPECT_EQ(QtNameFilters("All images|*.*|JPEG (*.jpg; *.jpeg)|*.jpg;*.jpeg|Odd|"),
              (QStringList{"All images (*)", "JPEG (*.jpg *.jpeg)", "Odd ()"}));
    EXPECT_TRUE(QtNameFilters("").isEmpty());
}

} // namespace
