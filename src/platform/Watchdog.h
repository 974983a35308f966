#pragma once
// The service manager that watches the station: told once the station is up, then kept told
// that the clock tick still runs, so a station whose event loop hangs is restarted.

#include <cstdint>

namespace quillmar {

class Watchdog {
  public:
    virtual ~Watchdog() = default;
    virtual void ready() = 0;
    // Called on every clock tick with how many milliseconds after its due moment it ran;
    // passes on only as often as the manager needs.
    virtual void alive(std::int64_t lateMs) = 0;
};

}  // namespace quillmar
