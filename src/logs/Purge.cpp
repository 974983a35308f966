#include "logs/Purge.h"

#include "core/Station.h"
#include "logs/ActivityLog.h"

namespace quillmar {

namespace {

Date MonthsBefore(const Date& d, int months) {
    int month = d.month - months;
    int year = d.year;
    while (month < 1) {
        month += 12;
        --year;
    }
    const int last = Date::daysInMonth(year, month);
    return Date{year, month, d.day < last ? d.day : last};
}

void Note(Station& st, const std::string& message) {
    WriteActivityLog(st.logs, message);
}

void PurgeLog(Station& st, const char* kind, const Date& day, const char* what) {
    st.platform.files.deleteMatching(DailyLogPath(kind, day));
    Note(st, "Deleted " + DateTextDashed(day) + " " + what);
}

// Sound files are named by the weekday of their recording, so one weekday's go at a time.
void PurgeSoundFiles(Station& st, int weekday) {
    const std::string dayName = DayName(weekday);
    // Without a day's name the pattern would match every sound file.
    if (dayName.size() < 3) return;
    st.platform.files.deleteMatching(st.Settings.WaveDriveLetter + ":\\satfile\\SF" + dayName.substr(0, 3) +
                                     "*.*");
    Note(st, "Deleted " + dayName + " Sound Files");
}

}  // namespace

bool PeriodBefore(const Date& today, int period, Date* day) {
    switch (period) {
        case 1:
            *day = today.addDays(-1);
            return true;
        case 2:
            *day = today.addDays(-7);
            return true;
        case 3:
            *day = MonthsBefore(today, 1);
            return true;
        case 4:
            *day = MonthsBefore(today, 12);
            return true;
        default:
            return false;
    }
}

void PurgeOldFiles(Station& st) {
    st.noteAction("PurgeOldFiles");
    const Date today = st.platform.clock.now().date;
    const auto& settings = st.Settings;

    if (settings.DaysToSaveWave >= 1 && settings.DaysToSaveWave <= 7)
        PurgeSoundFiles(st, today.addDays(-settings.DaysToSaveWave).weekday());

    Date day;
    if (PeriodBefore(today, settings.ActivityLogPeriod, &day)) {
        PurgeLog(st, "AL", day, "Activity Log");
        PurgeLog(st, "ER", day, "Error Log");
    }
    if (PeriodBefore(today, settings.EbNoLogPeriod, &day)) PurgeLog(st, "EB", day, "EbNo Log");

    st.tick.PurgeDone = 1;
}

}  // namespace quillmar
