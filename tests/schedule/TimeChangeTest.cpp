#include <gtest/gtest.h>

#include "core/ScheduleSequences.h"
#include "support/Builders.h"
#include "support/Logs.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

using Times = std::array<std::string, 8>;

// Record times move an hour across midnight, taking their day along; deleted schedules stay.
TEST(TimeChange, SpringAndAutumnShiftEveryRecordTimeAndLogOnce) {
    const struct {
        void (*shift)(Station&);
        std::vector<std::tuple<int, int, const char*>> slots;  // row, day, time
        const char* days;                                      // bytes 266-272 afterwards
        Times times;
        const char* router;
        const char* logged;
    } cases[] = {
        {AdjustSchedulesForDST,
         // Monday 10:30, Monday 00:15, Sunday 00:15, an Off row, a day without a time (Off)
         {{0, 2, "10:30:00"},
          {1, 2, "00:15:00"},
          {2, 1, "00:15:00"},
          {3, 0, "00:30:00"},
          {4, 5, ""}},
         "2170   ",
         {"09:30:00", "23:15:00", "23:15:00", "23:30:00", "", "", "", ""},
         "05:00:00",
         "Updated Schedules for DST"},
        {AdjustSchedulesForStandardTime,
         {{0, 6, "23:45:00"}, {1, 7, "23:45:00"}, {2, 3, "09:00:00"}},
         "713    ",
         {"00:45:00", "00:45:00", "10:00:00", "", "", "", "", ""},
         "07:00:00",
         "Updated Schedules for Standard Time"},
    };
    for (const auto& c : cases) {
        SimStation s(Monday(9));
        s.initialize();
        s.st().Settings.ActivityLog = 1;
        ScheduleFields f = WithPlay(Schedule("Shifted"), 0, "10:00:00");
        for (const auto& [row, day, time] : c.slots) f = WithSlot(f, row, day, time);
        s.put(1, f);
        s.put(2, WithSlot(Schedule("Router", "3"), 0, 3, "06:00:00"));
        auto gone = WithSlot(Schedule("Gone"), 0, 3, "06:00:00");
        gone.InUse = ScheduleSlot::Deleted;
        s.put(3, gone);
        std::string goneBefore, rec;
        s.st().schedule.SatListFile.read(3, &goneBefore);
        c.shift(s.st());
        s.st().schedule.SatListFile.read(1, &rec);
        EXPECT_EQ(rec.substr(265, 7), c.days) << c.logged;
        EXPECT_EQ(s.record(1).RecordTimes, c.times) << c.logged;
        EXPECT_EQ(s.record(1).PlayTimes[0] + " " + s.record(2).RecordTimes[0],
                  std::string("10:00:00 ") + c.router);
        s.st().schedule.SatListFile.read(3, &rec);
        EXPECT_EQ(rec, goneBefore) << c.logged;
        EXPECT_EQ(Unstamped(s.log("AL")), std::vector<std::string>{c.logged});
    }
}

// The clock tick arms the shift at 01:59:54 on a change day when the setting asks for it;
// the shift runs once and the timer turns itself off, on any day.
TEST(TimeChange, TheTickArmsTheShiftOnlyOnAChangeDayAndItRunsOnce) {
    const struct {
        Date day;
        int adjust;
        bool arms, forced;
        const char* after;
    } cases[] = {
        {{2026, 3, 8}, 1, true, false, "09:00:00"},
        {{2026, 11, 1}, 1, true, false, "11:00:00"},
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
