#include "logs/Purge.h"

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

void PurgeLog(Logs& logs, const char* kind, const Date& day, const char* what) {
    logs.files.deleteMatching(DailyLogPath(kind, day));
    WriteActivityLog(logs, "Deleted " + DateTextDashed(day) + " " + what);
}

// Sound files are named by the weekday of their recording, so one weekday's go at a time.
void PurgeSoundFiles(Logs& logs, int weekday) {
    const std::string dayName = DayName(weekday);
    // Without a day's name the pattern would match every sound file.
    if (dayName.size() < 3) return;
    logs.files.deleteMatching(logs.settings.WaveDriveLetter + ":\\satfile\\SF" +
                              dayName.substr(0, 3) + "*.*");
    WriteActivityLog(logs, "Deleted " + dayName + " Sound Files");
}

}  // namespace

bool PeriodBefore(const Date& today, int period, Date* day) {
    switch (static_cast<KeepPeriod>(period)) {
        case KeepPeriod::Day:
            *day = today.addDays(-1);
            return true;
        case KeepPeriod::Week:
            *day = today.addDays(-7);
            return true;
        case KeepPeriod::Month:
            *day = MonthsBefore(today, 1);
            return true;
        case KeepPeriod::Year:
            *day = MonthsBefore(today, 12);
            return true;
    }
    return false;
}

void PurgeOldFiles(Logs& logs) {
    const Date today = logs.clock.now().date;
    const auto& settings = logs.settings;

    if (settings.DaysToSaveWave >= 1 && settings.DaysToSaveWave <= 7)
        PurgeSoundFiles(logs, today.addDays(-settings.DaysToSaveWave).weekday());

    Date day;
    if (PeriodBefore(today, settings.ActivityLogPeriod, &day)) {
        PurgeLog(logs, "AL", day, "Activity Log");
        PurgeLog(logs, "ER", day, "Error Log");
    }
    if (PeriodBefore(today, settings.EbNoLogPeriod, &day)) PurgeLog(logs, "EB", day, "EbNo Log");
}

}  // namespace quillmar
