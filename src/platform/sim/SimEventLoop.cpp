#include "platform/sim/SimEventLoop.h"

#include <limits>

namespace quillmar {

struct SimEventLoop::TimerState {
    int interval = 0;
    bool singleShot = false;
    bool enabled = false;
    std::int64_t due = 0;
    std::uint64_t seq = 0;
    std::function<void()> handler;
};

class SimEventLoop::SimTimer : public Timer {
  public:
    SimTimer(SimEventLoop& loop, int id, std::shared_ptr<TimerState> state)
        : loop_(loop), id_(id), state_(std::move(state)) {}
    ~SimTimer() override { loop_.timers_.erase(id_); }

    void setEnabled(bool enabled) override {
        if (enabled && !state_->enabled) {
            state_->due = loop_.now_ + state_->interval;
            state_->seq = loop_.nextSeq_++;
        }
        state_->enabled = enabled;
    }
    bool isEnabled() const override { return state_->enabled; }
    void setInterval(int ms) override { state_->interval = ms; }
    int interval() const override { return state_->interval; }

  private:
    SimEventLoop& loop_;
    int id_;
    std::shared_ptr<TimerState> state_;
};

SimEventLoop::SimEventLoop(SimClock& clock) : clock_(clock) {}
SimEventLoop::~SimEventLoop() = default;

std::unique_ptr<Timer> SimEventLoop::createTimer(int intervalMs, bool singleShot,
                                                 std::function<void()> handler) {
    auto state = std::make_shared<TimerState>();
    state->interval = intervalMs;
    state->singleShot = singleShot;
    state->handler = std::move(handler);
    const int id = nextId_++;
    timers_[id] = state;
    return std::make_unique<SimTimer>(*this, id, state);
}

void SimEventLoop::post(std::function<void()> task) {
    posted_.push_back(std::move(task));
}

void SimEventLoop::runPosted() {
    while (!posted_.empty()) {
        auto task = std::move(posted_.front());
        posted_.pop_front();
        task();
    }
}

void SimEventLoop::advance(std::int64_t ms) {
    const std::int64_t target = now_ + (ms > 0 ? ms : 0);
    for (;;) {
        runPosted();
        std::shared_ptr<TimerState> next;
        for (auto& [id, t] : timers_) {
            if (!t->enabled || t->due > target) continue;
            if (!next || t->due < next->due || (t->due == next->due && t->seq < next->seq))
                next = t;
        }
        if (!next) break;
        if (next->due > now_) {
            clock_.advance(next->due - now_);
            now_ = next->due;
        }
        if (next->singleShot) {
            next->enabled = false;
        } else {
            // A late timer fires once and then keeps its interval from now, as Qt's do.
            next->due = now_ + (next->interval > 0 ? next->interval : 1);
            next->seq = nextSeq_++;
        }
        auto keep = next;  // the handler may destroy its own timer
        keep->handler();
    }
    // A handler that stalled the loop may already have carried time past the target.
    if (target > now_) {
        clock_.advance(target - now_);
        now_ = target;
    }
}

void SimEventLoop::stall(std::int64_t ms) {
    if (ms <= 0) return;
    clock_.advance(ms);
    now_ += ms;
}

}  // namespace quillmar
