#pragma once

namespace quillmar {

class Station;

// Move the record (and switch) times of every schedule in use one hour earlier (spring) or
// later (autumn), the day with them across midnight; play times stay. Each writes one line
// to the activity log and reruns the next-event finders.
void AdjustSchedulesForDST(Station& st);
void AdjustSchedulesForStandardTime(Station& st);
// tmrTimeChange: on a change date applies that change, then disables the timer.
void TimeChangeTimer(Station& st);

}  // namespace quillmar
