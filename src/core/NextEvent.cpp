#include "core/NextEvent.h"

#include <utility>
#include <vector>

#include "core/Station.h"
#include "schedule/ScheduleScan.h"

namespace quillmar {

namespace {

using Candidates = std::vector<std::pair<int, ScheduleFields>>;

// A candidate beats the best so far only when strictly earlier, so among equal times the
// lowest record number and slot win. Today only counts times still to come.
struct EarliestSlot {
    int best = 86400;
    int found = 0;
    int slot = 0;
    int dayOffset = 0;
    std::string timeText;

    void offer(int recordNo, int slotNo, const std::string& time, int d, double now) {
        const int t = TimeSeconds(time);
        if (t < best && (d >= 1 || t > now)) {
            best = t;
            found = recordNo;
            slot = slotNo;
            dayOffset = d;
            timeText = time;
        }
    }
};

// Day offsets 0..7 from today; stops at the first day that has a candidate. The search
// visits the schedules in record order, which the tie rule above relies on.
template <typename SlotsOfDay>
EarliestSlot ScanWeek(const Candidates& schedules, int today, double now, SlotsOfDay slots) {
    EarliestSlot result;
    int w = today;
    for (int d = 0; d <= 7 && result.found == 0; ++d) {
        for (const auto& [recordNo, fields] : schedules) slots(result, recordNo, fields, w, d, now);
        w = w % 7 + 1;
    }
    return result;
}

// Leaves the current record as the scan would: the found schedule, else the last one read.
void LeaveCurrent(Station& st, int found, const Candidates& read, int end) {
    if (found != 0)
        ReadScheduleBlanked(st, found);
    else if (!read.empty())
        ReadScheduleBlanked(st, read.back().first);
    else
        ReadScheduleBlanked(st, end + 1);
}

}  // namespace

void FindNextRecord(Station& st) {
    const DateTime now = st.platform.clock.now();
    const double nowSeconds = now.secondsOfDay();
    const int end = ScheduleScanEnd(st);
    st.ScheduleActive.fill(0);
    Candidates active;
    for (int n = 1; n <= end; ++n) {
        ReadScheduleBlanked(st, n);
        int value = static_cast<int>(NumericValue(st.Current.InUse));
        if (st.Current.Action == "3") value = 0;
        st.ScheduleActive[static_cast<std::size_t>(n)] = value;
        if (value != 0) active.emplace_back(n, std::move(st.Current));
    }
    st.ScheduleCount = end;

    const EarliestSlot next = ScanWeek(
        active, now.date.weekday(), nowSeconds,
        [](EarliestSlot& r, int recordNo, const ScheduleFields& f, int w, int d, double t) {
            for (int k = 0; k < 7; ++k) {
                const auto slot = static_cast<std::size_t>(k);
                if (f.RecordDays[slot] == 0 || f.RecordTimes[slot].empty()) continue;
                if (f.RecordDays[slot] == w) r.offer(recordNo, k, f.RecordTimes[slot], d, t);
            }
        });

    st.NextRecordNo = next.found;
    st.NextRecordSeconds = next.best;
    LeaveCurrent(st, next.found, active, end);
    if (next.found != 0) {
        const Date day = now.date.addDays(next.dayOffset);
        st.NextRecordSlot = next.slot;
        st.NextRecordDate = DateTextSlashed(day);
        st.main.lblNextToRecord = "Next to Record:  " + DayName(st, next.slot + 1) + "  " +
                                  TrimTrailingBlanks(st.Current.ProgramName) + " on  " +
                                  DayName(st, day.weekday()) + "   @ " + next.timeText;
    } else {
        st.main.lblNextToRecord = "No programs scheduled to record";
    }
}

void FindNextPlay(Station& st) {
    const DateTime now = st.platform.clock.now();
    const int end = ScheduleScanEnd(st);
    st.ScheduleActive.fill(0);
    Candidates timed;
    for (int n = 1; n <= end; ++n) {
        ReadScheduleBlanked(st, n);
        const int value = static_cast<int>(NumericValue(st.Current.InUse));
        st.ScheduleActive[static_cast<std::size_t>(n)] = value;
        // Manual-start schedules are played from the playlist, never at their times.
        if (value != 0 && st.Current.PlayStart == "T") timed.emplace_back(n, std::move(st.Current));
    }
    st.ScheduleCount = end;

    const EarliestSlot next = ScanWeek(
        timed, now.date.weekday(), now.secondsOfDay(),
        [](EarliestSlot& r, int recordNo, const ScheduleFields& f, int w, int d, double t) {
            for (int s = 0; s < 4; ++s) {
                const auto k = static_cast<std::size_t>((w - 1) * 4 + s);
                if (!f.PlayTimes[k].empty()) r.offer(recordNo, s, f.PlayTimes[k], d, t);
            }
        });

    st.NextPlayRecordNo = next.found;
    LeaveCurrent(st, next.found, timed, end);
    if (next.found == 0) {
        st.main.lblNextTimedPlay = "No programs scheduled to play";
        return;
    }
    const Date day = now.date.addDays(next.dayOffset);
    st.NextPlaySeconds = next.best;
    st.NextPlayDateText = DateTextSlashed(day);
    st.NextPlayMode = st.Current.PlayStart;
    st.main.lblNextTimedPlay = "Next to Play:  " + TrimTrailingBlanks(st.Current.ProgramName) +
                               " on  " + DayName(st, day.weekday()) + "   @ " + next.timeText;
    st.NextPlayDate = day;
    st.NextPlayTime = next.timeText;
}

void FindNextSwitch(Station& st) {
    const DateTime now = st.platform.clock.now();
    const int today = now.date.weekday();
    const double nowSeconds = now.secondsOfDay();
    const int end = ScheduleScanEnd(st);

    // Day keys: this week's remaining days are today's weekday number and above, next week's
    // are 7 more; + 10 keeps every key two digits so the lines sort by it as text.
    SortedList sorted;
    for (int n = 1; n <= end; ++n) {
        ReadScheduleBlanked(st, n);
        const ScheduleFields& f = st.Current;
        if (f.Action != "3" || f.InUse != "1") continue;
        for (int k = 0; k < 7; ++k) {
            const auto slot = static_cast<std::size_t>(k);
            const int code = f.RecordDays[slot];
            if (code < 1 || code > 7) continue;  // 0 is Off; other digits name no day
            int day = code;
            if (today == day && TimeSeconds(f.RecordTimes[slot]) < nowSeconds) day += 7;
            if (day < today) day += 7;
            const std::string key = std::to_string(day + 10);
            sorted.add(key + DayAbbreviation(st, code) + " " + f.RecordTimes[slot] + "  " +
                           DayAbbreviation(st, k + 1) + " " + f.ProgramName,
                       std::stoll(key + std::to_string(k) + std::to_string(n)));
        }
    }

    auto& weekly = st.Weekly;
    const bool showsSwitches = weekly.view == WeeklyScheduleModel::View::None ||
                               weekly.view == WeeklyScheduleModel::View::Switch;
    if (showsSwitches) {
        weekly.lstSort = sorted;
        weekly.lstWeeklySchedule.clear();
        for (const auto& entry : sorted.entries())
            weekly.lstWeeklySchedule.push_back(entry.text.substr(2));
        ++weekly.revision;
    }
    if (sorted.empty()) return;

    const std::string item = std::to_string(sorted.entries().front().itemData);
    int day = std::stoi(item.substr(0, 2)) - 10;
    const int slot = item[2] - '0';
    const int recordNo = std::stoi(item.substr(3));
    if (day > 7) day -= 7;

    ReadScheduleBlanked(st, recordNo);
    st.NextSwitchRecordNo = recordNo;
    st.NextSwitchName = st.Current.ProgramName;
    st.NextSwitchTime = st.Current.RecordTimes[static_cast<std::size_t>(slot)];
    st.NextSwitchDay = day;
    st.main.lblNextSwitch = "Next to Switch:  " + TrimTrailingBlanks(st.Current.ProgramName) +
                            ", Port " + st.Current.UnityPort + " on " + DayName(st, day) + "   @ " +
                            st.NextSwitchTime;
}

}  // namespace quillmar
