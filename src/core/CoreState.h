#pragma once
// State the core keeps between clock ticks: the next events the finders found, the tick's
// bookkeeping and the main window's timers.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/DateTime.h"
#include "platform/EventLoop.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

// What the finders found. Each is empty when nothing is due, so a deleted schedule leaves
// nothing behind that could still fire.
struct NextRecord {
    int recordNo = 0;
    int slot = 0;              // 0-based record slot (its weekday - 1)
    std::int32_t seconds = 0;  // of the day
    std::string dateText;      // "mm/dd/yyyy"
};

struct NextPlay {
    int recordNo = 0;
    std::int32_t seconds = 0;  // of the day
    std::string dateText;      // "mm/dd/yyyy"
    Date date;
    std::string time;  // "HH:MM:SS"
};

struct NextSwitch {
    int recordNo = 0;
    std::string name;  // 25 characters
    std::string time;  // as stored in the slot
    int day = 0;       // 1 = Sunday .. 7 = Saturday
};

struct NextEvents {
    std::optional<NextRecord> record;
    std::optional<NextPlay> play;
    std::optional<NextSwitch> toSwitch;
};

struct TickState {
    // Once-only guards of the clock tick.
    bool EbNoPolledFlag = false;
    bool PurgeDone = false;
    bool PlaylistRefreshed = false;
    bool PlaylistUpcomingOnly = false;

    // Where the previous tick stood and the moment (ms since 1970-01-01 local) each
    // exact-second action last ran for. A late tick runs an action whose moment it skipped,
    // once; a clock set back does not run it again.
    bool TickStarted = false;
    std::int64_t LastTickAt = 0;
    std::int64_t TimedPlayDoneFor = 0;
    std::int64_t SwitchDoneFor = 0;
    std::int64_t SwitchRefindFor = 0;
    std::int64_t EbNoDoneFor = 0;
    std::int64_t RefreshDoneFor = 0;
    std::int64_t PurgeDoneFor = 0;
};

// Timers of the main window; every one starts disabled.
struct StationTimers {
    std::unique_ptr<Timer> tmrClock;
    // When tmrClock's armed tick falls due; the tick takes it to tell how late it ran.
    std::optional<DateTime> clockDue;
    std::unique_ptr<Timer> TimerCue;
    std::unique_ptr<Timer> TimerCueSwitch;
    std::unique_ptr<Timer> TimerGetNextSwitch;
    std::unique_ptr<Timer> TimerEOM;
    std::unique_ptr<Timer> tmrExport;
    std::unique_ptr<Timer> tmrTimeChange;
};

}  // namespace quillmar
