// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/AnimationPlayer.h"

#include "core/Errors.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Frames of the given delays; frame `broken` (if any) throws when decoded.
class TFakeSource : public IFrameSource {
public:
    TFakeSource(std::vector<int> delays, int loops, int broken = -1)
        : Delays(std::move(delays)), Loops(loops), Broken(broken) {}
    int FrameCount() const override { return int(Delays.size()); }
    int LoopCount() const override { return Loops; }
    QSize CanvasSize() const override { return {2, 2}; }
    TAnimationFrame NextFrame() override {
        const int index = Next;
        Next = (Next + 1) % FrameCount();
        if (index == Broken) throw ETaveluneError("damaged frame");
        TAnimationFrame frame;
        frame.Index = index;
        frame.Delay = FrameDelay(Delays[size_t(index)]);
        return frame;
    }
    void Rewind() override { Next = 0; }

private:
    std::vector<int> Delays;
    int Loops;
    int Broken;
    int Next = 0;
};

TAnimationPlayer MakePlayer(std::vector<int> delays, int loops, int broken = -1) {
    return TAnimationPlayer(std::make_unique<TFakeSource>(std::move(delays), loops, broken));
}

// Frame indices and delays shown on successive ticks, until playback ends or `ticks` run out.
std::vector<std::pair<int, int>> Play(TAnimationPlayer& player, int ticks) {
    std::vector<std::pair<int, int>> shown{{player.Frame().Index, player.Frame().Delay}};
    for (int i = 0; i < ticks && player.Advance(); ++i)
        shown.emplace_back(player.Frame().Index, player.Frame().Delay);
    return shown;
}

TEST(AnimationPlayerTest, FramesAdvanceWithTheirDelaysAndStopAfterTheLoops) {
    struct Case {
        std::vector<int> delays;
        int loops;
        std::vector<std::pair<int, int>> shown;
    };
    const Case cases[] = {
        // Delays under 20 ms play as 100 ms; 20 ms is kept.
        {{0, 19, 20}, 1, {{0, 100}, {1, 100}, {2, 20}}},
        {{50, 70}, 2, {{0, 50}, {1, 70}, {0, 50}, {1, 70}}},
        {{30}, 3, {{0, 30}, {0, 30}, {0, 30}}},
    };
    for (const Case& c : cases) {
        TAnimationPlayer player = MakePlayer(c.delays, c.loops);
        EXPECT_EQ(Play(player, 100), c.shown);
        EXPECT_FALSE(player.Playing());
    }
}

TEST(AnimationPlayerTest, LoopCountZeroPlaysForEver) {
    TAnimationPlayer player = MakePlayer({40, 40}, 0);
    EXPECT_EQ(Play(player, 9).size(), 10u);
    EXPECT_TRUE(player.Playing());
    EXPECT_EQ(player.Frame().Index, 1);
}

TEST(AnimationPlayerTest, PauseHoldsTheFrameAndStepMovesOne) {
    TAnimationPlayer player = MakePlayer({40, 40, 40}, 0);
    player.SetPaused(true);
    EXPECT_FALSE(player.Advance());
    EXPECT_EQ(player.Frame().Index, 0);
    EXPECT_TRUE(player.Step());
    EXPECT_EQ(player.Frame().Index, 1);
    EXPECT_TRUE(player.IsPaused());
    player.SetPaused(false);
    EXPECT_TRUE(player.Advance());
    EXPECT_EQ(player.Frame().Index, 2);
}

TEST(AnimationPlayerTest, StopKeepsTheFrameShown) {
    TAnimationPlayer player = MakePlayer({40, 40, 40}, 0);
    ASSERT_TRUE(player.Advance());
    player.Stop();
    EXPECT_FALSE(player.Advance());
    EXPECT_EQ(player.Frame().Index, 1);
}

TEST(AnimationPlayerTest, DamagedFrameStopsOnceOnTheLastGoodFrame) {
    TAnimationPlayer player = MakePlayer({40, 40, 40}, 0, 2);
    EXPECT_EQ(Play(player, 10).size(), 2u);
    EXPECT_EQ(player.Frame().Index, 1);
    EXPECT_FALSE(player.Error().isEmpty());
    EXPECT_FALSE(player.Playing());
    EXPECT_FALSE(player.Advance());
    EXPECT_FALSE(player.Step());
}

} // namespace
