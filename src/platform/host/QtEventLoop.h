#pragma once

#include "platform/EventLoop.h"

namespace quillmar {

// Timers and posted tasks on the Qt event loop of the main thread.
class QtEventLoop : public EventLoop {
  public:
    std::unique_ptr<Timer> createTimer(int intervalMs, bool singleShot,
                                       std::function<void()> handler) override;
    void post(std::function<void()> task) override;  // any thread
};

}  // namespace quillmar
