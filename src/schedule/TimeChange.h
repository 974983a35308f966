#pragma once

namespace quillmar {

class ErrorDisplay;
struct ScheduleStore;

// Moves the record (and switch) times of every schedule in use one hour earlier (step -1,
// spring) or later (+1, autumn), the day with them across midnight; play times stay. A record
// that cannot be written stops the shift, with the reason in the error window.
void ShiftScheduleTimes(ScheduleStore& store, ErrorDisplay& errors, int step);

}  // namespace quillmar
