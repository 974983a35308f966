#pragma once

#include <functional>
#include <string>

#include "platform/DateTime.h"

namespace quillmar {

// The station's wall clock: local date and time of day.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
    using SetDone = std::function<void(bool ok, const std::string& error)>;
    // Sets the time of day, keeping the date, without waiting for it: done runs once on the
    // loop thread with the outcome (the reason when refused), possibly before this returns.
    virtual void setTimeOfDay(int hour, int minute, int second, SetDone done) = 0;
};

}  // namespace quillmar
