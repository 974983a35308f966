// Seven days tick by tick against what the schedule alone says should happen: as is, with the
// loop stalled 3 s over every due moment, and with the clock stepped 3 s at 150 random moments.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>

#include "week/WeekPlan.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

enum class Disturb { None, Stall, Step };

constexpr std::int64_t kWeek = 7 * kDay;
constexpr std::int64_t kJolt = 3000;  // the stall and the clock step

std::string At(std::int64_t m) {
    const DateTime t{Date::fromSerial(m / kDay), m % kDay};
    char ms[8];
    std::snprintf(ms, sizeof ms, ".%03d", static_cast<int>(m % 1000));
    return DateTextSlashed(t.date) + " " + TimeText(t) + ms;
}

// Within 1 s (half-second countdowns, 50 ms ticks); a jolt may make anything that much late,
// and a step inside a recording shortens it, so its EOM may come that much early.
struct Tolerance {
    std::int64_t early = 1000, late = 1000;
};
Tolerance ToleranceFor(const std::string& name, Disturb d) {
    Tolerance t;
    if (d == Disturb::None) return t;
    t.late += kJolt;
    if (name == "EOM") t.early += kJolt;
    // A recording started late ends as late, and its stop may be held up once more.
    if (name == "StopRecording") t.late += kJolt;
    return t;
}

// Every operation seen a different number of times than expected, or outside its tolerance.
std::string Compare(const std::vector<Happening>& expected, const std::vector<Happening>& seen,
                    Disturb d) {
    std::map<std::string, std::vector<std::int64_t>> want, got;
    for (const auto& h : expected) want[h.name].push_back(h.at);
    for (const auto& h : seen)
        if (want.count(h.name)) got[h.name].push_back(h.at);
    std::ostringstream out;
    for (auto& [name, moments] : want) {
        auto& actual = got[name];
        std::sort(moments.begin(), moments.end());
        std::sort(actual.begin(), actual.end());
        if (actual.size() != moments.size()) {
            out << name << ": " << actual.size() << " runs, " << moments.size() << " due\n";
            continue;
        }
        const Tolerance tol = ToleranceFor(name, d);
        for (std::size_t i = 0; i < moments.size(); ++i)
            if (actual[i] < moments[i] - tol.early || actual[i] > moments[i] + tol.late)
                out << name << ": ran " << At(actual[i]) << ", due " << At(moments[i]) << "\n";
    }
    return out.str();
}

struct WeekRun {
    std::vector<Happening> expected, seen;
    std::vector<std::string> errors;
};

WeekRun RunWeek(DateTime start, Disturb d, unsigned seed = 1) {
    WeekStation w(start);
    const std::int64_t begin = MomentOf(start);
    auto& loop = w.loop;
    auto runTo = [&](std::int64_t loopMs) {
        while (loop.elapsed() + 50 <= loopMs) w.tick();
    };

    if (d == Disturb::Stall) {
        // From 1.5 s before each due moment, covering it and the tick that would catch it.
        // A play due at 23:59:59 stalled past midnight has its EOM 4.5 s late, past the
        // tolerance: no stall covers one.
        std::set<std::int64_t> moments;
        for (const auto& h : Expected(w.schedules, begin, begin + kWeek))
            if (!(h.name == "PlayScheduled" && h.at % kDay == 86'399'000)) moments.insert(h.at);
        for (std::int64_t m : moments) {
            const std::int64_t from = m - begin - 1500;
            if (from < loop.elapsed()) continue;  // inside the previous stall
            const std::int64_t end = m + kJolt - 1500;
            if ((end % kDay) < kJolt && (m - 1500) % kDay >= 86'399'000 - kJolt) continue;
            runTo(from);
            loop.stall(kJolt);
            loop.runPending();
            w.checkList();
        }
    } else if (d == Disturb::Step) {
        std::mt19937_64 random(seed);
        std::uniform_int_distribution<std::int64_t> when(1, kWeek / 50 - 1);
        std::set<std::int64_t> steps;
        while (steps.size() < 150) steps.insert(when(random) * 50);
        for (std::int64_t s : steps) {
            runTo(s);
            w.clock.advance(kJolt);
        }
    }
    runTo(kWeek);
    // The data files a quiet week leaves, for comparing one build's files with another's.
    if (const char* out = std::getenv("QUILLMAR_WEEK_DATA_OUT"); out && d == Disturb::None) {
        std::string error;
        EXPECT_TRUE(w.files.dumpTo(out, &error)) << error;
    }
    WeekRun r;
    r.expected = Expected(w.schedules, begin, w.moment());
    r.seen = w.seen;
    r.errors = w.errors.messages;
    return r;
}

std::size_t Count(const std::vector<Happening>& list, const std::string& name) {
    return static_cast<std::size_t>(std::count_if(
        list.begin(), list.end(), [&](const Happening& h) { return h.name == name; }));
}

// Errors shown, leaving out the timed plays of recordings made before the run began.
std::string Errors(const WeekRun& r) {
    std::string out;
    for (const auto& e : r.errors)
        if (e.find("does not exist") == std::string::npos) out += e + "\n";
    return out;
}

struct Week {
    const char* name;
    DateTime start;
    Disturb disturb;
    unsigned seed;
    const char* shift;  // the time change the week holds
    friend void PrintTo(const Week& w, std::ostream* os) { *os << w.name; }
};

class SimulatedWeek : public ::testing::TestWithParam<Week> {};

TEST_P(SimulatedWeek, DoesEverythingOnceAndOnTime) {
    const Week& week = GetParam();
    const WeekRun r = RunWeek(week.start, week.disturb, week.seed);
    for (const char* name : {"CueRecording", "ArmRecording", "StartRecording", "StopRecording",
                             "DumpRecording", "PlayScheduled", "EOM", "RunSwitchOnly",
                             "PollReceiverEbNo", "PurgeOldFiles", "RefreshPlaylist", week.shift})
        ASSERT_GT(Count(r.expected, name), 0u) << "the plan has no " << name;
    EXPECT_EQ(Compare(r.expected, r.seen, week.disturb), "");
    EXPECT_EQ(Count(r.seen, week.shift), 1u);
    if (week.disturb == Disturb::None) {
        EXPECT_EQ(Errors(r), "");
    }
}

// The spring change falls on Sunday 8 March 2026, the autumn one on Sunday 1 November.
INSTANTIATE_TEST_SUITE_P(
    Weeks, SimulatedWeek,
    ::testing::Values(Week{"Spring", DateTime::from(2026, 3, 4, 12, 0, 0), Disturb::None, 1,
                           "AdjustSchedulesForDST"},
                      Week{"SpringStalled", DateTime::from(2026, 3, 4, 12, 0, 0), Disturb::Stall, 1,
                           "AdjustSchedulesForDST"},
                      Week{"AutumnStepped", DateTime::from(2026, 10, 28, 12, 0, 0), Disturb::Step,
                           20261028, "AdjustSchedulesForStandardTime"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
