#include <gtest/gtest.h>

#include <algorithm>

#include "core/ClockTick.h"
#include "core/ManualControls.h"
#include "platform/Watchdog.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar::testing {
namespace {

enum class Doing { Nothing, Armed, Playing, RemoteInputs, Exchange };

struct PaceCase {
    Doing doing;
    int msOfSecond;
    int delay;
};

class TickPace : public ::testing::TestWithParam<PaceCase> {};

TEST_P(TickPace, WaitsForTheNextMarkItsWorkNeeds) {
    const PaceCase c = GetParam();
    SimStation sim(Monday(10));
    Station& st = sim.st();
    if (c.doing == Doing::Armed) st.recorder.RecordState = RecordState::WaitingForAudio;
    if (c.doing == Doing::Playing) st.playout.PlayState = PlayState::Timed;
    if (c.doing == Doing::RemoteInputs) st.Settings.RemoteControl = 2;
    if (c.doing == Doing::Exchange) st.receiver.waiting.emplace_back();
    EXPECT_EQ(NextTickDelayMs(st, Monday(10, 0, 0, c.msOfSecond)), c.delay);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, TickPace,
    ::testing::Values(PaceCase{Doing::Nothing, 0, 50}, PaceCase{Doing::Nothing, 20, 30},
                      PaceCase{Doing::Nothing, 50, 450}, PaceCase{Doing::Nothing, 499, 1},
                      PaceCase{Doing::Nothing, 500, 50}, PaceCase{Doing::Nothing, 999, 1},
                      PaceCase{Doing::Armed, 50, 50}, PaceCase{Doing::Armed, 520, 30},
                      PaceCase{Doing::Playing, 600, 50}, PaceCase{Doing::RemoteInputs, 50, 50},
                      PaceCase{Doing::Exchange, 550, 50}));

struct TickCount : Watchdog {
    void ready() override {}
    void alive(std::int64_t lateMs) override {
        ++ticks;
        worstLate = std::max(worstLate, lateMs);
    }
    int ticks = 0;
    std::int64_t worstLate = 0;
};

TEST(TickPace, AnIdleStationWakesFourTimesASecondAnArmedOneAtOnceAndTwentyTimesAndTellsLateness) {
    SimStation sim(Monday(9, 59, 0));
    sim.settings({{Rec::Threshold, 1000}, {Rec::WaveDrive, 3}});
    sim.start();
    sim.put(1, RecordedSchedule());
    sim.findNext();
    TickCount count;
    sim.st().platform.watchdog = &count;
    sim.runTo(Monday(9, 59, 10));
    EXPECT_EQ(count.ticks, 40);

    sim.runTo(Monday(9, 59, 10, 100));
    count.ticks = 0;
    cmdRecord_Click(sim.st());  // armed: the tick follows the input closely from now on
    sim.runTo(Monday(9, 59, 10, 150));
    EXPECT_EQ(count.ticks, 1);
    sim.runTo(Monday(9, 59, 11, 150));
    EXPECT_EQ(count.ticks, 21);
    EXPECT_EQ(count.worstLate, 0);

    sim.stall(130);  // the tick due at 11.200 runs at 11.280
    EXPECT_EQ(count.worstLate, 80);
}

}  // namespace
}  // namespace quillmar::testing
