#include "core/ClockTick.h"

#include <cstdio>

#include "core/Station.h"

namespace quillmar {

namespace {
Date FirstSundayFrom(Date d) {
    while (d.weekday() != 1) d = d.addDays(1);
    return d;
}
const char* const kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
}  // namespace

Date DstStart(int year) { return FirstSundayFrom(year == 2006 ? Date{year, 4, 1} : Date{year, 3, 8}); }
Date DstEnd(int year) { return FirstSundayFrom(year == 2006 ? Date{year, 10, 25} : Date{year, 11, 1}); }

void ComputeDstDates(Station& st) {
    const int year = st.platform.clock.now().date.year;
    st.DstStartDate = DstStart(year);
    st.DstEndDate = DstEnd(year);
}

std::string ClockLine(const DateTime& t) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s  %s  Day  %d  %s", kWeekdays[t.date.weekday() - 1],
                  DateTextSlashed(t.date).c_str(), t.date.dayOfYear(), TimeText(t).c_str());
    return buf;
}

void ClockTick(Station& st) { st.main.lblClock = ClockLine(st.platform.clock.now()); }

}  // namespace quillmar
