// Seven days tick by tick against what the schedule alone says should happen: as is, with the
// loop stalled 3 s over every due moment, and with the clock stepped 3 s at 150 random moments;
// and a month on which memory and open files stay level.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "week/WeekPlan.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

enum Disturb { None, Stall, Step };

constexpr std::int64_t kWeek = 7 * kDay, kJolt = 3000;  // the stall and the clock step

std::string At(std::int64_t m) {
    return DateTextSlashed(Date::fromSerial(m / kDay)) + " " + TimeText(m % kDay / 1000) + "." +
           std::to_string(1000 + m % 1000).substr(1);
}

// Every operation seen a different number of times than expected, or more than 1 s off (50 ms
// ticks); with jolts, a jolt may make anything that much late, and a step inside a recording
// shortens it, so its EOM may come that much early; a recording started late may also stop that
// much later.
std::string Compare(std::vector<Happening> expected, std::vector<Happening> seen, bool jolted) {
    std::map<std::string, std::vector<std::int64_t>> want, got;
    for (const auto& h : expected) want[h.name].push_back(h.at);
    for (const auto& h : seen) got[h.name].push_back(h.at);
    std::ostringstream out;
    for (auto& [name, moments] : want) {
        auto& actual = got[name];
        std::sort(moments.begin(), moments.end());
        std::sort(actual.begin(), actual.end());
        if (actual.size() != moments.size()) {
            out << name << ": " << actual.size() << " runs, " << moments.size() << " due\n";
            continue;
        }
        const std::int64_t early = 1000 + (jolted && name == "EOM" ? kJolt : 0);
        const std::int64_t late =
            1000 + (jolted ? kJolt : 0) + (jolted && name == "StopRecording" ? kJolt : 0);
        for (std::size_t i = 0; i < moments.size(); ++i)
            if (actual[i] < moments[i] - early || actual[i] > moments[i] + late)
                out << name << ": ran " << At(actual[i]) << ", due " << At(moments[i]) << "\n";
    }
    return out.str();
}

struct Week {
    const char* name;
    DateTime start;
    Disturb disturb;
    unsigned seed;
    friend void PrintTo(const Week& w, std::ostream* os) { *os << w.name; }
};

class SimulatedWeek : public ::testing::TestWithParam<Week> {};

TEST_P(SimulatedWeek, DoesEverythingOnceAndOnTime) {
    const Week& week = GetParam();
    WeekStation w(week.start);
    const std::int64_t begin = MomentOf(week.start);
    const auto runTo = [&](std::int64_t loopMs) {
        for (; w.loop.elapsed() + 50 <= loopMs; w.checkList()) w.loop.advance(50);
    };
    if (week.disturb == Stall) {
        // From 1.5 s before each due moment, covering it and the tick that would catch it. A
        // stall past midnight would make a 23:59:59 play's EOM 4.5 s late: none covers one.
        std::set<std::int64_t> moments;
        for (const auto& h : Expected(w.schedules, begin, begin + kWeek))
            if (!(h.name == "PlayScheduled" && h.at % kDay == 86'399'000)) moments.insert(h.at);
        for (std::int64_t m : moments) {
            const std::int64_t from = m - begin - 1500;
            if (from < w.loop.elapsed() ||  // inside the previous stall
                ((m + kJolt - 1500) % kDay < kJolt && (m - 1500) % kDay >= 86'399'000 - kJolt))
                continue;
            runTo(from);
            w.loop.stall(kJolt);
            w.loop.runPending();
            w.checkList();
        }
    } else if (week.disturb == Step) {
        std::mt19937_64 random(week.seed);
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
    const char* out = std::getenv("QUILLMAR_WEEK_DATA_OUT");
    EXPECT_TRUE(!out || week.disturb != None || w.files.dumpTo(out, nullptr));
    EXPECT_EQ(Compare(Expected(w.schedules, begin, w.moment()), w.seen, week.disturb != None), "");
    // The only errors: timed plays of recordings made before the run began.
    for (const auto& e : w.errors.messages)
        EXPECT_TRUE(week.disturb != None || e.find("does not exist") != e.npos) << e;
}

// The spring change falls on Sunday 8 March 2026, the autumn one on Sunday 1 November.
INSTANTIATE_TEST_SUITE_P(
    Weeks, SimulatedWeek,
    ::testing::Values(Week{"Spring", DateTime::from(2026, 3, 4, 12, 0, 0), None, 1},
                      Week{"SpringStalled", DateTime::from(2026, 3, 4, 12, 0, 0), Stall, 1},
                      Week{"AutumnStepped", DateTime::from(2026, 10, 28, 12, 0, 0), Step,
                           20261028}),
    [](const auto& info) { return std::string(info.param.name); });

extern "C" void __asan_init() __attribute__((weak));  // present only under the address sanitizer

// Resident bytes once the allocator has handed back what it holds free, as the program does.
std::int64_t ResidentBytes() {
    malloc_trim(0);
    std::int64_t size = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// The descriptors open now, each with what it refers to.
std::vector<std::string> OpenDescriptors() {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd"))
        out.push_back(e.path().filename().string() + " -> " +
                      std::filesystem::read_symlink(e.path(), ec).string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(Soak, AMonthKeepsMemoryAndDescriptorsLevel) {
    WeekStation w(DateTime::from(2026, 10, 1, 12, 0, 0));  // the month holds the autumn change
    w.loop.advance(7 * kDay);                              // settling
    const std::int64_t rssBefore = ResidentBytes(), filesBefore = w.files.bytesHeld();
    const auto fdsBefore = OpenDescriptors();
    w.loop.advance(23 * kDay);
    EXPECT_GE(std::count_if(w.seen.begin(), w.seen.end(),
                            [](const Happening& h) { return h.name == "StopRecording"; }),
              4 * 23);
    EXPECT_EQ(OpenDescriptors(), fdsBefore);
    // Besides what the in-heap drives now hold, about 1 MiB of their churn stays behind.
    const std::int64_t growth = ResidentBytes() - rssBefore - (w.files.bytesHeld() - filesBefore);
    RecordProperty("rss_growth_bytes", std::to_string(growth));
    if (!__asan_init) {  // the address sanitizer's quarantine keeps freed memory on purpose
        EXPECT_LE(growth, 2 << 20) << "grew by " << growth << " bytes";
    }
}

}  // namespace
