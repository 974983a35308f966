#pragma once
// Schedule records for runs of the real program on the wall clock.
#include <optional>

#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"
#include "support/RealStation.h"

namespace quillmar::testing {

// A timed recording on port 1, stereo, source ENG at attenuation 3, for `seconds` (under an
// hour) at `record`, played (timed) at `play` when given.
inline std::string TimedRecording(const std::string& name, const LocalTime& record, int seconds,
                                  std::optional<LocalTime> play = std::nullopt) {
    ScheduleFields f = Schedule(name);
    char length[32];
    std::snprintf(length, sizeof length, "%02d:%02d", seconds / 60, seconds % 60);
    f.ProgramLength = length;
    f.UnityPort = "1";
    f.Attenuation = "3";
    f.PlayStart = play ? ScheduleStart::Timed : ScheduleStart::Manual;
    const auto row = static_cast<std::size_t>(record.weekday);
    f.RecordDays[row] = record.weekday + 1;
    f.RecordTimes[row] = record.hms();
    if (play) f.PlayTimes[static_cast<std::size_t>(play->weekday) * 4] = play->hms();
    return BuildScheduleRecord(f);
}

// Too close to midnight for a schedule of today's times `lead` seconds ahead.
inline bool NearMidnight(int lead) {
    const LocalTime now = LocalIn(0);
    return now.hour * 3600 + now.minute * 60 + now.second + lead >= 86400 - 30;
}

}  // namespace quillmar::testing
