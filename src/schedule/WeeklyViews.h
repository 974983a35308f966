#pragma once

namespace quillmar {

struct ScheduleStore;

// Rebuild store.Weekly from the schedule file, one line per play, recording or switch of the week,
// Sunday first, then by time text; and set the window caption.
void ShowWeeklyPlaySchedule(ScheduleStore& store);
void ShowWeeklyRecordSchedule(ScheduleStore& store);
void ShowWeeklySwitchSchedule(ScheduleStore& store);

}  // namespace quillmar
