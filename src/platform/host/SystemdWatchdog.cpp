#include "platform/host/SystemdWatchdog.h"

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <cstdint>

namespace quillmar {

SystemdWatchdog::SystemdWatchdog() {
    std::uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0) every_ = std::chrono::microseconds(usec / 4);
}

void SystemdWatchdog::ready() {
    sd_notify(0, "READY=1");
}

void SystemdWatchdog::alive(std::int64_t lateMs) {
    if (every_.count() == 0) return;
    worstLateMs_ = std::max(worstLateMs_, lateMs);
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < every_) return;
    last_ = now;
    sd_notifyf(0, "WATCHDOG=1\nX_TICK_LATE_MS=%lld", static_cast<long long>(worstLateMs_));
    worstLateMs_ = 0;
}

}  // namespace quillmar
