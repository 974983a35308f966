#pragma once
// A started station on simulated time that notes which operations ran and when.

#include <memory>
#include <string>
#include <vector>

#include "core/Station.h"
#include "support/SimStation.h"

namespace quillmar::testing {

struct NotedAction {
    std::string name;
    DateTime at;
};

class TickStation {
  public:
    // `before` prepares the data files, which the station opens when it starts.
    explicit TickStation(DateTime start, const std::function<void(SimStation&)>& before = {})
        : sim(std::make_unique<SimStation>(start)) {
        if (before) before(*sim);
        sim->start();
        st().actionObserver = [this](const std::string& name) {
            actions.push_back({name, sim->clock.now()});
            if (onAction) onAction(name);
        };
    }

    Station& st() { return sim->st(); }
    DateTime now() const { return sim->clock.now(); }
    // Runs the loop until the clock reads t.
    void runTo(const DateTime& t) {
        const auto ms =
            (t.date.serial() - now().date.serial()) * 86'400'000 + t.msOfDay - now().msOfDay;
        sim->loop.advance(ms);
    }
    // The loop is busy for ms; the overdue tick runs once afterwards.
    void stall(std::int64_t ms) {
        sim->loop.stall(ms);
        sim->loop.runPending();
    }

    // "hh:mm:ss.mmm" of each time the operation ran.
    std::vector<std::string> times(const std::string& name) const {
        std::vector<std::string> out;
        for (const auto& a : actions)
            if (a.name == name) {
                char ms[8];
                std::snprintf(ms, sizeof ms, ".%03d", static_cast<int>(a.at.msOfDay % 1000));
                out.push_back(TimeText(a.at) + ms);
            }
        return out;
    }
    // "hh:mm:ss" only: operations that talk to a device take simulated time themselves.
    std::vector<std::string> seconds(const std::string& name) const {
        std::vector<std::string> out;
        for (const auto& a : actions)
            if (a.name == name) out.push_back(TimeText(a.at));
        return out;
    }
    int count(const std::string& name) const { return static_cast<int>(times(name).size()); }
    // The times at which a timer was enabled, stepping the loop tick by tick up to t.
    std::vector<std::string> enabledAt(Timer& timer, const DateTime& t) {
        std::vector<std::string> out;
        bool was = timer.isEnabled();
        while (now() < t) {
            sim->loop.advance(50);
            if (timer.isEnabled() && !was) {
                char ms[8];
                std::snprintf(ms, sizeof ms, ".%03d", static_cast<int>(now().msOfDay % 1000));
                out.push_back(TimeText(now()) + ms);
            }
            was = timer.isEnabled();
        }
        return out;
    }

    std::unique_ptr<SimStation> sim;
    std::vector<NotedAction> actions;
    std::function<void(const std::string&)> onAction;
};

}  // namespace quillmar::testing
