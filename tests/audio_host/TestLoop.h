#pragma once
// A small event loop on the wall clock for the host audio tests: timers, posts from any thread,
// and a run that ends when a condition holds or a time limit passes.

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/EventLoop.h"

namespace quillmar::testing {

class TestLoop : public EventLoop {
  public:
    using Clock = std::chrono::steady_clock;

    std::unique_ptr<Timer> createTimer(int intervalMs, bool singleShot,
                                       std::function<void()> handler) override {
        auto timer = std::make_unique<LoopTimer>(*this, intervalMs, singleShot, std::move(handler));
        timers_.push_back(timer.get());
        return timer;
    }
    void post(std::function<void()> task) override {
        std::lock_guard<std::mutex> lock(mutex_);
        posted_.push_back(std::move(task));
    }

    // Runs timers and posted tasks until done() holds; false when maxMs passed first.
    bool runUntil(const std::function<bool()>& done, int maxMs = 10000) {
        const auto limit = Clock::now() + std::chrono::milliseconds(maxMs);
        while (!done()) {
            if (Clock::now() > limit) return false;
            runOnce();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    void runFor(int ms) {
        const auto limit = Clock::now() + std::chrono::milliseconds(ms);
        runUntil([&] { return Clock::now() > limit; }, ms + 1000);
    }

  private:
    class LoopTimer : public Timer {
      public:
        LoopTimer(TestLoop& loop, int interval, bool singleShot, std::function<void()> handler)
            : loop_(loop),
              interval_(interval),
              singleShot_(singleShot),
              handler_(std::move(handler)) {}
        ~LoopTimer() override {
            auto& t = loop_.timers_;
            t.erase(std::remove(t.begin(), t.end(), this), t.end());
        }
        void setEnabled(bool enabled) override {
            if (enabled && !enabled_) due_ = Clock::now() + std::chrono::milliseconds(interval_);
            enabled_ = enabled;
        }
        bool isEnabled() const override { return enabled_; }
        void setInterval(int ms) override { interval_ = ms; }
        int interval() const override { return interval_; }

        TestLoop& loop_;
        int interval_;
        bool singleShot_;
        bool enabled_ = false;
        Clock::time_point due_;
        std::function<void()> handler_;
    };

    bool alive(LoopTimer* t) const {
        return std::find(timers_.begin(), timers_.end(), t) != timers_.end();
    }

    void runOnce() {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            tasks.swap(posted_);
        }
        for (auto& task : tasks) task();
        const auto now = Clock::now();
        const std::vector<LoopTimer*> timers = timers_;
        for (LoopTimer* t : timers) {
            if (!alive(t) || !t->enabled_ || t->due_ > now) continue;
            if (t->singleShot_)
                t->enabled_ = false;
            else
                t->due_ = now + std::chrono::milliseconds(t->interval_);
            auto handler = t->handler_;  // the handler may destroy its timer
            handler();
        }
    }

    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    std::vector<LoopTimer*> timers_;
};

}  // namespace quillmar::testing
