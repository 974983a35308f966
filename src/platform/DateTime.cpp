#include "platform/DateTime.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace quillmar {

namespace {
constexpr std::int64_t kDayMs = 86'400'000;
constexpr double kHalfDay = 43'200;

// The count before the sign goes in; the hour part is built by the caller.
std::string MinutesSeconds(std::int64_t count) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", static_cast<int>(count % 3600 / 60),
                  static_cast<int>(count % 60));
    return buf;
}

// Puts "-" in the blank just before the first digit, or in front when there is none.
std::string Signed(std::string text) {
    const auto digit = text.find_first_of("0123456789");
    if (digit != std::string::npos && digit > 0 && text[digit - 1] == ' ')
        text[digit - 1] = '-';
    else
        text.insert(0, "-");
    return text;
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
}  // namespace

int Date::daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool Date::isValid() const {
    return month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

// Civil-from-days and days-from-civil after H. Hinnant's public-domain algorithms.
std::int64_t Date::serial() const {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date Date::fromSerial(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    return Date{y, m, d};
}

int Date::weekday() const {
    // 1970-01-01 was a Thursday (5).
    std::int64_t w = (serial() + 4) % 7;
    if (w < 0) w += 7;
    return static_cast<int>(w) + 1;
}

int Date::dayOfYear() const {
    return static_cast<int>(serial() - Date{year, 1, 1}.serial()) + 1;
}

DateTime DateTime::addMs(std::int64_t ms) const {
    std::int64_t total = msOfDay + ms;
    std::int64_t days = total / 86'400'000;
    total %= 86'400'000;
    if (total < 0) {
        total += 86'400'000;
        --days;
    }
    return DateTime{date.addDays(days), total};
}

DateTime DateTime::from(int year, int month, int day, int hour, int minute, int second, int ms) {
    return DateTime{Date{year, month, day}, ((hour * 60LL + minute) * 60 + second) * 1000 + ms};
}

std::string TimeText(std::int64_t s) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(s / 3600 % 100),
                  static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
    return buf;
}

std::string TimeText(const DateTime& t) {
    return TimeText(t.msOfDay / 1000);
}

std::string DateTextDashed(const Date& d) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", d.month, d.day, d.year);
    return buf;
}

std::string DateTextSlashed(const Date& d) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.month, d.day, d.year);
    return buf;
}

std::string DayKey(const Date& d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", ((d.year % 100) + 100) % 100, d.month, d.day);
    return buf;
}

std::string DayName(int i) {
    static const char* const kNames[] = {"Off",       "Sunday",   "Monday", "Tuesday",
                                         "Wednesday", "Thursday", "Friday", "Saturday"};
    return i < 0 || i > 7 ? std::string() : kNames[i];
}

std::string DayAbbreviation(int i) {
    return DayName(i).substr(0, 3);
}

std::string FormatElapsed(std::int32_t count) {
    std::int64_t c = count < 0 ? -static_cast<std::int64_t>(count) : count;
    c %= 86400;
    const std::int64_t h = c / 3600;
    std::string text;
    if (h > 0) text = (h < 10 ? " " : "") + std::to_string(h) + ":";
    text += MinutesSeconds(c);
    return count < 0 ? Signed(text) : text;
}

std::string FormatCountdown(std::int32_t count) {
    const std::int64_t c = count < 0 ? -static_cast<std::int64_t>(count) : count;
    const std::int64_t h = c / 3600;
    std::string text;
    if (h < 1)
        text = "    ";
    else
        text = std::string(h < 10 ? 2 : h < 100 ? 1 : 0, ' ') + std::to_string(h) + ":";
    text += MinutesSeconds(c);
    return count < 0 ? Signed(text) : text;
}

std::int32_t WholeSeconds(double seconds) {
    const double r = std::nearbyint(seconds);
    if (!(r > std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (r > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

std::int64_t MomentOf(const DateTime& t) {
    return t.date.serial() * kDayMs + t.msOfDay;
}
std::int64_t MomentOf(const Date& d, std::int64_t secondOfDay) {
    return d.serial() * kDayMs + secondOfDay * 1000;
}

double SecondsSince(double from, double to) {
    const double elapsed = to - from;
    return elapsed < -kHalfDay ? elapsed + 86400 : elapsed;
}

}  // namespace quillmar
