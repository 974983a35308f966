// The finders choose the next recording, timed play and switch from SatList.dat.
#include <gtest/gtest.h>

#include "core/NextEvent.h"
#include "core/ScheduleSequences.h"
#include "core/Startup.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

// Monday 09:00, the data files open.
struct Finders : ::testing::Test, SimStation {
    Finders() : SimStation(Monday(9)) { initialize(); }
};

struct Found {
    const char* name;
    std::function<void(SimStation&)> given;
    int recordNo;  // 0: none
    int slot;
    std::int32_t seconds;
    const char* date;
    const char* label;
};

TEST(NextRecord, TakesTheEarliestSlotAfterNow) {
    const auto put = [](std::vector<ScheduleFields> fs) {
        return [fs](SimStation& s) {
            int n = 0;
            for (const auto& f : fs) s.put(++n, f);
        };
    };
    const char* none = "No programs scheduled to record";
    // clang-format off
    const std::vector<Found> cases = {
        {"a slot ten seconds ago is a week ahead", put({WithSlot(Schedule("Morning News"), 1, 2, "08:59:50")}),
         1, 1, 8 * 3600 + 59 * 60 + 50, "12/14/2026",
         "Next to Record:  Monday  Morning News on  Monday   @ 08:59:50"},
        // The row is Sunday (the broadcast day); the weekday is the recording's own.
        {"today only strictly later", put({WithSlot(Schedule("Exactly Now"), 0, 2, "09:00:00"),
                                           WithSlot(Schedule("Next Second"), 0, 2, "09:00:01")}),
         2, 0, 9 * 3600 + 1, "12/07/2026", "Next to Record:  Sunday  Next Second on  Monday   @ 09:00:01"},
        {"equal times go to the lower record, the earliest day wins",
         put({WithSlot(Schedule("Thursday Early"), 4, 5, "01:00:00"), WithSlot(Schedule("First"), 2, 3, "10:00:00"),
              WithSlot(Schedule("Second"), 2, 3, "10:00:00"), WithSlot(Schedule("Tuesday Late"), 3, 3, "23:00:00")}),
         2, 2, 10 * 3600, "12/08/2026", "Next to Record:  Tuesday  First on  Tuesday   @ 10:00:00"},
        {"an empty file", {}, 0, 0, 0, "", none},
    };
    // clang-format on
    for (const auto& c : cases) {
        SimStation s(Monday(9));
        s.initialize();
        if (c.given) c.given(s);
        FindNextRecord(s.st());
        const auto& next = s.st().next.record;
        EXPECT_EQ(s.st().main.lblNextToRecord, c.label) << c.name;
        ASSERT_EQ(next.has_value(), c.recordNo != 0) << c.name;
        if (!next) continue;
        EXPECT_EQ(next->recordNo, c.recordNo) << c.name;
        EXPECT_EQ(next->slot, c.slot) << c.name;
        EXPECT_EQ(next->seconds, c.seconds) << c.name;
        EXPECT_EQ(next->dateText, c.date) << c.name;
    }
}

TEST_F(Finders, SwitchOnlyDeletedAndOffRowsAreNeverRecorded) {
    put(1, WithSlot(Schedule("Router", "3"), 2, 3, "08:00:00"));
    putDeleted(2);
    put(3, WithSlot(WithSlot(Schedule("Off Row"), 1, 0, "09:30:00"), 2, 4, ""));  // no time
    put(4, WithSlot(Schedule("Real"), 3, 4, "10:00:00"));
    FindNextRecord(st());
    EXPECT_EQ(st().next.record->recordNo, 4);
    const auto& active = st().schedule.ScheduleActive;
    EXPECT_EQ((std::vector<int>{active[1], active[2], active[4]}), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(st().schedule.ScheduleCount, 4);
    put(1000, WithSlot(Schedule("Outside"), 1, 2, "09:30:00"));
    FindNextRecord(st());
    EXPECT_EQ(st().next.record->recordNo, 4);
    EXPECT_EQ(st().schedule.ScheduleCount, 999);
}

TEST_F(Finders, ATornLastRecordCountsButItsMissingPlayTimesAreNotMidnight) {
    // The last record was cut after 300 bytes (row 2 still whole).
    put(1, WithSlot(Schedule("Whole"), 5, 6, "12:00:00"));
    const std::string torn = BuildScheduleRecord(WithSlot(Schedule("Torn"), 2, 3, "07:00:00"));
    ASSERT_TRUE(files.appendToFile(kScheduleFilePath, torn.substr(0, 300), nullptr));
    FindNextRecord(st());
    EXPECT_EQ(st().next.record->recordNo, 2);
    EXPECT_EQ(st().schedule.ScheduleCount, 2);
    FindNextPlay(st());
    EXPECT_FALSE(st().next.play);
}

TEST_F(Finders, AnEmptyFileClearsEveryLine) {
    st().main.lblNextSwitch = "earlier line";
    findNext();
    EXPECT_FALSE(st().next.play);
    EXPECT_FALSE(st().next.toSwitch);
    EXPECT_EQ(st().main.lblNextTimedPlay, "No programs scheduled to play");
    EXPECT_EQ(st().main.lblNextSwitch, "");
}

TEST_F(Finders, ManualStartIsNeverATimedPlayButASwitchOnlyScheduleMayPlay) {
    auto manual = WithPlay(Schedule("By Hand"), 4 + 1, "09:30:00");  // Monday slot 1
    manual.PlayStart = ScheduleStart::Manual;
    put(1, manual);
    put(2, WithPlay(Schedule("Timed"), 4 + 3, "11:00:00"));
    put(3, WithPlay(Schedule("Switch Plays", "3"), 8, "06:00:00"));  // Tuesday slot 0
    FindNextPlay(st());
    EXPECT_EQ(st().next.play->recordNo, 2);
    EXPECT_EQ(st().next.play->seconds, 11 * 3600);
    EXPECT_EQ(st().next.play->date, (Date{2026, 12, 7}));
    EXPECT_EQ(st().main.lblNextTimedPlay, "Next to Play:  Timed on  Monday   @ 11:00:00");

    putDeleted(2);
    FindNextPlay(st());
    EXPECT_EQ(st().next.play->recordNo, 3);
    EXPECT_EQ(st().next.play->dateText, "12/08/2026");
    putDeleted(3);
    FindNextPlay(st());
    EXPECT_FALSE(st().next.play);
    EXPECT_EQ(st().main.lblNextTimedPlay, "No programs scheduled to play");
}

TEST_F(Finders, MondayEightOClockSwitchSortsAfterTheWholeComingWeek) {
    // Slots Monday 08:00 (row 0), Sunday 07:00 (row 1) and Tuesday 07:00 (row 2), now Monday 09:00
    auto router = WithSlot(WithSlot(Schedule("Router", "3"), 0, 2, "08:00:00"), 1, 1, "07:00:00");
    put(1, WithSlot(router, 2, 3, "07:00:00"));
    auto gone = WithSlot(Schedule("Deleted Router", "3"), 3, 3, "06:00:00");
    gone.InUse = ScheduleSlot::Deleted;
    put(2, gone);
    put(3, WithSlot(Schedule("Recorder"), 4, 3, "05:00:00"));
    FindNextSwitch(st());
    // The keys are 19 (Monday past), 18 (next Sunday) and 13 (Tuesday).
    const auto& sorted = st().schedule.Weekly.lstSort.entries();
    ASSERT_EQ(sorted.size(), 3u);
    EXPECT_EQ(sorted[0].text, "13Tue 07:00:00  Tue Router                   ");
    EXPECT_EQ(sorted[0].itemData, 1321);
    EXPECT_EQ(sorted[1].text.substr(0, 2), "18");
    EXPECT_EQ(sorted[2].text, "19Mon 08:00:00  Sun Router                   ");
    EXPECT_EQ(sorted[2].itemData, 1901);
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule[0],
              "Tue 07:00:00  Tue Router                   ");
    ASSERT_TRUE(st().next.toSwitch);
    EXPECT_EQ((std::vector<int>{st().next.toSwitch->recordNo, st().next.toSwitch->day}),
              (std::vector<int>{1, 3}));
    EXPECT_EQ(st().main.lblNextSwitch, "Next to Switch:  Router, Port 2 on Tuesday   @ 07:00:00");

    // The only slot, passed today, wraps to next Monday (key 19 - 10 - 7).
    put(1, WithSlot(Schedule("Router", "3"), 0, 2, "08:00:00"));
    FindNextSwitch(st());
    EXPECT_EQ(st().next.toSwitch->day, 2);
    EXPECT_EQ(st().main.lblNextSwitch, "Next to Switch:  Router, Port 2 on Monday   @ 08:00:00");
}

TEST_F(Finders, TheSwitchFinderLeavesAnOpenPlayViewAlone) {
    put(1, WithPlay(WithSlot(Schedule("Router", "3"), 0, 3, "08:00:00"), 0, "06:00:00"));
    ShowWeeklyPlaySchedule(st());
    const auto before = st().schedule.Weekly.lstWeeklySchedule;
    FindNextSwitch(st());
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule, before);
    EXPECT_EQ(st().next.toSwitch->recordNo, 1);
}

TEST(NextEventsAtStart, StartStationFillsTheThreeLines) {
    SimStation sim(Monday(9));
    sim.write(
        kScheduleFilePath,
        ScheduleFile({WithSlot(Schedule("Router", "3"), 2, 3, "07:00:00"),
                      WithPlay(WithSlot(Schedule("News"), 1, 2, "10:00:00"), 5, "12:00:00")}));
    sim.start();
    const auto& next = sim.st().next;
    EXPECT_TRUE(next.record && next.play && next.toSwitch);
}

}  // namespace
