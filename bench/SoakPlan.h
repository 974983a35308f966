#pragma once
// The busy schedule and settings the real-time benchmarks give the real program: a recording
// of kLengthS every kEveryS with a timed play kPlayAfterS after its start, the rest of the 999
// schedules on days the run does not reach.

#include <time.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "schedule/ScheduleRecord.h"
#include "support/RealStation.h"

namespace quillmar::bench {

namespace fs = std::filesystem;
using quillmar::ScheduleAction;
using quillmar::ScheduleFields;
using quillmar::ScheduleRoute;
using quillmar::ScheduleSlot;
using quillmar::ScheduleStart;
using quillmar::TimeText;
using quillmar::testing::RealStation;
using quillmar::testing::SettingsFile;

inline constexpr int kLeadS = 25;       // first recording after the start, clear of its cues
inline constexpr int kEveryS = 45;      // between recordings
inline constexpr int kLengthS = 20;     // of each recording
inline constexpr int kPlayAfterS = 23;  // timed play after the recording's start
inline constexpr int kTailS = 5;        // quiet seconds kept at the end of the run

struct Local {
    int weekday;  // 1 Sunday .. 7 Saturday
    int second;   // of the day
    int yearDay;
};

inline Local LocalAt(std::time_t t) {
    std::tm lt{};
    ::localtime_r(&t, &lt);
    return {lt.tm_wday + 1, lt.tm_hour * 3600 + lt.tm_min * 60 + lt.tm_sec, lt.tm_yday};
}

inline ScheduleFields Schedule(const std::string& name) {
    ScheduleFields f = quillmar::testing::Schedule(name);
    f.ProgramLength = "00:" + std::to_string(kLengthS);
    f.UnityPort = "1";
    return f;
}

struct Plan {
    std::string satList;
    int recordings = 0;  // each with a timed play
};

// One schedule per recording in [first, end), then schedules on the weekdays the run does not
// reach, up to 999, so every finder run walks a full file.
inline Plan BusyPlan(std::time_t first, std::time_t end) {
    Plan p;
    std::vector<bool> reached(8, false);
    for (std::time_t at = first; at + kEveryS <= end; at += kEveryS) {
        const Local rec = LocalAt(at), play = LocalAt(at + kPlayAfterS);
        ScheduleFields f = Schedule("Soak " + std::to_string(p.recordings + 1));
        f.RecordDays[static_cast<std::size_t>(rec.weekday - 1)] = rec.weekday;
        f.RecordTimes[static_cast<std::size_t>(rec.weekday - 1)] = TimeText(rec.second);
        f.PlayTimes[static_cast<std::size_t>((play.weekday - 1) * 4)] = TimeText(play.second);
        p.satList += quillmar::BuildScheduleRecord(f);
        reached[static_cast<std::size_t>(rec.weekday)] =
            reached[static_cast<std::size_t>(play.weekday)] = true;
        ++p.recordings;
    }
    reached[static_cast<std::size_t>(LocalAt(first - kLeadS).weekday)] = true;
    reached[static_cast<std::size_t>(LocalAt(end).weekday)] = true;
    for (int n = p.recordings + 1; n <= quillmar::kMaxSchedules; ++n) {
        ScheduleFields f = Schedule("Other day " + std::to_string(n));
        for (int w = 1; w <= 7; ++w) {
            if (reached[static_cast<std::size_t>(w)]) continue;
            const auto row = static_cast<std::size_t>(w - 1);
            f.RecordDays[row] = w;
            f.RecordTimes[row] = TimeText((n * 83 + w * 7211) % 86400);
            for (std::size_t k = 0; k < 4; ++k)
                f.PlayTimes[row * 4 + k] =
                    TimeText((n * 61 + w * 977 + static_cast<int>(k) * 5003) % 86400);
        }
        p.satList += quillmar::BuildScheduleRecord(f);
    }
    return p;
}

// Record card "Test tone", play cards "Silent output", threshold 1000, Play visible, the
// activity log on, wave files on drive C, the receiver on serial port 1; Eb/No every minute
// unless idle.
inline std::string Settings(RealStation& s, bool polls) {
    const int record = s.audioDevice(true, "Test tone");
    const int play = s.audioDevice(false, "Silent output");
    std::map<int, int> records = {{1, play}, {2, play}, {3, 1000}, {4, 1},
                                  {10, 1},   {12, 3},   {13, 1},   {18, record}};
    if (polls) records[9] = 5;
    return SettingsFile(records);
}

inline fs::path HelpFile(const RealStation& s) {
    return s.satfile / "sathelp.hlp";
}

}  // namespace quillmar::bench
