#pragma once

#include <QString>
#include <memory>

#include "platform/Clock.h"

class QObject;

namespace quillmar {

// The machine's local time. The clock is set by the system's time service (timedated's SetTime
// over D-Bus), which asks polkit: the package's rule lets members of the quillmar group, so
// the program itself needs no privilege.
class SystemClock : public Clock {
  public:
    // busAddress: the bus timedated is on; empty for the system bus.
    explicit SystemClock(const std::string& busAddress = {});
    ~SystemClock() override;
    SystemClock(const SystemClock&) = delete;
    SystemClock& operator=(const SystemClock&) = delete;

    DateTime now() const override;
    void setTimeOfDay(int hour, int minute, int second, SetDone done) override;

  private:
    QString connectionName_;  // empty for the system bus
    // Replies are handled on this object, so none arrives after the clock is gone.
    std::unique_ptr<QObject> context_;
};

}  // namespace quillmar
