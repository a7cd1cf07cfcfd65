// SPDX-License-Identifier: GPL-2.0-or-later
// The marks an opening leaves while it runs, and the comment shown before its folder is listed.
#include "viewer/OpeningState.h"
#include "MainFormFixture.h"

#include <stdexcept>

namespace {

TEST(OpeningState, MarksEndWithTheirScopeEvenWhenTheLoadThrows) {
    TOpeningState state;
    try {
        const auto opening = state.Begin();
        const auto loading = state.Loading(true);
        EXPECT_TRUE(state.Busy());
        EXPECT_TRUE(state.Rescanning());
        throw std::runtime_error("decoder");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(state.Busy());
    EXPECT_FALSE(state.Rescanning());
    {
        const auto outer = state.Begin();
        const unsigned mine = state.Count();
        { const auto nested = state.Begin(); }
        EXPECT_NE(state.Count(), mine); // a wait in the first learns that another one came
    }
}

TEST(OpeningState, UnlistedCommentIsTheFileNameWhenNamesShow) {
    TOpeningState state;
    EXPECT_FALSE(state.UnlistedComment());
    state.SetUnlistedComment(QStringLiteral("/photos/2024/beach.jpg"), true);
    EXPECT_EQ(state.UnlistedComment(), std::optional<QString>(QStringLiteral("beach.jpg")));
    // Without names the comment is empty, not the list's comment of another entry.
    state.SetUnlistedComment(QStringLiteral("/photos/2024/beach.jpg"), false);
    EXPECT_EQ(state.UnlistedComment(), std::optional<QString>(QString()));
    state.ClearUnlistedComment();
    EXPECT_FALSE(state.UnlistedComment());
}

} // namespace
