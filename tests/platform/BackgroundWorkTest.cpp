#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <thread>

#include "audio_host/TestLoop.h"
#include "platform/host/ThreadBackgroundWork.h"

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
