// The nightly purge: which files go, and what the activity log says.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/NightlyPurge.h"
#include "logs/Purge.h"
#include "support/SimStation.h"

using namespace quillmar;
using quillmar::testing::SimStation;

namespace {

struct PurgeStation {
    explicit PurgeStation(Date today)
        : s(DateTime::from(today.year, today.month, today.day, 0, 0, 30)) {
        s.start();
        st().Settings.ActivityLog = 1;
        st().Settings.WaveDriveLetter = "c";
    }
    Station& st() { return s.st(); }
    void files(std::initializer_list<const char*> paths) {
        for (const char* p : paths) s.write(p, "x");
    }
    std::vector<std::string> left(const char* folder) {
        auto names = s.files.list(folder, false);
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [](const std::string& n) {
                                       return n.rfind("AL", 0) != 0 && n.rfind("ER", 0) != 0 &&
                                              n.rfind("EB", 0) != 0 && n.rfind("SF", 0) != 0;
                                   }),
                    names.end());
        return names;
    }
    std::string activity() {
        return s.read("c:\\satfile\\logs\\AL" + DayKey(s.clock.now().date) + ".log");
    }
    SimStation s;
};

}  // namespace

TEST(Purge, DeletesTheDayBeforesLogsAndSaysSo) {
    // Given period 1 (a day) on 5 December 2026 and logs of three days,
    PurgeStation p(Date{2026, 12, 5});
    p.st().Settings.ActivityLogPeriod = 1;
    p.st().Settings.EbNoLogPeriod = 1;
    p.files({"c:\\satfile\\logs\\AL261203.log", "c:\\satfile\\logs\\AL261204.log",
             "c:\\satfile\\logs\\ER261204.log", "c:\\satfile\\logs\\EB261204.log",
             "c:\\satfile\\logs\\EB261203.log"});
    // when the purge runs, then exactly the 4 December logs are gone,
    PurgeOldFiles(p.st());
    EXPECT_EQ(p.left("c:\\satfile\\logs"),
              (std::vector<std::string>{"AL261203.log", "AL261205.log", "EB261203.log"}));
    // and the three lines claim it (the sound files keep no period: DaysToSaveWave is 0).
    EXPECT_EQ(p.activity(),
              "00:00:30  Deleted 12-04-2026 Activity Log\r\n"
              "00:00:30  Deleted 12-04-2026 Error Log\r\n"
              "00:00:30  Deleted 12-04-2026 EbNo Log\r\n");
    EXPECT_TRUE(p.st().tick.PurgeDone);
}

TEST(Purge, StepsAWeekAMonthOrAYearBack) {
    struct Case {
        Date today;
        int period;
        Date expected;
    };
    const Case cases[] = {
        {{2026, 12, 5}, 2, {2026, 11, 28}}, {{2027, 3, 31}, 3, {2027, 2, 28}},
        {{2028, 3, 31}, 3, {2028, 2, 29}},  {{2027, 1, 15}, 3, {2026, 12, 15}},
        {{2028, 2, 29}, 4, {2027, 2, 28}},  {{2026, 12, 5}, 4, {2025, 12, 5}},
    };
    for (const auto& c : cases) {
        Date day;
        ASSERT_TRUE(PeriodBefore(c.today, c.period, &day));
        EXPECT_EQ(day, c.expected)
            << c.today.year << "-" << c.today.month << "-" << c.today.day << " period " << c.period;
    }
    Date day;
    EXPECT_FALSE(PeriodBefore(Date{2026, 12, 5}, 0, &day));
    EXPECT_FALSE(PeriodBefore(Date{2026, 12, 5}, 5, &day));
}

TEST(Purge, AMonthBackFrom31MarchDeletesTheLastDayOfFebruary) {
    PurgeStation p(Date{2027, 3, 31});
    p.st().Settings.ActivityLogPeriod = 3;
    p.files({"c:\\satfile\\logs\\AL270228.log", "c:\\satfile\\logs\\AL270227.log"});
    PurgeOldFiles(p.st());
    EXPECT_EQ(p.left("c:\\satfile\\logs"),
              (std::vector<std::string>{"AL270227.log", "AL270331.log"}));
}

TEST(Purge, DeletesTheSoundFilesOfOneWeekday) {
    // Monday 7 December 2026, keeping 7 days: Monday's files go, whatever their case.
    PurgeStation p(Date{2026, 12, 7});
    p.st().Settings.DaysToSaveWave = 7;
    p.files({"c:\\satfile\\SFMON001.WAV", "c:\\satfile\\SFMON001.DAT", "c:\\satfile\\sfmon002.wav",
             "c:\\satfile\\SFTUE001.WAV", "c:\\satfile\\SFSUN003.WAV"});
    PurgeOldFiles(p.st());
    EXPECT_EQ(p.left("c:\\satfile"), (std::vector<std::string>{"SFSUN003.WAV", "SFTUE001.WAV"}));
    EXPECT_EQ(p.activity(), "00:00:30  Deleted Monday Sound Files\r\n");

    // Keeping one day on Monday deletes Sunday's.
    p.st().Settings.DaysToSaveWave = 1;
    PurgeOldFiles(p.st());
    EXPECT_EQ(p.left("c:\\satfile"), (std::vector<std::string>{"SFTUE001.WAV"}));
}

TEST(Purge, SkipsAKindWhosePeriodIsOutOfRange) {
    // A fresh installation holds 0 everywhere: nothing is deleted, nothing claimed.
    PurgeStation p(Date{2026, 12, 7});
    p.files({"c:\\satfile\\SFMON001.WAV", "c:\\satfile\\logs\\AL261206.log",
             "c:\\satfile\\logs\\EB261206.log"});
    p.st().Settings.EbNoLogPeriod = 9;
    p.st().Settings.DaysToSaveWave = 8;
    PurgeOldFiles(p.st());
    EXPECT_EQ(p.left("c:\\satfile").size(), 1u);
    EXPECT_EQ(p.left("c:\\satfile\\logs").size(), 2u);
    EXPECT_FALSE(p.s.exists("c:\\satfile\\logs\\AL261207.log"));
    EXPECT_TRUE(p.st().tick.PurgeDone);
}

TEST(Purge, MissingFilesAreSkippedAndTheLinesStillWritten) {
    PurgeStation p(Date{2026, 12, 5});
    p.st().Settings.ActivityLogPeriod = 2;
    p.st().Settings.EbNoLogPeriod = 4;
    p.st().Settings.DaysToSaveWave = 3;
    PurgeOldFiles(p.st());
    EXPECT_EQ(p.activity(),
              "00:00:30  Deleted Wednesday Sound Files\r\n"
              "00:00:30  Deleted 11-28-2026 Activity Log\r\n"
              "00:00:30  Deleted 11-28-2026 Error Log\r\n"
              "00:00:30  Deleted 12-05-2025 EbNo Log\r\n");
    EXPECT_TRUE(p.s.errors.messages.empty());
}

TEST(Purge, WritesNoLinesWhenActivityLoggingIsOff) {
    PurgeStation p(Date{2026, 12, 5});
    p.st().Settings.ActivityLog = 0;
    p.st().Settings.ActivityLogPeriod = 1;
    p.files({"c:\\satfile\\logs\\AL261204.log"});
    PurgeOldFiles(p.st());
    EXPECT_TRUE(p.left("c:\\satfile\\logs").empty());
}
