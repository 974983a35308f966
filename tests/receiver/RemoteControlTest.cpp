// Remote control: the inputs each mode reads and what they start, the EOM output, the card's
// set-up, a port that cannot be reached, and the Time Set pulse.
#include <gtest/gtest.h>

#include "core/RemoteSequences.h"
#include "receiver/RemoteControl.h"
#include "settings/StationSettings.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::SimStation;
using Access = SimPortIO::Access;
using enum RemoteControlMode;

// A started station with its activity log on, remote control in a mode, operations noted.
struct Remote : SimStation {
    explicit Remote(RemoteControlMode mode, DateTime start = testing::Monday(10))
        : SimStation(start) {
        this->start();
        st().Settings.ActivityLog = 1;
        st().Settings.RemoteControl = static_cast<std::int16_t>(mode);
        noteActions();
        ports.accesses.clear();
    }
    // What the input port reads, given as RemoteInputBits.
    void inputs(std::uint8_t bits) {
        if (st().Settings.RemoteControl == 1)
            ports.set(kParallelStatus, static_cast<std::uint8_t>(127 - bits));
        else
            ports.set(kPrairiePortB, bits);
    }
};

// Rows run in order on one station per mode, so each row also shows the last one's labels go.
TEST(RemoteInputs, EachModeReadsOnlyItsInputRegisterAndShowsThePlayAndRecordRelays) {
    // mode, status register, port B, RemoteInputBits, lblPlayRelay, lblRecordRelay
    const std::tuple<RemoteControlMode, std::uint8_t, std::uint8_t, std::uint8_t, const char*,
                     const char*>
        cases[] = {{Parallel, 0x3F, 0, kPlayInput, "PLAY", ""},
                   {Parallel, 0x5F, kPlayInput, kRecordInput, "", "RECORD"},
                   {Prairie, 0x3F, kRecordInput, kRecordInput, "", "RECORD"},
                   {Off, 0x07, 0x78, 0, "", ""}};
    std::unique_ptr<Remote> r;
    for (const auto& [mode, parallel, card, bits, play, record] : cases) {
        SCOPED_TRACE(int(parallel) * 1000 + card);
        if (!r || RemoteControlModeOf(r->st().Settings.RemoteControl) != mode)
            r = std::make_unique<Remote>(mode);
        r->ports.set(kParallelStatus, parallel);
        r->ports.set(kPrairiePortB, card);
        r->loop.advance(100);
        EXPECT_EQ(r->st().remote.RemoteInputBits, bits);
        EXPECT_EQ(r->st().main.lblPlayRelay, play);
        EXPECT_EQ(r->st().main.lblRecordRelay, record);
        const std::uint16_t input = mode == Parallel ? kParallelStatus : kPrairiePortB;
        for (const auto& a : r->ports.accesses) EXPECT_EQ(a, (Access{false, input, a.value}));
        EXPECT_EQ(r->ports.accesses.empty(), mode == Off);
        r->ports.accesses.clear();
    }
}

TEST(RemoteOutputs, TheEomContactClosesOnTheModesPortsForOneSecond) {
    const std::tuple<RemoteControlMode, std::vector<Access>, std::vector<Access>> cases[] = {
        {Prairie,
         {{true, kPrairiePortA, 1}, {true, kPrairiePortC, 0}},
         {{true, kPrairiePortA, 0}, {true, kPrairiePortC, 0}}},
        {Parallel, {{true, kParallelData, 1}}, {{true, kParallelData, 0}}},
        {Off, {}, {}}};
    for (auto [mode, atOnce, secondLater] : cases) {
        Remote r(mode);
        r.st().remote.RemoteOutputBits |= 1;
        WriteRemoteOutputs(r.st());
        r.st().timers.TimerEOM->setEnabled(true);
        r.loop.advance(999);
        EXPECT_EQ(r.ports.writes(), atOnce) << "nothing more until the second is up";
        r.loop.advance(1);
        atOnce.insert(atOnce.end(), secondLater.begin(), secondLater.end());
        EXPECT_EQ(r.ports.writes(), atOnce);
    }
}

TEST(RemoteOutputs, StartUpSetsTheCardUpBeforeItOpensTheContacts) {
    SimStation s;
    s.settings({{testing::Rec::RemoteControl, 2}});
    s.ports.set(kPrairiePortA, 1);  // the contact a previous run left closed
    s.start();
    EXPECT_EQ(s.ports.writes(), (std::vector<Access>{{true, kPrairieControl, kPrairieControlWord},
                                                     {true, kPrairiePortA, 0},
                                                     {true, kPrairiePortC, 0}}));
}

// The pulse is held 2 s, released, and given again for 100 ms.
TEST(RemoteTimeSet, APulseAtMinute54SetsTheClockToHh5430OncePerPulse) {
    using testing::Monday;
    using Lines = std::vector<std::string>;
    const std::string refused = "Operation not permitted";
    // mode, start, whether the clock refuses, times set, activity log, errors
    const std::tuple<RemoteControlMode, DateTime, bool, std::size_t, Lines, Lines> cases[] = {
        {Prairie, Monday(10, 54, 27), false, 2, {"10:54:30  Time Set 10:54:27"}, {}},
        {Parallel, Monday(10, 53, 57), false, 0, {}, {}},
        {Prairie, Monday(10, 54, 27), true, 0, {}, {"Time Set failed: " + refused}}};
    for (const auto& [mode, start, refuses, sets, log, errors] : cases) {
        Remote r(mode, start);
        if (refuses) r.clock.failSetting(refused);
        r.inputs(kTimeSetInput);
        r.loop.advance(2000);
        EXPECT_EQ(r.clock.settings().size(), sets / 2);
        for (const auto& t : r.clock.settings()) EXPECT_EQ(TimeText(t), "10:54:30");
        EXPECT_EQ(r.st().main.lblPort, "Time Set");
        EXPECT_EQ(r.log("AL"), log);
        EXPECT_EQ(r.errors.messages, errors);
        r.inputs(0);
        r.loop.advance(100);
        r.inputs(kTimeSetInput);
        r.loop.advance(100);
        EXPECT_EQ(r.clock.settings().size(), sets);
    }
}

TEST(RemotePlay, APlayInputStartsThePlaylistOnlyWhileNothingPlays) {
    Remote r(Prairie);
    r.st().playout.PlayState = PlayState::Playlist;
    r.inputs(kPlayInput);
    r.loop.advance(2000);
    EXPECT_EQ(r.count("PlayFromPlaylist"), 0);
    r.st().playout.PlayState = PlayState::Idle;
    r.loop.advance(50);
    EXPECT_GE(r.count("PlayFromPlaylist"), 1);
}

// The recording's own start mode counts, not that of the programme cued after it; a port that
// cannot be read meanwhile says nothing about the input, and is reported once each time.
TEST(RemoteRecord, OnlyARelayRecordingStopsWhenTheRecordInputDrops) {
    const std::tuple<ScheduleStart, std::optional<ScheduleStart>, int> cases[] = {
        {ScheduleStart::Manual, std::nullopt, 1},
        {ScheduleStart::Blank, std::nullopt, 0},
        {ScheduleStart::Timed, ScheduleStart::Manual, 0}};
    for (const auto& [armed, cued, stops] : cases) {
        Remote r(Prairie);
        r.st().recorder.Armed.emplace().start = armed;
        if (cued) r.st().recorder.Cued.emplace().start = *cued;
        r.st().recorder.RecordState = RecordState::Recording;
        r.st().recorder.RecordStopTime = r.now().secondsOfDay() + 3600;
        r.inputs(kRecordInput);
        for (const char* failure : {"", "gone", "", "gone", ""}) {  // reported again once it works
            r.ports.failure = failure;
            r.loop.advance(300);
        }
        EXPECT_EQ(r.errors.messages,
                  std::vector<std::string>(2, "Remote-control port failed: gone"));
        EXPECT_EQ(r.count("StopRecording"), 0);
        r.inputs(0);
        r.loop.advance(50);
        EXPECT_EQ(r.count("StopRecording"), stops) << static_cast<int>(armed);
    }
}

}  // namespace
}  // namespace quillmar
