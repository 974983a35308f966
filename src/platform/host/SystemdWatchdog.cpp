#include "platform/host/SystemdWatchdog.h"

#include <systemd/sd-daemon.h>

#include <cstdint>

namespace quillmar {

SystemdWatchdog::SystemdWatchdog() {
    std::uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) > 0) every_ = std::chrono::microseconds(usec / 4);
}

void SystemdWatchdog::ready() {
    sd_notify(0, "READY=1");
}

void SystemdWatchdog::alive() {
    if (every_.count() == 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < every_) return;
    last_ = now;
    sd_notify(0, "WATCHDOG=1");
}

}  // namespace quillmar
