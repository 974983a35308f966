#include "platform/host/SystemClock.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace quillmar {

DateTime SystemClock::now() const {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    ::localtime_r(&ts.tv_sec, &tm);
    return DateTime::from(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                          tm.tm_sec > 59 ? 59 : tm.tm_sec, static_cast<int>(ts.tv_nsec / 1'000'000));
}

bool SystemClock::setTimeOfDay(int hour, int minute, int second, std::string* error) {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    ::localtime_r(&ts.tv_sec, &tm);
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = ::mktime(&tm);
    timespec set{t, 0};
    if (t == static_cast<std::time_t>(-1) || ::clock_settime(CLOCK_REALTIME, &set) != 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace quillmar
