#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/BackgroundWork.h"
#include "platform/sim/SimEventLoop.h"

namespace quillmar {

// Background work on simulated time: the task runs on the loop thread `delayMs` of simulated
// time after it was handed over (at the loop's next turn when 0), so a test can look at the
// state while the work is under way; the completion is posted after it.
class SimBackgroundWork : public BackgroundWork {
  public:
    explicit SimBackgroundWork(SimEventLoop& loop) : loop_(loop) {}

    void run(std::function<void()> task, std::function<void()> completion) override;
    // Tasks handed over whose completion has not run yet.
    int pending() const { return pending_; }

    int delayMs = 0;

  private:
    SimEventLoop& loop_;
    int nextId_ = 0;
    int pending_ = 0;
    std::map<int, std::unique_ptr<Timer>> timers_;
};

}  // namespace quillmar
