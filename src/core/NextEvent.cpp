#include "core/NextEvent.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/ClockTick.h"
#include "core/Station.h"
#include "schedule/ScheduleScan.h"

namespace quillmar {

namespace {

// The records a finder looks at: the whole file read once, and the numbers of the records
// kept; the scans look at the few fields they need in place.
struct Snapshot {
    std::vector<int> numbers;
    std::string bytes;
    std::string_view record(std::size_t i) const {
        const auto at = static_cast<std::size_t>(numbers[i] - 1) * kScheduleRecordLength;
        return std::string_view(bytes).substr(at, kScheduleRecordLength);
    }
};

// Reads records 1..end and keeps those that `keep` accepts.
template <typename Keep>
Snapshot ReadRecords(Station& st, int end, Keep keep) {
    Snapshot s;
    s.bytes = ReadScheduleRecords(st.schedule, end);
    const std::string_view all(s.bytes);
    for (int n = 1; n <= end; ++n) {
        const auto at = static_cast<std::size_t>(n - 1) * kScheduleRecordLength;
        if (keep(n, all.substr(at, kScheduleRecordLength))) s.numbers.push_back(n);
    }
    return s;
}

int Digit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

// The 8-character time field at a 0-based position, leading blanks removed.
std::string_view TimeField(std::string_view rec, std::size_t pos) {
    std::string_view t = rec.substr(pos, 8);
    const auto first = t.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : t.substr(first);
}

// A candidate beats the best so far only when strictly earlier, so among equal times the
// lowest record number and slot win. Today only counts times still to come.
struct EarliestSlot {
    int best = 86400;
    int found = 0;
    int slot = 0;
    int dayOffset = 0;
    std::string timeText;

    void offer(int recordNo, int slotNo, std::string_view time, int d, double now) {
        offer(recordNo, slotNo, TimeSeconds(time), time, d, now);
    }
    void offer(int recordNo, int slotNo, int t, std::string_view time, int d, double now) {
        if (t < best && (d >= 1 || t > now)) {
            best = t;
            found = recordNo;
            slot = slotNo;
            dayOffset = d;
            timeText = std::string(time);
        }
    }
};

// Day offsets 0..7 from today; stops at the first day that has a candidate. The search
// visits the schedules in record order, which the tie rule above relies on.
template <typename SlotsOfDay>
EarliestSlot ScanWeek(const Snapshot& s, int today, double now, SlotsOfDay slots) {
    EarliestSlot result;
    int w = today;
    for (int d = 0; d <= 7 && result.found == 0; ++d) {
        for (std::size_t i = 0; i < s.numbers.size(); ++i)
            slots(result, s.numbers[i], s.record(i), w, d, now);
        w = w % 7 + 1;
    }
    return result;
}

// The fields of record n (1..end) of the snapshot.
ScheduleFields FieldsOf(const Snapshot& s, int n) {
    return ParseScheduleRecord(std::string_view(s.bytes).substr(
        static_cast<std::size_t>(n - 1) * kScheduleRecordLength, kScheduleRecordLength));
}

}  // namespace

void FindNextRecord(Station& st) {
    const DateTime now = st.platform.clock.now();
    const int end = ScheduleScanEnd(st.schedule);
    st.schedule.ScheduleActive.fill(0);
    const Snapshot active = ReadRecords(st, end, [&st](int n, std::string_view rec) {
        const int value = ActionOf(rec) == ScheduleAction::SwitchOnly ? 0 : Digit(rec[0]);
        st.schedule.ScheduleActive[static_cast<std::size_t>(n)] = value;
        return value != 0;
    });
    st.schedule.ScheduleCount = end;

    const EarliestSlot next = ScanWeek(
        active, now.date.weekday(), now.secondsOfDay(),
        [](EarliestSlot& r, int recordNo, std::string_view rec, int w, int d, double t) {
            for (int k = 0; k < 7; ++k) {
                const int code = Digit(rec[265 + static_cast<std::size_t>(k)]);
                if (code == 0 || code != w) continue;
                const std::string_view time = TimeField(rec, 272 + 8 * static_cast<std::size_t>(k));
                if (!time.empty()) r.offer(recordNo, k, time, d, t);
            }
        });

    if (next.found != 0) {
        const ScheduleFields f = FieldsOf(active, next.found);
        const Date day = now.date.addDays(next.dayOffset);
        st.next.record = NextRecord{next.found, next.slot, next.best, DateTextSlashed(day)};
        st.main.lblNextToRecord = "Next to Record:  " + DayName(next.slot + 1) + "  " +
                                  TrimTrailingBlanks(f.ProgramName) + " on  " +
                                  DayName(day.weekday()) + "   @ " + next.timeText;
    } else {
        st.next.record.reset();
        st.main.lblNextToRecord = "No programs scheduled to record";
    }
}

void FindNextPlay(Station& st) {
    const DateTime now = st.platform.clock.now();
    const int end = ScheduleScanEnd(st.schedule);
    st.schedule.ScheduleActive.fill(0);
    const Snapshot timed = ReadRecords(st, end, [&st](int n, std::string_view rec) {
        const int value = Digit(rec[0]);
        st.schedule.ScheduleActive[static_cast<std::size_t>(n)] = value;
        // Manual-start schedules are played from the playlist, never at their times.
        return value != 0 && PlayStartOf(rec) == ScheduleStart::Timed;
    });
    st.schedule.ScheduleCount = end;

    const EarliestSlot next =
        ScanWeek(timed, now.date.weekday(), now.secondsOfDay(),
                 [](EarliestSlot& r, int recordNo, std::string_view rec, int w, int d, double t) {
                     for (int s = 0; s < 4; ++s) {
                         const auto k = static_cast<std::size_t>((w - 1) * 4 + s);
                         // "HH:MM" plays at HH:MM:00; the tick compares whole "HH:MM:SS" texts.
                         const int second = ParsePlayTime(rec.substr(41 + 8 * k, 8));
                         if (second >= 0) r.offer(recordNo, s, second, TimeText(second), d, t);
                     }
                 });

    if (next.found == 0) {
        st.next.play.reset();
        st.main.lblNextTimedPlay = "No programs scheduled to play";
        return;
    }
    const Date day = now.date.addDays(next.dayOffset);
    const ScheduleFields f = FieldsOf(timed, next.found);
    st.next.play = NextPlay{next.found, next.best, DateTextSlashed(day), day, next.timeText};
    st.main.lblNextTimedPlay = "Next to Play:  " + TrimTrailingBlanks(f.ProgramName) + " on  " +
                               DayName(day.weekday()) + "   @ " + next.timeText;
}

void FindNextSwitch(Station& st) {
    const DateTime now = st.platform.clock.now();
    const int today = now.date.weekday();
    const double nowSeconds = now.secondsOfDay();
    const int end = ScheduleScanEnd(st.schedule);
    const Snapshot switches = ReadRecords(st, end, [](int, std::string_view rec) {
        return SlotOf(rec) == ScheduleSlot::InUse && ActionOf(rec) == ScheduleAction::SwitchOnly;
    });

    // Day keys: this week's remaining days are today's weekday number and above, next week's
    // are 7 more; + 10 keeps every key two digits so the lines sort by it as text.
    SortedList sorted;
    for (std::size_t i = 0; i < switches.numbers.size(); ++i) {
        const int n = switches.numbers[i];
        const ScheduleFields f = ParseScheduleRecord(switches.record(i));
        for (int k = 0; k < 7; ++k) {
            const auto slot = static_cast<std::size_t>(k);
            const int code = f.RecordDays[slot];
            if (code < 1 || code > 7) continue;  // 0 is Off; other digits name no day
            int day = code;
            if (today == day && TimeSeconds(f.RecordTimes[slot]) < nowSeconds) day += 7;
            if (day < today) day += 7;
            const std::string key = std::to_string(day + 10);
            sorted.add(key + DayAbbreviation(code) + " " + f.RecordTimes[slot] + "  " +
                           DayAbbreviation(k + 1) + " " + f.ProgramName,
                       std::stoll(key + std::to_string(k) + std::to_string(n)));
        }
    }

    auto& weekly = st.schedule.Weekly;
    const bool showsSwitches = weekly.view == WeeklyScheduleModel::View::None ||
                               weekly.view == WeeklyScheduleModel::View::Switch;
    if (showsSwitches) {
        weekly.lstSort = sorted;
        weekly.lstWeeklySchedule.clear();
        for (const auto& entry : sorted.entries())
            weekly.lstWeeklySchedule.push_back(entry.text.substr(2));
        ++weekly.revision;
    }
    if (sorted.empty()) {
        // Nothing left to switch: no values of a switch deleted since may fire.
        st.next.toSwitch.reset();
        st.main.lblNextSwitch.clear();
        st.main.lblSwitchTimer.clear();
        return;
    }

    const std::string item = std::to_string(sorted.entries().front().itemData);
    int day = std::stoi(item.substr(0, 2)) - 10;
    const int slot = item[2] - '0';
    const int recordNo = std::stoi(item.substr(3));
    if (day > 7) day -= 7;

    const ScheduleFields f = ReadScheduleBlanked(st.schedule, recordNo);
    const std::string time = f.RecordTimes[static_cast<std::size_t>(slot)];
    st.next.toSwitch = NextSwitch{recordNo, f.ProgramName, time, day};
    st.main.lblNextSwitch = "Next to Switch:  " + TrimTrailingBlanks(f.ProgramName) + ", Port " +
                            f.UnityPort + " on " + DayName(day) + "   @ " + time;
}

}  // namespace quillmar
