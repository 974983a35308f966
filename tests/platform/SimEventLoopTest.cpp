#include <gtest/gtest.h>

#include "platform/sim/SimEventLoop.h"

using namespace quillmar;

namespace {
struct Fixture {
    SimClock clock{DateTime::from(2026, 12, 5, 23, 59, 59)};
    SimEventLoop loop{clock};
    std::vector<std::pair<std::string, std::int64_t>> fired;
    std::unique_ptr<Timer> make(const std::string& name, int interval, bool singleShot) {
        return loop.createTimer(interval, singleShot,
                                [this, name] { fired.emplace_back(name, loop.elapsed()); });
    }
};
}  // namespace

TEST(SimEventLoop, TimersFireInTimeThenSequenceOrderAndMoveTheClock) {
    Fixture f;
    auto fast = f.make("fast", 50, false);
    auto slow = f.make("slow", 100, false);
    auto once = f.make("once", 100, true);
    fast->setEnabled(true);
    slow->setEnabled(true);
    once->setEnabled(true);
    f.loop.advance(200);
    EXPECT_EQ(f.fired, (decltype(f.fired){{"fast", 50},
                                          {"slow", 100},
                                          {"once", 100},
                                          {"fast", 100},
                                          {"fast", 150},
                                          {"slow", 200},
                                          {"fast", 200}}));
    EXPECT_EQ(f.clock.now(), DateTime::from(2026, 12, 5, 23, 59, 59, 200));
    fast.reset();
    slow.reset();
    f.loop.advance(1000);
    EXPECT_EQ(f.clock.now(), DateTime::from(2026, 12, 6, 0, 0, 0, 200));
}

// Enabling a running timer does not restart it; a stall fires an overdue one once.
TEST(SimEventLoop, AStalledLoopFiresOverdueTimersOnceThenKeepsTheInterval) {
    Fixture f;
    auto tick = f.make("tick", 50, false);
    auto cue = f.make("cue", 100, true);
    tick->setEnabled(true);
    cue->setEnabled(true);
    f.loop.advance(20);
    cue->setEnabled(true);
    f.loop.advance(90);
    f.loop.stall(3000);
    f.loop.advance(60);
    EXPECT_EQ(f.fired,
              (decltype(f.fired){
                  {"tick", 50}, {"cue", 100}, {"tick", 100}, {"tick", 3110}, {"tick", 3160}}));
}

TEST(SimEventLoop, PostedTasksRunFirstAndAHandlerMayDestroyItsTimerOrStallPastTheTarget) {
    Fixture f;
    std::vector<std::string> order;
    std::unique_ptr<Timer> self = f.loop.createTimer(10, false, [&] {
        order.push_back("timer");
        self.reset();
        f.loop.stall(3000);
    });
    self->setEnabled(true);
    f.loop.post([&] { order.push_back("posted"); });
    const DateTime start = f.clock.now();
    f.loop.advance(100);
    EXPECT_EQ(order, (std::vector<std::string>{"posted", "timer"}));
    EXPECT_EQ(f.loop.elapsed(), 3010);  // time never moves back
    EXPECT_EQ(f.clock.now(), start.addMs(3010));
}
