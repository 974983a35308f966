// Switch-only schedules: the command they send, its log line, and when the clock tick runs them.
#include <gtest/gtest.h>

#include "core/ReceiverSequences.h"
#include "receiver/Routing.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;

class SwitchOnly : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.start();
        Station& st = sim.st();
        st.Settings.SerialPort = 1;
        st.Settings.ActivityLog = 1;
        ScheduleFields f;
        f.InUse = ScheduleSlot::InUse;
        f.ProgramName = "Network switch";
        f.UnityPort = "4";
        f.Route = ScheduleRoute::Reverse;
        f.SourceCode = "EN";
        f.Attenuation = "10";
        f.Action = ScheduleAction::SwitchOnly;
        ASSERT_TRUE(WriteSchedule(st.schedule, 1, BuildScheduleRecord(f)));
        st.next.toSwitch.emplace();
        st.next.toSwitch->recordNo = 1;
        sim.serial.peer =
            [this](const std::string& command) -> std::optional<SimSerialPorts::Reply> {
            sent.push_back(TimeText(sim.clock.now()) + " " + command);
            return std::nullopt;
        };
    }
    std::string activityLog() {
        const std::string path = "c:\\satfile\\logs\\AL" + DayKey(sim.clock.now().date) + ".log";
        return sim.exists(path) ? sim.read(path) : "";
    }
    SimStation sim;
    std::vector<std::string> sent;
};

TEST_F(SwitchOnly, SendsTheRoutingWithoutATrailingBlankAndLogsIt) {
    RunSwitchOnly(sim.st());
    EXPECT_EQ(sim.serial.wire, "SETAUDIO 4 R EN  10\r");
    EXPECT_EQ(activityLog(), "12:00:00  SETAUDIO 4 R EN  10 Switch Only\r\n");
    EXPECT_EQ(sim.serial.opens.size(), 1u) << "no relay reset for switch-only schedules";
}

TEST_F(SwitchOnly, AFailedSendIsReportedAndStillLogged) {
    sim.serial.failOpen(8002, "Invalid port number");
    RunSwitchOnly(sim.st());
    EXPECT_EQ(sim.errors.messages.size(), 1u);
    EXPECT_EQ(activityLog(), "12:00:00  SETAUDIO 4 R EN  10 Switch Only\r\n");
}

TEST_F(SwitchOnly, ASlotBeyondTheFileSendsNothing) {
    sim.st().next.toSwitch.emplace();
    sim.st().next.toSwitch->recordNo = 7;
    RunSwitchOnly(sim.st());
    sim.st().next.toSwitch.reset();
    RunSwitchOnly(sim.st());
    EXPECT_EQ(sim.serial.wire, "");
    EXPECT_EQ(activityLog(), "");
}

TEST_F(SwitchOnly, TheClockTickSendsItOneSecondAndZeroSecondsBeforeTheSlot) {
    Station& st = sim.st();
    st.next.toSwitch->time = "12:00:30";
    st.next.toSwitch->day = sim.clock.now().date.weekday();
    sim.loop.advance(40'000);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], "12:00:28 SETAUDIO 4 R EN  10");
    EXPECT_EQ(sent[1], "12:00:29 SETAUDIO 4 R EN  10");
    EXPECT_EQ(activityLog(),
              "12:00:28  SETAUDIO 4 R EN  10 Switch Only\r\n"
              "12:00:29  SETAUDIO 4 R EN  10 Switch Only\r\n");
}

}  // namespace
}  // namespace quillmar
