#pragma once
// Calendar dates and local times as plain values. The station works in local time only:
// the clock service hands out what the wall clock of the station shows.

#include <cstdint>
#include <string>

namespace quillmar {

struct Date {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31

    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date&, const Date&) = default;

    bool isValid() const;
    // Days since 1970-01-01 (negative before it).
    std::int64_t serial() const;
    static Date fromSerial(std::int64_t days);
    Date addDays(std::int64_t days) const { return fromSerial(serial() + days); }
    // 1 = Sunday .. 7 = Saturday.
    int weekday() const;
    // 1 = 1 January.
    int dayOfYear() const;
    static int daysInMonth(int year, int month);
};

// Days from a to b (b - a).
inline std::int64_t DaysBetween(const Date& a, const Date& b) {
    return b.serial() - a.serial();
}

struct DateTime {
    Date date;
    std::int64_t msOfDay = 0;  // 0 .. 86'399'999

    friend bool operator==(const DateTime&, const DateTime&) = default;
    friend auto operator<=>(const DateTime&, const DateTime&) = default;

    int hour() const { return static_cast<int>(msOfDay / 3'600'000); }
    int minute() const { return static_cast<int>(msOfDay / 60'000 % 60); }
    int second() const { return static_cast<int>(msOfDay / 1000 % 60); }
    // Seconds since midnight with the fraction, as the tick compares them.
    double secondsOfDay() const { return static_cast<double>(msOfDay) / 1000.0; }
    DateTime addMs(std::int64_t ms) const;
    static DateTime from(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int ms = 0);
};

// "HH:MM:SS" of a time of day in whole seconds.
std::string TimeText(std::int64_t secondsOfDay);
std::string TimeText(const DateTime& t);
// "mm-dd-yyyy" and "mm/dd/yyyy".
std::string DateTextDashed(const Date& d);
std::string DateTextSlashed(const Date& d);
// "yymmdd", the day key of the daily files.
std::string DayKey(const Date& d);

// Day names by weekday number: 0 "Off", 1 "Sunday" .. 7 "Saturday"; "" outside 0..7.
std::string DayName(int i);
// The first three letters of DayName(i): "Sun" .. "Sat".
std::string DayAbbreviation(int i);

// "[h:]mm:ss": the hour part is left out when zero and padded to two places; a day or more
// wraps. A negative count carries "-" just before its digits ("-00:05", "-1:01:01").
std::string FormatElapsed(std::int32_t count);
// "hhh:mm:ss" with the hour part padded to three places (four blanks when zero); no wrap.
// Negative as above ("   -00:05").
std::string FormatCountdown(std::int32_t count);

// Seconds to the nearest whole number, halves to the even neighbour.
std::int32_t WholeSeconds(double seconds);
// Milliseconds since 1970-01-01 of a local date and time: one time line for every moment.
std::int64_t MomentOf(const DateTime& t);
std::int64_t MomentOf(const Date& d, std::int64_t secondOfDay);
// Seconds from `from` to `to`, both seconds of day; a span that crosses midnight counts on
// into the next day instead of going negative.
double SecondsSince(double from, double to);

}  // namespace quillmar
