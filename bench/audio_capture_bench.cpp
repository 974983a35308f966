// The capture-to-file path at 44100 Hz stereo: CPU time per second of audio, and how the first
// buffer above the threshold reaches the file.
//
//   ./build/bench/bench_audio

#include <benchmark/benchmark.h>
#include <time.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/NextEvent.h"
#include "platform/host/SpscRing.h"
#include "platform/wave/CaptureFile.h"
#include "platform/wave/SndFile.h"
#include "schedule/ScheduleRecord.h"
#include "support/Builders.h"
#include "support/SimStation.h"
#include "support/TempFileSystem.h"

using namespace quillmar;

namespace {

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// One iteration is one second of audio: the real-time side puts 43 buffers of 1024 stereo
// frames into the ring, and the writer side takes each out, measures its peaks and appends it
// to a wave file whose header is rewritten after every append.
void BM_CaptureToFile(benchmark::State& state) {
    TempFileSystem files;  // on the host's disk, as a recording is
    const std::string path = "c:\\bench.wav";
    SpscRing<std::int16_t> ring(std::size_t{1} << 22);
    auto writer = std::make_unique<CaptureFileWriter>(files, CaptureSetup{0, 2, path, -1});
    std::vector<std::int16_t> input(2048);
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<std::int16_t>((i * 7919) % 20000 - 10000);
    constexpr int kBuffersPerSecond = 43;  // 44100 / 1024
    double cpu = 0;
    std::int64_t seconds = 0, fileMs = 0;
    for (auto _ : state) {
        const double before = ThreadCpuSeconds();
        for (int n = 0; n < kBuffersPerSecond; ++n) {
            ring.writer().write(input.data(), input.size());
            AudioBuffer buffer;
            buffer.samples.resize(2048);
            ring.reader().read(buffer.samples.data(), 2048);
            CaptureSummary summary = writer->measure(buffer, true);
            writer->write(buffer, summary, nullptr);
            fileMs = summary.fileMs;
        }
        cpu += ThreadCpuSeconds() - before;
        ++seconds;
        // Keep the file from growing without end over many iterations.
        if (fileMs > 600'000) {
            state.PauseTiming();
            writer->close();
            writer = std::make_unique<CaptureFileWriter>(files, CaptureSetup{0, 2, path, -1});
            state.ResumeTiming();
        }
    }
    writer->close();
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / static_cast<double>(seconds);
}
BENCHMARK(BM_CaptureToFile)->Unit(benchmark::kMillisecond);

// The whole station on simulated devices: a programme waits for audio at 10:00:00, the input
// turns loud at 10:00:20.5, and the recording must begin with the buffer that crossed the
// threshold. Reports the frames lost before the file's first sample (target 0), whether the
// first buffer written is the triggering one, and the loop's time to handle that buffer.
void BM_ThresholdStartToFile(benchmark::State& state) {
    double lost = 0, firstIsTrigger = 0, handleUs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const DateTime start = DateTime::from(2026, 12, 7, 9, 59, 0);
        testing::SimStation sim(start);
        // Threshold 1000, Play visible, activity log on, wave files on drive C.
        sim.settings({{testing::Rec::Threshold, 1000},
                      {testing::Rec::PlayVisible, 1},
                      {testing::Rec::ActivityLog, 1},
                      {testing::Rec::WaveDrive, 3}});
        sim.start();
        ScheduleFields f = testing::RecordedSchedule();
        f.ProgramName = std::string("BENCH").append(20, ' ');
        f.ProgramLength = "01:00";
        sim.put(1, f);
        sim.findNext();
        const std::int64_t loudAt = sim.loop.elapsed() + 80'500;  // 10:00:20.5
        sim.audio.setInputAt(loudAt, {4000, 0, 1000});
        sim.loop.advance(80'000);
        state.ResumeTiming();
        // Step the loop a millisecond at a time; time the step in which the recording starts.
        double startUs = 0;
        for (int ms = 0; ms < 2000 && sim.st().recorder.RecordState != RecordState::Recording;
             ++ms) {
            const auto t0 = std::chrono::steady_clock::now();
            sim.loop.advance(1);
            startUs =
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                    .count();
        }
        state.PauseTiming();
        handleUs += startUs;
        sim.loop.advance(1000);
        std::vector<std::int16_t> samples;
        ReadWaveFrames(sim.files, sim.st().recorder.Armed->file, 0, 1024, &samples, nullptr,
                       nullptr);
        // The buffer that crossed the threshold holds the first loud frame; the file must begin
        // with that buffer: its silent frames before the onset, then loud ones.
        if (sim.audio.captureStarts().empty()) {
            state.SkipWithError("the recording never armed");
            break;
        }
        const std::int64_t capturedFrom = sim.audio.captureStarts().back();
        const std::int64_t onset = ((loudAt - capturedFrom) * 44100 + 999) / 1000;
        const std::int64_t silentBefore = onset % 1024;
        std::int64_t firstLoudInFile = -1;
        for (std::size_t i = 0; i < samples.size(); i += 2)
            if (samples[i] != 0) {
                firstLoudInFile = static_cast<std::int64_t>(i / 2);
                break;
            }
        const bool trigger = firstLoudInFile == silentBefore;
        firstIsTrigger += trigger ? 1 : 0;
        // Otherwise the file began with a later buffer: at least the trigger's loud part is lost.
        lost += trigger ? 0 : static_cast<double>(1024 - silentBefore);
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["first_buffer_is_trigger"] = firstIsTrigger / n;
    state.counters["frames_lost"] = lost / n;
    state.counters["loop_us_for_trigger_buffer"] = handleUs / n;
}
BENCHMARK(BM_ThresholdStartToFile)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
