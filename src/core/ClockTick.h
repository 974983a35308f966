#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace quillmar {

class Station;

// One tick of tmrClock (every 50 ms): daylight-saving trigger, EOM countdown, remote inputs,
// timed play, play countdown, clock line, switch countdown, recording, playlist refresh,
// Eb/No poll and purge, in that order.
//
// Exact-second actions (timed play, both switch moments, Eb/No poll, playlist refresh, purge)
// run for each moment passed since the previous tick, so a tick delayed by a slow handler or a
// clock set forward runs a skipped action once, late; the moment each last ran for is kept, so
// a clock set back does not run it twice. A timed play more than a minute late is reported in
// the error log as missed instead of started, and the next one is looked up. Recording stop
// times and arm deadlines past midnight are compared across the day boundary.
void ClockTick(Station& st);

// "dddd  mm/dd/yyyy  Day nnn  hh:mm:ss".
std::string ClockLine(const DateTime& t);
// Sets DstStartDate and DstEndDate for the current year (US rules; 2006 under the old rule).
void ComputeDstDates(Station& st);
// The second Sunday of March and first of November (April 1-7 and October 25-31 in 2006).
Date DstStart(int year);
Date DstEnd(int year);

// "[h:]mm:ss": the hour part is left out when zero and padded to two places; a day or more
// wraps. A negative count carries "-" just before its digits ("-00:05", "-1:01:01").
std::string FormatElapsed(std::int32_t count);
// "hhh:mm:ss" with the hour part padded to three places (four blanks when zero); no wrap.
// Negative as above ("   -00:05").
std::string FormatCountdown(std::int32_t count);

// Seconds to the nearest whole number, halves to the even neighbour.
std::int32_t WholeSeconds(double seconds);
// Milliseconds since 1970-01-01 of a local date and time: one time line for every moment.
std::int64_t MomentOf(const DateTime& t);
std::int64_t MomentOf(const Date& d, std::int64_t secondOfDay);
// "mm/dd/yyyy" or "mm-dd-yyyy"; false when it names no date.
bool ParseDateText(std::string_view text, Date* date);
// Seconds of day of "HH:MM:SS"; -1 when it is not such a time.
int ParseTimeText(std::string_view text);
// A play time as typed: "HH:MM:SS", or "HH:MM" meaning HH:MM:00, blank-padded to its field;
// -1 when it is neither.
int ParsePlayTime(std::string_view text);
// Seconds from `from` to `to`, both seconds of day; a span that crosses midnight counts on
// into the next day instead of going negative.
double SecondsSince(double from, double to);

}  // namespace quillmar
