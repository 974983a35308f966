#include "schedule/TimeChange.h"

#include <cstdio>

#include "platform/ErrorDisplay.h"
#include "schedule/ScheduleScan.h"
#include "schedule/ScheduleState.h"

namespace quillmar {

namespace {

constexpr std::size_t kDaysAt = 265;   // 0-based position of RecordDays
constexpr std::size_t kTimesAt = 272;  // 0-based position of RecordTimes

// Shifts row r of a raw record by one hour; step is -1 (spring) or +1 (autumn).
void ShiftRow(std::string& rec, int r, int step) {
    const std::size_t dayAt = kDaysAt + static_cast<std::size_t>(r);
    const std::size_t timeAt = kTimesAt + 8 * static_cast<std::size_t>(r);
    int day = static_cast<int>(NumericValue(rec.substr(dayAt, 1)));
    const std::string hourText = TrimBlanks(rec.substr(timeAt, 2));
    if (hourText.empty()) {
        // No time in this row: the row ends up Off (blank day digit).
        rec[dayAt] = ' ';
        rec[timeAt] = rec[timeAt + 1] = ' ';
        return;
    }
    long long hour = NumericValue(hourText) + step;
    const bool isDay = day >= 1 && day <= 7;  // Off (0) and stray digits keep their day
    if (hour < 0) {
        hour = 23;
        if (isDay) day = day == 1 ? 7 : day - 1;
    } else if (hour > 23) {
        hour = 0;
        if (isDay) day = day == 7 ? 1 : day + 1;
    }
    char hh[8];
    std::snprintf(hh, sizeof hh, "%02d", static_cast<int>(hour % 100));
    rec[dayAt] = static_cast<char>('0' + (day >= 0 && day <= 9 ? day : 0));
    rec[timeAt] = hh[0];
    rec[timeAt + 1] = hh[1];
}

}  // namespace

void ShiftScheduleTimes(ScheduleStore& store, ErrorDisplay& errors, int step) {
    const int count = ScheduleRecordCount(store);
    std::string rec, error;
    for (int n = 1; n <= count; ++n) {
        store.SatListFile.read(n, &rec);
        if (SlotOf(rec) != ScheduleSlot::InUse) continue;
        for (int r = 0; r < 7; ++r) ShiftRow(rec, r, step);
        if (!store.SatListFile.write(n, rec, &error)) {
            errors.showError("Schedule " + std::to_string(n) + " was not shifted: " + error);
            break;
        }
    }
}

}  // namespace quillmar
