#pragma once

#include <functional>
#include <memory>

namespace quillmar {

// A timer of the event loop. Enabling a timer that runs leaves it running; enabling a stopped
// one starts a fresh interval. A one-shot timer disables itself before its handler runs.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
};

class EventLoop {
  public:
    virtual ~EventLoop() = default;
    // The timer starts disabled. Its handler runs on the loop thread.
    virtual std::unique_ptr<Timer> createTimer(int intervalMs, bool singleShot,
                                               std::function<void()> handler) = 0;
    // Runs task on the loop thread after the current handler. May be called from any thread.
    virtual void post(std::function<void()> task) = 0;
};

}  // namespace quillmar
