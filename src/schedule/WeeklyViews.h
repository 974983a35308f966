#pragma once

namespace quillmar {

class Station;

// Rebuild st.schedule.Weekly from the schedule file, one line per play, recording or switch of the week,
// Sunday first, then by time text; and set the window caption.
void ShowWeeklyPlaySchedule(Station& st);
void ShowWeeklyRecordSchedule(Station& st);
void ShowWeeklySwitchSchedule(Station& st);

}  // namespace quillmar
