// The clock tick's decisions on simulated time: which action runs at which moment, through
// stalls of the loop and jumps of the clock, and what the countdowns show.
#include <gtest/gtest.h>

#include "core/ClockTick.h"
#include "core/ScheduleSequences.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

const Date kSaturday{2026, 12, 5};
DateTime On(const Date& d, int h, int m, int s, int ms = 0) {
    return DateTime::from(d.year, d.month, d.day, h, m, s, ms);
}
DateTime At(int h, int m, int s, int ms = 0) {
    return On(kSaturday, h, m, s, ms);
}
DateTime Sunday(int h, int m, int s, int ms = 0) {
    return On(kSaturday.addDays(1), h, m, s, ms);
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
// A capture waiting for audio until `deadline` (seconds from the start of the day).
Step WaitingUntil(int deadline) {
    return [=](SimStation& s) {
        s.st().recorder.RecordState = RecordState::WaitingForAudio;
        s.st().recorder.ArmDeadline = deadline;
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

void DeleteInEditor(Station& st, int n) {
    ScheduleEditor ed;
    OpenScheduleEditor(st, ed);
    DeleteSchedule(st, ed, n);
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
};

ScheduleFields Manual(const char* name, int slot, const char* time) {
    ScheduleFields f = WithPlay(Schedule(name), slot, time);
    f.PlayStart = ScheduleStart::Manual;
    return f;
}

const std::vector<std::string> kNone;

TEST(ClockTick, RunsEachExactSecondActionOnceThroughStallsAndClockJumps) {
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
    const Step clockBack = [](SimStation& s) { s.clock.set(At(12, 0, 5)); };
    const Step deleted = [](SimStation& s) {
        ASSERT_TRUE(s.st().next.toSwitch);
        DeleteInEditor(s.st(), 1);
    };
    const Step nothingSent = [](SimStation& s) {
        EXPECT_EQ(s.serial.wire, "");
        EXPECT_EQ(s.st().main.lblNextSwitch, "");
        EXPECT_EQ(s.st().main.lblSwitchTimer, "");
    };
    const Step flagDown = [](SimStation& s) { EXPECT_FALSE(s.st().tick.EbNoPolledFlag); };
    const Step purgedDaily = [](SimStation& s) {
        EXPECT_EQ(s.actions.back().at.date, kSaturday.addDays(3));
        EXPECT_FALSE(s.st().tick.PurgeDone);
    };
    const Step armed =
        Both(RecordAt(12 * 3600 + 60, "12/05/2026", ScheduleStart::Timed),
             [](SimStation& s) { Becomes(s, "ArmRecording", RecordState::WaitingForAudio); });
    const auto dumped = [](int deadline) {
        return Both(WaitingUntil(deadline),
                    [](SimStation& s) { Becomes(s, "DumpRecording", RecordState::Idle); });
    };
    const auto stopping = [](int from, int until) {
        return Both(Recording(from, until),
                    [](SimStation& s) { Becomes(s, "StopRecording", RecordState::Idle); });
    };
    // The next programme, cued meanwhile, starts by relay: this one still stops at its time.
    const Step beforeARelayStart =
        Both(stopping(12 * 3600 - 60, 12 * 3600 + 10),
             [](SimStation& s) { s.st().recorder.Cued.emplace().start = ScheduleStart::Manual; });
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
    const DateTime none;
    // clang-format off
    const std::vector<Moment> cases = {
        {"timed play", At(12, 0, 0), {}, PlayAt("12:00:10"), none, {},
         At(12, 1, 0), "PlayScheduled", {"12:00:10.000"}, nothingLeftToPlay},
        {"timed play waits up to a minute for the playout on air", At(12, 0, 0), {}, playoutOnAir,
         At(12, 0, 30), playoutEnds, At(12, 0, 31), "PlayScheduled", {"12:00:30.050"}, {}},
        {"HH:MM plays on the minute, then HH:MM:SS", At(12, 0, 0), {timed}, {}, none, {},
         At(12, 50, 0), "PlayScheduled", {"12:30:00.000", "12:45:00.000"}, {}},
        {"a deleted schedule never plays", At(12, 0, 0), {timed},
         [](SimStation& s) { DeleteInEditor(s.st(), 1); }, none, {},
         At(12, 50, 0), "PlayScheduled", kNone, {}},
        {"stall over a timed play", At(11, 59, 50), {}, PlayAt("12:00:10"),
         At(12, 0, 8, 500), Stall(3000), At(12, 1, 10), "PlayScheduled", {"12:00:11.500"}, {}},
        {"a timed play more than a minute late", At(12, 0, 0), {Schedule("Noon Show")}, logged,
         At(12, 0, 9), Stall(62'000), At(12, 2, 0), "PlayScheduled", kNone, missed},
        {"switch at one and at zero seconds before", At(12, 0, 0), {}, SwitchAt("12:00:30"),
         At(12, 0, 29, 900), runSwitch, At(12, 0, 31), "RunSwitchOnly", {"12:00:28.550", "12:00:29.500"}, {}},
        {"a switch slot already past", At(12, 0, 3), {}, SwitchAt("12:00:00"), none, {},
         At(12, 0, 3, 50), "RunSwitchOnly", kNone,
         [](SimStation& s) { EXPECT_TRUE(s.st().timers.TimerGetNextSwitch->isEnabled()); }},
        {"stall over both switch moments", At(11, 59, 50), {}, SwitchAt("12:00:10"),
         At(12, 0, 8, 500), Stall(3000), At(12, 1, 10), "RunSwitchOnly", {"12:00:11.500", "12:00:11.500"}, {}},
        {"stall over the first switch moment", At(12, 0, 0), {}, SwitchAt("12:00:10"),
         At(12, 0, 8, 400), Stall(1200), At(12, 0, 20), "RunSwitchOnly", {"12:00:09.600", "12:00:09.600"}, {}},
        {"clock set back after a switch", At(12, 0, 0), {}, SwitchAt("12:00:11"),
         At(12, 0, 15), clockBack, At(12, 0, 30), "RunSwitchOnly", {"12:00:09.550", "12:00:10.500"}, {}},
        {"a deleted switch", At(12, 0, 0), {router}, deleted, none, {},
         At(13, 0, 5), "RunSwitchOnly", kNone, nothingSent},
        {"clock set back after a poll", At(12, 0, 0), {}, EbNoRate(1),
         At(12, 0, 15), clockBack, At(12, 0, 30), "PollReceiverEbNo", {"12:00:12.000"}, {}},
        {"stall over a poll", At(11, 59, 52), {}, EbNoRate(1),
         At(12, 0, 10, 500), Stall(3000), At(12, 1, 12), "PollReceiverEbNo", {"12:00:13.500"}, {}},
        {"a poll just before the moment stands for it", At(12, 0, 0), {}, EbNoRate(1), At(12, 0, 5),
         [](SimStation& s) { s.st().tick.EbNoPolledFlag = true; },
         At(12, 0, 20), "PollReceiverEbNo", kNone, flagDown},
        {"purge every day", At(23, 0, 0), {}, {}, none, {}, On(kSaturday.addDays(3), 0, 1, 0),
         "PurgeOldFiles", {"00:00:30.000", "00:00:30.000", "00:00:30.000"}, purgedDaily},
        {"stall over the purge", Sunday(0, 0, 10), {}, {},
         Sunday(0, 0, 28, 500), Stall(3000), Sunday(0, 1, 30), "PurgeOldFiles", {"00:00:31.500"}, {}},
        {"a timed recording arms at its second", At(12, 0, 0), {}, armed, none, {},
         At(12, 1, 30), "ArmRecording", {"12:00:59.500"}, {}},
        {"a relay-started recording", At(12, 0, 0), {},
         RecordAt(12 * 3600 + 20, "12/05/2026", ScheduleStart::Manual), none, {},
         At(12, 1, 0), "ArmRecording", kNone, {}},
        {"a capture waiting past its deadline", At(12, 0, 0), {}, dumped(12 * 3600 + 5), none, {},
         At(12, 0, 30), "DumpRecording", {"12:00:05.050"}, {}},
        {"a deadline past midnight", At(23, 59, 0), {}, dumped(86400 + 60), none, {},
         Sunday(0, 2, 0), "DumpRecording", {"00:01:00.050"}, {}},
        {"a timed recording before a relay-started one", At(12, 0, 0), {}, beforeARelayStart, none, {},
         At(12, 0, 30), "StopRecording", {"12:00:10.050"}, {}},
        {"a recording running past midnight", At(23, 50, 0), {}, stopping(23 * 3600 + 50 * 60, 86400 + 600), none, {},
         Sunday(0, 20, 0), "StopRecording", {"00:10:00.050"}, {}},
        {"the playlist at 23:59:55", At(23, 59, 0), saturdayAndSunday,
         lists("23:59:30  Late Sat                 "), At(23, 59, 55, 50), refreshed,
         At(23, 59, 58), nullptr, kNone, refreshDone},
        // A stall over 23:59:55, ending before midnight or after it, builds Sunday's list once.
        {"a stall over the refresh", At(23, 59, 0), {farm}, {}, At(23, 59, 54), Both(Stall(3000), farmSunday),
         Sunday(0, 0, 10), nullptr, kNone, Both(farmSunday, notRefreshing)},
        {"a stall over midnight", At(23, 59, 0), {farm}, {}, At(23, 59, 54), Both(Stall(8000), farmSunday),
         Sunday(0, 0, 10), nullptr, kNone, Both(farmSunday, notRefreshing)},
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
    }
}

TEST(ClockTick, AClockSetForwardRunsEachSkippedActionOnceInTimeOrder) {
    auto s = Started(Sunday(0, 0, 0), {});
    EbNoRate(5)(*s);
    PlayAt("00:00:40", kSaturday.addDays(1))(*s);
    s->runTo(Sunday(0, 0, 5));
    s->clock.set(Sunday(0, 1, 0));
    s->runTo(Sunday(0, 1, 1));
    std::vector<std::string> order;
    for (const auto& a : s->actions) order.push_back(a.name);
    EXPECT_EQ(order,
              (std::vector<std::string>{"PollReceiverEbNo", "PurgeOldFiles", "PlayScheduled"}));
}

TEST(ClockTick, PollsTheReceiverOncePerMomentOfItsRate) {
    const std::map<int, std::vector<std::string>> expected = {
        {0, {}},
        {1, {"12:00:12", "13:00:12"}},
        {4,
         {"12:00:12", "12:15:12", "12:30:12", "12:45:12", "13:00:12", "13:15:12", "13:30:12",
          "13:45:12"}},
        {6, {}},
    };
    for (int rate : {0, 1, 4, 5, 6}) {
        auto s = Started(At(11, 59, 0), {});
        EbNoRate(rate)(*s);
        s->runTo(At(13, 59, 59));
        const auto polls = s->seconds("PollReceiverEbNo");
        if (rate != 5) {
            EXPECT_EQ(polls, expected.at(rate)) << rate;
            continue;
        }
        ASSERT_EQ(polls.size(), 121u);  // every minute
        EXPECT_EQ(polls.front(), "11:59:12");
        EXPECT_EQ(polls[60], "12:59:12");
    }
}

TEST(ClockTick, CuesARecordingAbout14And4SecondsAheadEvenAfterAStall) {
    // TimerCue runs the cue 3 s after it is started: 14.45 s and 4.45 s ahead.
    auto s = Started(At(12, 0, 0), {});
    RecordAt(12 * 3600 + 60, "12/05/2026", ScheduleStart::Timed)(*s);
    EXPECT_EQ(s->enabledAt(*s->st().timers.TimerCue, At(12, 0, 59, 400)),
              (std::vector<std::string>{"12:00:42.550", "12:00:52.550"}));

    auto late = Started(At(12, 0, 0), {});
    RecordAt(12 * 3600 + 60, "12/05/2026", ScheduleStart::Timed)(*late);
    Timer& cue = *late->st().timers.TimerCue;
    late->runTo(At(12, 0, 42));  // count 18
    late->stall(3000);           // count 15
    EXPECT_TRUE(cue.isEnabled());
    late->runTo(At(12, 0, 51));  // count 9
    ASSERT_FALSE(cue.isEnabled());
    late->stall(5000);  // count 4
    EXPECT_TRUE(cue.isEnabled());
}

struct Label {
    const char* name;
    DateTime start;
    Step given;
    DateTime at;
    std::string MainWindowModel::*field;
    const char* text;
};

TEST(ClockTick, ShowsTheClockAndTheCountdowns) {
    const Step eomPastMidnight = [](SimStation& s) {
        s.st().playout.PlayState = PlayState::Timed;
        s.st().playout.EomTime = 86420;
    };
    const Step days = Recording(11 * 3600 + 59 * 60, 13 * 3600);
    const auto recordIn2Days =
        Both(RecordAt(12 * 3600 + 1, "12/07/2026", ScheduleStart::Timed), days);
    using M = MainWindowModel;
    // clang-format off
    const std::vector<Label> cases = {
        {"clock line", At(5, 36, 8, 900), {}, At(5, 36, 9, 50), &M::lblClock, "Saturday  12/05/2026  Day  339  05:36:09"},
        {"play", At(12, 0, 0), PlayAt("12:00:10"), At(12, 0, 5), &M::lblNextPlayTime, "    00:05"},
        {"record", At(12, 0, 0), RecordAt(12 * 3600 + 60, "12/05/2026", ScheduleStart::Timed), At(12, 0, 59, 400), &M::lblRecTime, "00:01"},
        {"record in two days", At(12, 0, 0), recordIn2Days, At(12, 0, 0, 100), &M::lblRecTime, " 48:00:01"},
        {"recording elapsed", At(12, 0, 0), recordIn2Days, At(12, 0, 0, 100), &M::lblRecordTimer, "01:00"},
        {"recording past midnight", At(23, 50, 0), Recording(23 * 3600 + 50 * 60, 23 * 3600 + 50 * 60 + 1200), Sunday(0, 5, 0), &M::lblRecordTimer, "15:00"},
        {"switch", At(12, 0, 0), SwitchAt("12:00:30"), At(12, 0, 20), &M::lblSwitchTimer, "    00:10"},
        {"switch three seconds past", At(12, 0, 3), SwitchAt("12:00:00"), At(12, 0, 3, 50), &M::lblSwitchTimer, "167:59:57"},
        {"switch two days on", At(12, 0, 0), SwitchAt("06:30:00", 2), At(12, 0, 0, 50), &M::lblSwitchTimer, " 42:30:00"},
        {"the only switch ran and the finder found none", At(12, 0, 0), SwitchAt("12:00:30"), At(12, 0, 40), &M::lblSwitchTimer, ""},
        {"switch time without colons", At(12, 0, 0), Both(SwitchAt("0630", 2), [](SimStation& s) { s.st().main.lblSwitchTimer = "stale"; }),
         At(12, 0, 0, 50), &M::lblSwitchTimer, ""},
        {"EOM past midnight", At(23, 59, 50), eomPastMidnight, At(23, 59, 59, 950), &M::lblPlayTime, "00:20"},
        {"EOM passed", At(23, 59, 50), eomPastMidnight, Sunday(0, 0, 20, 550), &M::lblPlayTime, "-00:01"},
    };
    // clang-format on
    for (const auto& c : cases) {
        auto s = Started(c.start, {});
        if (c.given) c.given(*s);
        s->runTo(c.at);
        EXPECT_EQ(s->st().main.*c.field, c.text) << c.name;
    }
}

}  // namespace
