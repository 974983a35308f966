#include "schedule/WeeklyViews.h"

#include "platform/DateTime.h"
#include "schedule/ScheduleScan.h"
#include "schedule/ScheduleState.h"

namespace quillmar {

namespace {

using View = WeeklyScheduleModel::View;

// A blank and the weekday digit: sorts Sunday (1) to Saturday (7) ahead of the line text.
std::string Prefix(int day) {
    return " " + std::to_string(day);
}

void AddPlayLines(ScheduleStore& store, const ScheduleFields& f) {
    for (int k = 0; k < 28; ++k) {
        const std::string& time = f.PlayTimes[static_cast<std::size_t>(k)];
        if (IsBlank(time)) continue;
        const int d = k / 4 + 1;
        store.Weekly.lstSort.add(Prefix(d) + DayAbbreviation(d) + " " + time + " " + f.ProgramName);
    }
}

void AddRecordLines(ScheduleStore& store, const ScheduleFields& f) {
    for (int r = 0; r < 7; ++r) {
        const int d = f.RecordDays[static_cast<std::size_t>(r)];
        if (d < 1 || d > 7) continue;  // 0 is Off; other digits name no day
        store.Weekly.lstSort.add(Prefix(d) + DayAbbreviation(d) + " " +
                                 f.RecordTimes[static_cast<std::size_t>(r)] + "  " +
                                 DayAbbreviation(r + 1) + " " + f.ProgramName);
    }
}

void Build(ScheduleStore& store, View view, const char* caption) {
    auto& weekly = store.Weekly;
    weekly.view = view;
    weekly.caption = caption;
    weekly.lstWeeklySchedule.clear();
    weekly.lstSort.clear();
    const int end = ScheduleScanEnd(store);
    for (int n = 1; n <= end; ++n) {
        const ScheduleFields f = ReadScheduleBlanked(store, n);
        if (f.InUse != ScheduleSlot::InUse) continue;
        if (view == View::Play) AddPlayLines(store, f);
        if (view == View::Record && f.Action == ScheduleAction::Record) AddRecordLines(store, f);
        if (view == View::Switch && f.Action == ScheduleAction::SwitchOnly)
            AddRecordLines(store, f);
    }
    for (const auto& entry : weekly.lstSort.entries())
        weekly.lstWeeklySchedule.push_back(entry.text.substr(2));
    ++weekly.revision;
}

}  // namespace

void ShowWeeklyPlaySchedule(ScheduleStore& store) {
    Build(store, View::Play, "Weekly Play Schedule");
}
void ShowWeeklyRecordSchedule(ScheduleStore& store) {
    Build(store, View::Record, "Weekly Record Schedule");
}
void ShowWeeklySwitchSchedule(ScheduleStore& store) {
    Build(store, View::Switch, "Weekly Switch Schedule");
}

}  // namespace quillmar
