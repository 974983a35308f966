#include <gtest/gtest.h>

#include <algorithm>

#include "core/RemoteSequences.h"
#include "logs/ActivityLog.h"
#include "receiver/RemoteControl.h"
#include "settings/StationSettings.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;
using Access = SimPortIO::Access;

namespace {

constexpr int kParallel = 1;
constexpr int kPrairie = 2;

// A started station with its activity log on, remote control in a mode, and a record of the
// operations it runs.
struct RemoteStation {
    explicit RemoteStation(int mode, DateTime start = DateTime::from(2026, 3, 10, 10, 0, 0))
        : s(start) {
        s.start();
        st().Settings.ActivityLog = 1;
        st().Settings.RemoteControl = static_cast<std::int16_t>(mode);
        st().actionObserver = [this](const std::string& name) { actions.push_back(name); };
        s.ports.accesses.clear();
    }
    Station& st() { return s.st(); }
    // What the input port reads, already in the form of RemoteInputBits.
    void inputs(std::uint8_t bits) {
        if (st().Settings.RemoteControl == kParallel)
            s.ports.set(kParallelStatus, static_cast<std::uint8_t>(127 - bits));
        else
            s.ports.set(kPrairiePortB, bits);
    }
    int count(const std::string& action) const {
        return static_cast<int>(std::count(actions.begin(), actions.end(), action));
    }
    std::string activityLog() {
        const auto path = DailyLogPath("AL", s.clock.now().date);
        return s.exists(path) ? s.read(path) : std::string();
    }
    std::string errorLog() {
        const auto path = DailyLogPath("ER", s.clock.now().date);
        return s.exists(path) ? s.read(path) : std::string();
    }

    SimStation s;
    std::vector<std::string> actions;
};

}  // namespace

TEST(RemoteInputs, TheParallelStatusRegisterCountsActiveLow) {
    EXPECT_EQ(RemoteInputBitsOf(RemoteControlMode::Parallel, 0x7F), 0);
    EXPECT_EQ(RemoteInputBitsOf(RemoteControlMode::Parallel, 0x3F), kPlayInput);
    EXPECT_EQ(RemoteInputBitsOf(RemoteControlMode::Parallel, 0x6F), kAlarmInput);
    EXPECT_EQ(RemoteInputBitsOf(RemoteControlMode::Parallel, 0x07),
              kPlayInput | kRecordInput | kAlarmInput | kTimeSetInput);
    // The card's port B is taken as read.
    EXPECT_EQ(RemoteInputBitsOf(RemoteControlMode::Prairie, 0x3F), 0x3F);
}

TEST(RemoteInputs, OnlyTheStoredValuesOneAndTwoChooseAPort) {
    const std::pair<std::int32_t, RemoteControlMode> cases[] = {
        {0, RemoteControlMode::Off},     {1, RemoteControlMode::Parallel},
        {2, RemoteControlMode::Prairie}, {3, RemoteControlMode::Off},
        {-1, RemoteControlMode::Off},    {258, RemoteControlMode::Off}};
    for (const auto& [stored, mode] : cases) EXPECT_EQ(RemoteControlModeOf(stored), mode) << stored;
}

TEST(RemoteInputs, ParallelStatusDrivesTheRelayLabels) {
    // Given a parallel port whose status register reads 0x7F
    RemoteStation r(kParallel);
    r.s.ports.set(kParallelStatus, 0x7F);
    r.s.loop.advance(100);
    // then no input is active and the labels are empty
    EXPECT_EQ(r.st().remote.RemoteInputBits, 0);
    EXPECT_FALSE(r.st().remote.PlayInput);
    EXPECT_EQ(r.st().main.lblPlayRelay, "");
    // When it reads 0x3F, Play is active
    r.s.ports.set(kParallelStatus, 0x3F);
    r.s.loop.advance(100);
    EXPECT_EQ(r.st().remote.RemoteInputBits, kPlayInput);
    EXPECT_TRUE(r.st().remote.PlayInput);
    EXPECT_EQ(r.st().main.lblPlayRelay, "PLAY");
    EXPECT_EQ(r.st().main.lblRecordRelay, "");
    // and a Record input shows beside it until it drops
    r.inputs(kRecordInput);
    r.s.loop.advance(100);
    EXPECT_EQ(r.st().main.lblRecordRelay, "RECORD");
    EXPECT_EQ(r.st().main.lblPlayRelay, "");
    r.inputs(0);
    r.s.loop.advance(100);
    EXPECT_EQ(r.st().main.lblRecordRelay, "");
    // Only the status register was read, and nothing written.
    for (const auto& a : r.s.ports.accesses)
        EXPECT_EQ(a, (Access{false, kParallelStatus, a.value}));
}

TEST(RemoteInputs, WithRemoteControlOffNoPortIsTouched) {
    RemoteStation r(0);
    r.s.ports.set(kParallelStatus, 0x07);
    r.s.ports.set(kPrairiePortB, 0x78);
    r.s.loop.advance(5000);
    r.st().remote.RemoteOutputBits = 1;
    WriteRemoteOutputs(r.st());
    EXPECT_TRUE(r.s.ports.accesses.empty());
    EXPECT_FALSE(r.st().remote.PlayInput);
    EXPECT_EQ(r.st().main.lblPort, "");
    EXPECT_EQ(r.count("PlayFromPlaylist"), 0);
}

TEST(RemoteOutputs, PrairieEomPulseWritesPortsAAndCThenClearsThemASecondLater) {
    // Given the card, when the playout closes the EOM contact as it does
    RemoteStation r(kPrairie);
    r.st().remote.RemoteOutputBits |= 1;
    WriteRemoteOutputs(r.st());
    r.st().timers.TimerEOM->setEnabled(true);
    EXPECT_EQ(r.s.ports.writes(),
              (std::vector<Access>{{true, kPrairiePortA, 1}, {true, kPrairiePortC, 0}}));
    // then nothing more is written until the second is up
    r.s.loop.advance(999);
    EXPECT_EQ(r.s.ports.writes().size(), 2u);
    // and then both ports go to 0
    r.s.loop.advance(1);
    EXPECT_EQ(r.s.ports.writes(), (std::vector<Access>{{true, kPrairiePortA, 1},
                                                       {true, kPrairiePortC, 0},
                                                       {true, kPrairiePortA, 0},
                                                       {true, kPrairiePortC, 0}}));
    EXPECT_FALSE(r.st().timers.TimerEOM->isEnabled());
}

TEST(RemoteOutputs, ParallelModeWritesTheDataRegisterOnly) {
    RemoteStation r(kParallel);
    r.st().remote.RemoteOutputBits = 1;
    WriteRemoteOutputs(r.st());
    EXPECT_EQ(r.s.ports.writes(), (std::vector<Access>{{true, kParallelData, 1}}));
}

TEST(RemoteOutputs, StartUpSetsTheCardUpAndOpensTheContacts) {
    // Given settings that choose the card (record 11 = 2)
    SimStation s;
    std::string settings(22, '\0');
    settings[20] = 2;
    s.write(kSettingsPath, settings);
    s.ports.set(kPrairiePortA, 1);  // the contact a previous run left closed
    s.start();
    // then the control word goes out before the outputs are reset
    EXPECT_EQ(s.ports.writes(), (std::vector<Access>{{true, kPrairieControl, kPrairieControlWord},
                                                     {true, kPrairiePortA, 0},
                                                     {true, kPrairiePortC, 0}}));
    // and choosing the card in the settings form writes the word again
    WritePrairieControlWord(s.st());
    EXPECT_EQ(s.ports.writes().back(), (Access{true, kPrairieControl, 0x8A}));
}

TEST(RemoteInputs, APortThatCannotBeReachedIsReportedOnceAndStartsNothing) {
    RemoteStation r(kParallel);
    r.s.ports.failure = "/dev/port: Permission denied";
    r.s.loop.advance(3000);
    ASSERT_EQ(r.s.errors.messages.size(), 1u);
    EXPECT_EQ(r.s.errors.messages[0], "Remote-control port failed: /dev/port: Permission denied");
    EXPECT_NE(r.errorLog().find("  Remote-control port failed: /dev/port: Permission denied\r\n"),
              std::string::npos);
    EXPECT_EQ(r.st().remote.RemoteInputBits, 0);
    EXPECT_EQ(r.count("PlayFromPlaylist"), 0);
    // Once it works, a later failure is reported again.
    r.s.ports.failure.clear();
    r.s.loop.advance(100);
    r.s.ports.failure = "gone";
    r.s.loop.advance(100);
    EXPECT_EQ(r.s.errors.messages.size(), 2u);
}

TEST(RemoteTimeSet, APulseAtMinute54SetsTheClockOnceAndLogsIt) {
    // Given a Time Set pulse arriving at 10:54:27
    RemoteStation r(kPrairie, DateTime::from(2026, 3, 10, 10, 54, 27));
    r.inputs(kTimeSetInput);
    // held for two seconds of ticks
    r.s.loop.advance(2000);
    // then the clock was set once, to 10:54:30, and the log names the time it had
    ASSERT_EQ(r.s.clock.settings().size(), 1u);
    EXPECT_EQ(TimeText(r.s.clock.settings()[0]), "10:54:30");
    EXPECT_EQ(r.st().main.lblPort, "Time Set");
    const std::string log = r.activityLog();
    EXPECT_NE(log.find("  Time Set 10:54:27\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Time Set", log.find("Time Set") + 1), std::string::npos) << log;
    // When the pulse ends the label clears, and the next pulse sets the clock again.
    r.inputs(0);
    r.s.loop.advance(100);
    EXPECT_EQ(r.st().main.lblPort, "");
    r.inputs(kTimeSetInput);
    r.s.loop.advance(100);
    EXPECT_EQ(r.s.clock.settings().size(), 2u);
}

TEST(RemoteTimeSet, APulseOutsideMinute54ChangesNothing) {
    RemoteStation r(kParallel, DateTime::from(2026, 3, 10, 10, 53, 58));
    r.inputs(kTimeSetInput);
    r.s.loop.advance(1500);
    EXPECT_TRUE(r.s.clock.settings().empty());
    EXPECT_EQ(r.activityLog().find("Time Set"), std::string::npos);
    EXPECT_EQ(r.st().main.lblPort, "Time Set");
}

TEST(RemoteTimeSet, AClockThatCannotBeSetIsReportedNotLogged) {
    RemoteStation r(kPrairie, DateTime::from(2026, 3, 10, 10, 54, 27));
    r.s.clock.failSetting("Operation not permitted");
    r.inputs(kTimeSetInput);
    r.s.loop.advance(2000);
    EXPECT_EQ(r.s.errors.messages,
              (std::vector<std::string>{"Time Set failed: Operation not permitted"}));
    EXPECT_NE(r.errorLog().find("10:54:27  Time Set failed: Operation not permitted\r\n"),
              std::string::npos);
    EXPECT_EQ(r.activityLog().find("Time Set"), std::string::npos);
}

TEST(RemotePlay, APlayInputStartsThePlaylistOnlyWhileNothingPlays) {
    // Given a playout running
    RemoteStation r(kPrairie);
    r.st().playout.PlayState = PlayState::Playlist;
    r.inputs(kPlayInput);
    // a held Play input starts nothing more
    r.s.loop.advance(2000);
    EXPECT_EQ(r.count("PlayFromPlaylist"), 0);
    // and once nothing plays, it starts the playlist
    r.st().playout.PlayState = PlayState::Idle;
    r.s.loop.advance(50);
    EXPECT_GE(r.count("PlayFromPlaylist"), 1);
}

TEST(RemoteRecord, ARelayRecordingStopsWhenTheRecordInputDrops) {
    // Given a relay-controlled recording running with the Record input held
    RemoteStation r(kPrairie);
    r.st().recorder.Armed.emplace().start = ScheduleStart::Manual;
    r.st().recorder.RecordState = RecordState::Recording;
    r.inputs(kRecordInput);
    r.s.loop.advance(500);
    // a port that cannot be read meanwhile says nothing about the input
    r.s.ports.failure = "gone";
    r.s.loop.advance(500);
    EXPECT_EQ(r.count("StopRecording"), 0);
    r.s.ports.failure.clear();
    // when the input drops, the recording stops
    r.inputs(0);
    r.s.loop.advance(50);
    EXPECT_EQ(r.count("StopRecording"), 1);
}

TEST(RemoteRecord, ScheduledRecordingsIgnoreTheRecordInput) {
    // The recording's own start mode counts, not that of the programme cued after it.
    const std::optional<ScheduleStart> kNothingCued;
    const struct {
        ScheduleStart armed;
        std::optional<ScheduleStart> cued;
    } cases[] = {{ScheduleStart::Blank, kNothingCued},
                 {ScheduleStart::Timed, ScheduleStart::Manual},
                 {ScheduleStart::Blank, ScheduleStart::Manual}};
    for (const auto& c : cases) {
        RemoteStation r(kPrairie);
        r.st().recorder.Armed.emplace().start = c.armed;
        if (c.cued) r.st().recorder.Cued.emplace().start = *c.cued;
        r.st().recorder.RecordState = RecordState::Recording;
        r.st().recorder.RecordStopTime = r.s.clock.now().secondsOfDay() + 3600;
        r.inputs(0);
        r.s.loop.advance(500);
        EXPECT_EQ(r.count("StopRecording"), 0) << static_cast<int>(c.armed);
    }
}
