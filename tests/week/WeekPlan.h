#pragma once
// A week of fifty-odd schedules, and what they should make happen from the schedule alone.

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/ClockTick.h"
#include "core/Station.h"
#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"
#include "support/SimStation.h"

namespace quillmar::testing {

constexpr std::int64_t kDay = 86'400'000;
constexpr int kRecordLength = 10;  // seconds; short keeps the written wave files small

struct PlannedSlot {
    int weekday = 0;  // 1 Sunday .. 7 Saturday
    int second = 0;   // of the day
};

struct PlannedSchedule {
    enum class Kind { Record, Switch, Manual } kind = Kind::Record;
    std::string name;
    std::vector<PlannedSlot> slots;  // record or switch times (row = weekday - 1)
    std::vector<PlannedSlot> plays;  // play times: timed for Record, manual for Manual
    bool silent = false;             // no audio arrives: the armed recording is dumped
    bool timedPlay() const { return kind == Kind::Record && !plays.empty(); }
};

inline std::vector<PlannedSchedule> WeekSchedules() {
    using K = PlannedSchedule::Kind;
    std::vector<PlannedSchedule> all;
    const auto add = [&](K kind, std::string name, std::vector<PlannedSlot> slots,
                         std::vector<PlannedSlot> plays = {}, bool silent = false) {
        all.push_back({kind, std::move(name), std::move(slots), std::move(plays), silent});
    };
    // Three recordings a day, each played back two hours later (after an autumn shift too).
    for (int w = 1; w <= 7; ++w)
        for (int h : {4, 10, 16}) {
            const int at = h * 3600 + w * 60;
            add(K::Record, "Rec " + std::to_string(w) + "-" + std::to_string(h), {{w, at}},
                {{w, at + 7200}});
        }
    add(K::Record, "Silent feed", {{3, 13 * 3600 + 1800}}, {}, true);
    add(K::Record, "Over midnight", {{5, 86399}});
    add(K::Record, "Midnight news", {{7, 0}}, {{7, 1800}});
    add(K::Record, "Late show", {{6, 22 * 3600}}, {{6, 86399}});
    // Switches: one every day, the rest on single days, with the day's edges.
    add(K::Switch, "Daily switch",
        {{1, 29700}, {2, 29700}, {3, 29700}, {4, 29700}, {5, 29700}, {6, 29700}, {7, 29700}});
    add(K::Switch, "Switch midnight", {{6, 0}});
    add(K::Switch, "Switch day end", {{7, 86399}});
    for (int i = 0; i < 16; ++i)  // 05:07 .. 20:07, never on a recording
        add(K::Switch, "Switch " + std::to_string(i), {{i % 7 + 1, (5 + i) * 3600 + 7 * 60 + i}});
    // Manual plays: every day's list differs, so each night's new list shows.
    for (int i = 0; i < 7; ++i) {
        add(K::Manual, "Manual " + std::to_string(i), {});
        for (int w = 1; w <= 7; ++w) all.back().plays.push_back({w, (6 + i) * 3600 + w * 120});
    }
    return all;
}

inline std::string ScheduleBytes(const std::vector<PlannedSchedule>& all) {
    std::vector<ScheduleFields> records;
    for (const auto& p : all) {
        ScheduleFields f = Schedule(p.name, p.kind == PlannedSchedule::Kind::Switch ? "3" : "1");
        f.ProgramLength = "00:" + std::to_string(kRecordLength);
        if (!p.timedPlay()) f.PlayStart = ScheduleStart::Manual;
        for (const auto& s : p.slots) f = WithSlot(f, s.weekday - 1, s.weekday, TimeText(s.second));
        std::map<int, int> used;  // play slots taken per day
        for (const auto& s : p.plays)
            f = WithPlay(f, (s.weekday - 1) * 4 + used[s.weekday]++, TimeText(s.second));
        records.push_back(f);
    }
    return ScheduleFile(records);
}

inline const std::map<int, int> kWeekSettings = {
    {Rec::Threshold, 1000}, {Rec::PlayVisible, 1}, {Rec::DaysToSaveWave, 3}, {Rec::EbNoLogRate, 1},
    {Rec::ActivityLog, 1},  {Rec::WaveDrive, 3},   {Rec::ResetRelays, 1},    {Rec::TimeChange, 1}};

struct Happening {
    std::string name;
    std::int64_t at;  // MomentOf the wall clock
};

// When the record and switch times move by an hour, and which way.
struct TimeShift {
    std::int64_t at = 0;
    int hours = 0;  // -1 spring, +1 autumn, 0 none in range
};

inline TimeShift ShiftWithin(const Date& first, const Date& last) {
    for (Date d = first; !(last < d); d = d.addDays(1)) {
        if (d == DstStart(d.year)) return {MomentOf(d, 2 * 3600), -1};
        if (d == DstEnd(d.year)) return {MomentOf(d, 2 * 3600), +1};
    }
    return {};
}

// Every moment in [from, to) a weekly slot falls on, moved by the shift from its moment on:
// a spring slot within the lost hour falls out, an autumn one within the repeated hour runs twice.
inline std::vector<std::int64_t> SlotMoments(const PlannedSlot& s, std::int64_t from,
                                             std::int64_t to, const TimeShift& shift) {
    std::vector<std::int64_t> out;
    const auto add = [&](std::int64_t m) {
        if (m >= from && m < to) out.push_back(m);
    };
    for (std::int64_t day = from / kDay - 1; day <= to / kDay + 1; ++day) {
        if (Date::fromSerial(day).weekday() != s.weekday) continue;
        const std::int64_t m = day * kDay + s.second * 1000LL,
                           moved = m + shift.hours * 3'600'000LL;
        if (shift.hours == 0 || m < shift.at) add(m);
        if (shift.hours != 0 && moved >= shift.at) add(moved);
    }
    return out;
}

// What the station should do in [from, to), by operation name.
inline std::vector<Happening> Expected(const std::vector<PlannedSchedule>& all, std::int64_t from,
                                       std::int64_t to) {
    const TimeShift shift = ShiftWithin(Date::fromSerial(from / kDay), Date::fromSerial(to / kDay));
    std::vector<Happening> out;
    auto add = [&](const char* name, std::int64_t m) {
        if (m >= from && m < to) out.push_back({name, m});
    };
    const std::int64_t L = kRecordLength * 1000LL;
    // The shift runs on the timer armed a few seconds before 02:00.
    if (shift.hours != 0)
        add(shift.hours < 0 ? "AdjustSchedulesForDST" : "AdjustSchedulesForStandardTime",
            shift.at - 2000);
    for (const auto& p : all) {
        for (const auto& s : p.slots)
            for (std::int64_t m : SlotMoments(s, from - 60'000, to, shift)) {
                if (p.kind == PlannedSchedule::Kind::Switch) {
                    // Run 1 s and 0 s before, each as its countdown reaches that second.
                    add("RunSwitchOnly", m - 1500);
                    add("RunSwitchOnly", m - 500);
                    continue;
                }
                add("CueRecording", m - 14'500);
                add("CueRecording", m - 4'500);
                add("ArmRecording", m - 500);
                if (p.silent) {
                    add("DumpRecording", m + L);
                } else {
                    add("StartRecording", m - 500);
                    add("StopRecording", m + L);
                }
            }
        if (p.timedPlay())
            for (const auto& s : p.plays)
                for (std::int64_t m : SlotMoments(s, from, to, {})) {
                    add("PlayScheduled", m);
                    // Only a recording made today within the run leaves a file to play.
                    if (std::any_of(p.slots.begin(), p.slots.end(), [&](const PlannedSlot& r) {
                            return !SlotMoments(r, std::max(from, m - m % kDay), m, shift).empty();
                        }))
                        add("EOM", m + L);
                }
    }
    for (std::int64_t day = from / kDay; day * kDay < to; ++day) {
        add("PurgeOldFiles", day * kDay + 30'000);
        add("RefreshPlaylist", day * kDay + 86'395'000);
        for (int h = 0; h < 24; ++h) add("PollReceiverEbNo", day * kDay + h * 3'600'000 + 12'000);
    }
    return out;
}

// The started station with a loud input, silent around the silent schedule, noting every
// operation by its wall-clock moment.
class WeekStation : public SimStation {
  public:
    explicit WeekStation(DateTime start) : SimStation(start), schedules(WeekSchedules()) {
        settings(kWeekSettings);
        write(kScheduleFilePath, ScheduleBytes(schedules));
        this->start();
        audio.setInput({8000, 8000, 1000});
        const std::int64_t begin = MomentOf(start);
        for (const auto& p : schedules)
            if (p.silent)
                for (const auto& s : p.slots)
                    for (std::int64_t m : SlotMoments(s, begin, begin + 35 * kDay, {})) {
                        // 70 minutes either side: the slot's move on a change day, no other slot.
                        audio.setInputAt(m - begin - 4'200'000, {});
                        audio.setInputAt(m - begin + 4'200'000, {8000, 8000, 1000});
                    }
        st().actionObserver = [this](const std::string& name) {
            // Of the remote outputs only the EOM relay's rise is noted.
            const bool remote = name == "WriteRemoteOutputs";
            const bool on = (st().remote.RemoteOutputBits & 1) != 0;
            if (!remote || (on && !eomOn)) seen.push_back({remote ? "EOM" : name, moment()});
            if (remote) eomOn = on;
        };
        for (const auto& e : st().main.PlayList) lastEntries.push_back(e.text);
    }

    std::int64_t moment() const { return MomentOf(clock.now()); }

    void checkList() {
        const auto& list = st().main.PlayList;
        if (list.size() == lastEntries.size() &&
            std::equal(list.begin(), list.end(), lastEntries.begin(),
                       [](const auto& a, const std::string& b) { return a.text == b; }))
            return;
        seen.push_back({"RefreshPlaylist", moment()});
        lastEntries.clear();
        for (const auto& e : list) lastEntries.push_back(e.text);
    }

    std::vector<PlannedSchedule> schedules;
    std::vector<Happening> seen;
    std::vector<std::string> lastEntries;
    bool eomOn = false;
};

}  // namespace quillmar::testing
