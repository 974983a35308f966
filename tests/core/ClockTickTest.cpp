#include <gtest/gtest.h>

#include <tuple>

#include "core/ClockTick.h"
#include "core/ScheduleSequences.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

const Date kSaturday{2026, 12, 5};
DateTime At(int h, int m, int s, int ms = 0) {
    return DateTime::from(2026, 12, 5, h, m, s, ms);
}
DateTime Sunday(int h, int m, int s, int ms = 0) {
    return DateTime::from(2026, 12, 6, h, m, s, ms);
}

using Step = std::function<void(SimStation&)>;

std::unique_ptr<SimStation> Started(const DateTime& start,
                                    const std::vector<ScheduleFields>& schedules) {
    auto s = std::make_unique<SimStation>(start);
    if (!schedules.empty()) s->write(kScheduleFilePath, ScheduleFile(schedules));
    s->start();
    s->noteActions();
    return s;
}

Step PlayAt(const char* time, const Date& day = kSaturday) {
    return [=](SimStation& s) {
        s.st().next.play = NextPlay{1, ParseTimeText(time), DateTextSlashed(day), day, time};
    };
}
Step SwitchAt(const char* time, int day = 7) {
    return [=](SimStation& s) { s.st().next.toSwitch = NextSwitch{1, "", time, day}; };
}
Step RecordAt(int seconds, const char* dateText, ScheduleStart start) {
    return [=](SimStation& s) {
        s.st().next.record = NextRecord{1, 0, seconds, dateText};
        s.st().recorder.Cued.emplace().start = start;
    };
}
// A recording under way since `from` (seconds of the day) until `until`.
Step Recording(int from, int until) {
    return [=](SimStation& s) {
        auto& rec = s.st().recorder;
        rec.RecordState = RecordState::Recording;
        rec.Armed.emplace().start = ScheduleStart::Timed;
        rec.RecordStartTime = from;
        rec.RecordStopTime = until;
    };
}
// The engine's own state change when the operation runs.
void Becomes(SimStation& s, const char* action, RecordState state) {
    s.onAction = [&st = s.st(), action, state](const std::string& name) {
        if (name == action) st.recorder.RecordState = state;
    };
}
Step Stall(std::int64_t ms) {
    return [=](SimStation& s) { s.stall(ms); };
}
Step EbNoRate(int rate) {
    return [=](SimStation& s) { s.st().Settings.EbNoLogRate = static_cast<std::int16_t>(rate); };
}
Step Both(Step a, Step b) {
    return [=](SimStation& s) {
        a(s);
        b(s);
    };
}

std::vector<std::string> Listed(const Station& st) {
    std::vector<std::string> out;
    for (const auto& e : st.main.PlayList) out.push_back(e.text);
    return out;
}

struct Moment {
    const char* name;
    DateTime start;
    std::vector<ScheduleFields> schedules;
    Step given;
    DateTime at;  // when `disturb` comes
    Step disturb;
    DateTime end;
    const char* action;
    std::vector<std::string> times;  // "hh:mm:ss.mmm" of each run
    Step then;
    std::string MainWindowModel::*label = nullptr;
    const char* text = "";  // what `label` shows at the end
};

ScheduleFields Manual(const char* name, int slot, const char* time) {
    ScheduleFields f = WithPlay(Schedule(name), slot, time);
    f.PlayStart = ScheduleStart::Manual;
    return f;
}

// Each action once at its exact moment through stalls and clock jumps, and what the labels show.
TEST(ClockTick, RunsEachActionOnceAtItsMomentAndShowsTheCountdowns) {
    const ScheduleFields timed = WithPlay(WithPlay(Schedule("Timed"), 24, "12:30"), 25, "12:45:00");
    const Step runSwitch = [](SimStation& s) {
        EXPECT_FALSE(s.st().timers.TimerGetNextSwitch->isEnabled());
    };
    const Step nothingLeftToPlay = [](SimStation& s) {  // the finder ran on the empty file
        EXPECT_FALSE(s.st().next.play);
        EXPECT_EQ(s.st().main.lblNextTimedPlay, "No programs scheduled to play");
        EXPECT_EQ(s.st().main.lblNextPlayTime, "");
    };
    const Step playoutOnAir = Both(PlayAt("12:00:10"), [](SimStation& s) {
        s.st().playout.PlayState = PlayState::Playlist;
        s.st().playout.EomTime = 12 * 3600 + 40;
    });
    const Step playoutEnds = [](SimStation& s) { s.st().playout.PlayState = PlayState::Idle; };
    const Step logged =
        Both(PlayAt("12:00:10"), [](SimStation& s) { s.st().Settings.ActivityLog = 1; });
    const Step missed = [](SimStation& s) {
        EXPECT_EQ(s.log("ER"),
                  (std::vector<std::string>{
                      "12:01:11  Missed timed play Noon Show due 12/05/2026 12:00:10"}));
        EXPECT_FALSE(s.st().next.play);
    };
    const Step slotPast = [](SimStation& s) {  // counts down to the same slot next week
        EXPECT_TRUE(s.st().timers.TimerGetNextSwitch->isEnabled());
        EXPECT_EQ(s.st().main.lblSwitchTimer, "167:59:57");
    };
    const Step clockBack = [](SimStation& s) { s.clock.set(At(12, 0, 5)); };
    const Step clockForward = [](SimStation& s) { s.clock.set(Sunday(0, 1, 0)); };
    const Step inTimeOrder = [](SimStation& s) {
        std::vector<std::string> order;
        for (const auto& a : s.actions) order.push_back(a.name);
        EXPECT_EQ(order,
                  (std::vector<std::string>{"PollReceiverEbNo", "PurgeOldFiles", "PlayScheduled"}));
    };
    const Step deleted = [](SimStation& s) {
        ASSERT_TRUE(s.st().next.toSwitch);
        ScheduleEditor ed;
        OpenScheduleEditor(s.st(), ed);
        DeleteSchedule(s.st(), ed, 1);
    };
    const Step nothingSent = [](SimStation& s) {
        EXPECT_EQ(s.serial.wire, "");
        EXPECT_EQ(s.st().main.lblNextSwitch, "");
        EXPECT_EQ(s.st().main.lblSwitchTimer, "");
    };
    const Step flagDown = [](SimStation& s) { EXPECT_FALSE(s.st().tick.EbNoPolledFlag); };
    const Step armed =
        Both(RecordAt(12 * 3600 + 60, "12/05/2026", ScheduleStart::Timed),
             [](SimStation& s) { Becomes(s, "ArmRecording", RecordState::WaitingForAudio); });
    const Step dumped = [](SimStation& s) {  // waiting for audio until 00:01 tomorrow
        s.st().recorder.RecordState = RecordState::WaitingForAudio;
        s.st().recorder.ArmDeadline = 86400 + 60;
        Becomes(s, "DumpRecording", RecordState::Idle);
    };
    // The next programme, cued meanwhile, starts by relay: this one still stops at its time.
    const Step beforeARelayStart =
        Both(Recording(12 * 3600 - 60, 12 * 3600 + 10), [](SimStation& s) {
            Becomes(s, "StopRecording", RecordState::Idle);
            s.st().recorder.Cued.emplace().start = ScheduleStart::Manual;
        });
    const auto lists = [](const char* text) {
        return [text](SimStation& s) { EXPECT_EQ(Listed(s.st()), std::vector<std::string>{text}); };
    };
    const Step refreshed = [](SimStation& s) { EXPECT_TRUE(s.st().tick.PlaylistRefreshed); };
    const Step notRefreshing = [](SimStation& s) { EXPECT_FALSE(s.st().tick.PlaylistRefreshed); };
    const Step refreshDone = Both(lists("07:00:00  Sun Morning              "), notRefreshing);
    const ScheduleFields farm = WithPlay(Manual("Farm Report", 24, "10:00:00"), 0, "08:00:00");
    const Step farmSunday = lists("08:00:00  Farm Report              ");
    const ScheduleFields router = WithSlot(Schedule("Router", "3"), 6, 7, "13:00:00");
    const std::vector<ScheduleFields> saturdayAndSunday = {Manual("Late Sat", 24, "23:59:30"),
                                                           Manual("Sun Morning", 0, "07:00:00")};
    const Step eomPastMidnight = [](SimStation& s) {
        s.st().playout.PlayState = PlayState::Timed;
        s.st().playout.EomTime = 86420;
    };
    const Step recordIn2Days = RecordAt(12 * 3600 + 1, "12/07/2026", ScheduleStart::Timed);
    const DateTime none;
    using M = MainWindowModel;
    // clang-format off
    const std::vector<Moment> cases = {
        {"timed play", At(12, 0, 0), {}, PlayAt("12:00:10"), none, {}, At(12, 1, 0), "PlayScheduled", {"12:00:10.000"}, nothingLeftToPlay},
        {"timed play waits up to a minute for the playout on air", At(12, 0, 0), {}, playoutOnAir, At(12, 0, 30), playoutEnds, At(12, 0, 31), "PlayScheduled", {"12:00:30.050"}, {}},
        {"HH:MM plays on the minute, then HH:MM:SS", At(12, 0, 0), {timed}, {}, none, {}, At(12, 50, 0), "PlayScheduled", {"12:30:00.000", "12:45:00.000"}, {}},
        {"a timed play more than a minute late", At(12, 0, 0), {Schedule("Noon Show")}, logged, At(12, 0, 9), Stall(62'000), At(12, 2, 0), "PlayScheduled", {}, missed},
        {"switch at one and at zero seconds before", At(12, 0, 0), {}, SwitchAt("12:00:30"), At(12, 0, 29, 900), runSwitch, At(12, 0, 31), "RunSwitchOnly", {"12:00:28.550", "12:00:29.500"}, {}},
        {"a switch slot already past", At(12, 0, 3), {}, SwitchAt("12:00:00"), none, {}, At(12, 0, 3, 50), "RunSwitchOnly", {}, slotPast},
        {"clock set back after a switch", At(12, 0, 0), {}, SwitchAt("12:00:11"), At(12, 0, 15), clockBack, At(12, 0, 30), "RunSwitchOnly", {"12:00:09.550", "12:00:10.500"}, {}},
        {"a deleted switch", At(12, 0, 0), {router}, deleted, none, {}, At(13, 0, 5), "RunSwitchOnly", {}, nothingSent},
        {"clock set back after a poll", At(12, 0, 0), {}, EbNoRate(1), At(12, 0, 15), clockBack, At(12, 0, 30), "PollReceiverEbNo", {"12:00:12.000"}, {}},
        {"a poll just before the moment stands for it", At(12, 0, 0), {}, EbNoRate(1), At(12, 0, 5), [](SimStation& s) { s.st().tick.EbNoPolledFlag = true; }, At(12, 0, 20), "PollReceiverEbNo", {}, flagDown},
        {"a timed recording arms at its second", At(12, 0, 0), {}, armed, none, {}, At(12, 1, 30), "ArmRecording", {"12:00:59.500"}, {}},
        {"a relay-started recording", At(12, 0, 0), {}, RecordAt(12 * 3600 + 20, "12/05/2026", ScheduleStart::Manual), none, {}, At(12, 1, 0), "ArmRecording", {}, {}},
        {"a deadline past midnight", At(23, 59, 0), {}, dumped, none, {}, Sunday(0, 2, 0), "DumpRecording", {"00:01:00.050"}, {}},
        {"a timed recording before a relay-started one", At(12, 0, 0), {}, beforeARelayStart, none, {}, At(12, 0, 30), "StopRecording", {"12:00:10.050"}, {}},
        {"the playlist at 23:59:55", At(23, 59, 0), saturdayAndSunday, lists("23:59:30  Late Sat                 "), At(23, 59, 55, 50), refreshed, At(23, 59, 58), nullptr, {}, refreshDone},
        {"a stall over the refresh", At(23, 59, 0), {farm}, {}, At(23, 59, 54), Both(Stall(3000), farmSunday), Sunday(0, 0, 10), nullptr, {}, Both(farmSunday, notRefreshing)},
        {"a stall over midnight", At(23, 59, 0), {farm}, {}, At(23, 59, 54), Both(Stall(8000), farmSunday), Sunday(0, 0, 10), nullptr, {}, Both(farmSunday, notRefreshing)},
        {"purge", Sunday(0, 0, 0), {}, {}, none, {}, Sunday(0, 1, 0), "PurgeOldFiles", {"00:00:30.000"}, {}},
        {"a clock set forward", Sunday(0, 0, 0), {}, Both(EbNoRate(5), PlayAt("00:00:40", kSaturday.addDays(1))), Sunday(0, 0, 5), clockForward, Sunday(0, 1, 1), nullptr, {}, inTimeOrder},
        {"clock line", At(5, 36, 8, 900), {}, {}, none, {}, At(5, 36, 9, 50), nullptr, {}, {}, &M::lblClock, "Saturday  12/05/2026  Day  339  05:36:09"},
        {"play tomorrow", At(12, 0, 0), {}, PlayAt("12:00:10", kSaturday.addDays(1)), none, {}, At(12, 0, 5), nullptr, {}, {}, &M::lblNextPlayTime, " 24:00:05"},
        {"record", At(12, 0, 0), {}, RecordAt(12 * 3600 + 60, "12/05/2026", ScheduleStart::Timed), none, {}, At(12, 0, 59, 400), nullptr, {}, {}, &M::lblRecTime, "00:01"},
        {"record in two days", At(12, 0, 0), {}, recordIn2Days, none, {}, At(12, 0, 0, 100), nullptr, {}, {}, &M::lblRecTime, " 48:00:01"},
        {"recording past midnight", At(23, 50, 0), {}, Recording(23 * 3600 + 50 * 60, 23 * 3600 + 50 * 60 + 1200), none, {}, Sunday(0, 5, 0), nullptr, {}, {}, &M::lblRecordTimer, "15:00"},
        {"switch two days on", At(12, 0, 0), {}, SwitchAt("06:30:00", 2), none, {}, At(12, 0, 0, 50), nullptr, {}, {}, &M::lblSwitchTimer, " 42:30:00"},
        {"switch time without colons", At(12, 0, 0), {}, Both(SwitchAt("0630", 2), [](SimStation& s) { s.st().main.lblSwitchTimer = "stale"; }), none, {}, At(12, 0, 0, 50), nullptr, {}, {}, &M::lblSwitchTimer, ""},
        {"EOM past midnight", At(23, 59, 50), {}, eomPastMidnight, none, {}, At(23, 59, 59, 950), nullptr, {}, {}, &M::lblPlayTime, "00:20"},
        {"EOM passed", At(23, 59, 50), {}, eomPastMidnight, none, {}, Sunday(0, 0, 20, 550), nullptr, {}, {}, &M::lblPlayTime, "-00:01"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto s = Started(c.start, c.schedules);
        if (c.given) c.given(*s);
        if (c.disturb) {
            s->runTo(c.at);
            c.disturb(*s);
        }
        s->runTo(c.end);
        if (c.action) {
            EXPECT_EQ(s->times(c.action), c.times);
        }
        if (c.then) c.then(*s);
        if (c.label) {
            EXPECT_EQ(s->st().main.*c.label, c.text);
        }
    }
}

// Polls counted over two hours, with the first two of them.
TEST(ClockTick, PollsTheReceiverOncePerMomentOfItsRate) {
    const std::vector<std::tuple<int, std::size_t, std::vector<std::string>>> cases = {
        {0, 0, {}},
        {1, 2, {"12:00:12", "13:00:12"}},
        {2, 4, {"12:00:12", "12:30:12"}},
        {4, 8, {"12:00:12", "12:15:12"}},
        {5, 121, {"11:59:12", "12:00:12"}},
        {6, 0, {}},
    };
    for (const auto& [rate, count, first] : cases) {
        auto s = Started(At(11, 59, 0), {});
        EbNoRate(rate)(*s);
        s->runTo(At(13, 59, 59));
        auto polls = s->seconds("PollReceiverEbNo");
        EXPECT_EQ(polls.size(), count) << rate;
        polls.resize(std::min<std::size_t>(polls.size(), 2));
        EXPECT_EQ(polls, first) << rate;
    }
}

TEST(ClockTick, CuesARecordingAbout14And4SecondsAhead) {
    // TimerCue runs the cue 3 s after it is started: 14.45 s and 4.45 s ahead.
    auto s = Started(At(12, 0, 0), {});
    RecordAt(12 * 3600 + 60, "12/05/2026", ScheduleStart::Timed)(*s);
    EXPECT_EQ(s->enabledAt(*s->st().timers.TimerCue, At(12, 0, 59, 400)),
              (std::vector<std::string>{"12:00:42.550", "12:00:52.550"}));
}

}  // namespace
