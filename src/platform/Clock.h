#pragma once

#include <string>

#include "platform/DateTime.h"

namespace quillmar {

// The station's wall clock: local date and time of day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
    // Sets the time of day, keeping the date. Returns false and fills error on failure.
    virtual bool setTimeOfDay(int hour, int minute, int second, std::string* error) = 0;
};

}  // namespace quillmar
