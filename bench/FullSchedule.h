#pragma once
// SatList.dat bytes of 999 schedules in use, each with all 7 record slots and all 28 play times
// filled, every one of them outside a quiet window of the day, so a clock inside the window
// finds nothing due while the finders still walk a full file.

#include <cstdint>
#include <string>

#include "platform/DateTime.h"
#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"

namespace quillmar::bench {

// quietFrom and quietTo: seconds of the day, quietFrom < quietTo.
inline std::string FullScheduleBytes(int quietFrom, int quietTo) {
    const int busy = 86400 - (quietTo - quietFrom);
    const auto at = [&](int i) {
        const int s = (quietTo + i % busy) % 86400;
        return TimeText(static_cast<std::int64_t>(s));
    };
    std::string out;
    for (int n = 1; n <= kMaxSchedules; ++n) {
        ScheduleFields f = testing::Schedule("Programme " + std::to_string(n));
        f.UnityPort = "1";
        f.PlayStart = n % 7 == 0 ? ScheduleStart::Manual
                                 : ScheduleStart::Timed;  // some fill the manual playlist
        f.Action = n % 10 == 0 ? ScheduleAction::SwitchOnly
                               : ScheduleAction::Record;  // every tenth one only switches
        for (int k = 0; k < 28; ++k)
            f.PlayTimes[static_cast<std::size_t>(k)] = at(n * 61 + k * 2671);
        for (int r = 0; r < 7; ++r) {
            f.RecordDays[static_cast<std::size_t>(r)] = r + 1;
            f.RecordTimes[static_cast<std::size_t>(r)] = at(n * 83 + r * 7211);
        }
        out += BuildScheduleRecord(f);
    }
    return out;
}

}  // namespace quillmar::bench
