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

// The tick's pace. Every 50 ms (on the clock's 50 ms marks) while the tick follows something
// closely: a recording armed or running, a playout, the remote-control inputs, a receiver
// exchange. Otherwise only at .000, .050, .500 and .550 of each second: an idle tick's
// decisions change only at whole and half seconds (the countdowns round), and those marks are
// the first a 50 ms tick would see each change at, so an idle station acts at the same moments
// while waking four times a second instead of twenty.
bool TickFollowsClosely(const Station& st);
int NextTickDelayMs(const Station& st, const DateTime& now);
// Sets tmrClock for its next tick; it is a one-shot that each tick sets again.
void ArmClockTick(Station& st);
// After any handler: a station that has just started something ticks closely again at once.
void KeepTickPace(Station& st);

// "dddd  mm/dd/yyyy  Day nnn  hh:mm:ss".
std::string ClockLine(const DateTime& t);
// Sets DstStartDate and DstEndDate for the current year (US rules; 2006 under the old rule).
void ComputeDstDates(Station& st);
// The second Sunday of March and first of November (April 1-7 and October 25-31 in 2006).
Date DstStart(int year);
Date DstEnd(int year);

// "mm/dd/yyyy" or "mm-dd-yyyy"; false when it names no date.
bool ParseDateText(std::string_view text, Date* date);
// Seconds of day of "HH:MM:SS"; -1 when it is not such a time.
int ParseTimeText(std::string_view text);
// A play time as typed: "HH:MM:SS", or "HH:MM" meaning HH:MM:00, blank-padded to its field;
// -1 when it is neither.
int ParsePlayTime(std::string_view text);

}  // namespace quillmar
