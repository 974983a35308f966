// Exporting a 60-minute 44100 Hz stereo recording at its full length with the 5 s fade-out,
// against `sox in.wav out.wav trim 0 <L> fade t 0 <L> 5` on the same file in the same run:
//  - BM_HostExportWithFade: the conversion the host's export worker runs, on real files;
//  - BM_ExportWithFade: the whole export engine on the simulated platform, whose drives are in
//    memory (so it also pays for a 635 MB in-memory source and target).
// Each reports the median of 5 wall-clock runs.
//
//   ./build/bench/bench_export

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ExportSequences.h"
#include "core/Startup.h"
#include "export/ExportEngine.h"
#include "platform/host/PosixFileSystem.h"
#include "platform/wave/WaveConversion.h"
#include "support/SimStation.h"

using namespace quillmar;
namespace fs = std::filesystem;

namespace {

constexpr int kMinutes = 60;
constexpr std::int64_t kFrames = std::int64_t{kMinutes} * 60 * kSampleRate;

void Put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The bytes of a 16-bit stereo wave file of programme-like noise.
std::string RecordingBytes() {
    const auto bytes = static_cast<std::uint32_t>(kFrames * 4);
    std::string header = "RIFF";
    Put(header, 36 + bytes, 4);
    header += "WAVEfmt ";
    Put(header, 16, 4);
    Put(header, 1, 2);
    Put(header, 2, 2);
    Put(header, kSampleRate, 4);
    Put(header, kSampleRate * 4, 4);
    Put(header, 4, 2);
    Put(header, 16, 2);
    header += "data";
    Put(header, bytes, 4);
    std::string out = header;
    out.reserve(out.size() + bytes);
    std::vector<std::int16_t> block(1 << 16);
    std::uint32_t seed = 12345;
    for (std::int64_t done = 0; done < kFrames * 2;) {
        for (auto& s : block) {
            seed = seed * 1664525u + 1013904223u;
            s = static_cast<std::int16_t>(static_cast<std::int32_t>(seed >> 16) - 32768) / 3;
        }
        const std::int64_t n =
            std::min<std::int64_t>(static_cast<std::int64_t>(block.size()), kFrames * 2 - done);
        out.append(reinterpret_cast<const char*>(block.data()), static_cast<std::size_t>(n * 2));
        done += n;
    }
    return out;
}

std::string LengthText() {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:00", kMinutes);
    return text;
}

void BM_ExportWithFade(benchmark::State& state) {
    testing::SimStation s(DateTime::from(2026, 1, 28, 12));
    std::string error;
    if (!StartStation(s.st(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string recording = "c:\\satfile\\SFWED001.WAV";
    if (!s.files.writeFile(recording, RecordingBytes(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    ExportEntry entry;
    entry.Naming = ExportNaming::UserDefined;
    entry.Days[3] = 1;
    entry.Paths[3] = "c:\\exported";
    entry.Fade = ExportFade::On;
    entry.Length = LengthText();
    WriteExportEntry(s.st().Export, 1, entry, &error);

    for (auto _ : state) {
        Station& st = s.st();
        RecordProgramme& recorded = st.recorder.LastRecording.emplace();
        recorded.recordNo = 1;
        recorded.weekday = 4;
        recorded.file = recording;
        st.recorder.RecordedSeconds = kMinutes * 60.0f;
        CheckExport(st);
        while (ExportBusy(st.Export)) s.loop.advance(100);
    }
    state.counters["MB/s"] = benchmark::Counter(
        static_cast<double>(kFrames * 4) / 1e6 * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

// The job the export engine starts for this recording at its full length with the fade.
void BM_HostExportWithFade(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("quillmar-export-host-" + std::to_string(::getpid()));
    PosixFileSystem files(dir.string());
    std::string error;
    ConversionJob job;
    job.sourcePath = "c:\\satfile\\SFWED001.WAV";
    job.targetPath = "c:\\exported\\SFWED001.WAV";
    job.endMs = std::int64_t{kMinutes} * 60 * 1000;
    job.fadeStartMs = job.endMs - 5000;
    job.fadeLengthMs = 5000;
    job.format.name = "PCM 16 bit";
    job.format.channels = 2;
    if (!files.prepare(&error) || !files.createFolder("c:\\satfile", &error) ||
        !files.createFolder("c:\\exported", &error) ||
        !files.writeFile(job.sourcePath, RecordingBytes(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::atomic<bool> cancelled{false};
    for (auto _ : state) {
        if (!ConvertWave(
                files, job, [](std::int64_t, std::int64_t) {}, cancelled, &error))
            state.SkipWithError(error.c_str());
    }
    fs::remove_all(dir);
}

void BM_SoxTrimFade(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("quillmar-export-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string in = (dir / "in.wav").string();
    const std::string out = (dir / "out.wav").string();
    std::ofstream(in, std::ios::binary) << RecordingBytes();
    const std::string length = std::to_string(kMinutes * 60);
    const std::string command =
        "sox " + in + " " + out + " trim 0 " + length + " fade t 0 " + length + " 5 2>/dev/null";
    if (std::system("sox --version >/dev/null 2>&1") != 0) {
        state.SkipWithError("sox is not installed");
        return;
    }
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("sox failed");
    }
    fs::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_ExportWithFade)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HostExportWithFade)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SoxTrimFade)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
