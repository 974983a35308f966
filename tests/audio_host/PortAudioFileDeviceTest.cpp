// The real PortAudio code against ALSA devices backed by files (faster than real time).

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "TestLoop.h"
#include "platform/host/PortAudioAudio.h"
#include "platform/wave/SndFile.h"
#include "support/TempFileSystem.h"

using namespace quillmar;
using quillmar::testing::TestLoop;

namespace {

namespace fs = std::filesystem;

const fs::path gDir =
    fs::temp_directory_path() / ("quillmar-audiohost-" + std::to_string(::getpid()));
const fs::path gCapture = gDir / "capture.raw", gPlayback = gDir / "playback.raw";

// Set up before PortAudio starts: the devices, and a quiet JACK and PulseAudio.
class FileDevices : public ::testing::Environment {
  public:
    void SetUp() override {
        fs::create_directories(gDir / "home");
        fs::create_directories(gDir / "runtime");
        std::ofstream(gCapture, std::ios::binary).put(0);
        std::ofstream conf(gDir / "asound.conf");
        conf << "pcm.capfile {\n  type file\n  slave { pcm { type null } }\n"
             << "  file \"/dev/null\"\n  infile \"" << gCapture.string() << "\"\n"
             << "  format \"raw\"\n}\n"
             << "pcm.playfile {\n  type file\n  slave { pcm { type null } }\n"
             << "  file \"" << gPlayback.string()
             << "\"\n  format \"raw\"\n}\n"
             // A device that cannot open: PortAudio 19.6 needs one, or it asserts.
             << "pcm.unavailable { type hw card 99 }\n";
        conf.close();
        ::setenv("ALSA_CONFIG_PATH", (gDir / "asound.conf").c_str(), 1);
        ::setenv("HOME", (gDir / "home").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (gDir / "runtime").c_str(), 1);
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

// A signal with no zero samples and different peaks on each channel, buffer by buffer.
std::vector<std::int16_t> Pattern(std::int64_t frames) {
    std::vector<std::int16_t> s(static_cast<std::size_t>(frames * 2));
    std::uint32_t x = 12345;
    for (std::int64_t f = 0; f < frames; ++f) {
        x = x * 1103515245u + 12345u;
        const int amplitude = 1000 + static_cast<int>((f / 1024) % 20) * 1000;
        s[2 * f] = static_cast<std::int16_t>(1 + (x >> 8) % amplitude);
        s[2 * f + 1] =
            static_cast<std::int16_t>(-1 - static_cast<int>((x >> 12) % (amplitude / 2)));
    }
    return s;
}

std::vector<std::int16_t> ReadRaw(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

void WriteCaptureSource(const std::vector<std::int16_t>& source) {
    std::ofstream(gCapture, std::ios::binary)
        .write(reinterpret_cast<const char*>(source.data()),
               static_cast<std::streamsize>(source.size() * 2));
}

void WriteWave(FileSystem& files, const std::string& path, int channels,
               const std::vector<std::int16_t>& samples) {
    SndFileWriter writer(files);
    ASSERT_TRUE(writer.open(path, channels, nullptr));
    ASSERT_TRUE(writer.appendFrames(samples.data(),
                                    static_cast<std::int64_t>(samples.size()) / channels, nullptr));
}

// The data root's files, whose writes wait while the test holds `held`, as on a stalled disk.
struct HeldFileSystem : TempFileSystem {
    std::unique_ptr<FileHandle> openFile(std::string_view drivePath, OpenMode mode,
                                         std::string* error) override {
        auto file = TempFileSystem::openFile(drivePath, mode, error);
        return file ? std::make_unique<Handle>(*this, std::move(file)) : nullptr;
    }
    std::mutex held;
    std::atomic<int> waiting{0};

    struct Handle : FileHandle {
        Handle(HeldFileSystem& fs, std::unique_ptr<FileHandle> file)
            : fs(fs), file(std::move(file)) {}
        std::int64_t size() const override { return file->size(); }
        std::int64_t readAt(std::int64_t at, char* data, std::int64_t count) const override {
            return file->readAt(at, data, count);
        }
        bool writeAt(std::int64_t at, std::string_view bytes, std::string* error) override {
            ++fs.waiting;
            std::lock_guard<std::mutex> lock(fs.held);
            --fs.waiting;
            return file->writeAt(at, bytes, error);
        }
        bool truncate(std::int64_t length, std::string* error) override {
            return file->truncate(length, error);
        }
        HeldFileSystem& fs;
        std::unique_ptr<FileHandle> file;
    };
};

struct PortAudioFileDevices : ::testing::Test {
    TestLoop loop;
    HeldFileSystem files;
    std::unique_ptr<PortAudioAudio> audio = std::make_unique<PortAudioAudio>(loop, files);
    std::vector<CaptureSummary> buffers;
    std::vector<CaptureResult> results;
    int finished = 0;  // players' finished events

    std::unique_ptr<AudioPlayer> openPlayer(const std::string& wave, int device) {
        auto player = audio->createPlayer();
        player->onFinished = [this] { ++finished; };
        std::string error;
        EXPECT_TRUE(player->open(wave, device, &error)) << error;
        return player;
    }

    // A capture of the file device into c:\capture.wav, written from its first buffer.
    std::unique_ptr<AudioCapture> startCapture(int channels, int device = -1) {
        auto capture = audio->createCapture();
        capture->onBuffer = [this](const CaptureSummary& b) { buffers.push_back(b); };
        capture->onFinished = [this](const CaptureResult& r) { results.push_back(r); };
        if (device < 0) device = PositionOf(audio->inputDevices(), "capfile");
        std::string error;
        EXPECT_TRUE(capture->start({device, channels, "c:\\capture.wav", -1}, &error)) << error;
        return capture;
    }
    // Finishes the capture and reads back what it wrote.
    std::vector<std::int16_t> finish(AudioCapture& capture, std::size_t summaries) {
        EXPECT_TRUE(loop.runUntil([&] { return buffers.size() >= summaries; }));
        capture.finish(true);
        EXPECT_TRUE(loop.runUntil([&] { return !results.empty(); }));
        std::vector<std::int16_t> samples;
        std::string error;
        EXPECT_TRUE(
            ReadWaveFrames(files, "c:\\capture.wav", 0, INT32_MAX, &samples, nullptr, &error))
            << error;
        return samples;
    }
};

TEST_F(PortAudioFileDevices, ListsTheFileDevicesAndTheBuiltInOnesRunWithoutASoundCard) {
    const auto inputs = audio->inputDevices();
    const auto outputs = audio->outputDevices();
    EXPECT_EQ(PositionOf(inputs, "unavailable"), -1);
    ASSERT_EQ(inputs.back(), "Test tone");
    ASSERT_EQ(outputs.back(), "Silent output");

    // A half-scale test tone in real time.
    auto capture = startCapture(2, static_cast<int>(inputs.size()) - 1);
    finish(*capture, 3);
    EXPECT_NEAR(buffers[1].peakLeft, 16384, 2);
    EXPECT_EQ(buffers[1].peakLeft, buffers[1].peakRight);

    // The silent output plays a short file to its end.
    WriteWave(files, "c:\\short.wav", 1, std::vector<std::int16_t>(4410, 300));
    auto player = openPlayer("c:\\short.wav", static_cast<int>(outputs.size()) - 1);
    ASSERT_TRUE(player->play(nullptr));
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    EXPECT_EQ(player->positionMs(), 100);
    EXPECT_FALSE(player->isPlaying());
}

// Stereo and mono captures of 130 buffers of 1024 frames from the file device.
class FileCapture : public PortAudioFileDevices, public ::testing::WithParamInterface<int> {};

TEST_P(FileCapture, TheFileHoldsTheSourceAsTheWriterAloneWritesIt) {
    const int channels = GetParam();
    const auto source = Pattern(1024 * 130);
    WriteCaptureSource(source);
    auto capture = startCapture(channels);
    const auto samples = finish(*capture, 130);

    // The file begins with the source, and each buffer's summary holds its peaks.
    ASSERT_GE(samples.size(), source.size());
    ASSERT_TRUE(std::equal(source.begin(), source.end(), samples.begin()));
    const std::size_t bufferSamples = 2048;
    for (std::size_t n = 0; n < 130; ++n) {
        AudioBuffer expected;
        expected.channels = channels;
        expected.samples.assign(source.begin() + n * bufferSamples,
                                source.begin() + (n + 1) * bufferSamples);
        MeasurePeaks(expected);
        ASSERT_EQ(std::make_pair(buffers[n].peakLeft, buffers[n].peakRight),
                  std::make_pair(expected.peakLeft, expected.peakRight))
            << n;
    }
    const auto frames = static_cast<std::int64_t>(samples.size()) / channels;
    EXPECT_EQ(results[0].fileMs, frames * 1000 / kSampleRate);
}

INSTANTIATE_TEST_SUITE_P(Channels, FileCapture, ::testing::Values(2, 1));

TEST_F(PortAudioFileDevices, AHeldDiskHoldsNeitherTheLoopNorTheOldestAudio) {
    const auto source = Pattern(1024 * 64);
    WriteCaptureSource(source);
    files.held.lock();
    int ticks = 0;
    auto timer = loop.createTimer(5, false, [&] { ++ticks; });
    timer->setEnabled(true);
    auto capture = startCapture(2);

    // The loop runs on while the writer waits, until the ring overflows and counts it.
    ASSERT_TRUE(loop.runUntil([&] { return files.waiting > 0 && capture->overruns() > 0; }));
    EXPECT_GT(ticks, 0);
    EXPECT_TRUE(buffers.empty());

    // Once the disk is back, the file begins with the source from its start, in order.
    files.held.unlock();
    const auto samples = finish(*capture, 64);
    ASSERT_GE(samples.size(), source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), samples.begin()));
}

TEST_F(PortAudioFileDevices, PlayoutWritesTheAudioFromItsSeekToItsEndPointAndNothingAfter) {
    const auto source = Pattern(88200);  // 2 s
    WriteWave(files, "c:\\programme.wav", 2, source);
    fs::remove(gPlayback);
    auto player = openPlayer("c:\\programme.wav", PositionOf(audio->outputDevices(), "playfile"));
    std::string error;
    EXPECT_EQ(player->lengthMs(), 2000);
    // Less than the player's ring: the reader would not keep up with the device.
    player->setEndMs(1500);
    player->seekMs(500);
    EXPECT_EQ(player->positionMs(), 500);
    ASSERT_TRUE(player->play(&error)) << error;
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    loop.runFor(100);
    player.reset();
    EXPECT_EQ(finished, 1);
    // PortAudio's 2048 frames of silence, the audio from the seek to the end, then silence.
    const auto written = ReadRaw(gPlayback);
    constexpr std::size_t kPrefill = 2048 * 2, kFrom = 22050 * 2, kTo = 66150 * 2;
    ASSERT_GE(written.size(), kPrefill + kTo - kFrom);
    const auto silent = [](std::int16_t s) { return s == 0; };
    EXPECT_TRUE(std::all_of(written.begin(), written.begin() + kPrefill, silent));
    EXPECT_TRUE(
        std::equal(source.begin() + kFrom, source.begin() + kTo, written.begin() + kPrefill));
    EXPECT_TRUE(std::all_of(written.begin() + kPrefill + (kTo - kFrom), written.end(), silent));
}

TEST_F(PortAudioFileDevices, MissingDeviceNumbersAndFilesAreRefused) {
    std::string error;
    auto capture = audio->createCapture();
    const int missing = static_cast<int>(audio->inputDevices().size());
    EXPECT_FALSE(capture->start({missing, 2, "", 0}, &error));
    EXPECT_NE(error.find("does not exist"), std::string::npos);
    auto player = audio->createPlayer();
    EXPECT_FALSE(player->open("c:\\none.wav", 0, &error));
    EXPECT_FALSE(player->play(&error));
}

TEST_F(PortAudioFileDevices, ConversionRunsOnItsWorkerAndACancelledOneLeavesNothing) {
    // Frame f holds f % 30000 + 1 on both channels.
    std::vector<std::int16_t> counting(static_cast<std::size_t>(44100 * 20 * 2));
    for (std::size_t i = 0; i < counting.size(); ++i)
        counting[i] = static_cast<std::int16_t>(i / 2 % 30000 + 1);
    WriteWave(files, "c:\\src.wav", 2, counting);
    auto conversion = audio->createConversion();
    std::vector<std::int64_t> progress;
    std::vector<std::pair<int, int>> levels;
    bool ok = false;
    conversion->onProgress = [&](std::int64_t done, std::int64_t total) {
        progress.push_back(done);
        EXPECT_EQ(total, 2000);
    };
    conversion->onLevels = [&](std::int16_t l, std::int16_t r) { levels.emplace_back(l, r); };
    conversion->onFinished = [&](bool good, const std::string&) { ok = good, ++finished; };
    ConversionJob job{"c:\\src.wav", "c:\\out.wav", 2000, 1500, 500, {}};
    std::string error;
    ASSERT_TRUE(conversion->start(job, &error)) << error;
    EXPECT_FALSE(conversion->start(job, &error));  // one at a time
    ASSERT_TRUE(loop.runUntil([&] { return finished > 0; }));
    EXPECT_TRUE(ok);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 2000);
    // One pair of peaks per block: the first block counts up to 8192 in both channels.
    ASSERT_EQ(levels.size(), progress.size());
    EXPECT_EQ(levels.front(), std::make_pair(8192, 8192));

    ConversionJob whole{"c:\\src.wav", "c:\\never.wav", 0, 0, 0, {}};
    ASSERT_TRUE(conversion->start(whole, nullptr));
    conversion->cancel();
    EXPECT_FALSE(conversion->isRunning());
    conversion.reset();  // waits for the worker
    loop.runFor(50);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(files.fileExists(whole.targetPath + ".part"));
}

}  // namespace
