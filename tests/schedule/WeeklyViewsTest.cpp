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

// Plays by day, then time, then name without regard to case; records and switches each
// take their own kind and skip Off rows.
TEST_F(WeeklyViewsTest, EachViewListsItsKindInWeekOrder) {
    auto manual = WithPlay(Schedule("alpha"), 9, "06:00:00");  // Tuesday slot 1
    manual.PlayStart = ScheduleStart::Manual;
    auto gone = WithPlay(Schedule("Gone"), 0, "01:00:00");
    gone.InUse = ScheduleSlot::Deleted;
    auto news = WithSlot(Schedule("News"), 0, 2, "10:00:00");  // recorded Monday for Sunday
    news = WithSlot(WithSlot(news, 1, 0, "11:00:00"), 3, 2, "09:00:00");  // row 1 Off
    put(1, WithPlay(WithPlay(Schedule("Zulu"), 8, "06:00:00"), 27, "23:00:00"));
    put(2, manual);
    put(3, WithPlay(WithSlot(Schedule("Router", "3"), 4, 7, "08:00:00"), 0, "05:00:00"));
    put(4, news);
    put(5, gone);
    const struct {
        void (*show)(Station&);
        const char* caption;
        std::vector<std::string> lines;
    } views[] = {
        {ShowWeeklyPlaySchedule,
         "Weekly Play Schedule",
         {"Sun 05:00:00 Router                   ", "Tue 06:00:00 alpha                    ",
          "Tue 06:00:00 Zulu                     ", "Sat 23:00:00 Zulu                     "}},
        {ShowWeeklyRecordSchedule,
         "Weekly Record Schedule",
         {"Mon 09:00:00  Wed News                     ",
          "Mon 10:00:00  Sun News                     "}},
        {ShowWeeklySwitchSchedule,
         "Weekly Switch Schedule",
         {"Sat 08:00:00  Thu Router                   "}},
    };
    for (const auto& v : views) {
        v.show(st());
        EXPECT_EQ(st().schedule.Weekly.caption, v.caption);
        EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule, v.lines) << v.caption;
    }
}

TEST_F(WeeklyViewsTest, OpeningAgainRebuildsFromTheFile) {
    put(1, WithPlay(Schedule("First"), 0, "05:00:00"));
    ShowWeeklyPlaySchedule(st());
    const int revision = st().schedule.Weekly.revision;
    put(2, WithPlay(Schedule("Second"), 4, "05:00:00"));
    ShowWeeklyPlaySchedule(st());
    EXPECT_EQ(st().schedule.Weekly.lstWeeklySchedule.size(), 2u);
    EXPECT_GT(st().schedule.Weekly.revision, revision);  // the window redraws on it
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
