// Receiver exchanges share the one line in the order the station issued them, and a silent
// receiver never holds the clock tick.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "core/RecordingSequences.h"
#include "platform/Watchdog.h"
#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

ScheduleFields Feed(const char* action, const char* port, const char* source) {
    ScheduleFields f = testing::Schedule("NEWS HOUR", action);
    f.ProgramLength = "05:30";
    f.UnityPort = port;
    f.SourceCode = source;
    return f;
}

// The time of each tick (it tells the watchdog) while an exchange is outstanding, and one after.
struct TickTimes : Watchdog {
    TickTimes(SimEventLoop& l, const ReceiverLinkState& r) : loop(l), link(r) {}
    void ready() override {}
    void alive(std::int64_t) override {
        const bool now = link.running.has_value() || !link.waiting.empty();
        if (now || busy) at.push_back(loop.elapsed());
        busy = now;
    }
    std::int64_t largestGap() const {
        std::int64_t gap = 0;
        for (std::size_t i = 1; i < at.size(); ++i) gap = std::max(gap, at[i] - at[i - 1]);
        return gap;
    }
    SimEventLoop& loop;
    const ReceiverLinkState& link;
    bool busy = false;
    std::vector<std::int64_t> at;
};

TEST(ReceiverLine, ACueAPollAndASwitchOfOneSecondGoOutInOrderWhileTheTickRunsOn) {
    SimStation sim(DateTime::from(2026, 12, 5, 12, 0, 0));
    sim.write(kScheduleFilePath,
              testing::ScheduleFile({Feed("1", "1", "ENG"), Feed("3", "2", "FRA")}));
    sim.start();
    Station& st = sim.st();
    st.Settings.ResetExpansionRelays = 1;
    st.Settings.ActivityLog = 1;
    TickTimes ticks(sim.loop, st.receiver);
    st.platform.watchdog = &ticks;
    std::vector<std::pair<std::string, std::int64_t>> sent;
    sim.serial.peer = [&](const std::string& c) -> std::optional<SimSerialPorts::Reply> {
        sent.emplace_back(c, sim.loop.elapsed());
        return std::nullopt;  // a silent receiver
    };
    sim.loop.advance(12'000);

    // A status view holds the line when a cue, a poll and a switch fall due together.
    bool viewDone = false;
    QueryReceiverStatus(ReceiverLinkOf(st), sim.serial.create(), "RT C", 700,
                        [&](const ExchangeResult&) { viewDone = true; });
    st.next.record = NextRecord{1, 6, 13 * 3600, "12/05/2026"};
    st.next.toSwitch = NextSwitch{2, "", "13:00:00", 7};
    CueRecording(st);
    PollReceiverEbNo(st);
    RunSwitchOnly(st);
    st.notifyChanged();  // as the handler that issued them does on return
    EXPECT_EQ(sent.size(), 1u) << "the others wait for the view's exchange";
    sim.loop.advance(6'000);

    EXPECT_TRUE(viewDone);
    EXPECT_EQ(sent,
              (std::vector<std::pair<std::string, std::int64_t>>{{"RT C", 12'000},
                                                                 {"SETAUDIO 1 S ENG 0  ", 15'001},
                                                                 {"ER D 11", 15'001},
                                                                 {"ER D 14", 15'001},
                                                                 {"R C", 15'001},
                                                                 {"SETAUDIO 2 S FRA 0 ", 16'001}}));
    EXPECT_EQ(sim.read("c:\\satfile\\logs\\AL261205.log"),
              "12:00:15  SETAUDIO 1 S ENG 0  \r\n12:00:15  Turn off Relay 11\r\n"
              "12:00:15  Turn off Relay 14\r\n12:00:16  SETAUDIO 2 S FRA 0  Switch Only\r\n");
    EXPECT_EQ(sim.read("c:\\satfile\\logs\\EB261205.log"), "12:00:16  \r\n");
    ASSERT_FALSE(ticks.at.empty());
    EXPECT_LE(ticks.at.front(), 12'050);
    EXPECT_GE(ticks.at.back(), 16'050);
    EXPECT_LE(ticks.largestGap(), 50);
    EXPECT_EQ(sim.serial.openNow, 0);
}

}  // namespace
}  // namespace quillmar
