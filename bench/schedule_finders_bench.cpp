// The three next-event finders on a full schedule file: 999 schedules in use, each with all
// 7 record slots and all 28 play times filled.
#include <benchmark/benchmark.h>

#include "FullSchedule.h"
#include "core/NextEvent.h"
#include "core/Startup.h"
#include "schedule/ScheduleRecord.h"
#include "support/SimStation.h"

using namespace quillmar;

namespace {

// The whole file, written through the open schedule file as the station keeps it.
void FullSchedule(Station& st) {
    const std::string bytes = bench::FullScheduleBytes(0, 1);
    for (int n = 1; n <= kMaxSchedules; ++n)
        st.schedule.SatListFile.write(
            n, bytes.substr(static_cast<std::size_t>(n - 1) * kScheduleRecordLength,
                            kScheduleRecordLength));
}

void BM_ThreeFinders(benchmark::State& state) {
    quillmar::testing::SimStation sim(DateTime::from(2026, 12, 7, 12, 0, 0));
    std::string error;
    if (!InitializeStation(sim.st(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    FullSchedule(sim.st());
    for (auto _ : state) {
        FindNextRecord(sim.st());
        FindNextSwitch(sim.st());
        FindNextPlay(sim.st());
        benchmark::DoNotOptimize(sim.st().next.record->recordNo);
    }
}
BENCHMARK(BM_ThreeFinders)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
