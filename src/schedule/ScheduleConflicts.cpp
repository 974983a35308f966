#include "schedule/ScheduleConflicts.h"

#include "platform/DateTime.h"
#include "schedule/ScheduleScan.h"
#include "schedule/ScheduleState.h"

namespace quillmar {

namespace {

struct Window {
    std::string name;  // blanks removed at both ends
    int length = 0;
    ScheduleFields fields;
};

Window Describe(const ScheduleFields& f) {
    return Window{TrimBlanks(f.ProgramName), LengthSeconds(f.ProgramLength), f};
}

// Every other schedule in use, in record order.
template <typename Compare>
void ForEachOther(const ScheduleStore& store, int self, Compare compare) {
    const Window a = Describe(ReadScheduleBlanked(store, self));
    const int end = ScheduleScanEnd(store);
    for (int n = 1; n <= end; ++n) {
        if (n == self) continue;
        const ScheduleFields other = ReadScheduleBlanked(store, n);
        if (other.InUse != ScheduleSlot::InUse) continue;
        compare(a, Describe(other));
    }
}

}  // namespace

std::vector<std::string> CheckPlayConflicts(const ScheduleStore& store, int self) {
    std::vector<std::string> lines;
    ForEachOther(store, self, [&lines](const Window& a, const Window& b) {
        for (int k = 0; k < 28; ++k) {
            const std::string& timeA = a.fields.PlayTimes[static_cast<std::size_t>(k)];
            const std::string& timeB = b.fields.PlayTimes[static_cast<std::size_t>(k)];
            if (IsBlank(timeA) || IsBlank(timeB)) continue;
            const int ta = TimeSeconds(timeA), tb = TimeSeconds(timeB);
            const std::string day = DayName(k / 4 + 1);
            if (ta <= tb && tb <= ta + a.length)
                lines.push_back("Play " + b.name + " conflicts with " + a.name + " on " + day +
                                " @ " + timeB);
            if (tb <= ta && ta <= tb + b.length)
                lines.push_back("Play " + a.name + " conflicts with " + b.name + " on " + day +
                                " @ " + timeA);
        }
    });
    return lines;
}

std::vector<std::string> CheckRecordConflicts(const ScheduleStore& store, int self) {
    std::vector<std::string> lines;
    ForEachOther(store, self, [&lines](const Window& a, const Window& b) {
        if (a.fields.Action != b.fields.Action) return;
        for (int r = 0; r < 7; ++r) {
            const auto row = static_cast<std::size_t>(r);
            const int dayA = a.fields.RecordDays[row];
            if (dayA == kRecordDayOff || dayA != b.fields.RecordDays[row]) continue;
            const int ta = TimeSeconds(a.fields.RecordTimes[row]);
            const int tb = TimeSeconds(b.fields.RecordTimes[row]);
            const std::string day = DayName(r + 1);
            if (ta <= tb && tb <= ta + a.length)
                lines.push_back("Record " + a.name + " conflicts with " + b.name + " on " + day);
            if (tb <= ta && ta <= tb + b.length)
                lines.push_back("Record " + b.name + " conflicts with " + a.name + " on " + day);
        }
    });
    return lines;
}

}  // namespace quillmar
