// Work handed off the loop: on threads of its own on the host, on simulated time in the sim.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <thread>

#include "audio_host/TestLoop.h"
#include "platform/host/ThreadBackgroundWork.h"
#include "platform/sim/SimBackgroundWork.h"

using namespace quillmar;
using quillmar::testing::TestLoop;

TEST(ThreadBackgroundWork, RunsTasksOffTheLoopSideBySideAndCompletesOnTheLoopThread) {
    TestLoop loop;
    std::promise<void> secondRan;
    std::thread::id taskThread, completionThread;
    std::optional<bool> firstSawSecond;
    std::optional<int> second;
    {
        ThreadBackgroundWork work(loop);
        // The first task waits for the second: one slow task must not hold up another.
        RunInBackground(
            work,
            [&, waited = secondRan.get_future().share()] {
                taskThread = std::this_thread::get_id();
                return waited.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
            },
            [&](bool saw) {
                completionThread = std::this_thread::get_id();
                firstSawSecond = saw;
            });
        RunInBackground(
            work,
            [&] {
                secondRan.set_value();
                return 7;
            },
            [&](int value) { second = value; });
        ASSERT_TRUE(loop.runUntil([&] { return firstSawSecond && second; }, 20000));
    }
    EXPECT_NE(taskThread, std::this_thread::get_id());
    EXPECT_EQ(completionThread, std::this_thread::get_id());
    EXPECT_TRUE(*firstSawSecond);
    EXPECT_EQ(second, 7);
}

TEST(SimBackgroundWork, RunsAfterItsDelayOnSimulatedTimeAndAGuardDropsEarlierCompletions) {
    SimClock clock(DateTime::from(2026, 12, 7, 9, 0, 0));
    SimEventLoop loop(clock);
    SimBackgroundWork work(loop);
    work.delayMs = 1000;
    std::vector<std::string> seen;
    CompletionGuard guard;
    const auto task = [&] { return seen.push_back("task"), 0; };
    RunInBackground(work, task, guard.wrap([&](int) { seen.push_back("dropped"); }));
    guard.drop();
    RunInBackground(work, task, guard.wrap([&](int) { seen.push_back("done"); }));
    loop.advance(999);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(work.pending(), 2);
    loop.advance(1);
    EXPECT_EQ(seen, (std::vector<std::string>{"task", "task", "done"}));
}
