// Remote control: the inputs each mode reads and what they start, the EOM output, the Time Set
// pulse, and the loss-of-signal alarm.
#include <gtest/gtest.h>

#include "core/RemoteSequences.h"
#include "export/AddressBook.h"
#include "receiver/RemoteControl.h"
#include "settings/StationSettings.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar {
namespace {

using testing::Monday;
using testing::SimStation;
using Lines = std::vector<std::string>;
using Access = SimPortIO::Access;
using enum RemoteControlMode;

// A started station with its activity log on, remote control in a mode, operations noted.
struct Remote : SimStation {
    explicit Remote(RemoteControlMode mode, DateTime start = Monday(10)) : SimStation(start) {
        this->start();
        st().Settings.ActivityLog = 1;
        st().Settings.RemoteControl = static_cast<std::int16_t>(mode);
        noteActions();
        ports.accesses.clear();
    }
    // What the input port reads, given as RemoteInputBits.
    void inputs(std::uint8_t bits) {
        const bool parallel = st().Settings.RemoteControl == 1;
        ports.set(parallel ? kParallelStatus : kPrairiePortB,
                  static_cast<std::uint8_t>(parallel ? 127 - bits : bits));
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

TEST(RemoteOutputs, TheEomContactClosesOnTheModesPortsForOneSecondAndStartUpOpensIt) {
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
    // Start-up sets the card up before it opens the contacts.
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

TEST(RemoteRelays, PlayStartsThePlaylistWhileNothingPlaysAndOnlyARelayRecordingStopsOnRecord) {
    Remote play(Prairie);
    play.st().playout.PlayState = PlayState::Playlist;
    play.inputs(kPlayInput);
    play.loop.advance(2000);
    EXPECT_EQ(play.count("PlayFromPlaylist"), 0);
    play.st().playout.PlayState = PlayState::Idle;
    play.loop.advance(50);
    EXPECT_GE(play.count("PlayFromPlaylist"), 1);

    // The recording's own start mode counts; an unreadable port says nothing of the input.
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
        EXPECT_EQ(r.errors.messages, Lines(2, "Remote-control port failed: gone"));
        EXPECT_EQ(r.count("StopRecording"), 0);
        r.inputs(0);
        r.loop.advance(50);
        EXPECT_EQ(r.count("StopRecording"), stops) << static_cast<int>(armed);
    }
}

const std::string kLoss = "KQMR Quillmar Alarm", kEnd = "KQMR Quillmar Alarm End";

Lines Loss(const char* from, const char* to) {
    return {std::string(from) + "  Alarm", std::string(to) + "  Alarm End"};
}

Lines NotSent(const std::string& why) {
    return {"Mail \"" + kLoss + "\" not sent: " + why, "Mail \"" + kEnd + "\" not sent: " + why};
}

// Each row: the Alarm input held for lossMs, then released for 3 s; `losses` times over.
TEST(ReceiverAlarm, ALossIsLoggedAndMailedOnlyAfterAMinuteThenItsEndWithTheEbNo) {
    const std::string refused = "sendmail: connection refused", noMail = "no mail program";
    const Lines mailed = {kLoss, kEnd}, seventy = Loss("10:00:00", "10:01:10");
    Lines twoLosses = Loss("10:00:00", "10:02:00");
    for (const auto& line : Loss("10:02:03", "10:04:03")) twoLosses.push_back(line);
    enum Fault { Fine, SetBack, Refuses, NoSignOn };  // the mail system refuses or cannot sign on
    const struct {
        DateTime start;
        int lossMs, losses;
        Fault fault;
        Lines mails, log, errors;
        int polls;  // the end of a mailed loss polls the Eb/No for its mail
    } cases[] = {
        {Monday(10), 60'000, 1, Fine, {}, Loss("10:00:00", "10:01:00"), {}, 0},
        {Monday(10), 120'000, 2, Fine, {kLoss, kEnd, kLoss, kEnd}, twoLosses, {}, 2},
        {Monday(23, 59, 30), 50'000, 1, Fine, {}, {"00:00:20  Alarm End"}, {}, 0},
        {Monday(10, 54, 40), 63'000, 1, SetBack, mailed, Loss("10:54:40", "10:55:33"), {}, 1},
        {Monday(10), 70'000, 1, Refuses, {}, seventy, NotSent(refused), 1},
        {Monday(10), 70'000, 1, NoSignOn, {}, seventy, NotSent(noMail), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Remote s(Prairie, c.start);
        Station& st = s.st();
        st.Export.Account.Facility = "KQMR";
        AddressEntry e{
            .InUse = '1', .SendMode = kSendAlways, .Name = "", .Address = "engineer@kqmr.example"};
        std::string error;
        ASSERT_TRUE(WriteAddressEntry(st.Export, 1, e, &error)) << error;
        s.serial.answer("R C", "\r\n" + std::string(10, '\n') + "Eb/No 7.4 dB\r\n>", 200);
        s.mail.sendFailure = c.fault == Refuses ? refused : "";
        s.mail.signOnFailure = c.fault == NoSignOn ? noMail : "";
        for (int loss = 0; loss < c.losses; ++loss) {
            s.inputs(kAlarmInput);
            s.loop.advance(1000);
            EXPECT_EQ(st.main.lblPort, "Alarm");
            if (c.fault == SetBack)
                s.clock.setTimeOfDay(10, 54, 31, [](bool, const std::string&) {});
            s.loop.advance(c.lossMs - 1000);
            s.inputs(0);
            s.loop.advance(3000);
            EXPECT_EQ(st.main.lblPort, "");
        }
        Lines subjects;  // the mail texts are checked end to end
        for (const auto& m : s.mail.outbox) subjects.push_back(m.subject);
        EXPECT_EQ(subjects, c.mails);
        EXPECT_EQ(s.log("AL"), c.log);
        EXPECT_EQ(s.errors.messages, c.errors);
        EXPECT_EQ(s.serial.commands, Lines(c.polls, "R C"));
    }
}

}  // namespace
}  // namespace quillmar
