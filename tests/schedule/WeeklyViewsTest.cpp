#include <gtest/gtest.h>

#include "core/ScheduleSequences.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

struct WeeklyViewsTest : ::testing::Test, SimStation {
    WeeklyViewsTest() : SimStation(Monday(9)) { initialize(); }
};

TEST_F(WeeklyViewsTest, PlayViewListsEveryPlayByDayThenTimeThenName) {
    // Given two schedules playing Tuesday 06:00 and a switch-only one playing Sunday
    put(1, WithPlay(WithPlay(Schedule("Zulu"), 8, "06:00:00"), 27, "23:00:00"));
    auto manual = WithPlay(Schedule("alpha"), 9, "06:00:00");
    manual.PlayStart = ScheduleStart::Manual;
    put(2, manual);
    put(3, WithPlay(Schedule("Router", "3"), 0, "05:00:00"));
    put(4, Schedule("No Plays"));
    auto gone = WithPlay(Schedule("Gone"), 0, "01:00:00");
    gone.InUse = ScheduleSlot::Deleted;
    put(5, gone);
    // When
    ShowWeeklyPlaySchedule(st());
    // Then
    EXPECT_EQ(st().schedule.Weekly.caption, "Weekly Play Schedule");
    EXPECT_EQ(
        st().schedule.Weekly.lstWeeklySchedule,
        (std::vector<std::string>{
            "Sun 05:00:00 Router                   ", "Tue 06:00:00 alpha                    ",
            "Tue 06:00:00 Zulu                     ", "Sat 23:00:00 Zulu                     "}));
}

TEST_F(WeeklyViewsTest, RecordAndSwitchViewsTakeTheirOwnKindAndSkipOffRows) {
    auto news = WithSlot(Schedule("News"), 0, 2, "10:00:00");  // recorded Monday for Sunday
    news = WithSlot(news, 1, 0, "11:00:00");                   // Off row with a time
    news = WithSlot(news, 3, 2, "09:00:00");
    put(1, news);
    put(2, WithSlot(Schedule("Router", "3"), 4, 7, "08:00:00"));

    ShowWeeklyRecordSchedule(st());
    EXPECT_EQ(st().schedule.Weekly.caption, "Weekly Record Schedule");
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule,
              (std::vector<std::string>{"Mon 09:00:00  Wed News                     ",
                                        "Mon 10:00:00  Sun News                     "}));

    ShowWeeklySwitchSchedule(st());
    EXPECT_EQ(st().schedule.Weekly.caption, "Weekly Switch Schedule");
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule,
              (std::vector<std::string>{"Sat 08:00:00  Thu Router                   "}));
}

TEST_F(WeeklyViewsTest, OpeningAgainRebuildsFromTheFile) {
    put(1, WithPlay(Schedule("First"), 0, "05:00:00"));
    ShowWeeklyPlaySchedule(st());
    const int revision = st().schedule.Weekly.revision;
    put(2, WithPlay(Schedule("Second"), 4, "05:00:00"));
    ShowWeeklyPlaySchedule(st());
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule.size(), 2u);
    EXPECT_GT(st().schedule.Weekly.revision, revision);
}

TEST(SortedListOrder, IgnoresCaseAndKeepsEqualEntriesInArrivalOrder) {
    SortedList list;
    list.add("b", 1);
    list.add("A", 2);
    list.add("a", 3);
    list.add(" 9", 4);
    std::vector<long long> order;
    for (const auto& e : list.entries()) order.push_back(e.itemData);
    EXPECT_EQ(order, (std::vector<long long>{4, 2, 3, 1}));
}

}  // namespace
