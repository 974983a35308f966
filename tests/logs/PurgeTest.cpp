#include <gtest/gtest.h>

#include <tuple>

#include "core/NightlyPurge.h"
#include "logs/Purge.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

struct PurgeRow {
    const char* name;
    Date today;
    int activityLog, logPeriod, ebNoPeriod, daysToSaveWave;
    std::vector<std::string> files, left;  // in c:\satfile, logs\ names in its logs folder
    std::string lines;                     // today's activity log afterwards
};

std::vector<std::string> Kept(const SimStation& s, const std::string& folder) {
    std::vector<std::string> kept;
    for (const auto& n : s.files.list(folder, false))
        for (const char* kind : {"AL", "ER", "EB", "SF", "sf"})
            if (n.rfind(kind, 0) == 0) kept.push_back(folder == "c:\\satfile" ? n : "logs\\" + n);
    return kept;
}

}  // namespace

// Sound files go whatever their case; out-of-range periods delete and claim nothing.
TEST(Purge, DeletesTheFilesOfTheDayAPeriodBackAndSaysSo) {
    const std::string kDeleted = "00:00:30  Deleted ";
    // clang-format off
    const PurgeRow rows[] = {
        {"ADay", {2026, 12, 5}, 1, 1, 1, 0,
             {"logs\\AL261203.log", "logs\\AL261204.log", "logs\\ER261204.log", "logs\\EB261204.log", "logs\\EB261203.log"},
             {"logs\\AL261203.log", "logs\\AL261205.log", "logs\\EB261203.log"},
             kDeleted + "12-04-2026 Activity Log\r\n" + kDeleted + "12-04-2026 Error Log\r\n" + kDeleted + "12-04-2026 EbNo Log\r\n"},
        {"AMonthFrom31March", {2027, 3, 31}, 1, 3, 0, 0, {"logs\\AL270228.log", "logs\\AL270227.log"},
             {"logs\\AL270227.log", "logs\\AL270331.log"}, kDeleted + "02-28-2027 Activity Log\r\n" + kDeleted + "02-28-2027 Error Log\r\n"},
        {"AWeekOfSound", {2026, 12, 7}, 1, 0, 0, 7, {"SFMON001.WAV", "SFMON001.DAT", "sfmon002.wav", "SFTUE001.WAV", "SFSUN003.WAV"},
             {"SFSUN003.WAV", "SFTUE001.WAV", "logs\\AL261207.log"}, kDeleted + "Monday Sound Files\r\n"},
        {"ADayOfSound", {2026, 12, 7}, 1, 0, 0, 1, {"SFMON001.WAV", "SFTUE001.WAV", "SFSUN003.WAV"},
             {"SFMON001.WAV", "SFTUE001.WAV", "logs\\AL261207.log"}, kDeleted + "Sunday Sound Files\r\n"},
        {"OutOfRange", {2026, 12, 7}, 1, 0, 9, 8, {"SFMON001.WAV", "logs\\AL261206.log", "logs\\EB261206.log"},
             {"SFMON001.WAV", "logs\\AL261206.log", "logs\\EB261206.log"}, ""},
        {"NothingThere", {2026, 12, 5}, 1, 2, 4, 3, {}, {"logs\\AL261205.log"},
             kDeleted + "Wednesday Sound Files\r\n" + kDeleted + "11-28-2026 Activity Log\r\n" + kDeleted + "11-28-2026 Error Log\r\n" + kDeleted + "12-05-2025 EbNo Log\r\n"},
        {"LoggingOff", {2026, 12, 5}, 0, 1, 0, 0, {"logs\\AL261204.log"}, {}, ""},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        SimStation s(DateTime::from(r.today.year, r.today.month, r.today.day, 0, 0, 30));
        s.start();
        for (const auto& f : r.files) s.write("c:\\satfile\\" + f, "x");
        StationSettings& set = s.st().Settings;
        set.WaveDriveLetter = "c";
        set.ActivityLog = r.activityLog;
        set.ActivityLogPeriod = r.logPeriod;
        set.EbNoLogPeriod = r.ebNoPeriod;
        set.DaysToSaveWave = r.daysToSaveWave;
        PurgeOldFiles(s.st());
        auto left = Kept(s, "c:\\satfile");
        for (auto& n : Kept(s, "c:\\satfile\\logs")) left.push_back(n);
        EXPECT_EQ(left, r.left);
        const std::string log = "c:\\satfile\\logs\\AL" + DayKey(r.today) + ".log";
        EXPECT_EQ(s.exists(log) ? s.read(log) : "", r.lines);
    }
}

// Across a year's end and onto a leap day; the purge rows show the other periods.
TEST(PeriodBefore, StepsAMonthOrAYearBackToTheLastDayThereIs) {
    for (auto [today, period, expected] : {std::tuple{Date{2027, 1, 15}, 3, Date{2026, 12, 15}},
                                           {Date{2028, 3, 31}, 3, Date{2028, 2, 29}},
                                           {Date{2028, 2, 29}, 4, Date{2027, 2, 28}}}) {
        Date day;
        ASSERT_TRUE(PeriodBefore(today, period, &day));
        EXPECT_EQ(day, expected) << today.month << "-" << today.day << " " << period;
    }
}
