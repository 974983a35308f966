// The real PortAudio code against ALSA devices backed by files (faster than real time).

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "TestLoop.h"
#include "platform/host/PortAudioAudio.h"
#include "platform/wave/SndFile.h"
#include "support/TempFileSystem.h"
#include "support/Wave.h"

using namespace quillmar;
using namespace quillmar::testing;

namespace {

namespace fs = std::filesystem;

const fs::path gDir =
    fs::temp_directory_path() / ("quillmar-audiohost-" + std::to_string(::getpid()));
const fs::path gCapture = gDir / "capture.raw", gPlayback = gDir / "playback.raw";

// Set up before PortAudio starts: the devices, and a quiet JACK and PulseAudio.
struct FileDevices : ::testing::Environment {
    void SetUp() override {
        fs::create_directories(gDir);
        std::ofstream(gCapture, std::ios::binary).put(0);
        const auto pcm = [](const std::string& name, const std::string& files) {
            return "pcm." + name + " { type file slave.pcm { type null } format raw " + files +
                   " }\n";
        };
        // A device that cannot open: PortAudio 19.6 needs one, or it asserts.
        std::ofstream(gDir / "asound.conf")
            << pcm("capfile", "file \"/dev/null\" infile \"" + gCapture.string() + "\"")
            << pcm("playfile", "file \"" + gPlayback.string() + "\"")
            << "pcm.unavailable { type hw card 99 }\n";
        ::setenv("ALSA_CONFIG_PATH", (gDir / "asound.conf").c_str(), 1);
        ::setenv("HOME", gDir.c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", gDir.c_str(), 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
    }
    void TearDown() override { fs::remove_all(gDir); }
};

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new FileDevices);

int PositionOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].find(name) != std::string::npos) return static_cast<int>(i);
    return -1;
}

// No zero samples; the peaks change from buffer to buffer, the right channel's below the left's.
std::vector<std::int16_t> Pattern(std::size_t frames) {
    std::vector<std::int16_t> s(frames * 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int v = 1 + static_cast<int>(i * 7919 % (500 + i / 2048 % 20 * 500));
        s[i] = static_cast<std::int16_t>(i % 2 ? -v : 2 * v);
    }
    return s;
}

std::vector<std::int16_t> ReadRaw(const fs::path& path) {
    std::vector<std::int16_t> samples(fs::file_size(path) / 2);
    std::ifstream(path, std::ios::binary)
        .read(reinterpret_cast<char*>(samples.data()), std::ssize(samples) * 2);
    return samples;
}

void WriteWave(FileSystem& files, const std::string& path, int channels,
               const std::vector<std::int16_t>& s) {
    const auto sample = [&](std::int64_t f, int c) { return s.at(f * channels + c); };
    ASSERT_TRUE(
        files.writeFile(path, WaveBytes(channels, std::ssize(s) / channels, sample), nullptr));
}

// The data root's files; opening one waits while the test holds `held`, as on a stalled disk.
struct HeldFileSystem : TempFileSystem {
    std::unique_ptr<FileHandle> openFile(std::string_view drivePath, OpenMode mode,
                                         std::string* error) override {
        std::lock_guard<std::mutex> lock(held);
        return TempFileSystem::openFile(drivePath, mode, error);
    }
    std::mutex held;
};

struct PortAudioFileDevices : ::testing::Test {
    TestLoop loop;
    HeldFileSystem files;
    std::unique_ptr<PortAudioAudio> audio = std::make_unique<PortAudioAudio>(loop, files);
    std::vector<CaptureSummary> buffers;
    std::vector<CaptureResult> results;
    int finished = 0;

    // A capture of the file device into c:\capture.wav, written from its first buffer.
    std::unique_ptr<AudioCapture> startCapture(int channels, int device = -1) {
        auto capture = audio->createCapture();
        capture->onBuffer = [this](const CaptureSummary& b) { buffers.push_back(b); };
        capture->onFinished = [this](const CaptureResult& r) { results.push_back(r); };
        if (device < 0) device = PositionOf(audio->inputDevices(), "capfile");
        EXPECT_TRUE(capture->start({device, channels, "c:\\capture.wav", -1}, nullptr));
        return capture;
    }
    // Finishes the capture and reads back what it wrote.
    std::vector<std::int16_t> finish(AudioCapture& capture, std::size_t summaries) {
        EXPECT_TRUE(loop.runUntil([&] { return buffers.size() >= summaries; }));
        capture.finish(true);
        EXPECT_TRUE(loop.runUntil([&] { return !results.empty(); }));
        std::vector<std::int16_t> samples;
        EXPECT_TRUE(
            ReadWaveFrames(files, "c:\\capture.wav", 0, INT32_MAX, &samples, nullptr, nullptr));
        return samples;
    }
};

TEST_F(PortAudioFileDevices, TheTestToneRunsWithoutASoundCardAndAMissingInputIsRefused) {
    const int tone = static_cast<int>(audio->inputDevices().size()) - 1;
    auto capture = startCapture(2, tone);  // half scale, in real time
    finish(*capture, 3);
    EXPECT_NEAR(buffers[1].peakLeft, 16384, 2);
    EXPECT_EQ(buffers[1].peakLeft, buffers[1].peakRight);
    std::string error;
    EXPECT_FALSE(capture->start({tone + 1, 2, "", 0}, &error));
    EXPECT_EQ(error, "Input device " + std::to_string(tone + 1) + " does not exist");
}

// 64 buffers of 1024 frames: mono, and stereo with the disk held until the capture ring overflows.
class FileCapture : public PortAudioFileDevices,
                    public ::testing::WithParamInterface<std::pair<int, bool>> {};

TEST_P(FileCapture, TheFileHoldsTheSourceAndEachSummaryItsBuffersPeaks) {
    const auto [channels, held] = GetParam();
    const auto source = Pattern(1024 * 64);
    std::ofstream(gCapture, std::ios::binary)
        .write(reinterpret_cast<const char*>(source.data()), std::ssize(source) * 2);
    if (held) files.held.lock();
    auto capture = startCapture(channels);
    if (held) {
        // The loop runs on while the writer waits, until the ring overflows.
        EXPECT_TRUE(loop.runUntil([&] { return capture->overruns() > 0; }));  // then unlocks
        EXPECT_TRUE(buffers.empty());
        files.held.unlock();
    }
    const auto samples = finish(*capture, 64);
    ASSERT_GE(samples.size(), source.size());
    ASSERT_TRUE(std::equal(source.begin(), source.end(), samples.begin()));
    AudioBuffer b{{source.begin() + 37 * 2048, source.begin() + 38 * 2048}, channels};
    MeasurePeaks(b);  // the 38th summary is the 38th buffer's
    EXPECT_EQ(std::pair(buffers[37].peakLeft, buffers[37].peakRight),
              std::pair(b.peakLeft, b.peakRight));
    EXPECT_EQ(results[0].fileMs, std::ssize(samples) / channels * 1000 / kSampleRate);
}

INSTANTIATE_TEST_SUITE_P(MonoOrHeld, FileCapture,
                         ::testing::Values(std::pair{1, false}, std::pair{2, true}));

TEST_F(PortAudioFileDevices, PlayoutPlaysFromItsSeekToItsEndPointAndNothingAfter) {
    const auto source = Pattern(88200);  // 2 s
    WriteWave(files, "c:\\programme.wav", 2, source);
    WriteWave(files, "c:\\short.wav", 1, std::vector<std::int16_t>(4410, 300));  // 100 ms
    const auto outputs = audio->outputDevices();
    auto player = audio->createPlayer();
    player->onFinished = [&] { ++finished; };
    ASSERT_TRUE(player->open("c:\\short.wav", static_cast<int>(outputs.size()) - 1, nullptr));
    ASSERT_TRUE(player->play(nullptr));  // on the silent output, in real time
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    EXPECT_EQ(player->positionMs(), 100);
    EXPECT_FALSE(player->isPlaying());
    std::string error;
    ASSERT_TRUE(player->open("c:\\programme.wav", PositionOf(outputs, "playfile"), &error));
    EXPECT_EQ(player->lengthMs(), 2000);
    // Less than the player's ring: the reader would not keep up with the device.
    player->setEndMs(1500);
    player->seekMs(500);
    EXPECT_EQ(player->positionMs(), 500);
    ASSERT_TRUE(player->play(&error)) << error;
    ASSERT_TRUE(loop.runUntil([&] { return finished > 1; }));
    loop.runFor(100);
    EXPECT_FALSE(player->open("c:\\none.wav", 0, &error));  // closes the device
    EXPECT_FALSE(player->play(&error));
    EXPECT_EQ(finished, 2);
    // PortAudio's 2048 frames of silence, the audio from the seek to the end, then silence.
    const auto written = ReadRaw(gPlayback);
    std::vector<std::int16_t> expected(2048 * 2, 0);
    expected.insert(expected.end(), source.begin() + 22050 * 2, source.begin() + 66150 * 2);
    expected.resize(std::max(written.size(), expected.size()), 0);
    EXPECT_TRUE(written == expected);
}

TEST_F(PortAudioFileDevices, ConversionRunsOnItsWorkerAndACancelledOneLeavesNothing) {
    WriteWave(files, "c:\\src.wav", 2, std::vector<std::int16_t>(44100 * 20 * 2, 100));
    auto conversion = audio->createConversion();
    std::pair<std::int64_t, std::int64_t> progress;
    int blocks = 0, levels = 0;
    std::vector<bool> done;
    conversion->onProgress = [&](std::int64_t done, std::int64_t total) {
        progress = {done, total}, ++blocks;
    };
    conversion->onLevels = [&](std::int16_t, std::int16_t) { ++levels; };
    conversion->onFinished = [&](bool ok, const std::string&) { done.push_back(ok); };
    ConversionJob job{"c:\\src.wav", "c:\\out.wav", 2000, 1500, 500, {}};
    std::string error;
    ASSERT_TRUE(conversion->start(job, &error)) << error;
    EXPECT_FALSE(conversion->start(job, &error));  // one at a time
    ASSERT_TRUE(loop.runUntil([&] { return !done.empty(); }));
    EXPECT_EQ(progress, std::make_pair(std::int64_t{2000}, std::int64_t{2000}));
    EXPECT_EQ(levels, blocks);  // one pair of peaks per block
    ASSERT_TRUE(conversion->start({"c:\\src.wav", "c:\\never.wav", 0, 0, 0, {}}, nullptr));
    conversion->cancel();
    EXPECT_FALSE(conversion->isRunning());
    conversion.reset();  // waits for the worker
    loop.runFor(50);
    EXPECT_EQ(done, std::vector<bool>{true});  // nothing of the cancelled one
    EXPECT_FALSE(files.fileExists("c:\\never.wav"));
}

}  // namespace
