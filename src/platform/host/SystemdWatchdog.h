#pragma once

#include <chrono>

#include "platform/Watchdog.h"

namespace quillmar {

// sd_notify to systemd: READY=1, and WATCHDOG=1 at a quarter of WatchdogSec=. Does nothing
// when the program was not started by a unit of Type=notify (no NOTIFY_SOCKET). Each notice
// also carries X_TICK_LATE_MS, the latest any tick ran since the last notice, which the
// latency bench reads and the service manager ignores.
class SystemdWatchdog : public Watchdog {
  public:
    SystemdWatchdog();
    void ready() override;
    void alive(std::int64_t lateMs) override;

  private:
    std::chrono::microseconds every_{0};
    std::chrono::steady_clock::time_point last_{};
    std::int64_t worstLateMs_ = 0;
};

}  // namespace quillmar
