#pragma once
// The service manager that watches the station: told once the station is up, then kept told
// that the clock tick still runs, so a station whose event loop hangs is restarted.

namespace quillmar {

class Watchdog {
  public:
    virtual ~Watchdog() = default;
    virtual void ready() = 0;
    // Called on every clock tick; passes on only as often as the manager needs.
    virtual void alive() = 0;
};

}  // namespace quillmar
