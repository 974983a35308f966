#pragma once
// A wall-clock event loop: timers, posts from any thread, runs until a condition or a time limit.

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
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
        runUntil([] { return false; }, ms);
    }

  private:
    struct LoopTimer : Timer {
        LoopTimer(TestLoop& loop, int ms, bool singleShot, std::function<void()> handler)
            : loop(loop), ms(ms), singleShot(singleShot), handler(std::move(handler)) {}
        ~LoopTimer() override { std::erase(loop.timers_, this); }
        void setEnabled(bool on) override {
            if (on && !enabled) due = Clock::now() + std::chrono::milliseconds(ms);
            enabled = on;
        }
        bool isEnabled() const override { return enabled; }
        void setInterval(int interval) override { ms = interval; }
        int interval() const override { return ms; }
        TestLoop& loop;
        int ms;
        bool singleShot, enabled = false;
        Clock::time_point due;
        std::function<void()> handler;
    };

    void runOnce() {
        std::unique_lock<std::mutex> lock(mutex_);
        auto tasks = std::exchange(posted_, {});
        lock.unlock();
        for (auto& task : tasks) task();
        const auto now = Clock::now();
        for (LoopTimer* t : std::vector<LoopTimer*>(timers_)) {
            if (std::ranges::find(timers_, t) == timers_.end() || !t->enabled || t->due > now)
                continue;  // destroyed by an earlier handler, or not due
            t->enabled = !t->singleShot;
            t->due = now + std::chrono::milliseconds(t->ms);
            auto handler = t->handler;  // the handler may destroy its timer
            handler();
        }
    }

    std::mutex mutex_;
    std::deque<std::function<void()>> posted_;
    std::vector<LoopTimer*> timers_;
};

}  // namespace quillmar::testing
