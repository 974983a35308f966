#pragma once
// What the windows accept as a typed time before they save it. A time the station cannot read
// would be stored and then silently skipped, so letters and out-of-range fields are refused.

#include <string_view>

namespace quillmar {

// "HH:MM:SS" or "HH:MM" (it then counts :00), two digits each, hours 00-23, minutes and
// seconds 00-59; trailing blanks allowed, as the fixed-width fields store them.
bool IsTimeOfDayText(std::string_view text);
// A programme length "MM:SS": two digits each, seconds 00-59; trailing blanks allowed.
bool IsLengthText(std::string_view text);

}  // namespace quillmar
