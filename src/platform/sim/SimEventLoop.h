#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>

#include "platform/EventLoop.h"
#include "platform/sim/SimClock.h"

namespace quillmar {

// An event loop on virtual time. advance() jumps from one due timer to the next and fires
// them in (due time, sequence) order; it never sleeps. Moving the loop's time moves the clock.
class SimEventLoop : public EventLoop {
  public:
    explicit SimEventLoop(SimClock& clock);
    ~SimEventLoop() override;

    std::unique_ptr<Timer> createTimer(int intervalMs, bool singleShot,
                                       std::function<void()> handler) override;
    void post(std::function<void()> task) override;  // loop thread only in the simulation

    // Runs every posted task and every timer due within the next ms milliseconds.
    void advance(std::int64_t ms);
    // Runs whatever is due now: posted tasks and overdue timers.
    void runPending() { advance(0); }
    // Lets time pass with the loop busy: nothing fires; overdue timers fire once afterwards.
    void stall(std::int64_t ms);
    // Milliseconds of virtual time since the loop was made.
    std::int64_t elapsed() const { return now_; }

  private:
    struct TimerState;
    class SimTimer;
    friend class SimTimer;

    void runPosted();

    SimClock& clock_;
    std::int64_t now_ = 0;
    std::uint64_t nextSeq_ = 0;
    int nextId_ = 0;
    std::map<int, std::shared_ptr<TimerState>> timers_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace quillmar
