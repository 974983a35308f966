// The three next-event finders on a full schedule file: 999 schedules in use, each with all
// 7 record slots and all 28 play times filled.
#include <benchmark/benchmark.h>

#include "core/NextEvent.h"
#include "core/Startup.h"
#include "schedule/ScheduleRecord.h"
#include "support/SimStation.h"

using namespace quillmar;

namespace {

std::string Time(int seconds) {
    return TimeText(seconds % 86400);
}

void FullSchedule(Station& st) {
    for (int n = 1; n <= kMaxSchedules; ++n) {
        ScheduleFields f = ParseScheduleRecord(std::string(kScheduleRecordLength, ' '));
        f.InUse = "1";
        f.ProgramName = "Programme " + std::to_string(n);
        f.ProgramLength = "30:00";
        f.SourceCode = "ENG";
        f.UnityPort = "1";
        f.Route = "S";
        f.Attenuation = "0";
        f.PlayStart = "T";
        f.RecordStart = "T";
        f.Action = n % 10 == 0 ? "3" : "1";  // every tenth one only switches
        for (int k = 0; k < 28; ++k)
            f.PlayTimes[static_cast<std::size_t>(k)] = Time(n * 61 + k * 3600);
        for (int r = 0; r < 7; ++r) {
            f.RecordDays[static_cast<std::size_t>(r)] = (n + r) % 7 + 1;
            f.RecordTimes[static_cast<std::size_t>(r)] = Time(n * 83 + r * 7200);
        }
        st.SatListFile.write(n, BuildScheduleRecord(f));
    }
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
        benchmark::DoNotOptimize(sim.st().NextRecordNo);
    }
}
BENCHMARK(BM_ThreeFinders)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
