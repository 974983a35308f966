#pragma once
// The one settings-file and schedule builder every test folder (and the benches) uses.

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/LittleEndian.h"
#include "schedule/ScheduleRecord.h"

namespace quillmar::testing {

// MyComp.ini record numbers, named.
namespace Rec {
inline constexpr int ProgramPlayCard = 1, AuditionPlayCard = 2, Threshold = 3, PlayVisible = 4,
                     StopVisible = 5, DaysToSaveWave = 6, ActivityLogPeriod = 7, EbNoLogPeriod = 8,
                     EbNoLogRate = 9, ActivityLog = 10, RemoteControl = 11, WaveDrive = 12,
                     SerialPort = 13, BaudSelect = 14, ResetRelays = 17, RecordCard = 18,
                     RecordVisible = 19, RecStopVisible = 20, TimeChange = 21;
}

// MyComp.ini bytes: 21 little-endian 16-bit records, those given set, the rest 0.
inline std::string SettingsFile(const std::map<int, int>& records) {
    std::string ini(42, '\0');
    for (const auto& [record, value] : records) {
        if (record < 1 || record > 21) throw std::out_of_range("settings record");
        PutInt16(ini, static_cast<std::size_t>(2 * (record - 1)), static_cast<std::int16_t>(value));
    }
    return ini;
}

// Monday 7 December 2026.
inline DateTime Monday(int hour, int minute = 0, int second = 0, int ms = 0) {
    return DateTime::from(2026, 12, 7, hour, minute, second, ms);
}

// A schedule in use with nothing timed yet: ENG on port 2, stereo, attenuation 0, length 30:00
// (none for a switch-only one), timed record and play.
inline ScheduleFields Schedule(const std::string& name, const std::string& action = "1") {
    ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
    f.InUse = ScheduleSlot::InUse;
    f.ProgramName = name;
    f.Action = StateOf<ScheduleAction>(action);
    f.ProgramLength = f.Action == ScheduleAction::SwitchOnly ? "" : "30:00";
    f.SourceCode = "ENG";
    f.UnityPort = "2";
    f.Route = ScheduleRoute::Stereo;
    f.Attenuation = "0";
    f.PlayStart = ScheduleStart::Timed;
    f.RecordStart = ScheduleStart::Timed;
    return f;
}

// Row r (0 Sunday .. 6 Saturday) recorded (or switched) on weekday `day` (1 Sunday) at `time`.
inline ScheduleFields WithSlot(ScheduleFields f, int row, int day, const std::string& time) {
    f.RecordDays[static_cast<std::size_t>(row)] = day;
    f.RecordTimes[static_cast<std::size_t>(row)] = time;
    return f;
}

// Play slot s (row * 4 + column) at `time`.
inline ScheduleFields WithPlay(ScheduleFields f, int slot, const std::string& time) {
    f.PlayTimes[static_cast<std::size_t>(slot)] = time;
    return f;
}

// SatList.dat bytes holding these schedules as records 1, 2, ...
inline std::string ScheduleFile(const std::vector<ScheduleFields>& records) {
    std::string file;
    for (const auto& f : records) file += BuildScheduleRecord(f);
    return file;
}

// "NEWS HOUR" recorded on Mondays at 10:00:00 for 05:30 from port 3.
inline ScheduleFields RecordedSchedule() {
    ScheduleFields f = WithSlot(Schedule("NEWS HOUR"), 1, 2, "10:00:00");
    f.ProgramName.resize(25, ' ');
    f.ProgramLength = "05:30";
    f.UnityPort = "3";
    return f;
}

// The wave file name of schedule `number` recorded on `weekday` (0 Sunday), or its marks file.
inline std::string WaveName(int weekday, int number, const char* extension = "WAV") {
    static const char* const days[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    char name[32];
    std::snprintf(name, sizeof name, "SF%s%03d.%s", days[weekday % 7], number, extension);
    return name;
}

}  // namespace quillmar::testing
