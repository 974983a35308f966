#pragma once
// A station's week of fifty-odd schedules, and what they should make happen, worked out from
// the schedule alone (no station finder is consulted).

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
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

inline std::string Hms(int s) {
    char b[32];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return b;
}

struct PlannedSlot {
    int weekday = 0;  // 1 Sunday .. 7 Saturday
    int second = 0;   // of the day
};

struct PlannedSchedule {
    enum class Kind { Record, Switch, Manual } kind = Kind::Record;
    std::string name;
    std::vector<PlannedSlot> slots;  // record or switch times (row = weekday - 1)
    std::vector<PlannedSlot> plays;  // play times: timed for Record, manual for Manual
    bool timedPlay = false;
    bool silent = false;  // no audio arrives: the armed recording is dumped
};

inline std::vector<PlannedSchedule> WeekSchedules() {
    using K = PlannedSchedule::Kind;
    std::vector<PlannedSchedule> all;
    const auto add = [&](K kind, std::string name, std::vector<PlannedSlot> slots,
                         std::vector<PlannedSlot> plays = {}, bool silent = false) {
        const bool timed = kind == K::Record && !plays.empty();
        all.push_back({kind, std::move(name), std::move(slots), std::move(plays), timed, silent});
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
    std::vector<PlannedSlot> daily;
    for (int w = 1; w <= 7; ++w) daily.push_back({w, 8 * 3600 + 15 * 60});
    add(K::Switch, "Daily switch", daily);
    add(K::Switch, "Switch midnight", {{6, 0}});
    add(K::Switch, "Switch day end", {{7, 86399}});
    for (int i = 0; i < 16; ++i)  // 05:07 .. 20:07, never on a recording
        add(K::Switch, "Switch " + std::to_string(i), {{i % 7 + 1, (5 + i) * 3600 + 7 * 60 + i}});
    // Manual plays: every day's list differs, so each night's new list shows.
    for (int i = 0; i < 7; ++i) {
        std::vector<PlannedSlot> plays;
        for (int w = 1; w <= 7; ++w) plays.push_back({w, (6 + i) * 3600 + w * 120});
        add(K::Manual, "Manual " + std::to_string(i), {}, plays);
    }
    return all;
}

inline std::string ScheduleBytes(const std::vector<PlannedSchedule>& all) {
    std::vector<ScheduleFields> records;
    for (const auto& p : all) {
        ScheduleFields f = Schedule(p.name, p.kind == PlannedSchedule::Kind::Switch ? "3" : "1");
        f.ProgramLength = "00:" + std::to_string(kRecordLength);
        if (p.kind == PlannedSchedule::Kind::Manual || !p.timedPlay)
            f.PlayStart = ScheduleStart::Manual;
        for (const auto& s : p.slots) f = WithSlot(f, s.weekday - 1, s.weekday, Hms(s.second));
        std::map<int, int> used;  // play slots taken per day
        for (const auto& s : p.plays)
            f = WithPlay(f, (s.weekday - 1) * 4 + used[s.weekday]++, Hms(s.second));
        records.push_back(f);
    }
    return ScheduleFile(records);
}

// Play visible, purge after 3 days, hourly Eb/No, activity log, wave drive C, expansion
// relays reset, schedules moved on time-change days.
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

// Every moment in [from, to) a weekly slot falls on, moved by the shift from its moment on.
inline std::vector<std::int64_t> SlotMoments(const PlannedSlot& s, std::int64_t from,
                                             std::int64_t to, const TimeShift& shift) {
    std::vector<std::int64_t> out;
    auto each = [&](int weekday, int second, bool before) {
        for (std::int64_t day = from / kDay - 1; day * kDay < to; ++day) {
            const std::int64_t m = day * kDay + second * 1000LL;
            const Date d = Date::fromSerial(day);
            if (d.weekday() != weekday || m < from || m >= to) continue;
            if (shift.hours == 0 || (before ? m < shift.at : m >= shift.at)) out.push_back(m);
        }
    };
    each(s.weekday, s.second, true);
    if (shift.hours != 0) {
        int second = s.second + shift.hours * 3600, weekday = s.weekday;
        if (second < 0) second += 86400, weekday = weekday == 1 ? 7 : weekday - 1;
        if (second >= 86400) second -= 86400, weekday = weekday == 7 ? 1 : weekday + 1;
        each(weekday, second, false);
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
        if (p.timedPlay)
            for (const auto& s : p.plays)
                for (std::int64_t m : SlotMoments(s, from, to, {})) {
                    add("PlayScheduled", m);
                    // Only a recording made today within the run leaves a file to play.
                    bool recorded = false;
                    for (const auto& r : p.slots)
                        for (std::int64_t rm : SlotMoments(r, from, m, shift))
                            recorded = recorded || rm / kDay == m / kDay;
                    if (recorded) add("EOM", m + L);
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
            const std::int64_t at = moment();
            if (name != "WriteRemoteOutputs") {
                seen.push_back({name, at});
                return;
            }
            const bool on = (st().remote.RemoteOutputBits & 1) != 0;
            if (on && !eomOn) seen.push_back({"EOM", at});
            eomOn = on;
        };
        for (const auto& e : st().main.PlayList) lastEntries.push_back(e.text);
    }

    std::int64_t moment() const { return MomentOf(clock.now()); }

    void tick() {
        loop.advance(50);
        checkList();
    }
    void checkList() {
        const auto& list = st().main.PlayList;
        const bool same =
            list.size() == lastEntries.size() &&
            std::equal(list.begin(), list.end(), lastEntries.begin(),
                       [](const auto& a, const std::string& b) { return a.text == b; });
        if (same) return;
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
