// Reading 31 days of logs at the highest poll rate (one Eb/No line a minute, 44 640 lines)
// with a busy activity log beside each day, as the Signal window and --signal-report do.
//
//   ./build/bench/bench_signal

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "logs/ActivityLog.h"
#include "logs/SignalHistory.h"
#include "support/TempFileSystem.h"

using namespace quillmar;

namespace {

constexpr int kDays = 31;
const Date kFirst{2026, 1, 1};

void WriteMonth(FileSystem& files) {
    std::string error;
    files.createFolder("c:\\satfile", &error);
    files.createFolder(kLogsFolder, &error);
    char line[64];
    for (int d = 0; d < kDays; ++d) {
        std::string eb, al;
        for (int m = 0; m < 24 * 60; ++m) {
            std::snprintf(line, sizeof line, "%02d:%02d:12  %.1f dB\r\n", m / 60, m % 60,
                          8.0 + (m % 50) / 10.0);
            eb += line;
            if (m % 30 == 0) {  // a recording and its receiver command each half hour
                std::snprintf(line, sizeof line, "%02d:%02d:00  SETAUDIO 1 S ENG 0\r\n", m / 60,
                              m % 60);
                al += line;
                std::snprintf(line, sizeof line, "%02d:%02d:00  Record Programme %d\r\n", m / 60,
                              m % 60, m);
                al += line;
            }
        }
        al += "13:00:00  Alarm\r\n13:04:00  Alarm End\r\n";
        files.writeFile(DailyLogPath("EB", kFirst.addDays(d)), eb, &error);
        files.writeFile(DailyLogPath("AL", kFirst.addDays(d)), al, &error);
    }
}

void BM_ReadSignalHistory31Days(benchmark::State& state) {
    TempFileSystem files;
    WriteMonth(files);
    std::size_t samples = 0;
    for (auto _ : state) {
        const auto h = ReadSignalHistory(files, kFirst, kFirst.addDays(kDays - 1));
        samples = h.samples.size();
        benchmark::DoNotOptimize(h.samples.data());
    }
    if (samples != std::size_t{kDays} * 1440) state.SkipWithError("wrong number of samples read");
    state.counters["lines"] = static_cast<double>(samples);
}
BENCHMARK(BM_ReadSignalHistory31Days)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
