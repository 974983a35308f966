#pragma once
// State of the schedule store's windows that the station's procedures fill: the weekly view
// lists, the conflict list and the progress of a floppy copy. The windows only render it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/RecordFile.h"
#include "platform/SortedList.h"

namespace quillmar {

struct WeeklyScheduleModel {
    enum class View { None, Play, Record, Switch };
    View view = View::None;  // the view last built for the window
    std::string caption;
    SortedList lstSort;                          // hidden, sorted
    std::vector<std::string> lstWeeklySchedule;  // shown, in insertion order
    int revision = 0;                            // bumped whenever the lists are rebuilt
};

struct ProgressBarModel {
    bool visible = false;
    int max = 0;
    int value = 0;
};

// The schedule store: SatList.dat, open for the whole run, the schedules in use, the weekly
// window's lists (also refilled by FindNextSwitch), the conflict lines of the last Apply
// (lstConflicts), the main window's progress bar of the floppy copies (and whether one runs)
// and this year's daylight-saving dates.
struct ScheduleStore {
    RecordFile SatListFile;
    std::array<std::int32_t, 1000> ScheduleActive{};
    std::int32_t ScheduleCount = 0;
    WeeklyScheduleModel Weekly;
    std::vector<std::string> ScheduleConflicts;
    ProgressBarModel ProgressBar1;
    bool FloppyCopyRunning = false;
    Date DstStartDate;
    Date DstEndDate;
};

}  // namespace quillmar
