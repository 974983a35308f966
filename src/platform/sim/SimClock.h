#pragma once

#include <vector>

#include "platform/Clock.h"

namespace quillmar {

// A clock that moves only when told: by the simulated event loop, or by a test.
class SimClock : public Clock {
  public:
    explicit SimClock(DateTime start = DateTime::from(2026, 12, 5, 12, 0, 0)) : now_(start) {}

    DateTime now() const override { return now_; }
    // Reports the outcome at once.
    void setTimeOfDay(int hour, int minute, int second, SetDone done) override;

    void set(DateTime t) { now_ = t; }
    void advance(std::int64_t ms) { now_ = now_.addMs(ms); }
    // When set, setTimeOfDay fails with this reason.
    void failSetting(std::string reason) { setFailure_ = std::move(reason); }
    // Every time of day set through setTimeOfDay, in order.
    const std::vector<DateTime>& settings() const { return settings_; }

  private:
    DateTime now_;
    std::string setFailure_;
    std::vector<DateTime> settings_;
};

}  // namespace quillmar
