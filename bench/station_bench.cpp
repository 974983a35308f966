// The station's own costs on the simulated platform with a full schedule file (999 schedules,
// every record slot and play time filled): one clock tick when nothing is due, and the start-up
// procedure (data files, settings, the three finders, the playlist, the first tick).
//
//   ./build/bench/bench_station

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "FullSchedule.h"
#include "core/ClockTick.h"
#include "core/Startup.h"
#include "schedule/ScheduleRecord.h"
#include "settings/StationSettings.h"
#include "support/RealStation.h"
#include "support/SimStation.h"

using namespace quillmar;

namespace {

constexpr int kQuietFrom = 11 * 3600;
constexpr int kQuietTo = 14 * 3600;

// Threshold, Play visible, activity log on, wave files on drive C; no Eb/No polls, so a quiet
// tick has nothing at all to do.
std::string Settings() {
    namespace Rec = quillmar::testing::Rec;
    return quillmar::testing::SettingsFile({{Rec::Threshold, 1000},
                                            {Rec::PlayVisible, 1},
                                            {Rec::ActivityLog, 1},
                                            {Rec::WaveDrive, 3}});
}

void Prepare(quillmar::testing::SimStation& sim, const std::string& satList) {
    sim.write(kScheduleFilePath, satList);
    sim.write(kSettingsPath, Settings());
}

// The clock moves 50 ms per tick between 12:00 and 13:30, inside the quiet window, and is set
// back to 12:00 when it gets there; every finder result stays as start-up left it.
void BM_IdleClockTick(benchmark::State& state) {
    const DateTime noon = DateTime::from(2026, 12, 7, 12, 0, 0);
    quillmar::testing::SimStation sim(noon);
    Prepare(sim, bench::FullScheduleBytes(kQuietFrom, kQuietTo));
    std::string error;
    if (!StartStation(sim.st(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    Station& st = sim.st();
    if (st.next.record->recordNo == 0) {
        state.SkipWithError("the full schedule gave no next recording");
        return;
    }
    int actions = 0;
    st.actionObserver = [&actions](const std::string&) { ++actions; };
    constexpr std::int64_t kWrapAt = 13 * 3'600'000 + 1'800'000;
    for (auto _ : state) {
        sim.clock.advance(50);
        if (sim.clock.now().msOfDay >= kWrapAt) sim.clock.set(noon);
        ClockTick(st);
        benchmark::DoNotOptimize(st.main.lblClock.data());
    }
    if (actions != 0 || st.recorder.RecordState != RecordState::Idle ||
        st.playout.PlayState != PlayState::Idle || !sim.errors.messages.empty())
        state.SkipWithError("something fell due inside the quiet window");
}
BENCHMARK(BM_IdleClockTick)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Arg: schedules in SatList.dat (0 or 999). A fresh data root each iteration; only
// StartStation itself is timed.
void BM_StartStation(benchmark::State& state) {
    const std::string full = bench::FullScheduleBytes(kQuietFrom, kQuietTo);
    const std::string satList =
        full.substr(0, static_cast<std::size_t>(state.range(0)) * kScheduleRecordLength);
    for (auto _ : state) {
        quillmar::testing::SimStation sim(DateTime::from(2026, 12, 7, 12, 0, 0));
        Prepare(sim, satList);
        std::string error;
        const auto t0 = std::chrono::steady_clock::now();
        const bool started = StartStation(sim.st(), &error);
        const auto t1 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        if (!started) {
            state.SkipWithError(error.c_str());
            break;
        }
        if (state.range(0) > 0 && sim.st().next.record->recordNo == 0) {
            state.SkipWithError("start-up found no next recording");
            break;
        }
    }
}
BENCHMARK(BM_StartStation)
    ->Arg(0)
    ->Arg(kMaxSchedules)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
