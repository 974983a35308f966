#include "ScheduleFixture.h"
#include "core/ClockTick.h"
#include "core/ScheduleSequences.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

class TimeChangeTest : public ScheduleStoreTest {
  protected:
    std::string raw(int n) {
        std::string rec;
        st().schedule.SatListFile.read(n, &rec);
        return rec;
    }
};

TEST_F(TimeChangeTest, SpringMovesRecordTimesAnHourEarlierAcrossMidnight) {
    auto f = Schedule("Shifted");
    f = WithSlot(f, 0, 2, "10:30:00");  // Monday 10:30 -> Monday 09:30
    f = WithSlot(f, 1, 2, "00:15:00");  // Monday 00:15 -> Sunday 23:15
    f = WithSlot(f, 2, 1, "00:15:00");  // Sunday 00:15 -> Saturday 23:15
    f = WithSlot(f, 3, 0, "00:30:00");  // Off keeps Off
    f = WithSlot(f, 4, 5, "");          // a day without a time becomes Off
    f = WithPlay(f, 0, "10:00:00");
    put(1, f);
    put(2, WithSlot(Schedule("Router", "3"), 0, 3, "06:00:00"));
    auto gone = WithSlot(Schedule("Gone"), 0, 3, "06:00:00");
    gone.InUse = ScheduleSlot::Deleted;
    put(3, gone);
    const std::string goneBefore = raw(3);

    AdjustSchedulesForDST(st());

    const auto g = record(1);
    EXPECT_EQ(g.RecordDays, (std::array<int, 8>{2, 1, 7, 0, 0, 0, 0, 0}));
    EXPECT_EQ(g.RecordTimes[0], "09:30:00");
    EXPECT_EQ(g.RecordTimes[1], "23:15:00");
    EXPECT_EQ(g.RecordTimes[2], "23:15:00");
    EXPECT_EQ(g.RecordTimes[3], "23:30:00");
    EXPECT_EQ(raw(1).substr(265, 7), "2170   ");
    EXPECT_EQ(g.PlayTimes[0], "10:00:00");
    EXPECT_EQ(record(2).RecordTimes[0], "05:00:00");
    EXPECT_EQ(raw(3), goneBefore);
}

TEST_F(TimeChangeTest, AutumnMovesAnHourLaterAndLogsOnce) {
    st().Settings.ActivityLog = 1;
    auto f = Schedule("Shifted");
    f = WithSlot(f, 0, 6, "23:45:00");  // Friday -> Saturday 00:45
    f = WithSlot(f, 1, 7, "23:45:00");  // Saturday -> Sunday 00:45
    f = WithSlot(f, 2, 3, "09:00:00");
    put(1, f);

    AdjustSchedulesForStandardTime(st());

    const auto g = record(1);
    EXPECT_EQ(g.RecordDays[0], 7);
    EXPECT_EQ(g.RecordDays[1], 1);
    EXPECT_EQ(g.RecordTimes[0], "00:45:00");
    EXPECT_EQ(g.RecordTimes[2], "10:00:00");
    const std::string log = sim.read("c:\\satfile\\logs\\AL261207.log");
    EXPECT_NE(log.find("Updated Schedules for Standard Time"), std::string::npos);
}

TEST(TimeChangeTimer, ShiftsOnlyOnAChangeDateAndDisablesItself) {
    // Given the spring change day of 2026 (8 March), 01:59:58
    SimStation sim(DateTime::from(2026, 3, 8, 1, 59, 58));
    std::string error;
    ASSERT_TRUE(InitializeStation(sim.st(), &error)) << error;
    ASSERT_TRUE(sim.st().schedule.SatListFile.write(
        1, BuildScheduleRecord(WithSlot(Schedule("X"), 0, 2, "10:00:00"))));
    sim.st().timers.tmrTimeChange->setEnabled(true);
    // When the timer fires
    sim.loop.advance(4000);
    // Then the shift ran once and the timer is off
    std::string rec;
    sim.st().schedule.SatListFile.read(1, &rec);
    EXPECT_EQ(ParseScheduleRecord(rec).RecordTimes[0], "09:00:00");
    EXPECT_FALSE(sim.st().timers.tmrTimeChange->isEnabled());
    sim.loop.advance(8000);
    sim.st().schedule.SatListFile.read(1, &rec);
    EXPECT_EQ(ParseScheduleRecord(rec).RecordTimes[0], "09:00:00");

    // On any other day the timer only disables itself.
    sim.clock.set(DateTime::from(2026, 3, 9, 1, 59, 58));
    sim.st().timers.tmrTimeChange->setEnabled(true);
    sim.loop.advance(4000);
    sim.st().schedule.SatListFile.read(1, &rec);
    EXPECT_EQ(ParseScheduleRecord(rec).RecordTimes[0], "09:00:00");
    EXPECT_FALSE(sim.st().timers.tmrTimeChange->isEnabled());
}

}  // namespace
