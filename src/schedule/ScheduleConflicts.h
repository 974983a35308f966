#pragma once

namespace quillmar {

class Station;

// Compare schedule CurrentRecordNo with every other schedule in use, entry by entry at the
// same index, and add one line to st.schedule.ScheduleConflicts for each start that falls inside the
// other's window (both ends included). The caller clears the list first.
void CheckPlayConflicts(Station& st);
void CheckRecordConflicts(Station& st);

}  // namespace quillmar
