#include <gtest/gtest.h>

#include <tuple>

#include "core/ClockTick.h"

using namespace quillmar;

// Elapsed times leave out a zero hour and wrap whole days; countdowns pad hours to three
// places without wrapping; both put the sign before the digits.
TEST(TimeFormat, ElapsedAndCountdownTexts) {
    const std::vector<std::tuple<std::int32_t, const char*, const char*>> cases = {
        {0, "00:00", "    00:00"},          {3661, " 1:01:01", "  1:01:01"},
        {86400, "00:00", " 24:00:00"},      {3 * 86400 + 59, "00:59", " 72:00:59"},
        {-5, "-00:05", "   -00:05"},        {-3661, "-1:01:01", " -1:01:01"},
        {-45296, "-12:34:56", "-12:34:56"}, {-604799, "-23:59:59", "-167:59:59"},
        {360000, " 4:00:00", "100:00:00"},
    };
    for (const auto& [seconds, elapsed, countdown] : cases) {
        EXPECT_EQ(FormatElapsed(seconds), elapsed) << seconds;
        EXPECT_EQ(FormatCountdown(seconds), countdown) << seconds;
    }
    EXPECT_EQ(FormatElapsed(INT32_MIN).front(), '-');
}

TEST(WholeSeconds, RoundsHalvesToTheEvenNeighbourAndSaturates) {
    const std::vector<std::pair<double, std::int32_t>> cases = {
        {0.5, 0},   {1.5, 2},    {2.5, 2},          {-0.5, 0},
        {-1.5, -2}, {16.51, 17}, {1e12, INT32_MAX}, {-1e12, INT32_MIN}};
    for (const auto& [value, rounded] : cases) EXPECT_EQ(WholeSeconds(value), rounded) << value;
}

TEST(DateAndTimeTexts, AreReadOnlyWhenWellFormed) {
    Date d;
    ASSERT_TRUE(ParseDateText("12/05/2026", &d));
    EXPECT_EQ(d, (Date{2026, 12, 5}));
    ASSERT_TRUE(ParseDateText("02-29-2028", &d));
    EXPECT_EQ(d, (Date{2028, 2, 29}));
    for (const char* bad : {"", "12/05/26", "02/30/2026", "12-05/2026", "ab/cd/efgh", "13/01/2026",
                            "12/05/:026", "12/05/2:26"})
        EXPECT_FALSE(ParseDateText(bad, &d)) << bad;

    EXPECT_EQ(ParseTimeText("00:00:00"), 0);
    EXPECT_EQ(ParseTimeText("23:59:59"), 86399);
    for (const char* bad : {"", "        ", "24:00:00", "12:60:00", "1:00:00 ", "12-00-00"})
        EXPECT_EQ(ParseTimeText(bad), -1) << bad;
    // A play time as typed: HH:MM means HH:MM:00, and the blanks of its field do not count.
    const std::vector<std::pair<const char*, int>> plays = {
        {"12:30:15", 45015}, {"  07:30 ", 27000}, {"10:00:00   ", 36000}, {"     ", -1},
        {"12:3", -1},        {"1:00:00", -1},     {"24:00", -1},          {"12:30:1", -1}};
    for (const auto& [text, seconds] : plays) EXPECT_EQ(ParsePlayTime(text), seconds) << text;
}

// 2026's dates are checked at start-up.
TEST(DaylightSavingDates, FollowTheOldRuleBefore2007) {
    EXPECT_EQ(DstStart(2006), (Date{2006, 4, 2}));
    EXPECT_EQ(DstEnd(2006), (Date{2006, 10, 29}));
}
