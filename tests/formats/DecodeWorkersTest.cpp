// SPDX-License-Identifier: GPL-2.0-or-later
#include "formats/DecodeWorkers.h"

#include <atomic>
#include <gtest/gtest.h>

namespace {

TEST(DecodeWorkers, HeldJobWaitsForItsRelease) {
    TDecodeWorkers workers(0);
    std::vector<char> ran;
    const auto held = workers.SubmitHeld([&] { ran.push_back('h'); }, 5);
    const auto other = workers.Submit([&] { ran.push_back('o'); }, 1);
    EXPECT_EQ(workers.RunQueued(), 1); // the held job outranks the other, and still waits
    EXPECT_EQ(ran, std::vector<char>{'o'});
    EXPECT_FALSE(workers.Settled(held));
    EXPECT_EQ(workers.Pending(), 1);
    workers.Release(held);
    EXPECT_EQ(workers.RunQueued(), 1);
    EXPECT_EQ(ran, (std::vector<char>{'o', 'h'}));
    EXPECT_TRUE(workers.Done(held) && workers.Done(other));
}

TEST(DecodeWorkers, WaitingForAHeldJobRunsIt) {
    for (const int threads : {0, 1}) {
        TDecodeWorkers workers(threads);
        std::atomic<bool> ran = false;
        const auto held = workers.SubmitHeld([&] { ran = true; }, 0);
        workers.Wait(held);
        EXPECT_TRUE(ran) << threads;
        EXPECT_TRUE(workers.Done(held)) << threads;
    }
}

TEST(DecodeWorkers, HeldJobCanBeWithdrawn) {
    TDecodeWorkers workers(1);
    std::atomic<bool> ran = false;
    const auto held = workers.SubmitHeld([&] { ran = true; }, 0);
    EXPECT_TRUE(workers.Withdraw(held));
    workers.Release(held);
    workers.Wait(held);
    workers.WaitIdle();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(workers.Settled(held));
    EXPECT_FALSE(workers.Done(held));
}

TEST(DecodeWorkers, WorkersPassAHeldJobByAndIdleReleasesIt) {
    TDecodeWorkers workers(1);
    std::atomic<bool> heldRan = false;
    const auto held = workers.SubmitHeld([&] { heldRan = true; }, 9);
    const auto other = workers.Submit([] {}, 0);
    workers.Wait(other);
    EXPECT_FALSE(heldRan);
    EXPECT_FALSE(workers.Settled(held));
    workers.WaitIdle();
    EXPECT_TRUE(heldRan);
    EXPECT_TRUE(workers.Done(held));
}

} // namespace
