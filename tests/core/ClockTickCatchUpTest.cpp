// Exact-second actions survive a stalled loop and a clock that jumps: each runs once.
#include <gtest/gtest.h>

#include "core/ClockTick.h"
#include "core/TickFixture.h"
#include "schedule/ScheduleRecord.h"

using namespace quillmar;
using quillmar::testing::SimStation;
using quillmar::testing::TickStation;

namespace {

const Date kSaturday{2026, 12, 5};
const Date kSunday{2026, 12, 6};
DateTime On(const Date& d, int h, int m, int s, int ms = 0) {
    return DateTime::from(d.year, d.month, d.day, h, m, s, ms);
}
DateTime At(int h, int m, int s, int ms = 0) {
    return On(kSaturday, h, m, s, ms);
}

void TimedPlayAt(Station& st, const char* time) {
    st.next.play.emplace();
    st.next.play->recordNo = 1;
    st.next.play->dateText = "12/05/2026";
    st.next.play->date = kSaturday;
    st.next.play->time = time;
}

}  // namespace

// Given a moment M, when the loop stalls for 3 s from one second before M,
// then the action runs once, at the first tick after the stall, and not again later.
TEST(LateTick, AStallOverEachExactSecondMomentLosesNothing) {
    struct Case {
        const char* name;
        const char* action;
        DateTime moment;
        std::function<void(Station&)> given;
        int runs;
    };
    const std::vector<Case> cases = {
        {"timed play", "PlayScheduled", At(12, 0, 10),
         [](Station& st) { TimedPlayAt(st, "12:00:10"); }, 1},
        {"switch", "RunSwitchOnly", At(12, 0, 10),
         [](Station& st) {
             st.next.toSwitch.emplace();
             st.next.toSwitch->time = "12:00:10";
             st.next.toSwitch->day = 7;
         },
         2},
        {"Eb/No poll", "PollReceiverEbNo", At(12, 0, 12),
         [](Station& st) { st.Settings.EbNoLogRate = 1; }, 1},
        {"purge", "PurgeOldFiles", On(kSunday, 0, 0, 30), [](Station&) {}, 1},
    };
    for (const auto& c : cases) {
        TickStation t(c.moment.addMs(-20'000));
        c.given(t.st());
        t.runTo(c.moment.addMs(-1500));
        t.stall(3000);
        EXPECT_EQ(t.times(c.action).size(), static_cast<std::size_t>(c.runs)) << c.name;
        for (const auto& at : t.times(c.action))
            EXPECT_EQ(at, TimeText(c.moment.addMs(1500)) + ".500") << c.name;
        t.runTo(c.moment.addMs(60'000));
        EXPECT_EQ(t.count(c.action), c.runs) << c.name;
    }
}

TEST(LateTick, AStallOverOnlyTheFirstSwitchMomentStillSwitchesTwice) {
    TickStation t(At(12, 0, 0));
    t.st().next.toSwitch.emplace();
    t.st().next.toSwitch->time = "12:00:10";
    t.st().next.toSwitch->day = 7;
    t.runTo(At(12, 0, 8, 400));  // count 2
    t.stall(1200);               // count 0 at the next tick
    t.runTo(At(12, 0, 20));
    EXPECT_EQ(t.times("RunSwitchOnly"), (std::vector<std::string>{"12:00:09.600", "12:00:09.600"}));
}

TEST(LateTick, TheRecordCueStillComesWhenItsSecondWasSkipped) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.next.record.emplace();
    st.next.record->recordNo = 1;
    st.next.record->seconds = 12 * 3600 + 60;
    st.next.record->dateText = "12/05/2026";
    t.runTo(At(12, 0, 42));  // count 18
    t.stall(3000);           // count 15
    EXPECT_TRUE(st.timers.TimerCue->isEnabled());
    t.runTo(At(12, 0, 51));  // count 9
    ASSERT_FALSE(st.timers.TimerCue->isEnabled());
    t.stall(5000);  // count 4
    EXPECT_TRUE(st.timers.TimerCue->isEnabled());
}

TEST(LateTick, ThePlaylistRefreshRunsLateOnceAndForTheRightDay) {
    // Given a manual schedule playing Saturday 10:00 and Sunday 08:00,
    ScheduleFields f;
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = "Farm Report";
    f.PlayStart = ScheduleStart::Manual;
    f.Action = ScheduleAction::Record;
    f.PlayTimes[6 * 4] = "10:00:00";
    f.PlayTimes[0] = "08:00:00";
    for (const bool pastMidnight : {false, true}) {
        TickStation t(At(23, 59, 0), [&](SimStation& s) {
            s.write("c:\\satfile\\SatList.dat", BuildScheduleRecord(f));
        });
        // when the loop stalls over 23:59:55 (into the next day, or not),
        t.runTo(At(23, 59, 54));
        t.stall(pastMidnight ? 8000 : 3000);
        // then the list holds Sunday's entries, and the flag is down again.
        ASSERT_EQ(t.st().main.PlayList.size(), 1u) << pastMidnight;
        EXPECT_EQ(t.st().main.PlayList[0].text, "08:00:00  Farm Report              ");
        t.runTo(On(kSunday, 0, 0, 10));
        EXPECT_FALSE(t.st().tick.PlaylistRefreshed);
        ASSERT_EQ(t.st().main.PlayList.size(), 1u);
    }
}

TEST(LateTick, ATimedPlayMoreThanAMinuteLateIsLoggedAsMissedNotStarted) {
    ScheduleFields f;
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = "Noon Show";
    f.PlayStart = ScheduleStart::Timed;
    f.Action = ScheduleAction::Record;
    TickStation t(At(12, 0, 0), [&](SimStation& s) {
        s.write("c:\\satfile\\SatList.dat", BuildScheduleRecord(f));
    });
    Station& st = t.st();
    st.Settings.ActivityLog = 1;
    TimedPlayAt(st, "12:00:10");
    t.runTo(At(12, 0, 9));
    t.stall(62'000);
    t.runTo(At(12, 2, 0));
    EXPECT_EQ(t.count("PlayScheduled"), 0);
    EXPECT_EQ(t.sim->read("c:\\satfile\\logs\\ER261205.log"),
              "12:01:11  Missed timed play Noon Show due 12/05/2026 12:00:10\r\n");
    // The finder moved on (the schedule has no more play times).
    EXPECT_FALSE(st.next.play);
}

TEST(ClockSetBack, ActionsAlreadyRunAreNotRepeated) {
    TickStation t(At(12, 0, 0));
    Station& st = t.st();
    st.Settings.EbNoLogRate = 1;
    st.next.toSwitch.emplace();
    st.next.toSwitch->time = "12:00:11";
    st.next.toSwitch->day = 7;
    t.runTo(At(12, 0, 15));
    ASSERT_EQ(t.count("PollReceiverEbNo"), 1);
    ASSERT_EQ(t.count("RunSwitchOnly"), 2);
    // The network time pulse sets the clock back ten seconds.
    t.sim->clock.set(At(12, 0, 5));
    t.runTo(At(12, 0, 30));
    EXPECT_EQ(t.count("PollReceiverEbNo"), 1);
    EXPECT_EQ(t.count("RunSwitchOnly"), 2);
}

TEST(ClockSetForward, RunsEachSkippedActionOnceInTimeOrder) {
    TickStation t(On(kSunday, 0, 0, 0));
    Station& st = t.st();
    st.Settings.EbNoLogRate = 5;
    TimedPlayAt(st, "00:00:40");
    st.next.play->date = kSunday;
    t.runTo(On(kSunday, 0, 0, 5));
    t.sim->clock.set(On(kSunday, 0, 1, 0));
    t.runTo(On(kSunday, 0, 1, 1));
    std::vector<std::string> order;
    for (const auto& a : t.actions) order.push_back(a.name);
    EXPECT_EQ(order,
              (std::vector<std::string>{"PollReceiverEbNo", "PurgeOldFiles", "PlayScheduled"}));
}
