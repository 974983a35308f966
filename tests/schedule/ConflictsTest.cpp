#include <gtest/gtest.h>

#include "schedule/ScheduleConflicts.h"
#include "support/Builders.h"
#include "support/SimStation.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

ScheduleFields Rec(const char* name, int row, int day, const char* time, const char* action = "1") {
    return WithSlot(Schedule(name, action), row, day, time);
}
ScheduleFields Plays(const char* name, std::initializer_list<std::pair<int, const char*>> slots) {
    ScheduleFields f = Schedule(name);
    for (const auto& [slot, time] : slots) f = WithPlay(f, slot, time);
    return f;
}

// Schedules 1, 2, ... are checked against schedule `checked`: play conflicts, then record ones.
TEST(Conflicts, ReportEachOverlapOfTheSameKindOnTheSameRow) {
    ScheduleFields shortShow = Rec("Short Show", 0, 2, "10:00:00"),
                   gone = Rec("Alone", 0, 2, "10:00:00");
    shortShow.ProgramLength = "10:00";
    gone = WithPlay(gone, 0, "11:00:00");
    gone.InUse = ScheduleSlot::Deleted;
    const auto padded = Plays("  Padded A ", {{5, "10:00:00"}});
    const auto b = Plays("B", {{5, "10:20:00"}, {6, "10:00:00"}});
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
        {{Rec("Recorder", 3, 4, "08:00:00"), Rec("Router", 3, 4, "08:00:00", "3")}, 2, {}},
        {{Rec("Recorder", 3, 4, "08:00:00"), Rec("Router", 3, 4, "08:00:00", "3"), Rec("Other Router", 3, 4, "08:00:00", "3")}, 3,
         {"Record Other Router conflicts with Router on Wednesday", "Record Router conflicts with Other Router on Wednesday"}},
        // Play times compare slot by slot and name the later start first, either way round.
        {{padded, b}, 1, {playLine}},
        {{padded, b}, 2, {playLine}},
        // Never with itself or with a deleted schedule.
        {{WithPlay(Rec("Alone", 0, 2, "10:00:00"), 0, "11:00:00"), gone}, 1, {}},
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

}  // namespace
