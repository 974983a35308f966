#include <gtest/gtest.h>

#include "platform/DateTime.h"

using namespace quillmar;

TEST(DateTime, CalendarArithmeticAgreesWithKnownDates) {
    EXPECT_EQ((Date{2024, 12, 31}.dayOfYear()), 366);  // leap year
    EXPECT_EQ((Date{1970, 1, 1}.serial()), 0);
    EXPECT_EQ((Date{2000, 3, 1}.addDays(-1)), (Date{2000, 2, 29}));
    EXPECT_EQ((Date{1900, 3, 1}.addDays(-1)), (Date{1900, 2, 28}));
    for (std::int64_t d = -800000; d < 800000; d += 997) EXPECT_EQ(Date::fromSerial(d).serial(), d);
    EXPECT_FALSE((Date{2026, 2, 29}.isValid()));
}

TEST(DateTime, AddingMillisecondsCrossesMidnightBothWays) {
    const DateTime late = DateTime::from(2026, 12, 31, 23, 59, 59, 500);
    EXPECT_EQ(late.addMs(600), DateTime::from(2027, 1, 1, 0, 0, 0, 100));
    EXPECT_EQ(DateTime::from(2027, 1, 1).addMs(-1), DateTime::from(2026, 12, 31, 23, 59, 59, 999));
    EXPECT_DOUBLE_EQ(late.secondsOfDay(), 86399.5);
}
