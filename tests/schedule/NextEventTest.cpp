#include <fstream>

#include "ScheduleFixture.h"
#include "core/NextEvent.h"
#include "core/ScheduleSequences.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

class NextRecordTest : public ScheduleStoreTest {};

TEST_F(NextRecordTest, SlotTenSecondsAgoIsFoundOneWeekAhead) {
    // Given only a recording on Monday (row 1) at 08:59:50, and now Monday 09:00:00
    put(1, WithSlot(Schedule("Morning News"), 1, 2, "08:59:50"));
    // When
    FindNextRecord(st());
    // Then
    EXPECT_EQ(st().next.record->recordNo, 1);
    EXPECT_EQ(st().next.record->slot, 1);
    EXPECT_EQ(st().next.record->seconds, 8 * 3600 + 59 * 60 + 50);
    EXPECT_EQ(st().next.record->dateText, "12/14/2026");
    EXPECT_EQ(st().main.lblNextToRecord,
              "Next to Record:  Monday  Morning News on  Monday   @ 08:59:50");
}

TEST_F(NextRecordTest, TodayOnlyTakesTimesStrictlyLater) {
    put(1, WithSlot(Schedule("Exactly Now"), 0, 2, "09:00:00"));
    put(2, WithSlot(Schedule("Next Second"), 0, 2, "09:00:01"));
    FindNextRecord(st());
    EXPECT_EQ(st().next.record->recordNo, 2);
    EXPECT_EQ(st().next.record->dateText, "12/07/2026");
    // The row is Sunday (the broadcast day); the weekday is the recording's own.
    EXPECT_EQ(st().main.lblNextToRecord,
              "Next to Record:  Sunday  Next Second on  Monday   @ 09:00:01");
}

TEST_F(NextRecordTest, EqualTimesGoToTheLowerRecordAndTheEarliestDayWins) {
    put(1, WithSlot(Schedule("Thursday Early"), 4, 5, "01:00:00"));
    put(2, WithSlot(Schedule("First"), 2, 3, "10:00:00"));
    put(3, WithSlot(Schedule("Second"), 2, 3, "10:00:00"));
    put(4, WithSlot(Schedule("Tuesday Late"), 3, 3, "23:00:00"));
    FindNextRecord(st());
    EXPECT_EQ(st().next.record->recordNo, 2);
    EXPECT_EQ(st().next.record->slot, 2);
    EXPECT_EQ(st().next.record->dateText, "12/08/2026");
}

TEST_F(NextRecordTest, SwitchOnlyDeletedAndOffRowsAreNeverRecorded) {
    put(1, WithSlot(Schedule("Router", "3"), 2, 3, "08:00:00"));
    putDeleted(2);
    put(3, WithSlot(WithSlot(Schedule("Off Row"), 1, 0, "09:30:00"), 2, 4, ""));  // no time
    put(4, WithSlot(Schedule("Real"), 3, 4, "10:00:00"));
    FindNextRecord(st());
    EXPECT_EQ(st().next.record->recordNo, 4);
    EXPECT_EQ(st().schedule.ScheduleActive[1], 0);
    EXPECT_EQ(st().schedule.ScheduleActive[2], 0);
    EXPECT_EQ(st().schedule.ScheduleActive[4], 1);
    EXPECT_EQ(st().schedule.ScheduleCount, 4);
}

TEST_F(NextRecordTest, EmptyFileSaysSoAndClearsTheSwitchLine) {
    st().main.lblNextSwitch = "earlier line";
    FindNextRecord(st());
    FindNextPlay(st());
    FindNextSwitch(st());
    EXPECT_FALSE(st().next.record);
    EXPECT_FALSE(st().next.play);
    EXPECT_EQ(st().main.lblNextToRecord, "No programs scheduled to record");
    EXPECT_EQ(st().main.lblNextTimedPlay, "No programs scheduled to play");
    EXPECT_EQ(st().main.lblNextSwitch, "");
    EXPECT_FALSE(st().next.toSwitch);
}

TEST_F(NextRecordTest, RecordsBeyond999AreIgnored) {
    put(1, WithSlot(Schedule("Inside"), 5, 6, "12:00:00"));
    put(1000, WithSlot(Schedule("Outside"), 1, 2, "09:30:00"));
    FindNextRecord(st());
    FindNextPlay(st());
    FindNextSwitch(st());
    EXPECT_EQ(st().next.record->recordNo, 1);
    EXPECT_EQ(st().schedule.ScheduleCount, 999);
}

TEST_F(NextRecordTest, TornLastRecordCountsAsTheLastRecord) {
    // Given a file whose last record was cut after 300 bytes (row 2 still whole)
    put(1, WithSlot(Schedule("Whole"), 5, 6, "12:00:00"));
    const std::string torn = BuildScheduleRecord(WithSlot(Schedule("Torn"), 2, 3, "07:00:00"));
    ASSERT_TRUE(sim.files.appendToFile("c:\\satfile\\SatList.dat", torn.substr(0, 300), nullptr));
    FindNextRecord(st());
    EXPECT_EQ(st().next.record->recordNo, 2);
    EXPECT_EQ(st().schedule.ScheduleCount, 2);
    // Its missing play times do not appear as midnight plays.
    FindNextPlay(st());
    EXPECT_FALSE(st().next.play);
}

class NextPlayTest : public ScheduleStoreTest {};

TEST_F(NextPlayTest, ManualStartIsNeverATimedPlay) {
    auto manual = WithPlay(Schedule("By Hand"), 4 + 1, "09:30:00");  // Monday slot 1
    manual.PlayStart = ScheduleStart::Manual;
    put(1, manual);
    put(2, WithPlay(Schedule("Timed"), 4 + 3, "11:00:00"));
    FindNextPlay(st());
    EXPECT_EQ(st().next.play->recordNo, 2);
    EXPECT_EQ(st().next.play->seconds, 11 * 3600);
    EXPECT_EQ(st().next.play->dateText, "12/07/2026");
    EXPECT_EQ(st().next.play->date, (Date{2026, 12, 7}));
    EXPECT_EQ(st().next.play->time, "11:00:00");
    EXPECT_EQ(st().main.lblNextTimedPlay, "Next to Play:  Timed on  Monday   @ 11:00:00");
}

TEST_F(NextPlayTest, SwitchOnlySchedulesMayPlay) {
    put(1, WithPlay(Schedule("Switch Plays", "3"), 8, "06:00:00"));  // Tuesday slot 0
    FindNextPlay(st());
    EXPECT_EQ(st().next.play->recordNo, 1);
    EXPECT_EQ(st().next.play->dateText, "12/08/2026");

    putDeleted(1);
    FindNextPlay(st());
    EXPECT_FALSE(st().next.play);
    EXPECT_EQ(st().main.lblNextTimedPlay, "No programs scheduled to play");
}

class NextSwitchTest : public ScheduleStoreTest {};

TEST_F(NextSwitchTest, MondayEightOClockSortsAfterTheWholeComingWeek) {
    // Given now Monday 09:00, one switch schedule with slots Monday 08:00 (row 0),
    // Sunday 07:00 (row 1) and Tuesday 07:00 (row 2)
    auto router = Schedule("Router", "3");
    router = WithSlot(router, 0, 2, "08:00:00");
    router = WithSlot(router, 1, 1, "07:00:00");
    router = WithSlot(router, 2, 3, "07:00:00");
    put(1, router);
    auto gone = WithSlot(Schedule("Deleted Router", "3"), 3, 3, "06:00:00");
    gone.InUse = ScheduleSlot::Deleted;
    put(2, gone);
    put(3, WithSlot(Schedule("Recorder"), 4, 3, "05:00:00"));
    // When
    FindNextSwitch(st());
    // Then the keys are 19 (Monday past), 18 (next Sunday) and 13 (Tuesday)
    const auto& sorted = st().schedule.Weekly.lstSort.entries();
    ASSERT_EQ(sorted.size(), 3u);
    EXPECT_EQ(sorted[0].text, "13Tue 07:00:00  Tue Router                   ");
    EXPECT_EQ(sorted[0].itemData, 1321);
    EXPECT_EQ(sorted[1].text.substr(0, 2), "18");
    EXPECT_EQ(sorted[2].text, "19Mon 08:00:00  Sun Router                   ");
    EXPECT_EQ(sorted[2].itemData, 1901);
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule[0],
              "Tue 07:00:00  Tue Router                   ");
    EXPECT_EQ(st().next.toSwitch->recordNo, 1);
    EXPECT_EQ(st().next.toSwitch->day, 3);
    EXPECT_EQ(st().next.toSwitch->time, "07:00:00");
    EXPECT_EQ(st().next.toSwitch->name, "Router                   ");
    EXPECT_EQ(st().main.lblNextSwitch, "Next to Switch:  Router, Port 2 on Tuesday   @ 07:00:00");
}

TEST_F(NextSwitchTest, OnlyPassedSlotOfTodayWrapsToNextMonday) {
    put(1, WithSlot(Schedule("Router", "3"), 0, 2, "08:00:00"));
    FindNextSwitch(st());
    EXPECT_EQ(st().next.toSwitch->day, 2);  // key 19 - 10 - 7
    EXPECT_EQ(st().main.lblNextSwitch, "Next to Switch:  Router, Port 2 on Monday   @ 08:00:00");
}

TEST_F(NextSwitchTest, LeavesAnOpenPlayViewAlone) {
    put(1, WithPlay(WithSlot(Schedule("Router", "3"), 0, 3, "08:00:00"), 0, "06:00:00"));
    ShowWeeklyPlaySchedule(st());
    const auto before = st().schedule.Weekly.lstWeeklySchedule;
    FindNextSwitch(st());
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule, before);
    EXPECT_EQ(st().next.toSwitch->recordNo, 1);
}

TEST(NextEventsAtStart, StartStationFillsTheThreeLines) {
    SimStation sim(Monday(9));
    std::string error;
    ASSERT_TRUE(InitializeStation(sim.st(), &error)) << error;
    auto router = WithSlot(Schedule("Router", "3"), 2, 3, "07:00:00");
    ASSERT_TRUE(sim.st().schedule.SatListFile.write(1, BuildScheduleRecord(router)));
    auto news = WithPlay(WithSlot(Schedule("News"), 1, 2, "10:00:00"), 5, "12:00:00");
    ASSERT_TRUE(sim.st().schedule.SatListFile.write(2, BuildScheduleRecord(news)));
    sim.st().schedule.SatListFile.close();

    sim.start();
    EXPECT_EQ(sim.st().main.lblNextToRecord,
              "Next to Record:  Monday  News on  Monday   @ 10:00:00");
    EXPECT_EQ(sim.st().main.lblNextTimedPlay, "Next to Play:  News on  Monday   @ 12:00:00");
    EXPECT_EQ(sim.st().main.lblNextSwitch,
              "Next to Switch:  Router, Port 2 on Tuesday   @ 07:00:00");
}

}  // namespace
