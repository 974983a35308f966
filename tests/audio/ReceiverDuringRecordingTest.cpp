// The receiver's silence during a recording costs it no audio and the clock tick no time.
#include <gtest/gtest.h>

#include "AudioStation.h"
#include "core/ReceiverSequences.h"
#include "core/RecordingSequences.h"
#include "platform/Watchdog.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

struct TickTimes : Watchdog {  // the tick tells the watchdog each time
    explicit TickTimes(SimEventLoop& l) : loop(l) {}
    void ready() override {}
    void alive() override { at.push_back(loop.elapsed()); }
    SimEventLoop& loop;
    std::vector<std::int64_t> at;
};

using ReceiverDuringRecording = AudioStation;

TEST_F(ReceiverDuringRecording, ASilentReceiverLosesNoAudioAndDelaysNoTick) {
    sim.inputAt(Monday(10, 0, 0), {5000, 5000});
    sim.runTo(Monday(10, 0, 10));
    TickTimes ticks(sim.loop);
    st().platform.watchdog = &ticks;
    int shown = 0;
    RelayExchange(ReceiverLinkOf(st()), sim.serial.create(), "ER E 3", "R ER",
                  [&](const ExchangeResult&) { ++shown; });
    QueryReceiverStatus(ReceiverLinkOf(st()), sim.serial.create(), "RT C", 700,
                        [&](const ExchangeResult&) { ++shown; });
    sim.runTo(Monday(10, 0, 20));
    StopRecording(st());
    st().platform.watchdog = nullptr;
    EXPECT_EQ(shown, 2) << "both exchanges ended on their time-outs";
    for (std::size_t i = 1; i < ticks.at.size(); ++i)
        ASSERT_LE(ticks.at[i] - ticks.at[i - 1], 50) << "tick " << i;
    EXPECT_GE(ticks.at.size(), 199u);
    EXPECT_NEAR(seconds(kWave), 20.0, 0.1);
}

}  // namespace
