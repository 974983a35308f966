#pragma once
// State the core keeps between clock ticks: the next events the finders found, the tick's
// bookkeeping and the main window's timers.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/DateTime.h"
#include "platform/EventLoop.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar {

struct NextEvents {
    int NextRecordNo = 0;
    int NextRecordSlot = 0;
    std::int32_t NextRecordSeconds = 0;
    std::string NextRecordDate;
    int NextPlayRecordNo = 0;
    std::int32_t NextPlaySeconds = 0;
    std::string NextPlayDateText;
    Date NextPlayDate;
    std::string NextPlayTime;
    ScheduleStart NextPlayMode = ScheduleStart::Blank;
    int NextSwitchRecordNo = 0;
    std::string NextSwitchName;
    std::string NextSwitchTime;
    int NextSwitchDay = 0;
};

struct TickState {
    // Once-only guards of the clock tick.
    std::int32_t EbNoPolledFlag = 0;
    std::int32_t PurgeDone = 0;
    std::int32_t PlaylistRefreshed = 0;
    std::int32_t PlaylistUpcomingOnly = 0;

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
    std::unique_ptr<Timer> TimerCue;
    std::unique_ptr<Timer> TimerCueSwitch;
    std::unique_ptr<Timer> TimerGetNextSwitch;
    std::unique_ptr<Timer> TimerEOM;
    std::unique_ptr<Timer> tmrExport;
    std::unique_ptr<Timer> tmrTimeChange;
};

}  // namespace quillmar
