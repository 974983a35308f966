#include "ScheduleFixture.h"
#include "schedule/ScheduleConflicts.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

class ConflictsTest : public ScheduleStoreTest {
  protected:
    std::vector<std::string> check(int recordNo) {
        auto lines = CheckPlayConflicts(st().schedule, recordNo);
        for (auto& line : CheckRecordConflicts(st().schedule, recordNo)) lines.push_back(line);
        return lines;
    }
};

TEST_F(ConflictsTest, SameStartGivesOneLineFromEachTest) {
    auto a = WithSlot(Schedule("Long Show"), 0, 2, "10:00:00");
    auto b = WithSlot(Schedule("Short Show"), 0, 2, "10:00:00");
    b.ProgramLength = "10:00";
    put(1, a);
    put(2, b);
    EXPECT_EQ(check(1),
              (std::vector<std::string>{"Record Long Show conflicts with Short Show on Sunday",
                                        "Record Short Show conflicts with Long Show on Sunday"}));
}

TEST_F(ConflictsTest, WindowEndIsInclusiveAndRowsMustMatch) {
    put(1, WithSlot(Schedule("First"), 0, 2, "10:00:00"));
    put(2, WithSlot(Schedule("Second"), 0, 2, "10:30:00"));
    EXPECT_EQ(check(2), (std::vector<std::string>{"Record First conflicts with Second on Sunday"}));

    put(2, WithSlot(Schedule("Second"), 1, 2, "10:30:00"));
    EXPECT_TRUE(check(2).empty());

    put(2, WithSlot(Schedule("Second"), 0, 2, "10:30:01"));
    EXPECT_TRUE(check(2).empty());
}

TEST_F(ConflictsTest, DifferentActionsNeverConflictButTwoSwitchesDo) {
    put(1, WithSlot(Schedule("Recorder"), 3, 4, "08:00:00"));
    put(2, WithSlot(Schedule("Router", "3"), 3, 4, "08:00:00"));
    EXPECT_TRUE(check(2).empty());

    put(3, WithSlot(Schedule("Other Router", "3"), 3, 4, "08:00:00"));
    EXPECT_EQ(check(3),
              (std::vector<std::string>{"Record Other Router conflicts with Router on Wednesday",
                                        "Record Router conflicts with Other Router on Wednesday"}));
}

TEST_F(ConflictsTest, PlayTimesCompareSlotBySlotAndNameTheLaterStartFirst) {
    put(1, WithPlay(Schedule("  Padded A "), 5, "10:00:00"));
    auto b = WithPlay(WithPlay(Schedule("B"), 5, "10:20:00"), 6, "10:00:00");
    put(2, b);
    EXPECT_EQ(check(1),
              (std::vector<std::string>{"Play B conflicts with Padded A on Monday @ 10:20:00"}));
    EXPECT_EQ(check(2),
              (std::vector<std::string>{"Play B conflicts with Padded A on Monday @ 10:20:00"}));
}

TEST_F(ConflictsTest, NeverWithItselfOrWithDeletedSchedules) {
    auto a = WithPlay(WithSlot(Schedule("Alone"), 0, 2, "10:00:00"), 0, "11:00:00");
    put(1, a);
    a.InUse = ScheduleSlot::Deleted;
    put(2, a);
    EXPECT_TRUE(check(1).empty());
}

}  // namespace
