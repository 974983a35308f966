// What the schedule says: next events, weekly views, conflicts, shifts at a time change.
#include <gtest/gtest.h>

#include "core/NextEvent.h"
#include "core/ScheduleSequences.h"
#include "schedule/ScheduleConflicts.h"
#include "support/Builders.h"
#include "support/Logs.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

// Monday 09:00, the data files open.
struct Finders : ::testing::Test, SimStation {
    Finders() : SimStation(Monday(9)) { initialize(); }
};

ScheduleFields Gone(ScheduleFields f) {
    f.InUse = ScheduleSlot::Deleted;
    return f;
}

// The moments themselves the simulated weeks check; here the choice and its line.
TEST(NextRecord, TakesTheEarliestSlotAfterNow) {
    const struct {
        std::vector<std::pair<int, ScheduleFields>> given;
        const char* label;
    } cases[] = {
        // clang-format off
        // A slot ten seconds ago is a week ahead.
        {{{1, WithSlot(Schedule("Morning News"), 1, 2, "08:59:50")}}, "Next to Record:  Monday  Morning News on  Monday   @ 08:59:50"},
        // Today only strictly later; the row is Sunday (the broadcast day).
        {{{1, WithSlot(Schedule("Exactly Now"), 0, 2, "09:00:00")}, {2, WithSlot(Schedule("Next Second"), 0, 2, "09:00:01")}},
         "Next to Record:  Sunday  Next Second on  Monday   @ 09:00:01"},
        // Equal times go to the lower record, the earliest day wins.
        {{{1, WithSlot(Schedule("Thursday Early"), 4, 5, "01:00:00")}, {2, WithSlot(Schedule("First"), 2, 3, "10:00:00")},
          {3, WithSlot(Schedule("Second"), 2, 3, "10:00:00")}, {4, WithSlot(Schedule("Tuesday Late"), 3, 3, "23:00:00")}},
         "Next to Record:  Tuesday  First on  Tuesday   @ 10:00:00"},
        // Never a switch, a deleted schedule, an Off row, a day without a time or a record past 999.
        {{{1, WithSlot(Schedule("Router", "3"), 2, 3, "08:00:00")}, {2, Gone(WithSlot(Schedule("Gone"), 2, 3, "08:00:00"))},
          {3, WithSlot(WithSlot(Schedule("Off Row"), 1, 0, "09:30:00"), 2, 4, "")},
          {4, WithSlot(Schedule("Real"), 3, 4, "10:00:00")}, {1000, WithSlot(Schedule("Outside"), 1, 2, "09:30:00")}},
         "Next to Record:  Wednesday  Real on  Wednesday   @ 10:00:00"},
        {{}, "No programs scheduled to record"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SimStation s(Monday(9));
        s.initialize();
        for (const auto& [n, f] : c.given) s.put(n, f);
        FindNextRecord(s.st());
        EXPECT_EQ(s.st().main.lblNextToRecord, c.label);
        EXPECT_EQ(s.st().next.record.has_value(), c.given.size() > 0) << c.label;
    }
}

TEST_F(Finders, ATornLastRecordCountsButItsMissingPlayTimesAreNotMidnight) {
    put(1, WithSlot(Schedule("Whole"), 5, 6, "12:00:00"));
    const std::string torn = BuildScheduleRecord(WithSlot(Schedule("Torn"), 2, 3, "07:00:00"));
    ASSERT_TRUE(files.appendToFile(kScheduleFilePath, torn.substr(0, 300), nullptr));
    FindNextRecord(st());
    EXPECT_EQ(st().next.record->recordNo, 2);
    FindNextPlay(st());
    EXPECT_FALSE(st().next.play);
}

TEST_F(Finders, ASwitchOnlyScheduleMayPlayAndWithNothingLeftTheLinesClear) {
    put(1, WithPlay(Schedule("Timed"), 4 + 3, "11:00:00"));
    put(2, WithPlay(Schedule("Switch Plays", "3"), 8, "06:00:00"));  // Tuesday slot 0
    FindNextPlay(st());
    EXPECT_EQ(st().main.lblNextTimedPlay, "Next to Play:  Timed on  Monday   @ 11:00:00");
    putDeleted(1);
    FindNextPlay(st());
    EXPECT_EQ(st().main.lblNextTimedPlay, "Next to Play:  Switch Plays on  Tuesday   @ 06:00:00");
    // With nothing left every line clears.
    putDeleted(2);
    st().main.lblNextSwitch = "earlier line";
    findNext();
    EXPECT_FALSE(st().next.play || st().next.toSwitch);
    EXPECT_EQ(st().main.lblNextTimedPlay + "|" + st().main.lblNextSwitch,
              "No programs scheduled to play|");
}

TEST_F(Finders, MondayEightOClockSwitchSortsAfterTheWholeComingWeek) {
    // Slots Monday 08:00 (row 0), Sunday 07:00 (row 1) and Tuesday 07:00 (row 2), now Monday 09:00
    auto router = WithSlot(WithSlot(Schedule("Router", "3"), 0, 2, "08:00:00"), 1, 1, "07:00:00");
    put(1, WithSlot(router, 2, 3, "07:00:00"));
    put(2, Gone(WithSlot(Schedule("Deleted Router", "3"), 3, 3, "06:00:00")));
    put(3, WithSlot(Schedule("Recorder"), 4, 3, "05:00:00"));
    FindNextSwitch(st());
    EXPECT_EQ(st().main.lblNextSwitch, "Next to Switch:  Router, Port 2 on Tuesday   @ 07:00:00");
}

TEST_F(Finders, TheSwitchFinderLeavesAnOpenPlayViewAlone) {
    put(1, WithPlay(WithSlot(Schedule("Router", "3"), 0, 3, "08:00:00"), 0, "06:00:00"));
    ShowWeeklyPlaySchedule(st());
    const auto before = st().schedule.Weekly.lstWeeklySchedule;
    FindNextSwitch(st());
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule, before);
    EXPECT_EQ(st().next.toSwitch->recordNo, 1);
}

// Plays by day, then time, then name without regard to case; records and switches each
// take their own kind and skip Off rows.
TEST_F(Finders, EachViewListsItsKindInWeekOrder) {
    auto manual = WithPlay(Schedule("alpha"), 9, "06:00:00");  // Tuesday slot 1
    manual.PlayStart = ScheduleStart::Manual;
    auto news = WithSlot(Schedule("News"), 0, 2, "10:00:00");  // recorded Monday for Sunday
    news = WithSlot(WithSlot(news, 1, 0, "11:00:00"), 3, 2, "09:00:00");  // row 1 Off
    put(1, WithPlay(WithPlay(Schedule("Zulu"), 8, "06:00:00"), 27, "23:00:00"));
    put(2, manual);
    put(3, WithPlay(WithSlot(Schedule("Router", "3"), 4, 7, "08:00:00"), 0, "05:00:00"));
    put(4, news);
    put(5, Gone(WithPlay(Schedule("Gone"), 0, "01:00:00")));
    const struct {
        void (*show)(Station&);
        const char* caption;
        std::vector<std::string> lines;
    } views[] = {
        // clang-format off
        {ShowWeeklyPlaySchedule, "Weekly Play Schedule",
         {"Sun 05:00:00 Router                   ", "Tue 06:00:00 alpha                    ",
          "Tue 06:00:00 Zulu                     ", "Sat 23:00:00 Zulu                     "}},
        {ShowWeeklyRecordSchedule, "Weekly Record Schedule",
         {"Mon 09:00:00  Wed News                     ", "Mon 10:00:00  Sun News                     "}},
        {ShowWeeklySwitchSchedule, "Weekly Switch Schedule", {"Sat 08:00:00  Thu Router                   "}},
        // clang-format on
    };
    for (const auto& v : views) {
        v.show(st());
        EXPECT_EQ(st().schedule.Weekly.caption, v.caption);
        EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule, v.lines) << v.caption;
    }
}

TEST(SortedListOrder, IgnoresCaseAndKeepsEqualEntriesInArrivalOrder) {
    SortedList list;
    for (long long n = 1; const char* text : {"b", "A", "a", " 9"}) list.add(text, n++);
    std::vector<long long> order;
    for (const auto& e : list.entries()) order.push_back(e.itemData);
    EXPECT_EQ(order, (std::vector<long long>{4, 2, 3, 1}));
}

ScheduleFields Rec(const char* name, int row, int day, const char* time, const char* action = "1") {
    return WithSlot(Schedule(name, action), row, day, time);
}

// Schedules 1, 2, ... are checked against schedule `checked`: play conflicts, then record ones.
TEST(Conflicts, ReportEachOverlapOfTheSameKindOnTheSameRow) {
    ScheduleFields shortShow = Rec("Short Show", 0, 2, "10:00:00");
    shortShow.ProgramLength = "10:00";
    const auto alone = WithPlay(Rec("Alone", 0, 2, "10:00:00"), 0, "11:00:00");
    const auto padded = WithPlay(Schedule("  Padded A "), 5, "10:00:00");
    const auto b = WithPlay(WithPlay(Schedule("B"), 5, "10:20:00"), 6, "10:00:00");
    const char* playLine = "Play B conflicts with Padded A on Monday @ 10:20:00";
    const struct {
        std::vector<ScheduleFields> schedules;
        int checked;
        std::vector<std::string> lines;
    } cases[] = {
        // clang-format off
        {{Rec("Long Show", 0, 2, "10:00:00"), shortShow}, 1,
         {"Record Long Show conflicts with Short Show on Sunday", "Record Short Show conflicts with Long Show on Sunday"}},
        // The window's end is inclusive, and the rows must match.
        {{Rec("First", 0, 2, "10:00:00"), Rec("Second", 0, 2, "10:30:00")}, 2, {"Record First conflicts with Second on Sunday"}},
        {{Rec("First", 0, 2, "10:00:00"), Rec("Second", 1, 2, "10:30:00")}, 2, {}},
        {{Rec("First", 0, 2, "10:00:00"), Rec("Second", 0, 2, "10:30:01")}, 2, {}},
        // A recording and a switch never conflict; two switches do.
        {{Rec("Recorder", 3, 4, "08:00:00"), Rec("Router", 3, 4, "08:00:00", "3"), Rec("Other Router", 3, 4, "08:00:00", "3")}, 3,
         {"Record Other Router conflicts with Router on Wednesday", "Record Router conflicts with Other Router on Wednesday"}},
        // Play times compare slot by slot and name the later start first, either way round.
        {{padded, b}, 1, {playLine}},
        {{padded, b}, 2, {playLine}},
        {{padded, WithPlay(Schedule("C"), 5, "10:00:00")}, 1,
         {"Play C conflicts with Padded A on Monday @ 10:00:00", "Play Padded A conflicts with C on Monday @ 10:00:00"}},
        {{padded, WithPlay(Schedule("C"), 5, "10:30:00")}, 1, {"Play C conflicts with Padded A on Monday @ 10:30:00"}},
        // Never with itself or with a deleted schedule.
        {{alone, Gone(alone)}, 1, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SimStation s(Monday(9));
        s.initialize();
        for (std::size_t n = 0; n < c.schedules.size(); ++n)
            s.put(static_cast<int>(n) + 1, c.schedules[n]);
        auto lines = CheckPlayConflicts(s.st().schedule, c.checked);
        for (auto& line : CheckRecordConflicts(s.st().schedule, c.checked)) lines.push_back(line);
        EXPECT_EQ(lines, c.lines) << c.schedules[1].ProgramName << " / " << c.checked;
    }
}

// Record times move an hour across midnight, taking their day along; deleted schedules stay.
TEST(TimeChange, SpringAndAutumnShiftEveryRecordTimeAndLogOnce) {
    const struct {
        void (*shift)(Station&);
        std::vector<std::tuple<int, int, const char*>> slots;  // row, day, time
        const char* days;                                      // bytes 266-272 afterwards
        std::array<std::string, 8> times;
        const char* router;
        const char* logged;
    } cases[] = {
        // clang-format off
        // Monday 10:30, Monday 00:15, Sunday 00:15, an Off row, a day without a time (Off)
        {AdjustSchedulesForDST, {{0, 2, "10:30:00"}, {1, 2, "00:15:00"}, {2, 1, "00:15:00"}, {3, 0, "00:30:00"}, {4, 5, ""}},
         "2170   ", {"09:30:00", "23:15:00", "23:15:00", "23:30:00", "", "", "", ""}, "05:00:00", "Updated Schedules for DST"},
        {AdjustSchedulesForStandardTime, {{0, 6, "23:45:00"}, {1, 7, "23:45:00"}, {2, 3, "09:00:00"}},
         "713    ", {"00:45:00", "00:45:00", "10:00:00", "", "", "", "", ""}, "07:00:00", "Updated Schedules for Standard Time"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SimStation s(Monday(9));
        s.initialize();
        s.st().Settings.ActivityLog = 1;
        ScheduleFields f = WithPlay(Schedule("Shifted"), 0, "10:00:00");
        for (const auto& [row, day, time] : c.slots) f = WithSlot(f, row, day, time);
        s.put(1, f);
        s.put(2, WithSlot(Schedule("Router", "3"), 0, 3, "06:00:00"));
        s.put(3, Gone(WithSlot(Schedule("Gone"), 0, 3, "06:00:00")));
        const std::string before = s.read(kScheduleFilePath);
        c.shift(s.st());
        const std::string after = s.read(kScheduleFilePath);
        EXPECT_EQ(after.substr(265, 7), c.days) << c.logged;
        EXPECT_EQ(s.record(1).RecordTimes, c.times) << c.logged;
        EXPECT_EQ(s.record(1).PlayTimes[0] + " " + s.record(2).RecordTimes[0],
                  std::string("10:00:00 ") + c.router);
        EXPECT_EQ(after.substr(662), before.substr(662)) << c.logged;  // the deleted one
        EXPECT_EQ(Unstamped(s.log("AL")), std::vector<std::string>{c.logged});
    }
}

// The tick arms the shift at 01:59:54 on a change day when the setting asks; the timer turns
// itself off and shifts only on a change day (the simulated weeks show both changes run once).
TEST(TimeChange, TheTickArmsTheShiftOnlyOnAChangeDayAndItRunsOnce) {
    const struct {
        Date day;
        int adjust;
        bool arms, forced;
        const char* after;
    } cases[] = {
        {{2026, 3, 8}, 1, true, false, "09:00:00"},
        {{2026, 3, 8}, 0, false, false, "10:00:00"},
        {{2026, 3, 9}, 1, false, true, "10:00:00"},
    };
    for (const auto& c : cases) {
        const auto at = [&](int h, int m, int sec, int ms = 0) {
            return DateTime::from(c.day.year, c.day.month, c.day.day, h, m, sec, ms);
        };
        SimStation s(at(1, 59, 50));
        s.write(kScheduleFilePath, ScheduleFile({WithSlot(Schedule("X"), 0, 2, "10:00:00")}));
        s.start();
        s.st().Settings.AdjustForTimeChange = static_cast<std::int16_t>(c.adjust);
        Timer& timer = *s.st().timers.tmrTimeChange;
        s.runTo(at(1, 59, 54));
        EXPECT_FALSE(timer.isEnabled());
        s.runTo(at(1, 59, 54, 50));
        EXPECT_EQ(timer.isEnabled(), c.arms) << c.day.day;
        if (c.forced) timer.setEnabled(true);
        s.runTo(at(2, 0, 30));
        EXPECT_FALSE(timer.isEnabled()) << c.day.day;
        EXPECT_EQ(s.record(1).RecordTimes[0], c.after) << c.day.day;
    }
}

}  // namespace
