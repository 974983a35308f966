#pragma once

#include <cstdint>
#include <string>

#include "platform/DateTime.h"

namespace quillmar {

class Station;

// One tick of tmrClock.
void ClockTick(Station& st);
// "dddd  mm/dd/yyyy  Day nnn  hh:mm:ss".
std::string ClockLine(const DateTime& t);
// Sets DstStartDate and DstEndDate for the current year (US rules; 2006 under the old rule).
void ComputeDstDates(Station& st);
// The second Sunday of March and first of November (April 1-7 and October 25-31 in 2006).
Date DstStart(int year);
Date DstEnd(int year);

}  // namespace quillmar
