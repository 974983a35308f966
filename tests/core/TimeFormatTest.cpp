#include <gtest/gtest.h>

#include "core/ClockTick.h"

using namespace quillmar;

TEST(FormatElapsed, LeavesOutAZeroHourAndPadsSmallHours) {
    EXPECT_EQ(FormatElapsed(0), "00:00");
    EXPECT_EQ(FormatElapsed(65), "01:05");
    EXPECT_EQ(FormatElapsed(3661), " 1:01:01");
    EXPECT_EQ(FormatElapsed(45296), "12:34:56");
}

TEST(FormatElapsed, WrapsWholeDays) {
    EXPECT_EQ(FormatElapsed(86400), "00:00");
    EXPECT_EQ(FormatElapsed(90061), " 1:01:01");
    EXPECT_EQ(FormatElapsed(3 * 86400 + 59), "00:59");
}

TEST(FormatElapsed, ShowsNegativeCountsWithTheSignBeforeTheDigits) {
    EXPECT_EQ(FormatElapsed(-5), "-00:05");
    EXPECT_EQ(FormatElapsed(-3661), "-1:01:01");
    EXPECT_EQ(FormatElapsed(-45296), "-12:34:56");
    EXPECT_EQ(FormatElapsed(INT32_MIN).front(), '-');
}

TEST(FormatCountdown, PadsHoursToThreePlacesWithoutWrapping) {
    EXPECT_EQ(FormatCountdown(0), "    00:00");
    EXPECT_EQ(FormatCountdown(3661), "  1:01:01");
    EXPECT_EQ(FormatCountdown(86400), " 24:00:00");
    EXPECT_EQ(FormatCountdown(90061), " 25:01:01");
    EXPECT_EQ(FormatCountdown(604799), "167:59:59");
}

TEST(FormatCountdown, KeepsItsWidthForNegativeCountsWhereItCan) {
    EXPECT_EQ(FormatCountdown(-5), "   -00:05");
    EXPECT_EQ(FormatCountdown(-3661), " -1:01:01");
    EXPECT_EQ(FormatCountdown(-90061), "-25:01:01");
    EXPECT_EQ(FormatCountdown(-604799), "-167:59:59");
}

TEST(WholeSeconds, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(WholeSeconds(0.5), 0);
    EXPECT_EQ(WholeSeconds(1.5), 2);
    EXPECT_EQ(WholeSeconds(2.5), 2);
    EXPECT_EQ(WholeSeconds(-0.5), 0);
    EXPECT_EQ(WholeSeconds(-1.5), -2);
    EXPECT_EQ(WholeSeconds(16.51), 17);
    EXPECT_EQ(WholeSeconds(1e12), INT32_MAX);
    EXPECT_EQ(WholeSeconds(-1e12), INT32_MIN);
}

TEST(DateAndTimeTexts, AreReadOnlyWhenWellFormed) {
    Date d;
    ASSERT_TRUE(ParseDateText("12/05/2026", &d));
    EXPECT_EQ(d, (Date{2026, 12, 5}));
    ASSERT_TRUE(ParseDateText("02-29-2028", &d));
    EXPECT_EQ(d, (Date{2028, 2, 29}));
    for (const char* bad : {"", "12/05/26", "02/30/2026", "12-05/2026", "ab/cd/efgh", "13/01/2026"})
        EXPECT_FALSE(ParseDateText(bad, &d)) << bad;

    EXPECT_EQ(ParseTimeText("00:00:00"), 0);
    EXPECT_EQ(ParseTimeText("23:59:59"), 86399);
    for (const char* bad : {"", "        ", "24:00:00", "12:60:00", "1:00:00 ", "12-00-00"})
        EXPECT_EQ(ParseTimeText(bad), -1) << bad;
}

TEST(DaylightSavingDates, FollowTheRuleOfTheirYear) {
    EXPECT_EQ(DstStart(2006), (Date{2006, 4, 2}));
    EXPECT_EQ(DstEnd(2006), (Date{2006, 10, 29}));
    EXPECT_EQ(DstStart(2026), (Date{2026, 3, 8}));
    EXPECT_EQ(DstEnd(2026), (Date{2026, 11, 1}));
    EXPECT_EQ(DstStart(2027), (Date{2027, 3, 14}));
    EXPECT_EQ(DstEnd(2027), (Date{2027, 11, 7}));
}

TEST(ClockLine, NamesTheDayDateDayOfYearAndTime) {
    EXPECT_EQ(ClockLine(DateTime::from(2026, 12, 5, 5, 36, 9, 999)),
              "Saturday  12/05/2026  Day  339  05:36:09");
    EXPECT_EQ(ClockLine(DateTime::from(2027, 1, 1)), "Friday  01/01/2027  Day  1  00:00:00");
}
