// Whole days on simulated time, tick by tick, with the finders choosing what comes next.
#include <gtest/gtest.h>

#include "core/TickFixture.h"
#include "schedule/ScheduleRecord.h"

using namespace quillmar;
using quillmar::testing::SimStation;
using quillmar::testing::TickStation;

TEST(StationDays, TwoDaysRunEverySwitchPollPurgeAndRefreshOnce) {
    // Given a switch-only schedule at 06:00 on Sunday and Monday, hourly Eb/No polls and a
    // manual play time on Sunday and Monday,
    ScheduleFields sw;
    sw.InUse = ScheduleSlot::InUse;
    sw.ProgramName = "Morning feed";
    sw.Action = ScheduleAction::SwitchOnly;
    sw.UnityPort = "1";
    sw.RecordDays[0] = 1;
    sw.RecordTimes[0] = "06:00:00";
    sw.RecordDays[1] = 2;
    sw.RecordTimes[1] = "06:00:00";
    ScheduleFields manual;
    manual.InUse = ScheduleSlot::InUse;
    manual.ProgramName = "Swap Shop";
    manual.PlayStart = ScheduleStart::Manual;
    manual.Action = ScheduleAction::Record;
    manual.PlayTimes[0 * 4] = "09:00:00";
    manual.PlayTimes[1 * 4] = "10:00:00";
    TickStation t(DateTime::from(2026, 12, 5, 12, 0, 0), [&](SimStation& s) {
        s.write(kScheduleFilePath, BuildScheduleRecord(sw) + BuildScheduleRecord(manual));
    });
    t.st().Settings.EbNoLogRate = 1;
    ASSERT_EQ(t.st().next.toSwitch->time, "06:00:00");

    // when two days pass, Saturday noon to Monday noon,
    t.runTo(DateTime::from(2026, 12, 6, 12, 0, 0));
    ASSERT_EQ(t.st().main.PlayList.size(), 1u);  // Sunday's list, built at 23:59:55
    EXPECT_EQ(t.st().main.PlayList[0].text.substr(0, 8), "09:00:00");
    t.runTo(DateTime::from(2026, 12, 7, 12, 0, 0));

    // then each switch ran at 1 s and 0 s before its time, and each daily action once a day.
    EXPECT_EQ(t.seconds("RunSwitchOnly"),
              (std::vector<std::string>{"05:59:58", "05:59:59", "05:59:58", "05:59:59"}));
    EXPECT_EQ(t.count("PollReceiverEbNo"), 48);
    EXPECT_EQ(t.count("PurgeOldFiles"), 2);
    ASSERT_EQ(t.st().main.PlayList.size(), 1u);
    EXPECT_EQ(t.st().main.PlayList[0].text.substr(0, 8), "10:00:00");
    EXPECT_EQ(t.st().next.toSwitch->day, 1);  // next Sunday
}
